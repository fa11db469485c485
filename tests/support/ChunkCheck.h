#pragma once
// What a test asks of every chip transfer it finds in the fake programmer's
// request log: it stays within the programmer's payload and crosses no
// multiple of a block or boundary (a page, a register, an address block).

#include <QString>
#include <QVector>
#include <QtGlobal>

// Empty when the transfer of length bytes at address keeps the limits,
// else what it breaks.
inline QString chunkFault(qint64 address, qint64 length, qint64 maxLength, const QVector<qint64> &boundaries)
{
    const QString where = QStringLiteral("%1 bytes at 0x%2").arg(length).arg(address, 0, 16);
    if (length < 1 || length > maxLength)
        return where + QStringLiteral(": not 1 to %1 bytes").arg(maxLength);
    for (qint64 b : boundaries)
        if (address / b != (address + length - 1) / b)
            return where + QStringLiteral(": crosses 0x%1").arg((address / b + 1) * b, 0, 16);
    return QString();
}
