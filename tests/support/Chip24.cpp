#include "support/Chip24.h"

#include <QtEndian>

Chip24::Chip24(int size, int page, int addrSize, quint8 pins, quint8 straps)
    : memory(size, char(0xFF)), page(page), addrSize(addrSize), pins(pins & 7), straps(straps & 7)
{
}

ChipReply Chip24::setup(const QByteArray &record)
{
    if (record.size() != 9
        || qFromLittleEndian<quint16>(reinterpret_cast<const uchar *>(record.constData())) != TYPE_24XX)
        return ChipReply::failure(ERR_PARAM);
    select = quint8(quint8(record.at(3)) << 1);
    clock = qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(record.constData()) + 4);
    return ChipReply::success();
}

qint64 Chip24::decode(quint8 control, const QByteArray &address) const
{
    const quint8 c = control | select;
    if ((c & 0xF0) != 0xA0)
        return -1;
    const quint8 levels = (c >> 1) & 7;
    if ((levels & pins) != (straps & pins))
        return -1;
    qint64 a = 0;
    for (char byte : address)
        a = (a << 8) | quint8(byte);
    a |= qint64(levels & ~pins & 7) << (8 * addrSize);
    return a % memory.size();
}

ChipReply Chip24::request(quint8 code, const QByteArray &p)
{
    switch (code) {
    case 1:
        leavePins = p;
        return ChipReply::success();
    case 2:
        if (p.size() != 4)
            return ChipReply::failure(ERR_LENGTH);
        clock = qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(p.constData()));
        return ChipReply::success();
    case 3:
        if (p.size() != 1)
            return ChipReply::failure(ERR_LENGTH);
        select = quint8(p.at(0));
        return ChipReply::success();
    case 4: {
        if (p.size() < 1 + addrSize)
            return ChipReply::failure(ERR_LENGTH);
        const qint64 a = decode(quint8(p.at(0)), p.mid(1, addrSize));
        if (a < 0)
            return ChipReply::failure(ERR_NO_ANSWER);
        const QByteArray data = p.mid(1 + addrSize);
        const qint64 start = a - a % page;
        for (int i = 0; i < data.size(); ++i)
            memory[int(start + (a - start + i) % page)] = data.at(i);
        writeSizes << data.size();
        return ChipReply::success();
    }
    case 5: {
        if (p.size() != 3 + addrSize)
            return ChipReply::failure(ERR_LENGTH);
        const int count = qFromLittleEndian<quint16>(reinterpret_cast<const uchar *>(p.constData()));
        const qint64 a = decode(quint8(p.at(2)), p.mid(3, addrSize));
        if (a < 0)
            return ChipReply::failure(ERR_NO_ANSWER);
        const qint64 block = readsWrapInBlock ? qint64(1) << (8 * addrSize) : memory.size();
        const qint64 start = a - a % block;
        QByteArray out(count, 0);
        for (int i = 0; i < count; ++i)
            out[i] = memory.at(int((start + (a - start + i) % block) % memory.size()));
        readSizes << count;
        return ChipReply::success(out);
    }
    default:
        return ChipReply::failure(ERR_UNKNOWN_CODE);
    }
}
