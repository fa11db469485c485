#pragma once
// Executor of the programmer's own commands: the device set-up record
// ("set_device"), automatic detection of the chip with its routes
// ("auto_detect"), the reset pulse, the clock generator, the pin states and
// the supplies. Each command is one programmer request; "auto_detect" also
// asks the chip's family for the identification and then steers the run.
//
// The static requests belong to no command: the run state byte and the end
// of a run (sent by the execution worker around the commands of a run) and
// a reset pulse (the main window's reset action).

#include "devices/IDeviceExec.h"

class TSerialPort;

class TDevProgExec : public IDeviceExec
{
    Q_OBJECT

public:
    // Run states carried by the state request.
    enum RunState : qint8 {
        STATE_IDLE = 0,     // no run on the open link (end of a run, before a programmer change)
        STATE_RUNNING = 1,  // a programmer was chosen and the link is open
        STATE_FAILED = 2,   // the run failed while the programmer still answers
        STATE_IDENTIFIED = 3
    };

    // Numbers of this executor's own messages.
    static constexpr int MSG_DETECTED = 401;
    static constexpr int MSG_NO_ROUTE = 402;
    static constexpr int MSG_STARTING = 403;
    static constexpr int MSG_BEYOND_FIELD = 435;
    static constexpr int MSG_OUT_OF_RANGE = 455;  // %1 key, %2 value, %3..%4 the limits

    explicit TDevProgExec(const TData &params, QObject *parent = nullptr);
    ~TDevProgExec() override;

    bool execute(TSerialPort *port, bool *stopRun, int *cfgId, int *lastCmdId) override;
    // The programmer has no identification of a chip: false, nothing sent.
    bool ident(TSerialPort *port, QString &text) override;

    // Sends the state byte. False without sending anything when the port is
    // not open; otherwise the result of the transaction (the reply payload is
    // not used). The port keeps the error text of a failure.
    static bool sendStatus(TSerialPort *port, qint8 state);
    // Tells the programmer that the run is over; same rules as sendStatus.
    static bool sendFinish(TSerialPort *port);
    // One reset pulse of |duration| ms, its sign the polarity; same rules as
    // sendStatus. A duration beyond the signed 16-bit field is refused
    // without sending.
    static bool sendReset(TSerialPort *port, qint64 duration);

signals:
    // Start the configuration with this id in a run of its own.
    void signalExecuteFromCmd(int idCfg);

private:
    bool execSetDevice(TSerialPort *port);
    bool execAutoDetect(TSerialPort *port, int *cfgId, int *lastCmdId);
    bool execReset(TSerialPort *port);
    bool execGenerator(TSerialPort *port);
    bool execSetIO(TSerialPort *port);
    bool execSetVcc(TSerialPort *port);
    bool execSetVpp(TSerialPort *port);
    bool execSetVicc(TSerialPort *port);
    bool execSetVipp(TSerialPort *port);

    bool execSupply(TSerialPort *port, quint8 code, const char *voltageKey, const char *currentKey,
                    int currentBytes);
    // Sends the payload after checking the port.
    bool send(TSerialPort *port, quint8 code, QByteArray payload);
    // Refuses the command for the value of the key: it does not fit its field.
    bool refuse(const char *key);
    // The value of key lies outside the programmer's limits min..max.
    bool refuseRange(const char *key, qint64 min, qint64 max);
};
