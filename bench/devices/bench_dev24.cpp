// The 24xx executor writing and reading back 1 MiB as four passes over a
// 256 KiB chip (no 24xx that the control byte reaches holds more), at
// programmer blocks of 256 and 60 bytes. Each run is printed beside the same
// requests sent straight through TSerialPort::transaction in the same run:
// the ratio is what the driver costs on top of the link.

#include "bench_setup.h"
#include "core/consts.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/TDev24.h"
#include "devices/TDev24Exec.h"
#include "link/TProg.h"
#include "link/TSerialPort.h"
#include "support/Chip24.h"
#include "support/FakeProgrammer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

constexpr int CHIP_SIZE = 256 * 1024;
constexpr int PAGE = 256;
constexpr int PASSES = 4;

struct Timing
{
    double driverMs = 0;
    double linkMs = 0;
    int requests = 0;
};

bool measure(int maxData, const QString &dir, Timing &t)
{
    const QString ini = dir + QStringLiteral("/prog%1.ini").arg(maxData);
    QFile f(ini);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write("[Protocol]\nMAX_DATA=" + QByteArray::number(maxData) + "\n");
    f.close();
    TProg prog(ini);

    FakeProgrammer fake;
    if (!benchsetup::start(fake))
        return false;
    fake.setChip(std::make_shared<Chip24>(CHIP_SIZE, PAGE, 2, 4, 0));
    TSerialPort port;
    if (!port.openPort(fake.portName(), QIODevice::ReadWrite))
        return false;
    port.setTimeout(2000);
    port.setMaxData(quint16(maxData));

    TDev24 device(QStringLiteral("24M02"),
                  {{DEV_ADDR_BEGIN, 0}, {DEV_SIZE, CHIP_SIZE}, {DEV_PAGE_SIZE, PAGE}, {DEV_ADDR_SIZE, 2},
                   {DEV_ADDR_MASK, 4}, {DEV_PRG_TYPE, QStringLiteral("I2C_24XX")}});
    QByteArray setup(9, 0);
    setup[0] = char(Chip24::TYPE_24XX & 0xFF);
    setup[1] = char(Chip24::TYPE_24XX >> 8);
    if (!port.transaction(0x84, setup))
        return false;
    fake.clearRequests();

    dataPrj.clear();
    const int cfg = dataPrj.addCfg(QStringLiteral("bench"), QString());
    QElapsedTimer clock;
    clock.start();
    for (int pass = 0; pass < PASSES; ++pass) {
        for (const char *code : {CMD_CHAR_WRITE, CMD_CHAR_VERIFY}) {
            TData data{{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, QLatin1String(code)},
                       {CHAR_ADDR_DEVICE, 0}, {CHAR_COUNT, CHIP_SIZE}, {CHAR_FILL_CHAR, 0x11 * (pass + 1)}};
            const int id = dataPrj.addCmd(data);
            dataPrj.cmdById(id)->setDevice(&device);
            dataPrj.cmdById(id)->setProg(&prog);
            data.insert(QLatin1String(REC_ID_CMD), id);
            TDev24Exec exec(data);
            if (!exec.execute(&port, nullptr, nullptr, nullptr)) {
                std::fprintf(stderr, "%s: %s\n", code, qPrintable(exec.errorText()));
                return false;
            }
        }
    }
    t.driverMs = clock.nsecsElapsed() / 1e6;

    const QVector<FakeProgrammer::Request> sent = fake.requests();
    t.requests = sent.size();
    clock.restart();
    for (const FakeProgrammer::Request &r : sent) {
        QByteArray payload = r.payload;
        if (!port.transaction(r.code, payload))
            return false;
    }
    t.linkMs = clock.nsecsElapsed() / 1e6;
    dataPrj.clear();
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    std::printf("24xx: write and read back %d KiB (%d passes over %d KiB)\n",
                PASSES * CHIP_SIZE / 1024, PASSES, CHIP_SIZE / 1024);
    for (int maxData : {256, 60}) {
        Timing t;
        if (!measure(maxData, dir.path(), t)) {
            std::fprintf(stderr, "MAX_DATA %d: failed\n", maxData);
            return 1;
        }
        std::printf("MAX_DATA %3d: %6d requests, driver %8.1f ms, link alone %8.1f ms, ratio %.2f, %.0f KiB/s\n",
                    maxData, t.requests, t.driverMs, t.linkMs, t.driverMs / t.linkMs,
                    2.0 * PASSES * CHIP_SIZE / 1024 / (t.driverMs / 1000));
    }
    return 0;
}
