// ID Prog and Reset through the main window while the user does what would
// take their configuration, project or window away, and the port a run or
// an exchange holds: the emulated programmer on a pseudo-terminal holds its
// reply back until the test has acted, so every action falls inside the
// exchange.

#include "core/TAppData.h"
#include "core/TCmdCode.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TCtrlProject.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/param_schema.h"
#include "gui/dialogs/TDialogSetupSelect.h"
#include "gui/main/TMainWindow.h"
#include "gui/main/startup.h"
#include "gui/views/TWgtConfig.h"
#include "gui/views/TWgtLogExec.h"
#include "gui/views/TWgtPrj.h"
#include "gui/views/TWgtPrjList.h"
#include "link/TExec.h"
#include "link/TSerialPort.h"
#include "support/ExecHarness.h"
#include "support/FakeProgrammer.h"
#include "support/ModalAnswer.h"
#include "support/WindowDriver.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

QVector<QByteArray> wire(const FakeProgrammer &fake)
{
    QVector<QByteArray> r;
    for (const FakeProgrammer::Request &q : fake.requests())
        r << QByteArray(1, char(q.code)) + q.payload;
    return r;
}

QString logOf(TWgtConfig *page)
{
    return page ? page->log()->textView()->toPlainText() : QStringLiteral("<no page>");
}

struct Finally
{
    std::function<void()> fn;
    template <typename F> explicit Finally(F f) : fn(f) {}
    ~Finally() { fn(); }
};

const QVector<QByteArray> kIdProgWire = {"\x80", "\x81", QByteArray("\x83\x03", 2)};
const QVector<QByteArray> kResetWire = {"\x80", "\x81", QByteArray("\x83\x01", 2), QByteArray("\x86\x70\xFE", 3),
                                        QByteArray("\x83\x00", 2)};

} // namespace

class TestMainWinQuick : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    FakeProgrammer fake;
    QString at(const QString &name) const { return home.filePath(name); }

    void writeBytes(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    // "Board": the programmer and an AVR8, which takes a reset pulse; "Hold"
    // keeps the programmer's port while it waits; "Second" chooses the same
    // programmer. Two projects alike and a group entry in the list.
    void writeProjects()
    {
        dataPrj.clear();
        dataPrj.fromHash({{INFO_PRJ_FILE, at("a.prj")}, {PRJ_WORK_PATH, home.path()}});
        const int board = dataPrj.addCfg(QStringLiteral("Board"), QString());
        addToolCmd(board, CMD_SET_PROG, {{SET_PROG_PROG, QStringLiteral("Emu")}});
        dataPrj.addCmd({{REC_ID_CFG, board}, {REC_STATUS, 1}, {REC_CMD, CMD_SET_DEVICE},
                        {SET_DEVICE_DEVICE, QStringLiteral("ATmega328P")},
                        {SET_DEVICE_FILE, QStringLiteral("avr8/atmega328p.dev")}});
        const int hold = dataPrj.addCfg(QStringLiteral("Hold"), QString());
        addToolCmd(hold, CMD_SET_PROG, {{SET_PROG_PROG, QStringLiteral("Emu")}});
        addToolCmd(hold, CMD_PAUSE);
        const int second = dataPrj.addCfg(QStringLiteral("Second"), QString());
        addToolCmd(second, CMD_SET_PROG, {{SET_PROG_PROG, QStringLiteral("Emu")}});
        addToolCmd(second, CMD_DELAY, {{DELAY_VALUE, 1}});
        TCtrlProject ctrl;
        QVERIFY2(ctrl.save(at("a.prj"), &dataPrj), qPrintable(ctrl.lastError()));
        QVERIFY(QFile::copy(at("a.prj"), at("b.prj")));
        dataPrj.clear();
        writeBytes(at("list.lst"), "{\"list\": [{\"name\": \"A\", \"file\": \"a.prj\"},"
                                   " {\"name\": \"B\", \"file\": \"b.prj\"}, {\"name\": \"Group\"}]}");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(home.isValid());
        setAppFileLocation(home.path());
        registerMetaTypes();
        lang.load(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/language/eng.lng"));
        // The emulator's description with a time-out far above any hold.
        QFile ini(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs/emulator.ini"));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QByteArray text = ini.readAll();
        QVERIFY(text.contains("TimeOut=1000\n"));
        text.replace("TimeOut=1000\n", "TimeOut=30000\n");
        QVERIFY(QDir().mkpath(at("progs")));
        writeBytes(at("progs/slow.ini"), text);
        appData.setFolder(&TAppData::pathDevices, QStringLiteral(VELKOR_SOURCE_DIR "/runtime/devices"));
        appData.setFolder(&TAppData::pathProgs, at("progs"));

        QVERIFY2(fake.start(), qPrintable(fake.errorString()));
        useProgrammer(QStringLiteral("Emu"), fake.portName(), QStringLiteral("Slow"), QStringLiteral("slow.ini"));

        writeProjects();
        openAtStart(home.path(), QStringLiteral("list.lst"), 0, 0, 1);
        appData.confirmQuit = false;
        appData.confirmExecConfig = false;
        appData.confirmCmdDeleteCur = false;
        appData.autoSavePrj = false;
        appData.saveSettingsApp = false;
        appData.saveSettingsWindow = false;
        appData.execClearWindow = true;
    }

    void cleanup()
    {
        fake.releaseHeld();
        fake.clearFaults();
        fake.clearRequests();
        dataPrj.resetModified();
        dataPrj.clear();
        finishModalAnswers();
    }

    // Each action that would take the exchange's configuration, project or
    // window away, done twice while the programmer holds its reply: the
    // exchange goes on, its requests are the same, its outcome reaches the
    // page it was asked for and no other one, and what was refused changed
    // nothing. Settings OK goes through and leaves the exchange alone.
    void actionsDuringTheExchange_data()
    {
        QTest::addColumn<bool>("reset");
        QTest::addColumn<QString>("action");
        for (bool reset : {false, true}) {
            const char *what = reset ? "Reset" : "ID Prog";
            for (const char *action : {"switch", "close", "delete", "settings", "window"})
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(what, action))) << reset << action;
        }
    }
    void actionsDuringTheExchange()
    {
        QFETCH(bool, reset);
        QFETCH(QString, action);
        // What the page's log shows, also once the window has closed it.
        QString shown;
        auto *w = new TMainWindow;
        // A failed check leaves no exchange waiting behind it.
        const Finally done([this, guard = QPointer<TMainWindow>(w)] {
            fake.releaseHeld();
            delete guard.data();
        });
        w->show();
        QVERIFY(dataPrj.isOpen());
        const QString project = dataPrj.prjFile();
        const int board = w->prjView()->cfgIdAt(0);
        const int commands = dataPrj.cmdsOfCfg(board).size();
        QPointer<TWgtConfig> page = w->prjView()->cfgPage(0);
        QPointer<TWgtConfig> otherPage = w->prjView()->cfgPage(1);
        connect(page->log()->textView()->document(), &QTextDocument::contentsChanged, this,
                [&shown, page] { shown = logOf(page); });

        fake.addFault(FakeFault::held().onCode(0x81));
        focusCmdRow(*w, 0, 1);
        QAction *act = w->action(reset ? QStringLiteral("ExecReset") : QStringLiteral("ExecIDProg"));
        QVERIFY(act->isEnabled());
        act->trigger();
        QVERIFY(w->quickBusy());
        QVERIFY(fake.waitHeld(10000));
        QVERIFY(!act->isEnabled());

        for (int round = 0; round < 2; ++round) {
            QString told;
            if (action == QLatin1String("switch") || action == QLatin1String("close")) {
                // Another project, or a group entry, which would close this one.
                answerBox(true, nullptr, &told);
                w->prjList()->setCurrentIndex(action == QLatin1String("switch") ? 1 : 2);
                QCOMPARE(told, lang.text(TMainWindow::MSG_RUN_PROJECT));
                QCOMPARE(w->prjList()->selectedIndex(), 0);
            } else if (action == QLatin1String("delete")) {
                focusCmdRow(*w, 0, 1);
                answerBox(true, nullptr, &told);
                w->action(QStringLiteral("CmdDeleteCur"))->trigger();
                QCOMPARE(told, lang.text(TMainWindow::MSG_RUN_EDIT).arg(QStringLiteral("Board")));
                QCOMPARE(dataPrj.cmdsOfCfg(board).size(), commands);
            } else if (action == QLatin1String("settings")) {
                answerModal<TDialogSetupSelect>([](TDialogSetupSelect *dialog) { dialog->accept(); });
                w->action(QStringLiteral("Setup"))->trigger();
                QVERIFY(dataPrj.cmdsOfCfg(board).at(1)->device());
            } else {
                QVERIFY(!w->close());
                QVERIFY(w->isVisible());
            }
            QCOMPARE(dataPrj.prjFile(), project);
            QVERIFY(w->quickBusy());
            QVERIFY(page);
        }

        fake.releaseHeld();
        if (action == QLatin1String("window")) {
            // The window goes once the outcome is written.
            QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible(), 10000);
            QVERIFY(!dataPrj.isOpen());
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(!w->quickBusy(), 10000);
            QVERIFY(w->isVisible());
        }
        QCOMPARE(wire(fake), reset ? kResetWire : kIdProgWire);
        QVERIFY2(shown.contains(lang.text(391)), qPrintable(shown));
        QVERIFY2(shown.contains(reset ? QStringLiteral("-400 ms") : QStringLiteral("ID Prog")), qPrintable(shown));
        QVERIFY(!logOf(otherPage).contains(lang.text(391)));
        if (w->isVisible()) {
            // The project can go now.
            w->prjList()->setCurrentIndex(1);
            QCOMPARE(dataPrj.prjFile(), at("b.prj"));
        }
    }

    // A configuration whose programmer's port a waiting run holds fails
    // naming that run, and so do ID Prog and Reset; a run started while an
    // exchange holds the port names the exchange. Nothing reaches the
    // programmer from the refused link.
    void portInUse()
    {
        TMainWindow w;
        w.show();
        const int board = w.prjView()->cfgIdAt(0);
        const int hold = w.prjView()->cfgIdAt(1);
        const int second = w.prjView()->cfgIdAt(2);
        const QString port = fake.portName();
        const QString byHold = QStringLiteral("Port %1: %2").arg(
            port, lang.text(TSerialPort::MSG_PORT_IN_USE_BY).arg(lang.text(TExec::MSG_PORT_HOLDER).arg("Hold")));

        focusCmdRow(w, 1, 0);
        w.action(QStringLiteral("Exec"))->trigger();
        QTRY_COMPARE(dataPrj.cfgExecState(hold), 2);
        const int sent = fake.requestCount();

        focusCmdRow(w, 2, 0);
        w.action(QStringLiteral("Exec"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(dataPrj.cfgExecState(second), 4, 10000);
        QVERIFY2(logOf(w.prjView()->cfgPage(2)).contains(byHold), qPrintable(logOf(w.prjView()->cfgPage(2))));

        for (const char *act : {"ExecIDProg", "ExecReset"}) {
            focusCmdRow(w, 0, 1);
            w.action(QLatin1String(act))->trigger();
            QTRY_VERIFY_WITH_TIMEOUT(!w.quickBusy(), 10000);
            QVERIFY2(logOf(w.prjView()->cfgPage(0)).contains(byHold), qPrintable(logOf(w.prjView()->cfgPage(0))));
        }
        QCOMPARE(fake.requestCount(), sent);

        // The run ends; now an exchange holds the port and a run is refused.
        emit w.signalStop(hold);
        QTRY_COMPARE(w.runningCount(), 0);
        fake.clearRequests();
        fake.addFault(FakeFault::held().onCode(0x81));
        focusCmdRow(w, 0, 1);
        w.action(QStringLiteral("ExecIDProg"))->trigger();
        QVERIFY(fake.waitHeld(10000));
        focusCmdRow(w, 2, 0);
        w.action(QStringLiteral("Exec"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(dataPrj.cfgExecState(second), 4, 10000);
        const QString byQuick = lang.text(TSerialPort::MSG_PORT_IN_USE_BY)
                                    .arg(lang.text(TMainWindow::MSG_PORT_HOLDER_QUICK).arg("ID Prog", "Board"));
        QVERIFY2(logOf(w.prjView()->cfgPage(2)).contains(byQuick), qPrintable(logOf(w.prjView()->cfgPage(2))));
        fake.releaseHeld();
        QTRY_VERIFY_WITH_TIMEOUT(!w.quickBusy(), 10000);
        QCOMPARE(wire(fake), kIdProgWire);
        QVERIFY(logOf(w.prjView()->cfgPage(0)).contains(lang.text(391)));
        Q_UNUSED(board);
    }

    // The failure names the real reason: a programmer of another interface,
    // a port that does not exist.
    void failureReasons()
    {
        TMainWindow w;
        w.show();
        fake.setInterfaceCode(7);
        focusCmdRow(w, 0, 1);
        w.action(QStringLiteral("ExecIDProg"))->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!w.quickBusy(), 10000);
        fake.setInterfaceCode(FakeProgrammer::DEFAULT_INTERFACE);
        const QString log = logOf(w.prjView()->cfgPage(0));
        QVERIFY2(log.contains(QStringLiteral("Port %1: %2").arg(fake.portName(), lang.text(399))), qPrintable(log));
        QCOMPARE(wire(fake), (QVector<QByteArray>{"\x80", "\x81"}));

        useProgrammer(QStringLiteral("Emu"), at("no-such-port"), QStringLiteral("Slow"), QStringLiteral("slow.ini"));
        focusCmdRow(w, 0, 1);
        w.action(QStringLiteral("ExecReset"))->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!w.quickBusy(), 10000);
        useProgrammer(QStringLiteral("Emu"), fake.portName(), QStringLiteral("Slow"), QStringLiteral("slow.ini"));
        QVERIFY2(logOf(w.prjView()->cfgPage(0)).contains(QStringLiteral("Port %1: %2").arg(at("no-such-port"),
                                                                                           lang.text(393))),
                 qPrintable(logOf(w.prjView()->cfgPage(0))));
        // A damaged choice of port opens none: the refusal names it.
        TDataCmd *setProg = dataPrj.cmdList().first();
        QCOMPARE(setProg->cmd(), QLatin1String(CMD_SET_PROG));
        setProg->putParams({{SET_PROG_ALT_ENABLED, QStringLiteral("flase")}});
        fake.clearRequests();
        focusCmdRow(w, 0, 1);
        w.action(QStringLiteral("ExecIDProg"))->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!w.quickBusy(), 10000);
        const QString refusal = schema::faultText(cmdCode.name(QLatin1String(CMD_SET_PROG)), setProg->toHash());
        QVERIFY(refusal.contains(QLatin1String(SET_PROG_ALT_ENABLED)));
        QVERIFY2(logOf(w.prjView()->cfgPage(0)).contains(refusal), qPrintable(logOf(w.prjView()->cfgPage(0))));
        QVERIFY(wire(fake).isEmpty());
    }
};

QTEST_MAIN(TestMainWinQuick)
#include "test_mainwin_quick.moc"
