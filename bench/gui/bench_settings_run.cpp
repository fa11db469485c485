// A loop of "set_prog" run by the worker against the fake programmer:
// passes per second alone, and while the programmer and main settings pages
// save over and over in the GUI thread, in the same run (the ratio is what
// saving costs the runs).

#include "bench_setup.h"
#include "core/TAppData.h"
#include "core/helpers.h"
#include "data/TDataPrj.h"
#include "gui/dialogs/TDialogSetupPageMain.h"
#include "gui/dialogs/TDialogSetupPageProg.h"
#include "gui/main/startup.h"
#include "link/TExec.h"
#include "support/ExecHarness.h"
#include "support/FakeProgrammer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

namespace {


// Seconds for one run of the loop; the pages save meanwhile when given.
double runLoop(int passes, TDialogSetupPageProg *prog, TDialogSetupPageMain *main)
{
    dataPrj.clear();
    const int cfg = addSetProgLoop(QStringLiteral("loop"), passes);
    dataPrj.validateAll();
    Receiver rx;
    QElapsedTimer timer;
    timer.start();
    QPointer<QThread> thread = startExec(cfg, &rx);
    while (thread) {
        if (prog) {
            prog->save();
            main->save();
        }
        QCoreApplication::processEvents();
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (rx.statuses.size() != 1 || !rx.statuses.first().second)
        std::fprintf(stderr, "the loop failed\n");
    return seconds;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerMetaTypes();
    // The shipped texts, as the program runs with: the runs and the pages
    // fill in their texts (the port's holder, the column tips) from them.
    benchsetup::useShipped();
    QTemporaryDir dir;
    setAppFileLocation(dir.path(), QStringLiteral("velkor"));
    FakeProgrammer fake;
    if (!benchsetup::startAs(fake, QStringLiteral("Loop")))
        return 1;
    appData.progDefault = 0;

    constexpr int passes = 300;
    TDialogSetupPageProg prog;
    TDialogSetupPageMain main;
    prog.load();
    main.load();
    const double alone = runLoop(passes, nullptr, nullptr);
    const double saving = runLoop(passes, &prog, &main);
    std::printf("set_prog loop: %.0f passes/s alone, %.0f passes/s while the pages save (ratio %.2f)\n",
                passes / alone, passes / saving, alone / saving);
    dataPrj.clear();
    return 0;
}
