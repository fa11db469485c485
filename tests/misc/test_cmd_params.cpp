// Parameter rules of the memory, pin-state and clock commands, and the
// executor helpers that unpack them.

#include "core/consts.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "link/TProg.h"
#include "misc/TNormCmdParam.h"
#include "misc/dev_misc.h"
#include "support/FakeDevice.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <limits>

#include <memory>

namespace {

const char progText[] =
    "[Reset]\n"
    "DEF=-400\n"
    "MIN=10\n"
    "MAX=1000\n"
    "[PinType]\n"
    "I=1\n"
    "l=1\n"
    "H=1\n"
    "Z=1\n"
    "[Pins]\n"
    "Pin1=1|P1\n"
    "Pin2=1|P2\n"
    "Pin3=0|P3\n"
    "Pin4=1|P4\n"
    "Pin5=1|P5\n"
    "Pin6=1|P6\n"
    "[I2C]\n"
    "CLK_DEF=400000\n"
    "CLK_MIN=100000\n"
    "CLK_MAX=1000000\n"
    "CLK_LIST=1\n"
    "CLKLV_100000=1\n"
    "CLKLV_400000=4\n"
    "CLKLV_1000000=10\n"
    "[SPI]\n"
    "CLK_DEF=1000000\n"
    "CLK_MIN=0\n"
    "CLK_MAX=8000000\n"
    "CLK_LIST=0\n";

TData device(std::initializer_list<std::pair<const char *, QVariant>> values)
{
    TData d;
    for (const auto &v : values)
        d.insert(QLatin1String(v.first), v.second);
    return d;
}

} // namespace

class TestCmdParams : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<TProg> prog;
    std::unique_ptr<TProg> wideProg; // reset limits beyond 16 bits
    FakeDevice chip{QStringLiteral("chip")};
    FakeDevice avr{QStringLiteral("avr")};

    // A command in the project with the given parameters, programmer and device.
    int addCmd(const TData &params, TProg *p, IDevice *d)
    {
        TData record = params;
        record.insert(QLatin1String(REC_ID_CFG), 0);
        record.insert(QLatin1String(REC_STATUS), 1);
        record.insert(QLatin1String(REC_CMD), QStringLiteral("leave"));
        const int id = dataPrj.addCmd(record);
        dataPrj.cmdById(id)->setProg(p);
        dataPrj.cmdById(id)->setDevice(d);
        return id;
    }
    static TData withId(TData params, int id)
    {
        params.insert(QLatin1String(REC_ID_CMD), id);
        return params;
    }
    static TData state(const QString &s)
    {
        return device({{LEAVE_STATE, s}});
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        const QString progFile = dir.filePath(QStringLiteral("prog.ini"));
        QFile f(progFile);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(progText);
        f.close();
        prog = std::make_unique<TProg>(progFile);
        QCOMPARE(prog->pinCountValue(), 5);
        QCOMPARE(prog->pinTypeLetters(), QStringLiteral("-IlHZ"));

        const QString wideFile = dir.filePath(QStringLiteral("wide.ini"));
        QFile w(wideFile);
        QVERIFY(w.open(QIODevice::WriteOnly));
        w.write("[Reset]\nDEF=-400\nMIN=10\nMAX=40000\n[Pins]\nPin1=1|P1\n");
        w.close();
        wideProg = std::make_unique<TProg>(wideFile);

        // Values as the project stores them: text.
        chip.setParams(device({{DEV_ADDR_BEGIN, "16"}, {DEV_SIZE, "256"}, {DEV_PRG_PAR, "I2C"},
                               {DEV_RESET_POL, "true"}}));
        avr.setParams(device({{DEV_FLASH_ADDR_BEGIN, "0"}, {DEV_FLASH_SIZE, "8192"},
                              {DEV_EEPROM_ADDR_BEGIN, "8454144"}, {DEV_EEPROM_SIZE, "512"},
                              {DEV_PRG_PAR, "SPI"}, {DEV_RESET_POL, "false"}}));
        dataPrj.setPrjFile(dir.filePath(QStringLiteral("test.prj")));
        dataPrj.fromHash(device({{PRJ_WORK_PATH, dir.path()}}));
    }

    void cleanupTestCase()
    {
        dataPrj.clear();
    }

    // ------------------------------------------------------------ memory

    void memoryDefaults()
    {
        TData r = device({{"keep", 7}});
        setCharCmdDefaultsMain(&chip, r);
        QCOMPARE(r.value(CHAR_ADDR_DEVICE), QVariant(qint64(16)));
        QCOMPARE(r.value(CHAR_COUNT), QVariant(qint64(256)));
        QCOMPARE(r.value(CHAR_FILL_CHAR), QVariant(255));
        QCOMPARE(r.value("keep"), QVariant(7));

        r.clear();
        setDataCmdDefaultsEeprom(&avr, r);
        QCOMPARE(r, device({{DATA_ADDR_DEVICE, qint64(0x810000)}, {DATA_DATA, QString()}}));

        r.clear();
        setFileCmdDefaultsFlash(&avr, r);
        QCOMPARE(r, device({{FILE_FORMAT, QStringLiteral("HEX")}, {FILE_FILE, QString()},
                            {FILE_ADDR_FILE, 0}, {FILE_ADDR_DEVICE, qint64(0)},
                            {FILE_COUNT, qint64(8192)}}));

        r.clear();
        setCharCmdDefaultsFlash(nullptr, r);
        QCOMPARE(r.value(CHAR_COUNT).toLongLong(), qint64(0));
    }

    void fillCharacterCheck_data()
    {
        QTest::addColumn<QVariant>("addr");
        QTest::addColumn<QVariant>("count");
        QTest::addColumn<bool>("valid");
        // Range 16..271.
        QTest::newRow("whole range") << QVariant("16") << QVariant("256") << true;
        QTest::newRow("count 0 inside") << QVariant(100) << QVariant(0) << true;
        QTest::newRow("last byte") << QVariant(271) << QVariant(1) << true;
        QTest::newRow("one too many") << QVariant(16) << QVariant(257) << false;
        QTest::newRow("below begin") << QVariant(15) << QVariant(1) << false;
        QTest::newRow("at the end") << QVariant(272) << QVariant(0) << false;
        QTest::newRow("negative count") << QVariant(20) << QVariant(-4) << false;
        QTest::newRow("count overflows") << QVariant(20) << QVariant(qint64(0x7FFFFFFFFFFFFFF0LL)) << false;
        QTest::newRow("missing keys") << QVariant() << QVariant() << false;
    }
    void fillCharacterCheck()
    {
        QFETCH(QVariant, addr);
        QFETCH(QVariant, count);
        QFETCH(bool, valid);
        TData p;
        if (addr.isValid())
            p = device({{CHAR_ADDR_DEVICE, addr}, {CHAR_COUNT, count}, {CHAR_FILL_CHAR, 0}});
        QCOMPARE(bool(isCharCmdValidMain(&chip, p)), valid);
        QCOMPARE(bool(isCharCmdValid(p, 16, 256)), valid);
        // The same command against a device without a main range.
        QVERIFY(!isCharCmdValidMain(&avr, p));
    }

    void rangesOfTheFlashAndEeprom()
    {
        const TData flash = device({{CHAR_ADDR_DEVICE, 0}, {CHAR_COUNT, 8192}});
        const TData eeprom = device({{CHAR_ADDR_DEVICE, 0x810000}, {CHAR_COUNT, 512}});
        QVERIFY(isCharCmdValidFlash(&avr, flash));
        QVERIFY(!isCharCmdValidEeprom(&avr, flash));
        QVERIFY(isCharCmdValidEeprom(&avr, eeprom));
        QVERIFY(!isCharCmdValidFlash(&avr, eeprom));
        QVERIFY(!isCharCmdValidFlash(nullptr, flash));
        QVERIFY(isDataCmdValidEeprom(&avr, device({{DATA_ADDR_DEVICE, 0x8101FF}, {DATA_DATA, "AA"}})));
        QVERIFY(!isDataCmdValidEeprom(&avr, device({{DATA_ADDR_DEVICE, 0x8101FF}, {DATA_DATA, "AABB"}})));
        const TData file = device({{FILE_FILE, "a.hex"}, {FILE_FORMAT, "hex"}, {FILE_ADDR_FILE, 0},
                                   {FILE_ADDR_DEVICE, 0x810000}, {FILE_COUNT, 512}});
        QVERIFY(isFileCmdValidEeprom(&avr, file));
        QVERIFY(!isFileCmdValidFlash(&avr, file));
    }

    void hexDataCheck_data()
    {
        QTest::addColumn<qint64>("addr");
        QTest::addColumn<QString>("data");
        QTest::addColumn<bool>("valid");
        // Range 16..271.
        QTest::newRow("pairs with blanks") << qint64(16) << "0A 1B" << true;
        QTest::newRow("lower case") << qint64(16) << "0a1b" << true;
        QTest::newRow("odd digits") << qint64(16) << "0A 1B 2" << false;
        QTest::newRow("0x prefix") << qint64(16) << "0x1B" << false;
        QTest::newRow("tab") << qint64(16) << "0A\t1B" << false;
        QTest::newRow("empty") << qint64(16) << "" << false;
        QTest::newRow("blanks only") << qint64(16) << "   " << true;
        QTest::newRow("ends at the end") << qint64(270) << "0102" << true;
        QTest::newRow("one past the end") << qint64(271) << "0102" << false;
        QTest::newRow("below begin") << qint64(15) << "01" << false;
        QTest::newRow("far below begin") << qint64(-1000) << "01" << false;
    }
    void hexDataCheck()
    {
        QFETCH(qint64, addr);
        QFETCH(QString, data);
        QFETCH(bool, valid);
        QCOMPARE(bool(isDataCmdValidMain(&chip, device({{DATA_ADDR_DEVICE, addr}, {DATA_DATA, data}}))), valid);
    }

    void fileCheck_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("format");
        QTest::addColumn<qint64>("addrFile");
        QTest::addColumn<qint64>("addr");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<bool>("valid");
        // Range 16..271.
        QTest::newRow("hex") << "a.hex" << "hex" << qint64(0) << qint64(16) << qint64(256) << true;
        QTest::newRow("no file") << "" << "HEX" << qint64(0) << qint64(16) << qint64(256) << false;
        QTest::newRow("unknown format") << "a.s19" << "srec" << qint64(0) << qint64(16) << qint64(4) << false;
        QTest::newRow("bin+") << "a.bin" << "Bin+" << qint64(0) << qint64(16) << qint64(4) << true;
        QTest::newRow("hex beyond 32 bits") << "a" << "hex" << qint64(0x100000000LL) << qint64(16) << qint64(4) << false;
        QTest::newRow("bin beyond 32 bits") << "a" << "bin" << qint64(0x100000000LL) << qint64(16) << qint64(4) << true;
        QTest::newRow("BIN beyond 32 bits") << "a" << "BIN" << qint64(0x100000000LL) << qint64(16) << qint64(4) << true;
        QTest::newRow("hex window ends at 4 GiB") << "a" << "hex" << qint64(0xFFFFFF00LL) << qint64(16) << qint64(256) << true;
        QTest::newRow("hex window passes 4 GiB") << "a" << "hex" << qint64(0xFFFFFF01LL) << qint64(16) << qint64(256) << false;
        QTest::newRow("bin window overflows") << "a" << "bin" << qint64(0x7FFFFFFFFFFFFFF0LL) << qint64(16) << qint64(256) << false;
        QTest::newRow("negative file address") << "a" << "bin" << qint64(-1) << qint64(16) << qint64(4) << false;
        QTest::newRow("negative count") << "a" << "bin" << qint64(0) << qint64(16) << qint64(-1) << false;
        QTest::newRow("count 0") << "a" << "bin" << qint64(0) << qint64(16) << qint64(0) << true;
        QTest::newRow("below begin") << "a" << "bin" << qint64(0) << qint64(15) << qint64(1) << false;
        QTest::newRow("past the end") << "a" << "bin" << qint64(0) << qint64(17) << qint64(256) << false;
    }
    void fileCheck()
    {
        QFETCH(QString, file);
        QFETCH(QString, format);
        QFETCH(qint64, addrFile);
        QFETCH(qint64, addr);
        QFETCH(qint64, count);
        QFETCH(bool, valid);
        // Numbers as the project stores them: text.
        const TData p = device({{FILE_FILE, file}, {FILE_FORMAT, format},
                                {FILE_ADDR_FILE, QString::number(addrFile)},
                                {FILE_ADDR_DEVICE, QString::number(addr)},
                                {FILE_COUNT, QString::number(count)}});
        QCOMPARE(bool(isFileCmdValidMain(&chip, p)), valid);
        QVERIFY(!isFileCmdValidMain(&avr, p)); // no main range
    }

    void memoryTexts()
    {
        QCOMPARE(charCmdTextMain(device({{CHAR_ADDR_DEVICE, "0"}, {CHAR_COUNT, "256"}, {CHAR_FILL_CHAR, "255"}})),
                 QStringLiteral("0x00..0xFF :0xFF"));
        QCOMPARE(charCmdTextFlash(device({{CHAR_ADDR_DEVICE, 0x100}, {CHAR_COUNT, 0}, {CHAR_FILL_CHAR, 0x1A5}})),
                 QStringLiteral("0x100..0xFF :0xA5"));
        QCOMPARE(dataCmdTextEeprom(device({{DATA_ADDR_DEVICE, "16"}, {DATA_DATA, "de ad  be ef"}})),
                 QStringLiteral("0x10..0x13 :DE AD BE EF"));
        QCOMPARE(fileCmdTextMain(device({{FILE_FORMAT, "bin"}, {FILE_FILE, "fw/a.bin"}})),
                 QStringLiteral("BIN: fw/a.bin"));
    }

    void executorUnpacking()
    {
        int id = -1;
        qint64 first = 0, last = 0, addrFile = 0;
        quint8 fill = 0;
        getCharCmdParams(device({{REC_ID_CMD, "3"}, {CHAR_ADDR_DEVICE, "16"}, {CHAR_COUNT, "256"},
                                 {CHAR_FILL_CHAR, "511"}}),
                         id, first, last, fill);
        QCOMPARE(id, 3);
        QCOMPARE(first, qint64(16));
        QCOMPARE(last, qint64(271));
        QCOMPARE(fill, quint8(0xFF));

        QByteArray bytes;
        QString text;
        getDataCmdParams(device({{REC_ID_CMD, 4}, {DATA_ADDR_DEVICE, 32}, {DATA_DATA, "de ad"}}),
                         id, first, last, bytes, text);
        QCOMPARE(bytes, QByteArray("\xDE\xAD"));
        QCOMPARE(last, qint64(33));
        QCOMPARE(text, QStringLiteral("de ad"));
        getDataCmdParams(device({{DATA_ADDR_DEVICE, 32}, {DATA_DATA, ""}}), id, first, last, bytes, text);
        QVERIFY(bytes.isEmpty());
        QCOMPARE(last, qint64(31));

        QString file, format;
        const TData p = device({{REC_ID_CMD, 5}, {FILE_ADDR_FILE, "8"}, {FILE_ADDR_DEVICE, "16"},
                                {FILE_COUNT, "4"}, {FILE_FILE, "fw/a.hex"}, {FILE_FORMAT, "BIN+"}});
        getFileCmdParams(p, id, addrFile, first, last, file, format);
        QCOMPARE(id, 5);
        QCOMPARE(addrFile, qint64(8));
        QCOMPARE(last, qint64(19));
        QCOMPARE(QDir::cleanPath(file), QDir::cleanPath(dir.filePath(QStringLiteral("fw/a.hex"))));
        QCOMPARE(format, QStringLiteral("bin+"));
        const QString absolute = QDir::rootPath() + QStringLiteral("abs/b.bin");
        TData q = p;
        q.insert(QLatin1String(FILE_FILE), absolute);
        getFileCmdParams(q, id, addrFile, first, last, file, format);
        QCOMPARE(file, absolute);
    }

    // ------------------------------------------------------------ pin states

    void pinStatePayload()
    {
        const int leave24 = addCmd(state("IlZ"), prog.get(), &chip);
        QCOMPARE(pinStateBytes(leave24, false), QByteArray::fromHex("00000102080000"));
        // The duration stays out of the payload without the reset flag.
        const int avrLeave = addCmd(device({{LEAVE_STATE, "H"}, {LEAVE_DURATION, "-400"}, {LEAVE_RESET, "true"}}),
                                    prog.get(), &avr);
        QCOMPARE(pinStateBytes(avrLeave, true), QByteArray::fromHex("70FE0500000000"));
        QCOMPARE(pinStateBytes(avrLeave, false), QByteArray::fromHex("00000500000000"));
        // Letters past the pin count are ignored; letters go by their code,
        // anything else gives 0.
        const int longState = addCmd(state("ZZZZZZZZ"), prog.get(), &chip);
        QCOMPARE(pinStateBytes(longState, false), QByteArray::fromHex("00000808080808"));
        QCOMPARE(pinStateBytes(addCmd(state("x-hO"), prog.get(), &chip), false),
                 QByteArray::fromHex("00000000030700"));
        QCOMPARE(pinStateBytes(addCmd(state("I"), nullptr, &chip), false), QByteArray());
        QCOMPARE(pinStateBytes(99999, false), QByteArray());
    }

    void pinStateCheck_data()
    {
        QTest::addColumn<QString>("pins");
        QTest::addColumn<bool>("valid");
        QTest::newRow("empty") << "" << true;
        QTest::newRow("allowed") << "-IlHZ" << true;
        QTest::newRow("longer than the pins") << "ZZZZZZZZ" << true;
        QTest::newRow("h not enabled, first") << "hI" << false;
        QTest::newRow("L not enabled, last") << "---L" << false;
        QTest::newRow("case matters") << "i" << false;
    }
    void pinStateCheck()
    {
        QFETCH(QString, pins);
        QFETCH(bool, valid);
        const int id = addCmd(TData(), prog.get(), &chip);
        QCOMPARE(bool(isLeaveCmdValid(withId(state(pins), id), false)), valid);
        // Without a programmer nothing is valid.
        const int bare = addCmd(TData(), nullptr, &chip);
        QVERIFY(!isLeaveCmdValid(withId(state(pins), bare), false));
    }

    void resetCheck_data()
    {
        QTest::addColumn<bool>("positivePolarity");
        QTest::addColumn<int>("duration");
        QTest::addColumn<bool>("wide");
        QTest::addColumn<bool>("valid");
        QTest::newRow("negative pulse, positive polarity") << true << -400 << false << false;
        QTest::newRow("positive pulse, positive polarity") << true << 400 << false << true;
        QTest::newRow("negative pulse, negative polarity") << false << -400 << false << true;
        QTest::newRow("zero") << false << 0 << false << false;
        QTest::newRow("shortest") << false << -10 << false << true;
        QTest::newRow("too short") << false << -9 << false << false;
        QTest::newRow("longest") << true << 1000 << false << true;
        QTest::newRow("too long") << true << 1001 << false << false;
        QTest::newRow("16-bit limit") << false << -32767 << true << true;
        QTest::newRow("beyond 16 bits") << false << -33000 << true << false;
        QTest::newRow("beyond 16 bits, positive") << true << 32768 << true << false;
        QTest::newRow("smallest int") << false << std::numeric_limits<int>::min() << true << false;
    }
    void resetCheck()
    {
        QFETCH(bool, positivePolarity);
        QFETCH(int, duration);
        QFETCH(bool, wide);
        QFETCH(bool, valid);
        IDevice *dev = positivePolarity ? &chip : &avr;
        const int id = addCmd(TData(), wide ? wideProg.get() : prog.get(), dev);
        const TData p = withId(device({{LEAVE_STATE, ""}, {LEAVE_RESET, true}, {LEAVE_DURATION, duration}}), id);
        QCOMPARE(bool(isLeaveCmdValid(p, true)), valid);
        QVERIFY(isLeaveCmdValid(p, false)); // without reset the pulse is not checked
        const int noDevice = addCmd(TData(), prog.get(), nullptr);
        QVERIFY(!isLeaveCmdValid(withId(p, noDevice), true));
    }

    void pinStateTextAndDefaults()
    {
        const int id = addCmd(state("-HL"), prog.get(), &avr);
        TData p = withId(device({{LEAVE_RESET, "false"}}), id);
        QCOMPARE(leaveCmdText(p, false), QStringLiteral("-HL--"));
        QCOMPARE(leaveCmdText(p, true), QStringLiteral("-HL--"));
        p.insert(QLatin1String(LEAVE_RESET), "true");
        QCOMPARE(leaveCmdText(p, true), QStringLiteral("RESET, -HL--"));
        QCOMPARE(leaveCmdText(p, false), QStringLiteral("-HL--"));
        QCOMPARE(pinStateText(addCmd(state("ZZZZZZZ"), prog.get(), &avr)), QStringLiteral("ZZZZZ"));
        QCOMPARE(pinStateText(addCmd(state("-HL"), nullptr, &avr)), QStringLiteral("-HL"));
        QCOMPARE(pinStateText(99999), QString());

        TData r = withId(state("IZ"), id);
        setLeaveCmdDefaults(r, true);
        QCOMPARE(r.value(LEAVE_STATE), QVariant(QString()));
        QCOMPARE(r.value(LEAVE_RESET), QVariant(true));
        QCOMPARE(r.value(LEAVE_DURATION).toInt(), -400);
        TData plain = withId(TData(), id);
        setLeaveCmdDefaults(plain, false);
        QVERIFY(!plain.contains(LEAVE_RESET) && !plain.contains(LEAVE_DURATION));
        TData unknown = withId(TData(), addCmd(TData(), nullptr, &avr));
        setLeaveCmdDefaults(unknown, true);
        QVERIFY(!unknown.contains(LEAVE_RESET) && !unknown.contains(LEAVE_DURATION));
    }

    // ------------------------------------------------------------ clock

    void clockDefaults()
    {
        TData r = withId(TData(), addCmd(TData(), prog.get(), &chip));
        setClkCmdParams(QStringLiteral("I2C"), r);
        QCOMPARE(r.value(SET_CLK_CLK).toUInt(), 400000u);
        setClkCmdParams(QStringLiteral("SPI"), r);
        QCOMPARE(r.value(SET_CLK_CLK).toUInt(), 1000000u);
        TData orphan = withId(TData(), 99999);
        setClkCmdParams(QStringLiteral("I2C"), orphan);
        QCOMPARE(orphan.value(SET_CLK_CLK).toUInt(), 0u);
    }

    void clockCheck_data()
    {
        QTest::addColumn<bool>("listed");
        QTest::addColumn<QString>("clk");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<uint>("sent");
        QTest::newRow("listed clock") << true << "400000" << true << 4u;
        QTest::newRow("lowest listed") << true << "100000" << true << 1u;
        QTest::newRow("not listed, within limits") << true << "200000" << false << 200000u;
        QTest::newRow("above the limit") << true << "2000000" << false << 2000000u;
        QTest::newRow("free choice") << false << "5" << true << 5u;
        QTest::newRow("free choice, maximum") << false << "8000000" << true << 8000000u;
        QTest::newRow("zero with minimum 0") << false << "0" << false << 0u;
        QTest::newRow("above the maximum") << false << "8000001" << false << 8000001u;
    }
    void clockCheck()
    {
        QFETCH(bool, listed);
        QFETCH(QString, clk);
        QFETCH(bool, valid);
        QFETCH(uint, sent);
        const int id = addCmd(TData(), prog.get(), listed ? &chip : &avr);
        const TData p = withId(device({{SET_CLK_CLK, clk}}), id);
        QCOMPARE(bool(isClkCmdValid(p)), valid);
        QCOMPARE(getClkCmdParams(p), quint32(sent));
        // Without a device or a programmer: invalid, nothing to send.
        for (const int other : {addCmd(TData(), prog.get(), nullptr), addCmd(TData(), nullptr, &chip)}) {
            QVERIFY(!isClkCmdValid(withId(p, other)));
            QCOMPARE(getClkCmdParams(withId(p, other)), 0u);
        }
    }

    void clockWithoutInterfaceSection()
    {
        FakeDevice bare(QStringLiteral("bare"));
        const int id = addCmd(TData(), prog.get(), &bare);
        // The empty section offers no list: the clock goes out as it is.
        QCOMPARE(getClkCmdParams(withId(device({{SET_CLK_CLK, 400000}}), id)), 400000u);
        dataPrj.cmdById(id)->setDevice(nullptr);
    }

    void clockText()
    {
        QCOMPARE(clkCmdText(device({{SET_CLK_CLK, "4000000"}})), QStringLiteral("4 MHz"));
        QCOMPARE(clkCmdText(device({{SET_CLK_CLK, 32768}})), QStringLiteral("32.768 KHz"));
    }
};

QTEST_GUILESS_MAIN(TestCmdParams)
#include "test_cmd_params.moc"
