#pragma once
// What a chip model answers to one request: success with a payload, or an
// error reply carrying a 16-bit error code.

#include <QByteArray>
#include <QtGlobal>

struct ChipReply
{
    bool ok = true;
    quint16 error = 0;
    QByteArray payload;

    static ChipReply success(const QByteArray &payload = QByteArray())
    {
        ChipReply r;
        r.payload = payload;
        return r;
    }
    static ChipReply failure(quint16 error)
    {
        ChipReply r;
        r.ok = false;
        r.error = error;
        return r;
    }
};
