#include "devices/avr8_payload.h"

#include "core/TLang.h"
#include "link/TSerialPort.h"

#include <QHash>

using namespace avr8;

namespace {

constexpr quint8 INS_LOAD_EXT = 0x4D;
constexpr quint8 INS_WRITE_PAGE = 0x4C;
constexpr quint8 INS_SIGNATURE = 0x30;
constexpr quint8 INS_OSCCAL = 0x38;
constexpr quint8 INS_PROG = 0xAC;
constexpr quint8 INS_ERASE = 0x80;
constexpr quint8 INS_READ_FUSE_LOCK = 0x58;
constexpr quint8 INS_READ_FUSE = 0x50;
constexpr quint8 INS_WRITE_LOCK = 0xE0;

bool exchange(TSerialPort *port, quint8 code, QByteArray &payload, QString &error)
{
    if (port->transaction(code, payload))
        return true;
    error = port->errorString();
    return false;
}

// One instruction; reply holds the four bytes the chip shifted out.
bool instruction(TSerialPort *port, qint8 timing, quint8 b1, quint8 b2, quint8 b3, quint8 b4,
                 QByteArray &reply, QString &error)
{
    reply = QByteArray(1, char(timing));
    reply.append(char(b1)).append(char(b2)).append(char(b3)).append(char(b4));
    if (!exchange(port, CODE_INSTRUCTION, reply, error))
        return false;
    if (reply.size() != 4) {
        bool ok = true;
        avrEchoError(ok, error);
        return false;
    }
    return true;
}

// An instruction whose reply must echo b1, b2 and, with three, b3.
bool echoedInstruction(TSerialPort *port, qint8 timing, quint8 b1, quint8 b2, quint8 b3, quint8 b4,
                       int echoed, QByteArray &reply, QString &error)
{
    if (!instruction(port, timing, b1, b2, b3, b4, reply, error))
        return false;
    bool ok = quint8(reply.at(1)) == b1 && quint8(reply.at(2)) == b2
              && (echoed < 3 || quint8(reply.at(3)) == b3);
    if (!ok)
        avrEchoError(ok, error);
    return ok;
}

QByteArray addressCount(qint64 address, quint16 count)
{
    QByteArray p;
    p.append(char(address & 0xFF)).append(char((address >> 8) & 0xFF));
    p.append(char(count & 0xFF)).append(char(count >> 8));
    return p;
}

bool readMemory(TSerialPort *port, quint8 code, qint64 address, quint16 count, QByteArray &data,
                QString &error)
{
    QByteArray p = addressCount(address, count);
    if (!exchange(port, code, p, error))
        return false;
    data = p;
    return true;
}

// Selects the 64 KiB block of address when it is not the one last selected.
bool loadExtended(TSerialPort *port, qint64 &lastExt, qint64 address, QString &error)
{
    if (address != 0 && (address >> 16) == (lastExt >> 16))
        return true;
    QByteArray reply;
    if (!instruction(port, 0, INS_LOAD_EXT, 0, quint8((address >> 16) & 0xFF), 0, reply, error))
        return false;
    lastExt = address;
    return true;
}

// Aligns the load to whole words: address and count become those of the
// words loaded. Returns the code 4 payload.
QByteArray alignedLoad(qint64 &address, quint16 &count, const QByteArray &data)
{
    const bool endPad = ((address + count) & 1) != 0;
    const bool startPad = (address & 1) != 0;
    if (startPad)
        address -= 1;
    QByteArray p;
    p.append(char(address & 0xFF)).append(char((address >> 8) & 0xFF));
    if (startPad)
        p.append(char(0xFF));
    p.append(data.left(count));
    if (endPad)
        p.append(char(0xFF));
    count = quint16(p.size() - 2);
    return p;
}

bool writePage(TSerialPort *port, qint64 address, qint8 timing, QString &error)
{
    const qint64 word = address / 2;
    QByteArray reply;
    return instruction(port, timing, INS_WRITE_PAGE, quint8((word >> 8) & 0xFF), quint8(word & 0xFF), 0,
                       reply, error);
}

bool readRegisters(TSerialPort *port, quint8 count, const quint8 (*pairs)[2], QByteArray &out,
                   QString &error)
{
    for (int k = 0; k < count; ++k) {
        QByteArray r;
        if (!echoedInstruction(port, 0, pairs[k][0], pairs[k][1], 0, 0, 2, r, error))
            return false;
        out.append(r.at(3));
    }
    return true;
}

const quint8 FUSE_READ[3][2] = {{INS_READ_FUSE, 0x00}, {INS_READ_FUSE_LOCK, 0x08}, {INS_READ_FUSE, 0x08}};
const quint8 FUSE_WRITE[3] = {0xA0, 0xA8, 0xA4};

bool writeFuseInstruction(TSerialPort *port, quint8 b2, quint8 b4, qint8 timing, QString &error)
{
    QByteArray r;
    return echoedInstruction(port, timing, INS_PROG, b2, 0, b4, 3, r, error);
}

quint8 firstByte(const QByteArray &data)
{
    return data.isEmpty() ? 0 : quint8(data.at(0));
}

} // namespace

qint8 avr8::timingByte(bool polling, quint32 delay)
{
    return polling ? qint8(-1) : qint8(delay & 0xFF);
}

void avrEchoError(bool &ok, QString &error)
{
    ok = false;
    error = lang.text(MSG_NOT_ECHOED);
}

bool avrSetClk(TSerialPort *port, quint32 clock, QString &error)
{
    QByteArray p;
    for (int i = 0; i < 4; ++i)
        p.append(char((clock >> (8 * i)) & 0xFF));
    return exchange(port, CODE_SET_CLK, p, error);
}

bool avrLeave(TSerialPort *port, const QByteArray &pins, QString &error)
{
    QByteArray p = pins;
    return exchange(port, CODE_LEAVE, p, error);
}

bool avrReadSignature(TSerialPort *port, QByteArray &sig, QString &error)
{
    for (quint8 i = 0; i < 3; ++i) {
        QByteArray r;
        if (!echoedInstruction(port, 0, INS_SIGNATURE, 0, i, 0, 2, r, error))
            return false;
        sig.append(r.at(3));
    }
    return true;
}

bool avrChipErase(TSerialPort *port, qint8 timing, QString &error)
{
    QByteArray r;
    return echoedInstruction(port, timing, INS_PROG, INS_ERASE, 0, 0, 3, r, error);
}

bool avrReadFlash(TSerialPort *port, qint64 address, quint16 count, QByteArray &data, QString &error)
{
    return readMemory(port, CODE_READ_FLASH, address, count, data, error);
}

bool avrReadFlashExt(TSerialPort *port, qint64 &lastExt, qint64 address, quint16 count,
                     QByteArray &data, QString &error)
{
    return loadExtended(port, lastExt, address, error)
           && readMemory(port, CODE_READ_FLASH, address, count, data, error);
}

bool avrLoadFlash(TSerialPort *port, qint64 &address, quint16 &count, const QByteArray &data,
                  qint8 timing, QString &error)
{
    Q_UNUSED(timing)
    QByteArray p = alignedLoad(address, count, data);
    return exchange(port, CODE_LOAD_FLASH, p, error);
}

bool avrWriteFlashPage(TSerialPort *port, qint64 &address, quint16 &count, const QByteArray &data,
                       qint8 timing, QString &error)
{
    return avrLoadFlash(port, address, count, data, timing, error)
           && writePage(port, address, timing, error);
}

bool avrWriteFlashPageExt(TSerialPort *port, qint64 &lastExt, qint64 &address, quint16 &count,
                          const QByteArray &data, qint8 timing, QString &error)
{
    QByteArray p = alignedLoad(address, count, data);
    return loadExtended(port, lastExt, address, error) && exchange(port, CODE_LOAD_FLASH, p, error)
           && writePage(port, address, timing, error);
}

bool avrReadEeprom(TSerialPort *port, qint64 address, quint16 count, QByteArray &data, QString &error)
{
    return readMemory(port, CODE_READ_EEPROM, address, count, data, error);
}

bool avrWriteEeprom(TSerialPort *port, qint64 address, const QByteArray &data, QString &error)
{
    QByteArray p;
    p.append(char(address & 0xFF)).append(char((address >> 8) & 0xFF)).append(data);
    return exchange(port, CODE_WRITE_EEPROM, p, error);
}

bool avrReadFusesOld(TSerialPort *port, QByteArray &out, QString &error)
{
    QByteArray r;
    if (!echoedInstruction(port, 0, INS_READ_FUSE_LOCK, 0, 0, 0, 2, r, error))
        return false;
    out.append(char(quint8(r.at(3)) & 0x21));
    return true;
}

bool avrReadFuses(TSerialPort *port, QByteArray &out, quint8 count, QString &error)
{
    const quint8 n = count & 3;
    if (n == 0)
        return false;
    return readRegisters(port, n, FUSE_READ, out, error);
}

bool avrWriteFuseBit(TSerialPort *port, const QByteArray &data, qint8 timing, QString &error)
{
    return writeFuseInstruction(port, quint8(0xBE | (firstByte(data) & 0x01)), 0, timing, error);
}

bool avrWriteFusesOld(TSerialPort *port, const QByteArray &data, qint8 timing, QString &error)
{
    return writeFuseInstruction(port, quint8(0xA0 | (firstByte(data) & 0x1F)), 0, timing, error);
}

bool avrWriteFuses(TSerialPort *port, const QByteArray &data, qint8 timing, QString &error, int *written)
{
    const int n = data.size() & 3;
    if (n == 0)
        return false;
    for (int k = 0; k < n; ++k) {
        if (!writeFuseInstruction(port, FUSE_WRITE[k], quint8(data.at(k)), timing, error))
            return false;
        if (written)
            *written = k + 1;
    }
    return true;
}

bool avrReadLockOld(TSerialPort *port, quint8 &value, QString &error)
{
    QByteArray r;
    if (!echoedInstruction(port, 0, INS_READ_FUSE_LOCK, 0, 0, 0, 2, r, error))
        return false;
    value = quint8((quint8(r.at(3)) >> 4) & 0x06);
    return true;
}

bool avrReadLock(TSerialPort *port, quint8 &value, QString &error)
{
    QByteArray r;
    if (!echoedInstruction(port, 0, INS_READ_FUSE_LOCK, 0, 0, 0, 2, r, error))
        return false;
    value = quint8(r.at(3));
    return true;
}

bool avrWriteLockOld(TSerialPort *port, quint8 value, qint8 timing, QString &error)
{
    QByteArray r;
    return echoedInstruction(port, timing, INS_PROG, value, 0, 0, 3, r, error);
}

bool avrWriteLock(TSerialPort *port, quint8 value, qint8 timing, QString &error)
{
    QByteArray r;
    return echoedInstruction(port, timing, INS_PROG, INS_WRITE_LOCK, 0, value, 3, r, error);
}

bool avrReadOsccal(TSerialPort *port, QByteArray &out, quint8 count, QString &error)
{
    if (count == 0)
        return false;
    for (int i = 0; i < count; ++i) {
        QByteArray r;
        if (!echoedInstruction(port, 0, INS_OSCCAL, 0, quint8(i), 0, 2, r, error))
            return false;
        out.append(r.at(3));
    }
    return true;
}

// ---- Dispatchers ------------------------------------------------------------

bool avrReadSignatureByAlg(quint8 alg, TSerialPort *port, QByteArray &sig, QString &error)
{
    return alg == 0 && avrReadSignature(port, sig, error);
}

bool avrChipEraseByAlg(quint8 alg, TSerialPort *port, qint8 timing, QString &error)
{
    return alg == 0 && avrChipErase(port, timing, error);
}

bool avrReadFlashByAlg(quint8 alg, TSerialPort *port, qint64 &lastExt, qint64 address, quint16 count,
                       QByteArray &data, QString &error)
{
    switch (alg) {
    case 0: return avrReadFlash(port, address, count, data, error);
    case 1: return avrReadFlashExt(port, lastExt, address, count, data, error);
    default: return false;
    }
}

bool avrWriteFlashByAlg(quint8 alg, TSerialPort *port, qint64 &lastExt, qint64 &address,
                        quint16 &count, const QByteArray &data, qint8 timing, QString &error)
{
    switch (alg) {
    case 0: return avrLoadFlash(port, address, count, data, timing, error);
    case 1: return avrWriteFlashPage(port, address, count, data, timing, error);
    case 2: return avrWriteFlashPageExt(port, lastExt, address, count, data, timing, error);
    default: return false;
    }
}

bool avrReadEepromByAlg(quint8 alg, TSerialPort *port, qint64 address, quint16 count,
                        QByteArray &data, QString &error)
{
    return alg == 0 && avrReadEeprom(port, address, count, data, error);
}

bool avrWriteEepromByAlg(quint8 alg, TSerialPort *port, qint64 address, const QByteArray &data,
                         QString &error)
{
    return alg == 0 && avrWriteEeprom(port, address, data, error);
}

bool avrReadFusesByAlg(quint8 alg, TSerialPort *port, QByteArray &out, quint8 count, QString &error)
{
    switch (alg) {
    case 0: return avrReadFusesOld(port, out, error);
    case 1: return avrReadFuses(port, out, count, error);
    default: return false;
    }
}

bool avrWriteFusesByAlg(quint8 alg, TSerialPort *port, const QByteArray &data, qint8 timing,
                        QString &error, int *written)
{
    switch (alg) {
    case 0:
    case 1:
        if (!(alg == 0 ? avrWriteFuseBit(port, data, timing, error) : avrWriteFusesOld(port, data, timing, error)))
            return false;
        if (written)
            *written = 1;
        return true;
    case 2: return avrWriteFuses(port, data, timing, error, written);
    default: return false;
    }
}

bool avrReadLockByAlg(quint8 alg, TSerialPort *port, quint8 &value, QString &error)
{
    switch (alg) {
    case 0: return avrReadLockOld(port, value, error);
    case 1: return avrReadLock(port, value, error);
    default: return false;
    }
}

bool avrWriteLockByAlg(quint8 alg, TSerialPort *port, quint8 value, qint8 timing, QString &error)
{
    switch (alg) {
    case 0: return avrWriteLockOld(port, value, timing, error);
    case 1: return avrWriteLock(port, value, timing, error);
    default: return false;
    }
}

bool avrReadOsccalByAlg(quint8 alg, TSerialPort *port, QByteArray &out, quint8 count, QString &error)
{
    return alg == 0 && avrReadOsccal(port, out, count, error);
}

int avr8::highestAlg(const QString &key)
{
    static const QHash<QString, int> highest = {
        {QStringLiteral("alg_ident"), 0},       {QStringLiteral("alg_erase"), 0},
        {QStringLiteral("alg_flash_read"), 1},  {QStringLiteral("alg_flash_write"), 2},
        {QStringLiteral("alg_eeprom_read"), 0}, {QStringLiteral("alg_eeprom_write"), 0},
        {QStringLiteral("alg_fuse_read"), 1},   {QStringLiteral("alg_fuse_write"), 2},
        {QStringLiteral("alg_lock_read"), 1},   {QStringLiteral("alg_lock_write"), 1},
        {QStringLiteral("alg_osccal_read"), 0},
    };
    return highest.value(key, -1);
}
