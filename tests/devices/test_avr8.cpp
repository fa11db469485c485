// The AVR8 and XMC1 families against the fake programmer with an emulated
// AVR8 chip: payload bytes on the wire, the device rules, whole runs that
// write, verify and read back flash and EEPROM images, fuses, lock bits and
// calibration bytes through TExec, the failures and refusals, the
// parameter forms of both families, and the shipped device descriptions.

#include "core/TAppData.h"
#include "core/TCmdCode.h"
#include "core/TLang.h"
#include "core/TProgType.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/TDevAVR8_spi.h"
#include "devices/TDevAVR8_spi_exec.h"
#include "devices/TDevXMC1_ascfd.h"
#include "devices/TDevXMC1_ascfd_exec.h"
#include "devices/TMemoryExec.h"
#include "devices/TDeviceList.h"
#include "devices/avr8_payload.h"
#include "devices/dev_lists.h"
#include "devices/check_messages.h"
#include "devices/exec_messages.h"
#include "formats/TFormat.h"
#include "gui/forms/TFormDevCfg.h"
#include "gui/forms/TFormDevEmpty.h"
#include "gui/forms/TFormDevRWV.h"
#include "gui/forms/TFormDevSetCLK.h"
#include "gui/widgets/TWgtEditStrHex.h"
#include "gui/widgets/TWgtLabelBtn.h"
#include "gui/main/startup.h"
#include "link/TExec.h"
#include "link/TProtocol.h"
#include "link/TSerialPort.h"
#include "misc/dev_misc.h"
#include "support/AvrChip.h"
#include "support/ChunkCheck.h"
#include "support/ExecHarness.h"
#include "support/FakeProgrammer.h"
#include "support/FormHost.h"
#include "support/edit_test_util.h"

#include <QCheckBox>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace avr8;

namespace {

const QString EMU = QStringLiteral("Emu");
const QString DEVICES = QStringLiteral(VELKOR_SOURCE_DIR "/runtime/devices");

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QString msg(int n)
{
    return lang.text(n);
}

using Cmds = QVector<QPair<const char *, TData>>;

} // namespace

class TestAvr8 : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<FakeProgrammer> fake;
    std::shared_ptr<AvrChip> chip;
    std::unique_ptr<Receiver> rx;
    int setDeviceId = -1;

    QString path(const QString &name) const { return dir.filePath(name); }
    void writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readFile(const QString &name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QByteArray description(const QString &file)
    {
        QFile f(DEVICES + QLatin1Char('/') + file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void useProgrammer(int maxData)
    {
        QFile in(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs/emulator.ini"));
        QVERIFY(in.open(QIODevice::ReadOnly));
        QByteArray ini = in.readAll();
        ini.replace("MAX_DATA=256", "MAX_DATA=" + QByteArray::number(maxData));
        const QString file = QStringLiteral("emu%1.ini").arg(maxData);
        writeFile(file, ini);
        TProgType types;
        types.add(QStringLiteral("Emu%1").arg(maxData), path(file));
        appData.progType.replace(types);
        TProgName names;
        names.add(true, EMU, fake->portName(), QStringLiteral("Emu%1").arg(maxData));
        appData.progName.replace(names);
    }

    // The chip a description describes, with calibration bytes 9C, 9D, ...
    void newChip(const TData &dev)
    {
        chip = std::make_shared<AvrChip>(AvrChip::specOf(dev), quint16(deviceTypeOf(QStringLiteral("AVR8_SPI"))));
        fake->setChip(chip);
    }

    // set_prog, set_device of the description file (relative to the
    // devices folder or absolute), then the commands on top of the
    // device's defaults. Returns their ids.
    QVector<int> configure(int cfg, const QString &name, const QString &file, const Cmds &cmds,
                           bool withClock = true)
    {
        dataPrj.addCmd({{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_SET_PROG}, {SET_PROG_PROG, EMU}});
        setDeviceId = dataPrj.addCmd({{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_SET_DEVICE},
                                      {SET_DEVICE_DEVICE, name}, {SET_DEVICE_FILE, file}});
        if (withClock)
            dataPrj.cmdById(setDeviceId)->putParams({{SET_CLK_CLK, 250000}});
        dataPrj.validateAll();
        IDevice *device = dataPrj.cmdById(setDeviceId)->device();
        QVector<int> ids;
        for (const auto &c : cmds) {
            TData data{{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, QLatin1String(c.first)}};
            if (device) {
                data.insert(REC_ID_CMD, -1);
                device->initCmdParam(data);
                data.remove(REC_ID_CMD);
            }
            for (auto it = c.second.begin(); it != c.second.end(); ++it)
                data.insert(it.key(), it.value());
            ids << dataPrj.addCmd(data);
        }
        dataPrj.validateAll();
        return ids;
    }

    void run(int cfg, bool ok)
    {
        rx.reset(new Receiver);
        QPointer<QThread> thread = startExec(cfg, rx.get());
        QVERIFY(TExec::waitForThread(thread, 120000));
        QTRY_COMPARE(rx->destroyed, QVector<int>({cfg}));
        QCOMPARE(rx->statuses, (QVector<QPair<int, bool>>{{cfg, ok}}));
    }
    QString failure() const { return rx->lastFailure(); }
    TData record(int id) const { return dataPrj.cmdById(id)->toHash(); }

    // Device-level frames (codes 1 to 7) with the code in front.
    QVector<QByteArray> chipWire() const
    {
        QVector<QByteArray> frames;
        for (const FakeProgrammer::Request &r : fake->requests())
            if (r.code <= 7)
                frames << QByteArray(1, char(r.code)) + r.payload;
        return frames;
    }
    int countCode(quint8 code) const
    {
        int n = 0;
        for (const FakeProgrammer::Request &r : fake->requests())
            n += r.code == code;
        return n;
    }
    template <typename F>
    auto onChip(F f) const
    {
        decltype(f()) v;
        fake->locked([&] { v = f(); });
        return v;
    }

    // The bytes of a chip-data file over a window, gaps as 0xFF.
    static QByteArray fileImage(const QString &format, const QString &file, qint64 first, qint64 count)
    {
        QByteArray image(int(count), char(0xFF));
        TFormat f(format, file, 0, first, first + count - 1, 256);
        if (!f.open(0))
            return QByteArray();
        for (qint64 next = first;;) {
            qint64 a = next;
            QByteArray piece;
            if (!f.read(a, piece))
                return QByteArray();
            if (piece.isEmpty())
                break;
            image.replace(int(a - first), piece.size(), piece);
            next = a + piece.size();
        }
        f.close();
        return image;
    }
    // The file addresses equal the chip addresses.
    static bool writeImage(const QString &format, const QString &file, qint64 first, const QByteArray &bytes)
    {
        TFormat f(format, file, first, first, first + bytes.size() - 1, 256);
        if (!f.open(1))
            return false;
        for (int i = 0; i < bytes.size(); i += 256)
            if (!f.write(first + i, bytes.mid(i, 256)))
                return false;
        return f.close();
    }

private slots:
    void initTestCase()
    {
        registerMetaTypes();
        lang.load(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/language/eng.lng"));
        QVERIFY(dir.isValid());
        appData.pathDevices = DEVICES;
    }

    void init()
    {
        fake.reset(new FakeProgrammer);
        QVERIFY2(fake->start(), qPrintable(fake->errorString()));
        useProgrammer(256);
        dataPrj.clear();
        dataPrj.fromHash({{INFO_PRJ_FILE, path(QStringLiteral("test.prj"))}, {PRJ_WORK_PATH, dir.path()}});
    }

    void cleanup()
    {
        dataPrj.clear();
        rx.reset();
        fake.reset();
        chip.reset();
    }

    // ------------------------------------------------------------ payloads

    void payloadsOnTheWire()
    {
        const TData dev = TDeviceList::readDescription(DEVICES + QStringLiteral("/avr8/atmega2560.dev"));
        newChip(dev);
        TSerialPort port;
        QVERIFY(port.openPort(fake->portName(), QIODevice::ReadWrite));
        QByteArray record = hex("0600000100000000ff");
        QVERIFY(port.transaction(0x84, record));
        QString error = QStringLiteral("untouched");

        struct Case
        {
            const char *name;
            std::function<bool()> op;
            QVector<QByteArray> wire;
        };
        qint64 addr = 0, ext = 0;
        quint16 count = 0;
        QByteArray out;
        quint8 lock = 0;
        const auto expect = [&](const Case &c, bool ok) {
            fake->clearRequests();
            QVERIFY2(c.op() == ok, c.name);
            QVERIFY2(chipWire() == c.wire, c.name);
        };
        const Case cases[] = {
            {"odd start", [&] { addr = 0x101; count = 3; return avrLoadFlash(&port, addr, count, hex("112233"), 0, error); },
             {hex("040001ff112233")}},
            {"end pad", [&] { addr = 0x100; count = 1; return avrLoadFlash(&port, addr, count, hex("11"), 0, error); },
             {hex("04000111ff")}},
            {"both pads", [&] { addr = 0x101; count = 2; return avrLoadFlash(&port, addr, count, hex("aabb"), 0, error); },
             {hex("040001ffaabbff")}},
            {"page write", [&] { addr = 0x1F80; count = 2; return avrWriteFlashByAlg(1, &port, ext, addr, count, hex("0102"), 9, error); },
             {hex("04801f0102"), hex("07094c0fc000")}},
            {"ext at 0", [&] { ext = 0; return avrReadFlashByAlg(1, &port, ext, 0, 2, out, error); },
             {hex("07004d000000"), hex("0300000200")}},
            {"ext kept", [&] { return avrReadFlashByAlg(1, &port, ext, 0x100, 2, out, error); },
             {hex("0300010200")}},
            {"ext 1", [&] { return avrReadFlashByAlg(1, &port, ext, 0x10000, 2, out, error); },
             {hex("07004d000100"), hex("0300000200")}},
            {"ext same block", [&] { return avrReadFlashByAlg(1, &port, ext, 0x10040, 2, out, error); },
             {hex("0340000200")}},
            {"page ext", [&] { ext = EXT_UNKNOWN; addr = 0x3FF00; count = 2;
                               return avrWriteFlashByAlg(2, &port, ext, addr, count, hex("0102"), -1, error); },
             {hex("07004d000300"), hex("0400ff0102"), hex("07ff4c ff80 00")}},
            {"fuses alg 2", [&] { return avrWriteFusesByAlg(2, &port, hex("e2d9ff"), 5, error); },
             {hex("0705aca000e2"), hex("0705aca800d9"), hex("0705aca400ff")}},
            {"four fuses", [&] { return avrWriteFusesByAlg(2, &port, hex("e2d9ff00"), 5, error); }, {}},
            {"fuse bit empty", [&] { return avrWriteFusesByAlg(0, &port, QByteArray(), 5, error); },
             {hex("0705acbe0000")}},
            {"fuses old empty", [&] { return avrWriteFusesByAlg(1, &port, QByteArray(), 5, error); },
             {hex("0705aca00000")}},
            {"erase alg 3", [&] { return avrChipEraseByAlg(3, &port, 9, error); }, {}},
            {"osccal none", [&] { return avrReadOsccalByAlg(0, &port, out, 0, error); }, {}},
            {"lock old", [&] { onChip([&] { chip->lock = 0x2C; return 0; }); return avrReadLockByAlg(0, &port, lock, error); },
             {hex("0700580000 00")}},
            {"clock", [&] { return avrSetClk(&port, 0x01020304, error); }, {hex("0204030201")}},
            {"eeprom", [&] { return avrWriteEepromByAlg(0, &port, 0x1234, hex("55"), error); }, {hex("06341255")}},
        };
        for (const Case &c : cases) {
            const bool ok = QByteArray(c.name) != "four fuses" && QByteArray(c.name) != "erase alg 3"
                            && QByteArray(c.name) != "osccal none";
            expect(c, ok);
            if (QByteArray(c.name) == "odd start")
                QVERIFY(addr == 0x100 && count == 4);
            if (QByteArray(c.name) == "end pad")
                QCOMPARE(count, quint16(2));
        }
        QCOMPARE(error, QStringLiteral("untouched"));
        QCOMPARE(lock, quint8(0x06));
        // The page load went into the page of 0x3FF00 under extended address 3.
        QCOMPARE(onChip([&] { return chip->flash.mid(0x3FF00, 2); }), hex("0102"));

        // Signature: the second reply does not echo 30; one byte kept, no third frame.
        onChip([&] { chip->instructions.clear(); chip->loseSyncAt = 2; return 0; });
        fake->clearRequests();
        QByteArray sig;
        QVERIFY(!avrReadSignatureByAlg(0, &port, sig, error));
        QCOMPARE(error, msg(MSG_NOT_ECHOED));
        QCOMPARE(sig, hex("1e"));
        QCOMPARE(countCode(7), 2);

        // A code 7 reply that is not four bytes is no echo either.
        onChip([&] { chip->loseSyncAt = 0; return 0; });
        fake->addFault(FakeFault::rawReply(TProtocol::frame(0, hex("1e0000"))).onCode(7));
        error.clear();
        QVERIFY(!avrChipErase(&port, 9, error));
        QCOMPARE(error, msg(MSG_NOT_ECHOED));

        // Set-up record: page size 64, flash polling, EEPROM delay 10.
        TDevAVR8_SPI device(QStringLiteral("x"), {{DEV_FLASH_PAGE_SIZE, 64}, {DEV_FLASH_POLLING, true},
                                                  {DEV_EEPROM_POLLING, false}, {DEV_EEPROM_DELAY, 10},
                                                  {DEV_PRG_TYPE, QStringLiteral("AVR8_SPI")},
                                                  {DEV_PRG_SUBTYPE, 0x1FF}});
        QCOMPARE(device.devSetup(TData()), hex("0600ff00000000000a"));
        TDevAVR8_SPI unpaged(QStringLiteral("y"), {{DEV_FLASH_DELAY, 300}, {DEV_EEPROM_POLLING, true}});
        QCOMPARE(unpaged.devSetup(TData()), hex("00000000000000" "2cff"));
    }

    // ------------------------------------------------------------ device

    void deviceRules()
    {
        const struct { QVariant filter; int size; bool fuseRead, lockWrite, osccal; } lists[] = {
            {QVariant(), 30, false, true, false}, {1, 35, true, true, false}, {2, 36, true, true, true}};
        for (const auto &l : lists) {
            TData d{{DEV_RESET, false}, {DEV_RESET_POL, true}};
            if (l.filter.isValid())
                d.insert(DEV_GUI_CMD_LIST, l.filter);
            TDevAVR8_SPI dev(QStringLiteral("d"), d);
            QCOMPARE(dev.cmdList().size(), l.size);
            QCOMPARE(dev.hasCmd(CMD_FUSE_READ), l.fuseRead);
            QCOMPARE(dev.hasCmd(CMD_LOCK_WRITE), l.lockWrite);
            QCOMPARE(dev.hasCmd(CMD_OSCCAL_READ), l.osccal);
            QVERIFY(dev.hasCmd(CMD_SEPARATOR) && !dev.checkCmdParam({{REC_CMD, CMD_SEPARATOR}}));
            QVERIFY(dev.isReset());
            QCOMPARE(dev.params().value(DEV_RESET_POL), QVariant(false));
            QVERIFY(dev.params().contains(DEV_INFO));
        }

        TDevAVR8_SPI dev(QStringLiteral("d"), {{DEV_FUSE_DEF, "E2D9FF"}, {DEV_LOCK_DEF, "FF"},
                                               {DEV_OSCCAL_DEF, "FFFFFFFF"}, {DEV_GUI_CMD_LIST, 2}});
        TData fuse{{REC_CMD, CMD_FUSE_WRITE}};
        dev.initCmdParam(fuse);
        QCOMPARE(fuse.value(REG_DATA).toString(), QStringLiteral("E2D9FF"));
        QCOMPARE(dev.cmdParamText(fuse, nullptr), QStringLiteral("E2D9FF"));
        TData osccal{{REC_CMD, CMD_OSCCAL_READ}};
        dev.initCmdParam(osccal);
        QCOMPARE(osccal.value(REG_DATA).toString(), QStringLiteral("00000000"));
        TDevAVR8_SPI other(QStringLiteral("o"), {{DEV_OSCCAL_DEF, "AB"}});
        QVERIFY(other.normalizeCmdParam(osccal));
        QCOMPARE(osccal.value(REG_DATA).toString(), QStringLiteral("AB"));
        TData erase{{REC_CMD, CMD_ERASE}};
        QVERIFY(!dev.normalizeCmdParam(erase));
        QVERIFY(dev.checkCmdParam(erase));
        QCOMPARE(dev.cmdParamText(erase, nullptr), QString());
        TData leave{{REC_CMD, CMD_LEAVE}};
        dev.initCmdParam(leave);
        QVERIFY(leave.contains(LEAVE_STATE));

        // Writes and verifies of fuses and lock bits need a data byte.
        const struct { const char *code; const char *data; bool valid; } checks[] = {
            {CMD_LOCK_WRITE, "", false}, {CMD_LOCK_VERIFY, " ", false}, {CMD_FUSE_WRITE, "", false},
            {CMD_FUSE_VERIFY, "", false}, {CMD_LOCK_WRITE, "3c", true}, {CMD_FUSE_READ, "", true},
            {CMD_LOCK_READ, "", true}, {CMD_OSCCAL_READ, "", true}, {"bmi_read", "", false}};
        for (const auto &c : checks)
            QVERIFY2(bool(dev.checkCmdParam({{REC_CMD, c.code}, {REG_DATA, c.data}})) == c.valid, c.code);
    }

    // Every shipped description loads as its family and agrees with the lists.
    void shippedDescriptions()
    {
        const QHash<QString, QString> devices = readDevicesList();
        int avr = 0, xmc = 0;
        for (auto it = devices.begin(); it != devices.end(); ++it) {
            TData params;
            const TDeviceCreator creator = deviceList.creatorForFile(it.key(), it.value(), params);
            const QString group = params.value(DEV_GUI_TYPE).toString();
            if (group != QLatin1String(GROUP_DEV_AVR8_SPI) && group != QLatin1String(GROUP_DEV_XMC1_ASCFD))
                continue;
            QVERIFY2(creator, qPrintable(it.key()));
            std::unique_ptr<IDevice> dev(creator(it.key(), params));
            QVERIFY(!dev->info().isEmpty());
            QVERIFY(deviceTypeOf(params.value(DEV_PRG_TYPE).toString()) != 0);
            const qint64 page = params.value(DEV_FLASH_PAGE_SIZE).toLongLong();
            QVERIFY(page > 0 && params.value(DEV_FLASH_SIZE).toLongLong() % page == 0);
            if (group == QLatin1String(GROUP_DEV_XMC1_ASCFD)) {
                ++xmc;
                QVERIFY(dynamic_cast<TDevXMC1_ASCFD *>(dev.get()));
                QCOMPARE(params.value(DEV_FLASH_ADDR_BEGIN).toLongLong(), 0x10001000LL);
                continue;
            }
            ++avr;
            QVERIFY(dynamic_cast<TDevAVR8_SPI *>(dev.get()));
            const QString dirName = dirOfFile(params.value(DEV_DEV_FILE).toString());
            const QString sig = params.value(DEV_SIGNATURE).toString();
            QCOMPARE(findSignatureName(dirName, sig), it.key());
            QCOMPARE(dev->cmdList().size(), 36);
            // Fuse mark-up: masks as long as the image, SPIEN never editable.
            const int fuses = params.value(DEV_FUSE_DEF).toString().size() / 2;
            QVERIFY(fuses >= 2 && fuses <= 3);
            bool spien = false;
            for (const QString &line : params.value(DEV_FUSE_CFG).toStringList()) {
                const QStringList f = line.split(QLatin1Char('|'));
                if (f.first() != QLatin1String("ckl"))
                    continue;
                QCOMPARE(hexStringToBytes(f.at(1)).size(), fuses);
                if (f.at(5).startsWith(QLatin1String("SPIEN"))) {
                    spien = true;
                    QCOMPARE(f.at(3), QStringLiteral("-"));
                }
            }
            QVERIFY2(spien, qPrintable(it.key()));
            // The page write reaches the whole flash, extended addresses past 128 KiB.
            const qint64 size = params.value(DEV_FLASH_SIZE).toLongLong();
            QCOMPARE(params.value(DEV_ALG_FLASH_WRITE).toInt(), size > 0x20000 ? 2 : 1);
            QCOMPARE(params.value(DEV_ALG_FLASH_READ).toInt(), size > 0x10000 ? 1 : 0);
        }
        QCOMPARE(avr, 16);
        QCOMPARE(xmc, 2);
        QVERIFY(autoListNames().contains(QStringLiteral("AVR8 SPI")));
        QCOMPARE(loadAutoPairs(QStringLiteral("AVR8 SPI")).count(), 16);
    }

    // ------------------------------------------------------------ runs

    void roundTrip_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("maxData");
        QTest::addColumn<qint64>("first");
        QTest::addColumn<qint64>("count");
        for (int maxData : {256, 100, 63}) {
            QTest::addRow("328P/%d", maxData) << "avr8/atmega328p.dev" << maxData << qint64(0) << qint64(32752);
            // Odd start, across both 64 KiB boundaries.
            QTest::addRow("2560/%d", maxData) << "avr8/atmega2560.dev" << maxData << qint64(0xFFC1)
                                              << qint64(0x10200);
        }
    }

    void roundTrip()
    {
        QFETCH(QString, file);
        QFETCH(int, maxData);
        QFETCH(qint64, first);
        QFETCH(qint64, count);
        useProgrammer(maxData);
        const TData dev = TDeviceList::readDescription(DEVICES + QLatin1Char('/') + file);
        newChip(dev);
        const int eepromSize = dev.value(DEV_EEPROM_SIZE).toInt();

        QRandomGenerator random(quint32(maxData + count));
        QByteArray flash(int(count), '\0'), eeprom(eepromSize, '\0');
        for (char &c : flash)
            c = char(random.generate());
        for (char &c : eeprom)
            c = char(random.generate());
        // Flash from Intel HEX, EEPROM from binary; read back the other way round.
        QVERIFY(writeImage(QStringLiteral("hex"), path("flash.hex"), first, flash));
        writeFile("eeprom.bin", eeprom);
        const QString text = QStringLiteral("11 22");

        const int cfg = dataPrj.addCfg(QStringLiteral("avr"), QString());
        const TData flashFile{{FILE_FORMAT, "HEX"}, {FILE_FILE, path("flash.hex")}, {FILE_ADDR_FILE, first},
                              {FILE_ADDR_DEVICE, first}, {FILE_COUNT, count}};
        const TData flashOut{{FILE_FORMAT, "BIN"}, {FILE_FILE, path("flash.bin")}, {FILE_ADDR_FILE, 0},
                             {FILE_ADDR_DEVICE, first}, {FILE_COUNT, count}};
        const TData eepromFile{{FILE_FORMAT, "BIN"}, {FILE_FILE, path("eeprom.bin")}, {FILE_ADDR_FILE, 0},
                               {FILE_ADDR_DEVICE, 0}, {FILE_COUNT, eepromSize}};
        const TData eepromOut{{FILE_FORMAT, "HEX"}, {FILE_FILE, path("eeprom.hex")}, {FILE_ADDR_FILE, 0},
                              {FILE_ADDR_DEVICE, 0}, {FILE_COUNT, eepromSize}};
        const QVector<int> ids = configure(
            cfg, QStringLiteral("chip"), file,
            {{CMD_IDENT, {}},
             {CMD_ERASE, {}},
             {CMD_TEST_EMPTY_EEPROM, {}},
             {CMD_FLASH_FILE_WRITE, flashFile},
             {CMD_FLASH_FILE_VERIFY, flashFile},
             {CMD_FLASH_FILE_READ, flashOut},
             {CMD_FLASH_DATA_READ, {{DATA_ADDR_DEVICE, 0x100}, {DATA_DATA, text}}},
             {CMD_FLASH_DATA_WRITE, {{DATA_ADDR_DEVICE, first + count + 1}, {DATA_DATA, "A1 A2 A3"}}},
             {CMD_FLASH_CHAR_WRITE, {{CHAR_ADDR_DEVICE, first + count + 5}, {CHAR_COUNT, 3}, {CHAR_FILL_CHAR, 0x5A}}},
             {CMD_FLASH_CHAR_VERIFY, {{CHAR_ADDR_DEVICE, first + count + 5}, {CHAR_COUNT, 3}, {CHAR_FILL_CHAR, 0x5A}}},
             {CMD_EEPROM_FILE_WRITE, eepromFile},
             {CMD_EEPROM_FILE_VERIFY, eepromFile},
             {CMD_EEPROM_FILE_READ, eepromOut},
             {CMD_EEPROM_DATA_VERIFY, {{DATA_ADDR_DEVICE, 3}, {DATA_DATA, QString(bytesToHexString(eeprom.mid(3, 5)))}}},
             {CMD_FUSE_WRITE, {{REG_DATA, "E2 D9 FF"}}},
             {CMD_FUSE_VERIFY, {{REG_DATA, "e2d9ff"}}},
             {CMD_FUSE_READ, {{REG_DATA, ""}}},
             {CMD_LOCK_WRITE, {{REG_DATA, "3C"}}},
             {CMD_LOCK_READ, {{REG_DATA, ""}}},
             {CMD_LOCK_VERIFY, {{REG_DATA, "FC"}}},
             {CMD_OSCCAL_READ, {}},
             {CMD_LEAVE, {{LEAVE_RESET, true}, {LEAVE_DURATION, -400}}}});
        for (int id : ids)
            QVERIFY2(dataPrj.cmdById(id)->validParam() && dataPrj.cmdById(id)->validDev(),
                     qPrintable(dataPrj.cmdById(id)->cmd()));
        run(cfg, true);

        QByteArray expected(dev.value(DEV_FLASH_SIZE).toInt(), char(0xFF));
        expected.replace(int(first), flash.size(), flash);
        expected.replace(int(first + count + 1), 3, hex("a1a2a3"));
        expected.replace(int(first + count + 5), 3, QByteArray(3, 0x5A));
        QVERIFY(onChip([&] { return chip->flash; }) == expected);
        QVERIFY(readFile("flash.bin") == flash);
        QVERIFY(onChip([&] { return chip->eeprom; }) == eeprom);
        QVERIFY(fileImage(QStringLiteral("hex"), path("eeprom.hex"), 0, eepromSize) == eeprom);
        // The read at 0x100 selected its own 64 KiB block after the write.
        QCOMPARE(record(ids.at(6)).value(DATA_DATA).toString(),
                 bytesToHexStringLike(text, expected.mid(0x100, 2)));
        QCOMPARE(record(ids.at(16)).value(REG_DATA).toString(), QStringLiteral("E2D9FF"));
        QCOMPARE(record(ids.at(18)).value(REG_DATA).toString(), QStringLiteral("FC"));
        QCOMPARE(record(ids.at(20)).value(REG_DATA).toString(), QStringLiteral("9C"));
        QCOMPARE(onChip([&] { return chip->fuses; }), hex("e2d9ff"));
        QCOMPARE(onChip([&] { return chip->leaves; }), 1);
        // Every chunk within one page; the write timing rode on each page write.
        const QByteArray setup = fake->state().setup;
        QCOMPARE(setup, hex("0600000100000000") + char(dev.value(DEV_EEPROM_DELAY).toInt()));
        int longest = 0;
        for (const FakeProgrammer::Request &r : fake->requests())
            if (r.code == 3 || r.code == 5)
                longest = std::max<int>(longest, quint16(quint8(r.payload.at(2)) | quint8(r.payload.at(3)) << 8));
        QCOMPARE(longest, maxData);
    }

    // Every flash and EEPROM transfer loop at odd starts and lengths, at
    // five payload sizes, across 64 KiB boundaries: what was written reads
    // back and verifies byte for byte, no request crosses a page, a 64 KiB
    // block, the EEPROM's write block or the programmer's block, and no
    // flash word is loaded twice (an odd payload size loads whole words).
    void chunksKeepTheirBounds_data()
    {
        QTest::addColumn<int>("maxData");
        for (int maxData : {60, 63, 100, 256, 1000})
            QTest::addRow("%d", maxData) << maxData;
    }
    void chunksKeepTheirBounds()
    {
        QFETCH(int, maxData);
        useProgrammer(maxData);
        const TData dev = TDeviceList::readDescription(DEVICES + QStringLiteral("/avr8/atmega2560.dev"));
        newChip(dev);
        QRandomGenerator random{quint32(maxData)};
        const auto randomBytes = [&random](int n) {
            QByteArray b(n, 0);
            for (char &c : b)
                c = char(random.generate());
            return b;
        };
        const QByteArray flashData = randomBytes(43), flashImage = randomBytes(0x1313);
        const QByteArray eepromData = randomBytes(0x33), eepromImage = randomBytes(0x2F1);
        writeFile("flash.bin", flashImage);
        writeFile("eeprom.bin", eepromImage);
        const auto file = [&](const char *name, qint64 at, qint64 count) {
            return TData{{FILE_FORMAT, "BIN"}, {FILE_FILE, path(QString::fromLatin1(name))}, {FILE_ADDR_FILE, 0},
                         {FILE_ADDR_DEVICE, at}, {FILE_COUNT, count}};
        };
        const TData flashFill{{CHAR_ADDR_DEVICE, 0xFFC1}, {CHAR_COUNT, 0x183}, {CHAR_FILL_CHAR, 0x5A}};
        const TData flashBytes{{DATA_ADDR_DEVICE, 0x1FFE3}, {DATA_DATA, bytesToHexString(flashData)}};
        const TData eepromFill{{CHAR_ADDR_DEVICE, 0x13}, {CHAR_COUNT, 0x55}, {CHAR_FILL_CHAR, 0xC3}};
        const TData eepromBytes{{DATA_ADDR_DEVICE, 0x3E1}, {DATA_DATA, bytesToHexString(eepromData)}};
        const int cfg = dataPrj.addCfg(QStringLiteral("bounds"), QString());
        const QVector<int> ids = configure(
            cfg, QStringLiteral("chip"), QStringLiteral("avr8/atmega2560.dev"),
            {{CMD_ERASE, {}},
             {CMD_TEST_EMPTY_EEPROM, {}},
             {CMD_FLASH_CHAR_WRITE, flashFill},
             {CMD_FLASH_CHAR_VERIFY, flashFill},
             {CMD_FLASH_DATA_WRITE, flashBytes},
             {CMD_FLASH_DATA_VERIFY, flashBytes},
             {CMD_FLASH_DATA_READ, {{DATA_ADDR_DEVICE, 0x1FFE2}, {DATA_DATA, QString(90, QLatin1Char('0'))}}},
             {CMD_FLASH_FILE_WRITE, file("flash.bin", 0x2F0F1, flashImage.size())},
             {CMD_FLASH_FILE_VERIFY, file("flash.bin", 0x2F0F1, flashImage.size())},
             {CMD_FLASH_FILE_READ, file("flash_out.bin", 0x2F0F1, flashImage.size())},
             {CMD_EEPROM_CHAR_WRITE, eepromFill},
             {CMD_EEPROM_CHAR_VERIFY, eepromFill},
             {CMD_EEPROM_DATA_WRITE, eepromBytes},
             {CMD_EEPROM_DATA_VERIFY, eepromBytes},
             {CMD_EEPROM_DATA_READ, {{DATA_ADDR_DEVICE, 0x3E0}, {DATA_DATA, QString(106, QLatin1Char('0'))}}},
             {CMD_EEPROM_FILE_WRITE, file("eeprom.bin", 0x7C3, eepromImage.size())},
             {CMD_EEPROM_FILE_VERIFY, file("eeprom.bin", 0x7C3, eepromImage.size())},
             {CMD_EEPROM_FILE_READ, file("eeprom_out.bin", 0x7C3, eepromImage.size())}});
        for (int id : ids)
            QVERIFY2(dataPrj.cmdById(id)->validParam(), qPrintable(dataPrj.cmdById(id)->cmd()));
        run(cfg, true);

        QByteArray flash(dev.value(DEV_FLASH_SIZE).toInt(), char(0xFF));
        flash.replace(0xFFC1, 0x183, QByteArray(0x183, 0x5A));
        flash.replace(0x1FFE3, flashData.size(), flashData);
        flash.replace(0x2F0F1, flashImage.size(), flashImage);
        QByteArray eeprom(dev.value(DEV_EEPROM_SIZE).toInt(), char(0xFF));
        eeprom.replace(0x13, 0x55, QByteArray(0x55, char(0xC3)));
        eeprom.replace(0x3E1, eepromData.size(), eepromData);
        eeprom.replace(0x7C3, eepromImage.size(), eepromImage);
        QVERIFY(onChip([&] { return chip->flash; }) == flash);
        QVERIFY(onChip([&] { return chip->eeprom; }) == eeprom);
        QVERIFY(readFile("flash_out.bin") == flashImage);
        QVERIFY(readFile("eeprom_out.bin") == eepromImage);
        QCOMPARE(record(ids.at(6)).value(DATA_DATA).toString(), bytesToHexString(flash.mid(0x1FFE2, 45)));
        QCOMPARE(record(ids.at(14)).value(DATA_DATA).toString(), bytesToHexString(eeprom.mid(0x3E0, 53)));

        // The wire: flash requests carry 16 address bits under the last
        // extended address; a load spans its pads as well.
        const qint64 page = dev.value(DEV_FLASH_PAGE_SIZE).toInt(), span = 0x10000;
        qint64 ext = 0;
        QMap<quint8, int> seen;
        QSet<qint64> words;
        for (const FakeProgrammer::Request &r : fake->requests()) {
            const QByteArray &p = r.payload;
            if (r.code == 7 && quint8(p.at(1)) == 0x4D)
                ext = qint64(quint8(p.at(3))) << 16;
            if (r.code < 3 || r.code > 6)
                continue;
            const qint64 address = (r.code <= 4 ? ext : 0) | quint8(p.at(0)) | quint8(p.at(1)) << 8;
            const qint64 length = r.code == 3 || r.code == 5 ? quint8(p.at(2)) | quint8(p.at(3)) << 8 : p.size() - 2;
            QVector<qint64> bounds{maxData, span};
            if (r.code == 4) {
                bounds = {std::min<qint64>(maxData & ~1, page), page, span};
                for (qint64 w = address / 2; w < (address + length) / 2; ++w) {
                    QVERIFY2(!words.contains(w), qPrintable(QStringLiteral("word at 0x%1").arg(w * 2, 0, 16)));
                    words.insert(w);
                }
            }
            else if (r.code == 6)
                bounds = {std::min(maxData, 32), 32};
            const QString fault = chunkFault(address, length, maxData, bounds);
            QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("code %1: ").arg(r.code) + fault));
            ++seen[r.code];
        }
        QCOMPARE(seen.size(), 4);
    }

    void failuresAndRefusals()
    {
        const TData dev = TDeviceList::readDescription(DEVICES + QStringLiteral("/avr8/atmega328p.dev"));
        newChip(dev);
        // A description whose later lines override the shipped ones.
        const auto variant = [&](const QByteArray &extra) {
            writeFile("custom.dev", description(QStringLiteral("avr8/atmega328p.dev")) + extra);
            return path("custom.dev");
        };
        struct Case
        {
            const char *name;
            QByteArray extra;       // description lines
            const char *code;
            TData params;
            QString error;
            int deviceFrames;       // device-level frames after the set-up record
        };
        const TData bigRead{{DATA_ADDR_DEVICE, 0xFFFF}, {DATA_DATA, "0000"}};
        const Case cases[] = {
            {"read past 64K", "flash_size=D|131072\n", CMD_FLASH_DATA_READ, bigRead,
             msg(MSG_OUT_OF_REACH).arg("FFFF", "10000"), 0},
            {"page write past 128K", "flash_size=D|262144\n", CMD_FLASH_DATA_WRITE,
             {{DATA_ADDR_DEVICE, 0x1FFFF}, {DATA_DATA, "0000"}}, msg(MSG_OUT_OF_REACH).arg("1FFFF", "20000"), 0},
            {"page size 0", "flash_page_size=u|0\n", CMD_FLASH_CHAR_WRITE, {}, msg(MSG_NO_BLOCK), 0},
            {"lock without data", "", CMD_LOCK_WRITE, {{REG_DATA, ""}}, lang.text(MSG_DATA_COUNT, 0, 1), 0},
            {"fuse count", "", CMD_FUSE_WRITE, {{REG_DATA, "E2D9"}}, lang.text(MSG_DATA_COUNT, 2, 3), 0},
            {"four fuses", "fuse_def=s|00000000\n", CMD_FUSE_READ, {}, lang.text(MSG_FUSE_COUNT, 4), 0},
            {"unknown algorithm", "alg_erase=u|3\n", CMD_ERASE, {}, msg(MSG_UNKNOWN_ALG).arg("alg_erase").arg(3), 0},
            {"fuse mismatch", "", CMD_FUSE_VERIFY, {{REG_DATA, "FFFFFF"}},
             QStringLiteral("Fuse Bits: Data: FFFFFF, Read: 62D9FF"), 3},
            {"lock mismatch", "", CMD_LOCK_VERIFY, {{REG_DATA, "00"}}, QStringLiteral("Lock Bits: Data: 00, Read: FF"), 1},
            {"signature mismatch", "signature=s|1E9801\n", CMD_IDENT, {},
             QStringLiteral("   Device: ATmega328P\nSignature: 1E950F"), 3},
            {"unknown signature", "signature=s|1E9801\n", CMD_IDENT, {},
             QStringLiteral("   Device: %1\nSignature: 1E950F").arg(msg(400)), 3},
            {"empty test", "", CMD_TEST_EMPTY_FLASH, {}, verifyMismatchText(0x10, 0xFF, 0x12), 1},
        };
        for (const Case &c : cases) {
            dataPrj.clear();
            dataPrj.fromHash({{INFO_PRJ_FILE, path(QStringLiteral("test.prj"))}, {PRJ_WORK_PATH, dir.path()}});
            fake->clearRequests();
            if (QByteArray(c.name) == "empty test")
                onChip([&] { chip->flash.fill(char(0xFF)); chip->flash[0x10] = 0x12; return 0; });
            const QString file = variant(c.extra);
            if (QByteArray(c.name) == "unknown signature")
                writeFile("signature.lst", "1E9801=ATmega2560\n");
            else
                writeFile("signature.lst", "1E950F=ATmega328P\n");
            const int cfg = dataPrj.addCfg(QStringLiteral("f"), QString());
            const QVector<int> ids = configure(cfg, QStringLiteral("c"), file, {{c.code, c.params}});
            // A command the check marks invalid would stop before its executor.
            dataPrj.cmdById(ids.first())->setValidParam(true);
            run(cfg, false);
            QCOMPARE(failure(), c.error);
            int frames = 0;
            for (const FakeProgrammer::Request &r : fake->requests())
                frames += r.code <= 7;
            QVERIFY2(frames == c.deviceFrames, c.name);
        }
    }

    // Hex texts bound for the chip: a text that is not whole bytes of hex
    // digits, or a fuse or lock image of another byte count, makes the
    // command invalid, and its executor refuses it with the reason before
    // anything reaches the chip; a sound text goes out byte for byte.
    void hexTextsOnTheWire()
    {
        const TData dev = TDeviceList::readDescription(DEVICES + QStringLiteral("/avr8/atmega328p.dev"));
        struct Case
        {
            const char *name;
            QByteArray extra;   // description lines
            const char *code;
            TData params;
            QString error;      // empty: the command is valid and succeeds
            QByteArray wire;    // code-7 instructions after the set-up (timing + 4 bytes each)
        };
        const QString notWhole = msg(MSG_NOT_WHOLE_HEX);
        const Case cases[] = {
            {"fuse odd digit", "", CMD_FUSE_WRITE, {{REG_DATA, "62D9F"}}, notWhole.arg("data", "62D9F"), {}},
            {"fuse stray letter", "", CMD_FUSE_WRITE, {{REG_DATA, "62D9FG"}}, notWhole.arg("data", "62D9FG"), {}},
            {"fuse prefix", "", CMD_FUSE_WRITE, {{REG_DATA, "0x62D9"}}, notWhole.arg("data", "0x62D9"), {}},
            {"fuse empty", "", CMD_FUSE_WRITE, {{REG_DATA, ""}}, lang.text(MSG_DATA_COUNT, 0, 3), {}},
            {"fuse four bytes", "", CMD_FUSE_WRITE, {{REG_DATA, "62D9FFFF"}}, lang.text(MSG_DATA_COUNT, 4, 3), {}},
            {"fuse verify odd", "", CMD_FUSE_VERIFY, {{REG_DATA, "62D9FFF"}}, notWhole.arg("data", "62D9FFF"), {}},
            {"fuse blanks and case", "", CMD_FUSE_WRITE, {{REG_DATA, "e2 d9 ff"}}, QString(),
             hex("05aca000e2" "05aca800d9" "05aca400ff")},
            {"fuse default not whole", "fuse_def=s|62D9F\n", CMD_FUSE_WRITE, {{REG_DATA, "62D9FF"}},
             notWhole.arg("fuse_def", "62D9F"), {}},
            {"lock one digit", "", CMD_LOCK_WRITE, {{REG_DATA, "C"}}, notWhole.arg("data", "C"), {}},
            {"lock two bytes", "", CMD_LOCK_WRITE, {{REG_DATA, "FCFC"}}, lang.text(MSG_DATA_COUNT, 2, 1), {}},
            {"lock verify stray", "", CMD_LOCK_VERIFY, {{REG_DATA, "F?"}}, notWhole.arg("data", "F?"), {}},
            {"lock lower case", "", CMD_LOCK_WRITE, {{REG_DATA, "fc"}}, QString(), hex("05ace000fc")},
            {"flash data odd", "", CMD_FLASH_DATA_WRITE, {{DATA_ADDR_DEVICE, 0}, {DATA_DATA, "0A 1B 2"}},
             notWhole.arg("data", "0A 1B 2"), {}},
            {"eeprom data prefix", "", CMD_EEPROM_DATA_VERIFY, {{DATA_ADDR_DEVICE, 0}, {DATA_DATA, "0x1B"}},
             notWhole.arg("data", "0x1B"), {}},
            {"signature not whole", "signature=s|1E950\n", CMD_IDENT, {}, notWhole.arg("signature", "1E950"), {}},
        };
        for (const Case &c : cases) {
            dataPrj.clear();
            dataPrj.fromHash({{INFO_PRJ_FILE, path(QStringLiteral("test.prj"))}, {PRJ_WORK_PATH, dir.path()}});
            newChip(dev);
            fake->clearRequests();
            writeFile("custom.dev", description(QStringLiteral("avr8/atmega328p.dev")) + c.extra);
            const int cfg = dataPrj.addCfg(QStringLiteral("h"), QString());
            const int id = configure(cfg, QStringLiteral("c"), path("custom.dev"), {{c.code, c.params}}).first();
            const bool sound = c.error.isEmpty();
            // The signature is the description's: the check leaves it to the run.
            if (QByteArray(c.code) != CMD_IDENT)
                QVERIFY2(dataPrj.cmdById(id)->validParam() == sound, c.name);
            // The executor refuses on its own, whatever the check said.
            dataPrj.cmdById(id)->setValidParam(true);
            run(cfg, sound);
            QVERIFY2(failure() == c.error, qPrintable(QStringLiteral("%1: %2").arg(c.name, failure())));
            QByteArray wire;
            int deviceFrames = 0;
            for (const QByteArray &frame : chipWire()) {
                ++deviceFrames;
                if (frame.at(0) == 7)
                    wire += frame.mid(1);
            }
            QVERIFY2(wire == c.wire, qPrintable(QStringLiteral("%1: %2").arg(c.name, QString(wire.toHex()))));
            if (!sound)
                QVERIFY2(deviceFrames == 0, c.name);
        }
    }

    // The fuse and lock forms store only what the user typed: an emptied
    // field or a short entry keeps the stored image, a whole entry is
    // stored as typed, and the hex row and the items always show what is
    // stored.
    void hexEntriesInForms()
    {
        const QString file = QStringLiteral("avr8/atmega328p.dev");
        newChip(TDeviceList::readDescription(DEVICES + QLatin1Char('/') + file));
        const int cfg = dataPrj.addCfg(QStringLiteral("forms"), QString());
        const QVector<int> ids = configure(cfg, QStringLiteral("chip"), file, {{CMD_FUSE_WRITE, {}}, {CMD_LOCK_WRITE, {}}});
        struct Case
        {
            int id;
            const char *typed;  // after selecting the field and deleting it
            const char *stored;
        };
        const Case cases[] = {
            {ids.at(0), "", "62D9FF"},   {ids.at(0), "E", "62D9FF"},     {ids.at(0), "e2dA", "62D9FF"},
            {ids.at(0), "e2dAFF", "E2DAFF"}, {ids.at(0), "62D9FF0", "62D9FF"}, {ids.at(1), "", "FF"},
            {ids.at(1), "C", "FF"},      {ids.at(1), "FC", "FC"},     {ids.at(1), "", "FC"},
        };
        FormHost host;
        for (const Case &c : cases) {
            auto *form = qobject_cast<TFormDevCfg *>(host.select(c.id));
            QVERIFY(form);
            QLineEdit *line = lineOf(form->findChild<TWgtEditStrHex *>());
            line->setFocus();
            QTest::keyClick(line, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(line, Qt::Key_Delete);
            QTest::keyClicks(line, QLatin1String(c.typed));
            QTest::keyClick(line, Qt::Key_Return);
            const QString stored = record(c.id).value(REG_DATA).toString();
            QVERIFY2(stored == QLatin1String(c.stored), qPrintable(QStringLiteral("%1: %2").arg(c.typed, stored)));
            QCOMPARE(line->text(), stored);
            QVERIFY(dataPrj.cmdById(c.id)->validParam());
            // What the items show is what is stored: a new form of the stored
            // value ticks the same boxes.
            QList<bool> shown;
            for (QCheckBox *box : form->findChildren<QCheckBox *>())
                shown << box->isChecked();
            std::unique_ptr<QWidget> fresh(
                dataPrj.cmdById(setDeviceId)->device()->createCmdForm(record(c.id)));
            QList<bool> again;
            for (QCheckBox *box : fresh->findChildren<QCheckBox *>())
                again << box->isChecked();
            QCOMPARE(shown, again);
        }
        // An emptied field never reaches the chip as zeros.
        run(cfg, true);
        QCOMPARE(onChip([&] { return chip->fuses; }), hex("62d9ff"));
        QCOMPARE(onChip([&] { return chip->lock; }), quint8(0xFC));
    }

    // Link failures in the middle of transfers; a failed file read keeps
    // the old file; a stopped data read keeps the data stored before.
    void brokenTransfers()
    {
        const TData dev = TDeviceList::readDescription(DEVICES + QStringLiteral("/avr8/atmega328p.dev"));
        writeFile("old.bin", "old contents");
        const TData fileRead{{FILE_FORMAT, "BIN"}, {FILE_FILE, path("old.bin")}, {FILE_ADDR_FILE, 0},
                             {FILE_ADDR_DEVICE, 0}, {FILE_COUNT, 4096}};
        struct Case
        {
            const char *name;
            int failAt;                // memory request answered with error 8
            bool silence;              // the first code 3 is never answered
            int loseSync;              // code 7 from which the chip echoes nothing
            const char *code;
            TData params;
            QString error;
        };
        const Case cases[] = {
            {"error reply", 3, false, 0, CMD_FLASH_FILE_READ, fileRead, msg(TSerialPort::MSG_PROG_ERROR_FIRST + 8)},
            {"silence", 0, true, 0, CMD_FLASH_FILE_READ, fileRead, msg(TSerialPort::MSG_LINK_FAILED)},
            {"lost sync", 0, false, 2, CMD_FUSE_WRITE, {{REG_DATA, "E2D9FF"}}, msg(MSG_NOT_ECHOED)},
        };
        for (const Case &c : cases) {
            newChip(dev);
            dataPrj.clear();
            dataPrj.fromHash({{INFO_PRJ_FILE, path(QStringLiteral("test.prj"))}, {PRJ_WORK_PATH, dir.path()}});
            onChip([&] { chip->failMemoryAt = c.failAt; chip->loseSyncAt = c.loseSync; return 0; });
            fake->clearFaults();
            if (c.silence)
                fake->addFault(FakeFault::silence().onCode(3));
            fake->clearRequests();
            const int cfg = dataPrj.addCfg(QStringLiteral("b"), QString());
            configure(cfg, QStringLiteral("c"), QStringLiteral("avr8/atmega328p.dev"), {{c.code, c.params}});
            run(cfg, false);
            QVERIFY2(failure().startsWith(c.error.left(20)), qPrintable(failure()));
            QCOMPARE(readFile("old.bin"), QByteArray("old contents"));
            if (c.loseSync)
                QCOMPARE(countCode(7), 2);
            if (c.failAt)
                QCOMPARE(countCode(3), c.failAt);
        }
        fake->clearFaults();

        // A stop while a data read runs: success, message 390, the stored
        // data as it was and a line that says so.
        newChip(dev);
        dataPrj.clear();
        dataPrj.fromHash({{INFO_PRJ_FILE, path(QStringLiteral("test.prj"))}, {PRJ_WORK_PATH, dir.path()}});
        onChip([&] { chip->flash = QByteArray(32768, 0x33); return 0; });
        const int cfg = dataPrj.addCfg(QStringLiteral("s"), QString());
        const QString data(1200, QLatin1Char('0'));
        const QVector<int> ids = configure(cfg, QStringLiteral("c"), QStringLiteral("avr8/atmega328p.dev"),
                                           {{CMD_FLASH_DATA_READ, {{DATA_ADDR_DEVICE, 0}, {DATA_DATA, data}}},
                                            {CMD_ERASE, {}}});
        rx.reset(new Receiver);
        rx->stopsOnWaiting = {cfg};
        rx->stopOnCmdParams = dataPrj.cmdById(ids.first())->device()->cmdParamText(record(ids.first()), nullptr);
        QPointer<QThread> thread = startExec(cfg, rx.get());
        QVERIFY(TExec::waitForThread(thread, 20000));
        QTRY_COMPARE(rx->destroyed, QVector<int>({cfg}));
        QCOMPARE(rx->statuses, (QVector<QPair<int, bool>>{{cfg, true}}));
        QCOMPARE(rx->ofKind(EXEC_SUCCESS).last().text, msg(390));
        QCOMPARE(record(ids.first()).value(DATA_DATA).toString(), data);
        QCOMPARE(rx->ofKind(EXEC_TEXT_NEXT).last().text, msg(execmsg::READ_NOT_STORED));
        QCOMPARE(onChip([&] { return chip->erases; }), 0);
    }

    // ------------------------------------------------------------ XMC1

    // The forms of both families as the configuration page shows them; a
    // fuse edited in its form goes to the chip, and a fuse read pushes what
    // it read into its own open form only.
    void formsOfBothFamilies()
    {
        const QString file = QStringLiteral("avr8/atmega328p.dev");
        newChip(TDeviceList::readDescription(DEVICES + QLatin1Char('/') + file));
        const int cfg = dataPrj.addCfg(QStringLiteral("avr"), QString());
        const QVector<int> ids = configure(cfg, QStringLiteral("chip"), file,
                                           {{CMD_FUSE_WRITE, {}}, {CMD_FUSE_READ, {}}, {CMD_LOCK_READ, {}}});
        const int fuseWrite = ids.at(0), fuseRead = ids.at(1), lockRead = ids.at(2);
        IDevice *device = dataPrj.cmdById(setDeviceId)->device();
        QVERIFY(device);

        const struct
        {
            const char *code;
            const QMetaObject *form; // null: none
            bool hexEdit;
        } forms[] = {
            {CMD_SET_CLK, &TFormDevSetCLK::staticMetaObject, false},
            {CMD_IDENT, &TFormDevEmpty::staticMetaObject, false},
            {CMD_ERASE, &TFormDevEmpty::staticMetaObject, false},
            {CMD_TEST_EMPTY_FLASH, &TFormDevEmpty::staticMetaObject, false},
            {CMD_TEST_EMPTY_EEPROM, &TFormDevEmpty::staticMetaObject, false},
            {CMD_FLASH_DATA_READ, &TFormDevRWVData::staticMetaObject, false},
            {CMD_EEPROM_FILE_WRITE, &TFormDevRWVFile::staticMetaObject, false},
            {CMD_FUSE_VERIFY, &TFormDevCfg::staticMetaObject, true},
            {CMD_LOCK_WRITE, &TFormDevCfg::staticMetaObject, true},
            {CMD_OSCCAL_READ, &TFormDevCfg::staticMetaObject, false},
            {CMD_SEPARATOR, nullptr, false},
        };
        for (const auto &f : forms) {
            // The clock choices come from the programmer in force for the id.
            TData data{{REC_ID_CMD, fuseWrite}, {REC_CMD, f.code}};
            device->initCmdParam(data);
            std::unique_ptr<QWidget> form(device->createCmdForm(data));
            QVERIFY2((form ? form->metaObject() : nullptr) == f.form, f.code);
            if (form)
                QVERIFY2(bool(form->findChild<TWgtEditStrHex *>()) == f.hexEdit, f.code);
        }
        std::unique_ptr<QWidget> clock(device->createDevParamForm(record(setDeviceId)));
        QVERIFY(qobject_cast<TFormDevSetCLK *>(clock.get()));
        // A description without mark-up gives no form; the command stays valid.
        TDevAVR8_SPI bare(QStringLiteral("d"), {{DEV_LOCK_DEF, "FF"}, {DEV_GUI_CMD_LIST, 2}});
        TData lock{{REC_CMD, CMD_LOCK_WRITE}};
        bare.initCmdParam(lock);
        QVERIFY(!bare.createCmdForm(lock));
        QVERIFY(bare.checkCmdParam(lock));
        TDevXMC1_ASCFD xmc(QStringLiteral("x"), {{DEV_FLASH_SIZE, 65536}});
        for (const char *code : {CMD_IDENT, CMD_ERASE}) {
            std::unique_ptr<QWidget> empty(xmc.createCmdForm({{REC_CMD, code}}));
            QVERIFY(qobject_cast<TFormDevEmpty *>(empty.get()));
        }

        // CKDIV8 is programmed (0) in the factory low fuse 62: un-ticking it
        // stores E2, which the fuse write puts on the wire.
        FormHost host;
        QWidget *form = host.select(fuseWrite);
        QVERIFY(qobject_cast<TFormDevCfg *>(form));
        QCheckBox *ckdiv8 = nullptr;
        for (TWgtLabelBtn *label : form->findChildren<TWgtLabelBtn *>())
            if (label->text().contains(QLatin1String("CKDIV8")))
                ckdiv8 = label->parentWidget()->findChild<QCheckBox *>();
        QVERIFY(ckdiv8 && ckdiv8->isChecked());
        QTest::mouseClick(ckdiv8, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(record(fuseWrite).value(REG_DATA).toString(), QStringLiteral("E2D9FF"));
        QCOMPARE(device->cmdParamText(record(fuseWrite), form), QStringLiteral("E2D9FF"));

        form = host.select(fuseRead);
        auto *readForm = qobject_cast<TFormDevCfg *>(form);
        QVERIFY(readForm);
        auto *hexEdit = readForm->findChild<TWgtEditStrHex *>();
        QVERIFY(hexEdit);
        const QString shown = hexEdit->value();
        run(cfg, true);
        QCOMPARE(onChip([&] { return chip->fuses; }), hex("e2d9ff"));
        bool onWire = false;
        for (const QByteArray &frame : chipWire())
            onWire |= frame.at(0) == 7 && frame.mid(2, 4) == hex("aca000e2");
        QVERIFY(onWire);
        QCOMPARE(record(fuseRead).value(REG_DATA).toString(), QStringLiteral("E2D9FF"));

        // The stored value reaches the form only through the summary with the
        // form given, and only from the read command the form was built for.
        QCOMPARE(hexEdit->value(), shown);
        TData other = record(fuseRead);
        other.insert(REC_CMD, CMD_FUSE_WRITE);
        device->cmdParamText(other, form);
        other = record(lockRead);
        other.insert(REG_DATA, QStringLiteral("00"));
        device->cmdParamText(other, form);
        QCOMPARE(hexEdit->value(), shown);
        QCOMPARE(device->cmdParamText(record(fuseRead), form), QStringLiteral("E2D9FF"));
        QVERIFY(hexEdit->value() != shown);
        QCOMPARE(hexEdit->value().remove(QLatin1Char(' ')).toUpper(), QStringLiteral("E2D9FF"));
        QCOMPARE(record(fuseRead).value(REG_DATA).toString(), QStringLiteral("E2D9FF"));
    }

    void xmc1Device()
    {
        const TData params{{DEV_RESET, true}, {DEV_RESET_POL, true}, {DEV_FLASH_ADDR_BEGIN, 0x10001000LL},
                           {DEV_FLASH_SIZE, 65536}, {DEV_FLASH_PAGE_SIZE, 256}, {DEV_GUI_CMD_LIST, 0},
                           {DEV_PRG_TYPE, "AVR8_SPI"}, {DEV_EEPROM_DELAY, 7}};
        TDevXMC1_ASCFD xmc(QStringLiteral("x"), params);
        TDevAVR8_SPI avr(QStringLiteral("a"), params);
        TData atZero = params;
        atZero.insert(DEV_FLASH_ADDR_BEGIN, 0);
        TDevAVR8_SPI reachable(QStringLiteral("r"), atZero);
        QCOMPARE(xmc.cmdList(), TDevXMC1_ASCFD::fullCmdList());
        QCOMPARE(xmc.cmdList().size(), 17);
        QVERIFY(xmc.hasCmd(CMD_TEST_EMPTY) && xmc.hasCmd(CMD_BMI_READ));
        QVERIFY(!xmc.hasCmd(CMD_SET_CLK) && !xmc.hasCmd(CMD_LEAVE));
        QVERIFY(!xmc.isReset());
        QCOMPARE(xmc.params().value(DEV_RESET_POL), QVariant(false));
        QVERIFY(xmc.params().contains(DEV_INFO));
        for (const char *code : {CMD_FLASH_CHAR_WRITE, CMD_FLASH_DATA_READ, CMD_FLASH_FILE_VERIFY}) {
            TData a{{REC_CMD, code}}, x{{REC_CMD, code}};
            avr.initCmdParam(a);
            xmc.initCmdParam(x);
            QCOMPARE(x, a);
            QCOMPARE(xmc.cmdParamText(x, nullptr), avr.cmdParamText(a, nullptr));
            // The AVR8 rules of the command, where an AVR8 executor reaches
            // the flash; the XMC1 one asks nothing of the description.
            TData r{{REC_CMD, code}};
            reachable.initCmdParam(r);
            QCOMPARE(bool(xmc.checkCmdParam(x)), bool(reachable.checkCmdParam(r)));
        }
        for (const char *code : {CMD_TEST_EMPTY, CMD_BMI_READ, CMD_BMI_WRITE, CMD_BMI_VERIFY}) {
            TData d{{REC_CMD, code}};
            xmc.initCmdParam(d);
            QCOMPARE(d.size(), 1);
            QCOMPARE(xmc.cmdParamText(d, nullptr), QString());
            QVERIFY(!xmc.createCmdForm(d));
            QVERIFY(!xmc.checkCmdParam(d));
        }
        TData setDevice{{REC_CMD, CMD_SET_DEVICE}};
        QVERIFY(xmc.initDevParam(setDevice));
        QVERIFY(!setDevice.contains(SET_CLK_CLK));
        QVERIFY(xmc.checkDevParam(setDevice));
        QVERIFY(!xmc.createDevParamForm(setDevice));
        QCOMPARE(xmc.devSetup(setDevice), avr.devSetup(setDevice));
        QCOMPARE(xmc.devSetup(setDevice).size(), 9);
    }

    void xmc1Executor()
    {
        writeFile("empty.bin", QByteArray());
        writeFile("data.bin", "\x01\x02");
        const int cfg = dataPrj.addCfg(QStringLiteral("x"), QString());
        const auto verify = [&](const QString &file) {
            return TData{{FILE_FORMAT, "BIN"}, {FILE_FILE, path(file)}, {FILE_ADDR_FILE, 0},
                         {FILE_ADDR_DEVICE, 0x10001000LL}, {FILE_COUNT, 256}};
        };
        const QVector<int> ids = configure(cfg, QStringLiteral("XMC1100"), QStringLiteral("xmc1/xmc1100.dev"),
                                           {{CMD_FLASH_FILE_VERIFY, verify("empty.bin")},
                                            {CMD_FLASH_FILE_VERIFY, verify("missing.bin")},
                                            {CMD_FLASH_FILE_VERIFY, verify("data.bin")}},
                                           false);
        TSerialPort port;
        const auto call = [&](const TData &d, bool &ok) {
            TDevXMC1_ASCFD_Exec exec(d);
            int c = cfg, last = -1;
            bool stop = false;
            ok = exec.execute(&port, &stop, &c, &last);
            return exec.errorText();
        };
        bool ok = true;
        // Closed port: every chip command fails with the family's text, the
        // file verify with 392 before its file is opened.
        for (const char *code : {CMD_IDENT, CMD_ERASE, CMD_FLASH_CHAR_WRITE, CMD_FLASH_DATA_READ, CMD_FLASH_FILE_WRITE}) {
            QCOMPARE(call({{REC_CMD, code}}, ok), msg(MSG_XMC1_NOT_CARRIED));
            QVERIFY(!ok);
        }
        QCOMPARE(call(record(ids.at(1)), ok), msg(TSerialPort::MSG_NOT_OPEN));
        QVERIFY(port.openPort(fake->portName(), QIODevice::ReadWrite));
        fake->clearRequests();
        // A file without data for the window passes nothing: it is refused.
        QCOMPARE(call(record(ids.at(0)), ok),
                 TMemoryExec::fileNoDataText(path(QStringLiteral("empty.bin")), 0x10001000LL, 0x100010FFLL));
        QVERIFY(!ok);
        QCOMPARE(call(record(ids.at(1)), ok), msg(418).arg(path(QStringLiteral("missing.bin"))));
        QVERIFY(!ok);
        QCOMPARE(call(record(ids.at(2)), ok), msg(MSG_XMC1_NOT_CARRIED));
        QVERIFY(!ok);
        TDevXMC1_ASCFD_Exec exec({{REC_CMD, CMD_IDENT}});
        QString id = QStringLiteral("kept");
        QVERIFY(!exec.ident(&port, id));
        QCOMPARE(id, QStringLiteral("kept"));
        QCOMPARE(exec.errorText(), QString());
        QCOMPARE(fake->requestCount(), 0);
        port.close();

        // A run that holds a chip command is refused before it starts, with
        // the family's text: no set-up record, no request at all.
        dataPrj.clear();
        dataPrj.fromHash({{INFO_PRJ_FILE, path(QStringLiteral("test.prj"))}, {PRJ_WORK_PATH, dir.path()}});
        fake->clearRequests();
        const int run1 = dataPrj.addCfg(QStringLiteral("r"), QString());
        const int write = configure(run1, QStringLiteral("XMC1100"), QStringLiteral("xmc1/xmc1100.dev"),
                                    {{CMD_FLASH_CHAR_WRITE, {}}}, false).first();
        run(run1, false);
        QCOMPARE(failure(), msg(checkmsg::REFUSED)
                                .arg(cmdCode.name(QLatin1String(CMD_FLASH_CHAR_WRITE)), QLatin1String(REC_CMD),
                                     msg(MSG_XMC1_NOT_CARRIED)));
        QCOMPARE(fake->requestCount(), 0);
        QVERIFY(dataPrj.cmdById(write)->validParam());

        // A "bmi_read" stops the run before anything is sent, saying why.
        fake->clearRequests();
        const int run2 = dataPrj.addCfg(QStringLiteral("b"), QString());
        const int bmi = configure(run2, QStringLiteral("XMC1100"), QStringLiteral("xmc1/xmc1100.dev"),
                                  {{CMD_BMI_READ, {}}}, false).first();
        run(run2, false);
        QCOMPARE(failure(), msg(checkmsg::REFUSED)
                                .arg(cmdCode.name(QLatin1String(CMD_BMI_READ)), QLatin1String(REC_CMD),
                                     msg(checkmsg::NOT_OFFERED).arg(QLatin1String(CMD_BMI_READ), QStringLiteral("XMC1100"))));
        QCOMPARE(fake->requestCount(), 0);
        QVERIFY(!dataPrj.cmdById(bmi)->validParam());
        QCOMPARE(chipWire(), QVector<QByteArray>());
    }
};

QTEST_MAIN(TestAvr8)
#include "test_avr8.moc"
