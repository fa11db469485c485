// The AVR8 executor writing and reading back a 256 KiB flash (ATmega2560:
// extended addresses, 256-byte pages) and a 4 KiB EEPROM, at programmer
// blocks of 64 and 256 bytes. Each run is printed beside the same requests
// sent straight through TSerialPort::transaction in the same run: the ratio
// is what the driver costs on top of the link.

#include "bench_setup.h"
#include "core/TAppData.h"
#include "core/consts.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/TDevAVR8_spi.h"
#include "devices/TDevAVR8_spi_exec.h"
#include "devices/TDeviceList.h"
#include "link/TProg.h"
#include "link/TSerialPort.h"
#include "support/AvrChip.h"
#include "support/FakeProgrammer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

const QString DEVICES = QStringLiteral(VELKOR_SOURCE_DIR "/runtime/devices");

struct Timing
{
    double driverMs = 0;
    double linkMs = 0;
    int requests = 0;
};

bool measure(int maxData, const QString &dir, const TData &desc, Timing &t)
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
    TDevAVR8_SPI device(QStringLiteral("ATmega2560"), desc);
    const QByteArray setup = device.devSetup(TData());
    AvrChip::Spec spec;
    spec.signature = QByteArray::fromHex("1e9801");
    spec.flashSize = desc.value(DEV_FLASH_SIZE).toInt();
    spec.pageSize = desc.value(DEV_FLASH_PAGE_SIZE).toInt();
    spec.eepromSize = desc.value(DEV_EEPROM_SIZE).toInt();
    fake.setChip(std::make_shared<AvrChip>(spec, quint16(quint8(setup.at(0)) | quint8(setup.at(1)) << 8)));
    TSerialPort port;
    if (!port.openPort(fake.portName(), QIODevice::ReadWrite))
        return false;
    port.setTimeout(2000);
    port.setMaxData(quint16(maxData));
    QByteArray record = setup;
    if (!port.transaction(0x84, record))
        return false;
    fake.clearRequests();

    dataPrj.clear();
    const int cfg = dataPrj.addCfg(QStringLiteral("bench"), QString());
    QElapsedTimer clock;
    clock.start();
    const struct { const char *code; qint64 count; } cmds[] = {
        {CMD_FLASH_CHAR_WRITE, spec.flashSize}, {CMD_FLASH_CHAR_VERIFY, spec.flashSize},
        {CMD_EEPROM_CHAR_WRITE, spec.eepromSize}, {CMD_EEPROM_CHAR_VERIFY, spec.eepromSize}};
    for (const auto &c : cmds) {
        TData data{{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, QLatin1String(c.code)},
                   {CHAR_ADDR_DEVICE, 0}, {CHAR_COUNT, c.count}, {CHAR_FILL_CHAR, 0x00}};
        const int id = dataPrj.addCmd(data);
        dataPrj.cmdById(id)->setDevice(&device);
        dataPrj.cmdById(id)->setProg(&prog);
        data.insert(QLatin1String(REC_ID_CMD), id);
        TDevAVR8_SPI_Exec exec(data);
        if (!exec.execute(&port, nullptr, nullptr, nullptr)) {
            std::fprintf(stderr, "%s: %s\n", c.code, qPrintable(exec.errorText()));
            return false;
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
    appData.pathDevices = DEVICES;
    const TData desc = TDeviceList::readDescription(DEVICES + QStringLiteral("/avr8/atmega2560.dev"));
    std::printf("AVR8: write and read back 256 KiB of flash and 4 KiB of EEPROM (ATmega2560)\n");
    for (int maxData : {64, 256}) {
        Timing t;
        if (!measure(maxData, dir.path(), desc, t)) {
            std::fprintf(stderr, "MAX_DATA %d: failed\n", maxData);
            return 1;
        }
        std::printf("MAX_DATA %3d: %6d requests, driver %8.1f ms, link alone %8.1f ms, ratio %.2f\n",
                    maxData, t.requests, t.driverMs, t.linkMs, t.driverMs / t.linkMs);
    }
    return 0;
}
