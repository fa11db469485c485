#pragma once
// Helpers shared by the chip-data format tests.

#include "formats/TFormat.h"
#include "support/NumberedLanguage.h"
#include "misc/dev_misc.h"

#include <QByteArray>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QString>

// One Intel HEX record as text, "\r\n" ended.
inline QByteArray hexRecord(int type, quint16 offset, const QByteArray &data)
{
    QByteArray bytes;
    bytes.append(char(data.size()));
    bytes.append(char(offset >> 8));
    bytes.append(char(offset & 0xFF));
    bytes.append(char(type));
    bytes.append(data);
    quint8 sum = 0;
    for (char c : bytes)
        sum += quint8(c);
    bytes.append(char(quint8(-sum)));
    return ':' + bytes.toHex().toUpper() + "\r\n";
}

// Data at an address, one record of an Intel HEX file.
struct HexData
{
    qint64 addr;
    QByteArray bytes;
};

// The data as an Intel HEX file, records in the order given, each preceded
// by the extended record its upper address needs (linear 04, or segment 02
// below 1 MiB), then the end record.
inline QByteArray hexFileOf(const QList<HexData> &records, bool segments = false)
{
    QByteArray text;
    qint64 base = 0;
    for (const HexData &r : records) {
        const qint64 upper = r.addr & ~qint64(0xFFFF);
        if (upper != base) {
            const quint16 value = segments ? quint16(upper >> 4) : quint16(upper >> 16);
            text += hexRecord(segments ? 2 : 4, 0, QByteArray(1, char(value >> 8)) + char(value & 0xFF));
            base = upper;
        }
        text += hexRecord(0, quint16(r.addr), r.bytes);
    }
    return text + ":00000001FF\r\n";
}

inline QByteArray randomBytes(int size, quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray out(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        out[i] = char(gen.bounded(256));
    return out;
}

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// What a pass of reads delivered: the pieces by chip address, in order, and
// whether every piece kept to the block rule.
struct ReadResult
{
    bool ok = false;
    QString error;
    QMap<qint64, QByteArray> pieces;
    QList<QPair<qint64, int>> order; // address and length of each piece
    bool blockRuleKept = true;

    // The delivered bytes, placed into an image of the window filled with
    // the given byte.
    QByteArray image(qint64 first, qint64 size, char fill = char(0xFF)) const
    {
        QByteArray out(int(size), fill);
        for (auto it = pieces.begin(); it != pieces.end(); ++it)
            for (int i = 0; i < it.value().size(); ++i) {
                const qint64 at = it.key() - first + i;
                if (at >= 0 && at < size)
                    out[int(at)] = it.value().at(i);
            }
        return out;
    }
    qint64 byteCount() const
    {
        qint64 n = 0;
        for (const auto &p : pieces)
            n += p.size();
        return n;
    }
};

// Reads a whole window the way the executors do: each read asks for the
// address after the previous piece. With outsideAllowed, data of the file
// outside the window is passed over (as a CRC over a part of a file does)
// rather than failing the open.
inline ReadResult readAll(const QString &format, const QString &path, qint64 addrFile,
                          qint64 addrDevice, qint64 count, qint64 block, bool outsideAllowed = false)
{
    ReadResult r;
    const qint64 last = addrDevice + count - 1;
    TFormat f(format, path, addrFile, addrDevice, last, block);
    f.setDataOutsideWindow(outsideAllowed);
    if (!f.open(0)) {
        r.error = f.errorString();
        return r;
    }
    qint64 addr = addrDevice;
    for (int guard = 0; guard < 100000000; ++guard) {
        QByteArray data;
        if (!f.read(addr, data)) {
            r.error = f.errorString();
            return r;
        }
        if (data.isEmpty())
            break;
        if (data.size() != chunkLength(addr, addr + data.size() - 1, block)
            || addr < addrDevice || addr + data.size() - 1 > last)
            r.blockRuleKept = false;
        r.pieces.insert(addr, data);
        r.order.append({addr, data.size()});
        addr += data.size();
    }
    r.ok = f.close();
    if (!r.ok)
        r.error = f.errorString();
    return r;
}
