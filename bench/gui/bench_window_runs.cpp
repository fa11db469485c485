// Runs started through the main window: a configuration writing and reading
// back 64 KiB of a 24C512 on an emulated programmer, beside the round-trip
// bound of as many frames sent straight through the serial link in the same
// run; then two such configurations at once, each on its own programmer,
// beside one.

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TCtrlProject.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "gui/main/TMainWindow.h"
#include "gui/main/startup.h"
#include "gui/views/TWgtPrj.h"
#include "link/TProtocol.h"
#include "link/TSerialPort.h"
#include "support/Chip24.h"
#include "support/ExecHarness.h"
#include "support/FakeProgrammer.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

constexpr int kSize = 65536;

struct Bench
{
    QTemporaryDir home;
    std::unique_ptr<FakeProgrammer> fakes[2];

    QString at(const QString &name) const { return home.filePath(name); }

    // write, read back: the whole chip, from one image file.
    void configure(int n)
    {
        const int cfg = dataPrj.addCfg(QStringLiteral("Run%1").arg(n), QString());
        addToolCmd(cfg, CMD_SET_PROG, {{SET_PROG_PROG, QStringLiteral("Emu%1").arg(n)}});
        const int setDevice = dataPrj.addCmd({{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_SET_DEVICE},
                                              {SET_DEVICE_DEVICE, QStringLiteral("24C512")},
                                              {SET_DEVICE_FILE, QStringLiteral("24xx/24c512.dev")},
                                              {SET_CLK_CLK, 400000}, {SET_ADDR_ADDR, 0}});
        dataPrj.validateAll();
        IDevice *device = dataPrj.cmdById(setDevice)->device();
        for (const char *code : {CMD_FILE_WRITE, CMD_FILE_READ}) {
            TData data{{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, QLatin1String(code)}, {REC_ID_CMD, -1}};
            if (device)
                device->initCmdParam(data);
            data.remove(REC_ID_CMD);
            data.insert(FILE_FORMAT, QStringLiteral("bin"));
            data.insert(FILE_FILE, at(code == CMD_FILE_WRITE ? QStringLiteral("image.bin")
                                                              : QStringLiteral("back%1.bin").arg(n)));
            data.insert(FILE_COUNT, kSize);
            dataPrj.addCmd(data);
        }
    }

    // Starts the configurations of the tabs through the execute action and
    // returns the seconds until every worker is gone.
    double run(TMainWindow &w, const QList<int> &tabs)
    {
        QElapsedTimer timer;
        timer.start();
        for (int tab : tabs) {
            w.prjView()->selectCfgCmd(tab, 0);
            w.action(QStringLiteral("Exec"))->trigger();
        }
        while (w.runningCount() > 0)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        const double seconds = timer.nsecsElapsed() / 1e9;
        for (int tab : tabs) {
            if (dataPrj.cfgExecState(w.prjView()->cfgIdAt(tab)) != 3)
                std::fprintf(stderr, "run %d failed\n", tab);
        }
        return seconds;
    }
};

// Seconds for that many identification requests through a link of its own.
double roundTrips(const QString &port, int frames)
{
    TSerialPort link;
    if (!link.openPort(port, QIODevice::ReadWrite))
        return -1;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < frames; ++i) {
        QByteArray payload;
        link.transaction(TProtocol::PROG_IDENT, payload);
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    link.close();
    return seconds;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerMetaTypes();
    Bench b;
    setAppFileLocation(b.home.path());
    lang.load(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/language/eng.lng"));
    appData.pathDevices = QStringLiteral(VELKOR_SOURCE_DIR "/runtime/devices");
    appData.setFolder(&TAppData::pathProgs, QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs"));
    TProgType types;
    types.add(QStringLiteral("Emulated"), QStringLiteral("emulator.ini"));
    appData.progType.replace(types);
    TProgName names;
    for (int n = 0; n < 2; ++n) {
        b.fakes[n].reset(new FakeProgrammer);
        if (!b.fakes[n]->start()) {
            std::fprintf(stderr, "%s\n", qPrintable(b.fakes[n]->errorString()));
            return 1;
        }
        b.fakes[n]->setChip(std::make_shared<Chip24>(kSize, 128, 2));
        names.add(true, QStringLiteral("Emu%1").arg(n), b.fakes[n]->portName(), QStringLiteral("Emulated"));
    }
    appData.progName.replace(names);
    appData.confirmExecConfig = false;
    appData.confirmQuit = false;
    appData.execClearWindow = true;

    QByteArray image(kSize, '\0');
    for (int i = 0; i < kSize; ++i)
        image[i] = char((i * 31 + 7) & 0xFF);
    QFile f(b.at(QStringLiteral("image.bin")));
    if (!f.open(QIODevice::WriteOnly) || f.write(image) != kSize)
        return 1;
    f.close();

    dataPrj.clear();
    dataPrj.fromHash({{INFO_PRJ_FILE, b.at(QStringLiteral("bench.prj"))}, {PRJ_WORK_PATH, b.home.path()}});
    b.configure(0);
    b.configure(1);
    TCtrlProject ctrl;
    if (!ctrl.save(b.at(QStringLiteral("bench.prj")), &dataPrj))
        return 1;
    dataPrj.clear();
    QFile list(b.at(QStringLiteral("bench.lst")));
    if (!list.open(QIODevice::WriteOnly))
        return 1;
    list.write("{\"list\": [{\"name\": \"Bench\", \"file\": \"bench.prj\"}]}");
    list.close();
    appData.pathProjects = b.home.path();
    appData.prjListName = QStringLiteral("Bench");
    appData.prjListFile = QStringLiteral("bench.lst");
    appData.openLastPrj = true;
    appData.lastPrj = 0;
    appData.lastCfg = 0;

    TMainWindow w;
    w.show();
    b.fakes[0]->clearRequests();
    const double one = b.run(w, {0});
    const int frames = b.fakes[0]->requestCount();
    const double bound = roundTrips(b.fakes[0]->portName(), frames);
    const double two = b.run(w, {0, 1});
    std::printf("64 KiB written and read back through the window: %.3f s for %d frames\n", one, frames);
    std::printf("  the same number of bare round trips:            %.3f s (ratio %.2f)\n", bound,
                bound > 0 ? one / bound : 0.0);
    std::printf("  two configurations at once on two programmers:  %.3f s (ratio to one %.2f)\n", two,
                one > 0 ? two / one : 0.0);
    return 0;
}
