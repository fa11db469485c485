#pragma once
// The execution worker: runs the enabled commands of one configuration, in
// order, in a thread of its own. The main window creates a worker and a
// QThread per started configuration, moves the worker to the thread and
// connects the thread's started() to slotStart(), which is the whole run.
//
// For each command the worker asks the command's handler for an executor,
// logs the command, runs the executor on the serial link that every command
// of the run shares, and passes the executor's log lines and percentages on.
// After a command that a stop or a failure cut short in the middle of a
// write or erase it logs what the chip now holds. At the end it tells the
// programmer that the run is over (a failure of that fails the run), logs
// the outcome, reports it with signalStatusFromCmd() and emits
// signalFinished().
//
// The main window connects the event, request and status signals as
// blocking queued connections: the worker stands still until the GUI has
// handled each of them. Hence the GUI thread must never wait for a worker's
// thread without handling its own events (QThread::wait() would deadlock as
// soon as the worker emits); it uses waitForThread() instead.

#include "devices/TCodeExec.h"

#include <QObject>
#include <QString>

class IDeviceExec;
class QThread;
class TSerialPort;

class TExec : public QObject
{
    Q_OBJECT
public:
    // How the run's link names its holder to the links that find its port
    // taken: %1 the configuration.
    static constexpr int MSG_PORT_HOLDER = 481;

    explicit TExec(int id_cfg, QObject *parent = nullptr);
    // Emits signalDestroy(id) with the configuration's id.
    ~TExec() override;

    int idCfg() const;

    // Waits until the thread has finished (or has been deleted), at most
    // timeoutMs, while the calling thread goes on handling its events, so
    // that a worker blocked in a blocking queued emit towards this thread
    // can go on and end. True when the thread is over.
    static bool waitForThread(QThread *thread, int timeoutMs);

signals:
    void signalEventText(TCodeExec code, const QString &text, const QString &text2 = QString());
    void signalEventProc(int percent);
    void signalFinished();
    void signalDestroy(int id_cfg);
    void signalStop();
    void signalPauseReset();
    void signalExecuteFromCmd(int id_cfg);
    void signalPauseFromCmd(int id_cfg);
    void signalStatusFromCmd(int id_cfg, bool ok);

public slots:
    // A "pause" of this run, wherever a jump took it: reported for the
    // configuration this worker was started for, which resume and stop name.
    void slotPausedByCmd(int idCfgOfCmd);
    // The run of the configuration, from its first enabled command to the
    // reported outcome.
    void slotStart();
    // For this worker's configuration only: stops the run (the running
    // command is told to stop; the run ends before the next one).
    void slotStop(int id_cfg);
    // For this worker's configuration only: ends a waiting "pause" command.
    void slotPauseReset(int id_cfg);

private:
    // Every log line of the run, the executors' included, leaves through
    // here: the texts are lent to the slots for the blocking-queued emit.
    void passText(TCodeExec code, const QString &text, const QString &text2);
    // Connects the executor's events and, for the commands that have them,
    // its requests and its pause slot.
    void connectExec(IDeviceExec *exec, const QString &code);

    const int m_idCfg;
    bool m_stop = false;
};
