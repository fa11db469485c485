#include "devices/TDevProgExec.h"

#include "link/TProtocol.h"
#include "link/TSerialPort.h"

#include <QByteArray>

bool TDevProgExec::sendStatus(TSerialPort *port, qint8 state)
{
    if (!port || !port->isOpen())
        return false;
    QByteArray payload(1, char(quint8(state)));
    return port->transaction(TProtocol::PROG_STATUS, payload);
}

bool TDevProgExec::sendFinish(TSerialPort *port)
{
    if (!port || !port->isOpen())
        return false;
    QByteArray payload;
    return port->transaction(TProtocol::PROG_FINISH, payload);
}
