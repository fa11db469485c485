#pragma once
// Line settings of a programmer as its description gives them: data bits and
// stop bits as counts, parity and flow control by name (empty: none).

#include <QString>
#include <QtGlobal>

struct TPortSettings
{
    QString portName;      // empty in a description: the programmer name gives it
    qint32 baudRate = 115200;
    quint8 dataBits = 8;
    QString parity;
    quint8 stopBits = 1;
    QString flowControl;
    quint16 timeout = 1000;   // ms
};
