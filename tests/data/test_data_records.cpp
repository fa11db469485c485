// The command and configuration records: ids, conversions to and from the
// parameter record, and the two calls into the command's handler.

#include <QtTest>

#include "core/consts.h"
#include "data/TDataCfg.h"
#include "data/TDataCmd.h"
#include "support/FakeDevice.h"

class TestDataRecords : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        TDataCfg::resetIdCounter();
        TDataCmd::resetIdCounter();
    }

    void idCountersArePerClassAndNeverReuse()
    {
        TDataCfg cfg0;
        TDataCmd cmd0(true, 0, CMD_DELAY, {});
        QCOMPARE(cfg0.id(), 0);
        QCOMPARE(cmd0.id(), 0);
        {
            TDataCmd cmd1(true, 0, CMD_DELAY, {});
            QCOMPARE(cmd1.id(), 1);
        }
        // The id of a destroyed record is not handed out again.
        TDataCmd cmd2(true, 0, CMD_DELAY, {});
        QCOMPARE(cmd2.id(), 2);
        TDataCfg cfg1(QStringLiteral("B"), QStringLiteral("d"));
        QCOMPARE(cfg1.id(), 1);

        TDataCmd::resetIdCounter();
        TDataCmd again(true, 0, CMD_DELAY, {});
        QCOMPARE(again.id(), 0);
        TDataCfg cfg2;
        QCOMPARE(cfg2.id(), 2);
    }

    void cfgHashCarriesTheNameOnly()
    {
        TDataCfg cfg(QStringLiteral("Main"), QStringLiteral("text"));
        cfg.setExecState(3);
        const TData h = cfg.toHash();
        QCOMPARE(h.size(), 1);
        QCOMPARE(h.value(PRJ_NAME).toString(), QStringLiteral("Main"));

        cfg.fromHash(TData());
        QCOMPARE(cfg.name(), QString());
        QCOMPARE(cfg.description(), QStringLiteral("text"));
        QCOMPARE(cfg.execState(), 3);
    }

    void toHashShowsTheRecordsOwnValues()
    {
        TData params;
        params.insert(REC_CMD, QStringLiteral("forged")); // a parameter named like a record key
        params.insert(DELAY_VALUE, 100);
        TDataCmd cmd(false, 7, CMD_DELAY, params);
        cmd.setValidDev(true);

        const TData h = cmd.toHash();
        QCOMPARE(h.value(REC_CMD).toString(), QString(CMD_DELAY));
        QCOMPARE(h.value(REC_ID_CMD).toInt(), cmd.id());
        QCOMPARE(h.value(REC_ID_CFG).toInt(), 7);
        QCOMPARE(h.value(REC_STATUS).toBool(), false);
        QCOMPARE(h.value(REC_VALID_DEV).toBool(), true);
        QCOMPARE(h.value(REC_VALID_PARAM).toBool(), false);
        QCOMPARE(h.value(DELAY_VALUE).toInt(), 100);
        QCOMPARE(h.size(), 7);
    }

    void fromHashTakesTextsAndDropsRecordKeys_data()
    {
        QTest::addColumn<QVariant>("status");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("text 0") << QVariant(QStringLiteral("0")) << false;
        QTest::newRow("text false") << QVariant(QStringLiteral("false")) << false;
        QTest::newRow("text 1") << QVariant(QStringLiteral("1")) << true;
        QTest::newRow("bool") << QVariant(true) << true;
        QTest::newRow("absent") << QVariant() << false;
    }

    void fromHashTakesTextsAndDropsRecordKeys()
    {
        QFETCH(QVariant, status);
        QFETCH(bool, enabled);
        TDataCmd cmd(!enabled, 1, CMD_DELAY, {});
        TData h;
        if (status.isValid())
            h.insert(REC_STATUS, status);
        h.insert(REC_ID_CFG, QStringLiteral("4"));
        h.insert(REC_CMD, QStringLiteral("stop"));
        h.insert(REC_ID_CMD, 99);
        h.insert(REC_VALID_DEV, true);
        h.insert(REC_VALID_PARAM, true);
        h.insert(DELAY_VALUE, QStringLiteral("7"));
        const int id = cmd.id();
        cmd.fromHash(h);

        QCOMPARE(cmd.status(), enabled);
        QCOMPARE(cmd.idCfg(), 4);
        QCOMPARE(cmd.cmd(), QStringLiteral("stop"));
        QCOMPARE(cmd.id(), id);
        QCOMPARE(cmd.validDev(), false);
        TData expected;
        expected.insert(DELAY_VALUE, QStringLiteral("7"));
        QCOMPARE(cmd.params(), expected);
    }

    void putParamsMergesAsText()
    {
        TData params;
        params.insert(COUNTER_VALUE, 1);
        params.insert(COUNTER_LIMIT, 10);
        TDataCmd cmd(true, 0, CMD_COUNTER, params);

        TData onlyId;
        onlyId.insert(REC_ID_CMD, cmd.id());
        cmd.putParams(onlyId);
        QCOMPARE(cmd.params(), params);

        TData edit;
        edit.insert(REC_ID_CMD, cmd.id());
        edit.insert(COUNTER_VALUE, 5);
        edit.insert(SUPPLY_OCP, true);
        edit.insert(SUPPLY_VCC, 3.3);
        edit.insert(REC_STATUS, false); // stored like a parameter, shadowed by toHash
        cmd.putParams(edit);

        const TData p = cmd.params();
        QCOMPARE(p.value(COUNTER_VALUE), QVariant(QStringLiteral("5")));
        QCOMPARE(p.value(SUPPLY_OCP), QVariant(QStringLiteral("true")));
        QCOMPARE(p.value(SUPPLY_VCC), QVariant(QStringLiteral("3.3")));
        QCOMPARE(p.value(COUNTER_LIMIT), QVariant(10)); // untouched keys stay as they were
        QVERIFY(!p.contains(REC_ID_CMD));
        QCOMPARE(cmd.status(), true);
        QCOMPARE(cmd.toHash().value(REC_STATUS).toBool(), true);
        // Values back from text convert as before.
        QCOMPARE(p.value(COUNTER_VALUE).toInt(), 5);
        QCOMPARE(p.value(SUPPLY_OCP).toBool(), true);
        QCOMPARE(p.value(SUPPLY_VCC).toDouble(), 3.3);
    }

    void normalizeAndCheckGoThroughTheHandler()
    {
        TData params;
        params.insert(REG_DATA, QStringLiteral("00"));
        TDataCmd cmd(true, 2, CMD_STATUS_REG_WRITE, params);

        // Without a handler nothing changes.
        QVERIFY(!cmd.normalizeParams());
        cmd.setValidParam(true);
        cmd.updateValidParam();
        QCOMPARE(cmd.validParam(), true);
        QCOMPARE(cmd.params(), params);

        FakeDevice device(QStringLiteral("chip"), {CMD_STATUS_REG_WRITE});
        cmd.setHandler(&device);
        device.checkResult = false;
        cmd.updateValidParam();
        QCOMPARE(cmd.validParam(), false);
        QCOMPARE(device.lastChecked.value(REC_ID_CMD).toInt(), cmd.id());
        QCOMPARE(device.lastChecked.value(REC_CMD).toString(), QString(CMD_STATUS_REG_WRITE));

        device.normalizeKey = REG_DATA;
        device.normalizeValue = QStringLiteral("FF");
        QVERIFY(cmd.normalizeParams());
        QCOMPARE(cmd.params().value(REG_DATA).toString(), QStringLiteral("FF"));
        QCOMPARE(cmd.params().size(), 1);
        QCOMPARE(cmd.idCfg(), 2);
        QCOMPARE(cmd.cmd(), QString(CMD_STATUS_REG_WRITE));
        QVERIFY(!cmd.normalizeParams());
    }
};

QTEST_GUILESS_MAIN(TestDataRecords)
#include "test_data_records.moc"
