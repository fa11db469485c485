#pragma once
// Requests to the programmer box that belong to no single command: the run
// state byte and the end of a run. The execution worker sends them around
// the commands of a run, on the run's serial link.

#include <QtGlobal>

class TSerialPort;

class TDevProgExec
{
public:
    // Run states carried by the state request.
    enum RunState : qint8 {
        STATE_IDLE = 0,     // no run on the open link (end of a run, before a programmer change)
        STATE_RUNNING = 1,  // a programmer was chosen and the link is open
        STATE_FAILED = 2,   // the run failed while the programmer still answers
        STATE_IDENTIFIED = 3
    };

    // Sends the state byte. False without sending anything when the port is
    // not open; otherwise the result of the transaction (the reply payload is
    // not used). The port keeps the error text of a failure.
    static bool sendStatus(TSerialPort *port, qint8 state);
    // Tells the programmer that the run is over; same rules as sendStatus.
    static bool sendFinish(TSerialPort *port);
};
