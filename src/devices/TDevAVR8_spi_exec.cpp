#include "devices/TDevAVR8_spi_exec.h"

#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "devices/avr8_payload.h"
#include "devices/dev_lists.h"
#include "formats/TFormat.h"
#include "link/TProg.h"
#include "link/TProtocol.h"
#include "link/TSerialPort.h"
#include "misc/TNormCmdParam.h"
#include "misc/dev_misc.h"

#include <algorithm>
#include <memory>

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

TDevAVR8_SPI_Exec::TDevAVR8_SPI_Exec(const TData &params) : IDeviceExec(params) {}

TDevAVR8_SPI_Exec::~TDevAVR8_SPI_Exec() = default;

bool TDevAVR8_SPI_Exec::execute(TSerialPort *port, bool *stopRun, int *cfgId, int *lastCmdId)
{
    Q_UNUSED(stopRun)
    Q_UNUSED(cfgId)
    Q_UNUSED(lastCmdId)
    using Member = std::function<bool(TSerialPort *)>;
    struct Entry
    {
        const char *code;
        Member member;
    };
    const Entry table[] = {
        {CMD_SET_CLK, [this](TSerialPort *p) { return execSetClk(p); }},
        {CMD_IDENT, [this](TSerialPort *p) { return execIdent(p); }},
        {CMD_ERASE, [this](TSerialPort *p) { return execErase(p); }},
        {CMD_TEST_EMPTY_FLASH, [this](TSerialPort *p) { return execTestEmpty(p, true); }},
        {CMD_TEST_EMPTY_EEPROM, [this](TSerialPort *p) { return execTestEmpty(p, false); }},
        {CMD_FLASH_CHAR_WRITE, [this](TSerialPort *p) { return execCharWrite(p, true); }},
        {CMD_FLASH_CHAR_VERIFY, [this](TSerialPort *p) { return execCharVerify(p, true); }},
        {CMD_FLASH_DATA_READ, [this](TSerialPort *p) { return execDataRead(p, true); }},
        {CMD_FLASH_DATA_WRITE, [this](TSerialPort *p) { return execDataWrite(p, true); }},
        {CMD_FLASH_DATA_VERIFY, [this](TSerialPort *p) { return execDataVerify(p, true); }},
        {CMD_FLASH_FILE_READ, [this](TSerialPort *p) { return execFileRead(p, true); }},
        {CMD_FLASH_FILE_WRITE, [this](TSerialPort *p) { return execFileWrite(p, true); }},
        {CMD_FLASH_FILE_VERIFY, [this](TSerialPort *p) { return execFileVerify(p, true); }},
        {CMD_EEPROM_CHAR_WRITE, [this](TSerialPort *p) { return execCharWrite(p, false); }},
        {CMD_EEPROM_CHAR_VERIFY, [this](TSerialPort *p) { return execCharVerify(p, false); }},
        {CMD_EEPROM_DATA_READ, [this](TSerialPort *p) { return execDataRead(p, false); }},
        {CMD_EEPROM_DATA_WRITE, [this](TSerialPort *p) { return execDataWrite(p, false); }},
        {CMD_EEPROM_DATA_VERIFY, [this](TSerialPort *p) { return execDataVerify(p, false); }},
        {CMD_EEPROM_FILE_READ, [this](TSerialPort *p) { return execFileRead(p, false); }},
        {CMD_EEPROM_FILE_WRITE, [this](TSerialPort *p) { return execFileWrite(p, false); }},
        {CMD_EEPROM_FILE_VERIFY, [this](TSerialPort *p) { return execFileVerify(p, false); }},
        {CMD_FUSE_READ, [this](TSerialPort *p) { return execFuseRead(p); }},
        {CMD_FUSE_WRITE, [this](TSerialPort *p) { return execFuseWrite(p); }},
        {CMD_FUSE_VERIFY, [this](TSerialPort *p) { return execFuseVerify(p); }},
        {CMD_LOCK_READ, [this](TSerialPort *p) { return execLockRead(p); }},
        {CMD_LOCK_WRITE, [this](TSerialPort *p) { return execLockWrite(p); }},
        {CMD_LOCK_VERIFY, [this](TSerialPort *p) { return execLockVerify(p); }},
        {CMD_OSCCAL_READ, [this](TSerialPort *p) { return execOsccalRead(p); }},
        {CMD_LEAVE, [this](TSerialPort *p) { return execLeave(p); }},
    };
    const QString code = PARAM(m_params, REC_CMD).toString();
    for (const Entry &e : table) {
        if (code == QLatin1String(e.code))
            return e.member(port);
    }
    return failNotCarriedOut(code);
}

// ---- Common frame ----------------------------------------------------------------

bool TDevAVR8_SPI_Exec::deviceParams(TData &device)
{
    const TDataCmd *cmd = dataPrj.cmdById(PARAM(m_params, REC_ID_CMD).toInt());
    IDevice *dev = cmd ? cmd->device() : nullptr;
    if (!dev) {
        setErrorText(lang.text(MSG_NO_DEVICE));
        return false;
    }
    device = dev->params();
    return true;
}

bool TDevAVR8_SPI_Exec::algorithm(const TData &device, const char *key, quint8 &alg)
{
    alg = quint8(PARAM(device, key).toUInt() & 0xFF);
    return int(alg) <= highestAlg(QLatin1String(key)) || failVariant(QLatin1String(key), alg);
}

bool TDevAVR8_SPI_Exec::ident(TSerialPort *port, QString &id)
{
    TData device;
    quint8 alg = 0;
    if (!checkPort(port) || !deviceParams(device) || !algorithm(device, DEV_ALG_IDENT, alg))
        return false;
    QByteArray sig;
    QString error;
    if (!avrReadSignatureByAlg(alg, port, sig, error)) {
        setErrorText(error);
        return false;
    }
    id = bytesToHexString(sig);
    return true;
}

bool TDevAVR8_SPI_Exec::execSetClk(TSerialPort *port)
{
    if (!checkPort(port))
        return false;
    QString error;
    if (!avrSetClk(port, getClkCmdParams(m_params), error)) {
        setErrorText(error);
        return false;
    }
    return true;
}

bool TDevAVR8_SPI_Exec::execLeave(TSerialPort *port)
{
    if (!checkPort(port))
        return false;
    const QByteArray pins = pinStateBytes(PARAM(m_params, REC_ID_CMD).toInt(), true);
    QString error;
    if (!avrLeave(port, pins, error)) {
        setErrorText(error);
        return false;
    }
    return true;
}

bool TDevAVR8_SPI_Exec::execIdent(TSerialPort *port)
{
    TData device;
    quint8 alg = 0;
    if (!checkPort(port) || !deviceParams(device) || !algorithm(device, DEV_ALG_IDENT, alg))
        return false;
    const QString dir = dirOfFile(PARAM(device, DEV_DEV_FILE).toString());
    // A signature that is not whole bytes would never match: say why at once.
    QByteArray expected;
    if (!wholeHexBytes(QLatin1String(DEV_SIGNATURE), PARAM(device, DEV_SIGNATURE).toString(), expected))
        return false;
    QByteArray sig;
    QString error;
    if (!avrReadSignatureByAlg(alg, port, sig, error)) {
        setErrorText(error);
        return false;
    }
    if (sig == expected)
        return true;
    const QString hex = bytesToHexString(sig);
    setErrorText(QStringLiteral("   Device: %1\nSignature: %2").arg(findSignatureName(dir, hex), hex));
    return false;
}

bool TDevAVR8_SPI_Exec::execErase(TSerialPort *port)
{
    TData device;
    quint8 alg = 0;
    if (!checkPort(port) || !deviceParams(device) || !algorithm(device, DEV_ALG_ERASE, alg))
        return false;
    const bool polling = PARAM(device, DEV_ERASE_POLLING).toBool();
    const qint8 timing = timingByte(polling, polling ? 0 : PARAM(device, DEV_ERASE_DELAY).toUInt());
    QString error;
    if (!avrChipEraseByAlg(alg, port, timing, error)) {
        setErrorText(error);
        return false;
    }
    return true;
}

// ---- Memory transfers --------------------------------------------------------

bool TDevAVR8_SPI_Exec::prepareMemory(TSerialPort *port, bool flash, bool write, TData &device,
                                      Memory &mem)
{
    if (!checkPort(port) || !deviceParams(device))
        return false;
    mem.flash = flash;
    mem.lastExt = EXT_UNKNOWN;
    if (flash) {
        if (!algorithm(device, write ? DEV_ALG_FLASH_WRITE : DEV_ALG_FLASH_READ,
                       write ? mem.writeAlg : mem.readAlg))
            return false;
        if (write) {
            mem.page = PARAM(device, DEV_FLASH_PAGE_SIZE).toUInt() & 0xFFFF;
            const bool polling = PARAM(device, DEV_FLASH_POLLING).toBool();
            mem.timing = timingByte(polling, polling ? 0 : PARAM(device, DEV_FLASH_DELAY).toUInt());
        }
    } else if (!algorithm(device, write ? DEV_ALG_EEPROM_WRITE : DEV_ALG_EEPROM_READ,
                          write ? mem.writeAlg : mem.readAlg)) {
        return false;
    }
    const TDataCmd *cmd = dataPrj.cmdById(PARAM(m_params, REC_ID_CMD).toInt());
    const TProg *prog = cmd ? cmd->prog() : nullptr;
    if (!prog) {
        setErrorText(lang.text(MSG_NO_DEVICE));
        return false;
    }
    mem.maxData = prog->maxData();
    // Unpaged flash (algorithm 0) needs no page; the page algorithms do.
    const bool pageMissing = flash && write && mem.writeAlg != 0 && mem.page == 0;
    if (mem.maxData == 0 || pageMissing) {
        setErrorText(lang.text(MSG_NO_BLOCK));
        return false;
    }
    return true;
}

bool TDevAVR8_SPI_Exec::inReach(const Memory &mem, qint64 first, qint64 last, bool write)
{
    if (last < first)
        return true;
    qint64 reach = REACH_16;
    if (mem.flash && write)
        reach = mem.writeAlg == 2 ? REACH_EXT : mem.writeAlg == 1 ? REACH_PAGE : REACH_16;
    else if (mem.flash)
        reach = mem.readAlg == 1 ? REACH_EXT : REACH_16;
    if (first >= 0 && last <= reach)
        return true;
    setErrorText(lang.text(MSG_OUT_OF_REACH).arg(hexText64(first), hexText64(last)));
    return false;
}

TChunkRule TDevAVR8_SPI_Exec::readRule(const Memory &mem)
{
    return TChunkRule(mem.maxData).within(ADDRESS_SPAN);
}

TChunkRule TDevAVR8_SPI_Exec::writeRule(const Memory &mem)
{
    if (!mem.flash)
        return TChunkRule(mem.maxData).within(EEPROM_WRITE_BLOCK).within(ADDRESS_SPAN).atMost(
            TProtocol::MAX_PAYLOAD - 2);
    // A flash load moves whole 16-bit words: with an odd block a chunk would
    // end inside a word and the next one load that word a second time. A
    // chunk stays inside one page (the page written is the one of its first
    // word) and under one extended address; its request carries the address
    // and up to two pad bytes.
    TChunkRule rule(std::max<qint64>(2, mem.maxData & ~1));
    if (mem.page > 0)
        rule.within(mem.page);
    return rule.within(ADDRESS_SPAN).atMost(TProtocol::MAX_PAYLOAD - 5);
}

bool TDevAVR8_SPI_Exec::readChunk(TSerialPort *port, Memory &mem, qint64 address, qint64 count,
                                  QByteArray &bytes)
{
    QString error;
    const bool ok = mem.flash
                        ? avrReadFlashByAlg(mem.readAlg, port, mem.lastExt, address, quint16(count), bytes, error)
                        : avrReadEepromByAlg(mem.readAlg, port, address, quint16(count), bytes, error);
    if (!ok) {
        setErrorText(error);
        return false;
    }
    if (bytes.size() != count) {
        setErrorText(lang.text(MSG_SHORT_REPLY).arg(bytes.size()).arg(count));
        return false;
    }
    return true;
}

bool TDevAVR8_SPI_Exec::writeChunk(TSerialPort *port, Memory &mem, qint64 address, const QByteArray &bytes)
{
    QString error;
    bool ok;
    if (mem.flash) {
        qint64 aligned = address;
        quint16 count = quint16(bytes.size());
        ok = avrWriteFlashByAlg(mem.writeAlg, port, mem.lastExt, aligned, count, bytes, mem.timing, error);
    } else {
        ok = avrWriteEepromByAlg(mem.writeAlg, port, address, bytes, error);
    }
    if (!ok)
        setErrorText(error);
    return ok;
}

bool TDevAVR8_SPI_Exec::readRange(TSerialPort *port, Memory &mem, qint64 first, qint64 last,
                                  const ChunkFn &onChunk, bool withProgress)
{
    return walkRange(
               readRule(mem), first, last,
               [&](qint64 a, qint64 n) {
                   QByteArray bytes;
                   return readChunk(port, mem, a, n, bytes) && onChunk(a, bytes);
               },
               withProgress ? progressStep(last) : TProgressStep())
           != TWalkEnd::Failed;
}

bool TDevAVR8_SPI_Exec::writeRange(TSerialPort *port, Memory &mem, qint64 first, qint64 last,
                                   const BytesFn &bytesAt, bool withProgress)
{
    // The chunk's n bytes are written; a pad byte is no data of ours.
    return walkRange(
               writeRule(mem), first, last,
               [&](qint64 a, qint64 n) { return writeChunk(port, mem, a, bytesAt(a - first, n)); },
               withProgress ? progressStep(last) : TProgressStep())
           != TWalkEnd::Failed;
}

TProgressStep TDevAVR8_SPI_Exec::progressStep(qint64 last)
{
    return [this, last](qint64 next) { return progress(m_counter, m_lastPercent, next, last); };
}

bool TDevAVR8_SPI_Exec::compare(qint64 address, const QByteArray &expected, const QByteArray &read)
{
    const int n = std::min(expected.size(), read.size());
    for (int i = 0; i < n; ++i) {
        if (expected.at(i) != read.at(i)) {
            setErrorText(verifyMismatchText(address + i, quint8(expected.at(i)), quint8(read.at(i))));
            return false;
        }
    }
    if (expected.size() != read.size()) {
        setErrorText(lang.text(MSG_SHORT_REPLY).arg(read.size()).arg(expected.size()));
        return false;
    }
    return true;
}

bool TDevAVR8_SPI_Exec::execTestEmpty(TSerialPort *port, bool flash)
{
    TData device;
    Memory mem;
    if (!prepareMemory(port, flash, false, device, mem))
        return false;
    const qint64 begin = PARAM(device, flash ? DEV_FLASH_ADDR_BEGIN : DEV_EEPROM_ADDR_BEGIN).toLongLong();
    const qint64 size = PARAM(device, flash ? DEV_FLASH_SIZE : DEV_EEPROM_SIZE).toLongLong();
    const qint64 last = begin + size - 1;
    if (!inReach(mem, begin, last, false))
        return false;
    return readRange(port, mem, begin, last, [this](qint64 a, const QByteArray &bytes) {
        return compare(a, QByteArray(bytes.size(), char(0xFF)), bytes);
    });
}

bool TDevAVR8_SPI_Exec::execCharWrite(TSerialPort *port, bool flash)
{
    int idCmd = 0;
    qint64 first = 0, last = 0;
    quint8 fill = 0;
    getCharCmdParams(m_params, idCmd, first, last, fill);
    TData device;
    Memory mem;
    if (!prepareMemory(port, flash, true, device, mem) || !inReach(mem, first, last, true))
        return false;
    return writeRange(port, mem, first, last,
                      [fill](qint64, qint64 n) { return QByteArray(int(n), char(fill)); });
}

bool TDevAVR8_SPI_Exec::execCharVerify(TSerialPort *port, bool flash)
{
    int idCmd = 0;
    qint64 first = 0, last = 0;
    quint8 fill = 0;
    getCharCmdParams(m_params, idCmd, first, last, fill);
    TData device;
    Memory mem;
    if (!prepareMemory(port, flash, false, device, mem) || !inReach(mem, first, last, false))
        return false;
    return readRange(port, mem, first, last, [this, fill](qint64 a, const QByteArray &bytes) {
        return compare(a, QByteArray(bytes.size(), char(fill)), bytes);
    });
}

void TDevAVR8_SPI_Exec::storeData(int idCmd, const QString &text)
{
    dataPrj.setCmdParam(idCmd, {{QLatin1String(REC_ID_CMD), idCmd}, {QLatin1String(REG_DATA), text}});
}

bool TDevAVR8_SPI_Exec::execDataRead(TSerialPort *port, bool flash)
{
    int idCmd = 0;
    qint64 first = 0, last = 0;
    QByteArray expected;
    QString text;
    if (!getDataCmdParams(m_params, idCmd, first, last, expected, text))
        return refuseHexText(QLatin1String(DATA_DATA), text);
    TData device;
    Memory mem;
    if (!prepareMemory(port, flash, false, device, mem) || !inReach(mem, first, last, false))
        return false;
    QByteArray read;
    if (!readRange(port, mem, first, last, [&read](qint64, const QByteArray &bytes) {
            read.append(bytes);
            return true;
        }))
        return false;
    storeData(idCmd, bytesToHexStringLike(text, read));
    return true;
}

bool TDevAVR8_SPI_Exec::execDataWrite(TSerialPort *port, bool flash)
{
    int idCmd = 0;
    qint64 first = 0, last = 0;
    QByteArray bytes;
    QString text;
    if (!getDataCmdParams(m_params, idCmd, first, last, bytes, text))
        return refuseHexText(QLatin1String(DATA_DATA), text);
    TData device;
    Memory mem;
    if (!prepareMemory(port, flash, true, device, mem) || !inReach(mem, first, last, true))
        return false;
    return writeRange(port, mem, first, last,
                      [&bytes](qint64 offset, qint64 n) { return bytes.mid(int(offset), int(n)); });
}

bool TDevAVR8_SPI_Exec::execDataVerify(TSerialPort *port, bool flash)
{
    int idCmd = 0;
    qint64 first = 0, last = 0;
    QByteArray expected;
    QString text;
    if (!getDataCmdParams(m_params, idCmd, first, last, expected, text))
        return refuseHexText(QLatin1String(DATA_DATA), text);
    TData device;
    Memory mem;
    if (!prepareMemory(port, flash, false, device, mem) || !inReach(mem, first, last, false))
        return false;
    return readRange(port, mem, first, last, [&](qint64 a, const QByteArray &bytes) {
        return compare(a, expected.mid(int(a - first), bytes.size()), bytes);
    });
}

// The memory and range of a file command, with its chip-data file open in
// the mode (0 to read the file, 1 to write it), in the block of the chip
// transfers the command makes. Null (the reason kept) when anything fails.
std::unique_ptr<TFormat> TDevAVR8_SPI_Exec::openFileCmd(TSerialPort *port, bool flash, bool write, int mode,
                                                       Memory &mem, qint64 &addrFile, qint64 &first, qint64 &last)
{
    int idCmd = 0;
    QString file, formatName;
    getFileCmdParams(m_params, idCmd, addrFile, first, last, file, formatName);
    TData device;
    if (!prepareMemory(port, flash, write, device, mem) || !inReach(mem, first, last, write))
        return nullptr;
    const qint64 block = (write ? writeRule(mem) : readRule(mem)).block();
    auto format = std::make_unique<TFormat>(formatName, file, addrFile, first, last, block);
    if (!format->open(mode)) {
        setErrorText(format->errorString());
        return nullptr;
    }
    return format;
}

bool TDevAVR8_SPI_Exec::execFileRead(TSerialPort *port, bool flash)
{
    Memory mem;
    qint64 addrFile = 0, first = 0, last = 0;
    std::unique_ptr<TFormat> opened = openFileCmd(port, flash, false, 1, mem, addrFile, first, last);
    if (!opened)
        return false;
    TFormat &format = *opened;
    qint64 fileAddr = addrFile;
    const TWalkEnd end = walkRange(
        readRule(mem), first, last,
        [&](qint64 a, qint64 n) {
            QByteArray bytes;
            if (!readChunk(port, mem, a, n, bytes))
                return false;
            if (!format.write(fileAddr, bytes)) {
                setErrorText(format.errorString());
                return false;
            }
            fileAddr += bytes.size();
            return true;
        },
        progressStep(last));
    // A failed or stopped pass leaves the file as it was: it is dropped
    // unclosed, never put in place with only a part of the chip.
    if (end != TWalkEnd::Done)
        return end == TWalkEnd::Stopped;
    return closeFile(format);
}

bool TDevAVR8_SPI_Exec::fileWalk(TFormat &format, qint64 first, qint64 last, const ChunkFn &onPiece)
{
    QString error;
    if (walkFile(format, first, onPiece, progressStep(last), error) != TWalkEnd::Failed)
        return closeFile(format);
    if (!error.isEmpty())
        setErrorText(error);
    return false;
}

bool TDevAVR8_SPI_Exec::execFileWrite(TSerialPort *port, bool flash)
{
    Memory mem;
    qint64 addrFile = 0, first = 0, last = 0;
    std::unique_ptr<TFormat> opened = openFileCmd(port, flash, true, 0, mem, addrFile, first, last);
    if (!opened)
        return false;
    return fileWalk(*opened, first, last, [&](qint64 address, const QByteArray &piece) {
        return writeRange(
            port, mem, address, address + piece.size() - 1,
            [&piece](qint64 offset, qint64 n) { return piece.mid(int(offset), int(n)); }, false);
    });
}

bool TDevAVR8_SPI_Exec::execFileVerify(TSerialPort *port, bool flash)
{
    Memory mem;
    qint64 addrFile = 0, first = 0, last = 0;
    std::unique_ptr<TFormat> opened = openFileCmd(port, flash, false, 0, mem, addrFile, first, last);
    if (!opened)
        return false;
    return fileWalk(*opened, first, last, [&](qint64 address, const QByteArray &piece) {
        return readRange(
            port, mem, address, address + piece.size() - 1,
            [&](qint64 a, const QByteArray &bytes) { return compare(a, piece.mid(int(a - address), bytes.size()), bytes); },
            false);
    });
}

// ---- Fuses, lock bits, calibration ---------------------------------------------

bool TDevAVR8_SPI_Exec::regCommand(TSerialPort *port, TData &device)
{
    return checkPort(port) && deviceParams(device);
}

bool TDevAVR8_SPI_Exec::fuseCount(const TData &device, quint8 &count)
{
    QByteArray fuses;
    if (!wholeHexBytes(QLatin1String(DEV_FUSE_DEF), PARAM(device, DEV_FUSE_DEF).toString(), fuses))
        return false;
    count = quint8(qMin(fuses.size(), 0xFF));
    if (count <= MAX_FUSES)
        return true;
    setErrorText(lang.text(MSG_FUSE_COUNT).arg(count));
    return false;
}

// The fuse or lock image a write or verify works on: whole bytes of hex
// digits, exactly as many as the chip has. A missing byte is never made up:
// a zero would program every bit of it.
bool TDevAVR8_SPI_Exec::regData(quint8 count, QByteArray &bytes)
{
    if (!wholeHexBytes(QLatin1String(REG_DATA), PARAM(m_params, REG_DATA).toString(), bytes))
        return false;
    if (!bytes.isEmpty() && bytes.size() == count)
        return true;
    setErrorText(lang.text(MSG_DATA_COUNT).arg(bytes.size()).arg(std::max<int>(count, 1)));
    return false;
}

bool TDevAVR8_SPI_Exec::execFuseRead(TSerialPort *port)
{
    TData device;
    quint8 alg = 0, count = 0;
    if (!regCommand(port, device) || !algorithm(device, DEV_ALG_FUSE_READ, alg) || !fuseCount(device, count))
        return false;
    if (alg == 1 && count == 0) {
        setErrorText(lang.text(MSG_FUSE_COUNT).arg(count));
        return false;
    }
    QByteArray read;
    QString error;
    if (!avrReadFusesByAlg(alg, port, read, count, error)) {
        setErrorText(error);
        return false;
    }
    storeData(PARAM(m_params, REC_ID_CMD).toInt(), bytesToHexString(read));
    return true;
}

bool TDevAVR8_SPI_Exec::execFuseWrite(TSerialPort *port)
{
    TData device;
    quint8 alg = 0, count = 0;
    QByteArray data;
    if (!regCommand(port, device) || !algorithm(device, DEV_ALG_FUSE_WRITE, alg)
        || !fuseCount(device, count) || !regData(count, data))
        return false;
    const bool polling = PARAM(device, DEV_FUSE_POLLING).toBool();
    const qint8 timing = timingByte(polling, polling ? 0 : PARAM(device, DEV_FUSE_DELAY).toUInt());
    QString error;
    if (!avrWriteFusesByAlg(alg, port, data, timing, error)) {
        setErrorText(error);
        return false;
    }
    return true;
}

bool TDevAVR8_SPI_Exec::execFuseVerify(TSerialPort *port)
{
    TData device;
    quint8 alg = 0, count = 0;
    QByteArray expected;
    if (!regCommand(port, device) || !algorithm(device, DEV_ALG_FUSE_READ, alg)
        || !fuseCount(device, count) || !regData(count, expected))
        return false;
    QByteArray read;
    QString error;
    if (!avrReadFusesByAlg(alg, port, read, count, error)) {
        setErrorText(error);
        return false;
    }
    // The bytes count, not the way the text writes them.
    if (read == expected)
        return true;
    setErrorText(QStringLiteral("Fuse Bits: Data: %1, Read: %2")
                     .arg(bytesToHexString(expected), bytesToHexString(read)));
    return false;
}

bool TDevAVR8_SPI_Exec::execLockRead(TSerialPort *port)
{
    TData device;
    quint8 alg = 0, value = 0;
    if (!regCommand(port, device) || !algorithm(device, DEV_ALG_LOCK_READ, alg))
        return false;
    QString error;
    if (!avrReadLockByAlg(alg, port, value, error)) {
        setErrorText(error);
        return false;
    }
    storeData(PARAM(m_params, REC_ID_CMD).toInt(), hexText(value));
    return true;
}

bool TDevAVR8_SPI_Exec::execLockWrite(TSerialPort *port)
{
    TData device;
    quint8 alg = 0;
    QByteArray data;
    // A lock value of 0 would lock the part until it is erased: only the one
    // byte the user gave is written.
    if (!regCommand(port, device) || !algorithm(device, DEV_ALG_LOCK_WRITE, alg)
        || !regData(LOCK_BYTES, data))
        return false;
    const bool polling = PARAM(device, DEV_LOCK_POLLING).toBool();
    const qint8 timing = timingByte(polling, polling ? 0 : PARAM(device, DEV_LOCK_DELAY).toUInt());
    QString error;
    if (!avrWriteLockByAlg(alg, port, quint8(data.at(0)), timing, error)) {
        setErrorText(error);
        return false;
    }
    return true;
}

bool TDevAVR8_SPI_Exec::execLockVerify(TSerialPort *port)
{
    TData device;
    quint8 alg = 0, value = 0;
    QByteArray data;
    if (!regCommand(port, device) || !algorithm(device, DEV_ALG_LOCK_READ, alg)
        || !regData(LOCK_BYTES, data))
        return false;
    QString error;
    if (!avrReadLockByAlg(alg, port, value, error)) {
        setErrorText(error);
        return false;
    }
    const quint8 expected = quint8(data.at(0));
    if (value == expected)
        return true;
    setErrorText(QStringLiteral("Fuse Bits: Data: %1, Read: %2").arg(hexText(expected), hexText(value)));
    return false;
}

bool TDevAVR8_SPI_Exec::execOsccalRead(TSerialPort *port)
{
    TData device;
    quint8 alg = 0;
    if (!regCommand(port, device) || !algorithm(device, DEV_ALG_OSCCAL_READ, alg))
        return false;
    QByteArray cal;
    if (!wholeHexBytes(QLatin1String(DEV_OSCCAL_DEF), PARAM(device, DEV_OSCCAL_DEF).toString(), cal))
        return false;
    const quint8 count = quint8(qMin(cal.size(), 0xFF));
    if (count == 0) {
        setErrorText(lang.text(MSG_NO_OSCCAL));
        return false;
    }
    QByteArray read;
    QString error;
    if (!avrReadOsccalByAlg(alg, port, read, count, error)) {
        setErrorText(error);
        return false;
    }
    storeData(PARAM(m_params, REC_ID_CMD).toInt(), bytesToHexString(read));
    return true;
}
