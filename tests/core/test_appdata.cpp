#include "core/TAppData.h"
#include "core/TSettings.h"
#include "core/helpers.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <thread>

class TestAppData : public QObject
{
    Q_OBJECT

    QTemporaryDir home;

    QByteArray iniText()
    {
        QFile f(settingsFilePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeIni(const QByteArray &text)
    {
        QFile f(settingsFilePath());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(home.isValid());
        setAppFileLocation(home.path());
    }
    void init()
    {
        QFile::remove(settingsFilePath());
    }
    void cleanupTestCase()
    {
        setAppFileLocation(QString());
    }

    void noFileGivesDefaults()
    {
        // The keys that are only read; defaultsAsWritten() covers the rest.
        TAppData d;
        d.load();
        QCOMPARE(d.language, QStringLiteral("rus.lng"));
        QCOMPARE(d.style, QStringLiteral("Fusion"));
        QCOMPARE(d.selectPrjListFile, QStringLiteral("velkor.lpl"));
        QCOMPARE(d.debug, 0);
        QCOMPARE(d.fontAppName, QString());
        QCOMPARE(d.fontAppSize, 0);
        QCOMPARE(d.fontMonoName, QString());
        QCOMPARE(d.fontMonoSize, 0);
        QCOMPARE(d.iconsSet, 0);
        QCOMPARE(d.selectorColorChar, QColor(240, 240, 240));
        QCOMPARE(d.selectorColorData, QColor(210, 210, 210));
        QCOMPARE(d.selectorColorFile, QColor(180, 180, 180));
        QCOMPARE(d.windowMainCmdListColumnNameWidth, 130);
        QCOMPARE(d.windowMainCmdAutoColumnDeviceWidth, 150);
        QCOMPARE(d.windowCmdSelectorButtonHeight, 23);
        QCOMPARE(d.windowCmdSelectorButtonSeparatorHeight, 10);
        QCOMPARE(d.progName.count(), 0);
        QCOMPARE(d.progType.count(), 0);
    }

    void defaultsAsWritten()
    {
        // Written into a file that the copy has not read, all is a change.
        // Every key that save() and saveWindows() write, with its default
        // text, and no other key: a misspelt key, a wrong default or a key
        // that must never be written shows up here.
        TAppData d;
        d.load();
        QVERIFY(d.save());
        QVERIFY(d.saveWindows());
        QTemporaryDir unread;
        setAppFileLocation(unread.path());
        QVERIFY(d.save() && d.saveWindows());
        QSettings written(settingsFilePath(), QSettings::IniFormat);
        setAppFileLocation(home.path());
        QSettings golden(QStringLiteral(VELKOR_TEST_DATA_DIR "/core/settings_defaults.ini"),
                         QSettings::IniFormat);
        QStringList keys = written.allKeys(), goldenKeys = golden.allKeys();
        keys.sort();
        goldenKeys.sort();
        QCOMPARE(keys, goldenKeys);
        for (const QString &key : keys)
            QVERIFY2(written.value(key).toString() == golden.value(key).toString(), qPrintable(key));
    }

    void saveThenLoadGivesItBack()
    {
        TAppData d;
        d.load();
        d.language = QStringLiteral("eng.lng");
        d.prjListFile = QStringLiteral("lists/a, b.lpl");
        d.lastCfg = 3;
        d.execTabColorSuccess = QColor(1, 2, 3);
        d.cmdProgResetColorEnable = true;
        d.confirmCmdPaste = false;
        d.windowMainCfgSplitter = {10, 20};
        d.windowLanguageHeight = 333;
        d.progType.add(QStringLiteral("T1"), QStringLiteral("t1.ini"));
        d.progName.add(true, QStringLiteral("Box"), QStringLiteral("/dev/ttyUSB0"), QStringLiteral("T1"));
        QVERIFY(d.save());
        QVERIFY(d.saveWindows());

        TAppData e;
        e.load();
        QCOMPARE(e.language, QStringLiteral("eng.lng"));
        QCOMPARE(e.prjListFile, QStringLiteral("lists/a, b.lpl"));
        QCOMPARE(e.lastCfg, 3);
        QCOMPARE(e.execTabColorSuccess, QColor(1, 2, 3));
        QCOMPARE(e.cmdProgResetColorEnable, true);
        QCOMPARE(e.confirmCmdPaste, false);
        QCOMPARE(e.windowMainCfgSplitter, QList<int>({10, 20}));
        QCOMPARE(e.windowLanguageHeight, 333);
        QCOMPARE(e.progType.value(QStringLiteral("T1")), QStringLiteral("t1.ini"));
        const TProgNameItem item = e.progName.find(QStringLiteral("Box"));
        QCOMPARE(item.mark, true);
        QCOMPARE(item.port, QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(item.type, QStringLiteral("T1"));
    }

    void readOnlyKeysStayUnwritten()
    {
        writeIni("[Main]\nIconsSet=1\n");
        TAppData d;
        d.load();
        QCOMPARE(d.iconsSet, 1);
        d.iconsSet = 0;
        d.debug = 1;
        d.fontAppSize = 12;
        QVERIFY(d.save());
        QVERIFY(d.saveWindows());
        // Nothing that is written changed: the file is as it was.
        QCOMPARE(iniText(), QByteArray("[Main]\nIconsSet=1\n"));
    }

    void twelveNamesKeepOrderAndDefault()
    {
        TAppData d;
        d.load();
        for (int i = 0; i < 12; ++i)
            d.progName.add(i % 2, QStringLiteral("P%1").arg(i), QStringLiteral("COM%1").arg(i), QStringLiteral("T"));
        d.progDefault = 10;
        QVERIFY(d.save());
        TAppData e;
        e.load();
        QCOMPARE(e.progName.count(), 12);
        for (int i = 0; i < 12; ++i)
            QCOMPARE(e.progName.at(i), QStringLiteral("P%1").arg(i));
        QCOMPARE(e.progName.at(e.progDefault), QStringLiteral("P10"));
        // A second round keeps it all.
        QVERIFY(e.save());
        TAppData f;
        f.load();
        QCOMPARE(f.progName.at(2), QStringLiteral("P2"));
        QCOMPARE(f.progName.at(f.progDefault), QStringLiteral("P10"));
    }

    void malformedEntriesAreSkipped()
    {
        writeIni("[ProgNameList]\nName0=1|A|p|t\nName1=0|B|q\nName2=0|C|q|t|x\nName3=0|D|q|t\n"
                 "[ProgTypeList]\nType0=t|t.ini\nType1=u\nType2=v|v.ini|x\n");
        TAppData d;
        d.load();
        QCOMPARE(d.progName.count(), 2);
        QCOMPARE(d.progName.at(0), QStringLiteral("A"));
        QCOMPARE(d.progName.at(1), QStringLiteral("D"));
        QVERIFY(!d.progName.find(QStringLiteral("D")).mark);
        QCOMPARE(d.progType.count(), 1);
        QVERIFY(!d.progName.contains(QStringLiteral("B")));
        QCOMPARE(d.progName.find(QStringLiteral("B")).port, QString());
    }

    void deletedNameLeavesTheFile()
    {
        TAppData d;
        d.load();
        d.progName.add(false, QStringLiteral("A"), QString(), QString());
        d.progName.add(false, QStringLiteral("B"), QString(), QString());
        d.progName.add(false, QStringLiteral("C"), QString(), QString());
        QVERIFY(d.save());
        d.progName.clear();
        d.progName.add(false, QStringLiteral("A"), QString(), QString());
        d.progName.add(false, QStringLiteral("C"), QString(), QString());
        QVERIFY(d.save());
        TSettings s;
        QCOMPARE(s.groupKeyPaths(QStringLiteral("ProgNameList")),
                 QStringList({QStringLiteral("/ProgNameList/Name0"), QStringLiteral("/ProgNameList/Name1")}));
        QCOMPARE(s.readStringList(QStringLiteral("/ProgNameList/Name1")).at(1), QStringLiteral("C"));
    }

    // A run reads the programmer lists in its own thread while OK in the
    // settings dialog replaces them: a copy never holds the names of one
    // setting with the types or the default of another.
    void programmerListsComeAsOneCopy()
    {
        TAppData d;
        TProgLists a, b;
        a.types.add(QStringLiteral("TypeA"), QStringLiteral("a.ini"));
        a.names.add(true, QStringLiteral("Box"), QStringLiteral("/dev/a"), QStringLiteral("TypeA"));
        a.byDefault = 0;
        b.types.add(QStringLiteral("TypeB"), QStringLiteral("b.ini"));
        b.names.add(true, QStringLiteral("Other"), QStringLiteral("/dev/c"), QStringLiteral("TypeB"));
        b.names.add(true, QStringLiteral("Box"), QStringLiteral("/dev/b"), QStringLiteral("TypeB"));
        b.byDefault = 1;
        d.setProgLists(a);
        std::atomic<bool> done{false};
        std::atomic<int> reads{0};
        int torn = 0;
        std::thread reader([&] {
            for (; !done; ++reads) {
                const TProgLists copy = d.progLists();
                const TProgNameItem box = copy.names.find(QStringLiteral("Box"));
                const bool isA = box.type == QLatin1String("TypeA");
                const TProgLists &expected = isA ? a : b;
                if (!copy.types.contains(box.type) || copy.names.names() != expected.names.names()
                    || box.port != expected.names.find(QStringLiteral("Box")).port
                    || copy.byDefault != expected.byDefault)
                    ++torn;
            }
        });
        // Both sides many times over, however the threads are scheduled.
        for (int i = 0; i < 20000 || reads < 20000; ++i)
            d.setProgLists(i % 2 ? a : b);
        d.setProgLists(a);
        done = true;
        reader.join();
        QCOMPARE(torn, 0);
        const TProgLists last = d.progLists();
        QCOMPARE(last.names.names(), a.names.names());
        QCOMPARE(d.progType.value(QStringLiteral("TypeA")), QStringLiteral("a.ini"));
        QCOMPARE(d.progDefault, 0);
    }
};

QTEST_GUILESS_MAIN(TestAppData)
#include "test_appdata.moc"
