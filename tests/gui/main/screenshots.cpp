// Saves pictures of the main window for a reviewer: a fixture list with a
// project open, for icon sets 0 and 1, in Russian and English. Not a test.
//   screenshots <output folder>

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/helpers.h"
#include "gui/main/TMainWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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
    return failures == 0 ? 0 : 1;
}
