#include "devices/TDevAVR8_spi_exec.h"

#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "devices/avr8_payload.h"
#include "devices/dev_lists.h"
#include "devices/param_schema.h"
#include "link/TProtocol.h"
#include "misc/TNormCmdParam.h"
#include "misc/dev_misc.h"

#include <QHash>

#include <algorithm>

using namespace avr8;

static const char SOURCE[] = "devices\\TDevAVR8_spi_exec";

#define PARAM(data, key) getParam(QLatin1String(SOURCE), __LINE__, data, QLatin1String(key))

namespace {

constexpr qint64 EEPROM_WRITE_BLOCK = 32;
// Codes 3 to 6 carry 16 address bits, and one extended address selects
// 64 KiB: no transfer crosses a multiple of it.
constexpr qint64 ADDRESS_SPAN = 0x10000;
constexpr qint64 REACH_16 = 0xFFFF;         // codes 3 to 6: 16 address bits
constexpr qint64 REACH_PAGE = 0x1FFFF;      // page write: 16-bit word address
constexpr qint64 REACH_EXT = 0xFFFFFF;      // with the extended address byte

} // namespace

TDevAVR8_SPI_Exec::TDevAVR8_SPI_Exec(const TData &params) : TMemoryExec(params, Progress::Address) {}

TDevAVR8_SPI_Exec::~TDevAVR8_SPI_Exec() = default;

bool TDevAVR8_SPI_Exec::execute(TSerialPort *port, bool *stopRun, int *cfgId, int *lastCmdId)
{
    Q_UNUSED(stopRun)
    Q_UNUSED(cfgId)
    Q_UNUSED(lastCmdId)
    QString error;
    const int id = schema::cmdId(m_params);
    return runCommand(port, {
        {CMD_SET_CLK, [&] { return sent(avrSetClk(port, getClkCmdParams(m_params), error), error); }},
        {CMD_IDENT, [&] { return execIdent(port); }},
        {CMD_ERASE, [&] { return execErase(port); }},
        {CMD_FUSE_READ, [&] { return execFuseRead(port); }},
        {CMD_FUSE_WRITE, [&] { return execFuseWrite(port); }},
        {CMD_FUSE_VERIFY, [&] { return execFuseVerify(port); }},
        {CMD_LOCK_READ, [&] { return execLockRead(port); }},
        {CMD_LOCK_WRITE, [&] { return execLockWrite(port); }},
        {CMD_LOCK_VERIFY, [&] { return execLockVerify(port); }},
        {CMD_OSCCAL_READ, [&] { return execOsccalRead(port); }},
        {CMD_LEAVE, [&] { return sent(avrLeave(port, pinStateBytes(id, true), error), error); }},
    });
}

// ---- What the executor asks of the description ---------------------------------

quint8 TDevAVR8_SPI_Exec::variantOf(const TData &dev, const char *key)
{
    return quint8(PARAM(dev, key).toUInt() & 0xFF);
}

TCheck TDevAVR8_SPI_Exec::algCheck(const TData &dev, const char *key)
{
    const quint8 alg = variantOf(dev, key);
    if (int(alg) <= highestAlg(QLatin1String(key)))
        return TCheck::valid();
    return variantRefused(QLatin1String(key), alg);
}

TCheck TDevAVR8_SPI_Exec::fuseCountCheck(const TData &dev, bool read)
{
    QByteArray fuses;
    if (TCheck hex = wholeHexCheck(QLatin1String(DEV_FUSE_DEF), PARAM(dev, DEV_FUSE_DEF).toString(), fuses); !hex)
        return hex;
    // Variant 1 reads as many fuses as there are; variant 0 reads its one.
    if (fuses.size() <= MAX_FUSES && (!fuses.isEmpty() || !read || variantOf(dev, DEV_ALG_FUSE_READ) != 1))
        return TCheck::valid();
    return TCheck::refused(QLatin1String(DEV_FUSE_DEF), lang.text(MSG_FUSE_COUNT, fuses.size()));
}

TCheck TDevAVR8_SPI_Exec::osccalCheck(const TData &dev)
{
    QByteArray cal;
    if (TCheck hex = wholeHexCheck(QLatin1String(DEV_OSCCAL_DEF), PARAM(dev, DEV_OSCCAL_DEF).toString(), cal); !hex)
        return hex;
    return cal.isEmpty() ? TCheck::refused(QLatin1String(DEV_OSCCAL_DEF), lang.text(MSG_NO_OSCCAL)) : TCheck::valid();
}

TCheck TDevAVR8_SPI_Exec::areaCheck(const TData &dev, Area area, bool write, qint64 first, qint64 last)
{
    const bool flash = area == Flash;
    const char *key = flash ? (write ? DEV_ALG_FLASH_WRITE : DEV_ALG_FLASH_READ)
                            : (write ? DEV_ALG_EEPROM_WRITE : DEV_ALG_EEPROM_READ);
    if (TCheck alg = algCheck(dev, key); !alg)
        return alg;
    const quint8 alg = variantOf(dev, key);
    // Unpaged flash (algorithm 0) needs no page; the page algorithms do.
    if (flash && write && alg != 0 && (PARAM(dev, DEV_FLASH_PAGE_SIZE).toUInt() & 0xFFFF) == 0)
        return TCheck::refused(QLatin1String(DEV_FLASH_PAGE_SIZE), lang.text(MSG_NO_BLOCK));
    qint64 reach = REACH_16;
    if (flash && write)
        reach = alg == 2 ? REACH_EXT : alg == 1 ? REACH_PAGE : REACH_16;
    else if (flash)
        reach = alg == 1 ? REACH_EXT : REACH_16;
    if (first <= last && (first < 0 || last > reach))
        return TCheck::refused(QLatin1String(key),
                               lang.text(MSG_OUT_OF_REACH).arg(hexText64(first), hexText64(last)));
    return TCheck::valid();
}

TCheck TDevAVR8_SPI_Exec::describedCheck(const TData &dev, const TData &params)
{
    Transfer transfer;
    if (transferOf(params, dev, transfer)) {
        if (TCheck range = describedRange(dev, transfer); !range)
            return range;
        return areaCheck(dev, transfer.area, transfer.write, transfer.first, transfer.last);
    }
    static const QHash<QString, const char *> keys = {
        {CMD_IDENT, DEV_ALG_IDENT},          {CMD_ERASE, DEV_ALG_ERASE},
        {CMD_FUSE_READ, DEV_ALG_FUSE_READ},  {CMD_FUSE_VERIFY, DEV_ALG_FUSE_READ},
        {CMD_FUSE_WRITE, DEV_ALG_FUSE_WRITE}, {CMD_LOCK_READ, DEV_ALG_LOCK_READ},
        {CMD_LOCK_VERIFY, DEV_ALG_LOCK_READ}, {CMD_LOCK_WRITE, DEV_ALG_LOCK_WRITE},
        {CMD_OSCCAL_READ, DEV_ALG_OSCCAL_READ},
    };
    const QString code = schema::cmdCode(params);
    const char *key = keys.value(code, nullptr);
    if (!key)
        return TCheck::valid();
    if (TCheck alg = algCheck(dev, key); !alg)
        return alg;
    QByteArray signature;
    if (code == QLatin1String(CMD_IDENT))
        return wholeHexCheck(QLatin1String(DEV_SIGNATURE), PARAM(dev, DEV_SIGNATURE).toString(), signature);
    if (code.startsWith(QLatin1String("fuse_")))
        return fuseCountCheck(dev, code == QLatin1String(CMD_FUSE_READ));
    if (code == QLatin1String(CMD_OSCCAL_READ))
        return osccalCheck(dev);
    return TCheck::valid();
}

// ---- Common frame ----------------------------------------------------------------

bool TDevAVR8_SPI_Exec::algorithm(const char *key, quint8 &alg)
{
    alg = variantOf(devParams(), key);
    return passes(algCheck(devParams(), key));
}

bool TDevAVR8_SPI_Exec::prepareCmd(const char *key, quint8 &alg)
{
    return lookUp(false) && algorithm(key, alg);
}

qint8 TDevAVR8_SPI_Exec::timing(const char *pollingKey, const char *delayKey) const
{
    const bool polling = devParam(pollingKey).toBool();
    return timingByte(polling, polling ? 0 : devParam(delayKey).toUInt());
}

bool TDevAVR8_SPI_Exec::readSignature(TSerialPort *port, quint8 alg, QByteArray &sig)
{
    QString error;
    return sent(avrReadSignatureByAlg(alg, port, sig, error), error);
}

bool TDevAVR8_SPI_Exec::ident(TSerialPort *port, QString &id)
{
    quint8 alg = 0;
    QByteArray sig;
    if (!checkPort(port) || !prepareCmd(DEV_ALG_IDENT, alg) || !readSignature(port, alg, sig))
        return false;
    id = bytesToHexString(sig);
    return true;
}

bool TDevAVR8_SPI_Exec::execIdent(TSerialPort *port)
{
    quint8 alg = 0;
    // A signature that is not whole bytes would never match: say why at once.
    QByteArray expected, sig;
    if (!prepareCmd(DEV_ALG_IDENT, alg)
        || !wholeHexBytes(QLatin1String(DEV_SIGNATURE), devParam(DEV_SIGNATURE).toString(), expected)
        || !readSignature(port, alg, sig))
        return false;
    if (sig == expected)
        return true;
    const QString dir = dirOfFile(devParam(DEV_DEV_FILE).toString());
    const QString hex = bytesToHexString(sig);
    setErrorText(QStringLiteral("   Device: %1\nSignature: %2").arg(findSignatureName(dir, hex), hex));
    return false;
}

bool TDevAVR8_SPI_Exec::execErase(TSerialPort *port)
{
    quint8 alg = 0;
    QString error;
    if (!prepareCmd(DEV_ALG_ERASE, alg))
        return false;
    beginChange(ChangeUnit::Chip, 0, 0);
    const bool ok = avrChipEraseByAlg(alg, port, timing(DEV_ERASE_POLLING, DEV_ERASE_DELAY), error);
    changeUnits(ok ? 1 : 0, ok);
    return sent(ok, error);
}

// ---- The memories --------------------------------------------------------------

bool TDevAVR8_SPI_Exec::hasArea(Area area) const
{
    return area == Flash || area == Eeprom;
}

bool TDevAVR8_SPI_Exec::prepareArea(Area area, bool write, qint64 first, qint64 last, TChunkRule &rule)
{
    m_flash = area == Flash;
    m_lastExt = EXT_UNKNOWN;
    if (!passes(areaCheck(devParams(), area, write, first, last)))
        return false;
    m_alg = variantOf(devParams(), m_flash ? (write ? DEV_ALG_FLASH_WRITE : DEV_ALG_FLASH_READ)
                                            : (write ? DEV_ALG_EEPROM_WRITE : DEV_ALG_EEPROM_READ));
    const bool flashWrite = m_flash && write;
    const qint64 page = flashWrite ? devParam(DEV_FLASH_PAGE_SIZE).toUInt() & 0xFFFF : 0;
    if (flashWrite)
        m_timing = timing(DEV_FLASH_POLLING, DEV_FLASH_DELAY);
    if (maxData() == 0) {
        setErrorText(lang.text(MSG_NO_BLOCK));
        return false;
    }
    if (!write) {
        rule = TChunkRule(maxData()).within(ADDRESS_SPAN);
    } else if (!m_flash) {
        rule = TChunkRule(maxData()).within(EEPROM_WRITE_BLOCK).within(ADDRESS_SPAN).atMost(TProtocol::MAX_PAYLOAD - 2);
    } else {
        // A flash load moves whole 16-bit words: with an odd block a chunk
        // would end inside a word and the next one load that word a second
        // time. A chunk stays inside one page (the page written is the one
        // of its first word) and under one extended address; its request
        // carries the address and up to two pad bytes.
        rule = TChunkRule(std::max<qint64>(2, maxData() & ~1));
        if (page > 0)
            rule.within(page);
        rule.within(ADDRESS_SPAN).atMost(TProtocol::MAX_PAYLOAD - 5);
    }
    return true;
}

bool TDevAVR8_SPI_Exec::readChunk(TSerialPort *port, Area, qint64 address, qint64 count, QByteArray &bytes)
{
    QString error;
    return sent(m_flash ? avrReadFlashByAlg(m_alg, port, m_lastExt, address, quint16(count), bytes, error)
                        : avrReadEepromByAlg(m_alg, port, address, quint16(count), bytes, error),
                error);
}

bool TDevAVR8_SPI_Exec::writeChunk(TSerialPort *port, Area, qint64 address, const QByteArray &bytes)
{
    QString error;
    if (!m_flash)
        return sent(avrWriteEepromByAlg(m_alg, port, address, bytes, error), error);
    qint64 aligned = address;
    quint16 count = quint16(bytes.size());
    return sent(avrWriteFlashByAlg(m_alg, port, m_lastExt, aligned, count, bytes, m_timing, error), error);
}

// ---- Fuses, lock bits, calibration ---------------------------------------------

bool TDevAVR8_SPI_Exec::fuseCount(quint8 &count)
{
    QByteArray fuses;
    if (!wholeHexBytes(QLatin1String(DEV_FUSE_DEF), devParam(DEV_FUSE_DEF).toString(), fuses))
        return false;
    count = quint8(qMin(fuses.size(), 0xFF));
    const QString code = schema::cmdCode(m_params);
    return passes(fuseCountCheck(devParams(), code == QLatin1String(CMD_FUSE_READ)));
}

// The fuse or lock image a write or verify works on: whole bytes of hex
// digits, exactly as many as the chip has. A missing byte is never made up:
// a zero would program every bit of it.
bool TDevAVR8_SPI_Exec::regData(quint8 count, QByteArray &bytes)
{
    if (!wholeHexBytes(QLatin1String(REG_DATA), schema::text(m_params, REG_DATA), bytes))
        return false;
    if (!bytes.isEmpty() && bytes.size() == count)
        return true;
    setErrorText(lang.text(MSG_DATA_COUNT, bytes.size(), std::max<int>(count, 1)));
    return false;
}

bool TDevAVR8_SPI_Exec::readFuses(TSerialPort *port, quint8 alg, quint8 count, QByteArray &fuses)
{
    QString error;
    return sent(avrReadFusesByAlg(alg, port, fuses, count, error), error);
}

bool TDevAVR8_SPI_Exec::readLock(TSerialPort *port, quint8 alg, quint8 &value)
{
    QString error;
    return sent(avrReadLockByAlg(alg, port, value, error), error);
}

bool TDevAVR8_SPI_Exec::execFuseRead(TSerialPort *port)
{
    quint8 alg = 0, count = 0;
    QByteArray read;
    if (!prepareCmd(DEV_ALG_FUSE_READ, alg) || !fuseCount(count) || !readFuses(port, alg, count, read))
        return false;
    storeData(bytesToHexString(read));
    return true;
}

bool TDevAVR8_SPI_Exec::execFuseWrite(TSerialPort *port)
{
    quint8 alg = 0, count = 0;
    QByteArray data;
    QString error;
    if (!prepareCmd(DEV_ALG_FUSE_WRITE, alg) || !fuseCount(count) || !regData(count, data))
        return false;
    // The variants 0 and 1 write every fuse bit in one request.
    int written = 0;
    beginChange(ChangeUnit::Registers, 1, alg == 2 ? data.size() : 1);
    const bool ok = avrWriteFusesByAlg(alg, port, data, timing(DEV_FUSE_POLLING, DEV_FUSE_DELAY), error, &written);
    changeUnits(written, ok);
    return sent(ok, error);
}

bool TDevAVR8_SPI_Exec::execFuseVerify(TSerialPort *port)
{
    quint8 alg = 0, count = 0;
    QByteArray expected, read;
    if (!prepareCmd(DEV_ALG_FUSE_READ, alg) || !fuseCount(count) || !regData(count, expected)
        || !readFuses(port, alg, count, read))
        return false;
    // The bytes count, not the way the text writes them.
    if (read == expected)
        return true;
    setErrorText(QStringLiteral("Fuse Bits: Data: %1, Read: %2")
                     .arg(bytesToHexString(expected), bytesToHexString(read)));
    return false;
}

bool TDevAVR8_SPI_Exec::execLockRead(TSerialPort *port)
{
    quint8 alg = 0, value = 0;
    if (!prepareCmd(DEV_ALG_LOCK_READ, alg) || !readLock(port, alg, value))
        return false;
    storeData(hexText(value));
    return true;
}

bool TDevAVR8_SPI_Exec::execLockWrite(TSerialPort *port)
{
    quint8 alg = 0;
    QByteArray data;
    QString error;
    // A lock value of 0 would lock the part until it is erased: only the one
    // byte the user gave is written.
    if (!prepareCmd(DEV_ALG_LOCK_WRITE, alg) || !regData(LOCK_BYTES, data))
        return false;
    beginChange(ChangeUnit::Registers, 1, 1);
    const bool ok = avrWriteLockByAlg(alg, port, quint8(data.at(0)), timing(DEV_LOCK_POLLING, DEV_LOCK_DELAY), error);
    changeUnits(ok ? 1 : 0, ok);
    return sent(ok, error);
}

bool TDevAVR8_SPI_Exec::execLockVerify(TSerialPort *port)
{
    quint8 alg = 0, value = 0;
    QByteArray data;
    if (!prepareCmd(DEV_ALG_LOCK_READ, alg) || !regData(LOCK_BYTES, data) || !readLock(port, alg, value))
        return false;
    const quint8 expected = quint8(data.at(0));
    if (value == expected)
        return true;
    setErrorText(QStringLiteral("Lock Bits: Data: %1, Read: %2").arg(hexText(expected), hexText(value)));
    return false;
}

bool TDevAVR8_SPI_Exec::execOsccalRead(TSerialPort *port)
{
    quint8 alg = 0;
    QByteArray cal, read;
    QString error;
    if (!prepareCmd(DEV_ALG_OSCCAL_READ, alg)
        || !wholeHexBytes(QLatin1String(DEV_OSCCAL_DEF), devParam(DEV_OSCCAL_DEF).toString(), cal)
        || !passes(osccalCheck(devParams())))
        return false;
    const quint8 count = quint8(qMin(cal.size(), 0xFF));
    if (!sent(avrReadOsccalByAlg(alg, port, read, count, error), error))
        return false;
    storeData(bytesToHexString(read));
    return true;
}
