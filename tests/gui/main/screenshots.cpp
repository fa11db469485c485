// Saves pictures of the main window for a reviewer: a fixture list with a
// project open, for icon sets 0 and 1, in Russian and English; and, in
// English, runs on the log panel: a paused and a failed tab. Not a test.
//   screenshots <output folder>

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/helpers.h"
#include "data/TDataPrj.h"
#include "gui/main/TMainWindow.h"
#include "gui/main/startup.h"
#include "gui/views/TWgtPrj.h"

#include <QApplication>
#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <functional>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(out);
    QTemporaryDir home;
    setAppFileLocation(home.path());
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile f(home.filePath(name));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    };
    write("list.lst", "{\"list\": [{\"name\": \"Boards\", \"expand\": 1}, {\"parent\": 1, \"name\": \"Board A\","
                      " \"file\": \"a.prj\"}, {\"parent\": 1, \"name\": \"Board B\", \"file\": \"b.prj\"},"
                      " {\"name\": \"Service\", \"file\": \"s.prj\"}]}");
    write("a.prj", "{\"version\": 1, \"configurations\": [{\"name\": \"Flash\", \"description\": \"\", \"commands\": "
                   "[{\"cmd\": \"delay\", \"status\": \"1\"}, {\"cmd\": \"pause\", \"status\": \"1\"}]},"
                   " {\"name\": \"Verify\", \"description\": \"\", \"commands\": []}]}");
    appData.load(); // the defaults: no settings file in the folder
    appData.confirmQuit = false;
    appData.confirmExecConfig = false;
    int failures = 0;
    for (const char *language : {"rus", "eng"}) {
        lang.load(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/language/%1.lng").arg(QLatin1String(language)));
        for (int set : {0, 1}) {
            appData.pathProjects = home.path();
            appData.prjListName = QStringLiteral("Lab");
            appData.prjListFile = QStringLiteral("list.lst");
            appData.prjListShowName = appData.prjListShowFilter = true;
            appData.openLastPrj = true;
            appData.lastPrj = 1;
            appData.lastCfg = 0;
            appData.iconsSet = set;
            appData.windowMainLeft = appData.windowMainTop = 0;
            appData.windowMainWidth = 1000;
            appData.windowMainHeight = 600;
            TMainWindow window;
            window.show();
            QApplication::processEvents();
            const QString file = QStringLiteral("%1/main_%2_set%3.png").arg(out, QLatin1String(language)).arg(set);
            if (!window.grab().save(file))
                ++failures;
            window.close();
        }
    }

    // Runs on the log panel: "Flash" waits in its pause, "Verify" chooses a
    // programmer nobody has set up and fails.
    registerMetaTypes();
    write("runs.prj", "{\"version\": 1, \"configurations\": [{\"name\": \"Flash\", \"description\": \"\","
                      " \"commands\": [{\"cmd\": \"delay\", \"status\": \"1\"}, {\"cmd\": \"pause\", \"status\": \"1\"}]},"
                      " {\"name\": \"Verify\", \"description\": \"\", \"commands\": [{\"cmd\": \"set_prog\","
                      " \"status\": \"1\", \"prog\": \"Nobody\"}]}, {\"name\": \"Read\", \"description\": \"\","
                      " \"commands\": []}]}");
    write("runs.lst", "{\"list\": [{\"name\": \"Runs\", \"file\": \"runs.prj\"}]}");
    appData.prjListFile = QStringLiteral("runs.lst");
    appData.lastPrj = 0;
    appData.iconsSet = 0;
    {
        TMainWindow window;
        window.show();
        const auto waitFor = [](const std::function<bool()> &done) {
            QElapsedTimer timer;
            timer.start();
            while (!done() && timer.elapsed() < 10000)
                QApplication::processEvents(QEventLoop::AllEvents, 50);
        };
        const int flash = window.prjView()->cfgIdAt(0);
        const int verify = window.prjView()->cfgIdAt(1);
        window.prjView()->selectCfgCmd(1, 0);
        window.action(QStringLiteral("Exec"))->trigger();
        waitFor([&] { return dataPrj.cfgExecState(verify) == 4 && window.runningCount() == 0; });
        window.prjView()->selectCfgCmd(0, 0);
        window.action(QStringLiteral("Exec"))->trigger();
        waitFor([&] { return dataPrj.cfgExecState(flash) == 2; });
        window.slotSetViewParamExec();
        QApplication::processEvents();
        if (!window.grab().save(QStringLiteral("%1/main_eng_runs.png").arg(out)))
            ++failures;
        // Ctrl+Return stops the paused run before the window goes.
        TMainWindow::keyboardModifiers = [] { return Qt::KeyboardModifiers(Qt::ControlModifier); };
        window.action(QStringLiteral("Exec"))->trigger();
        waitFor([&] { return window.runningCount() == 0; });
    }
    return failures == 0 ? 0 : 1;
}
