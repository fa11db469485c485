// The memory commands of every chip family from one table: each memory of
// the 24xx, 25xx and AVR8 families (main memory, security registers, SFDP,
// flash, EEPROM) run by the execution worker against the fake programmer's
// chip models. Transfers at the edges of the memory at four programmer
// blocks with HEX and BIN files; commands that would move nothing refused
// with nothing sent; reads stopped or broken part-way change nothing stored.

#include "core/TAppData.h"
#include "core/TProgName.h"
#include "core/TProgType.h"
#include "core/TCmdCode.h"
#include "core/consts.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "devices/TDeviceList.h"
#include "devices/dev_lists.h"
#include "devices/check_messages.h"
#include "devices/exec_messages.h"
#include "formats/format_messages.h"
#include "misc/dev_misc.h"
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

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <iterator>
#include <memory>

namespace {

const QString DEVICES = QStringLiteral(VELKOR_SOURCE_DIR "/runtime/devices");

QString T(int number)
{
    return NumberedLanguage::textWithArguments(number);
}

// The arguments a message of T's language was filled with, when the text is
// that message; else nothing.
QStringList argsOf(int number, const QString &text)
{
    if (!text.startsWith(NumberedLanguage::text(number) + QLatin1Char(' ')))
        return {};
    QStringList args;
    QRegularExpressionMatchIterator it = QRegularExpression(QStringLiteral("\\[([^\\]]*)\\]")).globalMatch(text);
    while (it.hasNext())
        args << it.next().captured(1);
    return args;
}

qint64 fromHex(const QString &text)
{
    return text.toLongLong(nullptr, 16);
}

// The commands of a memory, by what they do; null where it has none.
enum { TEST_EMPTY, CHAR_WRITE, CHAR_VERIFY, DATA_READ, DATA_WRITE, DATA_VERIFY, FILE_READ, FILE_WRITE, FILE_VERIFY, OPS };

struct Memory
{
    const char *name;
    const char *description;   // below runtime/devices; the 25xx one made 64 Kbyte
    int clock;
    qint64 size;               // every memory starts at 0
    const char *codes[OPS];
    quint8 readCode;           // the device-level request of its reads
    quint8 writeCode;          // ... of the requests that program it
    std::function<std::shared_ptr<ChipModel>(const TData &)> make;
    std::function<QByteArray(ChipModel *)> contents;
};

std::shared_ptr<ChipModel> avr(const TData &dev)
{
    return std::make_shared<AvrChip>(AvrChip::specOf(dev), quint16(deviceTypeOf(QStringLiteral("AVR8_SPI"))));
}
std::shared_ptr<ChipModel> spi25(const TData &)
{
    return std::make_shared<Spi25Chip>(65536, QByteArray::fromHex("EF4015"));
}
Spi25Chip *flash25(ChipModel *c)
{
    return static_cast<Spi25Chip *>(c);
}

const Memory memories[] = {
    {"24xx", "24xx/24c64.dev", 400000, 8192,
     {CMD_TEST_EMPTY, CMD_CHAR_WRITE, CMD_CHAR_VERIFY, CMD_DATA_READ, CMD_DATA_WRITE, CMD_DATA_VERIFY, CMD_FILE_READ,
      CMD_FILE_WRITE, CMD_FILE_VERIFY},
     5, 4, [](const TData &) { return std::make_shared<Chip24>(8192, 32, 2, 7, 0); },
     [](ChipModel *c) { return static_cast<Chip24 *>(c)->memory; }},
    {"25xx", "25xx/w25q16jv.dev", 1000000, 65536,
     {CMD_TEST_EMPTY, CMD_CHAR_WRITE, CMD_CHAR_VERIFY, CMD_DATA_READ, CMD_DATA_WRITE, CMD_DATA_VERIFY, CMD_FILE_READ,
      CMD_FILE_WRITE, CMD_FILE_VERIFY},
     3, 4, spi25, [](ChipModel *c) { return flash25(c)->array; }},
    {"25xx security", "25xx/w25q16jv.dev", 1000000, 768,
     {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, CMD_SEC_REG_READ, CMD_SEC_REG_WRITE, CMD_SEC_REG_VERIFY},
     3, 4, spi25, [](ChipModel *c) { return flash25(c)->security.toList().join(); }},
    {"25xx SFDP", "25xx/w25q16jv.dev", 1000000, 256,
     {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, CMD_SFDP_REG_READ, nullptr, nullptr},
     3, 0, spi25, [](ChipModel *c) { return flash25(c)->sfdp; }},
    {"AVR8 flash", "avr8/atmega328p.dev", 250000, 32768,
     {CMD_TEST_EMPTY_FLASH, CMD_FLASH_CHAR_WRITE, CMD_FLASH_CHAR_VERIFY, CMD_FLASH_DATA_READ, CMD_FLASH_DATA_WRITE,
      CMD_FLASH_DATA_VERIFY, CMD_FLASH_FILE_READ, CMD_FLASH_FILE_WRITE, CMD_FLASH_FILE_VERIFY},
     3, 4, avr, [](ChipModel *c) { return static_cast<AvrChip *>(c)->flash; }},
    {"AVR8 EEPROM", "avr8/atmega328p.dev", 250000, 1024,
     {CMD_TEST_EMPTY_EEPROM, CMD_EEPROM_CHAR_WRITE, CMD_EEPROM_CHAR_VERIFY, CMD_EEPROM_DATA_READ,
      CMD_EEPROM_DATA_WRITE, CMD_EEPROM_DATA_VERIFY, CMD_EEPROM_FILE_READ, CMD_EEPROM_FILE_WRITE,
      CMD_EEPROM_FILE_VERIFY},
     5, 6, avr, [](ChipModel *c) { return static_cast<AvrChip *>(c)->eeprom; }},
};

// Intel HEX of the bytes at the address (below 64 Kbyte), 16 a record.
QByteArray hexOf(quint16 address, const QByteArray &bytes)
{
    QByteArray text;
    for (int i = 0; i < bytes.size(); i += 16)
        text += hexRecord(0, quint16(address + i), bytes.mid(i, 16));
    return text + ":00000001FF\r\n";
}

// The commands a kind of refusal is tried on.
QVector<int> refusedOps(const QString &kind)
{
    if (kind == QLatin1String("fill count 0"))
        return {CHAR_WRITE, CHAR_VERIFY};
    if (kind == QLatin1String("file count 0"))
        return {FILE_WRITE, FILE_VERIFY, FILE_READ};
    return {FILE_WRITE, FILE_VERIFY};
}

TData fileParams(const QString &file, const char *format, qint64 at, qint64 count, qint64 addrFile = -1)
{
    return {{FILE_FORMAT, QLatin1String(format)}, {FILE_FILE, file}, {FILE_ADDR_FILE, addrFile < 0 ? at : addrFile},
            {FILE_ADDR_DEVICE, at}, {FILE_COUNT, count}};
}

} // namespace

class TestMemoryCmds : public QObject, RunFixture
{
    Q_OBJECT

    std::shared_ptr<ChipModel> chip;
    const Memory *mem = nullptr;
    int cfg = -1;

    // A fresh chip for the memory and a configuration choosing the
    // programmer of that block and the device.
    void start(const Memory &m, int maxData)
    {
        mem = &m;
        QString description = DEVICES + QLatin1Char('/') + QLatin1String(m.description);
        if (QByteArray(m.name).startsWith("25xx")) {
            QByteArray text = fileBytes(description);
            text.replace("size=D|2097152", "size=D|65536");
            description = path(QStringLiteral("w25q16jv-64k.dev"));
            QVERIFY(writeBytes(description, text));
        }
        chip = m.make(TDeviceList::readDescription(description));
        fake->setChip(chip);
        newProject();
        cfg = dataPrj.addCfg(QStringLiteral("c"), QString());
        dataPrj.addCmd({{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_SET_PROG},
                        {SET_PROG_PROG, QStringLiteral("P%1").arg(maxData)}});
        dataPrj.addCmd({{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_SET_DEVICE},
                        {SET_DEVICE_DEVICE, QLatin1String(m.name)}, {SET_DEVICE_FILE, description},
                        {SET_CLK_CLK, m.clock}, {SET_ADDR_ADDR, 0}});
        dataPrj.validateAll();
    }
    // The memory's command of that kind with the device's defaults, then
    // the values; returns its id.
    int add(int op, const TData &values) { return addCode(QLatin1String(mem->codes[op]), values); }
    int addCode(const QString &code, const TData &values)
    {
        TData data{{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, code}, {REC_ID_CMD, -1}};
        dataPrj.cmdsOfCfg(cfg).at(1)->device()->initCmdParam(data);
        data.remove(REC_ID_CMD);
        for (auto it = values.begin(); it != values.end(); ++it)
            data.insert(it.key(), it.value());
        const int id = dataPrj.addCmd(data);
        dataPrj.validateAll();
        return id;
    }
    // Runs the configuration, stopped as the command with the id starts
    // when it is given, with during() done while it runs; true when the run
    // succeeded.
    bool run(int stopAt = -1, const std::function<void()> &during = {})
    {
        fake->clearRequests();
        rx.reset(new Receiver);
        if (stopAt >= 0) {
            rx->stopsOnWaiting = {cfg};
            rx->stopOnCmdParams = dataPrj.cmdById(stopAt)->handler()->cmdParamText(
                dataPrj.cmdById(stopAt)->toHash(), nullptr);
        }
        QPointer<QThread> thread = startExec(cfg, rx.get());
        if (during)
            during();
        if (!TExec::waitForThread(thread, 60000) || !QTest::qWaitFor([&] { return !rx->destroyed.isEmpty(); }, 5000))
            return false;
        return rx->statuses == QVector<QPair<int, bool>>{{cfg, true}};
    }
    bool logged(const QString &text) const
    {
        const auto lines = rx->ofKind(EXEC_TEXT_NEXT);
        return std::any_of(lines.begin(), lines.end(), [&](const Receiver::Event &e) { return e.text == text; });
    }
    // The requests logged of the codes from..to.
    int requests(int from, int to) const
    {
        const auto log = fake->requests();
        return int(std::count_if(log.begin(), log.end(), [&](const auto &r) { return r.code >= from && r.code <= to; }));
    }
    // A copy of its own, made under the programmer's lock: one sharing the
    // model's bytes would pass them between the threads by Qt's reference
    // count alone (the next write detaches one side), which the race checker
    // cannot see.
    QByteArray contents() const
    {
        QByteArray c;
        fake->locked([&] {
            const QByteArray held = mem->contents(chip.get());
            c = QByteArray(held.constData(), held.size());
        });
        return c;
    }
    QString stored(int id) const { return dataPrj.cmdById(id)->params().value(DATA_DATA).toString(); }
    // The texts of the run's log lines of a kind, the programmer's
    // identification left out.
    QStringList texts(TCodeExec kind) const
    {
        QStringList t = rx->texts(kind);
        t.removeAll(QLatin1String(FakeProgrammer::DEFAULT_IDENT));
        return t;
    }

private slots:
    void initTestCase()
    {
        registerMetaTypes();
        QVERIFY(NumberedLanguage::loadWithArguments());
        QVERIFY(dir.isValid());
        appData.pathDevices = DEVICES;
        const QByteArray ini = fileBytes(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs/emulator.ini"));
        QVERIFY(ini.contains("MAX_DATA=256"));
        TProgType types;
        for (int maxData : {60, 64, 100, 256, 1000}) {
            const QString file = path(QStringLiteral("emu%1.ini").arg(maxData));
            QVERIFY(writeBytes(file, QByteArray(ini).replace("MAX_DATA=256", "MAX_DATA=" + QByteArray::number(maxData))));
            types.add(QStringLiteral("E%1").arg(maxData), file);
        }
        appData.progType.replace(types);
    }
    void init()
    {
        QVERIFY2(startProgrammer(), qPrintable(fake->errorString()));
        TProgName names;
        for (int maxData : {60, 64, 100, 256, 1000})
            names.add(true, QStringLiteral("P%1").arg(maxData), fake->portName(), QStringLiteral("E%1").arg(maxData));
        appData.progName.replace(names);
    }
    void cleanup()
    {
        endRun();
        chip.reset();
    }

    // Every command of each memory in one run: the empty test of the whole
    // memory, a fill from its first byte, data across blocks in its middle,
    // a file up to its last byte written, verified and read back. The chip
    // and the read-backs hold exactly what was written.
    void transfersAtTheEdges_data()
    {
        QTest::addColumn<int>("memory");
        QTest::addColumn<int>("maxData");
        QTest::addColumn<QString>("format");
        for (int m = 0; m < int(std::size(memories)); ++m)
            for (int maxData : {60, 100, 256, 1000})
                for (const char *format : {"hex", "bin"})
                    QTest::addRow("%s %d %s", memories[m].name, maxData, format) << m << maxData << format;
    }
    void transfersAtTheEdges()
    {
        QFETCH(int, memory);
        QFETCH(int, maxData);
        QFETCH(QString, format);
        const Memory &m = memories[memory];
        start(m, maxData);
        QByteArray expect = contents();
        const qint64 size = m.size, mid = size / 2 + 3;
        const QByteArray data = randomBytes(77, quint32(maxData)), image = randomBytes(int(qMin<qint64>(333, size)), 7);
        const qint64 at = size - image.size();
        const QString in = path(QStringLiteral("in.") + format), back = path(QStringLiteral("back.") + format);
        QVERIFY(writeBytes(in, format == QLatin1String("hex") ? hexOf(quint16(at), image) : image));
        QFile::remove(back);
        const QByteArray fmt = format.toLatin1();
        const qint64 fileAt = format == QLatin1String("hex") ? at : 0;
        const TData fill{{CHAR_ADDR_DEVICE, 0}, {CHAR_COUNT, 300}, {CHAR_FILL_CHAR, 0x5A}};
        const QString like = QStringLiteral("000000 ") + QString(152, QLatin1Char('0'));   // 79 bytes
        const TData bytes{{DATA_ADDR_DEVICE, mid}, {DATA_DATA, bytesToHexString(data)}};
        const struct { int op; TData values; } steps[] = {
            {TEST_EMPTY, {}}, {CHAR_WRITE, fill}, {CHAR_VERIFY, fill}, {DATA_WRITE, bytes}, {DATA_VERIFY, bytes},
            {DATA_READ, {{DATA_ADDR_DEVICE, mid - 1}, {DATA_DATA, like}}},
            {FILE_WRITE, fileParams(in, fmt, at, image.size(), fileAt)},
            {FILE_VERIFY, fileParams(in, fmt, at, image.size(), fileAt)},
            {FILE_READ, fileParams(back, fmt, 0, size)}};
        int readId = -1;
        const bool readOnly = m.codes[FILE_WRITE] == nullptr;
        for (const auto &s : steps) {
            if (!m.codes[s.op])
                continue;
            const int id = add(s.op, s.values);
            QVERIFY2(dataPrj.cmdById(id)->validParam(), m.codes[s.op]);
            if (s.op == DATA_READ)
                readId = id;
        }
        QVERIFY2(run(), qPrintable(failure()));
        QStringList moved;
        if (!readOnly)
            moved << T(execmsg::FILE_WRITTEN).arg(image.size()) << T(execmsg::FILE_COMPARED).arg(image.size());
        QCOMPARE(texts(EXEC_RESULT), moved << T(execmsg::FILE_READ_INTO).arg(size));
        if (m.codes[CHAR_WRITE])
            expect.replace(0, 300, QByteArray(300, 0x5A)).replace(int(mid), data.size(), data);
        if (!readOnly)
            expect.replace(int(at), image.size(), image);
        QVERIFY(contents() == expect);
        QVERIFY(readAll(format, back, 0, 0, size, 256).image(0, size) == expect);
        if (readId >= 0)
            QCOMPARE(stored(readId), bytesToHexStringLike(like, expect.mid(int(mid - 1), 79)));
    }

    // A fill or file command of no bytes, and a write or verify of a file
    // without data for its range, fail saying so (naming the file) and send
    // nothing to the chip; a read of no bytes keeps the earlier file.
    void nothingToMoveIsRefused_data()
    {
        QTest::addColumn<int>("memory");
        QTest::addColumn<int>("op");
        QTest::addColumn<QString>("kind");
        for (int m = 0; m < int(std::size(memories)); ++m)
            for (const char *kind : {"fill count 0", "file count 0", "HEX end record only", "empty BIN",
                                     "BIN ending at its start"})
                for (int op : refusedOps(QLatin1String(kind)))
                    if (memories[m].codes[op])
                        QTest::addRow("%s %s, %s", memories[m].name, memories[m].codes[op], kind)
                            << m << op << QString::fromLatin1(kind);
    }
    void nothingToMoveIsRefused()
    {
        QFETCH(int, memory);
        QFETCH(int, op);
        QFETCH(QString, kind);
        const Memory &m = memories[memory];
        const QString file = path(QStringLiteral("nothing.dat"));
        const qint64 first = 0x10, count = kind.endsWith(QLatin1String("count 0")) ? 0 : 0x40;
        QByteArray bytes = "earlier contents";
        const bool hex = kind.contains(QLatin1String("HEX"));
        qint64 addrFile = hex ? first : 0;   // a HEX file places its data, a BIN file starts at 0
        if (kind.startsWith(QLatin1String("HEX end")))
            bytes = ":00000001FF\r\n";
        else if (kind.startsWith(QLatin1String("empty")))
            bytes.clear();
        else if (kind.startsWith(QLatin1String("BIN ending")))
            addrFile = bytes.size();
        start(m, 64);
        QVERIFY(writeBytes(file, bytes));
        const QByteArray before = contents();
        const int id = add(op, op <= CHAR_VERIFY ? TData{{CHAR_ADDR_DEVICE, first}, {CHAR_COUNT, 0}, {CHAR_FILL_CHAR, 0}}
                                                 : fileParams(file, hex ? "hex" : "bin", first, count, addrFile));
        QVERIFY(dataPrj.cmdById(id)->validParam());
        QVERIFY(!run());
        // A range of no bytes the run refuses before it starts, naming the
        // command and its count; a file without data for it too, by the
        // check the executor makes at the file's open.
        const QString name = cmdCode.name(QLatin1String(m.codes[op]));
        QString want = T(checkmsg::REFUSED).arg(name, FILE_FILE,
                                                T(execmsg::FILE_NO_DATA).arg(file, QStringLiteral("10"), QStringLiteral("4F")));
        if (op <= CHAR_VERIFY)
            want = T(checkmsg::REFUSED).arg(name, CHAR_COUNT, T(execmsg::RANGE_EMPTY).arg(QStringLiteral("10")));
        else if (count == 0)
            want = T(checkmsg::REFUSED).arg(name, FILE_COUNT, T(execmsg::FILE_RANGE_EMPTY).arg(file, QStringLiteral("10")));
        QCOMPARE(failure(), want);
        QCOMPARE(requests(0, 0xFF), 0);
        QVERIFY(contents() == before);
        QCOMPARE(fileBytes(file), bytes);
    }

    // Hex data of blanks alone holds no bytes: the check lets it pass, as
    // it lets a count of 0 pass, and the run refuses it before it starts,
    // with nothing sent and nothing stored.
    void blankDataIsRefused_data()
    {
        QTest::addColumn<int>("memory");
        QTest::addColumn<int>("op");
        for (int m = 0; m < int(std::size(memories)); ++m)
            for (int op : {DATA_WRITE, DATA_VERIFY, DATA_READ})
                if (memories[m].codes[op])
                    QTest::addRow("%s %s", memories[m].name, memories[m].codes[op]) << m << op;
    }
    void blankDataIsRefused()
    {
        QFETCH(int, memory);
        QFETCH(int, op);
        start(memories[memory], 64);
        const QByteArray before = contents();
        const int id = add(op, TData{{DATA_ADDR_DEVICE, 0x10}, {DATA_DATA, QStringLiteral("   ")}});
        QVERIFY(dataPrj.cmdById(id)->validParam());
        QVERIFY(!run());
        QCOMPARE(failure(), T(checkmsg::REFUSED).arg(cmdCode.name(QLatin1String(memories[memory].codes[op])), DATA_DATA,
                                                     T(execmsg::RANGE_EMPTY).arg(QStringLiteral("10"))));
        QCOMPARE(requests(0, 7), 0);
        QVERIFY(contents() == before);
        QCOMPARE(stored(id), QStringLiteral("   "));
    }

    // A data read or a read to a file that the user stops after its first
    // chunk, or whose link breaks at its second, leaves what was stored
    // (the command's data, the earlier file) as it was and says so.
    void unfinishedReadsChangeNothing_data()
    {
        QTest::addColumn<int>("memory");
        QTest::addColumn<int>("op");
        QTest::addColumn<bool>("stop");
        for (int m = 0; m < int(std::size(memories)); ++m)
            for (int op : {DATA_READ, FILE_READ})
                for (bool stop : {true, false})
                    if (memories[m].codes[op])
                        QTest::addRow("%s %s, %s", memories[m].name, memories[m].codes[op],
                                      stop ? "stopped" : "link fault") << m << op << stop;
    }
    void unfinishedReadsChangeNothing()
    {
        QFETCH(int, memory);
        QFETCH(int, op);
        QFETCH(bool, stop);
        const Memory &m = memories[memory];
        start(m, 64);
        const QString file = path(QStringLiteral("old.bin"));
        const QString old = QString(QStringLiteral("A5 ")).repeated(200).trimmed();
        QVERIFY(writeBytes(file, "earlier contents"));
        const int id = add(op, op == DATA_READ ? TData{{DATA_ADDR_DEVICE, 0}, {DATA_DATA, old}}
                                               : fileParams(file, "bin", 0, m.size));
        if (!stop)
            fake->addFault(FakeFault::badChecksum().onCode(m.readCode).after(1));
        QCOMPARE(run(stop ? id : -1), stop);
        if (!stop)
            QCOMPARE(failure(), T(TSerialPort::MSG_LINK_FAILED));
        QCOMPARE(requests(m.readCode, m.readCode), stop ? 1 : 2);
        if (op == DATA_READ)
            QCOMPARE(stored(id), old);
        QCOMPARE(fileBytes(file), QByteArray("earlier contents"));
        QVERIFY(logged(op == DATA_READ ? T(execmsg::READ_NOT_STORED) : T(execmsg::READ_FILE_KEPT).arg(file)));
    }

    // A file that ends before the command's range: the write and the verify
    // move what it holds and say where its data end.
    void fileEndingFirstIsSaid_data()
    {
        QTest::addColumn<int>("memory");
        QTest::addColumn<QString>("format");
        for (int m = 0; m < int(std::size(memories)); ++m)
            for (const char *format : {"hex", "bin"})
                if (memories[m].codes[FILE_WRITE])
                    QTest::addRow("%s %s", memories[m].name, format) << m << format;
    }
    void fileEndingFirstIsSaid()
    {
        QFETCH(int, memory);
        QFETCH(QString, format);
        start(memories[memory], 64);
        const qint64 first = 0x20, last = first + 0x7F;
        const bool hex = format == QLatin1String("hex");
        const QString file = path(QStringLiteral("short.dat"));
        QVERIFY(writeBytes(file, hex ? hexOf(quint16(first), randomBytes(16, 1)) : randomBytes(16, 1)));
        for (int op : {FILE_WRITE, FILE_VERIFY})
            add(op, fileParams(file, hex ? "hex" : "bin", first, last - first + 1, hex ? first : 0));
        QVERIFY2(run(), qPrintable(failure()));
        const QString ended = T(execmsg::FILE_ENDED_FIRST).arg(hexText64(first + 15), hexText64(last));
        QCOMPARE(texts(EXEC_RESULT), QStringList({T(execmsg::FILE_WRITTEN).arg(16), ended,
                                                  T(execmsg::FILE_COMPARED).arg(16), ended}));
        QVERIFY(contents().mid(int(first), 16) == randomBytes(16, 1));
    }

    // A write that the user stops after its first chunk, or whose link fails
    // at its third (an error reply: not carried out; a corrupted reply:
    // carried out, perhaps), says what the chip holds: new contents up to
    // the address it names (or the parts, from a HEX file that gives the
    // range's second half or last record first), the failed request's bytes
    // perhaps, the rest as before. A stop stays a stop.
    void unfinishedWritesSayHowFar_data()
    {
        QTest::addColumn<int>("memory");
        QTest::addColumn<int>("op");
        QTest::addColumn<int>("split");   // a HEX file that gives the range from there on first; 0: in order
        QTest::addColumn<QString>("cut");
        for (int m = 0; m < int(std::size(memories)); ++m)
            for (int op : {CHAR_WRITE, DATA_WRITE, FILE_WRITE})
                for (int split : op == FILE_WRITE ? QVector<int>{0, 0x80, 0xF0} : QVector<int>{0})
                    for (const char *cut : {"stopped", "error reply", "reply corrupted"})
                        if (memories[m].codes[op] && (!split || QByteArray(cut) != "reply corrupted"))
                            QTest::addRow("%s %s%s, %s", memories[m].name, memories[m].codes[op],
                                          split ? qPrintable(QStringLiteral(" hex from +%1 first").arg(split)) : "", cut)
                                << m << op << split << QString::fromLatin1(cut);
    }
    void unfinishedWritesSayHowFar()
    {
        QFETCH(int, memory);
        QFETCH(int, op);
        QFETCH(int, split);
        QFETCH(QString, cut);
        const Memory &m = memories[memory];
        start(m, 64);
        const qint64 first = 0x40, count = 0x100, last = first + count - 1;
        const QByteArray data = op == CHAR_WRITE ? QByteArray(int(count), 0x5A) : randomBytes(int(count), 2);
        const QString file = path(QStringLiteral("w.bin"));
        QVERIFY(writeBytes(file, split ? hexOf(quint16(first + split), data.mid(split)).chopped(13)   // no end record
                                             + hexOf(quint16(first), data.left(split)) : data));
        const QByteArray before = contents();
        const int id = add(op, op == CHAR_WRITE   ? TData{{CHAR_ADDR_DEVICE, first}, {CHAR_COUNT, count}, {CHAR_FILL_CHAR, 0x5A}}
                               : op == DATA_WRITE ? TData{{DATA_ADDR_DEVICE, first}, {DATA_DATA, bytesToHexString(data)}}
                                                  : fileParams(file, split ? "hex" : "bin", first, count, split ? first : 0));
        const bool stop = cut == QLatin1String("stopped"), undone = cut != QLatin1String("reply corrupted");
        if (!stop)
            fake->addFault((undone ? FakeFault::errorReply(7) : FakeFault::badChecksum()).onCode(m.writeCode).after(2));
        QCOMPARE(run(stop ? id : -1), stop);
        const QByteArray after = contents();
        const QStringList lines = texts(EXEC_TEXT_NEXT);
        QCOMPARE(lines.size(), stop ? 1 : 2);
        if (split) {
            // The new bytes exactly in the parts named, the old ones elsewhere.
            const QStringList said = argsOf(execmsg::CHANGE_PARTS, lines.first());
            QCOMPARE(said.mid(1), QStringList({hexText64(first), hexText64(last)}));
            QByteArray expect = before;
            auto it = QRegularExpression(QStringLiteral("(?:0x)?([0-9A-F]+)")).globalMatch(said.value(0));
            while (it.hasNext()) {
                const int a = int(fromHex(it.next().captured(1))), z = int(fromHex(it.next().captured(1)));
                QVERIFY(a >= first && a <= z && z <= last);
                expect.replace(a, z - a + 1, data.mid(int(a - first), z - a + 1));
            }
            QVERIFY(expect != before && after == expect);
            return;
        }
        const QStringList part = argsOf(execmsg::CHANGE_PART, lines.first());
        QCOMPARE(part, QStringList({hexText64(first), part.value(1), hexText64(last)}));
        const qint64 said = fromHex(part.at(1));
        QVERIFY(said >= first && said < last);
        qint64 unsureEnd = said;
        if (stop) {
            QCOMPARE(texts(EXEC_SUCCESS), QStringList(T(390)));
        } else {
            const QStringList unsure = argsOf(execmsg::CHANGE_UNSURE, lines.at(1));
            QCOMPARE(unsure.value(0), hexText64(said + 1));
            unsureEnd = fromHex(unsure.value(1));
            QVERIFY(unsureEnd > said && unsureEnd <= last);
            QCOMPARE(requests(m.writeCode, m.writeCode), 3);
        }
        // The chip's new contents end where the log says (after the request
        // that failed, when it may have been carried out).
        const qint64 oldFrom = undone ? said + 1 : unsureEnd + 1;
        QVERIFY(after.mid(int(first), int(said - first + 1)) == data.left(int(said - first + 1)));
        QVERIFY(after.mid(int(oldFrom), int(last - oldFrom + 1)) == before.mid(int(oldFrom), int(last - oldFrom + 1)));
    }

    // The families' own writes and erases cut short say the same: 25xx
    // erases by blocks and of security registers in addresses, status
    // registers, AVR8 fuses and lock bits in registers, the AVR8 chip erase
    // of one request as a whole.
    void ownChangesSayHowFar_data()
    {
        QTest::addColumn<int>("memory");
        QTest::addColumn<QString>("code");
        QTest::addColumn<TData>("values");
        QTest::addColumn<int>("faultCode");   // -1: stopped
        QTest::addColumn<int>("after");
        QTest::addColumn<QStringList>("lines");
        const TData blocks{{BLOCKS_SIZE, 4096}, {BLOCKS_BEGIN, 2}, {BLOCKS_COUNT, 6}};
        QTest::newRow("25xx erase blocks, stopped") << 1 << CMD_ERASE_BLOCKS << blocks << -1 << 0
            << QStringList(T(execmsg::CHANGE_PART).arg("2000", "2FFF", "7FFF"));
        QTest::newRow("25xx erase blocks, failed") << 1 << CMD_ERASE_BLOCKS << blocks << 4 << 2
            << QStringList({T(execmsg::CHANGE_PART).arg("2000", "3FFF", "7FFF"),
                            T(execmsg::CHANGE_UNSURE).arg("4000", "4FFF")});
        QTest::newRow("25xx security registers erase") << 2 << CMD_SEC_REG_ERASE << TData{{REG_DATA, 7}} << 4 << 1
            << QStringList({T(execmsg::CHANGE_PART).arg("00", "FF", "2FF"), T(execmsg::CHANGE_UNSURE).arg("100", "1FF")});
        QTest::newRow("25xx status registers") << 1 << CMD_STATUS_REG_WRITE << TData{{REG_DATA, "00 02 60"}} << 4 << 1
            << QStringList({T(execmsg::REGISTERS_PART).arg(1).arg(3), T(execmsg::REGISTER_UNSURE).arg(2).arg(3)});
        QTest::newRow("AVR8 fuses") << 4 << CMD_FUSE_WRITE << TData{{REG_DATA, "62 D9 FF"}} << 7 << 1
            << QStringList({T(execmsg::REGISTERS_PART).arg(1).arg(3), T(execmsg::REGISTER_UNSURE).arg(2).arg(3)});
        QTest::newRow("AVR8 lock bits") << 4 << CMD_LOCK_WRITE << TData{{REG_DATA, "FC"}} << 7 << 0
            << QStringList(T(execmsg::REGISTER_UNSURE).arg(1).arg(1));
        QTest::newRow("AVR8 chip erase") << 4 << CMD_ERASE << TData() << 7 << 0 << QStringList(T(execmsg::ERASE_UNSURE));
    }
    void ownChangesSayHowFar()
    {
        QFETCH(int, memory);
        QFETCH(QString, code);
        QFETCH(TData, values);
        QFETCH(int, faultCode);
        QFETCH(int, after);
        QFETCH(QStringList, lines);
        start(memories[memory], 64);
        const bool erase25 = memory < 4;
        if (erase25)
            fake->locked([&] {
                flash25(chip.get())->array.fill(0);
                for (QByteArray &r : flash25(chip.get())->security)
                    r.fill(0);
            });
        const int id = addCode(code, values);
        QVERIFY(dataPrj.cmdById(id)->validParam());
        if (faultCode >= 0)
            fake->addFault(FakeFault::errorReply(7).onCode(quint8(faultCode)).after(after));
        QCOMPARE(run(faultCode < 0 ? id : -1), faultCode < 0);
        QCOMPARE(texts(EXEC_TEXT_NEXT), lines);
        if (faultCode >= 0)
            QCOMPARE(requests(faultCode, faultCode), after + 1);
        // Erased up to the address said, the rest as it was.
        const QStringList part = argsOf(execmsg::CHANGE_PART, lines.first());
        if (erase25 && !part.isEmpty()) {
            const QByteArray c = contents();
            const qint64 first = fromHex(part.at(0)), said = fromHex(part.at(1)), last = fromHex(part.at(2));
            QVERIFY(c.mid(int(first), int(said - first + 1)) == QByteArray(int(said - first + 1), char(0xFF)));
            QVERIFY(c.mid(int(said + 1), int(last - said)) == QByteArray(int(last - said), 0));
        }
    }

    // A file written anew in place while a write or verify reads it (the
    // build writing it again) reaches the chip with nothing of its new
    // version, whatever its size and times say: the command fails saying
    // the file changed, and the chip holds the file as opened where the
    // log says it was written, the rest as it was. A change ahead of the
    // reads stops them where it lies beyond what they hold; one behind
    // them (the head of the file) is found when the close reads the file
    // again, after the write. A stamp that moves over the same bytes
    // (touched, a new link, renamed over while the descriptor reads the
    // old file) is no change.
    void fileChangedDuringAWrite_data()
    {
        QTest::addColumn<int>("memory");
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("verify");
        QTest::addColumn<bool>("head");       // the first quarter written anew, else the last
        QTest::addColumn<int>("rewrite");     // of hostile::rewrites; -1: the stamp moved
        QTest::addColumn<int>("move");        // of hostile::stampMoves
        for (const char *format : {"bin", "hex"}) {
            for (int m : {0, 1})
                for (int r = 0; r < int(std::size(hostile::rewrites)); ++r)
                    QTest::addRow("%s %s, %s", memories[m].name, format, hostile::rewrites[r])
                        << m << format << false << false << r << -1;
            QTest::addRow("AVR8 flash %s", format) << 4 << format << false << false << 0 << -1;
            QTest::addRow("verify, %s", format) << 0 << format << true << false << 0 << -1;
            QTest::addRow("head, %s", format) << 0 << format << false << true << 0 << -1;
            for (int m = 0; m < int(std::size(hostile::stampMoves)); ++m)
                QTest::addRow("%s, %s", format, hostile::stampMoves[m]) << 0 << format << false << false << -1 << m;
        }
    }
    void fileChangedDuringAWrite()
    {
        QFETCH(int, memory);
        QFETCH(QString, format);
        QFETCH(bool, verify);
        QFETCH(bool, head);
        QFETCH(int, rewrite);
        QFETCH(int, move);
        start(memories[memory], 256);
        const int size = int(mem->size), quarter = size / 4;
        const bool hex = format == QLatin1String("hex");
        const QByteArray old = randomBytes(size, 3), fresh = randomBytes(size, 4);
        const QByteArray changed = head ? fresh.left(quarter) + old.mid(quarter) : old.left(size - quarter) + fresh.right(quarter);
        const QByteArray oldFile = hex ? hexOf(0, old) : old, newFile = hex ? hexOf(0, changed) : changed;
        const QString file = path(QStringLiteral("image.") + format);
        QVERIFY(writeBytes(file, oldFile));
        const QByteArray before = contents();
        add(FILE_WRITE, fileParams(file, hex ? "hex" : "bin", 0, size));
        if (verify)
            add(FILE_VERIFY, fileParams(file, hex ? "hex" : "bin", 0, size));
        // Part-way: after the first read of the verify, or 64 writes (past
        // the first quarter, before the last).
        fake->addFault(FakeFault::held().onCode(verify ? mem->readCode : mem->writeCode).after(verify ? 1 : 64));
        const bool ok = run(-1, [&] {
            QVERIFY(QTest::qWaitFor([&] { return fake->waitHeld(0); }, 20000));
            const qint64 at = std::mismatch(oldFile.begin(), oldFile.end(), newFile.begin()).first - oldFile.begin();
            QVERIFY(rewrite >= 0 ? hostile::rewrite(file, at, newFile.mid(int(at)), rewrite)
                                 : hostile::moveStamp(file, move, newFile));
            fake->releaseHeld();
        });
        QCOMPARE(ok, rewrite < 0);
        QCOMPARE(failure(), rewrite < 0 ? QString() : T(fmtmsg::FILE_CHANGED).arg(file));
        // Written whole (of the file as opened), or up to where the log says.
        const QStringList lines = texts(EXEC_TEXT_NEXT), part = argsOf(execmsg::CHANGE_PART, lines.value(0));
        const qint64 said = part.isEmpty() ? size - 1 : fromHex(part.at(1));
        QCOMPARE(lines.size(), part.isEmpty() ? 0 : 1);
        QStringList moved = texts(EXEC_RESULT);
        QCOMPARE(moved.isEmpty() ? QString() : moved.takeFirst(), part.isEmpty() ? T(execmsg::FILE_WRITTEN).arg(size) : QString());
        QVERIFY(moved.isEmpty() || (verify && moved == QStringList(T(execmsg::FILE_COMPARED).arg(size))));
        QVERIFY(contents() == old.left(int(said + 1)) + before.mid(int(said + 1)));
        // A raw binary file is read block by block: the reads stopped
        // before its new last quarter.
        if (!hex && !head && rewrite >= 0)
            QVERIFY(verify ? moved.isEmpty() : said < size - quarter);
    }
};

QTEST_GUILESS_MAIN(TestMemoryCmds)
#include "test_memory_cmds.moc"
