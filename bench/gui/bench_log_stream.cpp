// A worker thread streams 100,000 log events into a configuration page
// through blocking queued connections, as a run does. Reports the time per
// event over the last 10,000 against the first 10,000, the time per event
// against the same stream into an empty slot in the same run, the longest
// gap of a 10 ms GUI-thread timer during the stream, and the time to clear
// and to show the log at 100,000 lines.

#include "core/TAppData.h"
#include "devices/TCodeExec.h"
#include "gui/main/startup.h"
#include "gui/views/TWgtConfig.h"
#include "gui/views/TWgtLogExec.h"

#include <QApplication>
#include <QEventLoop>
#include <QTextDocument>
#include <QElapsedTimer>
#include <QTextEdit>
#include <QThread>
#include <QTimer>
#include <QVector>

#include <cstdio>

namespace {

constexpr int EVENTS = 100000;
constexpr int WINDOW = 10000;

class Streamer : public QObject
{
    Q_OBJECT
public:
    QVector<qint64> stamps;   // nanoseconds after the start, one per event

signals:
    void signalEventText(TCodeExec code, const QString &text, const QString &text2);
    void done();

public slots:
    void run()
    {
        QElapsedTimer clock;
        clock.start();
        stamps.reserve(EVENTS);
        for (int i = 0; i < EVENTS; ++i) {
            const TCodeExec code = (i % 4 == 0) ? EXEC_CMD : (i % 4 == 1) ? EXEC_TEXT
                                                             : (i % 4 == 2) ? EXEC_RESULT : EXEC_WORK;
            emit signalEventText(code, QStringLiteral("Line %1 of the stream").arg(i),
                                 QStringLiteral("p=%1").arg(i));
            stamps << clock.nsecsElapsed();
        }
        emit done();
    }
};

class Sink : public QObject
{
    Q_OBJECT
public slots:
    void slotExecEventText(TCodeExec, const QString &, const QString &) {}
};

struct Result
{
    double firstUs = 0, lastUs = 0, meanUs = 0;
    qint64 longestGapMs = 0;
};

Result stream(bool toPage, TWgtConfig *page, Sink *sink)
{
    QThread thread;
    Streamer streamer;
    streamer.moveToThread(&thread);
    if (toPage)
        QObject::connect(&streamer, &Streamer::signalEventText, page,
                         QOverload<TCodeExec, const QString &, const QString &>::of(
                             &TWgtConfig::slotExecEventText),
                         Qt::BlockingQueuedConnection);
    else
        QObject::connect(&streamer, &Streamer::signalEventText, sink, &Sink::slotExecEventText,
                         Qt::BlockingQueuedConnection);
    QEventLoop loop;
    QObject::connect(&streamer, &Streamer::done, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    QObject::connect(&thread, &QThread::started, &streamer, &Streamer::run);

    QElapsedTimer gap;
    qint64 longest = 0;
    QTimer tick;
    tick.setInterval(10);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = qMax(longest, gap.restart());
    });
    gap.start();
    tick.start();
    thread.start();
    loop.exec();
    tick.stop();
    thread.quit();
    thread.wait();

    const QVector<qint64> &s = streamer.stamps;
    Result r;
    r.firstUs = double(s.at(WINDOW - 1)) / WINDOW / 1000.0;
    r.lastUs = double(s.at(EVENTS - 1) - s.at(EVENTS - WINDOW - 1)) / WINDOW / 1000.0;
    r.meanUs = double(s.last()) / EVENTS / 1000.0;
    r.longestGapMs = longest;
    return r;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerMetaTypes();
    appData.execLogShowTime = true;
    appData.execLogShowTime_ms = true;

    TWgtConfig page;
    page.showPageExec();
    page.resize(900, 600);
    page.show();
    Sink sink;

    const Result empty = stream(false, &page, &sink);
    const Result log = stream(true, &page, &sink);

    std::printf("log stream, %d events through blocking queued connections\n", EVENTS);
    std::printf("  into the page: first %d %.2f us/event, last %d %.2f us/event, ratio %.2f\n",
                WINDOW, log.firstUs, WINDOW, log.lastUs, log.lastUs / log.firstUs);
    std::printf("  into an empty slot: %.2f us/event; page / empty slot %.1f\n", empty.meanUs,
                log.meanUs / empty.meanUs);
    std::printf("  longest gap of a 10 ms GUI timer: %lld ms (empty slot: %lld ms)\n",
                static_cast<long long>(log.longestGapMs), static_cast<long long>(empty.longestGapMs));

    const int lines = page.log()->textView()->document()->blockCount();
    QElapsedTimer timer;
    page.hide();
    timer.start();
    page.show();
    page.log()->textView()->repaint();
    QCoreApplication::processEvents();
    const double showMs = double(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    page.clearLog();
    QCoreApplication::processEvents();
    const double clearMs = double(timer.nsecsElapsed()) / 1e6;
    std::printf("  at %d lines: show %.1f ms, clear %.1f ms\n",
                lines, showMs, clearMs);
    return 0;
}

#include "bench_log_stream.moc"
