// Settings and runs together: a programmer set up through the dialogs is
// the one a run opens, and OK pressed while a loop of programmer choices
// runs leaves every pass on the right port, also OK of the main window's
// settings dialog pressed again and again by the user; a colour picked in
// its dialog is the one stored.

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TCtrlProject.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "gui/dialogs/TDialogSetupPageInterface.h"
#include "gui/dialogs/TDialogSetupPageMain.h"
#include "gui/dialogs/TDialogSetupPageProg.h"
#include "gui/dialogs/TDialogSetupPageProgEdit.h"
#include "gui/dialogs/TDialogSetupSelect.h"
#include "gui/main/TMainWindow.h"
#include "gui/main/startup.h"
#include "gui/views/TWgtConfig.h"
#include "gui/views/TWgtLogExec.h"
#include "gui/views/TWgtPrj.h"
#include "gui/widgets/TWgtColorEnableEdit.h"
#include "gui/widgets/TWgtLabelBtn.h"
#include "link/TExec.h"
#include "link/TSerialPort.h"
#include "support/ExecHarness.h"
#include "support/FakeProgrammer.h"
#include "support/ModalAnswer.h"
#include "support/WindowDriver.h"

#include <QColorDialog>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QString PROGS = QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs");

QStringList noPorts()
{
    return {};
}


} // namespace

class TestSettingsRun : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<FakeProgrammer> fake;

    QVector<QByteArray> wire() const
    {
        QVector<QByteArray> frames;
        for (const FakeProgrammer::Request &r : fake->requests())
            frames << QByteArray(1, char(r.code)) + r.payload;
        return frames;
    }

private slots:
    void initTestCase()
    {
        registerMetaTypes();
        lang.load(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/language/eng.lng"));
        setAppFileLocation(dir.path(), QStringLiteral("velkor"));
        TSerialPort::setPortLister(&noPorts);
    }

    void init()
    {
        appData.load();
        appData.progName.clear();
        appData.progType.clear();
        appData.progDefault = -1;
        appData.setFolder(&TAppData::pathProgs, PROGS);
        fake.reset(new FakeProgrammer);
        QVERIFY2(fake->start(), qPrintable(fake->errorString()));
        dataPrj.clear();
    }

    void cleanup()
    {
        dataPrj.clear();
        fake.reset();
        finishModalAnswers();
    }

    // A type and a default name on the emulator's pseudo-terminal, entered
    // through the dialogs; after OK a run of a new "set_prog" opens it.
    void programmerEnteredInTheDialogsRuns()
    {
        TDialogSetupSelect dialog;
        dialog.loadPages();
        TDialogSetupPageProg *page = nullptr;
        for (IDialogSetupPage *p : dialog.pages())
            if (auto *prog = qobject_cast<TDialogSetupPageProg *>(p))
                page = prog;
        QVERIFY(page);
        const QString pty = fake->portName();
        answerModal<TDialogSetupSelect>([&](TDialogSetupSelect *shown) {
            answerModal<TDialogSetupPageProgTypeEdit>([](TDialogSetupPageProgTypeEdit *d) {
                const QList<QLineEdit *> edits = d->findChildren<QLineEdit *>();
                QTest::keyClicks(edits.at(0), QStringLiteral("Emulated"));
                QTest::keyClicks(edits.at(1), QStringLiteral("emulator.ini"));
                d->okButton()->click();
            });
            page->slotTypeAdd();
            answerModal<TDialogSetupPageProgAliasEdit>([pty](TDialogSetupPageProgAliasEdit *d) {
                QTest::keyClicks(d->findChild<QLineEdit *>(), QStringLiteral("Bench box"));
                auto *port = d->findChildren<QComboBox *>().at(0);
                port->setFocus();
                port->lineEdit()->selectAll();
                QTest::keyClicks(port, pty);
                d->findChildren<QComboBox *>().at(1)->setCurrentText(QStringLiteral("Emulated"));
                d->okButton()->click();
            });
            page->slotAliasAdd();
            page->aliasTable()->item(0, 0)->setCheckState(Qt::Checked);   // the default
            shown->findChildren<QPushButton *>().at(0)->click();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        dialog.savePages();
        QCOMPARE(appData.progName.names(), QStringList({"Bench box"}));
        QCOMPARE(appData.progName.find("Bench box").port, pty);
        QCOMPARE(appData.progType.value("Emulated"), QStringLiteral("emulator.ini"));
        QCOMPARE(appData.progDefault, 0);

        const int cfg = dataPrj.addCfg(QStringLiteral("run"), QString());
        addToolCmd(cfg, CMD_SET_PROG);
        dataPrj.validateAll();
        Receiver rx;
        QVERIFY(TExec::waitForThread(startExec(cfg, &rx), 20000));
        QTRY_COMPARE(rx.destroyed.size(), 1);
        QCOMPARE(rx.statuses, (QVector<QPair<int, bool>>{{cfg, true}}));
        QCOMPARE(wire(), QVector<QByteArray>({QByteArray("\x80"), QByteArray("\x81"), QByteArray::fromHex("8301"),
                                              QByteArray::fromHex("85"), QByteArray::fromHex("8300")}));
    }

    // The programmer and main pages saved over and over while a loop of
    // "set_prog" runs: the worker reads copies, so every pass finds the
    // programmer and opens its port.
    void okWhileALoopRuns()
    {
        appData.progType.add(QStringLiteral("Emulated"), QStringLiteral("emulator.ini"));
        appData.progName.add(true, QStringLiteral("Loop"), fake->portName(), QStringLiteral("Emulated"));
        appData.progDefault = 0;
        constexpr int passes = 40;
        const int cfg = addSetProgLoop(QStringLiteral("loop"), passes);
        dataPrj.validateAll();

        TDialogSetupPageProg progPage;
        TDialogSetupPageMain mainPage;
        progPage.load();
        mainPage.load();
        Receiver rx;
        QPointer<QThread> thread = startExec(cfg, &rx);
        int saves = 0;
        while (thread) {
            progPage.save();
            mainPage.save();
            ++saves;
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE(rx.destroyed.size(), 1);
        QCOMPARE(rx.statuses, (QVector<QPair<int, bool>>{{cfg, true}}));
        QVERIFY(saves > 1);
        int opened = 0;
        for (const QByteArray &frame : wire())
            opened += frame == QByteArray("\x80");
        QCOMPARE(opened, passes);
        QCOMPARE(appData.progName.names(), QStringList({"Loop"}));
        QCOMPARE(appData.folder(&TAppData::pathProgs), PROGS);
    }

    // A loop of programmer choices started from the main window (choose
    // the programmer, count, pause, jump back) while the user opens the
    // settings dialog and presses OK again and again: at every pause and
    // while the loop runs free. Each OK swaps the programmer lists and
    // validates the project again under the run; every pass still opens
    // its programmer, the counter reaches its limit and the run ends well.
    void settingsOkAgainAndAgainFromTheWindowWhileALoopRuns()
    {
        useProgrammer(QStringLiteral("Loop"), fake->portName(), QStringLiteral("Emulated"),
                      QStringLiteral("emulator.ini"));
        appData.progDefault = 0;
        appData.confirmExecConfig = false;
        appData.confirmQuit = false;
        appData.saveSettingsApp = false;
        appData.saveSettingsWindow = false;
        constexpr int passes = 6;
        const QString project = dir.filePath(QStringLiteral("loop.prj"));
        // Only a project with a file clears: what the runs above made in
        // memory goes.
        dataPrj.fromHash({{INFO_PRJ_FILE, project}, {PRJ_WORK_PATH, dir.path()}});
        dataPrj.clear();
        dataPrj.fromHash({{INFO_PRJ_FILE, project}, {PRJ_WORK_PATH, dir.path()}});
        const int loop = dataPrj.addCfg(QStringLiteral("Loop"), QString());
        const int first = addToolCmd(loop, CMD_SET_PROG, {{SET_PROG_PROG, QStringLiteral("Loop")}});
        addToolCmd(loop, CMD_COUNTER, {{COUNTER_VALUE, 0}, {COUNTER_LIMIT, passes}});
        addToolCmd(loop, CMD_PAUSE);
        addToolCmd(loop, CMD_JAMP, {{JAMP_TO_CMD, first}});
        TCtrlProject ctrl;
        QVERIFY2(ctrl.save(project, &dataPrj), qPrintable(ctrl.lastError()));
        dataPrj.clear();
        QFile list(dir.filePath(QStringLiteral("list.lst")));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("{\"list\": [{\"name\": \"Loop\", \"file\": \"loop.prj\"}]}");
        list.close();
        openAtStart(dir.path(), QStringLiteral("list.lst"), 0);

        TMainWindow w;
        w.show();
        QVERIFY(dataPrj.isOpen());
        const int id = w.prjView()->cfgIdAt(0);
        int oks = 0, resumed = 0;
        const auto pressOk = [&] {
            answerModal<TDialogSetupSelect>([](TDialogSetupSelect *d) {
                for (QPushButton *b : d->findChildren<QPushButton *>())
                    if (b->text() == lang.text(79))
                        QTest::mouseClick(b, Qt::LeftButton);
            });
            w.action(QStringLiteral("Setup"))->trigger();
            ++oks;
        };
        focusCmdRow(w, 0, 0);
        w.action(QStringLiteral("Exec"))->trigger();
        QVERIFY(w.isRunning(id));
        // Ends only once the counter stops the run: each pause waits for
        // the resume below.
        while (w.isRunning(id)) {
            pressOk();
            if (dataPrj.cfgExecState(id) == 2) {
                pressOk();
                focusCmdRow(w, 0, 0);
                w.action(QStringLiteral("Exec"))->trigger();
                ++resumed;
            }
        }
        const QString log = w.prjView()->cfgPage(0)->log()->textView()->toPlainText();
        QVERIFY2(dataPrj.cfgExecState(id) == 3, qPrintable(log));
        QCOMPARE(resumed, passes - 1);
        QVERIFY(oks >= 2 * resumed);
        int opened = 0, identified = 0;
        for (const QByteArray &frame : wire()) {
            opened += frame == QByteArray("\x80");
            identified += frame == QByteArray("\x81");
        }
        QCOMPARE(opened, passes);
        QCOMPARE(identified, passes);
        QCOMPARE(dataPrj.cmdsOfCfg(id).at(1)->params().value(COUNTER_VALUE).toInt(), passes);
        const TProgLists lists = appData.progLists();
        QCOMPARE(lists.names.names(), QStringList({"Loop"}));
        QCOMPARE(lists.names.find(QStringLiteral("Loop")).port, fake->portName());
        QCOMPARE(lists.types.value(QStringLiteral("Emulated")), QStringLiteral("emulator.ini"));
        dataPrj.resetModified();
    }

    // The jump colour picked in its colour dialog is what OK stores.
    void colourChosenInItsDialog()
    {
        appData.cmdToolsJampColor = QColor(1, 2, 3);
        TDialogSetupPageInterface page;
        page.load();
        page.show();
        const QList<TWgtColorEnableEdit *> edits = page.findChildren<TWgtColorEnableEdit *>();
        QVERIFY(edits.size() > 4);
        TWgtColorEnableEdit *edit = edits.at(4);   // set_prog, execute, delay, counter, jamp
        answerModal<QColorDialog>([](QColorDialog *d) {
            d->setCurrentColor(QColor(10, 20, 30));
            d->accept();
        });
        QTest::mouseClick(edit->findChild<TWgtLabelBtn *>(), Qt::LeftButton);
        page.save();
        QCOMPARE(appData.cmdToolsJampColor, QColor(10, 20, 30));
    }
};

QTEST_MAIN(TestSettingsRun)
#include "test_settings_run.moc"
