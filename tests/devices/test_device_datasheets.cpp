// The shipped device descriptions against the figures of the chips' data
// sheets: memory sizes, pages, identifications, register counts, and the
// waits the programmer keeps after a write or an erase, which must not be
// shorter than the data sheet's minimum (a shorter wait loses bytes while
// the run reports success). Every algorithm key names a variant the program
// has.

#include "core/TAppData.h"
#include "core/consts.h"
#include "devices/TDeviceList.h"
#include "devices/avr8_payload.h"
#include "devices/dev_lists.h"

#include <QRegularExpression>
#include <QSet>
#include <QtTest>

#include <algorithm>

namespace {

const QString DEVICES = QStringLiteral(VELKOR_SOURCE_DIR "/runtime/devices");

bool powerOfTwo(qint64 n)
{
    return n > 0 && (n & (n - 1)) == 0;
}

// Serial programming of AVR8 parts: the minimum wait before the next flash
// or EEPROM location, after a chip erase and after a fuse or lock write, in
// tenths of a millisecond.
struct Avr
{
    const char *name;
    const char *signature;
    qint64 flash, page, eeprom;
    int flashWait, eepromWait, eraseWait, fuseWait;
    int fuses, calibration;
};
const Avr AVRS[] = {
    {"ATtiny13", "1E9007", 1024, 32, 64, 45, 40, 40, 45, 2, 2},
    {"ATtiny25", "1E9108", 2048, 32, 128, 45, 40, 90, 45, 3, 1},
    {"ATtiny45", "1E9206", 4096, 64, 256, 45, 40, 90, 45, 3, 1},
    {"ATtiny85", "1E930B", 8192, 64, 512, 45, 40, 90, 45, 3, 1},
    {"ATtiny2313", "1E910A", 2048, 32, 128, 45, 40, 90, 45, 3, 2},
    {"ATmega8", "1E9307", 8192, 64, 512, 45, 90, 90, 45, 2, 4},
    {"ATmega48", "1E9205", 4096, 64, 256, 45, 36, 90, 45, 3, 1},
    {"ATmega88", "1E930A", 8192, 64, 512, 45, 36, 90, 45, 3, 1},
    {"ATmega168", "1E9406", 16384, 128, 512, 45, 36, 90, 45, 3, 1},
    {"ATmega328P", "1E950F", 32768, 128, 1024, 45, 36, 90, 45, 3, 1},
    {"ATmega16", "1E9403", 16384, 128, 512, 45, 90, 90, 45, 2, 4},
    {"ATmega32", "1E9502", 32768, 128, 1024, 45, 90, 90, 45, 2, 4},
    {"ATmega64", "1E9602", 65536, 256, 2048, 45, 90, 90, 45, 3, 4},
    {"ATmega128", "1E9702", 131072, 256, 4096, 45, 90, 90, 45, 3, 4},
    {"ATmega1280", "1E9703", 131072, 256, 4096, 45, 90, 90, 45, 3, 1},
    {"ATmega2560", "1E9801", 262144, 256, 4096, 45, 90, 90, 45, 3, 1},
};

// 24xx I2C EEPROMs: size, write page, word-address bytes, chip-select pins
// (bit 0 A0 .. bit 2 A2) and the longest write cycle in milliseconds.
struct Eeprom
{
    const char *name;
    qint64 size;
    int page, addressBytes, pins, writeCycle;
};
const Eeprom EEPROMS[] = {
    {"24C01", 128, 8, 1, 7, 5},       {"24C02", 256, 8, 1, 7, 5},       {"24C04", 512, 16, 1, 6, 5},
    {"24C08", 1024, 16, 1, 4, 5},     {"24C16", 2048, 16, 1, 0, 5},     {"24C32", 4096, 32, 2, 7, 5},
    {"24C64", 8192, 32, 2, 7, 5},     {"24C128", 16384, 64, 2, 7, 5},   {"24C256", 32768, 64, 2, 7, 5},
    {"24C512", 65536, 128, 2, 7, 5},  {"24M01", 131072, 256, 2, 6, 5}, {"24M02", 262144, 256, 2, 4, 10},
};

// 25xx SPI flash: JEDEC identification, size, status registers, security
// register bytes and SFDP table bytes, and the bits of the status registers
// from bit 7 of the first down to bit 0 of the last ("-" reserved).
struct Flash
{
    const char *name;
    const char *jedec;
    qint64 size;
    int statusRegisters;
    qint64 security, sfdp;
    const char *otherVariants; // the keys, sorted, that name a variant other than 0
    const char *statusBits;
};
const char JV_SR2_SR3[] = "SUS CMP LB3 LB2 LB1 - QE SRL - DRV1 DRV0 - - WPS";
const Flash FLASHES[] = {
    {"W25X10CL", "EF3011", 1 << 17, 1, 0, 0,
     "alg_fsdp_read alg_security_reg_erase alg_security_reg_read alg_security_reg_write alg_status_reg_write",
     "SRP - TB BP2 BP1 BP0 WEL BUSY"},
    {"W25Q80DV", "EF4014", 1 << 20, 2, 768, 256, "alg_status_reg_write",
     "SRP0 SEC TB BP2 BP1 BP0 WEL BUSY SUS CMP LB3 LB2 LB1 - QE SRP1"},
    {"W25Q16JV", "EF4015", 1 << 21, 3, 768, 256, "", "SRP SEC TB BP2 BP1 BP0 WEL BUSY"},
    {"W25Q32JV", "EF4016", 1 << 22, 3, 768, 256, "", "SRP SEC TB BP2 BP1 BP0 WEL BUSY"},
    {"W25Q64JV", "EF4017", 1 << 23, 3, 768, 256, "", "SRP SEC TB BP2 BP1 BP0 WEL BUSY"},
    {"W25Q128JV", "EF4018", 1 << 24, 3, 768, 256, "", "SRP SEC TB BP2 BP1 BP0 WEL BUSY"},
    // Four block-protect bits and TB in status register 1, no SEC; the
    // address-mode bits ADP and ADS in status register 3.
    {"W25Q256JV", "EF4019", 1 << 25, 3, 768, 256, "", "SRP TB BP3 BP2 BP1 BP0 WEL BUSY"},
};

// The bits the chip sets itself, which a write cannot change.
const QStringList READ_ONLY_BITS{"BUSY", "WEL", "SUS", "ADS"};

// The full layout of a chip's status registers.
QStringList statusBits(const Flash &f)
{
    QStringList bits = QString::fromLatin1(f.statusBits).split(QLatin1Char(' '));
    if (f.statusRegisters == 3)
        bits << QString::fromLatin1(JV_SR2_SR3).split(QLatin1Char(' '))
             << (QLatin1String(f.name) == QLatin1String("W25Q256JV") ? QStringList{"ADP", "ADS"}
                                                                     : QStringList{"-", "-"});
    return bits;
}

// A wait kept by the programmer: 0xFF (polling) or the delay in ms.
bool waitsLongEnough(const TData &dev, const char *polling, const char *delay, int tenths)
{
    return dev.value(QLatin1String(polling)).toBool() || dev.value(QLatin1String(delay)).toInt() * 10 >= tenths;
}

} // namespace

class TestDeviceDatasheets : public QObject
{
    Q_OBJECT

    QHash<QString, QString> devices;

    TData describe(const QString &name)
    {
        bool read = false;
        const TData dev = TDeviceList::readDescription(DEVICES + QLatin1Char('/') + devices.value(name), &read);
        return read ? dev : TData();
    }

    // The algorithm keys of a description and their variants.
    static QHash<QString, int> algorithms(const TData &dev)
    {
        QHash<QString, int> keys;
        for (auto it = dev.begin(); it != dev.end(); ++it)
            if (it.key().startsWith(QLatin1String("alg_")))
                keys.insert(it.key(), it.value().toInt());
        return keys;
    }

private slots:
    void initTestCase()
    {
        appData.pathDevices = DEVICES;
        devices = readDevicesList();
        int shipped = 0;
        for (const QString &file : devices)
            shipped += !file.startsWith(QLatin1String("xmc1/"));
        QCOMPARE(shipped, int(std::size(AVRS) + std::size(EEPROMS) + std::size(FLASHES)));
    }

    void avr8_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(AVRS)); ++i)
            QTest::newRow(AVRS[i].name) << i;
    }
    void avr8()
    {
        QFETCH(int, index);
        const Avr &a = AVRS[index];
        const TData dev = describe(QLatin1String(a.name));
        QVERIFY(!dev.isEmpty());
        QCOMPARE(dev.value(DEV_SIGNATURE).toString(), QLatin1String(a.signature));
        QCOMPARE(dev.value(DEV_FLASH_SIZE).toLongLong(), a.flash);
        QCOMPARE(dev.value(DEV_FLASH_PAGE_SIZE).toLongLong(), a.page);
        QCOMPARE(dev.value(DEV_EEPROM_SIZE).toLongLong(), a.eeprom);
        QVERIFY(powerOfTwo(a.flash) && powerOfTwo(a.page) && powerOfTwo(a.eeprom) && a.flash % a.page == 0);
        QCOMPARE(dev.value(DEV_FLASH_ADDR_BEGIN).toLongLong(), 0);
        QCOMPARE(dev.value(DEV_EEPROM_ADDR_BEGIN).toLongLong(), 0);
        QVERIFY(waitsLongEnough(dev, DEV_FLASH_POLLING, DEV_FLASH_DELAY, a.flashWait));
        QVERIFY(waitsLongEnough(dev, DEV_EEPROM_POLLING, DEV_EEPROM_DELAY, a.eepromWait));
        QVERIFY(waitsLongEnough(dev, DEV_ERASE_POLLING, DEV_ERASE_DELAY, a.eraseWait));
        QVERIFY(waitsLongEnough(dev, DEV_FUSE_POLLING, DEV_FUSE_DELAY, a.fuseWait));
        QVERIFY(waitsLongEnough(dev, DEV_LOCK_POLLING, DEV_LOCK_DELAY, a.fuseWait));
        QCOMPARE(dev.value(DEV_FUSE_DEF).toString().size(), 2 * a.fuses);
        QCOMPARE(dev.value(DEV_OSCCAL_DEF).toString().size(), 2 * a.calibration);
        const QHash<QString, int> keys = algorithms(dev);
        QCOMPARE(keys.size(), 11);
        for (auto it = keys.begin(); it != keys.end(); ++it)
            QVERIFY2(it.value() >= 0 && it.value() <= avr8::highestAlg(it.key()), qPrintable(it.key()));
    }

    void eeproms24_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(EEPROMS)); ++i)
            QTest::newRow(EEPROMS[i].name) << i;
    }
    void eeproms24()
    {
        QFETCH(int, index);
        const Eeprom &e = EEPROMS[index];
        const TData dev = describe(QLatin1String(e.name));
        QVERIFY(!dev.isEmpty());
        QCOMPARE(dev.value(DEV_SIZE).toLongLong(), e.size);
        QCOMPARE(dev.value(DEV_PAGE_SIZE).toInt(), e.page);
        QVERIFY(powerOfTwo(e.size) && powerOfTwo(e.page) && e.size % e.page == 0);
        QCOMPARE(dev.value(DEV_ADDR_SIZE).toInt(), e.addressBytes);
        QCOMPARE(dev.value(DEV_ADDR_MASK).toInt(), e.pins);
        QVERIFY(dev.value(DEV_DELAY).toInt() >= e.writeCycle);
        const QHash<QString, int> keys = algorithms(dev);
        QCOMPARE(keys, (QHash<QString, int>{{QStringLiteral("alg_read"), 0}, {QStringLiteral("alg_write"), 0}}));
    }

    void flash25_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(FLASHES)); ++i)
            QTest::newRow(FLASHES[i].name) << i;
    }
    void flash25()
    {
        QFETCH(int, index);
        const Flash &f = FLASHES[index];
        const TData dev = describe(QLatin1String(f.name));
        QVERIFY(!dev.isEmpty());
        QCOMPARE(dev.value(DEV_SIGNATURE).toString(), QLatin1String(f.jedec));
        QCOMPARE(dev.value(DEV_SIZE).toLongLong(), f.size);
        QCOMPARE(dev.value(DEV_PAGE_SIZE).toInt(), 256);
        QVERIFY(powerOfTwo(f.size));
        QCOMPARE(dev.value(DEV_STATUS_REG_DEF).toString().size(), 2 * f.statusRegisters);
        QCOMPARE(dev.value(DEV_SECURITY_REG_SIZE).toLongLong(), f.security);
        QCOMPARE(dev.value(DEV_SFDP_REG_SIZE).toLongLong(), f.sfdp);
        // Every operation has the program's variant, but the status write of
        // the chips with fewer than three status registers (and the register
        // reads of a chip that has none), whose variant the program lacks.
        const QHash<QString, int> keys = algorithms(dev);
        QCOMPARE(keys.size(), 11);
        QStringList other;
        for (auto it = keys.begin(); it != keys.end(); ++it)
            if (it.value() != 0)
                other << it.key();
        std::sort(other.begin(), other.end());
        QCOMPARE(other.join(QLatin1Char(' ')), QLatin1String(f.otherVariants));
    }

    // The boxes of the status form name the bits of the data sheet at their
    // masks, writable unless the chip sets them itself or the program keeps
    // them; no label or tool-tip names a bit the chip does not have.
    void flash25StatusBits_data() { flash25_data(); }
    void flash25StatusBits()
    {
        QFETCH(int, index);
        const Flash &f = FLASHES[index];
        const QStringList expected = statusBits(f);
        QCOMPARE(expected.size(), 8 * f.statusRegisters);
        QSet<QString> anyChip;
        for (const Flash &other : FLASHES)
            for (const QString &bit : statusBits(other))
                anyChip.insert(bit);
        const TData dev = describe(QLatin1String(f.name));
        QStringList shown(QVector<QString>(expected.size(), QStringLiteral("-")).toList());
        for (const QString &line : dev.value(DEV_STATUS_REG_CFG).toStringList()) {
            const QStringList parts = line.split(QLatin1Char('|'));
            if (parts.value(0) != QLatin1String("ckl") && parts.value(0) != QLatin1String("ckr"))
                continue;
            bool ok = false;
            const qulonglong mask = parts.value(1).toULongLong(&ok, 16);
            QVERIFY2(ok && mask && !(mask & (mask - 1)), qPrintable(line));
            const int position = expected.size() - 1 - int(qCountTrailingZeroBits(quint64(mask)));
            QVERIFY2(position >= 0 && shown.at(position) == QLatin1String("-"), qPrintable(line));
            const QString name = parts.value(5).section(QLatin1Char(':'), 0, 0).trimmed();
            shown[position] = name;
            // "k": a status write keeps ADP as the chip holds it (set, the chip
            // powers up taking addresses of 4 bytes).
            QCOMPARE(parts.value(3), QString(READ_ONLY_BITS.contains(name) ? "-" : name == "ADP" ? "k" : "e"));
            const QString words = parts.value(5) + QLatin1Char(' ') + parts.value(6);
            for (const QString &word : words.split(QRegularExpression(QStringLiteral("[^A-Za-z0-9]+"))))
                QVERIFY2(!anyChip.contains(word) || expected.contains(word), qPrintable(word + ": " + line));
        }
        QCOMPARE(shown.join(QLatin1Char(' ')), expected.join(QLatin1Char(' ')));
    }
};

QTEST_MAIN(TestDeviceDatasheets)
#include "test_device_datasheets.moc"
