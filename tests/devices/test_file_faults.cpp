// A broken data file reaches no chip: every file write and verify of every
// family and area, run by the worker against the fake programmer, fails on
// a broken file before any device-level request, leaves the chip as it
// was, and says which file, line and fault; "calc_crc" says the same. A
// read to a file that fails or is stopped leaves the earlier file whole.

#include "core/TAppData.h"
#include "core/TCmdCode.h"
#include "core/TLang.h"
#include "core/TProgName.h"
#include "core/TProgType.h"
#include "core/consts.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "devices/TDevToolsExec.h"
#include "devices/check_messages.h"
#include "devices/TDeviceList.h"
#include "devices/dev_lists.h"
#include "formats/format_messages.h"
#include "formats/formatTestUtil.h"
#include "gui/main/startup.h"
#include "link/TExec.h"
#include "link/TSerialPort.h"
#include "support/AvrChip.h"
#include "support/Chip24.h"
#include "support/ExecHarness.h"
#include "support/RunFixture.h"
#include "support/FakeProgrammer.h"
#include "support/HostileFiles.h"
#include "support/NumberedLanguage.h"
#include "support/Spi25Chip.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

using namespace fmtmsg;

namespace {

const QString EMU = QStringLiteral("Emu");
const QString DEVICES = QStringLiteral(VELKOR_SOURCE_DIR "/runtime/devices");

QString T(int number)
{
    return NumberedLanguage::textWithArguments(number);
}

// A chip family in the socket: its description, the set-up clock, the
// chip model and what of the chip a write could change.
struct Family
{
    const char *name;
    const char *description;
    int clock;
    std::function<std::shared_ptr<ChipModel>(const TData &)> make;
    std::function<QByteArray(ChipModel *)> contents;
};

const Family families[] = {
    {"24xx", "24xx/24c02.dev", 400000,
     [](const TData &) { return std::make_shared<Chip24>(256, 8, 1, 7, 0); },
     [](ChipModel *c) { return static_cast<Chip24 *>(c)->memory; }},
    {"25xx", "25xx/w25q16jv.dev", 1000000,
     [](const TData &) { return std::make_shared<Spi25Chip>(1 << 21, QByteArray::fromHex("EF4015")); },
     [](ChipModel *c) {
         auto *chip = static_cast<Spi25Chip *>(c);
         QByteArray all = chip->array;
         for (const QByteArray &r : chip->security)
             all += r;
         return all;
     }},
    {"AVR8", "avr8/atmega328p.dev", 250000,
     [](const TData &dev) {
         return std::make_shared<AvrChip>(AvrChip::specOf(dev), quint16(deviceTypeOf(QStringLiteral("AVR8_SPI"))));
     },
     [](ChipModel *c) {
         auto *chip = static_cast<AvrChip *>(c);
         return chip->flash + chip->eeprom;
     }},
};

// The file commands that read a file, by family.
const QVector<QVector<const char *>> fileReaders = {
    {CMD_FILE_WRITE, CMD_FILE_VERIFY},
    {CMD_FILE_WRITE, CMD_FILE_VERIFY, CMD_SEC_REG_WRITE, CMD_SEC_REG_VERIFY},
    {CMD_FLASH_FILE_WRITE, CMD_FLASH_FILE_VERIFY, CMD_EEPROM_FILE_WRITE, CMD_EEPROM_FILE_VERIFY},
};
const QVector<QVector<const char *>> fileWriters = {
    {CMD_FILE_READ},
    {CMD_FILE_READ, CMD_SEC_REG_READ, CMD_SFDP_REG_READ},
    {CMD_FLASH_FILE_READ, CMD_EEPROM_FILE_READ},
};

QByteArray data16(quint16 offset)
{
    return hexRecord(0, offset, randomBytes(16, offset + 1));
}
QByteArray records(int n, quint16 from = 0)
{
    QByteArray text;
    for (int i = 0; i < n; ++i)
        text += data16(quint16(from + 16 * i));
    return text;
}
const QByteArray END = ":00000001FF\r\n";

// A data file and what its use must fail with ("" for none).
struct FileCase
{
    const char *name;
    const char *format;
    qint64 addrFile;
    QByteArray bytes;       // written to the file unless special
    enum Special { Written, Missing, Folder } special;
    int line;               // for a HEX fault: its line, else 0
    QString what;           // the HEX fault, or the whole error when line is 0
};

QVector<FileCase> fileCases(const QString &file)
{
    QByteArray badSum = data16(0x50);
    const QString rightSum = QString::fromLatin1(badSum.mid(badSum.size() - 4, 2));
    badSum.replace(badSum.size() - 4, 2, rightSum == QLatin1String("00") ? "01" : "00");
    QByteArray longByte = hexRecord(0, 0x10, randomBytes(15, 3));
    longByte.replace(1, 2, "10");
    QVector<FileCase> cases = {
        {"checksum of line 6", "hex", 0, records(5) + badSum + records(5, 0x60) + END, FileCase::Written, 6,
         T(LINE_CHECKSUM).arg(rightSum == QLatin1String("00") ? "01" : "00", rightSum)},
        {"record type", "hex", 0, records(3) + hexRecord(7, 0, "ab") + END, FileCase::Written, 4,
         T(LINE_TYPE).arg("07")},
        {"length byte", "hex", 0, records(1) + longByte + END, FileCase::Written, 2, T(LINE_LENGTH).arg(16).arg(15)},
        {"no end record", "hex", 0, records(8), FileCase::Written, 9, T(LINE_NO_END)},
        {"data past the range", "hex", 0, records(16) + data16(0x100) + END, FileCase::Written, 17,
         T(LINE_OUTSIDE).arg("0x100", "0x10F", "0x00", "0xFF")},
        {"data before the range", "hex", 0x20, records(4) + END, FileCase::Written, 1,
         T(LINE_OUTSIDE).arg("0x00", "0x0F", "0x20", "0x11F")},
        {"overlap", "hex", 0, records(4) + data16(0x18) + END, FileCase::Written, 5,
         T(LINE_OVERLAP).arg("0x18", "0x27")},
        {"joined files", "hex", 0, records(2) + END + records(2, 0x20) + END, FileCase::Written, 4,
         T(LINE_AFTER_END)},
        {"noise", "hex", 0, hostile::noise(3000, 5), FileCase::Written, -1, QString()},
        {"noise after records", "hex", 0, records(6) + hostile::noise(3000, 9), FileCase::Written, -1, QString()},
        {"missing hex", "hex", 0, QByteArray(), FileCase::Missing, 0, T(FILE_MISSING).arg(file)},
        {"missing bin", "bin", 0, QByteArray(), FileCase::Missing, 0, T(FILE_MISSING).arg(file)},
        {"folder", "hex", 0, QByteArray(), FileCase::Folder, 0, T(NOT_A_FILE).arg(file)},
        {"bin shorter than its start", "bin", 0x40, QByteArray(0x3F, 'x'), FileCase::Written, 0,
         T(FILE_SHORT).arg(file, "0x40")},
    };
    return cases;
}

} // namespace

class TestFileFaults : public QObject, RunFixture
{
    Q_OBJECT

    std::shared_ptr<ChipModel> chip;

    void useProgrammer()
    {
        QFile in(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs/emulator.ini"));
        QVERIFY(in.open(QIODevice::ReadOnly));
        // Blocks of 64 bytes: a range of 256 takes several chunks.
        QVERIFY(writeBytes(path(QStringLiteral("emu.ini")), in.readAll().replace("MAX_DATA=256", "MAX_DATA=64")));
        TProgType types;
        types.add(QStringLiteral("EmuType"), path(QStringLiteral("emu.ini")));
        appData.progType.replace(types);
        TProgName names;
        names.add(true, EMU, fake->portName(), QStringLiteral("EmuType"));
        appData.progName.replace(names);
    }

    // A fresh chip of the family and a configuration: set_prog, set_device,
    // then the command on top of the device's defaults. Returns the
    // configuration and the command's id.
    QPair<int, int> configure(const Family &family, const char *code, const TData &params)
    {
        const QString description = DEVICES + QLatin1Char('/') + QLatin1String(family.description);
        chip = family.make(TDeviceList::readDescription(description));
        fake->setChip(chip);
        newProject();
        const int cfg = dataPrj.addCfg(QStringLiteral("c"), QString());
        dataPrj.addCmd({{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_SET_PROG}, {SET_PROG_PROG, EMU}});
        const int setDevice = dataPrj.addCmd({{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_SET_DEVICE},
                                              {SET_DEVICE_DEVICE, QLatin1String(family.name)},
                                              {SET_DEVICE_FILE, description},
                                              {SET_CLK_CLK, family.clock}, {SET_ADDR_ADDR, 0}});
        dataPrj.validateAll();
        IDevice *device = dataPrj.cmdById(setDevice)->device();
        TData data{{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, QLatin1String(code)}, {REC_ID_CMD, -1}};
        if (device)
            device->initCmdParam(data);
        data.remove(REC_ID_CMD);
        for (auto it = params.begin(); it != params.end(); ++it)
            data.insert(it.key(), it.value());
        const int id = dataPrj.addCmd(data);
        dataPrj.validateAll();
        fake->clearRequests();
        return {cfg, id};
    }

    // Runs the configuration; the stop comes when the command with the id
    // starts, when stopAt is set.
    bool run(int cfg, int stopAt = -1)
    {
        rx.reset(new Receiver);
        if (stopAt >= 0) {
            rx->stopsOnWaiting = {cfg};
            rx->stopOnCmdParams = dataPrj.cmdById(stopAt)->handler()->cmdParamText(
                dataPrj.cmdById(stopAt)->toHash(), nullptr);
        }
        QPointer<QThread> thread = startExec(cfg, rx.get());
        if (!TExec::waitForThread(thread, 60000))
            return false;
        for (int i = 0; i < 1000 && rx->destroyed != QVector<int>{cfg}; ++i)
            QTest::qWait(10);
        return rx->destroyed == QVector<int>{cfg} && rx->statuses == QVector<QPair<int, bool>>{{cfg, true}};
    }
    int deviceRequests() const
    {
        int n = 0;
        for (const FakeProgrammer::Request &r : fake->requests())
            n += r.code <= 7;
        return n;
    }
    QByteArray chipContents(const Family &family) const
    {
        QByteArray c;
        fake->locked([&] { c = family.contents(chip.get()); });
        return c;
    }

    void prepareFile(const FileCase &c, const QString &file)
    {
        QFile::remove(file);
        QDir(file).removeRecursively();
        if (c.special == FileCase::Folder)
            QVERIFY(QDir().mkpath(file));
        else if (c.special == FileCase::Written)
            QVERIFY(hostile::writeFile(file, c.bytes));
    }
    QString expected(const FileCase &c, const QString &file) const
    {
        if (c.line > 0)
            return T(FILE_LINE).arg(file, QString::number(c.line), c.what);
        if (c.line < 0)   // some fault of a line: the file named, the line found by the reader
            return QStringLiteral("msg %1 [%2] [").arg(FILE_LINE).arg(file);
        return c.what;
    }
    static bool matches(const QString &error, const QString &expected, const FileCase &c)
    {
        return c.line < 0 ? error.startsWith(expected) : error == expected;
    }

private slots:
    void initTestCase()
    {
        registerMetaTypes();
        QVERIFY(NumberedLanguage::loadWithArguments());
        QVERIFY(dir.isValid());
        appData.pathDevices = DEVICES;
    }

    void init()
    {
        QVERIFY2(startProgrammer(), qPrintable(fake->errorString()));
        useProgrammer();
    }

    void cleanup()
    {
        endRun();
        chip.reset();
    }

    // Every file command of every family that reads a file, on every broken
    // file: the run fails with the file's fault, no device-level request
    // goes out and the chip keeps what it held. A sound file, as a check of
    // the harness, reaches the chip.
    void brokenFilesReachNoChip_data()
    {
        QTest::addColumn<int>("family");
        QTest::addColumn<QString>("code");
        for (int f = 0; f < 3; ++f)
            for (const char *code : fileReaders[f])
                QTest::addRow("%s %s", families[f].name, code) << f << QString::fromLatin1(code);
    }
    void brokenFilesReachNoChip()
    {
        QFETCH(int, family);
        QFETCH(QString, code);
        const Family &fam = families[family];
        const QString file = path(QStringLiteral("data.hex"));
        for (const FileCase &c : fileCases(file)) {
            prepareFile(c, file);
            const auto ids = configure(fam, qPrintable(code),
                                       {{FILE_FORMAT, QLatin1String(c.format)}, {FILE_FILE, file},
                                        {FILE_ADDR_FILE, c.addrFile}, {FILE_ADDR_DEVICE, 0},
                                        {FILE_COUNT, 256}});
            QVERIFY2(dataPrj.cmdById(ids.second)->validParam(), c.name);
            const QByteArray before = chipContents(fam);
            QVERIFY2(!run(ids.first), c.name);
            // A file that is not there or is broken stops the run before it
            // starts, naming the command, by the check of the command's open.
            const QString refused = T(checkmsg::REFUSED).arg(cmdCode.name(code), QLatin1String(FILE_FILE), QString());
            const QString want = c.line < 0 ? refused.chopped(1) + expected(c, file)
                                            : T(checkmsg::REFUSED).arg(cmdCode.name(code), QLatin1String(FILE_FILE),
                                                                       expected(c, file));
            QVERIFY2(matches(failure(), want, c), qPrintable(QStringLiteral("%1: %2\n  expected %3")
                                                               .arg(QLatin1String(c.name), failure(), want)));
            QVERIFY2(fake->requests().isEmpty(), c.name);
            QVERIFY2(chipContents(fam) == before, c.name);
        }

        // The same command on a sound file of the range reaches the chip.
        QVERIFY(hostile::writeFile(file, records(16) + END));
        const auto ids = configure(fam, qPrintable(code),
                                   {{FILE_FORMAT, QStringLiteral("hex")}, {FILE_FILE, file},
                                    {FILE_ADDR_FILE, 0}, {FILE_ADDR_DEVICE, 0}, {FILE_COUNT, 256}});
        const QByteArray before = chipContents(fam);
        const bool verify = code.endsWith(QLatin1String("verify"));
        QCOMPARE(run(ids.first), !verify);   // the erased chip differs from the file
        QVERIFY(deviceRequests() > 0);
        QCOMPARE(chipContents(fam) != before, !verify);
    }

    // "calc_crc" reports the same faults of the same files and logs no CRC;
    // it may cover a part of a sound file's data.
    void calcCrcReportsFileFaults()
    {
        const QString file = path(QStringLiteral("crc.hex"));
        const auto crc = [&](const char *format, qint64 addr, qint64 count, QStringList &results) {
            TDevToolsExec exec({{REC_CMD, CMD_CALC_CRC}, {CRC_CRC_NAME, QStringLiteral("CRC-32/ISO-HDLC")},
                                {CRC_FILE, file}, {CRC_FORMAT, QLatin1String(format)}, {CRC_ADDR, addr},
                                {CRC_COUNT, count}, {CRC_FILL, 0xFF}});
            connect(&exec, &IDeviceExec::signalEventText, this, [&](TCodeExec kind, const QString &text) {
                if (kind == EXEC_RESULT)
                    results << text;
            });
            TSerialPort port;
            bool stop = false;
            int cfg = 0, last = -1;
            return exec.execute(&port, &stop, &cfg, &last) ? QString() : exec.errorText();
        };
        newProject();
        for (const FileCase &c : fileCases(file)) {
            prepareFile(c, file);
            QStringList results;
            const QString error = crc(c.format, c.addrFile, 256, results);
            const bool outside = QByteArray(c.name).startsWith("data ");
            if (outside) {   // a part of the file's data: no fault for a CRC
                QVERIFY2(error.isEmpty(), qPrintable(error));
                QCOMPARE(results.size(), 1);
                continue;
            }
            const QString want = expected(c, file);
            QVERIFY2(matches(error, want, c), qPrintable(QStringLiteral("%1: %2\n  expected %3")
                                                           .arg(QLatin1String(c.name), error, want)));
            QVERIFY2(results.isEmpty(), c.name);
        }
        // "count" 0 of a name that is no file: the file's fault, not a range.
        QFile::remove(file);
        QDir(file).removeRecursively();
        QStringList results;
        QCOMPARE(crc("hex", 16, 0, results), T(FILE_MISSING).arg(file));
    }

    // A read to a file that fails or is stopped leaves the earlier file as
    // it was, for every family and area.
    void unfinishedReadsKeepTheOldFile_data()
    {
        QTest::addColumn<int>("family");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("stop");
        for (int f = 0; f < 3; ++f)
            for (const char *code : fileWriters[f])
                for (const char *format : {"hex", "bin+"})
                    for (bool stop : {false, true})
                        QTest::addRow("%s %s %s %s", families[f].name, code, format, stop ? "stopped" : "failed")
                            << f << QString::fromLatin1(code) << QString::fromLatin1(format) << stop;
    }
    void unfinishedReadsKeepTheOldFile()
    {
        QFETCH(int, family);
        QFETCH(QString, code);
        QFETCH(QString, format);
        QFETCH(bool, stop);
        const QString file = path(QStringLiteral("old.bin"));
        const QByteArray old = "earlier contents of the file";
        QVERIFY(hostile::writeFile(file, old));
        const auto ids = configure(families[family], qPrintable(code),
                                   {{FILE_FORMAT, format}, {FILE_FILE, file}, {FILE_ADDR_FILE, 0},
                                    {FILE_ADDR_DEVICE, 0}, {FILE_COUNT, 256}});
        QVERIFY(dataPrj.cmdById(ids.second)->validParam());
        // A failed read: an error reply to the first read of a 24xx or 25xx
        // chip, to the second memory request of an AVR8.
        if (!stop && family == 2)
            fake->locked([&] { static_cast<AvrChip *>(chip.get())->failMemoryAt = 2; });
        else if (!stop)
            fake->addFault(FakeFault::errorReply(8).onCode(family == 0 ? 5 : 3));
        QCOMPARE(run(ids.first, stop ? ids.second : -1), stop);
        QVERIFY(deviceRequests() > 0);
        QFile back(file);
        QVERIFY(back.open(QIODevice::ReadOnly));
        QCOMPARE(back.readAll(), old);
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("old.bin*")}, QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("old.bin")});
    }
};

QTEST_GUILESS_MAIN(TestFileFaults)
#include "test_file_faults.moc"
