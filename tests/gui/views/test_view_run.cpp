// A real run shown on a page: a worker in its own thread, connected the way
// the main window connects it, runs a configuration against the fake
// programmer on a pseudo-terminal while the page shows the log; the counter
// the worker stores reaches its row, and a page removed in the middle of the
// run neither crashes nor stops the run.

#include "gui/views/TWgtCmdList.h"
#include "gui/views/TWgtConfig.h"
#include "gui/views/TWgtLogExec.h"
#include "gui/views/TWgtPrj.h"
#include "views_fixture.h"

#include "link/TSerialPort.h"
#include "support/ExecHarness.h"
#include "support/FakeProgrammer.h"

#include <QProgressBar>
#include <QTableWidget>
#include <QTextEdit>

#include <functional>
#include <memory>

using namespace views;

namespace {

// Starts a worker for the configuration as the main window does: its own
// thread, blocking queued events to the page, the receiver beside it to
// record what was sent.
// onEvent, when given, runs in the GUI thread after the page and the
// receiver have taken each log event.
QPointer<QThread> startOnPage(int cfg, TWgtConfig *page, Receiver *rx,
                              std::function<void()> onEvent = nullptr)
{
    auto *thread = new QThread;
    auto *worker = new TExec(cfg);
    QObject::connect(thread, &QThread::started, worker, &TExec::slotStart);
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    QObject::connect(worker, &TExec::signalEventText, page,
                     QOverload<TCodeExec, const QString &, const QString &>::of(
                         &TWgtConfig::slotExecEventText),
                     Qt::BlockingQueuedConnection);
    QObject::connect(worker, &TExec::signalEventProc, page, &TWgtConfig::slotExecEventProc,
                     Qt::BlockingQueuedConnection);
    QObject::connect(worker, &TExec::signalEventText, rx, &Receiver::slotExecEventText,
                     Qt::BlockingQueuedConnection);
    QObject::connect(worker, &TExec::signalEventProc, rx, &Receiver::slotExecEventProc,
                     Qt::BlockingQueuedConnection);
    // Through the receiver: a functor of its own connected to the worker
    // would be freed in the worker's thread as the worker goes.
    rx->onEvent = onEvent;
    QObject::connect(worker, &TExec::signalStatusFromCmd, rx, &Receiver::slotStatusFromCmd,
                     Qt::BlockingQueuedConnection);
    QObject::connect(worker, &TExec::signalFinished, thread, &QThread::quit);
    QObject::connect(worker, &TExec::signalFinished, worker, &QObject::deleteLater);
    QObject::connect(worker, &TExec::signalDestroy, rx, &Receiver::slotExecFinished);
    worker->moveToThread(thread);
    thread->start();
    return thread;
}

// The project view as the main window holds it, showing the logs.
bool showView(TWgtPrj &view)
{
    QObject::connect(&dataPrj, &TDataPrj::signalChangeData, &view, &TWgtPrj::slotUpdateGUI,
                     Qt::QueuedConnection);
    view.rebuild();
    view.slotSetViewParamExec();
    view.resize(900, 500);
    view.show();
    return QTest::qWaitForWindowExposed(&view);
}

QStringList listPorts()
{
    return {};
}

} // namespace

class TestViewRun : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<FakeProgrammer> fake;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QVERIFY(setUpProviders(dir));
        appData.setFolder(&TAppData::pathProgs, QStringLiteral(VELKOR_SOURCE_DIR "/runtime/progs"));
        TProgType types;
        types.add(QStringLiteral("Emulated"), QStringLiteral("emulator.ini"));
        appData.progType.replace(types);
        TSerialPort::setPortLister(&listPorts);
        fake.reset(new FakeProgrammer);
        QVERIFY2(fake->start(), qPrintable(fake->errorString()));
        TProgName names;
        names.add(true, QStringLiteral("Emu"), fake->portName(), QStringLiteral("Emulated"));
        appData.progName.replace(names);
        appData.execLogShowTime = true;
        appData.execLogShowTime_ms = true;
    }

    void cleanupTestCase()
    {
        dataPrj.clear();
        fake.reset();
    }

    void runShowsOnThePage()
    {
        openProject(dir);
        QFile data(dir.filePath(QStringLiteral("data.bin")));
        QVERIFY(data.open(QIODevice::WriteOnly));
        data.write(QByteArray(256 * 1024, '\x5A'));
        data.close();
        const int cfg = dataPrj.addCfg(QStringLiteral("run"), QString());
        addCmd(cfg, CMD_SET_PROG, {{SET_PROG_PROG, QStringLiteral("Emu")}});
        const int counter = addCmd(cfg, CMD_COUNTER, {{COUNTER_VALUE, 0}, {COUNTER_LIMIT, 3}});
        addCmd(cfg, CMD_CALC_CRC, {{CRC_CRC_NAME, QStringLiteral("CRC-32/ISO-HDLC")},
                                   {CRC_FILE, QStringLiteral("data.bin")},
                                   {CRC_FORMAT, QStringLiteral("bin")},
                                   {CRC_COUNT, qint64(256 * 1024)}});
        addCmd(cfg, CMD_JAMP, {{JAMP_TO_CMD, counter}});
        dataPrj.validateAll();

        TWgtPrj view;
        QVERIFY(showView(view));
        TWgtConfig *page = view.cfgPageById(cfg);
        QVERIFY(page);
        QVector<int> bar;
        connect(page->log()->progressBar(), &QProgressBar::valueChanged, this,
                [&bar](int v) { bar << v; });
        QTableWidget *table = page->cmdList()->table();

        Receiver rx;
        page->setRunning(true);
        QPointer<QThread> thread = startOnPage(cfg, page, &rx);
        QVERIFY(TExec::waitForThread(thread, 30000));
        QTRY_COMPARE(rx.destroyed, QVector<int>({cfg}));
        QVERIFY2(rx.statuses == (QVector<QPair<int, bool>>{{cfg, true}}),
                 qPrintable(page->log()->textView()->toPlainText()));
        page->setRunning(false);
        screenshot(&view, QStringLiteral("view-run-log"));

        // Every event is in the log, in order.
        const QString log = page->log()->textView()->toPlainText();
        int at = 0;
        for (const Receiver::Event &e : rx.events) {
            const QString shown = e.code == EXEC_FAILED ? e.text : e.text.trimmed();
            const int found = log.indexOf(shown, at);
            QVERIFY2(found >= 0, qPrintable(QStringLiteral("missing: ") + shown));
            at = found;
        }
        QVERIFY(!rx.ofKind(EXEC_SUCCESS).isEmpty());
        // The bar took every percentage, reset on each command line.
        QVERIFY(rx.percents.contains(100));
        QVector<int> expected;
        for (int p : rx.percents)
            if (p >= 0 && p <= 100 && (expected.isEmpty() || expected.last() != p))
                expected << p;
        QVector<int> seen;
        for (int v : bar)
            if (v != 0)
                seen << v;
        QVector<int> nonZero;
        for (int p : expected)
            if (p != 0)
                nonZero << p;
        QCOMPARE(seen, nonZero);
        // The counter stored by the worker reaches its row.
        QTRY_VERIFY(table->item(1, 2)->text().startsWith(QLatin1String("Value: 3,")));
    }

    // The page is removed and deleted by a posted event while it writes a
    // log line; the run goes on to its end.
    void pageRemovedDuringTheRun()
    {
        openProject(dir);
        const int cfg = dataPrj.addCfg(QStringLiteral("run"), QString());
        const int counter = addCmd(cfg, CMD_COUNTER, {{COUNTER_VALUE, 0}, {COUNTER_LIMIT, 20}});
        addCmd(cfg, CMD_DELAY, {{DELAY_VALUE, 0}});
        addCmd(cfg, CMD_JAMP, {{JAMP_TO_CMD, counter}});
        dataPrj.validateAll();

        TWgtPrj view;
        QVERIFY(showView(view));
        QPointer<TWgtConfig> page = view.cfgPageById(cfg);
        QVERIFY(page);
        Receiver rx;
        bool posted = false;
        int tabsAfter = -1;
        // After the worker's fourth event, a posted event empties the view and
        // deletes the page outright: it runs inside the page's slot for the
        // next event, before that event is written.
        auto onEvent = [&] {
            if (posted || rx.events.size() < 4)
                return;
            posted = true;
            QMetaObject::invokeMethod(
                &view,
                [&] {
                    view.clear();
                    tabsAfter = view.tabWidget()->count();
                    delete page.data();
                },
                Qt::QueuedConnection);
        };
        QPointer<QThread> thread = startOnPage(cfg, page, &rx, onEvent);
        QVERIFY(TExec::waitForThread(thread, 30000));
        QTRY_COMPARE(rx.destroyed, QVector<int>({cfg}));
        QCOMPARE(rx.statuses, (QVector<QPair<int, bool>>{{cfg, true}}));
        QVERIFY(posted);
        QVERIFY(page.isNull());
        QCOMPARE(tabsAfter, 0);
        QVERIFY(rx.events.size() > 20);

        // A page deleted by an event that is pending when the window writes a
        // line itself: the slot returns without touching it.
        view.rebuild();
        QPointer<TWgtConfig> direct = view.cfgPageById(cfg);
        QMetaObject::invokeMethod(&view, [&direct] { delete direct.data(); }, Qt::QueuedConnection);
        direct->slotExecEventText(EXEC_TEXT, QStringLiteral("after removal"));
        QVERIFY(direct.isNull());
        direct = view.cfgPageById(cfg);
        QVERIFY(direct.isNull());
        QMetaObject::invokeMethod(&view, [&view] { view.clear(); }, Qt::QueuedConnection);
        view.slotSetViewParamExec();
        QCoreApplication::processEvents();

        // Emptying the view from inside a log slot: the page goes later.
        view.rebuild();
        QPointer<TWgtConfig> again = view.cfgPageById(cfg);
        QMetaObject::invokeMethod(&view, [&view] { view.clear(); }, Qt::QueuedConnection);
        again->slotExecEventText(EXEC_TEXT, QStringLiteral("still here"));
        QCOMPARE(view.tabWidget()->count(), 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(again.isNull());
    }
};

QTEST_MAIN(TestViewRun)
#include "test_view_run.moc"
