// The project container: ids and positions, structural edits and their
// signals, navigation for runs, and ownership of what leaves the project
// while a run may still hold it.

#include <QtTest>

#include <QThread>
#include <atomic>

#include "core/consts.h"
#include "data/TDataCfg.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "support/FakeDevice.h"

namespace {

// The project with its device cache within reach of the tests.
class TestPrj : public TDataPrj
{
public:
    using TDataPrj::cacheDevice;
    using TDataPrj::cachedDevice;
};

TData cmdRecord(int cfgId, const QString &code, bool enabled = true)
{
    TData h;
    h.insert(REC_ID_CFG, cfgId);
    h.insert(REC_CMD, code);
    h.insert(REC_STATUS, enabled ? 1 : 0);
    return h;
}

QList<int> ids(const QList<TDataCmd *> &cmds)
{
    QList<int> list;
    for (const TDataCmd *cmd : cmds)
        list << cmd->id();
    return list;
}

} // namespace

class TestDataPrj : public QObject
{
    Q_OBJECT

private:
    TestPrj *prj = nullptr;

    // An open, empty project with fresh id counters.
    void reopen()
    {
        prj->setPrjFile(QStringLiteral("old.prj"));
        prj->clear();
        prj->setPrjFile(QStringLiteral("test.prj"));
    }

private slots:
    void initTestCase()
    {
        qRegisterMetaType<TCodeView>("TCodeView");
        qRegisterMetaType<TData>("TData");
    }

    void init()
    {
        prj = new TestPrj;
        reopen();
    }

    void cleanup()
    {
        delete prj;
        prj = nullptr;
        QCOMPARE(FakeDevice::instances, 0);
    }

    void cfgIdsPositionsAndClear()
    {
        QCOMPARE(prj->addCfg(QStringLiteral("A"), QString(), -1), 0);
        QCOMPARE(prj->addCfg(QStringLiteral("B"), QString(), 99), 1);
        QCOMPARE(prj->addCfg(QStringLiteral("C"), QString(), 0), 2);
        QCOMPARE(prj->cfgNames(), (QStringList{"C", "A", "B"}));
        QCOMPARE(prj->cfgIdAt(0), 2);
        QCOMPARE(prj->cfgIdAt(3), -1);
        QCOMPARE(prj->cfgIndexById(1), 2);
        QCOMPARE(prj->cfgIdByName(QStringLiteral("A")), 0);
        QCOMPARE(prj->cfgIdByName(QStringLiteral("a")), -1);

        // Removing the middle one keeps the others' ids; the freed id is not reused.
        prj->removeCfg(0);
        QCOMPARE(prj->cfgNames(), (QStringList{"C", "B"}));
        QCOMPARE(prj->cfgIndexById(1), 1);
        QCOMPARE(prj->addCfg(QStringLiteral("D"), QString(), -1), 3);

        prj->moveCfg(0, 2);
        QCOMPARE(prj->cfgNames(), (QStringList{"B", "D", "C"}));
        prj->moveCfg(0, 3); // out of range: nothing
        QCOMPARE(prj->cfgNames(), (QStringList{"B", "D", "C"}));

        prj->setCfgExecState(3, 4);
        QCOMPARE(prj->cfgExecState(3), 4);
        prj->setCfgExecState(42, 1);
        QCOMPARE(prj->cfgExecState(42), 0);
        QCOMPARE(prj->cfgName(42), QString());
        QVERIFY(!prj->cfgById(42));

        // A project without a file keeps everything on clear.
        prj->addCmd(cmdRecord(3, CMD_DELAY), -1);
        prj->setPrjFile(QString());
        prj->clear();
        QCOMPARE(prj->cfgList().size(), 3);
        QCOMPARE(prj->cmdList().size(), 1);

        // An open project is emptied and its counters start again.
        prj->setPrjFile(QStringLiteral("x.prj"));
        prj->setPrjName(QStringLiteral("entry"));
        prj->clear();
        QVERIFY(!prj->isOpen());
        QVERIFY(prj->cfgList().isEmpty());
        QVERIFY(prj->cmdList().isEmpty());
        QCOMPARE(prj->prjName(), QStringLiteral("entry"));
        QCOMPARE(prj->addCfg(QStringLiteral("A"), QString(), -1), 0);
        QCOMPARE(prj->addCmd(cmdRecord(0, CMD_DELAY), -1), 0);
    }

    void addCmdPositionsRecordKeysAndCopies()
    {
        const int a = prj->addCfg(QStringLiteral("A"), QString());
        TData h = cmdRecord(a, CMD_DELAY);
        h.insert(REC_ID_CMD, 57);
        h.insert(REC_VALID_DEV, true);
        h.insert(DELAY_VALUE, 100);
        QCOMPARE(prj->addCmd(h, -1), 0); // "id_cmd" of the record is ignored
        QCOMPARE(prj->addCmd(cmdRecord(a, CMD_STOP), 1), 1); // index == count appends
        QCOMPARE(prj->addCmd(cmdRecord(a, CMD_PAUSE, false), 0), 2);
        QCOMPARE(ids(prj->cmdList()), (QList<int>{2, 0, 1}));

        TDataCmd *first = prj->cmdById(0);
        QVERIFY(first);
        QCOMPARE(first->params().size(), 1);
        QCOMPARE(first->params().value(DELAY_VALUE).toInt(), 100);
        QCOMPARE(first->validDev(), false);
        QCOMPARE(prj->cmdById(2)->status(), false);
        QVERIFY(!prj->cmdById(-1));

        // Texts from a project file: "0" disables, "1" enables.
        TData text = cmdRecord(a, CMD_DELAY);
        text.insert(REC_STATUS, QStringLiteral("0"));
        text.insert(REC_ID_CFG, QString::number(a));
        QCOMPARE(prj->cmdById(prj->addCmd(text, -1))->status(), false);
        text.insert(REC_STATUS, QStringLiteral("1"));
        QCOMPARE(prj->cmdById(prj->addCmd(text, -1))->status(), true);

        // A copy made from the published form is a new command with the same content.
        const int copy = prj->addCmd(first->toHash(), prj->cmdIndexById(0) + 1);
        QCOMPARE(copy, 5);
        QCOMPARE(prj->cmdIdAt(2), copy);
        QCOMPARE(prj->cmdById(copy)->params(), first->params());
        QCOMPARE(prj->cmdById(copy)->cmd(), QString(CMD_DELAY));
        QCOMPARE(prj->cmdById(copy)->idCfg(), a);

        prj->setCmdStatus(copy, false);
        QCOMPARE(prj->cmdById(copy)->status(), false);
        prj->setCfgStatus(a, true);
        QVERIFY(prj->hasEnabledCmd(a));
        QCOMPARE(prj->cmdById(copy)->status(), true);
        prj->setCfgStatus(a, false);
        QVERIFY(!prj->hasEnabledCmd(a));
        QVERIFY(prj->hasInvalidDevCmd(a));
    }

    void rowsAndLookups()
    {
        const int a = prj->addCfg(QStringLiteral("A"), QString());
        const int b = prj->addCfg(QStringLiteral("B"), QString());
        for (int i = 0; i < 3; ++i)
            prj->addCmd(cmdRecord(a, CMD_DELAY), -1); // 0 1 2
        prj->addCmd(cmdRecord(b, CMD_DELAY), -1);     // 3
        prj->addCmd(cmdRecord(b, CMD_DELAY), -1);     // 4

        QCOMPARE(prj->cmdRowByIndex(2), 2);
        QCOMPARE(prj->cmdRowByIndex(3), 0);
        QCOMPARE(prj->cmdRowByIndex(4), 1);
        QCOMPARE(prj->cmdRowByIndex(5), -1);
        QCOMPARE(prj->cmdRowByIndex(-1), -1);
        QCOMPARE(prj->cmdRowInCfg(b, 4), 1);
        QCOMPARE(prj->cmdRowInCfg(a, 4), -1);
        QCOMPARE(prj->cmdRowInCfg(a, 77), -1);
        QCOMPARE(prj->cfgIdAtIndex(3), b);
        QCOMPARE(prj->cfgIdAtIndex(5), -1);
        QCOMPARE(prj->cfgIdOfCmd(1), a);
        QCOMPARE(prj->cfgIdOfCmd(9), -1);
        QCOMPARE(prj->cfgIndexOfCmd(4), 1);
        QCOMPARE(prj->cfgIndexOfCmd(9), -1);
        QCOMPARE(ids(prj->cmdsOfCfg(b)), (QList<int>{3, 4}));
        QVERIFY(prj->cmdsOfCfg(-1).isEmpty());

        TData h;
        h.insert(INFO_PRJ_FILE, QStringLiteral("/p/x.prj"));
        prj->fromHash(h);
        QCOMPARE(prj->prjFile(), QStringLiteral("/p/x.prj"));
        QCOMPARE(prj->workPath(), QString());
        QCOMPARE(prj->toHash().value(INFO_PRJ_FILE).toString(), QStringLiteral("/p/x.prj"));
        QVERIFY(prj->toHash().contains(PRJ_WORK_PATH));
    }

    void nextEnabledCmdWalksOneConfiguration()
    {
        const int a = prj->addCfg(QStringLiteral("A"), QString());
        const int b = prj->addCfg(QStringLiteral("B"), QString());
        const int c = prj->addCfg(QStringLiteral("C"), QString());
        const int a0 = prj->addCmd(cmdRecord(a, CMD_DELAY), -1);
        prj->addCmd(cmdRecord(b, CMD_DELAY), -1);
        const int aOff = prj->addCmd(cmdRecord(a, CMD_DELAY, false), -1);
        const int a1 = prj->addCmd(cmdRecord(a, CMD_STOP), -1);
        prj->addCmd(cmdRecord(c, CMD_DELAY, false), -1);

        QList<int> walk;
        for (TDataCmd *cmd = prj->nextEnabledCmd(a, -1); cmd; cmd = prj->nextEnabledCmd(a, cmd->id()))
            walk << cmd->id();
        QCOMPARE(walk, (QList<int>{a0, a1}));
        QVERIFY(!prj->nextEnabledCmd(c, -1));
        QCOMPARE(prj->nextEnabledCmd(a, aOff)->id(), a1);

        // After the previous command was removed the walk starts again.
        prj->removeCmd(a1);
        QCOMPARE(prj->nextEnabledCmd(a, a1)->id(), a0);
        QVERIFY(!prj->nextEnabledCmd(a, a0));
    }

    void moveCmdStaysWithinItsConfiguration()
    {
        const int a = prj->addCfg(QStringLiteral("A"), QString());
        const int b = prj->addCfg(QStringLiteral("B"), QString());
        prj->addCmd(cmdRecord(a, CMD_DELAY), -1); // 0
        prj->addCmd(cmdRecord(b, CMD_DELAY), -1); // 1
        prj->addCmd(cmdRecord(b, CMD_STOP), -1);  // 2
        prj->addCmd(cmdRecord(b, CMD_PAUSE), -1); // 3
        prj->resetModified();

        QSignalSpy spy(prj, &TDataPrj::signalChangePrj);
        prj->moveCmd(1, -1); // the command before belongs to A
        QCOMPARE(ids(prj->cmdList()), (QList<int>{0, 1, 2, 3}));
        QVERIFY(prj->isModified());
        QCOMPARE(spy.count(), 1);
        prj->moveCmd(3, 1); // past the end
        prj->moveCmd(0, -1);
        prj->moveCmd(42, 1);
        QCOMPARE(ids(prj->cmdList()), (QList<int>{0, 1, 2, 3}));

        prj->moveCmd(1, 1);
        QCOMPARE(ids(prj->cmdList()), (QList<int>{0, 2, 1, 3}));
        prj->moveCmd(3, -2);
        QCOMPARE(ids(prj->cmdList()), (QList<int>{0, 3, 2, 1}));
    }

    void everyEditMarksTheProjectModified_data()
    {
        QTest::addColumn<int>("edit");
        const char *names[] = {"addCfg", "removeCfg", "removeCfg none", "moveCfg", "setCfgName none",
                               "setCfgDescription", "addCmd", "removeCmd", "removeCmd none",
                               "removeCmdsOfCfg", "moveCmd", "setCmdStatus", "setCfgStatus",
                               "setCmdParam none"};
        for (int i = 0; i < int(sizeof(names) / sizeof(names[0])); ++i)
            QTest::newRow(names[i]) << i;
    }

    void everyEditMarksTheProjectModified()
    {
        QFETCH(int, edit);
        const int a = prj->addCfg(QStringLiteral("A"), QString());
        const int b = prj->addCfg(QStringLiteral("B"), QString());
        const int cmd = prj->addCmd(cmdRecord(a, CMD_DELAY), -1);
        prj->addCmd(cmdRecord(a, CMD_STOP), -1);
        prj->resetModified();

        QSignalSpy spy(prj, &TDataPrj::signalChangePrj);
        switch (edit) {
        case 0: prj->addCfg(QStringLiteral("C"), QString()); break;
        case 1: prj->removeCfg(b); break;
        case 2: prj->removeCfg(99); break;
        case 3: prj->moveCfg(0, 0); break;
        case 4: prj->setCfgName(99, QStringLiteral("x")); break;
        case 5: prj->setCfgDescription(a, QStringLiteral("x")); break;
        case 6: prj->addCmd(cmdRecord(b, CMD_STOP), -1); break;
        case 7: prj->removeCmd(cmd); break;
        case 8: prj->removeCmd(99); break;
        case 9: prj->removeCmdsOfCfg(a); break;
        case 10: prj->moveCmd(cmd, 1); break;
        case 11: prj->setCmdStatus(cmd, false); break;
        case 12: prj->setCfgStatus(a, false); break;
        case 13: prj->setCmdParam(99, TData()); break;
        }
        QVERIFY(prj->isModified());
        QVERIFY(spy.count() >= 1);
        for (const QList<QVariant> &args : qAsConst(spy))
            QCOMPARE(args.at(0).toBool(), true);
    }

    void stateNameAndPathsLeaveTheFlagAlone()
    {
        const int a = prj->addCfg(QStringLiteral("A"), QString());
        prj->resetModified();
        QSignalSpy spy(prj, &TDataPrj::signalChangePrj);
        prj->setCfgExecState(a, 1);
        prj->setPrjName(QStringLiteral("n"));
        prj->fromHash(TData());
        prj->validateAll();
        QVERIFY(!prj->isModified());
        QCOMPARE(spy.count(), 0);
        prj->setModified();
        prj->resetModified();
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toBool(), false);
    }

    void setCmdParamMergesChecksAndSignals()
    {
        const int a = prj->addCfg(QStringLiteral("A"), QString());
        const int id = prj->addCmd(cmdRecord(a, CMD_DELAY), -1);
        auto *tools = new FakeDevice(GROUP_TOOLS, {CMD_DELAY});
        prj->cacheDevice(GROUP_TOOLS, tools);
        prj->cmdById(id)->setHandler(tools);
        prj->resetModified();

        QSignalSpy data(prj, &TDataPrj::signalChangeData);
        QSignalSpy changed(prj, &TDataPrj::signalChangePrj);
        TData edit;
        edit.insert(REC_ID_CMD, id);
        edit.insert(DELAY_VALUE, 250);
        prj->setCmdParam(id, edit);

        QCOMPARE(changed.count(), 1);
        QCOMPARE(data.count(), 1);
        QCOMPARE(data.at(0).at(0).value<TCodeView>(), VIEW_CMD_PARAM);
        QCOMPARE(int(data.at(0).at(0).value<TCodeView>()), 12);
        const TData sent = data.at(0).at(1).value<TData>();
        QCOMPARE(sent, prj->cmdById(id)->toHash());
        QCOMPARE(sent.value(DELAY_VALUE), QVariant(QStringLiteral("250")));
        QCOMPARE(sent.value(REC_VALID_PARAM).toBool(), true);
        QCOMPARE(tools->lastChecked.value(DELAY_VALUE).toString(), QStringLiteral("250"));

        tools->checkResult = false;
        prj->setCmdParam(id, edit);
        QCOMPARE(prj->cmdById(id)->validParam(), false);

        // No command of that id: modified, but no data signal.
        prj->setCmdParam(77, edit);
        QCOMPARE(data.count(), 2);
        QCOMPARE(changed.count(), 3);

        // What a run stores is shown and saved like an edit, but leaves the
        // revision (what a check before a run found) standing while the
        // command's validity stays; an edit or a validity that moves does not.
        const quint64 before = TDataPrj::revision();
        prj->setCmdResult(id, DELAY_VALUE, QStringLiteral("300"));
        QCOMPARE(TDataPrj::revision(), before);
        QCOMPARE(data.count(), 3);
        QCOMPARE(changed.count(), 4);
        QCOMPARE(data.last().at(1).value<TData>().value(DELAY_VALUE), QVariant(QStringLiteral("300")));
        tools->checkResult = true;
        prj->setCmdResult(id, DELAY_VALUE, QStringLiteral("310"));
        QVERIFY(TDataPrj::revision() != before);
        const quint64 valid = TDataPrj::revision();
        prj->setCmdParam(id, edit);
        QVERIFY(TDataPrj::revision() != valid);
    }

    void normalizeAndRecheckAllCommands()
    {
        const int a = prj->addCfg(QStringLiteral("A"), QString());
        auto *chip = new FakeDevice(QStringLiteral("chip"), {CMD_FUSE_WRITE});
        prj->cacheDevice(QStringLiteral("chip"), chip);
        const int c1 = prj->addCmd(cmdRecord(a, CMD_FUSE_WRITE), -1);
        const int c2 = prj->addCmd(cmdRecord(a, CMD_FUSE_WRITE), -1);
        prj->addCmd(cmdRecord(a, CMD_DELAY), -1); // no handler: untouched
        prj->cmdById(c1)->setHandler(chip);
        prj->cmdById(c2)->setHandler(chip);
        chip->normalizeKey = REG_DATA;
        chip->normalizeValue = QStringLiteral("FE");
        TData already;
        already.insert(REG_DATA, QStringLiteral("FE"));
        prj->setCmdParam(c2, already);
        prj->resetModified();

        QSignalSpy changed(prj, &TDataPrj::signalChangePrj);
        prj->normalizeAllCmds();
        QCOMPARE(changed.count(), 1); // only c1 changed
        QCOMPARE(prj->cmdById(c1)->params().value(REG_DATA).toString(), QStringLiteral("FE"));

        chip->checkResult = true;
        prj->updateAllValidParam();
        QVERIFY(prj->cmdById(c1)->validParam());
        QVERIFY(prj->cmdById(c2)->validParam());
    }

    // ---- Ownership

    void removedRecordsStayReadableWhileARunHoldsThem()
    {
        const int a = prj->addCfg(QStringLiteral("A"), QString());
        const int b = prj->addCfg(QStringLiteral("B"), QString());
        TData h = cmdRecord(a, CMD_DELAY);
        h.insert(DELAY_VALUE, 100);
        const int id = prj->addCmd(h, -1);
        prj->addCmd(cmdRecord(b, CMD_STOP), -1);

        prj->beginRun();
        TDataCmd *held = prj->nextEnabledCmd(a, -1);
        TDataCfg *heldCfg = prj->cfgById(a);
        TDataCmd *other = prj->cmdById(1);
        prj->removeCfg(a);
        prj->removeCmd(1);
        QVERIFY(!prj->cmdById(id));
        QVERIFY(!prj->cfgById(a));
        // Still readable: the run may be in the middle of it.
        QCOMPARE(held->toHash().value(DELAY_VALUE).toInt(), 100);
        QCOMPARE(heldCfg->name(), QStringLiteral("A"));
        QCOMPARE(other->cmd(), QString(CMD_STOP));
        QVERIFY(!prj->nextEnabledCmd(a, held->id()));

        // Clearing the project keeps them too.
        prj->addCmd(cmdRecord(b, CMD_DELAY), -1);
        TDataCmd *third = prj->cmdList().first();
        prj->clear();
        QCOMPARE(third->cmd(), QString(CMD_DELAY));
        QCOMPARE(prj->addCfg(QStringLiteral("new"), QString()), 0);
        prj->endRun();
        QCOMPARE(prj->activeRuns(), 0);
        prj->endRun(); // unbalanced: harmless
        QCOMPARE(prj->activeRuns(), 0);
    }

    void devicesLiveWhileCommandsOrRunsUseThem()
    {
        const int a = prj->addCfg(QStringLiteral("A"), QString());
        const int id = prj->addCmd(cmdRecord(a, CMD_ERASE), -1);
        auto *chip = new FakeDevice(QStringLiteral("chip"), {CMD_ERASE});
        prj->cacheDevice(QStringLiteral("chip"), chip);
        prj->cmdById(id)->setHandler(chip);
        prj->cmdById(id)->setDevice(chip);
        QCOMPARE(FakeDevice::instances, 1);

        // Forgotten by the cache, but a command still points at it.
        prj->clearDeviceCache();
        QVERIFY(!prj->cachedDevice(QStringLiteral("chip")));
        QCOMPARE(FakeDevice::instances, 1);
        QVERIFY(chip->hasCmd(CMD_ERASE));

        // Re-pointed by validation while a run is active: still kept.
        prj->beginRun();
        prj->cmdById(id)->setHandler(nullptr);
        prj->cmdById(id)->setDevice(nullptr);
        prj->validateAll();
        QCOMPARE(FakeDevice::instances, 1);
        prj->endRun();
        QCOMPARE(FakeDevice::instances, 0);

        // A device dropped while idle and unused goes at once.
        prj->cacheDevice(QStringLiteral("x"), new FakeDevice(QStringLiteral("x")));
        prj->cacheDevice(QStringLiteral("x"), new FakeDevice(QStringLiteral("x")));
        QCOMPARE(FakeDevice::instances, 1);
        prj->clearDeviceCache();
        QCOMPARE(FakeDevice::instances, 0);

        // Removing the last command that used a forgotten device frees it.
        auto *second = new FakeDevice(QStringLiteral("chip"));
        prj->cacheDevice(QStringLiteral("chip"), second);
        prj->cmdById(id)->setHandler(second);
        prj->clearDeviceCache();
        QCOMPARE(FakeDevice::instances, 1);
        prj->removeCmd(id);
        prj->validateAll();
        QCOMPARE(FakeDevice::instances, 0);
    }

    void aRunEndingInAnotherThreadFreesInTheProjectThread()
    {
        const int a = prj->addCfg(QStringLiteral("A"), QString());
        const int id = prj->addCmd(cmdRecord(a, CMD_ERASE), -1);
        prj->cacheDevice(QStringLiteral("chip"), new FakeDevice(QStringLiteral("chip")));
        prj->beginRun();
        prj->removeCmd(id);
        prj->clearDeviceCache();
        QCOMPARE(FakeDevice::instances, 1);

        QThread *worker = QThread::create([this]() { prj->endRun(); });
        worker->start();
        QVERIFY(worker->wait(5000));
        delete worker;
        QCOMPARE(FakeDevice::instances, 1); // not freed in the worker thread
        QTRY_COMPARE(FakeDevice::instances, 0);
    }

    void aWalkingRunSurvivesEditsOfTheGuiThread()
    {
        const int a = prj->addCfg(QStringLiteral("A"), QString());
        for (int i = 0; i < 20; ++i) {
            TData h = cmdRecord(a, CMD_DELAY);
            h.insert(DELAY_VALUE, i);
            prj->addCmd(h, -1);
        }
        std::atomic<bool> done{false};
        std::atomic<int> reads{0};
        prj->beginRun();
        QThread *worker = QThread::create([&]() {
            int last = -1;
            while (!done) {
                TDataCmd *cmd = prj->nextEnabledCmd(a, last);
                if (!cmd) {
                    last = -1;
                    continue;
                }
                last = cmd->id();
                if (cmd->toHash().value(REC_CMD).toString() == QLatin1String(CMD_DELAY))
                    ++reads;
            }
        });
        worker->start();
        for (int round = 0; round < 300; ++round) {
            const QList<TDataCmd *> cmds = prj->cmdsOfCfg(a);
            prj->removeCmd(cmds.at(round % cmds.size())->id());
            prj->addCmd(cmdRecord(a, CMD_DELAY), round % 20);
        }
        QTRY_VERIFY(reads > 0);
        done = true;
        QVERIFY(worker->wait(5000));
        delete worker;
        prj->endRun();
        QCOMPARE(prj->cmdList().size(), 20);
    }

    void destructionFreesEverything()
    {
        auto *closed = new TestPrj;
        const int a = closed->addCfg(QStringLiteral("A"), QString());
        closed->addCmd(cmdRecord(a, CMD_DELAY), -1);
        closed->cacheDevice(QStringLiteral("d"), new FakeDevice(QStringLiteral("d")));
        closed->beginRun();
        closed->clearDeviceCache();
        closed->cacheDevice(QStringLiteral("e"), new FakeDevice(QStringLiteral("e")));
        QCOMPARE(FakeDevice::instances, 2);
        delete closed; // no file set: clear would keep the records
        QCOMPARE(FakeDevice::instances, 0);
    }
};

QTEST_GUILESS_MAIN(TestDataPrj)
#include "test_data_prj.moc"
