#include "core/TAppData.h"
#include "core/consts.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/TDevProg.h"
#include "devices/TDevTools.h"
#include "link/TProg.h"
#include "support/HostileFiles.h"
#include "support/TTestDevice.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString fixtures = QStringLiteral(VELKOR_TEST_DATA_DIR "/validation");

int add(int cfg, const QString &code, TData params = TData())
{
    params.insert(QLatin1String(REC_ID_CFG), cfg);
    params.insert(QLatin1String(REC_CMD), code);
    params.insert(QLatin1String(REC_STATUS), 1);
    return dataPrj.addCmd(params);
}

int setProg(int cfg, const QString &prog)
{
    return add(cfg, QLatin1String(CMD_SET_PROG), {{QLatin1String(SET_PROG_PROG), prog}});
}

int setDevice(int cfg, const QString &device, const QString &file)
{
    return add(cfg, QLatin1String(CMD_SET_DEVICE),
               {{QLatin1String(SET_DEVICE_DEVICE), device}, {QLatin1String(SET_DEVICE_FILE), file}});
}

TDataCmd *cmd(int id)
{
    return dataPrj.cmdById(id);
}

QStringList codesOfCfg(int cfg)
{
    QStringList codes;
    for (const TDataCmd *c : dataPrj.cmdsOfCfg(cfg))
        codes << c->cmd();
    return codes;
}

} // namespace

class TestValidation : public QObject
{
    Q_OBJECT

    int cfg = 0;

private slots:
    void initTestCase()
    {
        qRegisterMetaType<TCodeView>("TCodeView");
        qRegisterMetaType<TData>("TData");
        TTestDevice::registerGroup();
        appData.pathDevices = fixtures + QStringLiteral("/devices");
        appData.pathProgs = fixtures + QStringLiteral("/progs");
        appData.progType.add(QStringLiteral("BoxType"), QStringLiteral("box.ini"));
        appData.progType.add(QStringLiteral("GoneType"), QStringLiteral("gone.ini"));
        appData.progName.add(false, QStringLiteral("Box"), QString(), QStringLiteral("BoxType"));
        appData.progName.add(false, QStringLiteral("Box2"), QString(), QStringLiteral("BoxType"));
        appData.progName.add(false, QStringLiteral("Orphan"), QString(), QStringLiteral("NoType"));
        appData.progName.add(false, QStringLiteral("Gone"), QString(), QStringLiteral("GoneType"));
    }

    void init()
    {
        dataPrj.setPrjFile(QStringLiteral("test.prj"));
        dataPrj.clear();
        dataPrj.setPrjFile(QStringLiteral("test.prj"));
        cfg = dataPrj.addCfg(QStringLiteral("main"), QString());
    }

    void deviceCommandWithoutSetDevice()
    {
        setProg(cfg, "Box");
        const int read = add(cfg, "file_read");
        dataPrj.validateAll();
        QVERIFY(!cmd(read)->handler());
        QVERIFY(!cmd(read)->device());
        QVERIFY(cmd(read)->prog());
        QVERIFY(!cmd(read)->validDev());
        QVERIFY(!cmd(read)->validParam());
    }

    void resolvesTheChain()
    {
        const int prog = setProg(cfg, "Box");
        const int dev = setDevice(cfg, "ChipA", "chipA.dev");
        const int vcc = add(cfg, "set_vcc");
        const int read = add(cfg, "file_read");
        const int delay = add(cfg, "delay", {{"value", "10"}});
        dataPrj.validateAll();

        // "set_prog": the tool group handles it and stands as its device.
        QVERIFY(cmd(prog)->handler());
        QCOMPARE(cmd(prog)->handler()->name(), QStringLiteral("Tools"));
        QCOMPARE(cmd(prog)->device(), cmd(prog)->handler());
        QVERIFY(cmd(prog)->prog());
        QVERIFY(cmd(prog)->validDev());

        // "set_device": the programmer group, the new device, the programmer.
        QCOMPARE(cmd(dev)->handler()->name(), QStringLiteral("Prog"));
        QVERIFY(cmd(dev)->device());
        QCOMPARE(cmd(dev)->device()->name(), QStringLiteral("ChipA"));
        QCOMPARE(cmd(dev)->device()->params().value("size"), QVariant(qlonglong(256)));
        QVERIFY(cmd(dev)->device()->params().value(DEV_DEV_FILE).toString().endsWith("/chipA.dev"));
        QCOMPARE(cmd(dev)->prog(), cmd(prog)->prog());
        QVERIFY(cmd(dev)->validDev());

        QCOMPARE(cmd(vcc)->handler(), cmd(dev)->handler());
        QCOMPARE(cmd(vcc)->device(), cmd(dev)->device());
        QVERIFY(cmd(vcc)->validDev());

        QCOMPARE(cmd(read)->handler(), cmd(dev)->device());
        QCOMPARE(cmd(read)->device(), cmd(dev)->device());
        QVERIFY(cmd(read)->validDev());
        QVERIFY(cmd(read)->validParam());

        QCOMPARE(cmd(delay)->handler(), cmd(prog)->handler());
        QVERIFY(cmd(delay)->validDev());

        QCOMPARE(dataPrj.progNameAt(cfg, -1), QStringLiteral("Box"));
        QCOMPARE(dataPrj.deviceNameAt(cfg, -1), QStringLiteral("ChipA"));
        QCOMPARE(dataPrj.handlerNameOf(cfg, -1, "erase"), QStringLiteral("ChipA"));
        QCOMPARE(dataPrj.handlerNameOf(cfg, 0, "reset"), QStringLiteral("Prog"));
        QCOMPARE(dataPrj.handlerNameOf(cfg, 0, "jamp"), QStringLiteral("Tools"));
        QCOMPARE(dataPrj.progCmdBefore(read), cmd(prog));
        QCOMPARE(dataPrj.deviceCmdIndexBefore(read), dataPrj.cmdIndexById(dev));
        QCOMPARE(dataPrj.deviceCmdIndexBefore(prog), -1);

        // A code the device does not offer, and a bad parameter record.
        const int erase2 = add(cfg, "sec_reg_read");
        const int bad = add(cfg, "erase", {{"bad", "1"}});
        dataPrj.validateAll();
        QVERIFY(!cmd(erase2)->validDev());
        QVERIFY(cmd(bad)->validDev());
        QVERIFY(!cmd(bad)->validParam());
    }

    void setProgEndsTheDevice()
    {
        setProg(cfg, "Box");
        const int dev = setDevice(cfg, "ChipA", "chipA.dev");
        setProg(cfg, "Box");
        const int read = add(cfg, "file_read");
        dataPrj.validateAll();
        QCOMPARE(cmd(read)->handler(), cmd(dev)->device());
        QVERIFY(!cmd(read)->device());
        QVERIFY(!cmd(read)->validDev());
        QCOMPARE(dataPrj.deviceNameAt(cfg, -1), QString());
        QCOMPARE(dataPrj.deviceCmdIndexBefore(read), -1);

        // Moving it above the second "set_prog" puts the device in force again.
        dataPrj.moveCmd(read, -1);
        QCOMPARE(cmd(read)->device(), cmd(dev)->device());
        QVERIFY(cmd(read)->validDev());
    }

    void setDeviceBeforeAnyProgrammer()
    {
        const int dev = setDevice(cfg, "ChipA", "chipA.dev");
        const int read = add(cfg, "file_read");
        dataPrj.validateAll();
        QVERIFY(cmd(dev)->device());
        QVERIFY(!cmd(dev)->prog());
        QVERIFY(!cmd(dev)->validDev());
        // A device chosen by an invalid "set_device" is in force for nobody.
        QVERIFY(!cmd(read)->handler());
        QVERIFY(!cmd(read)->validDev());
    }

    void walksStopAtOtherConfigurations()
    {
        setProg(cfg, "Box");
        setDevice(cfg, "ChipA", "chipA.dev");
        const int other = dataPrj.addCfg("other", QString());
        const int read = add(other, "file_read");
        const int vcc = add(other, "set_vcc");
        dataPrj.validateAll();
        QVERIFY(!cmd(read)->validDev());
        QVERIFY(!cmd(read)->prog());
        QVERIFY(!cmd(vcc)->validDev());
        QCOMPARE(dataPrj.progNameAt(other, -1), QString());
        QCOMPARE(dataPrj.progNameAt(cfg, -1), QString()); // the last command is another's
        QCOMPARE(dataPrj.progCmdBefore(read), static_cast<TDataCmd *>(nullptr));
        QCOMPARE(dataPrj.progNameAt(cfg, 99), QString());
    }

    void programmerProblems()
    {
        const int orphan = setProg(cfg, "Orphan"); // its type is not listed
        const int vcc = add(cfg, "set_vcc");
        const int dev = setDevice(cfg, "ChipA", "chipA.dev");
        const int read = add(cfg, "file_read");
        dataPrj.validateAll();
        QVERIFY(cmd(orphan)->validDev());
        QVERIFY(!cmd(orphan)->prog());
        QVERIFY(!cmd(vcc)->validDev());
        QVERIFY(!cmd(dev)->validDev());
        QVERIFY(!cmd(read)->validDev());

        QVERIFY(!dataPrj.progByName("Unknown"));
        QVERIFY(!dataPrj.progByName(QString()));
        QVERIFY(!dataPrj.progByName("Gone")); // its file does not exist
        QVERIFY(dataPrj.progByName("Box"));
    }

    void programmerMustOfferTheCommand()
    {
        setProg(cfg, "Box");
        const int gen = add(cfg, "generator"); // "false" in the description
        const int reset = add(cfg, "reset");   // absent from it
        const int vcc = add(cfg, "set_vcc");
        dataPrj.validateAll();
        QVERIFY(!cmd(gen)->validDev());
        QVERIFY(!cmd(reset)->validDev());
        QVERIFY(cmd(vcc)->validDev());
    }

    void cachesShareObjects()
    {
        setProg(cfg, "Box");
        const int a = setDevice(cfg, "Chip", "chipA.dev");
        const int b = setDevice(cfg, "Chip", "chipB.dev");
        setProg(cfg, "Box2");
        const int c = setProg(cfg, "Box2");
        const int before = TTestDevice::createdCount;
        dataPrj.validateAll();
        QCOMPARE(TTestDevice::createdCount, before + 1);
        QCOMPARE(cmd(a)->device(), cmd(b)->device());
        QCOMPARE(cmd(b)->device()->params().value("size"), QVariant(qlonglong(256)));
        QVERIFY(cmd(c)->prog() != cmd(a)->prog());
        IDevice *chip = cmd(a)->device();
        TProg *prog = cmd(a)->prog();

        // Served from the caches until they are cleared.
        dataPrj.validateAll();
        QCOMPARE(TTestDevice::createdCount, before + 1);
        QCOMPARE(dataPrj.deviceByName("Chip", "chipB.dev"), chip);
        QCOMPARE(dataPrj.progByName("Box"), prog);

        dataPrj.clearDeviceCache();
        dataPrj.validateAll();
        QCOMPARE(TTestDevice::createdCount, before + 2);
        QVERIFY(cmd(a)->device());
        QCOMPARE(cmd(a)->device()->name(), QStringLiteral("Chip"));
    }

    void failedRequestsAreRetried()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString file = tmp.filePath("late.dev");
        setProg(cfg, "Box");
        const int dev = setDevice(cfg, "Late", file);
        const int read = add(cfg, "file_read");
        dataPrj.validateAll();
        QVERIFY(!cmd(dev)->device());
        QVERIFY(!cmd(read)->validDev());

        QVERIFY(QFile::copy(fixtures + "/devices/chipB.dev", file));
        dataPrj.validateAll();
        QVERIFY(cmd(dev)->device());
        QVERIFY(cmd(read)->validDev());
    }

    void deviceNamedLikeAGroupNeedsItsFile()
    {
        // The description is missing: the family's group name must not stand
        // in for it, or the device commands would run on a device without
        // any parameters.
        setProg(cfg, "Box");
        const int dev = setDevice(cfg, "TestDev", "missing.dev");
        const int read = add(cfg, "file_read");
        dataPrj.validateAll();
        QVERIFY(!cmd(dev)->device());
        QVERIFY(!cmd(read)->handler());
        QVERIFY(!cmd(read)->device());
        QVERIFY(!cmd(read)->validDev());
        QVERIFY(!dataPrj.deviceByName("TestDev", QString()));
        QVERIFY(dataPrj.deviceByName("Tools", QString()));
    }

    void autoDetectHasADeviceOfItsOwn()
    {
        setProg(cfg, "Box");
        const int dev = setDevice(cfg, "ChipB", "chipB.dev");
        const int detect = add(cfg, "auto_detect", {{"name", "Family A"}});
        const int read = add(cfg, "file_read");
        const int lost = add(cfg, "auto_detect", {{"name", "Lost"}});
        dataPrj.validateAll();
        QCOMPARE(cmd(detect)->handler()->name(), QStringLiteral("Prog"));
        QVERIFY(cmd(detect)->device());
        QCOMPARE(cmd(detect)->device()->name(), QStringLiteral("Family A"));
        QCOMPARE(cmd(detect)->device()->params().value("size"), QVariant(qlonglong(256)));
        QVERIFY(cmd(detect)->validDev());
        // The device in force after it is still the one of "set_device".
        QCOMPARE(cmd(read)->device(), cmd(dev)->device());
        QVERIFY(cmd(read)->validDev());
        QVERIFY(!cmd(lost)->device());
        QVERIFY(cmd(lost)->validDev());
        QVERIFY(!cmd(lost)->validParam());
        QVERIFY(dataPrj.deviceCmdListAt(detect).isEmpty());
        QCOMPARE(dataPrj.deviceCmdListAt(read), QStringList({"file_read"}));
    }

    void hostileDescriptions()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QByteArray binary = hostile::noise(40000, 23);
        const QList<QPair<QString, QByteArray>> files = {
            {"empty", QByteArray()},
            {"binary", binary},
            {"truncated", QByteArray("gui_type=s|Test")},
            {"longline", QByteArray("gui_type=s|TestDev\ncmds=l|") + QByteArray(100000, 'x') + "\n"},
        };
        setProg(cfg, "Box");
        QList<int> reads;
        for (const auto &f : files) {
            QVERIFY(hostile::writeFile(tmp.filePath(f.first), f.second));
            setDevice(cfg, f.first, tmp.filePath(f.first));
            reads << add(cfg, "file_read");
        }
        dataPrj.validateAll();
        for (int id : reads)
            QVERIFY(!cmd(id)->validDev());
        // The long line was dropped, the rest of the file still counts.
        QVERIFY(dataPrj.deviceByName("longline", QString()));
        QVERIFY(dataPrj.deviceByName("longline", QString())->cmdList().isEmpty());
    }

    void hostileProgrammerFiles()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QByteArray binary = hostile::noise(40000, 5);
        const QList<QPair<QString, QByteArray>> files = {
            {"empty.ini", QByteArray()},
            {"binary.ini", binary},
            {"truncated.ini", QByteArray("[Commands]\nset_vcc=tr")},
            {"longline.ini", QByteArray("[Commands]\nset_io=") + QByteArray(100000, 't') + "\nset_vcc=true\n"},
        };
        for (const auto &f : files) {
            QVERIFY(hostile::writeFile(tmp.filePath(f.first), f.second));
            appData.progType.add(f.first, tmp.filePath(f.first));
            appData.progName.add(false, "P-" + f.first, QString(), f.first);
            setProg(cfg, "P-" + f.first);
            const int vcc = add(cfg, "set_vcc");
            dataPrj.validateAll();
            QVERIFY2(cmd(vcc)->prog(), qPrintable(f.first));
            if (f.first == QLatin1String("empty.ini"))
                QVERIFY(!cmd(vcc)->validDev());
            if (f.first == QLatin1String("longline.ini"))
                QVERIFY(cmd(vcc)->validDev());
        }
    }

    void absentIdOnlyMarksModified()
    {
        QSignalSpy prj(&dataPrj, &TDataPrj::signalChangePrj);
        QSignalSpy data(&dataPrj, &TDataPrj::signalChangeData);
        dataPrj.setCmdParam(12345, {{"value", "1"}});
        QCOMPARE(prj.count(), 1);
        QCOMPARE(prj.first().first().toBool(), true);
        QCOMPARE(data.count(), 0);
    }

    void ordinaryEditRechecksOnlyThatCommand()
    {
        setProg(cfg, "Box");
        setDevice(cfg, "ChipA", "chipA.dev");
        const int read = add(cfg, "file_read");
        const int erase = add(cfg, "erase");
        dataPrj.validateAll();
        // Stale flags elsewhere must stay as they are.
        cmd(erase)->setValidParam(false);
        cmd(read)->setValidDev(false);
        QSignalSpy data(&dataPrj, &TDataPrj::signalChangeData);
        const int checks = TTestDevice::checkCount;
        dataPrj.setCmdParam(read, {{REC_ID_CMD, read}, {"bad", "1"}, {"count", 16}});
        QCOMPARE(TTestDevice::checkCount, checks + 1);
        QVERIFY(!cmd(read)->validParam());
        QVERIFY(!cmd(read)->validDev());
        QVERIFY(!cmd(erase)->validParam());
        QCOMPARE(cmd(read)->params().value("count"), QVariant(QStringLiteral("16")));
        QVERIFY(!cmd(read)->params().contains(REC_ID_CMD));
        QCOMPARE(data.count(), 1);
        QCOMPARE(data.first().at(0).value<TCodeView>(), VIEW_CMD_PARAM);
        QCOMPARE(data.first().at(1).value<TData>(), cmd(read)->toHash());

        // "set_device" and "auto_detect" without their name keys are ordinary.
        const int dev = dataPrj.cmdIdAt(1);
        dataPrj.setCmdParam(dev, {{"clk", "50"}});
        QCOMPARE(cmd(dev)->params().value(SET_DEVICE_DEVICE), QVariant(QStringLiteral("ChipA")));
        QVERIFY(!cmd(erase)->validParam());
    }

    void newDeviceRevalidatesTheProject()
    {
        setProg(cfg, "Box");
        const int dev = setDevice(cfg, "ChipA", "chipA.dev");
        const int read = add(cfg, "file_read");
        const int erase = add(cfg, "erase");
        dataPrj.setCmdParam(dev, {{"clk", "1"}, {"extra", "x"}});
        dataPrj.validateAll();
        QVERIFY(cmd(erase)->validDev());

        dataPrj.setCmdParam(dev, {{REC_ID_CMD, dev}, {SET_DEVICE_DEVICE, "ChipB"},
                                  {SET_DEVICE_FILE, "chipB.dev"}});
        // The edit's keys and the new device's defaults, nothing older.
        TData expected{{SET_DEVICE_DEVICE, "ChipB"}, {SET_DEVICE_FILE, "chipB.dev"}, {"clk", "100"}};
        QCOMPARE(cmd(dev)->params(), expected);
        QCOMPARE(cmd(dev)->device()->name(), QStringLiteral("ChipB"));
        // The commands after it follow the new device and were normalised by it.
        QCOMPARE(cmd(read)->device(), cmd(dev)->device());
        QVERIFY(cmd(read)->validDev());
        QCOMPARE(cmd(read)->params().value("size"), QVariant(QStringLiteral("512")));
        QVERIFY(!cmd(erase)->validDev()); // ChipB offers no "erase"
    }

    void newProgrammerRevalidatesTheProject()
    {
        const int prog = setProg(cfg, "Orphan");
        const int dev = setDevice(cfg, "ChipA", "chipA.dev");
        const int read = add(cfg, "file_read");
        dataPrj.validateAll();
        QVERIFY(!cmd(read)->validDev());
        QSignalSpy data(&dataPrj, &TDataPrj::signalChangeData);
        dataPrj.setCmdParam(prog, {{REC_ID_CMD, prog}, {SET_PROG_PROG, "Box"}});
        QVERIFY(cmd(prog)->prog());
        QVERIFY(cmd(dev)->validDev());
        QVERIFY(cmd(read)->validDev());
        QVERIFY(!cmd(prog)->params().contains(REC_ID_CMD));
        QCOMPARE(data.count(), 1);
    }

    void newAutoDetectEntry()
    {
        setProg(cfg, "Box");
        const int detect = add(cfg, "auto_detect", {{"name", "Family A"}, {"stop", true}, {"execute", false},
                                                      {"route", "0x50=1"}});
        const int other = add(cfg, "file_read");
        dataPrj.validateAll();
        cmd(other)->setValidDev(true); // stale: no device is in force

        dataPrj.setCmdParam(detect, {{REC_ID_CMD, detect}, {"name", "Family B"}});
        const TData params = cmd(detect)->params();
        QCOMPARE(params.value("stop"), QVariant(QStringLiteral("true")));
        QCOMPARE(params.value("execute"), QVariant(QStringLiteral("false")));
        QVERIFY(!params.contains("route"));
        QCOMPARE(params.value("name"), QVariant(QStringLiteral("Family B")));
        QCOMPARE(params.value("clk"), QVariant(QStringLiteral("100"))); // the family's defaults
        QCOMPARE(cmd(detect)->device()->name(), QStringLiteral("Family B"));
        QVERIFY(cmd(other)->validDev()); // only the edited command was validated
    }

    void removeDeviceCommands()
    {
        setProg(cfg, "Box");
        const int dev = setDevice(cfg, "ChipA", "chipA.dev");
        add(cfg, "delay", {{"value", "1"}});
        const int read = add(cfg, "file_read");
        add(cfg, "set_vcc");
        add(cfg, "erase");
        setDevice(cfg, "ChipB", "chipB.dev");
        add(cfg, "file_read");
        const int other = dataPrj.addCfg("other", QString());
        add(other, "file_read");
        dataPrj.validateAll();

        QVERIFY(dataPrj.hasDeviceCmdAfter(dataPrj.cmdIndexById(dev)));
        QVERIFY(!dataPrj.hasDeviceCmdAfter(-1));
        QVERIFY(!dataPrj.hasDeviceCmdAfter(100));
        dataPrj.removeDeviceCmdsAfter(read);
        QCOMPARE(codesOfCfg(cfg), QStringList({"set_prog", "set_device", "delay", "set_vcc", "set_device",
                                               "file_read"}));
        QCOMPARE(codesOfCfg(other), QStringList({"file_read"}));
        QVERIFY(!dataPrj.hasDeviceCmdAfter(dataPrj.cmdIndexById(dev)));

        // Without a "set_device" in force nothing goes.
        const int first = dataPrj.cmdIdAt(0);
        dataPrj.removeDeviceCmdsAfter(first);
        QCOMPARE(codesOfCfg(cfg).size(), 6);
    }

    void selectorLists()
    {
        QCOMPARE(dataPrj.toolsCmdList(), TDevTools::cmdCodeList());
        const int first = add(cfg, "delay", {{"value", "1"}});
        setProg(cfg, "Box");
        const int dev = setDevice(cfg, "ChipA", "chipA.dev");
        dataPrj.validateAll();
        QVERIFY(dataPrj.progCmdListAt(first).isEmpty());
        QCOMPARE(dataPrj.progCmdListAt(dev), QStringList({"set_device", "auto_detect", "set_io", "set_vcc"}));
        QVERIFY(dataPrj.progCmdListAt(-1).isEmpty());
        QVERIFY(dataPrj.progCmdListAt(9999).isEmpty());
        QCOMPARE(dataPrj.deviceCmdListAt(dev), QStringList({"ident", "separator", "file_read", "erase"}));
        QVERIFY(dataPrj.deviceCmdListAt(first).isEmpty());
        QVERIFY(dataPrj.deviceCmdListAt(-1).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestValidation)
#include "test_validation.moc"
