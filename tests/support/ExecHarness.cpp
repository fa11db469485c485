#include "support/ExecHarness.h"

QPointer<QThread> startExec(int cfg, Receiver *rx)
{
    auto *thread = new QThread;
    auto *worker = new TExec(cfg);
    QObject::connect(rx, &Receiver::signalPauseReset, worker, &TExec::slotPauseReset);
    QObject::connect(rx, &Receiver::signalStop, worker, &TExec::slotStop);
    QObject::connect(thread, &QThread::started, worker, &TExec::slotStart);
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    QObject::connect(worker, &TExec::signalEventText, rx, &Receiver::slotExecEventText,
                     Qt::BlockingQueuedConnection);
    QObject::connect(worker, &TExec::signalEventProc, rx, &Receiver::slotExecEventProc,
                     Qt::BlockingQueuedConnection);
    QObject::connect(worker, &TExec::signalFinished, thread, &QThread::quit);
    QObject::connect(worker, &TExec::signalExecuteFromCmd, rx, &Receiver::slotExecuteFromCmd,
                     Qt::BlockingQueuedConnection);
    QObject::connect(worker, &TExec::signalPauseFromCmd, rx, &Receiver::slotPauseFromCmd,
                     Qt::BlockingQueuedConnection);
    QObject::connect(worker, &TExec::signalStatusFromCmd, rx, &Receiver::slotStatusFromCmd,
                     Qt::BlockingQueuedConnection);
    QObject::connect(worker, &TExec::signalFinished, worker, &QObject::deleteLater);
    QObject::connect(worker, &TExec::signalDestroy, rx, &Receiver::slotExecFinished);
    worker->moveToThread(thread);
    thread->start(QThread::NormalPriority);
    return thread;
}
