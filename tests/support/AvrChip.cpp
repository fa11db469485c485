#include "support/AvrChip.h"

#include "core/consts.h"
#include "misc/dev_misc.h"

namespace {

quint16 le16(const QByteArray &p, int at)
{
    return quint16(quint8(p.at(at)) | (quint8(p.at(at + 1)) << 8));
}

} // namespace

AvrChip::AvrChip(const Spec &spec, quint16 avrType)
    : spec(spec), avrType(avrType), flash(spec.flashSize, char(0xFF)), eeprom(spec.eepromSize, char(0xFF)),
      fuses(spec.fuses), pageBuffer(spec.pageSize, char(0xFF))
{
}

AvrChip::Spec AvrChip::specOf(const TData &dev)
{
    Spec spec;
    spec.signature = hexStringToBytes(dev.value(DEV_SIGNATURE).toString());
    spec.flashSize = dev.value(DEV_FLASH_SIZE).toInt();
    spec.pageSize = dev.value(DEV_FLASH_PAGE_SIZE).toInt();
    spec.eepromSize = dev.value(DEV_EEPROM_SIZE).toInt();
    spec.fuses = hexStringToBytes(dev.value(DEV_FUSE_DEF).toString());
    for (int i = 0; i < dev.value(DEV_OSCCAL_DEF).toString().size() / 2; ++i)
        spec.calibration.append(char(0x9C + i));
    return spec;
}

quint8 AvrChip::fuse(int k) const
{
    if (k >= fuses.size())
        return 0xFF;
    const quint8 unused = k < spec.fuseUnused.size() ? quint8(spec.fuseUnused.at(k)) : 0;
    return quint8(fuses.at(k)) | unused;
}

quint8 AvrChip::lockBits() const
{
    return lock | spec.lockUnused;
}

QByteArray AvrChip::shift(quint8 b1, quint8 b2, quint8 b3, quint8 b4)
{
    QByteArray out(4, '\0');
    const quint8 previous = lastIn;
    lastIn = b4;
    if (!enabled) {
        // Out of sync until programming enable; its second byte comes back
        // while the third goes in.
        if (b1 == 0xAC && b2 == 0x53) {
            enabled = true;
            out[2] = char(0x53);
        }
        return out;
    }
    out[0] = char(previous);
    out[1] = char(b1);
    out[2] = char(b2);
    out[3] = char(b3);
    const quint32 word = (quint32(chipExt) << 16) | (quint32(b2) << 8) | b3;
    const auto flashIndex = [&](quint32 w, bool high) {
        return int((w * 2 + (high ? 1 : 0)) % quint32(flash.size()));
    };
    switch (b1) {
    case 0x30: out[3] = b3 < spec.signature.size() ? spec.signature.at(b3) : char(0xFF); break;
    case 0x38: out[3] = b3 < spec.calibration.size() ? spec.calibration.at(b3) : char(0xFF); break;
    case 0x50:
        out[3] = char(fuse(b2 == 0x08 ? 2 : 0));
        break;
    case 0x58:
        out[3] = char(b2 == 0x08 ? fuse(1) : lockBits());
        break;
    case 0xF0: out[3] = 0; break;   // ready
    case 0x4D: chipExt = b3; break;
    case 0x20:
    case 0x28: out[3] = flash.at(flashIndex(word, b1 == 0x28)); break;
    case 0x40:
    case 0x48:
        if (spec.pageSize > 0) {
            const int words = spec.pageSize / 2;
            pageBuffer[int((word % quint32(words)) * 2 + (b1 == 0x48 ? 1 : 0))] = char(b4);
        } else {
            const int i = flashIndex(word, b1 == 0x48);
            flash[i] = char(quint8(flash.at(i)) & b4);
        }
        break;
    case 0x4C: {
        if (spec.pageSize <= 0)
            break;
        const int start = int((word * 2) % quint32(flash.size())) / spec.pageSize * spec.pageSize;
        for (int i = 0; i < spec.pageSize; ++i)
            flash[start + i] = char(quint8(flash.at(start + i)) & quint8(pageBuffer.at(i)));
        pageBuffer.fill(char(0xFF));
        ++pageWrites;
        break;
    }
    case 0xA0:
        if (!eeprom.isEmpty())
            out[3] = eeprom.at(int(((b2 << 8) | b3) % eeprom.size()));
        break;
    case 0xC0:
        if (!eeprom.isEmpty())
            eeprom[int(((b2 << 8) | b3) % eeprom.size())] = char(b4);
        break;
    case 0xAC:
        if (b2 == 0x80) {
            flash.fill(char(0xFF));
            eeprom.fill(char(0xFF));
            lock = 0xFF;
            ++erases;
        } else if (b2 == 0xE0) {
            lock &= b4;
        } else if (b2 == 0xA0 || b2 == 0xA8 || b2 == 0xA4) {
            const int k = b2 == 0xA0 ? 0 : b2 == 0xA8 ? 1 : 2;
            if (k < fuses.size())
                fuses[k] = char(b4);
        }
        break;
    default: break;
    }
    return out;
}

ChipReply AvrChip::setup(const QByteArray &record)
{
    setupRecord = record;
    if (record.size() != 9 || le16(record, 0) != avrType)
        return ChipReply::failure(ERR_NOT_SUPPORTED);
    enabled = false;
    hostExt = 0;
    chipExt = 0;
    const QByteArray r = shift(0xAC, 0x53, 0x00, 0x00);
    return quint8(r.at(2)) == 0x53 ? ChipReply::success() : ChipReply::failure(ERR_NO_RESPONSE);
}

ChipReply AvrChip::request(quint8 code, const QByteArray &p)
{
    if (code >= 3 && code <= 6 && ++memoryRequests == failMemoryAt)
        return ChipReply::failure(failError);
    switch (code) {
    case 1:
        pins = p;
        enabled = false;
        ++leaves;
        return ChipReply::success();
    case 2:
        if (p.size() != 4)
            return ChipReply::failure(ERR_PARAMETER);
        clock = quint32(le16(p, 0)) | (quint32(le16(p, 2)) << 16);
        return ChipReply::success();
    case 3:
    case 5: {
        if (p.size() != 4)
            return ChipReply::failure(ERR_PARAMETER);
        const quint32 address = (code == 3 ? quint32(hostExt) << 16 : 0) | le16(p, 0);
        QByteArray out;
        for (quint32 a = address; a < address + le16(p, 2); ++a) {
            const QByteArray r = code == 3 ? shift(a & 1 ? 0x28 : 0x20, quint8((a >> 9) & 0xFF),
                                                   quint8((a >> 1) & 0xFF), 0)
                                           : shift(0xA0, quint8((a >> 8) & 0xFF), quint8(a & 0xFF), 0);
            out.append(r.at(3));
        }
        return ChipReply::success(out);
    }
    case 4: {
        const quint32 address = (quint32(hostExt) << 16) | (p.size() >= 2 ? le16(p, 0) : 0);
        if (p.size() < 2 || (address & 1) || (p.size() & 1))
            return ChipReply::failure(ERR_PARAMETER);
        for (int i = 2; i < p.size(); ++i) {
            const quint32 a = address + quint32(i - 2);
            shift(a & 1 ? 0x48 : 0x40, quint8((a >> 9) & 0xFF), quint8((a >> 1) & 0xFF), quint8(p.at(i)));
        }
        return ChipReply::success();
    }
    case 6: {
        if (p.size() < 2)
            return ChipReply::failure(ERR_PARAMETER);
        const quint32 address = le16(p, 0);
        for (int i = 2; i < p.size(); ++i) {
            const quint32 a = address + quint32(i - 2);
            shift(0xC0, quint8((a >> 8) & 0xFF), quint8(a & 0xFF), quint8(p.at(i)));
        }
        return ChipReply::success();
    }
    case 7: {
        if (p.size() != 5)
            return ChipReply::failure(ERR_PARAMETER);
        timings << quint8(p.at(0));
        instructions << p.mid(1);
        quint8 b3 = quint8(p.at(3));
        if (quint8(p.at(1)) == 0x4D) {
            hostExt = b3;
            b3 = quint8(b3 >> 1);
        }
        QByteArray r = shift(quint8(p.at(1)), quint8(p.at(2)), b3, quint8(p.at(4)));
        if (loseSyncAt > 0 && instructions.size() >= loseSyncAt)
            r = QByteArray(4, char(0xFF));
        return ChipReply::success(r);
    }
    default:
        return ChipReply::failure(ERR_NOT_SUPPORTED);
    }
}
