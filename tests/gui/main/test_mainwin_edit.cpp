// Configuration and command editing through the main window's actions, with
// the focus in the command table and the questions answered on their
// buttons: insert positions, copy and paste into another project, the
// delete rules, moves at configuration borders, configurations, the
// refusal of structural edits of a configuration a worker runs, and what
// pasted references name, run on the fake programmer.

#include "core/TAppData.h"
#include "core/TCmdCode.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TCtrlProject.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/param_schema.h"
#include "gui/dialogs/TDialogCmdSelector.h"
#include "gui/dialogs/TDialogSmall.h"
#include "gui/main/TMainWindow.h"
#include "gui/main/startup.h"
#include "gui/views/TWgtCmdList.h"
#include "gui/views/TWgtConfig.h"
#include "gui/views/TWgtLogExec.h"
#include "gui/views/TWgtPrjList.h"
#include "gui/views/view_messages.h"
#include "gui/widgets/TButtonAction.h"
#include "gui/widgets/TWgtStatusBar.h"
#include "support/ExecHarness.h"
#include "support/FakeProgrammer.h"
#include "support/ModalAnswer.h"
#include "support/Spi25Chip.h"
#include "support/WindowDriver.h"

#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// Answers the next configuration-name dialog with that name and OK.
void answerName(const QString &text)
{
    answerModal<TDialogCfgEdit>([text](TDialogCfgEdit *dialog) {
        auto *edit = dialog->findChild<QLineEdit *>();
        QVERIFY(edit);
        edit->setText(text);
        dialog->accept();
    });
}

QStringList codes(int cfg)
{
    QStringList r;
    for (const TDataCmd *cmd : dataPrj.cmdsOfCfg(cfg))
        r << cmd->cmd();
    return r;
}

// What the references of a command name: "configuration.row" for a
// command, the name of a configuration, "-" for nothing; joined by "|".
QString namesOf(const TDataCmd *cmd)
{
    QStringList names;
    for (const schema::Reference &r : schema::referencesOf(cmd->toHash())) {
        const int id = schema::targetOf(r);
        const int cfg = r.names == schema::Kind::Command ? dataPrj.cfgIdOfCmd(id) : id;
        names << (id < 0 ? QStringLiteral("-") : dataPrj.cfgName(cfg));
        if (id >= 0 && r.names == schema::Kind::Command)
            names.last() += QStringLiteral(".%1").arg(dataPrj.cmdRowInCfg(cfg, id));
    }
    return names.join(QLatin1Char('|'));
}

} // namespace

class TestMainWinEdit : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    QString at(const QString &n) const { return home.filePath(n); }

    void writeProject(const QString &file, int withPause)
    {
        dataPrj.clear();
        dataPrj.fromHash({{INFO_PRJ_FILE, at(file)}, {PRJ_WORK_PATH, home.path()}});
        const int a = dataPrj.addCfg(QStringLiteral("A"), QString());
        addToolCmd(a, withPause ? CMD_PAUSE : CMD_DELAY);
        addToolCmd(a, CMD_DELAY, {{DELAY_VALUE, 2}});
        addToolCmd(a, CMD_STOP);
        const int b = dataPrj.addCfg(QStringLiteral("B"), QString());
        addToolCmd(b, CMD_DELAY, {{DELAY_VALUE, 3}});
        addToolCmd(b, CMD_DELAY, {{DELAY_VALUE, 4}});
        TCtrlProject ctrl;
        QVERIFY(ctrl.save(at(file), &dataPrj));
        dataPrj.clear();
    }

    // A programmer and a 24C16 in the first configuration, a 25xx flash in
    // the second.
    void writeChipProject()
    {
        appData.setFolder(&TAppData::pathDevices, QStringLiteral(VELKOR_SOURCE_DIR "/runtime/devices"));
        appData.setFolder(&TAppData::pathProgs, QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs"));
        useProgrammer(QStringLiteral("Emu"), QStringLiteral("/dev/null"), QStringLiteral("Emulated"),
                      QStringLiteral("emulator.ini"));
        dataPrj.clear();
        dataPrj.fromHash({{INFO_PRJ_FILE, at("chips.prj")}, {PRJ_WORK_PATH, home.path()}});
        const struct { const char *name, *device, *file; } cfgs[] = {
            {"Eeprom", "24C16", "24xx/24c16.dev"}, {"Flash", "W25Q16JV", "25xx/w25q16jv.dev"}};
        for (const auto &c : cfgs) {
            const int cfg = dataPrj.addCfg(QLatin1String(c.name), QString());
            addToolCmd(cfg, CMD_SET_PROG, {{SET_PROG_PROG, QStringLiteral("Emu")}});
            dataPrj.addCmd({{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_SET_DEVICE},
                            {SET_DEVICE_DEVICE, QLatin1String(c.device)}, {SET_DEVICE_FILE, QLatin1String(c.file)}});
        }
        TCtrlProject ctrl;
        QVERIFY(ctrl.save(at("chips.prj"), &dataPrj));
        dataPrj.clear();
    }

    // Refs: Loop jumps back to its delay until its counter ends the run; B
    // delays; Exec executes B; Detect routes the flash in the socket back to
    // itself (its counter ends that) and another chip to B; Dest. Other:
    // configurations at the ids of the targets in Refs.
    void writeReferenceProjects()
    {
        const QString prog = R"({"status": "1", "cmd": "set_prog", "prog": "Emu"})";
        const QString delay = R"({"status": "1", "cmd": "delay", "value": "1"})";
        const QString counter = R"({"status": "1", "cmd": "counter", "value": "0", "limit": "2", "delta": "1"})";
        const auto write = [this](const char *file, const QStringList &cfgs) {
            QFile f(at(file));
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(QStringLiteral("{\"configurations\": [%1]}").arg(cfgs.join(',')).toUtf8());
        };
        const auto cfg = [](const char *name, const QStringList &cmds) {
            return QStringLiteral(R"({"name": "%1", "commands": [%2]})").arg(name, cmds.join(','));
        };
        write("refs.prj", {cfg("Loop", {prog, delay, counter, R"({"status": "1", "cmd": "jamp", "to_cmd": "1"})"}),
                           cfg("B", {delay}), cfg("Exec", {prog, R"({"status": "1", "cmd": "execute", "cfg": "1"})"}),
                           cfg("Detect", {prog, counter, R"({"status": "1", "cmd": "auto_detect", "clk": "1000000",)"
                                                         R"("execute": "0", "stop": "1", "name": "25xx SPI flash",)"
                                                         R"("route": "EF4016=3|C84016=1"})"}),
                           cfg("Dest", {prog, delay})});
        write("other.prj", {cfg("O0", {prog, delay}), cfg("O1", {prog}), cfg("O2", {}), cfg("O3", {})});
    }

    static TDialogCmdSelector *selector()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *s = qobject_cast<TDialogCmdSelector *>(w))
                return s;
        return nullptr;
    }

    void trigger(TMainWindow &w, const char *name)
    {
        QAction *a = w.action(QLatin1String(name));
        QVERIFY2(a, name);
        a->setEnabled(true);
        a->trigger();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(home.isValid());
        setAppFileLocation(home.path());
        registerMetaTypes();
        lang.load(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/language/eng.lng"));
        writeProject(QStringLiteral("one.prj"), 0);
        writeProject(QStringLiteral("two.prj"), 1);
        writeChipProject();
        QFile list(at("list.lst"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("{\"list\": [{\"name\": \"One\", \"file\": \"one.prj\"}, {\"name\": \"Two\", \"file\": \"two.prj\"},"
                   " {\"name\": \"Chips\", \"file\": \"chips.prj\"}, {\"name\": \"Refs\", \"file\": \"refs.prj\"},"
                   " {\"name\": \"Other\", \"file\": \"other.prj\"}]}");
        list.close();
        openAtStart(home.path(), QStringLiteral("list.lst"), 0);
        appData.autoSavePrj = false;
        appData.confirmQuit = false;
        appData.confirmExecConfig = false;
        appData.cmdAddState = true;
        appData.confirmCmdPaste = true;
        appData.confirmCmdDeleteAll = true;
        appData.confirmCmdDeleteCur = false;
        appData.confirmCmdDeleteSelected = false;
        appData.confirmCmdInsertProgDevice = false;
        appData.confirmConfigDeleteCur = false;
    }
    void cleanup()
    {
        finishModalAnswers();
        dataPrj.resetModified();
        appData.lastPrj = 0;
    }

    // Inserts, copies and pastes, deletes and moves within one window.
    void commands()
    {
        TMainWindow w;
        w.show();
        const int a = w.prjView()->cfgIdAt(0);
        const int b = w.prjView()->cfgIdAt(1);

        // The focus rule: with the focus in the tree, nothing.
        w.prjView()->selectCfgCmd(0, 0);
        w.prjList()->setFocus();
        trigger(w, "CmdNewSetProgDevice");
        QCOMPARE(codes(a).size(), 3);

        // set_prog and set_device right after the current row, set_device current.
        focusCmdRow(w, 0, 0);
        trigger(w, "CmdNewSetProgDevice");
        QCOMPARE(codes(a), (QStringList{"delay", "set_prog", "set_device", "delay", "stop"}));
        QCOMPARE(w.prjView()->currentRow(), 2);
        QCOMPARE(w.prjView()->currentCmdCode(), QStringLiteral("set_device"));

        // A chip command where no device is in force inserts nothing.
        focusCmdRow(w, 1, 0);
        w.slotNewCmd(QStringLiteral("erase"), true);
        QCOMPARE(codes(b).size(), 2);
        // With no current command a new one joins its configuration's end,
        // never another configuration's commands.
        w.prjView()->selectCfgCmd(0, 0);
        w.prjView()->currentPage()->cmdList()->table()->setCurrentItem(nullptr);
        QCOMPARE(w.prjView()->currentCmdId(), -1);
        w.slotNewCmd(QStringLiteral("delay"), true);
        QCOMPARE(codes(a).size(), 6);
        QCOMPARE(dataPrj.cmdList().at(5)->idCfg(), a);

        // Copy three checked commands of B... (B's two plus none unchecked)
        focusCmdRow(w, 1, 0);
        trigger(w, "CmdCopySelected");
        QVERIFY(w.action("CmdPaste")->text().endsWith(QStringLiteral("[Selected]")));
        QString question;
        answerButton(QMessageBox::Yes, &question);
        focusCmdRow(w, 1, 1);
        trigger(w, "CmdPaste");
        QCOMPARE(question, lang.text(130));
        QCOMPARE(codes(b).size(), 4);
        QCOMPARE(w.statusBarWidget()->currentMessage(), lang.text(132));

        // Moves stop at the configuration's border.
        focusCmdRow(w, 1, 0);
        const int first = w.prjView()->currentCmdId();
        trigger(w, "CmdMoveUp");
        QCOMPARE(dataPrj.cmdsOfCfg(b).first()->id(), first);
        trigger(w, "CmdMoveDown");
        QCOMPARE(dataPrj.cmdsOfCfg(b).at(1)->id(), first);
        focusCmdRow(w, 0, 5);
        const int last = w.prjView()->currentCmdId();
        trigger(w, "CmdMoveDown");
        QCOMPARE(dataPrj.cmdsOfCfg(a).last()->id(), last);

        // Delete rules and their messages.
        focusCmdRow(w, 0, 0);
        answerButton(QMessageBox::Ok, &question);
        trigger(w, "CmdDeleteDev");
        QCOMPARE(question, lang.text(144).arg(cmdCode.name(QStringLiteral("set_device"))));
        focusCmdRow(w, 0, 2);
        answerButton(QMessageBox::Ok, &question);
        trigger(w, "CmdDeleteDev");
        QCOMPARE(question, lang.text(145).arg(QString()));
        focusCmdRow(w, 0, 2);
        trigger(w, "CmdDeleteCur");
        QCOMPARE(codes(a), (QStringList{"delay", "set_prog", "delay", "stop", "delay"}));
        focusCmdRow(w, 0, 0);
        answerButton(QMessageBox::No, &question);
        trigger(w, "CmdDeleteAll");
        QCOMPARE(question, lang.text(149).arg(QStringLiteral("A")));
        QCOMPARE(codes(a).size(), 5);
        focusCmdRow(w, 0, 0);
        trigger(w, "CmdUncheckAll");
        answerButton(QMessageBox::Ok, &question);
        trigger(w, "CmdDeleteSelected");
        QCOMPARE(question, lang.text(135));
        focusCmdRow(w, 0, 0);
        trigger(w, "CmdCheckAll");
        trigger(w, "CmdDeleteSelected");
        QVERIFY(codes(a).isEmpty());
        dataPrj.resetModified();
    }

    // Commands copied in one project are pasted into another; configurations
    // are copied, pasted, renamed and deleted.
    void acrossProjectsAndConfigurations()
    {
        TMainWindow w;
        w.show();
        focusCmdRow(w, 0, 0);
        trigger(w, "CmdCopyOne");
        QVERIFY(w.action("CmdPaste")->text().endsWith(QStringLiteral("[%1]").arg(cmdCode.name("delay"))));
        trigger(w, "CfgCopy");
        w.prjList()->setCurrentIndex(1);
        QTRY_COMPARE(dataPrj.prjFile(), at("two.prj"));
        const int a = w.prjView()->cfgIdAt(0);
        focusCmdRow(w, 0, 0);
        answerButton(QMessageBox::Yes);
        trigger(w, "CmdPaste");
        QCOMPARE(codes(a), (QStringList{"pause", "delay", "delay", "stop"}));

        focusCmdRow(w, 0, 0);
        answerName(QStringLiteral("Copy"));
        trigger(w, "CfgPasteNew");
        QCOMPARE(w.prjView()->currentTabText(), QStringLiteral("Copy"));
        const int copy = w.prjView()->currentCfgId();
        QCOMPARE(codes(copy), (QStringList{"delay", "delay", "stop"}));
        focusCmdRow(w, 1, 0);
        answerName(QStringLiteral("Renamed"));
        trigger(w, "CfgEdit");
        QCOMPARE(dataPrj.cfgName(copy), QStringLiteral("Renamed"));
        focusCmdRow(w, 1, 0);
        answerName(QStringLiteral("Fresh"));
        trigger(w, "CfgNew");
        QCOMPARE(dataPrj.cfgList().size(), 4);
        focusCmdRow(w, 1, 0);
        trigger(w, "CfgDelete");
        QCOMPARE(dataPrj.cfgIndexById(copy), -1);
        dataPrj.resetModified();
    }

    // The selector's button shows it open; a project opened while it is
    // open refills its panes for the programmer and device in force at the
    // current command, with no row clicked; the button closes it, and so
    // does its own Close button.
    void selectorFollowsTheWindow()
    {
        TMainWindow w;
        w.show();
        TButtonAction *button = w.toolButton(QStringLiteral("cmd_select"));
        QAction *act = w.action(QStringLiteral("CmdSelector"));
        QVERIFY(button && act);
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(selector());
        QVERIFY(button->isChecked());
        QVERIFY(act->isChecked());
        QVERIFY(selector()->progGroup()->cmdList().isEmpty());

        // The chip project, then one without a programmer, then the chip one.
        for (int entry : {2, 0, 2}) {
            w.prjList()->setCurrentIndex(entry);
            QVERIFY(selector());
            QVERIFY(button->isChecked());
            const TDataCmd *cmd = dataPrj.cmdById(w.prjView()->currentCmdId());
            QVERIFY(cmd);
            QCOMPARE(selector()->toolsGroup()->cmdList(), dataPrj.toolsCmdList());
            QCOMPARE(selector()->progGroup()->cmdList(), dataPrj.progCmdListAt(cmd->id()));
            QCOMPARE(selector()->deviceGroup()->cmdList(), dataPrj.deviceCmdListAt(cmd->id()));
            QCOMPARE(selector()->progGroup()->cmdList().isEmpty(), entry != 2);
        }
        // The second tab of the chip project: its own device.
        w.prjView()->selectCfgCmd(1, 1);
        QVERIFY(!selector()->deviceGroup()->cmdList().isEmpty());
        QCOMPARE(selector()->deviceGroup()->cmdList(), dataPrj.deviceCmdListAt(w.prjView()->currentCmdId()));

        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!selector());
        QVERIFY(!button->isChecked());
        QVERIFY(!act->isChecked());
        act->trigger();
        QVERIFY(selector());
        QVERIFY(button->isChecked());
        for (QPushButton *b : selector()->findChildren<QPushButton *>())
            if (b->text() == lang.text(81))
                QTest::mouseClick(b, Qt::LeftButton);
        QTRY_VERIFY(!selector());
        QVERIFY(!button->isChecked());
        QVERIFY(!act->isChecked());
    }

    // A configuration made or pasted shows the panel every page shows, the
    // pasted one the form of its current row 0; the status bar names the
    // project as a row of it is selected, and nothing once it is closed.
    void newPagesFollowTheView()
    {
        TMainWindow w;
        w.show();
        w.prjList()->setCurrentIndex(2);
        QCOMPARE(w.statusBarWidget()->currentMessage(), at("chips.prj"));
        focusCmdRow(w, 0, 1);
        w.action(QStringLiteral("ViewParamCmd"))->trigger();
        const QString paramTitle = QStringLiteral(" %1").arg(lang.text(ViewMsg::PANEL_PARAMETERS));
        QCOMPARE(w.prjView()->cfgPage(0)->panelTitle(), paramTitle);
        trigger(w, "CfgCopy");

        focusCmdRow(w, 0, 1);
        answerName(QStringLiteral("Pasted"));
        trigger(w, "CfgPasteNew");
        TWgtConfig *pasted = w.prjView()->currentPage();
        QCOMPARE(w.prjView()->currentTabText(), QStringLiteral("Pasted"));
        QCOMPARE(pasted->currentRow(), 0);
        QCOMPARE(pasted->panelTitle(), paramTitle);
        QVERIFY(pasted->openForm());
        QCOMPARE(pasted->shownPanel(), pasted->openForm()->parentWidget());
        QVERIFY(pasted->openForm()->isVisibleTo(pasted));

        focusCmdRow(w, 1, 0);
        answerName(QStringLiteral("Fresh"));
        trigger(w, "CfgNew");
        QCOMPARE(w.prjView()->currentTabText(), QStringLiteral("Fresh"));
        QCOMPARE(w.prjView()->currentPage()->panelTitle(), paramTitle);
        QVERIFY(w.prjView()->currentPage()->shownPanel());
        // Rows are selected first: a newly selected row shows its form.
        focusCmdRow(w, 0, 1);
        w.action(QStringLiteral("ViewParamExec"))->trigger();
        QVERIFY(w.prjView()->hasFocusCmdList());
        answerName(QStringLiteral("Logged"));
        trigger(w, "CfgNew");
        QCOMPARE(w.prjView()->currentPage()->shownPanel(), w.prjView()->currentPage()->log());

        // The project closes with a group entry... here a list reload.
        appData.confirmProjectsListReload = false;
        w.prjView()->selectCfgCmd(0, 0);
        QVERIFY(!w.statusBarWidget()->currentMessage().isEmpty());
        answerButton(QMessageBox::No);   // the edited project is not saved
        w.action(QStringLiteral("PrjListReload"))->trigger();
        QVERIFY(!dataPrj.isOpen());
        QCOMPARE(w.statusBarWidget()->currentMessage(), QString());
        appData.confirmProjectsListReload = true;
    }

    // With unchecked commands hidden, a pasted configuration hides its
    // unchecked rows, and so does a list rebuilt after a paste.
    void hiddenRowsStayHidden()
    {
        TMainWindow w;
        w.show();
        w.prjList()->setCurrentIndex(2);
        QTableWidget *table = w.prjView()->cfgPage(0)->cmdList()->table();
        table->item(1, 0)->setCheckState(Qt::Unchecked);
        QVERIFY(!dataPrj.cmdsOfCfg(w.prjView()->cfgIdAt(0)).at(1)->status());
        focusCmdRow(w, 0, 0);
        w.action(QStringLiteral("CmdUncheckHide"))->trigger();
        QVERIFY(table->isRowHidden(1));

        trigger(w, "CfgCopy");
        answerName(QStringLiteral("Pasted"));
        trigger(w, "CfgPasteNew");
        QTableWidget *pasted = w.prjView()->currentPage()->cmdList()->table();
        QCOMPARE(pasted->rowCount(), 2);
        QVERIFY(!pasted->isRowHidden(0));
        QVERIFY(pasted->isRowHidden(1));

        focusCmdRow(w, 0, 0);
        trigger(w, "CmdCopyOne");
        answerButton(QMessageBox::Yes);
        trigger(w, "CmdPaste");
        QCOMPARE(table->rowCount(), 3);
        QVERIFY(table->isRowHidden(2));
        QVERIFY(!table->isRowHidden(1));

        w.action(QStringLiteral("CmdUncheckHide"))->trigger();
        QVERIFY(!table->isRowHidden(2));
        QVERIFY(!pasted->isRowHidden(1));
        QVERIFY(!appData.hideUncheckCmd);
        dataPrj.resetModified();
    }

    // While a worker waits in configuration A, its structural edits are
    // refused and change nothing; check boxes and B stay editable.
    void runningConfigurationIsGuarded()
    {
        appData.lastPrj = 1;
        TMainWindow w;
        w.show();
        const int a = w.prjView()->cfgIdAt(0);
        focusCmdRow(w, 0, 0);
        trigger(w, "Exec");
        QTRY_COMPARE(dataPrj.cfgExecState(a), 2);
        const QStringList before = codes(a);
        for (const char *act : {"CmdDeleteCur", "CmdMoveDown", "CmdNewSetProg", "CmdDeleteAll"}) {
            focusCmdRow(w, 0, 0);
            QString seen;
            answerButton(QMessageBox::Ok, &seen);
            trigger(w, act);
            QVERIFY2(seen.startsWith(lang.text(TMainWindow::MSG_RUN_EDIT).section('"', 0, 0)), act);
            QCOMPARE(codes(a), before);
        }
        trigger(w, "CmdUncheckAll");
        QVERIFY(!dataPrj.cmdsOfCfg(a).first()->status());
        focusCmdRow(w, 1, 0);
        trigger(w, "CmdDeleteCur");
        QCOMPARE(codes(w.prjView()->cfgIdAt(1)).size(), 1);
        // Stop the run (it is paused: Control is not needed, a stop is asked for).
        emit w.signalStop(a);
        QTRY_COMPARE(w.runningCount(), 0);
        dataPrj.resetModified();
        appData.lastPrj = 0;
    }

    // Every way of pasting a reference, into the project copied from
    // (Refs) and into another (Other): it names the pasted copy of its
    // target, else the same target in the same project, else nothing. A run
    // of what was pasted runs nothing of the original; where the target is
    // gone the command is invalid, the run is refused with nothing sent,
    // and so it stays after a save and a reload.
    void pastedReferences_data()
    {
        QTest::addColumn<int>("tab");         // the configuration copied from
        QTest::addColumn<int>("row");         // its command copied; -1 the checked ones; -2 the configuration
        QTest::addColumn<bool>("other");      // pasted into Other
        QTest::addColumn<QString>("names");   // what the pasted references name (namesOf)
        QTest::addColumn<QString>("key");     // the key of the references

        QTest::newRow("Loop as new") << 0 << -2 << false << "Copy.1" << JAMP_TO_CMD;
        QTest::newRow("Loop as new, other") << 0 << -2 << true << "Copy.1" << JAMP_TO_CMD;
        QTest::newRow("Loop's commands") << 0 << -1 << false << "Dest.3" << JAMP_TO_CMD;
        QTest::newRow("Loop's commands, other") << 0 << -1 << true << "O0.3" << JAMP_TO_CMD;
        QTest::newRow("jamp") << 0 << 3 << false << "Loop.1" << JAMP_TO_CMD;
        QTest::newRow("jamp, other") << 0 << 3 << true << "-" << JAMP_TO_CMD;
        QTest::newRow("execute") << 2 << 1 << false << "B" << EXECUTE_CFG;
        QTest::newRow("execute, other") << 2 << 1 << true << "-" << EXECUTE_CFG;
        QTest::newRow("Exec as new, other") << 2 << -2 << true << "-" << EXECUTE_CFG;
        QTest::newRow("Detect as new") << 3 << -2 << false << "Copy|B" << AUTO_ROUTE;
        QTest::newRow("Detect as new, other") << 3 << -2 << true << "Copy|-" << AUTO_ROUTE;
    }
    void pastedReferences()
    {
        QFETCH(int, tab);
        QFETCH(int, row);
        QFETCH(bool, other);
        QFETCH(QString, names);
        QFETCH(QString, key);
        const bool dead = names.contains(QLatin1Char('-'));
        writeReferenceProjects();
        FakeProgrammer fake;
        QVERIFY2(fake.start(), qPrintable(fake.errorString()));
        fake.setChip(std::make_shared<Spi25Chip>(4 << 20, QByteArray::fromHex("EF4016")));
        useProgrammer(QStringLiteral("Emu"), fake.portName(), QStringLiteral("Emulated"), QStringLiteral("emulator.ini"));
        appData.confirmProjectSave = false;
        appData.lastPrj = 3;
        TMainWindow w;
        w.show();
        const auto open = [&](int entry) {
            w.prjList()->setCurrentIndex(entry);
            QTRY_COMPARE(dataPrj.prjFile(), at(entry == 3 ? "refs.prj" : "other.prj"));
        };
        // The command pasted, the one of the tab that holds the key.
        const auto pastedAt = [&](int tab) {
            for (TDataCmd *cmd : dataPrj.cmdsOfCfg(w.prjView()->cfgIdAt(tab)))
                if (cmd->toHash().contains(key))
                    return cmd;
            return static_cast<TDataCmd *>(nullptr);
        };

        focusCmdRow(w, tab, qMax(row, 0));
        trigger(w, row == -2 ? "CfgCopy" : row == -1 ? "CmdCopySelected" : "CmdCopyOne");
        if (other)
            open(4);
        focusCmdRow(w, row == -2 ? 0 : other ? 0 : 4, 1);
        if (row == -2)
            answerName(QStringLiteral("Copy"));
        else
            answerButton(QMessageBox::Yes);
        trigger(w, row == -2 ? "CfgPasteNew" : "CmdPaste");
        const int destTab = w.prjView()->currentIndex();
        const int dest = w.prjView()->currentCfgId();
        const TDataCmd *pasted = pastedAt(destTab);
        QVERIFY(pasted);
        QCOMPARE(namesOf(pasted), names);
        QCOMPARE(pasted->validParam(), !dead);

        // Its run runs nothing of what the references do not name.
        QHash<const TDataCmd *, QVariant> counters;
        for (const TDataCmd *cmd : dataPrj.cmdList())
            counters.insert(cmd, cmd->toHash().value(COUNTER_VALUE));
        focusCmdRow(w, destTab, 0);
        trigger(w, "Exec");
        QTRY_COMPARE_WITH_TIMEOUT(w.runningCount(), 0, 30000);
        const QString log = w.prjView()->currentPage()->log()->textView()->toPlainText();
        QVERIFY2(dataPrj.cfgExecState(dest) == (dead ? 4 : 3), qPrintable(log));
        for (auto it = counters.cbegin(); it != counters.cend(); ++it)
            if (it.key()->idCfg() != dest && !names.contains(dataPrj.cfgName(it.key()->idCfg())))
                QCOMPARE(it.key()->toHash().value(COUNTER_VALUE), it.value());
        if (!dead)
            return;
        // Refused with nothing sent; saved and opened again, still dead.
        QCOMPARE(fake.requestCount(), 0);
        QVERIFY2(log.contains(QStringLiteral(": %1: ").arg(key)), qPrintable(log));
        trigger(w, "PrjSave");
        open(3);
        open(4);
        const TDataCmd *reloaded = pastedAt(destTab);
        QVERIFY(reloaded);
        QCOMPARE(namesOf(reloaded), names);
        QVERIFY(!reloaded->validParam());
    }
};

QTEST_MAIN(TestMainWinEdit)
#include "test_mainwin_edit.moc"
