#include "devices/TDev24Exec.h"

#include "core/TLang.h"
#include "core/consts.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "formats/TFormat.h"
#include "link/TProg.h"
#include "link/TProtocol.h"
#include "link/TSerialPort.h"
#include "misc/TNormCmdParam.h"
#include "misc/dev_misc.h"

#include <QtEndian>

#include <algorithm>
#include <memory>

namespace {

// Programmer request codes after a 24xx set-up record.
enum : quint8 {
    I2C24_LEAVE = 1,
    I2C24_SET_CLK = 2,
    I2C24_SET_ADDR = 3,
    I2C24_WRITE = 4,
    I2C24_READ = 5,
};

// Language-table messages of the executor.
constexpr int MSG_BLOCK_ZERO = 427;    // transfer block or page of 0 bytes
constexpr int MSG_ADDR_SIZE = 428;     // %1 the address size
constexpr int MSG_ADDR_RANGE = 429;    // %1 last address, %2 highest reachable

constexpr quint8 CONTROL_BYTE = 0xA0;
constexpr char BLANK = char(0xFF);

bool send(TSerialPort *port, quint8 code, QByteArray &payload, QString &error)
{
    if (port->transaction(code, payload))
        return true;
    error = port->errorString();
    return false;
}

} // namespace

TDev24Exec::TDev24Exec(const TData &params, QObject *parent) : IDeviceExec(params, parent) {}

bool TDev24Exec::ident(TSerialPort *, QString &)
{
    return true;
}

// ---- Requests ---------------------------------------------------------------

bool TDev24Exec::i2c24Leave(TSerialPort *port, const QByteArray &pins, QString &error)
{
    QByteArray payload = pins;
    return send(port, I2C24_LEAVE, payload, error);
}

bool TDev24Exec::i2c24SetClk(TSerialPort *port, quint32 clock, QString &error)
{
    QByteArray payload(4, 0);
    qToLittleEndian<quint32>(clock, payload.data());
    return send(port, I2C24_SET_CLK, payload, error);
}

bool TDev24Exec::i2c24SetAddr(TSerialPort *port, quint8 address, QString &error)
{
    QByteArray payload(1, char(address));
    return send(port, I2C24_SET_ADDR, payload, error);
}

QByteArray TDev24Exec::addressBytes(quint8 addrSize, qint64 address)
{
    const quint64 a = quint64(address);
    const auto byteAt = [a](int k) { return char((a >> (8 * k)) & 0xFF); };
    QByteArray head;
    head.append(char((CONTROL_BYTE | (quint8(byteAt(addrSize)) << 1)) & 0xFF));
    head.append(byteAt(addrSize - 1));
    if (addrSize > 1)
        head.append(byteAt(0));
    return head;
}

qint64 TDev24Exec::addressLimit(quint8 addrSize)
{
    return addrSize == 1 || addrSize == 2 ? qint64(1) << (8 * addrSize + 3) : 0;
}

bool TDev24Exec::i2c24Write(TSerialPort *port, quint8 addrSize, qint64 address,
                            const QByteArray &data, QString &error)
{
    QByteArray payload = addressBytes(addrSize, address) + data;
    return send(port, I2C24_WRITE, payload, error);
}

bool TDev24Exec::i2c24Read(TSerialPort *port, quint8 addrSize, qint64 address, quint16 count,
                           QByteArray &data, QString &error)
{
    data.clear();
    data.resize(2);
    qToLittleEndian<quint16>(count, data.data());
    data += addressBytes(addrSize, address);
    return send(port, I2C24_READ, data, error);
}

bool TDev24Exec::i2c24WriteByAlg(quint8 alg, TSerialPort *port, quint8 addrSize,
                                 qint64 address, const QByteArray &data, QString &error)
{
    return alg == 0 && i2c24Write(port, addrSize, address, data, error);
}

bool TDev24Exec::i2c24ReadByAlg(quint8 alg, TSerialPort *port, quint8 addrSize, qint64 address,
                                quint16 count, QByteArray &data, QString &error)
{
    return alg == 0 && i2c24Read(port, addrSize, address, count, data, error);
}

// ---- Dispatch ---------------------------------------------------------------

bool TDev24Exec::execute(TSerialPort *port, bool *, int *, int *)
{
    using Op = bool (TDev24Exec::*)(TSerialPort *);
    static const QVector<QPair<const char *, Op>> ops = {
        {CMD_SET_ADDR, &TDev24Exec::execSetAddr},
        {CMD_SET_CLK, &TDev24Exec::execSetClk},
        {CMD_ERASE, &TDev24Exec::execErase},
        {CMD_TEST_EMPTY, &TDev24Exec::execTestEmpty},
        {CMD_CHAR_WRITE, &TDev24Exec::execCharWrite},
        {CMD_CHAR_VERIFY, &TDev24Exec::execCharVerify},
        {CMD_DATA_READ, &TDev24Exec::execDataRead},
        {CMD_DATA_WRITE, &TDev24Exec::execDataWrite},
        {CMD_DATA_VERIFY, &TDev24Exec::execDataVerify},
        {CMD_FILE_READ, &TDev24Exec::execFileRead},
        {CMD_FILE_WRITE, &TDev24Exec::execFileWrite},
        {CMD_FILE_VERIFY, &TDev24Exec::execFileVerify},
        {CMD_LEAVE, &TDev24Exec::execLeave},
    };
    const QString code = m_params.value(QLatin1String(REC_CMD)).toString();
    for (const auto &op : ops)
        if (code == QLatin1String(op.first))
            return checkPort(port) && (this->*op.second)(port);
    return failNotCarriedOut(code);
}

// ---- Look-up and checks -----------------------------------------------------

bool TDev24Exec::lookUp(Chip &chip, bool withProg)
{
    const TDataCmd *cmd = dataPrj.cmdById(m_params.value(QLatin1String(REC_ID_CMD)).toInt());
    IDevice *device = cmd ? cmd->device() : nullptr;
    TProg *prog = cmd ? cmd->prog() : nullptr;
    if (!device || (withProg && !prog))
        return failNoDevice();
    const TData dev = device->params();
    chip.addrSize = quint8(dev.value(QLatin1String(DEV_ADDR_SIZE)).toUInt());
    chip.pageSize = quint16(dev.value(QLatin1String(DEV_PAGE_SIZE)).toUInt());
    chip.algRead = quint8(dev.value(QLatin1String(DEV_ALG_READ)).toUInt());
    chip.algWrite = quint8(dev.value(QLatin1String(DEV_ALG_WRITE)).toUInt());
    chip.begin = dev.value(QLatin1String(DEV_ADDR_BEGIN)).toLongLong();
    chip.size = dev.value(QLatin1String(DEV_SIZE)).toLongLong();
    chip.maxData = prog ? prog->maxData() : 0;
    return true;
}

bool TDev24Exec::checkTransfer(const Chip &chip, qint64 first, qint64 last, bool writing)
{
    const qint64 limit = addressLimit(chip.addrSize);
    if (limit == 0) {
        setErrorText(lang.text(MSG_ADDR_SIZE).arg(chip.addrSize));
        return false;
    }
    if (!(writing ? writeRule(chip) : readRule(chip)).valid()) {
        setErrorText(lang.text(MSG_BLOCK_ZERO));
        return false;
    }
    // Bits above the word address travel in bits 3-1 of the control byte;
    // one more would change the device-type code and reach another chip.
    if (first <= last && last >= limit) {
        setErrorText(lang.text(MSG_ADDR_RANGE).arg(hexText64(last), hexText64(limit - 1)));
        return false;
    }
    return true;
}

qint64 TDev24Exec::wordSpan(quint8 addrSize)
{
    return addrSize == 1 || addrSize == 2 ? qint64(1) << (8 * addrSize) : 0;
}

TChunkRule TDev24Exec::readRule(const Chip &chip)
{
    // The address bits above the word address ride in the control byte: a
    // chip may wrap its address counter at the end of the span the word
    // address reaches, as the chips with a block-select bit do.
    return TChunkRule(chip.maxData).within(wordSpan(chip.addrSize));
}

TChunkRule TDev24Exec::writeRule(const Chip &chip)
{
    // A write wraps onto the start of its page.
    return TChunkRule(chip.maxData)
        .within(chip.pageSize)
        .within(wordSpan(chip.addrSize))
        .atMost(TProtocol::MAX_PAYLOAD - 1 - chip.addrSize);
}

// ---- Transfer loops ---------------------------------------------------------

bool TDev24Exec::readChunk(TSerialPort *port, const Chip &chip, qint64 address, qint64 count,
                           QByteArray &data)
{
    if (chip.algRead != 0)
        return failVariant(QLatin1String(DEV_ALG_READ), chip.algRead);
    QString error = errorText();
    if (!i2c24ReadByAlg(chip.algRead, port, chip.addrSize, address, quint16(count), data, error)) {
        setErrorText(error);
        return false;
    }
    return data.size() == count || failShortReply(data.size(), count);
}

bool TDev24Exec::writeChunk(TSerialPort *port, const Chip &chip, qint64 address,
                            const QByteArray &data)
{
    if (chip.algWrite != 0)
        return failVariant(QLatin1String(DEV_ALG_WRITE), chip.algWrite);
    QString error = errorText();
    if (!i2c24WriteByAlg(chip.algWrite, port, chip.addrSize, address, data, error)) {
        setErrorText(error);
        return false;
    }
    return true;
}

bool TDev24Exec::writePiece(TSerialPort *port, const Chip &chip, qint64 address, const QByteArray &data)
{
    return walkRange(writeRule(chip), address, address + data.size() - 1, [&](qint64 a, qint64 n) {
               return writeChunk(port, chip, a, data.mid(int(a - address), int(n)));
           }) == TWalkEnd::Done;
}

bool TDev24Exec::readRange(TSerialPort *port, const Chip &chip, qint64 first, qint64 last,
                           const ReadSink &sink, const TProgressStep &step, bool *stopped)
{
    QByteArray data;
    const TWalkEnd end = walkRange(
        readRule(chip), first, last,
        [&](qint64 a, qint64 n) { return readChunk(port, chip, a, n, data) && sink(a, data); }, step);
    if (stopped)
        *stopped = end == TWalkEnd::Stopped;
    return end != TWalkEnd::Failed;
}

bool TDev24Exec::writeRange(TSerialPort *port, const Chip &chip, qint64 first, qint64 last,
                            const WriteSource &source)
{
    return walkRange(
               writeRule(chip), first, last,
               [&](qint64 a, qint64 n) { return writeChunk(port, chip, a, source(a, n)); },
               progressStep(first, last))
           != TWalkEnd::Failed;
}

TProgressStep TDev24Exec::progressStep(qint64 first, qint64 last)
{
    m_counter = 0;
    m_lastPercent = 0;
    return [this, first, total = last - first + 1](qint64 next) {
        return progress(m_counter, m_lastPercent, next - first, total);
    };
}

bool TDev24Exec::compare(qint64 address, const QByteArray &read, const QByteArray &expected)
{
    for (int i = 0; i < read.size(); ++i) {
        if (read.at(i) != expected.at(i)) {
            setErrorText(verifyMismatchText(address + i, quint8(expected.at(i)), quint8(read.at(i))));
            return false;
        }
    }
    return true;
}

bool TDev24Exec::fileDone(TWalkEnd end, const QString &error)
{
    if (end == TWalkEnd::Failed && !error.isEmpty())
        setErrorText(error);
    return end != TWalkEnd::Failed;
}

// ---- Commands ---------------------------------------------------------------

bool TDev24Exec::execSetAddr(TSerialPort *port)
{
    const TDataCmd *cmd = dataPrj.cmdById(m_params.value(QLatin1String(REC_ID_CMD)).toInt());
    IDevice *device = cmd ? cmd->device() : nullptr;
    if (!device)
        return failNoDevice();
    const uint mask = device->params().value(QLatin1String(DEV_ADDR_MASK)).toUInt();
    const uint addr = m_params.value(QLatin1String(SET_ADDR_ADDR)).toUInt();
    QString error;
    if (!i2c24SetAddr(port, quint8(((mask & addr) & 0x7F) << 1), error)) {
        setErrorText(error);
        return false;
    }
    return true;
}

bool TDev24Exec::execSetClk(TSerialPort *port)
{
    QString error;
    if (!i2c24SetClk(port, getClkCmdParams(m_params), error)) {
        setErrorText(error);
        return false;
    }
    return true;
}

bool TDev24Exec::execLeave(TSerialPort *port)
{
    const int id = m_params.value(QLatin1String(REC_ID_CMD)).toInt();
    QString error;
    if (!i2c24Leave(port, pinStateBytes(id, false), error)) {
        setErrorText(error);
        return false;
    }
    return true;
}

bool TDev24Exec::execErase(TSerialPort *port)
{
    Chip chip;
    if (!lookUp(chip, true))
        return false;
    const qint64 last = chip.begin + chip.size - 1;
    return checkTransfer(chip, chip.begin, last, true)
        && writeRange(port, chip, chip.begin, last,
                      [](qint64, qint64 len) { return QByteArray(int(len), BLANK); });
}

bool TDev24Exec::execTestEmpty(TSerialPort *port)
{
    Chip chip;
    if (!lookUp(chip, true))
        return false;
    const qint64 last = chip.begin + chip.size - 1;
    return checkTransfer(chip, chip.begin, last, false)
        && readRange(
               port, chip, chip.begin, last,
               [this](qint64 a, const QByteArray &d) { return compare(a, d, QByteArray(d.size(), BLANK)); },
               progressStep(chip.begin, last));
}

bool TDev24Exec::execCharWrite(TSerialPort *port)
{
    Chip chip;
    int id = 0;
    qint64 first = 0, last = -1;
    quint8 fill = 0;
    getCharCmdParams(m_params, id, first, last, fill);
    if (!lookUp(chip, true))
        return false;
    return checkTransfer(chip, first, last, true)
        && writeRange(port, chip, first, last,
                      [fill](qint64, qint64 len) { return QByteArray(int(len), char(fill)); });
}

bool TDev24Exec::execCharVerify(TSerialPort *port)
{
    Chip chip;
    int id = 0;
    qint64 first = 0, last = -1;
    quint8 fill = 0;
    getCharCmdParams(m_params, id, first, last, fill);
    if (!lookUp(chip, true))
        return false;
    return checkTransfer(chip, first, last, false)
        && readRange(
               port, chip, first, last,
               [this, fill](qint64 a, const QByteArray &d) { return compare(a, d, QByteArray(d.size(), char(fill))); },
               progressStep(first, last));
}

bool TDev24Exec::execDataRead(TSerialPort *port)
{
    Chip chip;
    int id = 0;
    qint64 first = 0, last = -1;
    QByteArray bytes;
    QString text;
    if (!getDataCmdParams(m_params, id, first, last, bytes, text))
        return refuseHexText(QLatin1String(DATA_DATA), text);
    if (!lookUp(chip, true) || !checkTransfer(chip, first, last, false))
        return false;
    QByteArray result;
    const bool ok = readRange(
        port, chip, first, last,
        [&result](qint64, const QByteArray &d) {
            result += d;
            return true;
        },
        progressStep(first, last));
    if (!ok)
        return false;
    TData record;
    record.insert(QLatin1String(REC_ID_CMD), id);
    record.insert(QLatin1String(DATA_DATA), bytesToHexStringLike(text, result));
    dataPrj.setCmdParam(id, record);
    return true;
}

bool TDev24Exec::execDataWrite(TSerialPort *port)
{
    Chip chip;
    int id = 0;
    qint64 first = 0, last = -1;
    QByteArray bytes;
    QString text;
    if (!getDataCmdParams(m_params, id, first, last, bytes, text))
        return refuseHexText(QLatin1String(DATA_DATA), text);
    if (!lookUp(chip, true))
        return false;
    return checkTransfer(chip, first, last, true)
        && writeRange(port, chip, first, last, [&bytes, first](qint64 a, qint64 len) {
               return bytes.mid(int(a - first), int(len));
           });
}

bool TDev24Exec::execDataVerify(TSerialPort *port)
{
    Chip chip;
    int id = 0;
    qint64 first = 0, last = -1;
    QByteArray bytes;
    QString text;
    if (!getDataCmdParams(m_params, id, first, last, bytes, text))
        return refuseHexText(QLatin1String(DATA_DATA), text);
    if (!lookUp(chip, true))
        return false;
    return checkTransfer(chip, first, last, false)
        && readRange(
               port, chip, first, last,
               [this, &bytes, first](qint64 a, const QByteArray &d) {
                   return compare(a, d, bytes.mid(int(a - first), d.size()));
               },
               progressStep(first, last));
}

bool TDev24Exec::execFileRead(TSerialPort *port)
{
    Chip chip;
    int id = 0;
    qint64 addrFile = 0, first = 0, last = -1;
    QString file, format;
    getFileCmdParams(m_params, id, addrFile, first, last, file, format);
    if (!lookUp(chip, true) || !checkTransfer(chip, first, last, false))
        return false;
    TFormat out(format, file, addrFile, first, last, readRule(chip).block());
    if (!out.open(1)) {
        setErrorText(out.errorString());
        return false;
    }
    qint64 fileAddress = addrFile;
    bool stopped = false;
    const bool ok = readRange(
        port, chip, first, last,
        [&](qint64, const QByteArray &d) {
            if (!out.write(fileAddress, d)) {
                setErrorText(out.errorString());
                return false;
            }
            fileAddress += d.size();
            return true;
        },
        progressStep(first, last), &stopped);
    // A read that failed or was stopped leaves the earlier file as it was:
    // the format commits its temporary file only on close.
    if (!ok)
        return false;
    if (stopped)
        return true;
    return closeFile(out);
}

bool TDev24Exec::execFileWrite(TSerialPort *port)
{
    Chip chip;
    int id = 0;
    qint64 addrFile = 0, first = 0, last = -1;
    QString file, format;
    getFileCmdParams(m_params, id, addrFile, first, last, file, format);
    if (!lookUp(chip, true) || !checkTransfer(chip, first, last, true))
        return false;
    TFormat in(format, file, addrFile, first, last, writeRule(chip).block());
    if (!in.open(0)) {
        setErrorText(in.errorString());
        return false;
    }
    QString error;
    const TWalkEnd end = walkFile(
        in, first, [&](qint64 a, const QByteArray &piece) { return writePiece(port, chip, a, piece); },
        progressStep(first, last), error);
    return fileDone(end, error) && closeFile(in);
}

bool TDev24Exec::execFileVerify(TSerialPort *port)
{
    Chip chip;
    int id = 0;
    qint64 addrFile = 0, first = 0, last = -1;
    QString file, format;
    getFileCmdParams(m_params, id, addrFile, first, last, file, format);
    if (!lookUp(chip, true) || !checkTransfer(chip, first, last, false))
        return false;
    TFormat in(format, file, addrFile, first, last, readRule(chip).block());
    if (!in.open(0)) {
        setErrorText(in.errorString());
        return false;
    }
    QString error;
    const TWalkEnd end = walkFile(
        in, first,
        [&](qint64 a, const QByteArray &piece) {
            return readRange(port, chip, a, a + piece.size() - 1, [&](qint64 at, const QByteArray &d) {
                return compare(at, d, piece.mid(int(at - a), d.size()));
            });
        },
        progressStep(first, last), error);
    return fileDone(end, error) && closeFile(in);
}
