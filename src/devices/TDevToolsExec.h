#pragma once
// Executor of one tool command of a run: choosing and identifying the
// programmer ("set_prog"), flow control ("stop", "jamp", "counter"),
// waiting ("delay", "pause"), starting another configuration ("execute"),
// an external program ("process") and a CRC over a data file ("calc_crc").
// The main window also runs "set_prog" through it, outside a run, for its
// programmer identification and reset.

#include "devices/IDeviceExec.h"
#include "link/TPortSettings.h"

class QProcess;
class TProg;

class TDevToolsExec : public IDeviceExec
{
    Q_OBJECT

public:
    // Numbers of this executor's own messages.
    static constexpr int MSG_COUNTER = 395;
    static constexpr int MSG_PAUSED = 396;
    static constexpr int MSG_NO_PROGRAMMER = 398;
    static constexpr int MSG_WRONG_PROGRAMMER = 399;
    static constexpr int MSG_CRC_RANGE = 425;
    static constexpr int MSG_CRC_UNKNOWN = 426;

    explicit TDevToolsExec(const TData &params, QObject *parent = nullptr);
    ~TDevToolsExec() override;

    bool execute(TSerialPort *port, bool *stopRun, int *cfgId, int *lastCmdId) override;
    bool ident(TSerialPort *port, QString &text) override;

    // The calc_crc's file as its checked open finds it, with nothing of
    // its data read: empty when the command's range holds data of the
    // file; else why not (the file's fault, no data at all, none at or
    // after the address, none in the range), as the executor says it. A
    // range that is none is left to the check.
    static QString crcFileProblem(const TData &params);

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

// What opening a programmer takes: the port that its "set_prog" command
// names and the values of its description, as copies, so that the exchange
// needs no project record.
struct TProgLink
{
    QString portName;
    TPortSettings settings;
    quint16 maxData = 0;
    quint16 interface = 0;
};

// How far opening got: the port opened, the programmer answered its
// identification (the text), all matched; reason tells why it stopped (the
// link's error text, or the message of a programmer of another interface).
struct TProgLinkOpen
{
    bool ok = false;
    bool opened = false;
    bool identified = false;
    QString identification;
    QString reason;
};

// The link to the programmer of a "set_prog" command's record whose
// description is prog: the alternative port when the record enables it,
// else the port kept for the programmer name.
TProgLink progLinkOf(const TData &setProg, const TProg &prog);
// Opens the port with the programmer's line settings, time-out and largest
// payload, and identifies the programmer (requests 0x80 and 0x81). The port
// stays open, also after a failed identification.
TProgLinkOpen openProgrammer(TSerialPort *port, const TProgLink &link);

// One step of a counter: the new value and whether the limit is reached;
// false when the rules refuse the step (an overflow, a negative value).
bool counterStep(qint32 value, qint32 delta, qint32 limit, qint32 &next, bool &limitReached);
