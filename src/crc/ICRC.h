#pragma once

#include <QByteArray>
#include <QObject>
#include <QtGlobal>

// One CRC or checksum computation. An object is fed the bytes of a stream
// in pieces of any size through update() and then finished once with
// result(). Objects come from createCRC() (crc/crc_catalogue.h) and belong to
// the caller, who deletes them through this interface.
class ICRC : public QObject
{
public:
    ~ICRC() override;

    // Feeds `length` bytes from `data` into the running computation. A length
    // of 0 (or less) changes nothing.
    virtual void update(const char *data, qint64 length) = 0;

    // The check value over everything fed so far: most significant byte
    // first, in as many bytes as the algorithm's width needs.
    virtual QByteArray result() = 0;

protected:
    ICRC() = default;
};
