#pragma once
// Intel HEX chip data.
//
// File addresses are the 32-bit addresses of the records; a record at file
// address a holds the bytes of chip address a - addrFile + addrDevice, and
// only file addresses addrFile to windowEnd belong to the window.
//
// Reading understands data (00), end (01), extended segment (02, base =
// value * 16) and extended linear (04, base = value << 16) records and skips
// the start-address records (03, 05). Records may be of any length and need
// not follow each other; pieces are delivered in the order of the file, each
// no longer than the block rule allows.
//
// Writing makes records of at most 16 bytes that end on 16-byte boundaries,
// with "\r\n" line ends. When the window reaches beyond 64 KiB the file
// starts with an extended record: type 02 (segment) up to 1 MiB, type 04
// (linear) above.

#include "formats/IFormat.h"

class TFormatHEX : public IFormat
{
public:
    TFormatHEX(const QString &fileName, qint64 addrFile, qint64 addrDevice, qint64 endDevice,
               qint64 blockSize);

    bool open(int mode) override;
    bool write(qint64 address, const QByteArray &data) override;
    bool read(qint64 &address, QByteArray &data) override;
    bool close() override;

private:
    struct Record
    {
        int type = -1; // -1: end of the file
        quint16 offset = 0;
        QByteArray data;
    };

    bool windowValid() const;
    bool readRecord(Record &record);
    // Writing: appends the records for the front of the pending bytes
    // (all of them when flushAll) to text.
    void emitPending(QByteArray &text, bool flushAll);
    void emitExtended(QByteArray &text, qint64 address);
    static void appendRecord(QByteArray &text, int type, quint16 offset, const char *data, int size);

    QString fileName;
    qint64 addrFile;
    qint64 windowEnd; // last file address of the window
    qint64 addrDevice;
    qint64 endDevice;
    qint64 blockSize;
    int mode = -1;
    qint64 pendingAddr;   // file address of the first pending byte
    quint8 extType = 0;   // extended record type in use when writing: 0, 2 or 4
    quint16 upper = 0;    // writing: address bits 31-16 in force
    qint64 base = 0;      // reading: extended base address in force
    bool ended = false;   // reading: the end record or the end of the file was seen
    QByteArray pending;   // bytes not yet written or delivered
};
