#include "core/TAppData.h"
#include "core/consts.h"
#include "devices/TDeviceList.h"
#include "devices/text_lines.h"
#include "support/HostileFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString dataDir = QStringLiteral(VELKOR_TEST_DATA_DIR "/registry");

// Two distinct creators; the registry only hands them out, never calls them.
int testDevCalls = 0;
int otherCalls = 0;
IDevice *createTestDev(const QString &, const TData &)
{
    ++testDevCalls;
    return nullptr;
}
IDevice *createOther(const QString &, const TData &)
{
    ++otherCalls;
    return nullptr;
}

TData parse(const QString &text)
{
    return TDeviceList::parseParams(text.split(QLatin1Char('\n')));
}

} // namespace

class TestDeviceList : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        deviceList.addCreator(QStringLiteral("TestDev"), createTestDev);
        deviceList.addCreator(QStringLiteral("OtherGroup"), createOther);
        appData.pathDevices = dataDir;
    }

    void typeLetters_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("d") << "v=d|256" << QVariant(int(256));
        QTest::newRow("d negative") << "v=d|-12" << QVariant(int(-12));
        QTest::newRow("d not a number") << "v=d|256k" << QVariant(int(0));
        QTest::newRow("d too big") << "v=d|3000000000" << QVariant(int(0));
        QTest::newRow("D") << "v=D|-5000000000" << QVariant(qlonglong(-5000000000LL));
        QTest::newRow("u") << "v=u|4000000000" << QVariant(uint(4000000000U));
        QTest::newRow("U") << "v=U|18446744073709551615" << QVariant(qulonglong(~0ULL));
        QTest::newRow("x decimal digits") << "v=x|256" << QVariant(uint(598));
        QTest::newRow("x") << "v=x|FF" << QVariant(uint(255));
        QTest::newRow("x lower") << "v=x|ff" << QVariant(uint(255));
        QTest::newRow("X") << "v=X|1FFFFFFFF" << QVariant(qulonglong(0x1FFFFFFFFULL));
        QTest::newRow("b") << "v=b|101" << QVariant(uint(5));
        QTest::newRow("b bad digit") << "v=b|102" << QVariant(uint(0));
        QTest::newRow("B") << "v=B|100000000000000000000000000000000" << QVariant(qulonglong(1ULL << 32));
        QTest::newRow("o") << "v=o|17" << QVariant(uint(15));
        QTest::newRow("O") << "v=O|40000000000" << QVariant(qulonglong(1ULL << 32));
        QTest::newRow("f") << "v=f|1.5" << QVariant(float(1.5f));
        QTest::newRow("F") << "v=F|-2.25" << QVariant(double(-2.25));
        QTest::newRow("F bad") << "v=F|abc" << QVariant(double(0));
        QTest::newRow("s keeps bars and blanks") << "v = s | a|b = c " << QVariant(QStringLiteral(" a|b = c "));
        QTest::newRow("s empty") << "v=s|" << QVariant(QString(""));
    }
    void typeLetters()
    {
        QFETCH(QString, line);
        QFETCH(QVariant, expected);
        const TData params = parse(line);
        QCOMPARE(params.size(), 1);
        const QVariant value = params.value(QStringLiteral("v"));
        QCOMPARE(value.userType(), expected.userType());
        QCOMPARE(value, expected);
    }

    void malformedLinesAreSkipped_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("no equals") << "v s|1";
        QTest::newRow("bar only before equals") << "v|s=1";
        QTest::newRow("no bar") << "v=s 1";
        QTest::newRow("unknown letter") << "v=z|1";
        QTest::newRow("letter in wrong case") << "v=S|1";
        QTest::newRow("two letters") << "v=dd|1";
        QTest::newRow("no letter") << "v=|1";
        QTest::newRow("comment") << "#v=s|1";
        QTest::newRow("empty") << "";
    }
    void malformedLinesAreSkipped()
    {
        QFETCH(QString, line);
        QString name, type, value;
        const TData params = parse(line);
        QVERIFY(params.isEmpty());
    }

    void parseLineSplitsAtFirstSigns()
    {
        QString name, type, value;
        QVERIFY(TDeviceList::parseLine(QStringLiteral(" a b = s |x=y|z"), name, type, value));
        QCOMPARE(name, QStringLiteral("a b"));
        QCOMPARE(type, QStringLiteral("s"));
        QCOMPARE(value, QStringLiteral("x=y|z"));
        QVERIFY(!TDeviceList::parseLine(QStringLiteral("a|s=b"), name, type, value));
        QVERIFY(!TDeviceList::parseLine(QStringLiteral("abc"), name, type, value));
    }

    void laterScalarReplacesEarlier()
    {
        const TData params = parse(QStringLiteral("v=d|1\nv=s|two"));
        QCOMPARE(params.value(QStringLiteral("v")), QVariant(QStringLiteral("two")));
    }

    void listRuns()
    {
        // One run, other types between its lines.
        TData params = parse(QStringLiteral("a=l|1\nx=d|7\na=l| 2\na=l|3 "));
        QCOMPARE(params.value(QStringLiteral("a")).toStringList(),
                 QStringList({"1", " 2", "3 "}));
        QCOMPARE(params.value(QStringLiteral("x")), QVariant(7));

        // A name in two runs keeps its last run only.
        params = parse(QStringLiteral("a=l|1\na=l|2\nb=l|x\na=l|3"));
        QCOMPARE(params.value(QStringLiteral("a")).toStringList(), QStringList({"3"}));
        QCOMPARE(params.value(QStringLiteral("b")).toStringList(), QStringList({"x"}));
        QCOMPARE(params.size(), 2);
    }

    void commentOnlyAtFirstCharacter()
    {
        const TData params = parse(QStringLiteral("#a=s|1\n #b=s|2"));
        QCOMPARE(params.size(), 1);
        QCOMPARE(params.value(QStringLiteral("#b")), QVariant(QStringLiteral("2")));
    }

    void descriptionFile()
    {
        TData params{{QStringLiteral("old"), 1}};
        const TDeviceCreator creator =
            deviceList.creatorForFile(QStringLiteral("AT24Test"), QStringLiteral("test24.dev"), params);
        QVERIFY(creator == &createTestDev);
        QVERIFY(!params.contains(QStringLiteral("old")));
        QCOMPARE(params.value(QLatin1String(DEV_GUI_TYPE)), QVariant(QStringLiteral("TestDev")));
        QCOMPARE(params.value(QStringLiteral("size")), QVariant(qlonglong(65536)));
        QCOMPARE(params.value(QStringLiteral("page_size")), QVariant(16));
        QCOMPARE(params.value(QStringLiteral("addr_size")), QVariant(uint(10)));
        QCOMPARE(params.value(QStringLiteral("info")).toStringList(),
                 QStringList({"First line", "Second | line = two"}));
        QCOMPARE(params.value(QStringLiteral("cmds")).toStringList(),
                 QStringList({"ident", "separator", "file_read"}));
        QCOMPARE(params.value(QStringLiteral("# not a comment")), QVariant(QStringLiteral("kept")));
        // The registry's own "dev_file" replaces the file's line.
        QCOMPARE(params.value(QLatin1String(DEV_DEV_FILE)),
                 QVariant(QDir(dataDir).absoluteFilePath(QStringLiteral("test24.dev"))));
        QCOMPARE(params.size(), 8);

        // An absolute file name is taken as it stands.
        TData again;
        QVERIFY(deviceList.creatorForFile(QStringLiteral("x"), dataDir + QStringLiteral("/test24.dev"), again) == &createTestDev);
        QCOMPARE(again, params);
    }

    void groupsWithoutCreator()
    {
        TData params{{QStringLiteral("old"), 1}};
        // The file is read, but its group is unknown or missing.
        QVERIFY(!deviceList.creatorForFile(QStringLiteral("d"), QStringLiteral("unknown_group.dev"), params));
        QCOMPARE(params.value(QStringLiteral("size")), QVariant(1));
        QVERIFY(params.contains(QLatin1String(DEV_DEV_FILE)));
        QVERIFY(!deviceList.creatorForFile(QStringLiteral("d"), QStringLiteral("no_group.dev"), params));
        QCOMPARE(params.value(QStringLiteral("size")), QVariant(8));
        QVERIFY(!deviceList.creatorForFile(QStringLiteral("d"), QStringLiteral("empty.dev"), params));
        QCOMPARE(params.size(), 1); // only "dev_file"

        // A missing file leaves the record alone.
        params = TData{{QStringLiteral("old"), 1}};
        QVERIFY(!deviceList.creatorForFile(QStringLiteral("d"), QStringLiteral("missing.dev"), params));
        QCOMPARE(params, (TData{{QStringLiteral("old"), 1}}));
        // So does a folder given as the file.
        QVERIFY(!deviceList.creatorForFile(QStringLiteral("d"), dataDir, params));
        QCOMPARE(params, (TData{{QStringLiteral("old"), 1}}));
    }

    void groupByName()
    {
        TData params{{QStringLiteral("old"), 1}};
        QVERIFY(deviceList.creatorForFile(QStringLiteral("OtherGroup"), QString(), params) == &createOther);
        QCOMPARE(params, (TData{{QStringLiteral("old"), 1}}));
        // Group names are case-sensitive; a device name is no group.
        QVERIFY(!deviceList.creatorForFile(QStringLiteral("othergroup"), QString(), params));
        QVERIFY(!deviceList.creatorForFile(QStringLiteral("AT24Test"), QString(), params));
    }

    void hostileFiles()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString dir = tmp.path();

        // Windows line ends, a byte-order mark and a last line cut short in
        // the middle of a UTF-8 sequence.
        QVERIFY(hostile::writeFile(dir + "/crlf.dev", QByteArray("\xEF\xBB\xBFgui_type=s|TestDev\r\nname=s|\xD0\x90\xD0\x91\r\n"
                                                 "cut=s|\xD0")));
        TData params;
        QVERIFY(deviceList.creatorForFile("d", dir + "/crlf.dev", params) == &createTestDev);
        QCOMPARE(params.value("name"), QVariant(QString::fromUtf8("\xD0\x90\xD0\x91")));
        QVERIFY(params.contains("cut"));

        // Binary bytes: lines holding NUL are dropped, no crash, no creator.
        const QByteArray binary = hostile::noise(70000, 40);
        QVERIFY(hostile::writeFile(dir + "/binary.dev", binary));
        params.clear();
        QVERIFY(!deviceList.creatorForFile("d", dir + "/binary.dev", params));

        // An over-long line is dropped; the lines around it still count.
        QByteArray longLine = "gui_type=s|TestDev\nhuge=s|" + QByteArray(textlines::maxLineBytes + 10, 'A')
                              + "\nsize=d|4\n";
        QVERIFY(hostile::writeFile(dir + "/long.dev", longLine));
        params.clear();
        QVERIFY(deviceList.creatorForFile("d", dir + "/long.dev", params) == &createTestDev);
        QVERIFY(!params.contains("huge"));
        QCOMPARE(params.value("size"), QVariant(4));

        // A file above the size limit reads as not there.
        QFile big(dir + "/big.dev");
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.write("gui_type=s|TestDev\n") > 0);
        QVERIFY(big.resize(textlines::maxFileBytes + 1));
        big.close();
        params = TData{{"old", 1}};
        QVERIFY(!deviceList.creatorForFile("d", dir + "/big.dev", params));
        QCOMPARE(params, (TData{{"old", 1}}));
    }
};

QTEST_GUILESS_MAIN(TestDeviceList)
#include "test_device_list.moc"
