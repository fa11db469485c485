// The project file: its exact layout, references written as positions,
// escaping, the load results, and saves that fail without harming the file.

#include <QtTest>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

#include "core/consts.h"
#include "data/TCtrlProject.h"
#include "data/TDataCfg.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

TData cmdRecord(int cfgId, const QString &code, bool enabled = true)
{
    TData h;
    h.insert(REC_ID_CFG, cfgId);
    h.insert(REC_CMD, code);
    h.insert(REC_STATUS, enabled);
    return h;
}

} // namespace

class TestCtrlProject : public QObject
{
    Q_OBJECT

private:
    TDataPrj *prj = nullptr;
    QTemporaryDir tmp;

    QString path(const QString &name) const { return tmp.filePath(name); }
    QString example() const { return QStringLiteral(VELKOR_TEST_DATA_DIR "/project/example.prj"); }

    // Empties the project and restarts the id counters, as the main window
    // does before loading.
    void reopen()
    {
        prj->setPrjFile(QStringLiteral("x"));
        prj->clear();
    }

    QStringList lines(const QString &text) { return text.split(QLatin1Char('\n')); }

private slots:
    void init()
    {
        QVERIFY(tmp.isValid());
        prj = new TDataPrj;
        reopen();
    }

    void cleanup()
    {
        delete prj;
        prj = nullptr;
    }

    void exampleLoadsAndSavesBack()
    {
        TCtrlProject ctrl;
        QCOMPARE(ctrl.load(example(), prj), 0);
        QCOMPARE(prj->cfgNames(), QStringList{QStringLiteral("Config")});
        QCOMPARE(prj->cfgList().first()->id(), 0);
        QCOMPARE(prj->cfgList().first()->description(), QString());
        QCOMPARE(prj->cmdList().size(), 1);
        const TDataCmd *cmd = prj->cmdList().first();
        QCOMPARE(cmd->id(), 0);
        QCOMPARE(cmd->idCfg(), 0);
        QCOMPARE(cmd->status(), true);
        QCOMPARE(cmd->cmd(), QString(CMD_DELAY));
        TData params;
        params.insert(DELAY_VALUE, QStringLiteral("100"));
        QCOMPARE(cmd->params(), params);
        QCOMPARE(prj->prjFile(), QFileInfo(example()).absoluteFilePath());
        QCOMPARE(prj->workPath(), QFileInfo(example()).absolutePath());

        QVERIFY2(ctrl.save(path("copy.prj"), prj), qPrintable(ctrl.lastError()));
        QCOMPARE(readAll(path("copy.prj")), readAll(example()));
    }

    void layoutOfEmptyConfigurationsAndProjects()
    {
        QCOMPARE(lines(TCtrlProject::projectText(prj)),
                 (QStringList{"{", "    \"version\": 1,", "    \"configurations\":", "    [", "",
                              "    ]", "}", ""}));

        prj->addCfg(QStringLiteral("A"), QString());
        const int b = prj->addCfg(QStringLiteral("B"), QStringLiteral("two|nlines"));
        prj->addCmd(cmdRecord(b, CMD_STOP, false), -1);
        prj->addCmd(cmdRecord(b, CMD_PAUSE), -1);
        const QStringList expected{
            "{",
            "    \"version\": 1,",
            "    \"configurations\":",
            "    [",
            "        {",
            "            \"name\": \"A\",",
            "            \"description\": \"\",",
            "            \"commands\":",
            "            [",
            "",
            "            ]",
            "        },",
            "        {",
            "            \"name\": \"B\",",
            "            \"description\": \"two|nlines\",",
            "            \"commands\":",
            "            [",
            "                {\"status\": \"0\", \"cmd\": \"stop\"},",
            "                {\"status\": \"1\", \"cmd\": \"pause\"}",
            "            ]",
            "        }",
            "    ]",
            "}",
            ""};
        QCOMPARE(lines(TCtrlProject::projectText(prj)), expected);
    }

    void referencesAreWrittenAsPositions()
    {
        // Ids in memory differ from positions: remove and reorder first.
        const int gone = prj->addCfg(QStringLiteral("gone"), QString());
        const int first = prj->addCfg(QStringLiteral("first"), QString());
        const int second = prj->addCfg(QStringLiteral("second"), QString());
        prj->removeCfg(gone);
        prj->moveCfg(1, 0); // second, first
        const int deleted = prj->addCmd(cmdRecord(first, CMD_DELAY), -1);
        const int target = prj->addCmd(cmdRecord(first, CMD_STOP), -1);
        TData exec = cmdRecord(second, CMD_EXECUTE);
        exec.insert(EXECUTE_CFG, first);
        prj->addCmd(exec, -1);
        TData jump = cmdRecord(second, CMD_JAMP);
        jump.insert(JAMP_TO_CMD, target);
        prj->addCmd(jump, -1);
        TData lost = cmdRecord(second, CMD_JAMP);
        lost.insert(JAMP_TO_CMD, deleted);
        prj->addCmd(lost, -1);
        TData detect = cmdRecord(second, CMD_AUTO_DETECT);
        detect.insert(AUTO_ROUTE, QStringLiteral("X=%1|#note|bad|Y=%2|Z=42|W=x1|V=%3").arg(second).arg(first).arg(gone));
        detect.insert(AUTO_NAME, QStringLiteral("25xx"));
        prj->addCmd(detect, -1);
        TData noCfg = cmdRecord(second, CMD_EXECUTE);
        noCfg.insert(EXECUTE_CFG, QStringLiteral("abc"));
        prj->addCmd(noCfg, -1);
        prj->removeCmd(deleted);

        const QStringList text = lines(TCtrlProject::projectText(prj));
        // Written order: second's commands (positions 0..4), then first's "stop" (5).
        QVERIFY(text.contains("                {\"status\": \"1\", \"cmd\": \"execute\", \"cfg\": \"1\"},"));
        QVERIFY(text.contains("                {\"status\": \"1\", \"cmd\": \"jamp\", \"to_cmd\": \"5\"},"));
        QVERIFY(text.contains("                {\"status\": \"1\", \"cmd\": \"jamp\", \"to_cmd\": \"-1\"},"));
        // A route item that leads to no configuration stays as stored, the
        // id of one deleted since is written -1 (it would name another).
        QVERIFY(text.contains("                {\"status\": \"1\", \"cmd\": \"auto_detect\", \"name\": "
                              "\"25xx\", \"route\": \"X=0|#note|bad|Y=1|Z=42|W=x1|V=-1\"},"));
        // A damaged reference is no id: it stays as stored.
        QVERIFY(text.contains("                {\"status\": \"1\", \"cmd\": \"execute\", \"cfg\": \"abc\"}"));

        // Loaded into a cleared project the positions are the ids again.
        QVERIFY(TCtrlProject().save(path("refs.prj"), prj));
        reopen();
        QCOMPARE(TCtrlProject().load(path("refs.prj"), prj), 0);
        QCOMPARE(prj->cfgNames(), (QStringList{"second", "first"}));
        const TDataCmd *execCmd = prj->cmdById(0);
        QCOMPARE(prj->cfgName(execCmd->params().value(EXECUTE_CFG).toInt()), QStringLiteral("first"));
        QCOMPARE(prj->cmdById(prj->cmdById(1)->params().value(JAMP_TO_CMD).toInt())->cmd(),
                 QString(CMD_STOP));
        QCOMPARE(prj->cmdById(3)->params().value(AUTO_ROUTE).toString(), QStringLiteral("X=0|#note|bad|Y=1|Z=42|W=x1|V=-1"));
        QCOMPARE(prj->cmdById(4)->params().value(EXECUTE_CFG).toString(), QStringLiteral("abc"));
        QCOMPARE(prj->cfgIdOfCmd(5), 1);
    }

    void saveLoadSaveGivesTheSameFileAndEscapesRoundTrip()
    {
        const QString name = QStringLiteral("Quote \" back \\ tab \t nl \n bell \x07 ÄЖ€😀");
        const QString value = QStringLiteral("C:\\fw\\a.bin");
        const int a = prj->addCfg(name, QStringLiteral("desc|w with|n \\ escapes"));
        const int b = prj->addCfg(QStringLiteral("empty"), QString());
        Q_UNUSED(b)
        TData file = cmdRecord(a, CMD_FILE_WRITE);
        file.insert(FILE_FILE, value);
        file.insert(FILE_FORMAT, QStringLiteral("bin"));
        file.insert(FILE_ADDR_DEVICE, 0);
        file.insert(FILE_COUNT, qint64(1) << 40);
        file.insert(QStringLiteral("key \"odd\""), name);
        const int fileId = prj->addCmd(file, -1);
        // A whole published record merged back (as an executor storing a
        // value does) leaves record keys among the parameters; the file
        // must still hold each key once and the command stay enabled.
        prj->setCmdParam(fileId, prj->cmdById(fileId)->toHash());
        TData vcc = cmdRecord(a, CMD_SET_VICC, false);
        vcc.insert(SUPPLY_VCC, 3.3);
        vcc.insert(SUPPLY_OCP, true);
        prj->addCmd(vcc, -1);

        TCtrlProject ctrl;
        QVERIFY(ctrl.save(path("one.prj"), prj));
        reopen();
        QCOMPARE(ctrl.load(path("one.prj"), prj), 0);
        QCOMPARE(prj->cfgNames(), (QStringList{name, "empty"}));
        QCOMPARE(prj->cfgList().first()->description(), QStringLiteral("desc|w with|n \\ escapes"));
        const TData p = prj->cmdById(0)->params();
        QCOMPARE(prj->cmdById(0)->status(), true);
        QVERIFY(!p.contains(REC_ID_CFG));
        QCOMPARE(p.value(FILE_FILE).toString(), value);
        QCOMPARE(p.value(QStringLiteral("key \"odd\"")).toString(), name);
        QCOMPARE(p.value(FILE_COUNT).toString(), QStringLiteral("1099511627776"));
        QCOMPARE(p.value(FILE_ADDR_DEVICE).toString(), QStringLiteral("0"));
        const TData v = prj->cmdById(1)->params();
        QCOMPARE(prj->cmdById(1)->status(), false);
        QCOMPARE(v.value(SUPPLY_VCC).toDouble(), 3.3);
        QCOMPARE(v.value(SUPPLY_OCP).toBool(), true);

        QVERIFY(ctrl.save(path("two.prj"), prj));
        QCOMPARE(readAll(path("two.prj")), readAll(path("one.prj")));
        // Each command stays on one line.
        QCOMPARE(readAll(path("one.prj")).count('\n'), 23);
    }

    void loadResults()
    {
        TCtrlProject ctrl;
        QCOMPARE(ctrl.lastError(), QString());
        QCOMPARE(ctrl.load(path("missing.prj"), prj), 1);
        QVERIFY(!ctrl.lastError().isEmpty());
        QVERIFY(prj->cfgList().isEmpty());
        QVERIFY(!prj->isOpen());

        // Broken JSON adds nothing, not even the configurations before the fault.
        QVERIFY(writeAll(path("broken.prj"),
                         "{\"configurations\": [{\"name\": \"A\", \"commands\": []}, {\"name\": "));
        TCtrlProject broken;
        QCOMPARE(broken.load(path("broken.prj"), prj), 2);
        QVERIFY(!broken.lastError().isEmpty());
        QVERIFY(prj->cfgList().isEmpty());

        QVERIFY(writeAll(path("empty.prj"), QByteArray()));
        TCtrlProject empty;
        QCOMPARE(empty.load(path("empty.prj"), prj), 0);
        QCOMPARE(prj->cfgNames(), QStringList{QStringLiteral("Config")});
        QCOMPARE(empty.lastError(), QString());
        QVERIFY(prj->isOpen());

        // Valid JSON of another shape is refused whole, as broken JSON is:
        // values that are no texts would read as empty ones; an empty object
        // is a project of no configurations (each shape: test_file_shapes).
        reopen();
        QVERIFY(writeAll(path("bare.prj"), "{}"));
        QCOMPARE(TCtrlProject().load(path("bare.prj"), prj), 0);
        QVERIFY(prj->cfgList().isEmpty());
        QVERIFY(prj->isOpen());
        reopen();
        QVERIFY(writeAll(path("odd.prj"),
                         "{\"configurations\": [{\"name\": 5, \"commands\": [{\"cmd\": \"delay\", "
                         "\"status\": \"1\", \"value\": 100, \"id_cfg\": \"7\"}, 3]},"
                         " {\"name\": \"B\", \"commands\": {}}]}"));
        TCtrlProject odd;
        QCOMPARE(odd.load(path("odd.prj"), prj), 2);
        QVERIFY(!odd.lastError().isEmpty());
        QVERIFY(prj->cfgList().isEmpty());
        QVERIFY(!prj->isOpen());

        // Members a project does not hold are passed over, and a command
        // cannot move itself into another configuration.
        QVERIFY(writeAll(path("extra.prj"),
                         "{\"version\": 1, \"name\": 3, \"configurations\": [{\"name\": \"A\", "
                         "\"extra\": [1], \"commands\": [{\"cmd\": \"delay\", \"status\": \"1\", "
                         "\"value\": \"100\", \"id_cfg\": \"7\"}]}, {\"commands\": []}]}"));
        QCOMPARE(TCtrlProject().load(path("extra.prj"), prj), 0);
        QCOMPARE(prj->cfgNames(), (QStringList{"A", ""}));
        QCOMPARE(prj->cmdList().size(), 1);
        QCOMPARE(prj->cmdById(0)->params().value(DELAY_VALUE), QVariant(QStringLiteral("100")));
        QCOMPARE(prj->cmdById(0)->idCfg(), 0);
    }

    void aFailedSaveReportsAndKeepsTheOldFile()
    {
        prj->addCfg(QStringLiteral("A"), QString());
        const QByteArray old("old contents\n");

        TCtrlProject ctrl;
        QVERIFY(!ctrl.save(path("no/such/dir/x.prj"), prj));
        QVERIFY(!ctrl.lastError().isEmpty());

        // A folder that cannot be written (root writes anywhere, so only as a user).
        if (geteuid() != 0) {
            QDir().mkpath(path("ro"));
            QVERIFY(writeAll(path("ro/x.prj"), old));
            QFile::setPermissions(path("ro"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            TCtrlProject ro;
            QVERIFY(!ro.save(path("ro/x.prj"), prj));
            QVERIFY(!ro.lastError().isEmpty());
            QFile::setPermissions(path("ro"), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                  | QFileDevice::ExeOwner);
            QCOMPARE(readAll(path("ro/x.prj")), old);
        }

        // The disk fills up while writing: the old file stays whole.
        QVERIFY(writeAll(path("full.prj"), old));
        for (int i = 0; i < 200; ++i)
            prj->addCfg(QStringLiteral("configuration %1").arg(i), QString());
        struct rlimit saved;
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        struct rlimit small = saved;
        small.rlim_cur = 512;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        TCtrlProject full;
        const bool saved512 = full.save(path("full.prj"), prj);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!saved512);
        QVERIFY(!full.lastError().isEmpty());
        QCOMPARE(readAll(path("full.prj")), old);
        QCOMPARE(QDir(tmp.path()).entryList({"full.prj*"}, QDir::Files), QStringList{"full.prj"});

        // And a save that can write replaces it.
        QVERIFY(full.save(path("full.prj"), prj));
        QVERIFY(readAll(path("full.prj")).contains("configuration 199"));
    }
};

QTEST_GUILESS_MAIN(TestCtrlProject)
#include "test_ctrl_project.moc"
