// Programmer descriptions: every key with and without a value, pin types and
// pins, clock and generator lists, and the accessors that read the file anew.

#include "core/TSettings.h"
#include "link/TProg.h"
#include "support/FakeProgrammer.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestProg : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString write(const QString &name, const QString &text)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return QString();
        file.write(text.toUtf8());
        return path;
    }

private slots:
    void missingFileGivesDefaults()
    {
        const TProg prog(dir.filePath(QStringLiteral("absent.ini")));
        QCOMPARE(prog.interface(), quint16(0));
        const TPortSettings s = prog.portSettings();
        QVERIFY(s.portName.isEmpty());
        QCOMPARE(s.baudRate, 115200);
        QCOMPARE(s.dataBits, quint8(8));
        QVERIFY(s.parity.isEmpty());
        QCOMPARE(s.stopBits, quint8(1));
        QVERIFY(s.flowControl.isEmpty());
        QCOMPARE(s.timeout, quint16(1000));
        QCOMPARE(prog.maxData(), quint16(64));
        QCOMPARE(prog.pinTypes(), QStringList{QStringLiteral("- (not change)")});
        QCOMPARE(prog.pinTypeLetters(), QStringLiteral("-"));
        QCOMPARE(prog.pinCountValue(), 0);
        int a = 1, b = 1;
        prog.generatorDefaults(a, b);
        QCOMPARE(a, 100000);
        QCOMPARE(b, 50);
        prog.resetRange(a, b);
        QCOMPARE(a, 10);
        QCOMPARE(b, 1000);
        QCOMPARE(prog.resetDefault(), -400);
        double lo = 1, hi = 1;
        prog.vccRange(lo, hi);
        QCOMPARE(lo, 0.0);
        QCOMPARE(hi, 0.0);
        prog.ippRange(lo, hi);
        QCOMPARE(hi, 0.0);
        QCOMPARE(prog.vccDefault() + prog.vppDefault() + prog.iccDefault() + prog.ippDefault(), 0.0);
        QVERIFY(!prog.supportsCommand(QStringLiteral("set_vcc")));
        QCOMPARE(prog.clockDefault(QStringLiteral("SPI")), 0);
        QCOMPARE(prog.clockLevel(QStringLiteral("SPI"), 12345), 12345);
        QVERIFY(prog.pinsDescription(QStringLiteral("SPI"), false).isEmpty());
    }

    void readsEveryKey()
    {
        const TProg prog(write(QStringLiteral("full.ini"), QStringLiteral(
            "[Main]\nInterface=513\n"
            "[Port]\nBaudRate=57600\nDataBits=7\nParity=Odd\nStopBits=2\nFlowControl=Hardware\nTimeOut=300\n"
            "[Protocol]\nMAX_DATA=1024\n"
            "[Vcc]\nMIN=1.8\nMAX=5.5\nDEF=3.3\n[Vpp]\nMIN=1\nMAX=13\nDEF=12.5\n"
            "[Icc]\nMIN=2\nMAX=200\nDEF=50\n[Ipp]\nMIN=0.5\nMAX=40\nDEF=2.5\n"
            "[Generator]\nFQ_DEF=2000\nDT_DEF=25\n"
            "[Reset]\nDEF=300\nMIN=5\nMAX=900\n"
            "[Commands]\nset_vcc=1\nreset=0\n")));
        QCOMPARE(prog.interface(), quint16(513));
        const TPortSettings s = prog.portSettings();
        QCOMPARE(s.baudRate, 57600);
        QCOMPARE(s.dataBits, quint8(7));
        QCOMPARE(s.parity, QStringLiteral("Odd"));
        QCOMPARE(s.stopBits, quint8(2));
        QCOMPARE(s.flowControl, QStringLiteral("Hardware"));
        QCOMPARE(s.timeout, quint16(300));
        QCOMPARE(prog.maxData(), quint16(1024));
        int a = 0, b = 0;
        prog.generatorDefaults(a, b);
        QCOMPARE(a, 2000);
        QCOMPARE(b, 25);
        prog.resetRange(a, b);
        QCOMPARE(a, 5);
        QCOMPARE(b, 900);
        QCOMPARE(prog.resetDefault(), 300);
        double lo = 0, hi = 0;
        prog.vccRange(lo, hi);
        QCOMPARE(lo, 1.8);
        QCOMPARE(hi, 5.5);
        QCOMPARE(prog.vccDefault(), 3.3);
        prog.vppRange(lo, hi);
        QCOMPARE(lo, 1.0);
        QCOMPARE(hi, 13.0);
        QCOMPARE(prog.vppDefault(), 12.5);
        prog.iccRange(lo, hi);
        QCOMPARE(lo, 2.0);
        QCOMPARE(hi, 200.0);
        QCOMPARE(prog.iccDefault(), 50.0);
        prog.ippRange(lo, hi);
        QCOMPARE(lo, 0.5);
        QCOMPARE(hi, 40.0);
        QCOMPARE(prog.ippDefault(), 2.5);
        QVERIFY(prog.supportsCommand(QStringLiteral("set_vcc")));
        QVERIFY(!prog.supportsCommand(QStringLiteral("reset")));
        QVERIFY(!prog.supportsCommand(QStringLiteral("set_vpp")));
    }

    void unusableMaxDataKeepsTheDefault_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("maxData");
        QTest::newRow("zero") << "0" << 64;
        QTest::newRow("negative") << "-16" << 64;
        QTest::newRow("not a number") << "lots" << 64;
        QTest::newRow("empty") << "" << 64;
        QTest::newRow("one") << "1" << 1;
        QTest::newRow("frame limit") << "65535" << 65535;
        QTest::newRow("past the frame limit") << "65536" << 65535;
    }
    void unusableMaxDataKeepsTheDefault()
    {
        QFETCH(QString, value);
        const TProg prog(write(QStringLiteral("max.ini"),
                               QStringLiteral("[Protocol]\nMAX_DATA=%1\n").arg(value)));
        QTEST(int(prog.maxData()), "maxData");
    }

    void pinTypesInTheirFixedOrder()
    {
        const TProg prog(write(QStringLiteral("types.ini"),
                               QStringLiteral("[PinType]\nZ=1\nI=true\nh=1\nL=0\no=1\n")));
        QCOMPARE(prog.pinTypeLetters(), QStringLiteral("-IhoZ"));
        QCOMPARE(prog.pinTypes(),
                 (QStringList{QStringLiteral("- (not change)"), QStringLiteral("I (input)"),
                              QStringLiteral("h (input - pull-up)"),
                              QStringLiteral("o (output open drain - low)"),
                              QStringLiteral("Z (tri-stated)")}));
        const QString letters = QStringLiteral("IlhLHoOZ");
        for (int i = 0; i < letters.size(); ++i)
            QCOMPARE(TProg::pinTypeCode(letters.at(i)), i + 1);
        QCOMPARE(TProg::pinTypeCode(QLatin1Char('-')), 0);
        QCOMPARE(TProg::pinTypeCode(QLatin1Char('i')), 0);
        QCOMPARE(TProg::pinTypeCode(QLatin1Char('z')), 0);
    }

    void pinsAndTheirDescription()
    {
        const TProg prog(write(QStringLiteral("pins.ini"), QStringLiteral(
            "[Pins]\n"
            "Pin01=1|A\n"
            "Pin02=0|B\n"
            "Pin03=1|C|extra\n"
            "Pin04=1|VCC+\n"
            "Pin05=true|E\n"
            "Pin06=1|F\n"
            "Pin07=1|G*\n"
            "[SPI]\n"
            "PIN_A=CS#+\n"
            "PIN_B=SO*\n"
            "PIN_F=#\n"
            "PIN_G*=SCK\n")));
        QCOMPARE(prog.pinCountValue(), 4);   // A, VCC+, F, G*

        const QString over = QStringLiteral("<span style=\"text-decoration: overline\">");
        const QStringList all = prog.pinsDescription(QStringLiteral("SPI"), false);
        QCOMPARE(all, (QStringList{
                          QStringLiteral("<b>A - ") + over + QStringLiteral("CS</span></b>"),
                          QStringLiteral("<font color=blue>B - SO</font>"),
                          QStringLiteral("<b>VCC</b>"),
                          QStringLiteral("E"),
                          QStringLiteral("F"),
                          QStringLiteral("<font color=blue>G - SCK</font>")}));
        const QStringList active = prog.pinsDescription(QStringLiteral("SPI"), true);
        QCOMPARE(active, (QStringList{
                             QStringLiteral("<b>") + over + QStringLiteral("CS</span> - A</b>"),
                             QStringLiteral("<b>VCC</b>"),
                             QStringLiteral("F"),
                             QStringLiteral("<font color=blue>SCK - G</font>")}));
        // Another section connects nothing.
        QCOMPARE(prog.pinsDescription(QStringLiteral("I2C"), true),
                 (QStringList{QStringLiteral("A"), QStringLiteral("<b>VCC</b>"), QStringLiteral("F"),
                              QStringLiteral("G")}));
    }

    void clockLists()
    {
        const QString file = write(QStringLiteral("clk.ini"), QStringLiteral(
            "[I2C]\nCLK_DEF=100000\nCLK_MIN=50000\nCLK_MAX=2000000\nCLK_LIST=0\n"
            "CLKLV_400000=1\nCLKLV_100000=0\nCLKLV_1000000=2\nclklv_5=9\nCLKLV_x=3\n"));
        const TProg prog(file);
        bool useList = true;
        int lo = 0, hi = 0;
        QVector<int> levels{700000};
        prog.clockList(QStringLiteral("I2C"), useList, lo, hi, levels);
        QVERIFY(!useList);
        QCOMPARE(lo, 50000);
        QCOMPARE(hi, 2000000);
        QCOMPARE(levels, (QVector<int>{100000, 400000, 700000, 1000000}));
        QCOMPARE(prog.clockDefault(QStringLiteral("I2C")), 100000);
        QCOMPARE(prog.clockLevel(QStringLiteral("I2C"), 400000), 400000);   // not a list

        // The same object sees the list switched on.
        write(QStringLiteral("clk.ini"), QStringLiteral(
            "[I2C]\nCLK_LIST=1\nCLKLV_400000=1\nCLKLV_100000=0\nCLKLV_100000=0\n"));
        levels.clear();
        prog.clockList(QStringLiteral("I2C"), useList, lo, hi, levels);
        QVERIFY(useList);
        QCOMPARE(levels, (QVector<int>{100000, 400000}));
        QCOMPARE(prog.clockLevel(QStringLiteral("I2C"), 400000), 1);
        QCOMPARE(prog.clockLevel(QStringLiteral("I2C"), 100000), 0);
        QCOMPARE(prog.clockLevel(QStringLiteral("I2C"), 300000), 300000);

        // A section name is taken literally, placeholders included.
        {
            TSettings settings(file);
            settings.writeBool(QStringLiteral("/S%1/CLK_LIST"), true);
            settings.writeInt(QStringLiteral("/S%1/CLKLV_400000"), 7);
            settings.writeInt(QStringLiteral("/S400000/CLKLV_%3"), 9);
            QVERIFY(settings.flush());
        }
        QCOMPARE(prog.clockLevel(QStringLiteral("S%1"), 400000), 7);
    }

    void generatorLists()
    {
        const TProg prog(write(QStringLiteral("gen.ini"), QStringLiteral(
            "[Generator]\nFQ_MIN=10\nFQ_MAX=5000000\nFQ_LIST=1\nDT_SHOW=1\nDT_MIN=5\nDT_MAX=95\n"
            "DT_LIST=1\nFQLV_1000000=0\nFQLV_1000=0\nFQLV_50000=0\nDTLV_75=0\nDTLV_25=0\nDTLV_50=0\n")));
        bool fqList = false, dtShow = false, dtList = false;
        int fqMin = 0, fqMax = 0, dtMin = 0, dtMax = 0;
        QVector<int> fq, dt;
        prog.generatorLists(fqList, fqMin, fqMax, fq, dtShow, dtList, dtMin, dtMax, dt);
        QVERIFY(fqList);
        QVERIFY(dtShow);
        QVERIFY(dtList);
        QCOMPARE(fqMin, 10);
        QCOMPARE(fqMax, 5000000);
        QCOMPARE(dtMin, 5);
        QCOMPARE(dtMax, 95);
        QCOMPARE(fq, (QVector<int>{1000, 50000, 1000000}));
        QCOMPARE(dt, (QVector<int>{25, 50, 75}));
    }

    void fileChangesShowInTheReadingAccessorsOnly()
    {
        const QString file = write(QStringLiteral("live.ini"), QStringLiteral(
            "[Vcc]\nDEF=3.3\n[Commands]\nset_vcc=0\n[Protocol]\nMAX_DATA=32\n[Pins]\nPin01=1|A\n"));
        const TProg prog(file);
        write(QStringLiteral("live.ini"), QStringLiteral(
            "[Vcc]\nDEF=5\n[Commands]\nset_vcc=1\n[Protocol]\nMAX_DATA=128\n"
            "[Pins]\nPin01=1|A\nPin02=1|B\n"));
        QCOMPARE(prog.vccDefault(), 5.0);
        QVERIFY(prog.supportsCommand(QStringLiteral("set_vcc")));
        QCOMPARE(prog.pinsDescription(QString(), false).size(), 2);
        // Read once by the constructor.
        QCOMPARE(prog.maxData(), quint16(32));
        QCOMPARE(prog.pinCountValue(), 1);
    }

    void theEmulatorsDescription()
    {
        const TProg prog(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs/emulator.ini"));
        QCOMPARE(prog.interface(), FakeProgrammer::DEFAULT_INTERFACE);
        QCOMPARE(prog.pinCountValue(), 8);
        QCOMPARE(prog.pinTypeLetters(), QStringLiteral("-IlhLHoOZ"));
        const QStringList pins = prog.pinsDescription(QStringLiteral("SPI"), true);
        QCOMPARE(pins.size(), 8);
        QVERIFY(pins.first().contains(QLatin1String("CS</span> - P1")));
        for (const char *code : {"set_device", "auto_detect", "reset", "generator", "set_io",
                                 "set_vcc", "set_vpp", "set_vicc", "set_vipp"})
            QVERIFY2(prog.supportsCommand(QLatin1String(code)), code);
        for (const char *section : {"I2C", "SPI", "AVR_SPI"}) {
            bool useList = false;
            int lo = 0, hi = 0;
            QVector<int> levels;
            prog.clockList(QLatin1String(section), useList, lo, hi, levels);
            const int def = prog.clockDefault(QLatin1String(section));
            QVERIFY2(lo > 0 && lo <= def && def <= hi, section);
            QVERIFY2(!useList || levels.contains(def), section);
        }
        double lo = 0, hi = 0;
        prog.vccRange(lo, hi);
        QVERIFY(lo <= prog.vccDefault() && prog.vccDefault() <= hi);
        int rlo = 0, rhi = 0;
        prog.resetRange(rlo, rhi);
        QVERIFY(rlo <= qAbs(prog.resetDefault()) && qAbs(prog.resetDefault()) <= rhi);
    }
};

QTEST_GUILESS_MAIN(TestProg)
#include "test_prog.moc"
