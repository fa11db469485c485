#include "core/TAppData.h"
#include "core/TLang.h"
#include "devices/dev_lists.h"
#include "support/HostileFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString dataDir = QStringLiteral(VELKOR_TEST_DATA_DIR "/devlists");
}

class TestDevLists : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        // A language file whose message 400 can be told apart.
        QFile lng(tmp.filePath("test.lng"));
        QVERIFY(lng.open(QIODevice::WriteOnly));
        for (int i = 0; i <= 400; ++i)
            lng.write(QByteArray("message ") + QByteArray::number(i) + "\n");
        lng.close();
        lang.load(lng.fileName());
        QCOMPARE(lang.text(400), QStringLiteral("message 400"));
        appData.pathDevices = dataDir;
    }

    void devicesList()
    {
        const QHash<QString, QString> devices = readDevicesList();
        QCOMPARE(devices.size(), 2);
        QCOMPARE(devices.value("AT24C02"), QStringLiteral("at24c02_v2.dev"));
        QCOMPARE(devices.value("W25Q32"), QStringLiteral("w25q32.dev"));
    }

    void deviceTypes()
    {
        // "ALG_24 =7" never matches: the key keeps its blank.
        QCOMPARE(deviceTypeOf("ALG_24"), 3u);
        QCOMPARE(deviceTypeOf("ALG_25"), 12u);
        QCOMPARE(deviceTypeOf("ALG_BAD"), 0u);
        QCOMPARE(deviceTypeOf("ALG_26"), 0u);
        QCOMPARE(deviceTypeOf("alg_24"), 0u);
    }

    void signatureNames()
    {
        QCOMPARE(findSignatureName(dataDir, "1E950F"), QStringLiteral("ATmega328P"));
        QCOMPARE(findSignatureName(dataDir, "EF4016"), QStringLiteral("W25Q32=x"));
        // Keys are not trimmed, comparisons are exact.
        QCOMPARE(findSignatureName(dataDir, "1E9587"), QStringLiteral("message 400"));
        QCOMPARE(findSignatureName(dataDir, "1e950f"), QStringLiteral("message 400"));
        QCOMPARE(findSignatureName(tmp.path(), "1E950F"), QStringLiteral("message 400"));
    }

    void autoList()
    {
        const QList<TAutoListItem> list = loadAutoList();
        QStringList names;
        for (const TAutoListItem &item : list)
            names << item.name + ":" + item.deviceFile + ":" + item.pairFile;
        QCOMPARE(names, QStringList({"Memory 24:at24c02.dev:pairs24.lst", "Doubled:d.dev:d.lst",
                                     "Memory 24:other.dev:other.lst", "Bars:e.dev:e.lst",
                                     "NoPairs:x.dev:missing.lst", "Spaced : s.dev:s.lst"}));
        QCOMPARE(autoListNames(), QStringList({"Memory 24", "Doubled", "Memory 24", "Bars", "NoPairs",
                                               "Spaced "}));
        QCOMPARE(autoListText("Memory 24"), QStringLiteral("at24c02.dev"));
        QCOMPARE(autoListFile("Memory 24"), QStringLiteral("pairs24.lst"));
        QCOMPARE(autoListText("Three"), QString());
        QCOMPARE(autoListFile("memory 24"), QString());
    }

    void autoPairs()
    {
        const TPairStringList pairs = loadAutoPairs("Memory 24");
        QCOMPARE(pairs.keys(), QStringList({"0x50", "0x51 ", "0x52", "0x50"}));
        QCOMPARE(pairs.values(), QStringList({"AT24C02", " AT24C04", "A=B", "again"}));
        QCOMPARE(pairs.valueOf("0x50"), QStringLiteral("again"));
        QCOMPARE(loadAutoPairs("NoPairs").count(), 0);
        QCOMPARE(loadAutoPairs("Unknown").count(), 0);
    }

    void missingFolderReadsEmpty()
    {
        appData.pathDevices = tmp.filePath("nowhere");
        QVERIFY(readDevicesList().isEmpty());
        QCOMPARE(deviceTypeOf("ALG_24"), 0u);
        QVERIFY(loadAutoList().isEmpty());
        QCOMPARE(autoListText("Memory 24"), QString());
        QCOMPARE(loadAutoPairs("Memory 24").count(), 0);
        appData.pathDevices = dataDir;
    }

    void hostileListFiles()
    {
        // Every reader over a binary file and one with an over-long line.
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QByteArray binary = hostile::noise(50000, 13);
        const QByteArray longLine = "ALG_24=5\n" + QByteArray(70000, '=') + "\nALG_25=6";
        for (const char *name : {"devices.lst", "types.lst", "auto.lst", "signature.lst"})
            QVERIFY(hostile::writeFile(dir.filePath(name), QByteArray(name) == "types.lst" ? longLine : binary));
        appData.pathDevices = dir.path();
        readDevicesList();
        loadAutoList();
        findSignatureName(dir.path(), "x");
        QCOMPARE(deviceTypeOf("ALG_24"), 5u);
        QCOMPARE(deviceTypeOf("ALG_25"), 6u);
        QCOMPARE(deviceTypeOf(QString()), 0u); // the over-long line had an empty key
        appData.pathDevices = dataDir;
    }
};

QTEST_GUILESS_MAIN(TestDevLists)
#include "test_dev_lists.moc"
