// The 25xx driver through the execution worker: a configuration that writes
// a file of 1 MiB and one of 16 MiB to an emulated 128 Mbit flash and reads
// each back, at a programmer block of 256 bytes. Each run is printed beside
// the same requests sent straight through TSerialPort::transaction in the
// same process: the ratio is what the worker and the driver cost on top of
// the link.

#include "core/TAppData.h"
#include "core/consts.h"
#include "data/TDataPrj.h"
#include "devices/TDevTools.h"
#include "devices/TDeviceList.h"
#include "gui/main/startup.h"
#include "link/TExec.h"
#include "link/TSerialPort.h"
#include "support/ExecHarness.h"
#include "support/FakeProgrammer.h"
#include "support/Spi25Chip.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

constexpr qint64 CHIP_SIZE = qint64(1) << 24;

bool measure(qint64 size, const QString &dir, double &runMs, double &linkMs, int &requests)
{
    FakeProgrammer fake;
    if (!fake.start()) {
        std::fprintf(stderr, "%s\n", qPrintable(fake.errorString()));
        return false;
    }
    fake.setChip(std::make_shared<Spi25Chip>(CHIP_SIZE, QByteArray::fromHex("EF4018")));
    TProgName names;
    names.add(true, QStringLiteral("Emu"), fake.portName(), QStringLiteral("Emulated"));
    appData.progName.replace(names);

    QByteArray image(int(size), Qt::Uninitialized);
    QRandomGenerator gen(7);
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(gen.bounded(256));
    QFile in(dir + QStringLiteral("/in.bin"));
    if (!in.open(QIODevice::WriteOnly) || in.write(image) != image.size())
        return false;
    in.close();

    dataPrj.clear();
    dataPrj.fromHash({{INFO_PRJ_FILE, dir + QStringLiteral("/bench.prj")}, {PRJ_WORK_PATH, dir}});
    const int cfg = dataPrj.addCfg(QStringLiteral("bench"), QString());
    TData prog{{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_SET_PROG}};
    TDevTools(GROUP_TOOLS, TData()).initCmdParam(prog);
    prog.insert(SET_PROG_PROG, QStringLiteral("Emu"));
    dataPrj.addCmd(prog);
    dataPrj.addCmd({{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_SET_DEVICE},
                    {SET_DEVICE_DEVICE, QStringLiteral("W25Q128JV")},
                    {SET_DEVICE_FILE, QStringLiteral("25xx/w25q128jv.dev")}, {SET_CLK_CLK, 1000000}});
    for (const char *code : {CMD_FILE_WRITE, CMD_FILE_READ})
        dataPrj.addCmd({{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, QLatin1String(code)},
                        {FILE_FORMAT, QStringLiteral("bin")}, {FILE_ADDR_FILE, 0}, {FILE_ADDR_DEVICE, 0},
                        {FILE_COUNT, size},
                        {FILE_FILE, QLatin1String(code == CMD_FILE_WRITE ? "in.bin" : "out.bin")}});
    dataPrj.validateAll();

    Receiver rx;
    QElapsedTimer clock;
    clock.start();
    QPointer<QThread> thread = startExec(cfg, &rx);
    if (!TExec::waitForThread(thread, 600000))
        return false;
    QCoreApplication::processEvents();
    runMs = clock.nsecsElapsed() / 1e6;
    if (rx.statuses.size() != 1 || !rx.statuses.first().second) {
        for (const Receiver::Event &e : rx.events)
            std::fprintf(stderr, "%s %s\n", qPrintable(e.text), qPrintable(e.text2));
        return false;
    }
    QFile out(dir + QStringLiteral("/out.bin"));
    if (!out.open(QIODevice::ReadOnly) || out.readAll() != image) {
        std::fprintf(stderr, "read-back differs\n");
        return false;
    }

    const QVector<FakeProgrammer::Request> sent = fake.requests();
    requests = sent.size();
    TSerialPort port;
    if (!port.openPort(fake.portName(), QIODevice::ReadWrite))
        return false;
    port.setTimeout(2000);
    port.setMaxData(1024);
    clock.restart();
    for (const FakeProgrammer::Request &r : sent) {
        QByteArray payload = r.payload;
        if (!port.transaction(r.code, payload))
            return false;
    }
    linkMs = clock.nsecsElapsed() / 1e6;
    dataPrj.clear();
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    registerMetaTypes();
    QTemporaryDir dir;
    appData.setFolder(&TAppData::pathProgs, QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs"));
    appData.setFolder(&TAppData::pathDevices, QStringLiteral(VELKOR_SOURCE_DIR "/runtime/devices"));
    TProgType types;
    types.add(QStringLiteral("Emulated"), QStringLiteral("emulator.ini"));
    appData.progType.replace(types);

    std::printf("25xx: write and read back through the worker, MAX_DATA 256\n");
    for (qint64 size : {qint64(1) << 20, qint64(1) << 24}) {
        double runMs = 0, linkMs = 0;
        int requests = 0;
        if (!measure(size, dir.path(), runMs, linkMs, requests)) {
            std::fprintf(stderr, "%lld bytes: failed\n", static_cast<long long>(size));
            return 1;
        }
        std::printf("%5lld KiB: %7d requests, run %9.1f ms, link alone %9.1f ms, ratio %.2f, %.0f KiB/s\n",
                    static_cast<long long>(size / 1024), requests, runMs, linkMs, runMs / linkMs,
                    2.0 * size / 1024 / (runMs / 1000));
    }
    return 0;
}
