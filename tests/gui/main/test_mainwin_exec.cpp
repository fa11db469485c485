// Execution control through the main window, against emulated programmers
// on pseudo-terminals: ID Prog and Reset on the wire, two configurations
// running at once with pause, resume and stop from the keyboard, the guards
// that keep edits from scrambling a run while a modal box is open, quitting
// while runs are alive with its questions answered before or after the runs
// end, the language chooser and what destruction writes.

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TCtrlProject.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "devices/exec_messages.h"
#include "gui/dialogs/TDialogSetupSelect.h"
#include "gui/dialogs/TDialogSmall.h"
#include "gui/main/TMainWindow.h"
#include "gui/main/startup.h"
#include "gui/views/TWgtCmdList.h"
#include "gui/views/TWgtConfig.h"
#include "gui/views/TWgtLogExec.h"
#include "gui/views/TWgtPrj.h"
#include "gui/views/TWgtPrjList.h"
#include "gui/widgets/TButtonAction.h"
#include "gui/widgets/TToolBarMetrics.h"
#include "link/TProtocol.h"
#include "support/Chip24.h"
#include "support/ExecHarness.h"
#include "support/FakeProgrammer.h"
#include "support/ModalAnswer.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

constexpr int kImage = 2048;   // a whole 24C16

Qt::KeyboardModifiers g_modifiers = Qt::NoModifier;
Qt::KeyboardModifiers testModifiers()
{
    return g_modifiers;
}

QString logText(TMainWindow &w, int tab)
{
    return w.prjView()->cfgPage(tab)->log()->textView()->toPlainText();
}

QVector<QByteArray> progWire(const FakeProgrammer &fake)
{
    QVector<QByteArray> r;
    for (const FakeProgrammer::Request &q : fake.requests())
        r << QByteArray(1, char(q.code)) + q.payload;
    return r;
}

// Counts the events of one type a widget receives.
class EventCounter : public QObject
{
public:
    EventCounter(QEvent::Type type, int *count, QObject *parent) : QObject(parent), m_type(type), m_count(count) {}
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == m_type)
            ++*m_count;
        return false;
    }

private:
    QEvent::Type m_type;
    int *m_count;
};

} // namespace

class TestMainWinExec : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    std::unique_ptr<FakeProgrammer> fakes[2];
    std::shared_ptr<Chip24> chips[2];
    QByteArray images[2];

    QString at(const QString &name) const { return home.filePath(name); }

    void writeBytes(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray readBytes(const QString &path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // A configuration of programmer n: pause, set_prog, set_device 24C16,
    // write, verify and read back the image.
    int configure(int n)
    {
        const QString name = QStringLiteral("Board%1").arg(n);
        const int cfg = dataPrj.addCfg(name, QString());
        addToolCmd(cfg, CMD_PAUSE);
        addToolCmd(cfg, CMD_SET_PROG, {{SET_PROG_PROG, QStringLiteral("Emu%1").arg(n)}});
        const int setDevice = dataPrj.addCmd({{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, CMD_SET_DEVICE},
                                              {SET_DEVICE_DEVICE, QStringLiteral("24C16")},
                                              {SET_DEVICE_FILE, QStringLiteral("24xx/24c16.dev")},
                                              {SET_CLK_CLK, 400000}, {SET_ADDR_ADDR, 0}});
        dataPrj.validateAll();
        IDevice *device = dataPrj.cmdById(setDevice)->device();
        if (!device)
            return -1;
        const struct { const char *code; const char *file; } steps[] = {
            {CMD_FILE_WRITE, "image%1.bin"}, {CMD_FILE_VERIFY, "image%1.bin"}, {CMD_FILE_READ, "back%1.bin"}};
        for (const auto &s : steps) {
            TData data{{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, QLatin1String(s.code)}, {REC_ID_CMD, -1}};
            device->initCmdParam(data);
            data.remove(REC_ID_CMD);
            data.insert(FILE_FORMAT, QStringLiteral("bin"));
            data.insert(FILE_FILE, at(QString::fromLatin1(s.file).arg(n)));
            data.insert(FILE_COUNT, kImage);
            dataPrj.addCmd(data);
        }
        return cfg;
    }

    // The project file and a list naming it; the window opens it at start.
    void writeProject()
    {
        dataPrj.clear();
        dataPrj.fromHash({{INFO_PRJ_FILE, at("runs.prj")}, {PRJ_WORK_PATH, home.path()}});
        QVERIFY(configure(0) >= 0);
        const int board1 = configure(1);
        QVERIFY(board1 >= 0);
        const int tools = dataPrj.addCfg(QStringLiteral("Tools"), QString());
        addToolCmd(tools, CMD_DELAY);
        // Holds programmer 0's port open while it waits.
        const int hold = dataPrj.addCfg(QStringLiteral("Hold"), QString());
        addToolCmd(hold, CMD_SET_PROG, {{SET_PROG_PROG, QStringLiteral("Emu0")}});
        addToolCmd(hold, CMD_PAUSE);
        // Waits as Hold does, then starts Board1 as it ends.
        const int chain = dataPrj.addCfg(QStringLiteral("Chain"), QString());
        addToolCmd(chain, CMD_SET_PROG, {{SET_PROG_PROG, QStringLiteral("Emu0")}});
        addToolCmd(chain, CMD_PAUSE);
        addToolCmd(chain, CMD_EXECUTE, {{EXECUTE_CFG, board1}});
        // Would start itself again as it ends.
        const int loop = dataPrj.addCfg(QStringLiteral("Loop"), QString());
        addToolCmd(loop, CMD_EXECUTE, {{EXECUTE_CFG, loop}});
        TCtrlProject ctrl;
        QVERIFY2(ctrl.save(at("runs.prj"), &dataPrj), qPrintable(ctrl.lastError()));
        dataPrj.clear();
        writeBytes(at("list.lst"), "{\"list\": [{\"name\": \"Runs\", \"file\": \"runs.prj\"},"
                                   " {\"name\": \"Other\", \"file\": \"other.prj\"}]}");
        writeBytes(at("other.prj"), readBytes(at("runs.prj")));
        appData.pathProjects = home.path();
        appData.prjListName = QStringLiteral("List");
        appData.prjListFile = QStringLiteral("list.lst");
        appData.openLastPrj = true;
        appData.lastPrj = 0;
        appData.lastCfg = 0;
        appData.lastCmd = 0;
    }

    // Selects the row of the tab and gives the command table the focus.
    void focusRow(TMainWindow &w, int tab, int row)
    {
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.prjView()->selectCfgCmd(tab, row);
        w.prjView()->currentPage()->setFocusCmdList();
        QTRY_VERIFY2(w.prjView()->hasFocusCmdList(), qPrintable(QStringLiteral("tab %1 focus %2").arg(tab).arg(
            QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "none")));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(home.isValid());
        setAppFileLocation(home.path());
        registerMetaTypes();
        lang.load(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/language/eng.lng"));
        appData.pathDevices = QStringLiteral(VELKOR_SOURCE_DIR "/runtime/devices");
        appData.setFolder(&TAppData::pathProgs, QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs"));
        TProgType types;
        types.add(QStringLiteral("Emulated"), QStringLiteral("emulator.ini"));
        appData.progType.replace(types);
        TProgName names;
        for (int n = 0; n < 2; ++n) {
            fakes[n].reset(new FakeProgrammer);
            QVERIFY2(fakes[n]->start(), qPrintable(fakes[n]->errorString()));
            chips[n] = std::make_shared<Chip24>(kImage, 16, 1);
            fakes[n]->setChip(chips[n]);
            names.add(true, QStringLiteral("Emu%1").arg(n), fakes[n]->portName(), QStringLiteral("Emulated"));
            images[n].resize(kImage);
            for (int i = 0; i < kImage; ++i)
                images[n][i] = char((i * (7 + n * 6) + n) & 0xFF);
            writeBytes(at(QStringLiteral("image%1.bin").arg(n)), images[n]);
        }
        appData.progName.replace(names);
        appData.confirmExecConfig = false;
        appData.confirmQuit = false;
        appData.saveSettingsApp = false;
        appData.saveSettingsWindow = false;
        TMainWindow::keyboardModifiers = &testModifiers;
    }

    void cleanup()
    {
        appData.confirmQuit = false;
        dataPrj.resetModified();
        dataPrj.clear();
        for (auto &fake : fakes)
            fake->clearRequests();
        finishModalAnswers();
    }

    // ID Prog and Reset: only from the command table, as requests on the
    // wire and two log lines; a failed reset pulse ends the run state with 2.
    void quickOperations()
    {
        writeProject();
        TMainWindow w;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QVERIFY(dataPrj.isOpen());
        FakeProgrammer &fake = *fakes[0];

        // Focus outside the table: nothing.
        w.prjView()->selectCfgCmd(0, 2);
        w.prjList()->setFocus();
        w.slotExecIDProg();
        QVERIFY(!w.quickBusy());
        QCOMPARE(fake.requestCount(), 0);

        const struct {
            bool reset;
            FakeFault fault;
            bool faulty;
            QVector<QByteArray> wire;
            QString last;
        } cases[] = {
            {false, {}, false, {"\x80", "\x81", QByteArray("\x83\x03", 2)}, lang.text(execmsg::COMPLETED)},
            {true, {}, false,
             {"\x80", "\x81", QByteArray("\x83\x01", 2), QByteArray("\x86\x70\xFE", 3), QByteArray("\x83\x00", 2)},
             lang.text(execmsg::COMPLETED)},
            {true, FakeFault::errorReply(7).onCode(0x86), true,
             {"\x80", "\x81", QByteArray("\x83\x01", 2), QByteArray("\x86\x70\xFE", 3), QByteArray("\x83\x02", 2)},
             QStringLiteral("Port ")},
            {true, FakeFault::silence().onCode(0x86), true,
             {"\x80", "\x81", QByteArray("\x83\x01", 2), QByteArray("\x86\x70\xFE", 3)}, QStringLiteral("Port ")},
        };
        for (const auto &c : cases) {
            fake.clearRequests();
            if (c.faulty)
                fake.addFault(c.fault);
            focusRow(w, 0, 2);
            w.prjView()->currentPage()->clearLog();
            if (c.reset)
                w.slotExecReset();
            else
                w.action(QStringLiteral("ExecIDProg"))->trigger();
            QTRY_VERIFY_WITH_TIMEOUT(!w.quickBusy(), 20000);
            fake.clearFaults();
            QCOMPARE(progWire(fake), c.wire);
            const QStringList lines = logText(w, 0).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            QVERIFY2(lines.size() >= 2, qPrintable(logText(w, 0)));
            QVERIFY(lines.first().contains(c.reset ? QStringLiteral("-400 ms") : QStringLiteral("ID Prog")));
            QVERIFY2(logText(w, 0).contains(c.last), qPrintable(logText(w, 0)));
        }

        // No "set_prog" in force: message 405 alone, nothing sent.
        fake.clearRequests();
        focusRow(w, 2, 0);
        w.prjView()->currentPage()->clearLog();
        w.action(QStringLiteral("ExecIDProg"))->trigger();
        QTRY_VERIFY(!logText(w, 2).isEmpty());
        QVERIFY(!logText(w, 2).contains(QStringLiteral("ID Prog")));
        QVERIFY(logText(w, 2).contains(lang.text(405)));
        QCOMPARE(fake.requestCount(), 0);
    }

    // Two configurations at once, each on its own programmer: both wait in
    // "pause"; edits of parameters and check boxes go through, structural
    // edits and project switches are refused and change nothing; a modal
    // box leaves the runs going; Shift+Return resumes one, which writes,
    // verifies and reads back its image byte for byte, Ctrl+Return stops the
    // other; closing asks, and the window ends after the workers.
    void twoRunsAtOnce()
    {
        writeProject();
        auto *w = new TMainWindow;
        QPointer<TMainWindow> guard(w);
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        const int cfg0 = w->prjView()->cfgIdAt(0);
        const int cfg1 = w->prjView()->cfgIdAt(1);
        for (int tab : {0, 1}) {
            focusRow(*w, tab, 0);
            g_modifiers = Qt::ShiftModifier;
            QTest::keyClick(w->prjView()->currentPage()->cmdList(), Qt::Key_Return, Qt::ShiftModifier);
        }
        QCOMPARE(w->runningCount(), 2);
        QTRY_COMPARE(dataPrj.cfgExecState(cfg0), 2);
        QTRY_COMPARE(dataPrj.cfgExecState(cfg1), 2);

        // Allowed while they wait: a parameter and a check box.
        const QList<TDataCmd *> cmds0 = dataPrj.cmdsOfCfg(cfg0);
        dataPrj.setCmdParam(cmds0.at(4)->id(), {{REC_ID_CMD, cmds0.at(4)->id()}, {FILE_COUNT, kImage}});
        dataPrj.setCmdStatus(cmds0.at(4)->id(), true);

        // The settings dialog confirmed while both wait: the project is
        // validated again under them.
        answerModal<TDialogSetupSelect>([](TDialogSetupSelect *dialog) { dialog->accept(); });
        w->action(QStringLiteral("Setup"))->trigger();
        QCOMPARE(w->runningCount(), 2);
        QVERIFY(dataPrj.cmdsOfCfg(cfg0).at(3)->device());

        // Refused: structural edits of both (and of nothing else), and
        // another project.
        for (int cfg : {cfg0, cfg1}) {
            answerButton(QMessageBox::Ok);
            QVERIFY(w->refuseStructuralEdit(cfg));
        }
        QVERIFY(!w->refuseStructuralEdit(w->prjView()->cfgIdAt(2)));
        const QString prjFile = dataPrj.prjFile();
        answerButton(QMessageBox::Ok);
        w->prjList()->setCurrentIndex(1);
        QCOMPARE(dataPrj.prjFile(), prjFile);
        QCOMPARE(w->prjList()->selectedIndex(), 0);
        QCOMPARE(dataPrj.cmdsOfCfg(cfg0).size(), 6);

        // Resume the first with Shift+Return; a modal box stays open until
        // its run has moved on.
        focusRow(*w, 0, 0);
        g_modifiers = Qt::ShiftModifier;
        QTest::keyClick(w->prjView()->currentPage()->cmdList(), Qt::Key_Return, Qt::ShiftModifier);
        FakeProgrammer *fake0 = fakes[0].get();
        answerModalWhen<QMessageBox>([fake0] { return fake0->requestCount() > 20; }, [](QMessageBox *box) {
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        QVERIFY(w->refuseProjectChange());
        QTRY_COMPARE_WITH_TIMEOUT(dataPrj.cfgExecState(cfg0), 3, 60000);
        QByteArray memory;
        fake0->locked([&] { memory = chips[0]->memory; });
        QCOMPARE(memory, images[0]);
        QCOMPARE(readBytes(at("back0.bin")), images[0]);
        QTRY_VERIFY(!w->isRunning(cfg0));

        // Ctrl+Return stops the paused second one, which never touched its chip.
        focusRow(*w, 1, 0);
        g_modifiers = Qt::ControlModifier;
        QTest::keyClick(w->prjView()->currentPage()->cmdList(), Qt::Key_Return, Qt::ControlModifier);
        QTRY_COMPARE(dataPrj.cfgExecState(cfg1), 3);   // a stopped run ends as stopped, not failed
        QVERIFY(logText(*w, 1).contains(lang.text(390)));
        QTRY_COMPARE(w->runningCount(), 0);
        QCOMPARE(fakes[1]->requestCount(), 0);

        // States are cleared only when idle; the tab colours follow.
        w->action(QStringLiteral("ExecClearAllState"))->trigger();
        QCOMPARE(dataPrj.cfgExecState(cfg0), 0);
        QCOMPARE(dataPrj.cfgExecState(cfg1), 0);

        // Closing while a run waits: No keeps all, Yes stops it and the
        // window goes once the worker is gone.
        focusRow(*w, 1, 0);
        g_modifiers = Qt::ShiftModifier;
        w->action(QStringLiteral("Exec"))->trigger();
        QTRY_COMPARE(dataPrj.cfgExecState(cfg1), 2);
        answerButton(QMessageBox::No);
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
        QCOMPARE(w->runningCount(), 1);
        answerModal<QMessageBox>([](QMessageBox *box) {
            // ... and the edited project is not saved.
            answerButton(QMessageBox::No);
            QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
        });
        QVERIFY(!w->close());
        QTRY_VERIFY(!w->isVisible());
        QCOMPARE(w->runningCount(), 0);
        QVERIFY(!dataPrj.isOpen());
        delete w;
        g_modifiers = Qt::NoModifier;
    }

    // Quitting while a run waits, each question answered at once or held
    // open until the run, let go on then, has ended (Chain starts Board1 as
    // it ends): an answered quit closes the window with no run left, or
    // leaves it working, Run, ID Prog and Exit (which asks again) included.
    void quitSequences_data()
    {
        QTest::addColumn<bool>("chain");      // the run starts another one as it ends
        QTest::addColumn<bool>("modified");   // the project asks to be saved
        // The questions in turn: "q" Exit's, "s" stopping the runs, "p" saving
        // the project; answered "y" Yes, "n" No or "e" Escape; "h": the answer
        // is held until the run has ended.
        QTest::addColumn<QString>("answers");
        QTest::addColumn<bool>("closes");
        QTest::newRow("quit No") << false << false << "qn" << false;
        QTest::newRow("stop No") << false << false << "qy sn" << false;
        QTest::newRow("stop Yes, project not saved") << false << true << "qy sy pn" << true;
        QTest::newRow("quit held past the run, Yes") << false << false << "qyh" << true;
        QTest::newRow("quit held past the run, No") << false << false << "qnh" << false;
        QTest::newRow("stop held past the run, Yes, project saved") << false << true << "qy syh py" << true;
        QTest::newRow("stop held past the run, No") << false << false << "qy snh" << false;
        QTest::newRow("stop held past a second run's start, Yes") << true << false << "qy syh" << true;
        QTest::newRow("stop held past a second run's start, No") << true << false << "qy snh" << false;
        QTest::newRow("quit held past a second run's start") << true << false << "qyh sy" << true;
        QTest::newRow("stop Yes, project question escaped") << false << true << "qy sy pe" << false;
    }
    void quitSequences()
    {
        QFETCH(bool, chain);
        QFETCH(bool, modified);
        QFETCH(QString, answers);
        QFETCH(bool, closes);
        writeProject();
        appData.confirmQuit = true;
        TMainWindow w;
        w.show();
        const auto exec = [&w, this](int tab) {
            focusRow(w, tab, 0);
            w.action(QStringLiteral("Exec"))->trigger();
        };
        const int tab = chain ? 4 : 3;
        const int first = w.prjView()->cfgIdAt(tab);
        const int board1 = w.prjView()->cfgIdAt(1);
        exec(tab);
        QTRY_COMPARE(dataPrj.cfgExecState(first), 2);
        if (modified)
            dataPrj.setCmdStatus(dataPrj.cmdsOfCfg(w.prjView()->cfgIdAt(2)).constFirst()->id(), false);

        bool resumed = false;
        const auto ended = [&] {
            if (!resumed) {
                resumed = true;
                emit w.signalPauseReset(first);
            }
            return !w.isRunning(first) && (!chain || dataPrj.cfgExecState(board1) == 2);
        };
        QStringList asked, expected;
        for (const QString &step : answers.split(QLatin1Char(' '))) {
            const QChar question = step.at(0), answer = step.at(1);
            expected << (question == 'q'   ? lang.text(88)
                         : question == 's' ? lang.text(TMainWindow::MSG_RUN_QUIT)
                                           : lang.text(83).arg(QStringLiteral("Runs")));
            const std::function<bool()> when = step.endsWith('h') ? std::function<bool()>(ended) : nullptr;
            answerModalWhen<QMessageBox>(when, [&asked, answer](QMessageBox *box) {
                asked << box->text();
                if (answer == 'e')
                    QTest::keyClick(box, Qt::Key_Escape);
                else
                    box->button(answer == 'y' ? QMessageBox::Yes : QMessageBox::No)->click();
            });
        }
        w.action(QStringLiteral("Quit"))->trigger();
        if (closes)
            QTRY_VERIFY(!w.isVisible());
        QTRY_COMPARE(asked.size(), expected.size());
        QCOMPARE(asked, expected);
        if (closes) {
            QCOMPARE(w.runningCount(), 0);
            QVERIFY(!dataPrj.isOpen());
            return;
        }
        QVERIFY(w.isVisible());
        // Whatever still waits is stopped from its tab; Hold runs and ends.
        g_modifiers = Qt::ControlModifier;
        for (int t = 0; t < 5; ++t)
            if (dataPrj.cfgExecState(w.prjView()->cfgIdAt(t)) == 2)
                exec(t);
        g_modifiers = Qt::NoModifier;
        QTRY_COMPARE(w.runningCount(), 0);
        const int hold = w.prjView()->cfgIdAt(3);
        exec(3);
        QTRY_COMPARE(dataPrj.cfgExecState(hold), 2);
        w.action(QStringLiteral("Exec"))->trigger();
        QTRY_COMPARE(w.runningCount(), 0);
        QCOMPARE(dataPrj.cfgExecState(hold), 3);
        focusRow(w, 3, 0);
        w.prjView()->currentPage()->clearLog();
        w.action(QStringLiteral("ExecIDProg"))->trigger();
        QVERIFY(w.quickBusy());
        QTRY_VERIFY_WITH_TIMEOUT(!w.quickBusy(), 20000);
        QVERIFY2(logText(w, 3).contains(lang.text(execmsg::COMPLETED)), qPrintable(logText(w, 3)));
        QString again;
        answerBox(false, nullptr, &again);
        w.action(QStringLiteral("Quit"))->trigger();
        QCOMPARE(again, lang.text(88));
        QVERIFY(w.isVisible());
    }

    // An "execute" that starts nothing (its configuration runs: here the
    // asking one itself) says so in the asking run's log.
    void executeOfARunningConfigurationSaysSo()
    {
        writeProject();
        TMainWindow w;
        w.show();
        const int loop = w.prjView()->cfgIdAt(5);
        focusRow(w, 5, 0);
        w.action(QStringLiteral("Exec"))->trigger();
        QTRY_COMPARE(w.runningCount(), 0);
        QCOMPARE(dataPrj.cfgExecState(loop), 3);
        const QString log = logText(w, 5);
        QVERIFY2(log.contains(lang.text(TMainWindow::MSG_EXECUTE_RUNNING).arg(QStringLiteral("Loop"))), qPrintable(log));
    }

    // A quit that waits for the runs it stopped, while the user has a dialog
    // open: the window closes once the dialog is answered, never under it.
    void quitWaitsForAnOpenDialog_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("settings") << "Setup";
        QTest::newRow("project entry") << "PrjEdit";
    }
    void quitWaitsForAnOpenDialog()
    {
        QFETCH(QString, action);
        writeProject();
        const std::unique_ptr<TMainWindow> window(new TMainWindow);
        TMainWindow *w = window.get();
        w->show();
        const int hold = w->prjView()->cfgIdAt(3);
        focusRow(*w, 3, 0);
        w->action(QStringLiteral("Exec"))->trigger();
        QTRY_COMPARE(dataPrj.cfgExecState(hold), 2);
        // The stopped run ends only once the dialog is up.
        fakes[0]->addFault(FakeFault::held().onCode(TProtocol::PROG_FINISH));
        answerBox(true);
        w->action(QStringLiteral("Quit"))->trigger();
        QTRY_VERIFY(fakes[0]->waitHeld(0));
        int passesSinceEnd = 0;
        bool openUnder = false;
        answerModalWhen<QDialog>(
            [&] {
                fakes[0]->releaseHeld();
                return w->runningCount() == 0 && ++passesSinceEnd > 5;
            },
            [&](QDialog *d) {
                openUnder = w->isVisible() && dataPrj.isOpen();
                d->accept();
            });
        w->action(action)->trigger();
        QVERIFY(openUnder);
        QTRY_VERIFY(!w->isVisible());
        QVERIFY(!dataPrj.isOpen());
    }

    // ID Prog on the port a waiting run holds fails with the link's reason
    // and leaves the run to finish.
    void idProgOnAPortARunHolds()
    {
        writeProject();
        TMainWindow w;
        w.show();
        const int hold = w.prjView()->cfgIdAt(3);
        focusRow(w, 3, 0);
        w.action(QStringLiteral("Exec"))->trigger();
        QTRY_COMPARE(dataPrj.cfgExecState(hold), 2);
        const int sent = fakes[0]->requestCount();
        focusRow(w, 3, 0);
        w.prjView()->currentPage()->clearLog();
        // The action is off on an active configuration; another one choosing
        // the same programmer reaches the same port.
        w.action(QStringLiteral("ExecIDProg"))->setEnabled(true);
        w.action(QStringLiteral("ExecIDProg"))->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!w.quickBusy(), 20000);
        QVERIFY2(logText(w, 3).contains(QStringLiteral("Port ")), qPrintable(logText(w, 3)));
        QCOMPARE(fakes[0]->requestCount(), sent);
        g_modifiers = Qt::NoModifier;
        w.action(QStringLiteral("Exec"))->trigger();
        QTRY_COMPARE(w.runningCount(), 0);
        QCOMPARE(dataPrj.cfgExecState(hold), 3);
        QVERIFY(!logText(w, 3).contains(lang.text(390)));
    }

    // The start question names the configuration; No starts nothing; the
    // execute button and the tab follow the state; an active state is not
    // cleared.
    void startQuestionAndState()
    {
        writeProject();
        appData.confirmExecConfig = true;
        TMainWindow w;
        w.show();
        const int cfg0 = w.prjView()->cfgIdAt(0);
        auto *run = w.toolButton(QStringLiteral("exec_start"));
        QVERIFY(run);
        focusRow(w, 0, 0);
        QString asked;
        answerButton(QMessageBox::No, &asked);
        w.action(QStringLiteral("Exec"))->trigger();
        QCOMPARE(asked, lang.text(385).arg(QStringLiteral("Board0")));
        QCOMPARE(dataPrj.cfgExecState(cfg0), 0);
        QCOMPARE(run->toolTip(), lang.text(67));

        answerButton(QMessageBox::Yes);
        w.action(QStringLiteral("Exec"))->trigger();
        QTRY_COMPARE(dataPrj.cfgExecState(cfg0), 2);
        QTRY_COMPARE(run->toolTip(), lang.text(68));
        QCOMPARE(w.prjView()->tabBar()->tabTextColor(0), TWgtPrj::tabColor(2));
        focusRow(w, 0, 0);
        w.action(QStringLiteral("ExecClearCfgState"))->trigger();
        QCOMPARE(dataPrj.cfgExecState(cfg0), 2);
        g_modifiers = Qt::ControlModifier;
        w.action(QStringLiteral("Exec"))->trigger();
        g_modifiers = Qt::NoModifier;
        QTRY_COMPARE(w.runningCount(), 0);
        QCOMPARE(dataPrj.cfgExecState(cfg0), 3);
        QCOMPARE(w.prjView()->tabBar()->tabTextColor(0), TWgtPrj::tabColor(3));
        QCOMPARE(run->toolTip(), lang.text(67));
        appData.confirmExecConfig = false;
    }

    // A looping run stores its counter at every pass, and every store
    // says the project changed: the save button takes its "changed" icon
    // once and is not drawn again for the passes after; a run started
    // again and again gives the run button the same two icons, never one
    // made anew.
    void loopRedrawsNothingUnchanged()
    {
        dataPrj.clear();
        dataPrj.fromHash({{INFO_PRJ_FILE, at("loop.prj")}, {PRJ_WORK_PATH, home.path()}});
        const int cfg = dataPrj.addCfg(QStringLiteral("Loop"), QString());
        addToolCmd(cfg, CMD_SET_PROG, {{SET_PROG_PROG, QStringLiteral("Emu0")}});
        const int counter = addToolCmd(cfg, CMD_COUNTER, {{COUNTER_VALUE, 0}, {COUNTER_LIMIT, 40}});
        addToolCmd(cfg, CMD_DELAY, {{DELAY_VALUE, 0}});
        addToolCmd(cfg, CMD_JAMP, {{JAMP_TO_CMD, counter}});
        TCtrlProject ctrl;
        QVERIFY2(ctrl.save(at("loop.prj"), &dataPrj), qPrintable(ctrl.lastError()));
        dataPrj.clear();
        writeBytes(at("loop.lst"), "{\"list\": [{\"name\": \"Loop\", \"file\": \"loop.prj\"}]}");
        appData.pathProjects = home.path();
        appData.prjListFile = QStringLiteral("loop.lst");
        appData.openLastPrj = true;
        appData.lastPrj = 0;
        appData.lastCfg = 0;
        appData.lastCmd = 0;
        appData.iconsSet = 0;

        TMainWindow w;
        w.show();
        TButtonAction *save = w.toolButton(QStringLiteral("save"));
        TButtonAction *run = w.toolButton(QStringLiteral("exec_start"));
        QVERIFY(save && run);
        QSet<qint64> saveIcons;
        int stores = 0;
        // Queued like the window's own connection and made after it: each
        // call sees the button as the window left it for that store.
        connect(&dataPrj, &TDataPrj::signalChangePrj, save, [&] {
            ++stores;
            saveIcons << save->icon().cacheKey();
        });
        int savePaints = 0;
        auto *painted = new EventCounter(QEvent::Paint, &savePaints, save);
        save->installEventFilter(painted);

        focusRow(w, 0, 1);
        w.action(QStringLiteral("Exec"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(w.runningCount(), 0, 20000);
        QTRY_VERIFY(stores >= 40);
        QCOMPARE(saveIcons, QSet<qint64>{iconFor(0, QStringLiteral("save_change")).cacheKey()});
        QVERIFY2(savePaints <= 3, qPrintable(QString::number(savePaints)));

        QSet<qint64> runIcons;
        for (int start = 0; start < 5; ++start) {
            focusRow(w, 0, 1);
            w.action(QStringLiteral("Exec"))->trigger();
            runIcons << run->icon().cacheKey();
            QTRY_COMPARE_WITH_TIMEOUT(w.runningCount(), 0, 20000);
            runIcons << run->icon().cacheKey();
        }
        QCOMPARE(runIcons, (QSet<qint64>{iconFor(0, QStringLiteral("exec_start")).cacheKey(),
                                          iconFor(0, QStringLiteral("exec_stop")).cacheKey()}));
        dataPrj.resetModified();
    }

    // The chooser lists "name (label)" of each language file; picking one
    // keeps its file name, a pick of nothing keeps the language.
    void languageAndDestruction()
    {
        const QString langDir = at("lang");
        QVERIFY(QDir().mkpath(langDir));
        writeBytes(langDir + "/b.lng", "# comment\n#\nSecond\nLabel B\nmore\n");
        writeBytes(langDir + "/a.lng", "Only\n");
        appData.pathLanguage = langDir;
        appData.language = QStringLiteral("eng.lng");
        appData.openLastPrj = false;
        auto *w = new TMainWindow;
        QStringList entries;
        QString restart;
        answerModal<TDialogSetLanguage>([&entries, &restart](TDialogSetLanguage *dialog) {
            auto *list = dialog->findChild<QListWidget *>();
            QVERIFY(list);
            for (int i = 0; i < list->count(); ++i)
                entries << list->item(i)->text();
            list->setCurrentRow(entries.indexOf(QStringLiteral("Second (Label B)")));
            answerButton(QMessageBox::Ok, &restart);
            dialog->accept();
        });
        w->slotSetLanguage();
        QCOMPARE(entries, (QStringList{QStringLiteral("Only ()"), QStringLiteral("Second (Label B)")}));
        QCOMPARE(appData.language, QStringLiteral("b.lng"));
        QCOMPARE(restart, QStringLiteral("Please restart the program!"));
        answerModal<TDialogSetLanguage>([](TDialogSetLanguage *dialog) {
            auto *list = dialog->findChild<QListWidget *>();
            QVERIFY(list);
            list->setCurrentRow(-1);
            dialog->accept();
        });
        w->slotSetLanguage();
        QCOMPARE(appData.language, QStringLiteral("b.lng"));

        // Only the window keys reach the file when only they are asked for.
        QFile::remove(settingsFilePath());
        appData.saveSettingsWindow = true;
        w->setGeometry(40, 50, 700, 500);
        delete w;
        appData.saveSettingsWindow = false;
        QSettings ini(settingsFilePath(), QSettings::IniFormat);
        QCOMPARE(ini.value(QStringLiteral("WindowMain/Width")).toInt(), 700);
        QVERIFY(!ini.contains(QStringLiteral("Main/Language")));
    }
};

QTEST_MAIN(TestMainWinExec)
#include "test_mainwin_exec.moc"
