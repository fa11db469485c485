#include "link/TExec.h"

#include "core/TData.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "core/handover.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "devices/IDeviceExec.h"
#include "devices/TCheck.h"
#include "devices/TDevProgExec.h"
#include "devices/exec_messages.h"
#include "link/TSerialPort.h"
#include "link/run_check.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaMethod>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <memory>

namespace {

const QString SOURCE = QStringLiteral("link\\TExec");

// Lets the worker thread's pending queued calls run (stop and pause-reset
// requests from the GUI reach the run this way).
void processEvents()
{
    QCoreApplication::processEvents();
}

// Connects a signal or slot that only some executors have, found by its
// signature, to a signal of the worker (or a signal of the worker to it).
void connectByName(QObject *sender, const char *signalSignature, QObject *receiver,
                   const QMetaMethod &receiverMethod)
{
    const int index = sender->metaObject()->indexOfSignal(signalSignature);
    if (index >= 0)
        QObject::connect(sender, sender->metaObject()->method(index), receiver, receiverMethod);
}

void connectToSlotByName(QObject *sender, const QMetaMethod &signal, QObject *receiver,
                         const char *slotSignature)
{
    const int index = receiver->metaObject()->indexOfSlot(slotSignature);
    if (index >= 0)
        QObject::connect(sender, signal, receiver, receiver->metaObject()->method(index));
}

} // namespace

TExec::TExec(int id_cfg, QObject *parent)
    : QObject(parent), m_idCfg(id_cfg)
{
}

TExec::~TExec()
{
    emit signalDestroy(m_idCfg);
}

int TExec::idCfg() const
{
    return m_idCfg;
}

void TExec::slotStop(int id_cfg)
{
    if (id_cfg != m_idCfg)
        return;
    m_stop = true;
    emit signalStop();
}

void TExec::slotPauseReset(int id_cfg)
{
    if (id_cfg == m_idCfg)
        emit signalPauseReset();
}

void TExec::slotPausedByCmd(int)
{
    emit signalPauseFromCmd(m_idCfg);
}

void TExec::passText(TCodeExec code, const QString &text, const QString &text2)
{
    const handover::Lend lend(&text, &text2);
    emit signalEventText(code, text, text2);
}

void TExec::connectExec(IDeviceExec *exec, const QString &code)
{
    connect(exec, &IDeviceExec::signalEventText, this, &TExec::passText);
    connect(exec, &IDeviceExec::signalEventProc, this, &TExec::signalEventProc);
    connect(this, &TExec::signalStop, exec, &IDeviceExec::slotStop);
    if (code == QLatin1String(CMD_EXECUTE) || code == QLatin1String(CMD_AUTO_DETECT))
        connectByName(exec, "signalExecuteFromCmd(int)", this,
                      QMetaMethod::fromSignal(&TExec::signalExecuteFromCmd));
    if (code == QLatin1String(CMD_PAUSE)) {
        connectByName(exec, "signalPauseFromCmd(int)", this,
                      metaObject()->method(metaObject()->indexOfSlot("slotPausedByCmd(int)")));
        connectToSlotByName(this, QMetaMethod::fromSignal(&TExec::signalPauseReset), exec,
                            "slotPauseReset()");
    }
}

void TExec::slotStart()
{
    // Nothing the run holds a pointer to is freed before endRun().
    dataPrj.beginRun();

    TSerialPort port;
    port.setHolder(lang.text(MSG_PORT_HOLDER).arg(dataPrj.cfgName(m_idCfg)));
    bool stopRun = false;
    int cfgId = m_idCfg;
    int lastCmdId = -1;
    std::unique_ptr<IDeviceExec> exec;
    bool anyExec = false;       // an executor was created in this run
    bool isLeave = false;
    bool ok = true;
    bool requestFailed = false; // one of the worker's own requests failed
    QString failText;
    QString lastName;           // display name of the last command taken
    int checkedCfg = -1;        // the configuration checked last
    runcheck::Checker check;

    for (;;) {
        if (stopRun || m_stop)
            break;
        // Nothing of a configuration is sent while one of its enabled
        // commands would be refused: checked at the start and wherever an
        // executor moved the run, from where the run goes on.
        if (cfgId != checkedCfg) {
            checkedCfg = cfgId;
            runcheck::Refusal refusal;
            if (check.findRefusal(cfgId, lastCmdId, refusal)) {
                lastName = refusal.name;
                processEvents();
                passText(EXEC_CMD, refusal.name, refusal.paramText);
                processEvents();
                failText = refusal.text;
                ok = false;
                break;
            }
        }
        TDataCmd *cmd = dataPrj.nextEnabledCmd(cfgId, lastCmdId);
        if (!cmd)
            break;
        const TData data = cmd->toHash();
        lastCmdId = getParam(SOURCE, __LINE__, data, REC_ID_CMD).toInt();
        const QString code = getParam(SOURCE, __LINE__, data, REC_CMD).toString();

        // A new programmer: the one on the open link is told that the run
        // there is over before the link is closed.
        if (code == QLatin1String(CMD_SET_PROG) && port.isOpen()) {
            const bool sent = TDevProgExec::sendFinish(&port)
                && TDevProgExec::sendStatus(&port, TDevProgExec::STATE_IDLE);
            if (!sent) {
                ok = false;
                requestFailed = true;
                break;
            }
            port.close();
        }

        exec.reset();
        // A device command with no device chosen before it has no handler;
        // it is refused below without asking anyone for an executor.
        IDevice *handler = cmd->handler();
        if (handler) {
            exec.reset(handler->createExec(data));
            anyExec = anyExec || exec;
        }
        const QString name = IDevice::shownName(data);
        const QString paramText = handler ? handler->cmdParamText(data, nullptr) : QString();
        lastName = name;

        processEvents();
        passText(EXEC_CMD, name, paramText);
        processEvents();

        // Refused since the run began (its configuration changed).
        if (!handler || !cmd->validDev() || !cmd->validParam()) {
            failText = runcheck::flagRefusal(cmd, data, name);
            ok = false;
            break;
        }
        if (!exec) {
            // The handler cannot carry this command out.
            failText = TCheck::notOffered(code, handler->name()).text(name);
            ok = false;
            break;
        }

        connectExec(exec.get(), code);
        // A stop that arrived while the command was being logged came before
        // the executor could hear it.
        if (m_stop)
            exec->slotStop();
        isLeave = code == QLatin1String(CMD_LEAVE);

        processEvents();
        const bool done = exec->execute(&port, &stopRun, &cfgId, &lastCmdId);
        processEvents();
        // A read into the command: its line shows the value read, not the
        // one the command held when it started.
        if (exec->storedRead()) {
            const QString now = handler->cmdParamText(cmd->toHash(), nullptr);
            if (now != paramText)
                passText(EXEC_CMD_READ, name, now);
        }
        // A write or erase that a stop or a failure cut short: what the
        // chip now holds.
        for (const QString &line : exec->unfinishedChangeText())
            passText(EXEC_TEXT_NEXT, line, QString());

        if (done && code == QLatin1String(CMD_SET_PROG) && port.isOpen()
            && !TDevProgExec::sendStatus(&port, TDevProgExec::STATE_RUNNING)) {
            ok = false;
            requestFailed = true;
            break;
        }

        emit signalEventProc(0);
        processEvents();

        if (!done) {
            ok = false;
            break;
        }
    }

    // The outcome.
    if (!ok && failText.isEmpty() && exec)
        failText = exec->errorText();
    if (!ok && failText.isEmpty() && requestFailed)
        failText = port.errorString();
    // Every failure says why: one that gave no reason at least names its command.
    if (!ok && failText.isEmpty())
        failText = lang.text(execmsg::FAILED_NO_REASON).arg(lastName);

    // The programmer is told that the run is over: the end of the run, then
    // the idle state. Either request failing fails the run, as it does at a
    // change of programmer; the chip work before it was done all the same.
    const bool workDone = ok;
    if (!isLeave && anyExec && !port.isFailed() && port.isOpen() && !TDevProgExec::sendFinish(&port))
        ok = false;
    if (ok && port.isOpen() && !port.isFailed() && !TDevProgExec::sendStatus(&port, TDevProgExec::STATE_IDLE))
        ok = false;
    if (workDone && !ok) {
        failText = port.errorString();
        passText(EXEC_TEXT_NEXT, lang.text(execmsg::END_REQUEST_FAILED), QString());
    }
    // A link that has failed gets no further request.
    const bool linkFailed = port.isFailed();

    if (ok) {
        passText(EXEC_SUCCESS, lang.text(m_stop ? execmsg::STOPPED : execmsg::COMPLETED), QString());
    } else {
        if (port.isOpen() && !linkFailed)
            TDevProgExec::sendStatus(&port, TDevProgExec::STATE_FAILED);
        passText(EXEC_FAILED, failText, QString());
    }

    if (port.isOpen())
        port.close();
    exec.reset();
    dataPrj.endRun();

    // Reported for the configuration that was started, wherever the run went.
    emit signalStatusFromCmd(m_idCfg, ok);
    emit signalFinished();
}

bool TExec::waitForThread(QThread *thread, int timeoutMs)
{
    QPointer<QThread> guard(thread);
    if (!guard)
        return true;
    QEventLoop loop;
    connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    connect(thread, &QObject::destroyed, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (!thread->isFinished())
        loop.exec();
    return !guard || guard->isFinished();
}
