#include "support/Spi25Chip.h"

#include <QtEndian>

#include <functional>

namespace {

constexpr quint8 SR1_BUSY = 0x01;
constexpr quint8 SR1_WEL = 0x02;
constexpr quint8 SR2_LB_MASK = 0x38;   // LB1..LB3: one-time
constexpr int ERR_LENGTH = 1;

} // namespace

Spi25Chip::Spi25Chip(qint64 size, const QByteArray &jedecId, int securityRegisters)
    : size(size), jedecId(jedecId), array(int(size), char(0xFF)),
      uniqueId(QByteArray::fromHex("D1A2B3C4D5E6F708")), sfdp(256, char(0xFF)),
      security(securityRegisters, QByteArray(PAGE, char(0xFF)))
{
    const char header[] = {'S', 'F', 'D', 'P', 0x06, 0x01, 0x00, char(0xFF),
                           // parameter header 0: basic flash table, 16 dwords at 0x30
                           0x00, 0x06, 0x01, 0x10, 0x30, 0x00, 0x00, char(0xFF)};
    sfdp.replace(0, sizeof(header), QByteArray(header, sizeof(header)));
    // Basic flash parameters: dword 1 (4 Kbyte erase 0x20), dword 2 the density in bits - 1.
    const quint32 dwords[2] = {0xFFF120E5, quint32(size * 8 - 1)};
    for (int d = 0; d < 2; ++d)
        for (int i = 0; i < 4; ++i)
            sfdp[0x30 + 4 * d + i] = char((dwords[d] >> (8 * i)) & 0xFF);
}

ChipReply Spi25Chip::setup(const QByteArray &record)
{
    if (record.size() != 7)
        return ChipReply::failure(ERR_LENGTH);
    setupRecord = record;
    return ChipReply::success();
}

ChipReply Spi25Chip::request(quint8 code, const QByteArray &payload)
{
    switch (code) {
    case 1:
        pins = payload;
        return ChipReply::success();
    case 2:
        if (payload.size() != 4)
            return ChipReply::failure(ERR_LENGTH);
        clock = qFromLittleEndian<quint32>(payload.constData());
        return ChipReply::success();
    case 3: {
        if (payload.size() < 3)
            return ChipReply::failure(ERR_LENGTH);
        const int count = qFromLittleEndian<quint16>(payload.constData());
        return ChipReply::success(transfer(payload.mid(2), count));
    }
    case 4: {
        if (payload.isEmpty())
            return ChipReply::failure(ERR_LENGTH);
        transfer(QByteArray(1, char(0x06)), 0);
        transfer(payload, 0);
        for (int polls = 0; polls < 1000; ++polls)
            if (!(quint8(transfer(QByteArray(1, char(0x05)), 1).at(0)) & SR1_BUSY))
                return ChipReply::success();
        return ChipReply::failure(ERR_BUSY);
    }
    default:
        return ChipReply::failure(0);
    }
}

qint64 Spi25Chip::addressOf(const QByteArray &out) const
{
    return ((qint64(quint8(out.at(1))) << 16) | (quint8(out.at(2)) << 8) | quint8(out.at(3))) % size;
}

bool Spi25Chip::isProtected(qint64 address) const
{
    const int bp = (status[0] >> 2) & 7;
    const bool tb = status[0] & 0x20;
    const bool sec = status[0] & 0x40;
    const bool cmp = status[1] & 0x40;
    qint64 length = 0;
    if (bp == 7)
        length = size;
    else if (bp > 0)
        length = sec ? qMin<qint64>(4096 << (bp - 1), 32768) : size >> (7 - bp);
    const bool inside = tb ? address < length : address >= size - length;
    return length > 0 && (inside != cmp);
}

bool Spi25Chip::startWrite()
{
    if (!wel) {
        ++ignored;
        return false;
    }
    return true;
}

void Spi25Chip::finishWrite()
{
    wel = false;
    busy = busyPolls;
}

void Spi25Chip::eraseRange(qint64 first, qint64 length)
{
    for (qint64 a = first; a < first + length; ++a)
        if (isProtected(a)) {
            ++ignored;
            wel = false;
            return;
        }
    array.replace(int(first), int(length), QByteArray(int(length), char(0xFF)));
    finishWrite();
}

QByteArray Spi25Chip::transfer(const QByteArray &out, int clocks)
{
    QByteArray in;
    if (out.isEmpty())
        return QByteArray(clocks, char(0xFF));
    const quint8 op = quint8(out.at(0));
    const auto reply = [&](const std::function<char(int)> &byte) {
        for (int i = 0; i < clocks; ++i)
            in.append(byte(i));
        return in;
    };
    if (busy > 0) {
        if (op == 0x05 && out.size() == 1) {
            const quint8 sr1 = status[0] | SR1_BUSY | (wel ? SR1_WEL : 0);
            --busy;
            return reply([&](int) { return char(sr1); });
        }
        ++busyRejected;
        return QByteArray(clocks, char(0xFF));
    }

    switch (op) {
    case 0x06:
        ++writeEnables;
        if (out.size() == 1)
            wel = true;
        break;
    case 0x04:
        if (out.size() == 1)
            wel = false;
        break;
    case 0x9F:
        return reply([&](int i) { return i < jedecId.size() ? jedecId.at(i) : char(0); });
    case 0x05:
    case 0x35:
    case 0x15: {
        const int r = op == 0x05 ? 0 : op == 0x35 ? 1 : 2;
        const quint8 value = r == 0 ? quint8(status[0] | (wel ? SR1_WEL : 0)) : status[r];
        return reply([&](int) { return char(value); });
    }
    case 0x01:
    case 0x31:
    case 0x11: {
        if (out.size() < 2 || !startWrite())
            break;
        const int r = op == 0x01 ? 0 : op == 0x31 ? 1 : 2;
        for (int i = 1; i < out.size() && r + i - 1 < 3; ++i) {
            const int reg = r + i - 1;
            quint8 value = (status[reg] & ~writable[reg]) | (quint8(out.at(i)) & writable[reg]);
            if (reg == 1)
                value |= status[1] & SR2_LB_MASK;   // lock bits never clear
            status[reg] = value;
        }
        finishWrite();
        break;
    }
    case 0x03:
    case 0x0B: {
        const int header = op == 0x03 ? 4 : 5;
        if (out.size() < header)
            return QByteArray(clocks, char(0xFF));
        const qint64 start = addressOf(out);
        return reply([&](int i) { return array.at(int((start + i) % size)); });
    }
    case 0x02: {
        if (out.size() < 5 || !startWrite())
            break;
        const qint64 start = addressOf(out);
        const qint64 page = start - start % PAGE;
        if (isProtected(page)) {
            ++ignored;
            wel = false;
            break;
        }
        QByteArray buffer(PAGE, char(0xFF));
        for (int i = 4; i < out.size(); ++i)
            buffer[int((start + i - 4) % PAGE)] = out.at(i);
        for (int i = 0; i < PAGE; ++i)
            array[int(page + i)] = char(array.at(int(page + i)) & buffer.at(i));
        finishWrite();
        break;
    }
    case 0x20:
    case 0x52:
    case 0xD8: {
        if (out.size() != 4 || !startWrite()) {
            ++ignored;
            break;
        }
        const qint64 block = op == 0x20 ? 4096 : op == 0x52 ? 32768 : 65536;
        const qint64 start = addressOf(out);
        eraseRange(start - start % block, qMin(block, size));
        break;
    }
    case 0xC7:
    case 0x60:
        if (out.size() != 1 || !startWrite()) {
            ++ignored;
            break;
        }
        eraseRange(0, size);
        break;
    case 0x44:
    case 0x42:
    case 0x48: {
        if (out.size() < (op == 0x48 ? 5 : 4))
            return QByteArray(clocks, char(0xFF));
        const int reg = (quint8(out.at(2)) >> 4) - 1;
        const bool exists = quint8(out.at(1)) == 0 && (quint8(out.at(2)) & 0x0F) == 0 && reg >= 0
                            && reg < security.size();
        const int offset = quint8(out.at(3));
        if (op == 0x48) {
            return reply([&](int i) {
                return exists ? security.at(reg).at((offset + i) % PAGE) : char(0xFF);
            });
        }
        if ((op == 0x44 && out.size() != 4) || (op == 0x42 && out.size() < 5) || !startWrite())
            break;
        const bool locked = reg >= 0 && reg < 3 && (status[1] & (0x08 << reg));
        if (!exists || locked) {
            ++ignored;
            wel = false;
            break;
        }
        QByteArray &r = security[reg];
        if (op == 0x44) {
            r.fill(char(0xFF));
        } else {
            QByteArray buffer(PAGE, char(0xFF));
            for (int i = 4; i < out.size(); ++i)
                buffer[(offset + i - 4) % PAGE] = out.at(i);
            for (int i = 0; i < PAGE; ++i)
                r[i] = char(r.at(i) & buffer.at(i));
        }
        finishWrite();
        break;
    }
    case 0x5A: {
        if (out.size() < 5)
            return QByteArray(clocks, char(0xFF));
        const qint64 start = addressOf(out) & 0xFFFFFF;
        return reply([&](int i) {
            const qint64 a = start + i;
            return a < sfdp.size() ? sfdp.at(int(a)) : char(0xFF);
        });
    }
    case 0x4B:
        if (out.size() < 5)
            return QByteArray(clocks, char(0xFF));
        return reply([&](int i) { return i < uniqueId.size() ? uniqueId.at(i) : char(0xFF); });
    default:
        ++ignored;
        break;
    }
    return QByteArray(clocks, char(0xFF));
}
