// The 25xx family end to end: configurations run by the execution worker
// against the fake programmer with an emulated flash over a pseudo-terminal
// (images through bin and HEX files at several payload sizes, registers,
// security registers, SFDP, unique ID, identification, a stop), the
// executor's refusals of bad input before anything is sent, the family's
// own rules, and the shipped device descriptions.

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/TDev25.h"
#include "devices/TDev25Exec.h"
#include "devices/TDevProg.h"
#include "devices/TDevTools.h"
#include "devices/TDeviceList.h"
#include "devices/dev25_messages.h"
#include "devices/dev_lists.h"
#include "devices/exec_messages.h"
#include "devices/spi25.h"
#include "formats/formatTestUtil.h"
#include "gui/forms/TFormDevCfg.h"
#include "gui/forms/TFormDevEmpty.h"
#include "gui/forms/TFormDevEraseBlocks.h"
#include "gui/forms/TFormDevSetCLK.h"
#include "gui/widgets/TWgtLabelBtn.h"
#include "gui/main/startup.h"
#include "link/TExec.h"
#include "link/TProtocol.h"
#include "link/TSerialPort.h"
#include "misc/dev_misc.h"
#include "support/ChunkCheck.h"
#include "support/ExecHarness.h"
#include "support/RunFixture.h"
#include "support/FakeProgrammer.h"
#include "support/FormHost.h"
#include "support/Spi25Chip.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString DEVICES = QStringLiteral(VELKOR_SOURCE_DIR "/runtime/devices");

struct Chip
{
    const char *name;
    const char *file;
    qint64 size;
    const char *jedec;
};
const Chip W25X10 = {"W25X10CL", "25xx/w25x10cl.dev", 1 << 17, "EF3011"};
const Chip W25Q16 = {"W25Q16JV", "25xx/w25q16jv.dev", 1 << 21, "EF4015"};
const Chip W25Q128 = {"W25Q128JV", "25xx/w25q128jv.dev", 1 << 24, "EF4018"};
const Chip W25Q256 = {"W25Q256JV", "25xx/w25q256jv.dev", 1 << 25, "EF4019"};

// An Intel HEX image of bytes at an address, 16 bytes a record.
QByteArray hexImage(qint64 address, const QByteArray &bytes)
{
    QByteArray out;
    qint64 upper = -1;
    for (int i = 0; i < bytes.size(); i += 16) {
        const qint64 a = address + i;
        if ((a >> 16) != upper) {
            upper = a >> 16;
            QByteArray ext;
            ext.append(char(upper >> 8));
            ext.append(char(upper & 0xFF));
            out += hexRecord(4, 0, ext);
        }
        const int n = int(qMin<qint64>(16, 0x10000 - (a & 0xFFFF)));
        out += hexRecord(0, quint16(a & 0xFFFF), bytes.mid(i, n));
        if (n < 16)
            i -= 16 - n;
    }
    return out + hexRecord(1, 0, QByteArray());
}

} // namespace

class TestDev25 : public QObject, RunFixture
{
    Q_OBJECT

    std::shared_ptr<Spi25Chip> chip;

    void writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    void startChip(const Chip &c, quint32 seed = 0)
    {
        chip = std::make_shared<Spi25Chip>(c.size, QByteArray::fromHex(c.jedec));
        if (seed)
            chip->array = randomBytes(int(c.size), seed);   // nothing erased yet
        fake->setChip(chip);
    }

    // A configuration: set_prog on the programmer with that largest
    // payload, set_device of the chip at 1 MHz.
    int newCfg(const Chip &c, int maxData = 256, const QString &file = QString())
    {
        const int cfg = dataPrj.addCfg(QStringLiteral("cfg %1").arg(dataPrj.cfgList().size()), QString());
        TData prog{{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_SET_PROG}};
        TDevTools(GROUP_TOOLS, TData()).initCmdParam(prog);
        prog.insert(SET_PROG_PROG, QStringLiteral("P%1").arg(maxData));
        dataPrj.addCmd(prog);
        dataPrj.addCmd({{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_SET_DEVICE},
                        {SET_DEVICE_DEVICE, file.isEmpty() ? QString::fromLatin1(c.name) : file},
                        {SET_DEVICE_FILE, file.isEmpty() ? QString::fromLatin1(c.file) : file},
                        {SET_CLK_CLK, 1000000}});
        dataPrj.validateAll();
        return cfg;
    }

    IDevice *deviceOf(int cfg) { return dataPrj.cmdsOfCfg(cfg).at(1)->device(); }

    // A device command with the family's defaults, then the given values.
    int add(int cfg, const char *code, const TData &values = TData())
    {
        TData data{{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, QString::fromLatin1(code)}};
        IDevice *device = deviceOf(cfg);
        if (device)
            device->initCmdParam(data);
        for (auto it = values.begin(); it != values.end(); ++it)
            data.insert(it.key(), it.value());
        const int id = dataPrj.addCmd(data);
        dataPrj.validateAll();
        return id;
    }

    TData record(int id) const { return dataPrj.cmdById(id)->toHash(); }

    // The test reads and sets the chip's fields between runs, while the
    // programmer's thread is idle: the programmer's lock, taken before and
    // after each run, hands them over (for the race checker too, which
    // cannot see the pseudo-terminal order them).
    void run(int cfg, bool ok)
    {
        rx.reset(new Receiver);
        dataPrj.validateAll();
        fake->locked([] {});
        QPointer<QThread> thread = startExec(cfg, rx.get());
        QVERIFY(TExec::waitForThread(thread, 60000));
        QTRY_COMPARE(rx->destroyed, QVector<int>({cfg}));
        fake->locked([] {});
        QVERIFY2(rx->statuses == (QVector<QPair<int, bool>>{{cfg, ok}}), qPrintable(events()));
    }

    QString events() const
    {
        QStringList out;
        for (const Receiver::Event &e : rx->events)
            out << e.text + QLatin1Char(' ') + e.text2;
        return out.join(QLatin1Char('\n'));
    }

    // The device-level requests logged, code 0x84 included.
    QVector<FakeProgrammer::Request> deviceRequests() const
    {
        QVector<FakeProgrammer::Request> out;
        for (const FakeProgrammer::Request &r : fake->requests())
            if (r.code < 0x80 || r.code == TProtocol::PROG_SETUP)
                out << r;
        return out;
    }

    // A description of our own: the 16 Mbit chip's with text replaced.
    QString derived(const QString &name, const QList<QPair<QByteArray, QByteArray>> &changes)
    {
        QFile f(DEVICES + QStringLiteral("/25xx/w25q16jv.dev"));
        if (!f.open(QIODevice::ReadOnly))
            return QString();
        QByteArray text = f.readAll();
        for (const auto &change : changes)
            text.replace(change.first, change.second);
        writeFile(name + QStringLiteral(".dev"), text);
        return path(name + QStringLiteral(".dev"));
    }

    // Runs one command's executor in this thread on a port of its own
    // after the configuration's set-up record; the log holds only the
    // command's requests.
    bool execDirect(int cfg, int id, QString &error, QVector<int> *percents = nullptr,
                    const FakeFault *fault = nullptr)
    {
        TSerialPort port;
        if (!port.openPort(fake->portName(), QIODevice::ReadWrite))
            return false;
        port.setTimeout(1000);
        port.setMaxData(1024);
        QByteArray setup = deviceOf(cfg)->devSetup(dataPrj.cmdsOfCfg(cfg).at(1)->toHash());
        if (!port.transaction(TProtocol::PROG_SETUP, setup))
            return false;
        if (fault)
            fake->addFault(*fault);
        fake->clearRequests();
        TDev25Exec exec(record(id));
        if (percents)
            connect(&exec, &IDeviceExec::signalEventProc, this, [percents](int p) { *percents << p; });
        bool stop = false;
        int cfgId = cfg, last = id;
        const bool ok = exec.execute(&port, &stop, &cfgId, &last);
        error = exec.errorText();
        return ok;
    }

    // "<code> <payload>" of each logged request.
    QStringList wireLog() const
    {
        QStringList out;
        for (const FakeProgrammer::Request &r : fake->requests())
            out << QString::number(r.code) + QLatin1Char(' ') + QString::fromLatin1(r.payload.toHex(' ').toUpper());
        return out;
    }

private slots:
    void initTestCase()
    {
        registerMetaTypes();
        lang.load(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/language/eng.lng"));
        QVERIFY(dir.isValid());
        QFile ini(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs/emulator.ini"));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray text = ini.readAll();
        QVERIFY(text.contains("MAX_DATA=256"));
        QDir().mkpath(path(QStringLiteral("progs")));
        TProgType types;
        for (int maxData : {60, 64, 100, 256, 1000}) {
            QByteArray copy = text;
            copy.replace("MAX_DATA=256", "MAX_DATA=" + QByteArray::number(maxData));
            writeFile(QStringLiteral("progs/emu%1.ini").arg(maxData), copy);
            types.add(QStringLiteral("E%1").arg(maxData), QStringLiteral("emu%1.ini").arg(maxData));
        }
        appData.progType.replace(types);
        appData.setFolder(&TAppData::pathProgs, path(QStringLiteral("progs")));
        appData.setFolder(&TAppData::pathDevices, DEVICES);
    }

    void init()
    {
        QVERIFY2(startProgrammer(), qPrintable(fake->errorString()));
        TProgName names;
        for (int maxData : {60, 64, 100, 256, 1000})
            names.add(true, QStringLiteral("P%1").arg(maxData), fake->portName(), QStringLiteral("E%1").arg(maxData));
        appData.progName.replace(names);
        newProject();
    }

    void cleanup()
    {
        endRun();
        chip.reset();
    }

    // Random images through bin and HEX files into a chip full of old data:
    // erased, tested empty, written, verified and read back byte for byte,
    // with every page program inside its page and its payload limit.
    void imagesRoundTrip_data()
    {
        QTest::addColumn<int>("chipIndex");
        QTest::addColumn<int>("maxData");
        const char *names[] = {"1 Mbit", "16 Mbit", "128 Mbit"};
        for (int c = 0; c < 3; ++c)
            for (int maxData : {60, 100, 256, 1000})
                QTest::addRow("%s, %d", names[c], maxData) << c << maxData;
    }
    void imagesRoundTrip()
    {
        QFETCH(int, chipIndex);
        QFETCH(int, maxData);
        const Chip c = chipIndex == 0 ? W25X10 : chipIndex == 1 ? W25Q16 : W25Q128;
        const quint32 seed = quint32(chipIndex * 1000 + maxData);
        startChip(c, seed);
        const int cfg = newCfg(c, maxData);
        const QByteArray before = chip->array;

        // The bin window: the whole 1 Mbit chip, else an unaligned stretch
        // in the top 128 Kbyte, erased by 64 Kbyte blocks.
        const bool whole = c.size == W25X10.size;
        const qint64 binAt = whole ? 0 : c.size - 131072 + 300;
        const QByteArray bin = randomBytes(whole ? int(c.size) : 100000, seed + 1);
        writeFile(QStringLiteral("in.bin"), bin);
        QFile::remove(path(QStringLiteral("out.bin")));
        const TData binFile{{FILE_FORMAT, QStringLiteral("bin")}, {FILE_ADDR_FILE, 0},
                            {FILE_ADDR_DEVICE, binAt}, {FILE_COUNT, bin.size()}};
        // The HEX window: 8 Kbyte at 0x3000 erased by 4 Kbyte blocks, a
        // record stretch starting off any block boundary.
        const QByteArray hex = randomBytes(6000, seed + 2);
        writeFile(QStringLiteral("in.hex"), hexImage(0x3000 + 13, hex));
        const TData hexFile{{FILE_FORMAT, QStringLiteral("hex")}, {FILE_ADDR_FILE, 0x3000},
                            {FILE_ADDR_DEVICE, 0x3000}, {FILE_COUNT, 8192}};

        add(cfg, CMD_IDENT);
        if (whole) {
            add(cfg, CMD_ERASE);
            add(cfg, CMD_TEST_EMPTY);
        } else {
            const TData top{{BLOCKS_SIZE, 65536}, {BLOCKS_BEGIN, int(c.size / 65536 - 2)}, {BLOCKS_COUNT, 2}};
            add(cfg, CMD_ERASE_BLOCKS, top);
            add(cfg, CMD_TEST_EMPTY_BLOCKS, top);
            const TData low{{BLOCKS_SIZE, 4096}, {BLOCKS_BEGIN, 3}, {BLOCKS_COUNT, 2}};
            add(cfg, CMD_ERASE_BLOCKS, low);
            add(cfg, CMD_TEST_EMPTY_BLOCKS, low);
        }
        TData in = binFile, out = binFile;
        in.insert(FILE_FILE, QStringLiteral("in.bin"));
        out.insert(FILE_FILE, QStringLiteral("out.bin"));
        add(cfg, CMD_FILE_WRITE, in);
        add(cfg, CMD_FILE_VERIFY, in);
        add(cfg, CMD_FILE_READ, out);
        TData hexIn = hexFile, hexOut = hexFile;
        hexIn.insert(FILE_FILE, QStringLiteral("in.hex"));
        hexOut.insert(FILE_FILE, QStringLiteral("out.hex"));
        if (whole) {
            // The whole chip holds the bin image: the HEX image goes over
            // erased blocks of it.
            add(cfg, CMD_ERASE_BLOCKS, {{BLOCKS_SIZE, 4096}, {BLOCKS_BEGIN, 3}, {BLOCKS_COUNT, 2}});
        }
        add(cfg, CMD_FILE_WRITE, hexIn);
        add(cfg, CMD_FILE_VERIFY, hexIn);
        add(cfg, CMD_FILE_READ, hexOut);
        TData again = hexOut;
        add(cfg, CMD_FILE_VERIFY, again);
        run(cfg, true);

        QByteArray expect = before;
        if (whole) {
            expect = bin;
        } else {
            expect.replace(int(c.size - 131072), 131072, QByteArray(131072, char(0xFF)));
            expect.replace(int(binAt), bin.size(), bin);
        }
        expect.replace(0x3000, 8192, QByteArray(8192, char(0xFF)));
        expect.replace(0x3000 + 13, hex.size(), hex);
        QVERIFY(chip->array == expect);
        QByteArray readBack = fileBytes(path(QStringLiteral("out.bin")));
        if (whole)
            readBack.replace(0x3000, 8192, expect.mid(0x3000, 8192));   // read before the HEX part
        QVERIFY(readBack == (whole ? expect : bin));
        QVERIFY(fileBytes(path(QStringLiteral("out.hex"))).startsWith(":"));

        // Wire: the set-up record, and page programs that stay inside their
        // page and the programmer's payload.
        const QVector<FakeProgrammer::Request> reqs = deviceRequests();
        QCOMPARE(reqs.first().code, quint8(TProtocol::PROG_SETUP));
        QCOMPARE(reqs.first().payload, QByteArray::fromHex("05000040420F00"));
        int programs = 0;
        for (const FakeProgrammer::Request &r : reqs) {
            if (r.code == spi25::CODE_WRITE_READ && quint8(r.payload.at(2)) == spi25::INS_FAST_READ)
                QVERIFY(r.payload.size() == 7 && quint16(quint8(r.payload[0]) | quint8(r.payload[1]) << 8) <= maxData);
            if (r.code != spi25::CODE_WRITE || quint8(r.payload.at(0)) != spi25::INS_PAGE_PROGRAM)
                continue;
            ++programs;
            const int offset = quint8(r.payload.at(3));
            const int length = r.payload.size() - 4;
            QVERIFY2(offset + length <= 256 && length <= maxData,
                     qPrintable(QStringLiteral("%1 bytes at page offset %2").arg(length).arg(offset)));
        }
        QVERIFY(programs > 0);
        QCOMPARE(chip->ignored, 0);
        // The firmware enabled writing once per code-4 request.
        QCOMPARE(chip->writeEnables, int(std::count_if(reqs.begin(), reqs.end(), [](const FakeProgrammer::Request &r) {
                     return r.code == spi25::CODE_WRITE;
                 })));
    }

    // The 32 Mbyte chip takes ADP (set, it powers up taking 4-byte
    // addresses): a status write keeps it as the chip holds it, writes the
    // rest as asked and logs the registers written where it kept it.
    void statusWriteKeepsAdp()
    {
        const struct { quint8 before; const char *data; quint8 written; const char *logged; } rows[] = {
            {0x00, "000066", 0x64, "000064"}, {0x62, "000060", 0x62, "000062"}, {0x62, "000022", 0x22, ""}};
        for (const auto &r : rows) {
            startChip(W25Q256);
            chip->writable[2] |= 0x02;
            chip->status[2] = r.before;
            const int cfg = newCfg(W25Q256);
            add(cfg, CMD_STATUS_REG_WRITE, {{REG_DATA, r.data}});
            run(cfg, true);
            QCOMPARE(chip->status[2], r.written);
            const bool logged = events().contains(lang.text(dev25msg::STATUS_BITS_KEPT, "000002", r.logged, r.data));
            QVERIFY2(logged == (*r.logged != 0), qPrintable(events()));
        }
    }

    // Status registers, protection, security registers, SFDP and unique ID
    // in three runs on one chip.
    void registersEndToEnd()
    {
        startChip(W25Q16);
        const int cfg = newCfg(W25Q16);
        const int read = add(cfg, CMD_STATUS_REG_READ);
        QCOMPARE(record(read).value(REG_DATA).toString(), QStringLiteral("000060"));
        // Every block protected; a spaced lower-case text verifies.
        add(cfg, CMD_STATUS_REG_WRITE, {{REG_DATA, QStringLiteral("1C0260")}});
        add(cfg, CMD_STATUS_REG_VERIFY, {{REG_DATA, QStringLiteral("1c 02 60")}});
        add(cfg, CMD_DATA_WRITE, {{DATA_ADDR_DEVICE, 0x100}, {DATA_DATA, QStringLiteral("A5 5A")}});
        run(cfg, true);
        QCOMPARE(record(read).value(REG_DATA).toString(), QStringLiteral("000260"));
        QCOMPARE(int(chip->status[0]), 0x1C);
        QCOMPARE(chip->ignored, 1);

        const int cfg2 = newCfg(W25Q16);
        add(cfg2, CMD_DATA_VERIFY, {{DATA_ADDR_DEVICE, 0x100}, {DATA_DATA, QStringLiteral("A5 5A")}});
        run(cfg2, false);
        QVERIFY2(events().contains(QStringLiteral("Address: 0x100, Data: 0xA5, Read: 0xFF")), qPrintable(events()));

        const QByteArray sec = randomBytes(768, 7);
        writeFile(QStringLiteral("sec.bin"), sec);
        const TData secFile{{FILE_FORMAT, QStringLiteral("bin")}, {FILE_ADDR_FILE, 0},
                            {FILE_ADDR_DEVICE, 0}, {FILE_COUNT, 768}};
        const int cfg3 = newCfg(W25Q16);
        add(cfg3, CMD_STATUS_REG_WRITE, {{REG_DATA, QStringLiteral("000260")}});
        add(cfg3, CMD_DATA_WRITE, {{DATA_ADDR_DEVICE, 0x100}, {DATA_DATA, QStringLiteral("A5 5A")}});
        add(cfg3, CMD_DATA_VERIFY, {{DATA_ADDR_DEVICE, 0x100}, {DATA_DATA, QStringLiteral("A5 5A")}});
        const int back = add(cfg3, CMD_DATA_READ, {{DATA_ADDR_DEVICE, 0xFF}, {DATA_DATA, QStringLiteral("00 0000 00")}});
        add(cfg3, CMD_SEC_REG_ERASE);
        add(cfg3, CMD_SEC_REG_TEST_EMPTY);
        TData secIn = secFile, secOut = secFile;
        secIn.insert(FILE_FILE, QStringLiteral("sec.bin"));
        secOut.insert(FILE_FILE, QStringLiteral("sec_out.bin"));
        add(cfg3, CMD_SEC_REG_WRITE, secIn);
        add(cfg3, CMD_SEC_REG_VERIFY, secIn);
        add(cfg3, CMD_SEC_REG_READ, secOut);
        add(cfg3, CMD_SFDP_REG_READ, {{FILE_FILE, QStringLiteral("sfdp.bin")}, {FILE_FORMAT, QStringLiteral("bin")}});
        const int uid = add(cfg3, CMD_UNIQUE_ID_READ);
        fake->clearRequests();
        run(cfg3, true);
        QCOMPARE(record(back).value(REG_DATA).toString(), QStringLiteral("FF A55A FF"));
        QCOMPARE(chip->security.at(0) + chip->security.at(1) + chip->security.at(2), sec);
        QCOMPARE(fileBytes(path(QStringLiteral("sec_out.bin"))), sec);
        const QByteArray sfdp = fileBytes(path(QStringLiteral("sfdp.bin")));
        QCOMPARE(sfdp, chip->sfdp);
        QVERIFY(sfdp.startsWith("SFDP"));
        QCOMPARE(record(uid).value(REG_DATA).toString(), QStringLiteral("D1A2B3C4D5E6F708"));

        // Security requests carry R in A1 and never cross a register.
        for (const FakeProgrammer::Request &r : fake->requests()) {
            const quint8 op = r.payload.size() > 2 ? quint8(r.payload.at(r.code == 3 ? 2 : 0)) : 0;
            if (r.code == 4 && op == spi25::INS_PROGRAM_SECURITY)
                QVERIFY(quint8(r.payload.at(3)) + r.payload.size() - 4 <= 256);
        }
    }

    // Every transfer loop of the family at odd starts and lengths, at four
    // payload sizes, on a chip that wraps a program inside its page and
    // every security-register transfer inside its register: what was
    // written reads back and verifies byte for byte, and no request crosses
    // a page, a register, the SFDP table's end or the programmer's block.
    void chunksKeepTheirBounds_data()
    {
        QTest::addColumn<int>("maxData");
        for (int maxData : {60, 100, 256, 1000})
            QTest::addRow("%d", maxData) << maxData;
    }
    void chunksKeepTheirBounds()
    {
        QFETCH(int, maxData);
        startChip(W25Q16, quint32(maxData));
        const int cfg = newCfg(W25Q16, maxData);
        const QByteArray data = randomBytes(301, quint32(maxData) + 1);
        const QByteArray image = randomBytes(0x1303, quint32(maxData) + 2);
        const QByteArray sec = randomBytes(0x1A1, quint32(maxData) + 3);
        writeFile(QStringLiteral("main.bin"), image);
        writeFile(QStringLiteral("sec.bin"), sec);
        const auto file = [](const char *name, qint64 at, qint64 count) {
            return TData{{FILE_FORMAT, QStringLiteral("bin")}, {FILE_FILE, QString::fromLatin1(name)},
                         {FILE_ADDR_FILE, 0}, {FILE_ADDR_DEVICE, at}, {FILE_COUNT, count}};
        };
        const TData fill{{CHAR_ADDR_DEVICE, 0xF3}, {CHAR_COUNT, 0x2A1}, {CHAR_FILL_CHAR, 0x5A}};
        const TData bytes{{DATA_ADDR_DEVICE, 0x3F1}, {DATA_DATA, bytesToHexString(data)}};
        add(cfg, CMD_ERASE_BLOCKS, {{BLOCKS_SIZE, 4096}, {BLOCKS_BEGIN, 0}, {BLOCKS_COUNT, 4}});
        add(cfg, CMD_CHAR_WRITE, fill);
        add(cfg, CMD_CHAR_VERIFY, fill);
        add(cfg, CMD_DATA_WRITE, bytes);
        add(cfg, CMD_DATA_VERIFY, bytes);
        const int back = add(cfg, CMD_DATA_READ, {{DATA_ADDR_DEVICE, 0x3F0}, {DATA_DATA, QString(606, QLatin1Char('0'))}});
        add(cfg, CMD_FILE_WRITE, file("main.bin", 0x1105, image.size()));
        add(cfg, CMD_FILE_VERIFY, file("main.bin", 0x1105, image.size()));
        add(cfg, CMD_FILE_READ, file("main_out.bin", 0x1105, image.size()));
        add(cfg, CMD_TEST_EMPTY_BLOCKS, {{BLOCKS_SIZE, 4096}, {BLOCKS_BEGIN, 3}, {BLOCKS_COUNT, 1}});
        // Security registers: from inside the first to inside the last.
        add(cfg, CMD_SEC_REG_ERASE, {{REG_DATA, 7}});
        add(cfg, CMD_SEC_REG_WRITE, file("sec.bin", 0xF3, sec.size()));
        add(cfg, CMD_SEC_REG_VERIFY, file("sec.bin", 0xF3, sec.size()));
        add(cfg, CMD_SEC_REG_READ, file("sec_out.bin", 0xF3, sec.size()));
        add(cfg, CMD_SEC_REG_READ, file("sec_all.bin", 0, 768));
        add(cfg, CMD_SFDP_REG_READ, file("sfdp_part.bin", 0x0B, 0xF1));
        add(cfg, CMD_SFDP_REG_READ, file("sfdp.bin", 0, 256));
        fake->clearRequests();
        run(cfg, true);

        QByteArray expect = chip->array;
        expect.replace(0, 0x4000, QByteArray(0x4000, char(0xFF)));
        expect.replace(0xF3, 0x2A1, QByteArray(0x2A1, 0x5A));
        expect.replace(0x3F1, data.size(), data);
        expect.replace(0x1105, image.size(), image);
        QVERIFY(chip->array == expect);
        QCOMPARE(record(back).value(REG_DATA).toString(), bytesToHexString(expect.mid(0x3F0, 303)));
        QVERIFY(fileBytes(path(QStringLiteral("main_out.bin"))) == image);
        QByteArray registers = QByteArray(768, char(0xFF));
        registers.replace(0xF3, sec.size(), sec);
        QCOMPARE(chip->security.at(0) + chip->security.at(1) + chip->security.at(2), registers);
        QCOMPARE(fileBytes(path(QStringLiteral("sec_out.bin"))), sec);
        QCOMPARE(fileBytes(path(QStringLiteral("sec_all.bin"))), registers);
        QCOMPARE(fileBytes(path(QStringLiteral("sfdp_part.bin"))), chip->sfdp.mid(0x0B, 0xF1));
        QCOMPARE(fileBytes(path(QStringLiteral("sfdp.bin"))), chip->sfdp);

        // The wire: each read and program against the limits of its area.
        const qint64 page = 256, block = qMin<qint64>(maxData, page);
        QMap<quint8, int> seen;
        for (const FakeProgrammer::Request &r : fake->requests()) {
            const QByteArray &p = r.payload;
            // Only reads and writes to the chip, long enough to name their instruction.
            if ((r.code != spi25::CODE_WRITE_READ && r.code != spi25::CODE_WRITE)
                || p.size() < (r.code == spi25::CODE_WRITE_READ ? 6 : 4))
                continue;
            const auto at = [&p](int i) { return qint64(quint8(p.at(i))); };
            const quint8 op = r.code == spi25::CODE_WRITE_READ ? quint8(p.at(2)) : quint8(p.at(0));
            qint64 address = 0, length = 0;
            QVector<qint64> bounds;
            if (r.code == spi25::CODE_WRITE_READ && op == spi25::INS_FAST_READ) {
                address = at(3) << 16 | at(4) << 8 | at(5);
                length = at(0) | at(1) << 8;
                bounds = {maxData};
            } else if (r.code == spi25::CODE_WRITE_READ
                       && (op == spi25::INS_READ_SECURITY || op == spi25::INS_READ_SFDP)) {
                address = op == spi25::INS_READ_SFDP ? at(5) : ((at(4) >> 4) - 1) * 256 + at(5);
                length = at(0) | at(1) << 8;
                bounds = {block, page};
            } else if (r.code == spi25::CODE_WRITE
                       && (op == spi25::INS_PAGE_PROGRAM || op == spi25::INS_PROGRAM_SECURITY)) {
                address = op == spi25::INS_PAGE_PROGRAM ? at(1) << 16 | at(2) << 8 | at(3)
                                                        : ((at(2) >> 4) - 1) * 256 + at(3);
                length = p.size() - 4;
                bounds = {block, page};
            } else {
                continue;
            }
            ++seen[op];
            const QString fault = chunkFault(address, length, maxData, bounds);
            QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("instruction %1: ").arg(op, 2, 16) + fault));
        }
        QCOMPARE(seen.size(), 5);
        QCOMPARE(chip->ignored, 0);
    }

    // "ident" compares with the signature and names a foreign chip from
    // signature.lst; the executor's ident gives the identification text.
    void identification()
    {
        startChip({"W25Q32JV", "", 1 << 22, "EF4016"});
        const int cfg = newCfg(W25Q16);
        add(cfg, CMD_IDENT);
        run(cfg, false);
        QVERIFY2(events().contains(QStringLiteral("   Device: W25Q32JV\nSignature: EF4016")), qPrintable(events()));

        TSerialPort port;
        QVERIFY(port.openPort(fake->portName(), QIODevice::ReadWrite));
        port.setTimeout(1000);
        const int id = add(cfg, CMD_IDENT);
        TDev25Exec exec(record(id));
        QString text;
        QVERIFY(exec.ident(&port, text));
        QCOMPARE(text, QStringLiteral("EF4016"));
    }

    // Automatic detection identifies the chip by its JEDEC ID, names it from
    // the family's pair file and routes the run to the configuration listed
    // for it, which then works on the chip.
    void autoDetectRoutes()
    {
        startChip(W25Q16);
        chip->array.replace(0x20, 3, QByteArray::fromHex("C0FFEE"));
        const int target = newCfg(W25Q16);
        const int read = add(target, CMD_DATA_READ, {{DATA_ADDR_DEVICE, 0x20}, {DATA_DATA, QStringLiteral("000000")}});
        const int cfg = dataPrj.addCfg(QStringLiteral("detect"), QString());
        TData prog{{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_SET_PROG}};
        TDevTools(GROUP_TOOLS, TData()).initCmdParam(prog);
        prog.insert(SET_PROG_PROG, QStringLiteral("P256"));
        dataPrj.addCmd(prog);
        const int detect = dataPrj.addCmd({{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_AUTO_DETECT}});
        dataPrj.validateAll();
        dataPrj.setCmdParam(detect, {{REC_ID_CMD, detect}, {AUTO_NAME, QStringLiteral("25xx SPI flash")}});
        dataPrj.setCmdParam(detect, {{REC_ID_CMD, detect},
                                     {AUTO_ROUTE, QStringLiteral("EF4014=%1|EF4015=%2").arg(cfg).arg(target)},
                                     {AUTO_EXECUTE, 0}, {AUTO_STOP, 1}});
        QVERIFY(dataPrj.cmdById(detect)->validParam());
        run(cfg, true);
        QVERIFY2(events().contains(QStringLiteral("W25Q16JV (EF4015)")), qPrintable(events()));
        QCOMPARE(record(read).value(REG_DATA).toString(), QStringLiteral("C0FFEE"));
    }

    // A stop mid-read leaves the earlier file as it was and ends the run as
    // a success; a long write reports rising percentages.
    void stopAndProgress()
    {
        startChip(W25X10, 3);
        const int cfg = newCfg(W25X10, 60);
        add(cfg, CMD_FILE_WRITE, {{FILE_FILE, QStringLiteral("image.bin")}, {FILE_FORMAT, QStringLiteral("bin")}});
        writeFile(QStringLiteral("image.bin"), QByteArray(int(W25X10.size), char(0x00)));
        run(cfg, true);
        QVERIFY(rx->percents.size() > 50);
        int last = -1;
        int rising = 0;
        for (int p : rx->percents) {
            if (p == 0 && last > 0)
                break;   // the end of the command
            QVERIFY(p >= last);
            rising += p > last;
            last = p;
        }
        QVERIFY(rising > 50);
        QCOMPARE(last, 100);

        writeFile(QStringLiteral("old.bin"), "earlier contents");
        const int cfg2 = newCfg(W25X10, 60);
        add(cfg2, CMD_FILE_READ, {{FILE_FILE, QStringLiteral("old.bin")}, {FILE_FORMAT, QStringLiteral("bin")}});
        fake->clearRequests();
        rx.reset(new Receiver);
        dataPrj.validateAll();
        QPointer<QThread> thread = startExec(cfg2, rx.get());
        QTRY_VERIFY_WITH_TIMEOUT(!rx->percents.isEmpty() && rx->percents.last() >= 20, 20000);
        emit rx->signalStop(cfg2);
        QVERIFY(TExec::waitForThread(thread, 60000));
        QCOMPARE(rx->statuses, (QVector<QPair<int, bool>>{{cfg2, true}}));
        int reads = 0;
        for (const FakeProgrammer::Request &r : fake->requests())
            reads += r.code == spi25::CODE_WRITE_READ;
        QVERIFY(reads > 0 && reads < int(W25X10.size / 60));
        QCOMPARE(fileBytes(path(QStringLiteral("old.bin"))), QByteArray("earlier contents"));
    }

    // The worked examples, request by request.
    void workedExamples_data()
    {
        QTest::addColumn<QString>("device");    // "" = the 16 Mbit chip; "small": 64 Kbyte, erase 20|4096
        QTest::addColumn<int>("maxData");
        QTest::addColumn<QString>("code");
        QTest::addColumn<TData>("values");
        QTest::addColumn<QString>("error");     // "-": success
        QTest::addColumn<QStringList>("wire");
        QTest::addColumn<QString>("percents");  // the last ones, comma separated
        QStringList erase;
        for (int i = 0; i < 16; ++i)
            erase << QStringLiteral("4 20 00 %1 00").arg(i * 16, 2, 16, QLatin1Char('0')).toUpper();
        QTest::newRow("erase by 4 Kbyte") << "small" << 256 << CMD_ERASE << TData() << "-" << erase << "93";
        QTest::newRow("erase blocks")
            << "small" << 256 << CMD_ERASE_BLOCKS << TData{{BLOCKS_SIZE, 4096}, {BLOCKS_BEGIN, 2}, {BLOCKS_COUNT, 3}}
            << "-" << QStringList{"4 20 00 20 00", "4 20 00 30 00", "4 20 00 40 00"} << "0,33,66";
        QTest::newRow("test empty blocks")
            << "" << 1000 << CMD_TEST_EMPTY_BLOCKS << TData{{BLOCKS_SIZE, 4096}, {BLOCKS_BEGIN, 1}, {BLOCKS_COUNT, 1}}
            << "-"
            << QStringList{"3 88 03 0B 00 10 00 00", "3 E8 03 0B 00 13 88 00", "3 E8 03 0B 00 17 70 00",
                           "3 E8 03 0B 00 1B 58 00", "3 C0 00 0B 00 1F 40 00"}
            << "22,46,70,95,100";
        QTest::newRow("data write at 0x3C, block 64")
            << "" << 64 << CMD_DATA_WRITE << TData{{DATA_ADDR_DEVICE, 0x3C}, {DATA_DATA, QString(200, QLatin1Char('A'))}}
            << "-"
            << QStringList{"4 02 00 00 3C AA AA AA AA", "4 02 00 00 40 " + QStringList(QVector<QString>(64, "AA").toList()).join(' '),
                           "4 02 00 00 80 " + QStringList(QVector<QString>(32, "AA").toList()).join(' ')}
            << "4,68,100";
        QTest::newRow("status write")
            << "" << 256 << CMD_STATUS_REG_WRITE << TData{{REG_DATA, QStringLiteral("000260")}} << "-"
            << QStringList{"4 01 00", "4 31 02", "4 11 60"} << "";
        QTest::newRow("status verify differs")
            << "" << 256 << CMD_STATUS_REG_VERIFY << TData{{REG_DATA, QStringLiteral("000260")}}
            << "Registers: Data: 000260, Read: 000360"
            << QStringList{"3 01 00 05", "3 01 00 35", "3 01 00 15"} << "";
        QTest::newRow("security erase 0x05")
            << "" << 256 << CMD_SEC_REG_ERASE << TData{{REG_DATA, 5}} << "-"
            << QStringList{"4 44 00 10 00", "4 44 00 30 00"} << "0,66";
        QTest::newRow("security empty 0x02, block 64")
            << "" << 64 << CMD_SEC_REG_TEST_EMPTY << TData{{REG_DATA, 2}} << "-"
            << QStringList{"3 40 00 48 00 20 00 00", "3 40 00 48 00 20 40 00", "3 40 00 48 00 20 80 00",
                           "3 40 00 48 00 20 C0 00"}
            << "41,50,58,66";
        QTest::newRow("SFDP, block 64")
            << "" << 64 << CMD_SFDP_REG_READ
            << TData{{FILE_FILE, QStringLiteral("sfdp.bin")}, {FILE_FORMAT, QStringLiteral("bin")}} << "-"
            << QStringList{"3 40 00 5A 00 00 00 00", "3 40 00 5A 00 00 40 00", "3 40 00 5A 00 00 80 00",
                           "3 40 00 5A 00 00 C0 00"}
            << "25,50,75,100";
        QTest::newRow("empty test finds 0x7E at 0x101")
            << "" << 256 << CMD_TEST_EMPTY << TData() << "Address: 0x101, Data: 0xFF, Read: 0x7E"
            << QStringList{"3 00 01 0B 00 00 00 00", "3 00 01 0B 00 01 00 00"} << "0";
        QTest::newRow("clock") << "" << 256 << CMD_SET_CLK << TData{{SET_CLK_CLK, 4000000}} << "-"
                               << QStringList{"2 00 09 3D 00"} << "";
        QTest::newRow("leave") << "" << 256 << CMD_LEAVE << TData{{LEAVE_STATE, QStringLiteral("ZZZL")}} << "-"
                               << QStringList{"1 00 00 08 08 08 04 00 00 00 00"} << "";
    }
    void workedExamples()
    {
        QFETCH(QString, device);
        QFETCH(int, maxData);
        QFETCH(QString, code);
        QFETCH(TData, values);
        QFETCH(QString, error);
        QFETCH(QStringList, wire);
        QFETCH(QString, percents);
        Chip c = W25Q16;
        QString file;
        if (device == QLatin1String("small")) {
            file = derived(device, {{"size=D|2097152", "size=D|65536"}, {"erase=s|D8|65536", "erase=s|20|4096"}});
            c.size = 65536;
        }
        startChip(c);
        chip->array[0x101] = char(0x7E);
        chip->status[1] = 0x03;
        const int cfg = newCfg(c, maxData, file);
        const int id = add(cfg, code.toLatin1().constData(), values);
        QString text;
        QVector<int> seen;
        QCOMPARE(execDirect(cfg, id, text, &seen), error == QLatin1String("-"));
        QCOMPARE(text, error == QLatin1String("-") ? QString() : error);
        QCOMPARE(wireLog(), wire);
        QStringList tail;
        for (int p : seen)
            tail << QString::number(p);
        const QStringList expected = percents.isEmpty() ? QStringList() : percents.split(QLatin1Char(','));
        QVERIFY2(tail.mid(tail.size() - expected.size()) == expected, qPrintable(tail.join(',')));
    }

    // Bad input: the check marks the command invalid and the executor
    // refuses it with nothing sent (the short replies: one request, nothing
    // stored).
    void refusals_data()
    {
        QTest::addColumn<QString>("device");   // chip name, or a description of our own
        QTest::addColumn<QString>("code");
        QTest::addColumn<TData>("values");
        QTest::addColumn<QString>("error");
        QTest::addColumn<bool>("valid");      // what the check says
        QTest::addColumn<int>("requests");
        const auto m = [](int n) { return lang.text(n); };
        QTest::newRow("variant 1") << "alg1" << CMD_TEST_EMPTY << TData()
                                   << m(execmsg::UNKNOWN_ALG).arg(DEV_ALG_FLASH_READ).arg(1) << false << 0;
        QTest::newRow("erase without size") << "noSize" << CMD_ERASE << TData()
                                            << m(execmsg::ERASE_ENTRY).arg(QStringLiteral("D8")) << false << 0;
        QTest::newRow("page size 0") << "page0" << CMD_CHAR_WRITE << TData() << m(dev25msg::BLOCK_SIZE_ZERO) << false << 0;
        QTest::newRow("read past 16 Mbyte")
            << "W25Q256JV" << CMD_FILE_READ
            << TData{{FILE_ADDR_DEVICE, 0xFFFF00}, {FILE_COUNT, 512}, {FILE_FILE, QStringLiteral("x.bin")}}
            << m(dev25msg::RANGE_PAST_3_BYTES).arg(QStringLiteral("FFFF00"), QStringLiteral("10000FF")) << false << 0;
        QTest::newRow("erase past 16 Mbyte")
            << "W25Q256JV" << CMD_ERASE << TData()
            << m(dev25msg::RANGE_PAST_3_BYTES).arg(QStringLiteral("00"), QStringLiteral("1FFFFFF")) << false << 0;
        QTest::newRow("test empty past 16 Mbyte")
            << "W25Q256JV" << CMD_TEST_EMPTY << TData()
            << m(dev25msg::RANGE_PAST_3_BYTES).arg(QStringLiteral("00"), QStringLiteral("1FFFFFF")) << false << 0;
        QTest::newRow("SFDP past 0xFF")
            << "W25Q16JV" << CMD_SFDP_REG_READ
            << TData{{FILE_ADDR_DEVICE, 0xF0}, {FILE_COUNT, 32}, {FILE_FILE, QStringLiteral("x.bin")}}
            << m(dev25msg::SFDP_PAST_LIMIT).arg(QStringLiteral("F0"), QStringLiteral("10F")) << false << 0;
        QTest::newRow("security past the registers")
            << "W25Q16JV" << CMD_SEC_REG_READ
            << TData{{FILE_ADDR_DEVICE, 0x300}, {FILE_COUNT, 1}, {FILE_FILE, QStringLiteral("x.bin")}}
            << m(dev25msg::SECURITY_OUTSIDE).arg(QStringLiteral("300"), QStringLiteral("300")) << false << 0;
        QTest::newRow("unmatched block size")
            << "W25Q16JV" << CMD_ERASE_BLOCKS << TData{{BLOCKS_SIZE, 8192}, {BLOCKS_BEGIN, 0}, {BLOCKS_COUNT, 1}}
            << m(dev25msg::NO_ERASE_FOR_SIZE).arg(8192) << false << 0;
        // What would move nothing is refused, nothing sent.
        QTest::newRow("data write of nothing")
            << "W25Q16JV" << CMD_DATA_WRITE << TData{{DATA_ADDR_DEVICE, 0}, {DATA_DATA, QString()}}
            << m(execmsg::RANGE_EMPTY).arg(QStringLiteral("00")) << false << 0;
        QTest::newRow("data verify of blanks")
            << "W25Q16JV" << CMD_DATA_VERIFY << TData{{DATA_ADDR_DEVICE, 0x20}, {DATA_DATA, QStringLiteral("  ")}}
            << m(execmsg::RANGE_EMPTY).arg(QStringLiteral("20")) << true << 0;
        QTest::newRow("erase of no blocks")
            << "W25Q16JV" << CMD_ERASE_BLOCKS << TData{{BLOCKS_SIZE, 65536}, {BLOCKS_BEGIN, 1}, {BLOCKS_COUNT, 0}}
            << m(execmsg::RANGE_EMPTY).arg(QStringLiteral("10000")) << true << 0;
        QTest::newRow("security selection past the registers")
            << "W25Q16JV" << CMD_SEC_REG_TEST_EMPTY << TData{{REG_DATA, 8}}
            << m(dev25msg::NO_SECURITY_SELECTED).arg(3) << false << 0;
        QTest::newRow("security erase of no register")
            << "W25Q16JV" << CMD_SEC_REG_ERASE << TData{{REG_DATA, 0}}
            << m(dev25msg::NO_SECURITY_SELECTED).arg(3) << false << 0;
        QTest::newRow("erase blocks past the device")
            << "W25X10CL" << CMD_ERASE_BLOCKS << TData{{BLOCKS_SIZE, 65536}, {BLOCKS_BEGIN, 1}, {BLOCKS_COUNT, 2}}
            << m(dev25msg::BLOCKS_OUTSIDE).arg(QStringLiteral("10000"), QStringLiteral("2FFFF")) << false << 0;
        QTest::newRow("empty test past the device")
            << "W25X10CL" << CMD_TEST_EMPTY_BLOCKS << TData{{BLOCKS_SIZE, 65536}, {BLOCKS_BEGIN, 2}, {BLOCKS_COUNT, 1}}
            << m(dev25msg::BLOCKS_OUTSIDE).arg(QStringLiteral("20000"), QStringLiteral("2FFFF")) << false << 0;
        QTest::newRow("blocks overflowing 32 bits")
            << "W25Q16JV" << CMD_ERASE_BLOCKS << TData{{BLOCKS_SIZE, 65536}, {BLOCKS_BEGIN, 65536}, {BLOCKS_COUNT, 1}}
            << m(dev25msg::BLOCKS_OUTSIDE).arg(QStringLiteral("100000000"), QStringLiteral("10000FFFF")) << false << 0;
        QTest::newRow("short unique ID") << "W25Q16JV" << CMD_UNIQUE_ID_READ << TData()
                                         << lang.text(execmsg::SHORT_REPLY, 7, 8) << true << 1;
        QTest::newRow("short status") << "W25Q16JV" << CMD_STATUS_REG_READ << TData()
                                      << lang.text(execmsg::SHORT_REPLY, 0, 3) << true << 1;
        QTest::newRow("status write of two bytes")
            << "W25Q16JV" << CMD_STATUS_REG_WRITE << TData{{REG_DATA, QStringLiteral("0000")}}
            << lang.text(execmsg::DATA_COUNT, 2, 3) << false << 0;
        QTest::newRow("unknown code") << "W25Q16JV" << CMD_SET_ADDR << TData()
                                      << m(execmsg::UNKNOWN_CMD).arg(CMD_SET_ADDR) << false << 0;
        // Hex texts bound for the chip are whole bytes of hex digits, or
        // nothing is sent and the reason names the key and the text.
        const QString notWhole = m(MSG_NOT_WHOLE_HEX);
        QTest::newRow("status write odd digit")
            << "W25Q16JV" << CMD_STATUS_REG_WRITE << TData{{REG_DATA, QStringLiteral("00006")}}
            << notWhole.arg(QStringLiteral("data"), QStringLiteral("00006")) << false << 0;
        QTest::newRow("status verify stray letter")
            << "W25Q16JV" << CMD_STATUS_REG_VERIFY << TData{{REG_DATA, QStringLiteral("00006G")}}
            << notWhole.arg(QStringLiteral("data"), QStringLiteral("00006G")) << false << 0;
        QTest::newRow("status default not whole")
            << "badStatusDef" << CMD_STATUS_REG_WRITE << TData{{REG_DATA, QStringLiteral("000060")}}
            << notWhole.arg(QStringLiteral("status_reg_def"), QStringLiteral("00006")) << false << 0;
        QTest::newRow("status read default not whole")
            << "badStatusDef" << CMD_STATUS_REG_READ << TData()
            << notWhole.arg(QStringLiteral("status_reg_def"), QStringLiteral("00006")) << false << 0;
        QTest::newRow("data write odd digit")
            << "W25Q16JV" << CMD_DATA_WRITE << TData{{DATA_ADDR_DEVICE, 0}, {DATA_DATA, QStringLiteral("0A 1B 2")}}
            << notWhole.arg(QStringLiteral("data"), QStringLiteral("0A 1B 2")) << false << 0;
        QTest::newRow("data verify prefix")
            << "W25Q16JV" << CMD_DATA_VERIFY << TData{{DATA_ADDR_DEVICE, 0}, {DATA_DATA, QStringLiteral("0x1B")}}
            << notWhole.arg(QStringLiteral("data"), QStringLiteral("0x1B")) << false << 0;
        QTest::newRow("signature not whole")
            << "badSig" << CMD_IDENT << TData()
            << notWhole.arg(QStringLiteral("signature"), QStringLiteral("EF401")) << false << 0;
    }
    void refusals()
    {
        QFETCH(QString, device);
        QFETCH(QString, code);
        QFETCH(TData, values);
        QFETCH(QString, error);
        QFETCH(bool, valid);
        QFETCH(int, requests);

        QString file;
        Chip c = W25Q16;
        for (const Chip &known : {W25X10, W25Q16, W25Q256})
            if (device == QLatin1String(known.name))
                c = known;
        if (device == QLatin1String("alg1"))
            file = derived(device, {{"alg_flash_read=u|0", "alg_flash_read=u|1"}});
        else if (device == QLatin1String("noSize"))
            file = derived(device, {{"erase=s|D8|65536", "erase=s|D8"}});
        else if (device == QLatin1String("page0"))
            file = derived(device, {{"page_size=u|256", "page_size=u|0"}});
        else if (device == QLatin1String("badSig"))
            file = derived(device, {{"signature=s|EF4015", "signature=s|EF401"}});
        else if (device == QLatin1String("badStatusDef"))
            file = derived(device, {{"status_reg_def=s|000060", "status_reg_def=s|00006"}});
        startChip(c);
        const int cfg = newCfg(c, 256, file);
        const int id = add(cfg, code.toLatin1().constData(), values);
        const TData before = record(id);
        QCOMPARE(dataPrj.cmdById(id)->validParam(), valid);

        const FakeFault shortReply = FakeFault::rawReply(
            TProtocol::frame(0, QByteArray(code == QLatin1String(CMD_UNIQUE_ID_READ) ? 7 : 0, 'x')));
        QString text;
        QVERIFY(!execDirect(cfg, id, text, nullptr, requests ? &shortReply : nullptr));
        QCOMPARE(text, error);
        QCOMPARE(fake->requestCount(), requests);
        QCOMPARE(record(id).value(REG_DATA), before.value(REG_DATA));
    }

    // ---- The family's own rules ---------------------------------------------

    void commandListAndTexts()
    {
        TData dev = TDeviceList::readDescription(DEVICES + QStringLiteral("/25xx/w25q80dv.dev"));
        TDev25 family(QStringLiteral("W25Q80DV"), dev);
        const QStringList list = family.cmdList();
        QCOMPARE(list.size(), 31);
        QCOMPARE(list.count(QStringLiteral("separator")), 6);
        QCOMPARE(list.first(), QStringLiteral("set_clk"));
        QCOMPARE(list.at(27), QStringLiteral("unique_id_read"));
        QCOMPARE(list.last(), QStringLiteral("leave"));
        QVERIFY(family.hasCmd(QStringLiteral("separator")));
        QVERIFY(!family.hasCmd(QStringLiteral("set_addr")));
        QVERIFY(!family.hasCmd(QStringLiteral("Leave")));
        QCOMPARE(family.params().value(DEV_RESET).toBool(), false);

        TData blocks{{REC_CMD, CMD_ERASE_BLOCKS}};
        family.initCmdParam(blocks);
        QCOMPARE(blocks.value(BLOCKS_SIZE).toInt(), 65536);
        QCOMPARE(blocks.value(BLOCKS_COUNT).toInt(), 16);
        QCOMPARE(family.cmdParamText(blocks, nullptr), QStringLiteral("0x00..0xFFFFF (1 Mbyte)"));
        blocks = {{REC_CMD, CMD_TEST_EMPTY_BLOCKS}, {BLOCKS_SIZE, 4096}, {BLOCKS_BEGIN, 2}, {BLOCKS_COUNT, 4}};
        QCOMPARE(family.cmdParamText(blocks, nullptr), QStringLiteral("0x2000..0x5FFF (16 Kbyte)"));

        TData sec{{REC_CMD, CMD_SEC_REG_ERASE}};
        family.initCmdParam(sec);
        QCOMPARE(sec.value(REG_DATA).toInt(), 255);
        sec.insert(REG_DATA, 5);
        QCOMPARE(family.cmdParamText(sec, nullptr), QStringLiteral("Registers: 101"));
        QCOMPARE(TDev25::secRegMarkup(3),
                 QStringList({"frm+", "ckl|01|-|e|-|Security Register #1 (0x00..0xFF)",
                              "ckl|02|-|e|-|Security Register #2 (0x100..0x1FF)",
                              "ckl|04|-|e|-|Security Register #3 (0x200..0x2FF)", "frm-"}));
        QCOMPARE(TDev25::secRegDefault(3), QStringLiteral("07"));
        QCOMPARE(TDev25::secRegDefault(0), QStringLiteral("00"));
        QCOMPARE(TDev25::secRegDefault(8), QStringLiteral("FF"));

        TData uid{{REC_CMD, CMD_UNIQUE_ID_READ}};
        family.initCmdParam(uid);
        QCOMPARE(uid.value(REG_DATA).toString(), QString(16, QLatin1Char('0')));
        QCOMPARE(family.cmdParamText(uid, nullptr), QString(16, QLatin1Char('0')));

        // Without a 64 Kbyte entry the largest listed size is the default;
        // more than eight registers are cut to the selection byte.
        dev.insert(DEV_ERASE_BLOCKS, QStringList{"20|4096", "52|32768", "bad", "D8"});
        dev.insert(DEV_SECURITY_REG_SIZE, 4096);
        TDev25 other(QStringLiteral("other"), dev);
        blocks = {{REC_CMD, CMD_ERASE_BLOCKS}};
        other.initCmdParam(blocks);
        QCOMPARE(blocks.value(BLOCKS_SIZE).toInt(), 32768);
        QCOMPARE(blocks.value(BLOCKS_COUNT).toInt(), 32);
        QCOMPARE(TDev25::securityRegCount(other.params()), 8);
        sec.insert(REG_DATA, 0x181);
        QCOMPARE(other.cmdParamText(sec, nullptr), QStringLiteral("Registers: 10000001"));
        QCOMPARE(other.cmdParamText({{REC_CMD, QStringLiteral("nothing")}}, nullptr), QString());
        QVERIFY(!other.checkCmdParam({{REC_CMD, QStringLiteral("nothing")}}));
    }

    // The set-up record: type, subtype and the programmer's clock code.
    void setupRecord()
    {
        QFile f(DEVICES + QStringLiteral("/25xx/w25q16jv.dev"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        writeFile(QStringLiteral("sub2.dev"), f.readAll().replace("prg_subtype=u|0", "prg_subtype=u|2"));
        startChip(W25Q16);
        const int cfg = newCfg(W25Q16, 256, path(QStringLiteral("sub2.dev")));
        const TData setDevice = dataPrj.cmdsOfCfg(cfg).at(1)->toHash();
        QCOMPARE(deviceOf(cfg)->devSetup(setDevice), QByteArray::fromHex("05000240420F00"));
        QVERIFY(deviceOf(cfg)->checkDevParam(setDevice));
        TData slow = setDevice;
        slow.insert(SET_CLK_CLK, 50);
        QVERIFY(!deviceOf(cfg)->checkDevParam(slow));
    }

    // A new device resets the status data only of the commands whose device
    // changed; equal data is no change.
    void statusDataFollowsOnlyAChangedDevice()
    {
        startChip(W25Q16);
        const int a = newCfg(W25Q16);
        const int statusA = add(a, CMD_STATUS_REG_WRITE, {{REG_DATA, QStringLiteral("1C0060")}});
        const int b = newCfg(W25Q16);
        const int statusB = add(b, CMD_STATUS_REG_WRITE, {{REG_DATA, QStringLiteral("1C0060")}});
        const int setDeviceA = dataPrj.cmdsOfCfg(a).at(1)->id();
        dataPrj.setCmdParam(setDeviceA, {{REC_ID_CMD, setDeviceA}, {SET_DEVICE_DEVICE, QStringLiteral("W25Q80DV")},
                                         {SET_DEVICE_FILE, QStringLiteral("25xx/w25q80dv.dev")}});
        QCOMPARE(record(statusA).value(REG_DATA).toString(), QStringLiteral("0000"));
        QCOMPARE(record(statusB).value(REG_DATA).toString(), QStringLiteral("1C0060"));

        TData same = record(statusA);
        QVERIFY(!deviceOf(a)->normalizeCmdParam(same));
        same.insert(REG_DATA, QStringLiteral("FFFF"));
        QVERIFY(deviceOf(a)->normalizeCmdParam(same));
        QCOMPARE(same.value(REG_DATA).toString(), QStringLiteral("0000"));
    }

    // The forms of the family, driven as a user drives them through the
    // configuration page: what they show and what ends up stored.
    void formsStoreWhatTheUserChose()
    {
        startChip(W25Q16);
        const int cfg = newCfg(W25Q16);
        const int erase = add(cfg, CMD_SEC_REG_ERASE);
        const int status = add(cfg, CMD_STATUS_REG_READ);
        const int uid = add(cfg, CMD_UNIQUE_ID_READ);
        const int blocks = add(cfg, CMD_ERASE_BLOCKS);
        FormHost host;

        QWidget *form = host.select(erase);
        QVERIFY(qobject_cast<TFormDevCfg *>(form));
        QStringList labels;
        QList<QCheckBox *> boxes;
        for (TWgtLabelBtn *label : form->findChildren<TWgtLabelBtn *>()) {
            labels << label->text();
            boxes << label->parentWidget()->findChild<QCheckBox *>();
        }
        // The mark-up labels take "#" as the overline mark of pin names.
        QCOMPARE(labels, QStringList({overlineText("Security Register #1 (0x00..0xFF)"),
                                      overlineText("Security Register #2 (0x100..0x1FF)"),
                                      overlineText("Security Register #3 (0x200..0x2FF)")}));
        QVERIFY(boxes.at(1)->isChecked());
        QTest::mouseClick(boxes.at(1), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(record(erase).value(REG_DATA).toInt(), 0xFD);
        QCOMPARE(deviceOf(cfg)->cmdParamText(record(erase), nullptr), QStringLiteral("Registers: 101"));

        // A status read pushes what it read into its own open form only.
        form = host.select(status);
        auto *cfgForm = qobject_cast<TFormDevCfg *>(form);
        QVERIFY(cfgForm);
        TData read = record(status);
        read.insert(REG_DATA, QStringLiteral("1C0260"));
        QCOMPARE(deviceOf(cfg)->cmdParamText(read, form), QStringLiteral("1C0260"));
        QTRY_COMPARE(record(status).value(REG_DATA).toString(), QStringLiteral("1C0260"));
        read.insert(REC_ID_CMD, uid);
        read.insert(REG_DATA, QStringLiteral("000000"));
        deviceOf(cfg)->cmdParamText(read, form);
        QCOMPARE(record(status).value(REG_DATA).toString(), QStringLiteral("1C0260"));

        QVERIFY(qobject_cast<TFormDevCfg *>(host.select(uid)));
        QVERIFY(qobject_cast<TFormDevEraseBlocks *>(host.select(blocks)));
        QVERIFY(qobject_cast<TFormDevEmpty *>(host.select(add(cfg, CMD_IDENT))));
        QVERIFY(qobject_cast<TFormDevSetCLK *>(host.select(add(cfg, CMD_SET_CLK))));
        QVERIFY(qobject_cast<TFormDevSetCLK *>(deviceOf(cfg)->createDevParamForm(dataPrj.cmdsOfCfg(cfg).at(1)->toHash())));
    }

    // Its status form shows ADP read-only, as the bits the chip sets: a
    // click moves none of them, every other bit goes and comes back.
    void statusFormShowsAdpReadOnly()
    {
        const int id = add(newCfg(W25Q256), CMD_STATUS_REG_WRITE);
        const QString image = record(id).value(REG_DATA).toString();
        const auto changed = [&] { return record(id).value(REG_DATA).toString() != image; };
        FormHost host;
        QStringList shownReadOnly;
        for (TWgtLabelBtn *label : host.select(id)->findChildren<TWgtLabelBtn *>()) {
            QCheckBox *box = label->parentWidget()->findChild<QCheckBox *>();
            if (!box->isEnabled())
                shownReadOnly << label->text().section(QLatin1Char(':'), 0, 0);
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, 5));
            QCOMPARE(changed(), box->isEnabled());
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, 5));
            QVERIFY(!changed());
        }
        QCOMPARE(shownReadOnly, QStringList({"WEL", "BUSY", "SUS", "ADP", "ADS"}));
    }

    // ---- Shipped descriptions -------------------------------------------------

    void shippedDescriptions()
    {
        const QHash<QString, QString> devices = [] {
            QHash<QString, QString> all;
            const QHash<QString, QString> listed = readDevicesList();
            for (auto it = listed.begin(); it != listed.end(); ++it)
                if (it.value().startsWith(QLatin1String("25xx/")))
                    all.insert(it.key(), it.value());
            return all;
        }();
        QCOMPARE(devices.size(), 7);
        QSet<QString> signatures;
        QSet<qint64> sizes;
        const QString folder = DEVICES + QStringLiteral("/25xx");
        for (auto it = devices.begin(); it != devices.end(); ++it) {
            const QString name = it.key();
            bool read = false;
            const TData dev = TDeviceList::readDescription(DEVICES + QLatin1Char('/') + it.value(), &read);
            QVERIFY2(read, qPrintable(name));
            QCOMPARE(dev.value(DEV_GUI_TYPE).toString(), QStringLiteral("Dev25"));
            QCOMPARE(deviceTypeOf(dev.value(DEV_PRG_TYPE).toString()), quint32(5));
            const qint64 size = dev.value(DEV_SIZE).toLongLong();
            sizes.insert(size);
            QCOMPARE(dev.value(DEV_PAGE_SIZE).toInt(), 256);
            const QString signature = dev.value(DEV_SIGNATURE).toString();
            QVERIFY(!signatures.contains(signature));
            signatures.insert(signature);
            QCOMPARE(findSignatureName(folder, signature), name);
            QCOMPARE(findSignatureName(DEVICES, signature), name);
            TDev25::EraseEntry erase;
            QVERIFY(TDev25::parseEraseEntry(dev.value(DEV_ERASE).toString(), erase));
            QVERIFY(erase.size > 0 && size % erase.size == 0);
            for (qint64 block : TDev25::eraseBlockSizes(dev))
                QVERIFY2(size % block == 0, qPrintable(name));
            QCOMPARE(TDev25::eraseBlockSizes(dev).size(), 3);
            QVERIFY(dev.value(DEV_STATUS_REG_DEF).toString().size() / 2 <= 3);
            QVERIFY(!dev.value(DEV_STATUS_REG_CFG).toStringList().isEmpty());
            QVERIFY(TDev25::securityRegCount(dev) * 256 == dev.value(DEV_SECURITY_REG_SIZE).toLongLong());
            QVERIFY(dev.value(DEV_SFDP_REG_SIZE).toLongLong() <= 256);
            // Only the 256 Mbit chip reaches past what 3-byte addresses reach.
            QCOMPARE(TDev25::reachableSize(dev) < size, size == (qint64(1) << 25));
            QCOMPARE(bool(TDev25::eraseCheck(dev)), size < (qint64(1) << 25));
        }
        QCOMPARE(sizes, (QSet<qint64>{1 << 17, 1 << 20, 1 << 21, 1 << 22, 1 << 23, 1 << 24, 1 << 25}));

        // Automatic detection routes on the JEDEC identification.
        QVERIFY(autoListNames().contains(QStringLiteral("25xx SPI flash")));
        const TPairStringList pairs = loadAutoPairs(QStringLiteral("25xx SPI flash"));
        QCOMPARE(pairs.count(), 7);
        QVERIFY(QFileInfo::exists(DEVICES + QLatin1Char('/') + autoListText(QStringLiteral("25xx SPI flash"))));
    }
};

QTEST_MAIN(TestDev25)
#include "test_dev25.moc"
