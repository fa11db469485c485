// The programmer and tool command groups as command providers: their names,
// their codes and the checks of the tool commands.

#include <QtTest>

#include <memory>

#include "core/consts.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/TDevProg.h"
#include "devices/TDevTools.h"
#include "support/FakeDevice.h"

namespace {

TData record(const QString &code)
{
    TData h;
    h.insert(REC_CMD, code);
    return h;
}

} // namespace

class TestDevGroups : public QObject
{
    Q_OBJECT

private slots:
    void groupsAreKnownByTheirNames()
    {
        std::unique_ptr<IDevice> tools(TDevTools::create(GROUP_TOOLS, TData()));
        std::unique_ptr<IDevice> prog(TDevProg::create(GROUP_PROG, TData()));
        QCOMPARE(tools->objectName(), QStringLiteral("Tools"));
        QCOMPARE(prog->objectName(), QStringLiteral("Prog"));
        QVERIFY(!tools->isReset());
        QVERIFY(tools->params().contains(DEV_RESET));
        QVERIFY(prog->params().contains(DEV_RESET));
        QVERIFY(prog->devSetup(TData()).isEmpty());
        QVERIFY(prog->checkDevParam(TData()));
        TData form;
        form.insert(REC_ID_CMD, 3);
        form.insert(DELAY_VALUE, 5);
        QCOMPARE(tools->cmdParamFromForm(form), form);
    }

    void codeListsAreExactAndOrdered()
    {
        QCOMPARE(TDevTools::cmdCodeList(),
                 (QStringList{"set_prog", "execute", "delay", "counter", "jamp", "pause", "stop",
                              "separator", "calc_crc", "process"}));
        QCOMPARE(TDevProg::cmdCodeList(),
                 (QStringList{"set_device", "auto_detect", "reset", "generator", "set_io",
                              "set_vcc", "set_vpp", "set_vicc", "set_vipp"}));
        QVERIFY(TDevTools::hasCommand(CMD_SEPARATOR));
        QVERIFY(!TDevTools::hasCommand(QStringLiteral("Delay")));
        QVERIFY(!TDevTools::hasCommand(CMD_SET_VCC));
        QVERIFY(TDevProg::hasCommand(CMD_SET_VCC));
        QVERIFY(!TDevProg::hasCommand(QStringLiteral("Set_vcc")));
        QVERIFY(!TDevProg::hasCommand(CMD_SEPARATOR));
        TDevTools tools(GROUP_TOOLS, TData());
        QCOMPARE(tools.cmdList(), TDevTools::cmdCodeList());
        QVERIFY(tools.hasCmd(CMD_JAMP));
        QVERIFY(!tools.hasCmd(CMD_ERASE));
    }

    void toolChecks_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("valid");
        QTest::newRow("delay max") << "delay" << "value" << QVariant("2147483647") << true;
        QTest::newRow("delay past max") << "delay" << "value" << QVariant("2147483648") << false;
        QTest::newRow("delay negative") << "delay" << "value" << QVariant(-1) << false;
        QTest::newRow("counter value -1") << "counter" << "value" << QVariant(-1) << false;
        QTest::newRow("counter delta -1") << "counter" << "delta" << QVariant("-1") << true;
        QTest::newRow("counter delta past int")
            << "counter" << "delta" << QVariant("-2147483649") << false;
        QTest::newRow("counter limit past max") << "counter" << "limit" << QVariant("2147483648") << false;
        QTest::newRow("process empty") << "process" << "file" << QVariant("") << false;
        QTest::newRow("process") << "process" << "file" << QVariant("make all") << true;
        QTest::newRow("calc_crc with a file") << "calc_crc" << "file" << QVariant("fw.bin") << true;
        QTest::newRow("calc_crc without a file") << "calc_crc" << "file" << QVariant("") << false;
        QTest::newRow("pause") << "pause" << "x" << QVariant() << true;
        QTest::newRow("stop") << "stop" << "x" << QVariant() << true;
        QTest::newRow("separator") << "separator" << "x" << QVariant() << false;
        QTest::newRow("foreign code") << "set_vcc" << "vcc" << QVariant(5) << false;
    }

    void toolChecks()
    {
        QFETCH(QString, code);
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QFETCH(bool, valid);
        TData h = record(code);
        if (code == QLatin1String(CMD_COUNTER)) {
            h.insert(COUNTER_VALUE, 0);
            h.insert(COUNTER_LIMIT, 0);
            h.insert(COUNTER_DELTA, 1);
        }
        if (value.isValid())
            h.insert(key, value);
        TDevTools tools(GROUP_TOOLS, TData());
        QCOMPARE(bool(tools.checkCmdParam(h)), valid);
    }

    void checksThatReadTheProject()
    {
        dataPrj.setPrjFile(QStringLiteral("t.prj"));
        dataPrj.clear();
        dataPrj.setPrjFile(QStringLiteral("t.prj"));
        const int a = dataPrj.addCfg(QStringLiteral("A"), QString());
        TData first;
        first.insert(REC_ID_CFG, a);
        first.insert(REC_CMD, QString(CMD_SET_PROG));
        const int setProg = dataPrj.addCmd(first, -1);
        TDevTools tools(GROUP_TOOLS, TData());

        TData jamp = record(CMD_JAMP);
        jamp.insert(JAMP_TO_CMD, -1); // the default of a jump in an empty configuration
        QVERIFY(!tools.paramCheck(jamp));
        jamp.insert(JAMP_TO_CMD, QString::number(setProg));
        QVERIFY(tools.paramCheck(jamp));
        jamp.insert(JAMP_TO_CMD, setProg + 1);
        QVERIFY(!tools.paramCheck(jamp));

        TData exec = record(CMD_EXECUTE);
        exec.insert(EXECUTE_CFG, QString::number(a));
        QVERIFY(tools.paramCheck(exec));
        exec.insert(EXECUTE_CFG, a + 1);
        QVERIFY(!tools.paramCheck(exec));

        // References as a hand-edited project file may hold them: texts that
        // are no whole number read as 0, yet name no record (the file writes
        // them back as they stand).
        for (const char *text : {"", "abc", "4294967296", "0x0"}) {
            jamp.insert(JAMP_TO_CMD, QString::fromLatin1(text));
            QVERIFY2(!tools.paramCheck(jamp), text);
            exec.insert(EXECUTE_CFG, QString::fromLatin1(text));
            QVERIFY2(!tools.paramCheck(exec), text);
        }
        jamp.remove(JAMP_TO_CMD);
        QVERIFY(!tools.paramCheck(jamp));
        exec.remove(EXECUTE_CFG);
        QVERIFY(!tools.paramCheck(exec));

        // "set_prog" is valid once validation found its programmer description.
        TData prog = dataPrj.cmdById(setProg)->toHash();
        QVERIFY(!tools.checkCmdParam(prog));

        // The device of a "set_device" judges its device-level parameters.
        TData dev;
        dev.insert(REC_ID_CFG, a);
        dev.insert(REC_CMD, QString(CMD_SET_DEVICE));
        const int setDevice = dataPrj.addCmd(dev, -1);
        TDevProg progGroup(GROUP_PROG, TData());
        QVERIFY(!progGroup.checkCmdParam(dataPrj.cmdById(setDevice)->toHash()));
        FakeDevice chip(QStringLiteral("chip"));
        dataPrj.cmdById(setDevice)->setDevice(&chip);
        QVERIFY(progGroup.checkCmdParam(dataPrj.cmdById(setDevice)->toHash()));
        chip.checkResult = false;
        QVERIFY(!progGroup.checkCmdParam(dataPrj.cmdById(setDevice)->toHash()));
        dataPrj.cmdById(setDevice)->setDevice(nullptr);
        dataPrj.clear();
    }
};

QTEST_GUILESS_MAIN(TestDevGroups)
#include "test_dev_groups.moc"
