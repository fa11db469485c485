#pragma once
// Executor of one tool command of a run: choosing and identifying the
// programmer ("set_prog"), flow control ("stop", "jamp", "counter"),
// waiting ("delay", "pause"), starting another configuration ("execute"),
// an external program ("process") and a CRC over a data file ("calc_crc").
// The main window also runs "set_prog" through it, outside a run, for its
// programmer identification and reset.

#include "devices/IDeviceExec.h"

class QProcess;

class TDevToolsExec : public IDeviceExec
{
    Q_OBJECT

public:
    // Numbers of this executor's own messages.
    static constexpr int MSG_JUMP = 394;
    static constexpr int MSG_COUNTER = 395;
    static constexpr int MSG_PAUSED = 396;
    static constexpr int MSG_NO_CONFIGURATION = 397;
    static constexpr int MSG_NO_PROGRAMMER = 398;
    static constexpr int MSG_WRONG_PROGRAMMER = 399;
    static constexpr int MSG_CRC_RANGE = 425;
    static constexpr int MSG_CRC_UNKNOWN = 426;

    explicit TDevToolsExec(const TData &params, QObject *parent = nullptr);
    ~TDevToolsExec() override;

    bool execute(TSerialPort *port, bool *stopRun, int *cfgId, int *lastCmdId) override;
    bool ident(TSerialPort *port, QString &text) override;

    // How long "process" waits for its program (tests shorten it).
    static inline int processWaitMs = 30000;

signals:
    void signalExecuteFromCmd(int idCfg);
    void signalPauseFromCmd(int idCfg);

public slots:
    void slotPauseReset();

private:
    bool execSetProg(TSerialPort *port);
    bool execExecute();
    bool execDelay();
    bool execPause();
    bool execJamp(int *cfgId, int *lastCmdId);
    bool execCounter(bool *stopRun);
    bool execCalcCrc();
    bool execProcess();

    bool m_pause = false;
    QProcess *m_process = nullptr;
};

// One step of a counter: the new value and whether the limit is reached;
// false when the rules refuse the step (an overflow, a negative value).
bool counterStep(qint32 value, qint32 delta, qint32 limit, qint32 &next, bool &limitReached);
