#pragma once
// What the benchmarks of runs through the main window share: the shipped
// settings and English texts with emulated programmers in a folder of their
// own, the project saved as the one entry of a project list the next main
// window opens, and runs started by the execute action and waited for in
// the event loop.

#include "bench_setup.h"
#include "core/TAppData.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TCtrlProject.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "gui/main/TMainWindow.h"
#include "gui/views/TWgtPrj.h"
#include "support/ExecHarness.h"
#include "support/FakeProgrammer.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <vector>

namespace windowbench {

// Settings as shipped (read from an empty settings file in the folder), the
// English texts, the shipped devices, and one emulated programmer named
// "Emu<n>" on each fake; no confirmation is asked. False, with the reason
// printed, when a fake does not start.
inline bool setUp(const QTemporaryDir &home, const std::vector<std::unique_ptr<FakeProgrammer>> &fakes)
{
    setAppFileLocation(home.path());
    appData.load();
    benchsetup::useShipped();
    QStringList names, ports;
    for (size_t n = 0; n < fakes.size(); ++n) {
        if (!benchsetup::start(*fakes[n]))
            return false;
        names << QStringLiteral("Emu%1").arg(n);
        ports << fakes[n]->portName();
    }
    benchsetup::useEmulated(names, ports);
    appData.confirmExecConfig = false;
    appData.confirmQuit = false;
    return true;
}

// Saves the project in memory as the folder's "bench.prj", the one entry of
// the list "bench.lst" that the next main window opens, and empties the
// project in memory.
inline bool offerProject(const QTemporaryDir &home)
{
    TCtrlProject ctrl;
    if (!ctrl.save(home.filePath(QStringLiteral("bench.prj")), &dataPrj))
        return false;
    dataPrj.clear();
    QFile list(home.filePath(QStringLiteral("bench.lst")));
    if (!list.open(QIODevice::WriteOnly))
        return false;
    list.write("{\"list\": [{\"name\": \"Bench\", \"file\": \"bench.prj\"}]}");
    list.close();
    appData.pathProjects = home.path();
    appData.prjListName = QStringLiteral("Bench");
    appData.prjListFile = QStringLiteral("bench.lst");
    appData.openLastPrj = true;
    appData.lastPrj = 0;
    appData.lastCfg = 0;
    return true;
}

// An empty project whose data files go to the folder.
inline void newProject(const QTemporaryDir &home)
{
    dataPrj.clear();
    dataPrj.fromHash({{INFO_PRJ_FILE, home.filePath(QStringLiteral("bench.prj"))}, {PRJ_WORK_PATH, home.path()}});
}

// Appends to the configuration the choice of the programmer "Emu<prog>" and
// a 24C512 on it, then a write of count bytes from the image file and their
// read back into the back file; returns the id of the write.
inline int add24xxCopy(int cfg, int prog, int count, const QString &image, const QString &back)
{
    addToolCmd(cfg, CMD_SET_PROG, {{SET_PROG_PROG, QStringLiteral("Emu%1").arg(prog)}});
    const int setDevice = dataPrj.addCmd({{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_SET_DEVICE},
                                          {SET_DEVICE_DEVICE, QStringLiteral("24C512")},
                                          {SET_DEVICE_FILE, QStringLiteral("24xx/24c512.dev")},
                                          {SET_CLK_CLK, 400000}, {SET_ADDR_ADDR, 0}});
    dataPrj.validateAll();
    IDevice *device = dataPrj.cmdById(setDevice)->device();
    int write = -1;
    for (const char *code : {CMD_FILE_WRITE, CMD_FILE_READ}) {
        const bool writing = code == CMD_FILE_WRITE;
        TData data{{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, QLatin1String(code)}, {REC_ID_CMD, -1}};
        if (device)
            device->initCmdParam(data);
        data.remove(REC_ID_CMD);
        data.insert(FILE_FORMAT, QStringLiteral("bin"));
        data.insert(FILE_FILE, writing ? image : back);
        data.insert(FILE_COUNT, count);
        const int id = dataPrj.addCmd(data);
        if (writing)
            write = id;
    }
    return write;
}

// Starts the configurations of the tabs through the execute action and
// returns the seconds until every worker is gone. The wait sleeps in the
// event loop and looks at the window again every millisecond.
inline double runTabs(TMainWindow &w, const QList<int> &tabs)
{
    QElapsedTimer timer;
    timer.start();
    for (int tab : tabs) {
        w.prjView()->selectCfgCmd(tab, 0);
        w.action(QStringLiteral("Exec"))->trigger();
    }
    QEventLoop loop;
    QTimer look;
    look.setInterval(1);
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (w.runningCount() == 0)
            loop.quit();
    });
    look.start();
    if (w.runningCount() > 0)
        loop.exec();
    const double seconds = timer.nsecsElapsed() / 1e9;
    for (int tab : tabs) {
        if (dataPrj.cfgExecState(w.prjView()->cfgIdAt(tab)) != 3)
            std::fprintf(stderr, "the run of tab %d failed\n", tab);
    }
    return seconds;
}

} // namespace windowbench
