#include "support/ExecHarness.h"

#include "core/TAppData.h"
#include "core/consts.h"
#include "data/TDataPrj.h"
#include "devices/TDevTools.h"

int addToolCmd(int cfg, const char *code, const TData &values)
{
    TData data{{REC_ID_CFG, cfg}, {REC_STATUS, 1}, {REC_CMD, QString::fromLatin1(code)}};
    TDevTools(GROUP_TOOLS, TData()).initCmdParam(data);
    for (auto it = values.begin(); it != values.end(); ++it)
        data.insert(it.key(), it.value());
    return dataPrj.addCmd(data);
}

int addSetProgLoop(const QString &name, int passes)
{
    const int cfg = dataPrj.addCfg(name, QString());
    const int first = addToolCmd(cfg, CMD_SET_PROG);
    addToolCmd(cfg, CMD_COUNTER, {{COUNTER_VALUE, 0}, {COUNTER_LIMIT, passes}});
    addToolCmd(cfg, CMD_JAMP, {{JAMP_TO_CMD, first}});
    return cfg;
}

void useProgrammer(const QString &name, const QString &port, const QString &type, const QString &file)
{
    TProgType types;
    types.add(type, file);
    appData.progType.replace(types);
    TProgName names;
    names.add(true, name, port, type);
    appData.progName.replace(names);
}

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
