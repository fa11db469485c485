// The 25xx driver through the execution worker: a configuration that writes
// a file of 1 MiB and one of 16 MiB to an emulated 128 Mbit flash and reads
// each back, at a programmer block of 256 bytes. Each run is printed beside
// the same requests sent straight through TSerialPort::transaction in the
// same process: the ratio is what the worker and the driver cost on top of
// the link. Last, 1 MiB through velkor-emulator, the emulated programmer as
// a program of its own, beside the same run against the programmer in this
// process.

#include "bench_setup.h"
#include "core/consts.h"
#include "data/TDataPrj.h"
#include "gui/main/startup.h"
#include "link/TExec.h"
#include "link/TSerialPort.h"
#include "support/ExecHarness.h"
#include "support/FakeProgrammer.h"
#include "support/Spi25Chip.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>
#include <memory>

namespace {

constexpr qint64 CHIP_SIZE = qint64(1) << 24;

// Writes the image (in.bin of dir) to the device and reads it back through
// the worker, with the programmer "Emu" on port; the run's time in ms, or a
// negative number when it failed or read back something else.
double runConfig(const QString &port, const QString &device, const QString &file, const QByteArray &image,
                 const QString &dir)
{
    benchsetup::useEmulated({QStringLiteral("Emu")}, {port});
    QFile::remove(dir + QStringLiteral("/out.bin"));

    dataPrj.clear();
    dataPrj.fromHash({{INFO_PRJ_FILE, dir + QStringLiteral("/bench.prj")}, {PRJ_WORK_PATH, dir}});
    const int cfg = dataPrj.addCfg(QStringLiteral("bench"), QString());
    addToolCmd(cfg, CMD_SET_PROG, {{SET_PROG_PROG, QStringLiteral("Emu")}});
    dataPrj.addCmd({{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_SET_DEVICE},
                    {SET_DEVICE_DEVICE, device}, {SET_DEVICE_FILE, file}, {SET_CLK_CLK, 1000000}});
    for (const char *code : {CMD_FILE_WRITE, CMD_FILE_READ})
        dataPrj.addCmd({{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, QLatin1String(code)},
                        {FILE_FORMAT, QStringLiteral("bin")}, {FILE_ADDR_FILE, 0}, {FILE_ADDR_DEVICE, 0},
                        {FILE_COUNT, image.size()},
                        {FILE_FILE, QLatin1String(code == CMD_FILE_WRITE ? "in.bin" : "out.bin")}});
    dataPrj.validateAll();

    Receiver rx;
    QElapsedTimer clock;
    clock.start();
    QPointer<QThread> thread = startExec(cfg, &rx);
    if (!TExec::waitForThread(thread, 600000))
        return -1;
    QCoreApplication::processEvents();
    const double ms = clock.nsecsElapsed() / 1e6;
    dataPrj.clear();
    if (rx.statuses.size() != 1 || !rx.statuses.first().second) {
        for (const Receiver::Event &e : rx.events)
            std::fprintf(stderr, "%s %s\n", qPrintable(e.text), qPrintable(e.text2));
        return -1;
    }
    QFile out(dir + QStringLiteral("/out.bin"));
    if (!out.open(QIODevice::ReadOnly) || out.readAll() != image) {
        std::fprintf(stderr, "read-back differs\n");
        return -1;
    }
    return ms;
}

QByteArray writeImage(qint64 size, const QString &dir)
{
    QByteArray image(int(size), Qt::Uninitialized);
    QRandomGenerator gen(7);
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(gen.bounded(256));
    QFile in(dir + QStringLiteral("/in.bin"));
    if (!in.open(QIODevice::WriteOnly) || in.write(image) != image.size())
        return QByteArray();
    return image;
}

bool measure(qint64 size, const QString &dir, double &runMs, double &linkMs, int &requests)
{
    FakeProgrammer fake;
    if (!benchsetup::start(fake))
        return false;
    fake.setChip(std::make_shared<Spi25Chip>(CHIP_SIZE, QByteArray::fromHex("EF4018")));
    const QByteArray image = writeImage(size, dir);
    runMs = runConfig(fake.portName(), QStringLiteral("W25Q128JV"), QStringLiteral("25xx/w25q128jv.dev"), image, dir);
    if (image.isEmpty() || runMs < 0)
        return false;

    const QVector<FakeProgrammer::Request> sent = fake.requests();
    requests = sent.size();
    TSerialPort port;
    if (!port.openPort(fake.portName(), QIODevice::ReadWrite))
        return false;
    port.setTimeout(2000);
    port.setMaxData(1024);
    QElapsedTimer clock;
    clock.start();
    for (const FakeProgrammer::Request &r : sent) {
        QByteArray payload = r.payload;
        if (!port.transaction(r.code, payload))
            return false;
    }
    linkMs = clock.nsecsElapsed() / 1e6;
    return true;
}

// 1 MiB on a W25Q16JV through the in-process programmer and through
// velkor-emulator as a process of its own (keeping the chip's contents in a
// folder, as the start script runs it).
bool measureEmulator(const QString &dir, double &inProcessMs, double &programMs)
{
    const QByteArray image = writeImage(qint64(1) << 20, dir);
    const QString device = QStringLiteral("W25Q16JV");
    const QString file = QStringLiteral("25xx/w25q16jv.dev");
    {
        FakeProgrammer fake;
        if (image.isEmpty() || !fake.start())
            return false;
        fake.setChip(std::make_shared<Spi25Chip>(qint64(1) << 21, QByteArray::fromHex("EF4015")));
        inProcessMs = runConfig(fake.portName(), device, file, image, dir);
    }
    QProcess emulator;
    emulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    emulator.start(QStringLiteral(VELKOR_BIN_DIR "/velkor-emulator"),
                   {QStringLiteral("--data"), dir + QStringLiteral("/chips")});
    if (!emulator.waitForStarted(10000) || !emulator.waitForReadyRead(10000)) {
        std::fprintf(stderr, "velkor-emulator did not start\n");
        return false;
    }
    programMs = runConfig(QString::fromUtf8(emulator.readLine()).trimmed(), device, file, image, dir);
    ::kill(pid_t(emulator.processId()), SIGTERM);
    emulator.waitForFinished(10000);
    return inProcessMs >= 0 && programMs >= 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    registerMetaTypes();
    benchsetup::useShipped();
    QTemporaryDir dir;

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

    double inProcessMs = 0, programMs = 0;
    if (!measureEmulator(dir.path(), inProcessMs, programMs)) {
        std::fprintf(stderr, "velkor-emulator: failed\n");
        return 1;
    }
    std::printf("1 MiB on a W25Q16JV: in-process programmer %9.1f ms, velkor-emulator %9.1f ms, ratio %.2f\n",
                inProcessMs, programMs, programMs / inProcessMs);
    return 0;
}
