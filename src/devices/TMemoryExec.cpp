#include "devices/TMemoryExec.h"

#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "devices/check_messages.h"
#include "devices/exec_messages.h"
#include "devices/param_schema.h"
#include "formats/TFormat.h"
#include "link/TProg.h"
#include "misc/dev_misc.h"

namespace {

const QString SOURCE = QStringLiteral("devices\\TMemoryExec");

#define PARAM(data, key) getParam(SOURCE, __LINE__, data, QLatin1String(key))

constexpr char BLANK = char(0xFF);

// The standard range of a memory: its begin and size keys.
struct Bounds
{
    const char *begin;
    const char *size;
};

} // namespace

TMemoryExec::TMemoryExec(const TData &params, Progress progress, QObject *parent)
    : IDeviceExec(params, parent), m_scale(progress), m_lastPercent(progress == Progress::ShareFromZero ? -1 : 0)
{
}

TMemoryExec::~TMemoryExec() = default;

// ---- Dispatch -------------------------------------------------------------------

const TMemoryExec::MemoryCmd *TMemoryExec::memoryCmd(const QString &code)
{
    static const MemoryCmd memory[] = {
        {CMD_TEST_EMPTY, TestEmpty, Main},
        {CMD_CHAR_WRITE, CharWrite, Main},
        {CMD_CHAR_VERIFY, CharVerify, Main},
        {CMD_DATA_READ, DataRead, Main},
        {CMD_DATA_WRITE, DataWrite, Main},
        {CMD_DATA_VERIFY, DataVerify, Main},
        {CMD_FILE_READ, FileRead, Main},
        {CMD_FILE_WRITE, FileWrite, Main},
        {CMD_FILE_VERIFY, FileVerify, Main},
        {CMD_TEST_EMPTY_FLASH, TestEmpty, Flash},
        {CMD_FLASH_CHAR_WRITE, CharWrite, Flash},
        {CMD_FLASH_CHAR_VERIFY, CharVerify, Flash},
        {CMD_FLASH_DATA_READ, DataRead, Flash},
        {CMD_FLASH_DATA_WRITE, DataWrite, Flash},
        {CMD_FLASH_DATA_VERIFY, DataVerify, Flash},
        {CMD_FLASH_FILE_READ, FileRead, Flash},
        {CMD_FLASH_FILE_WRITE, FileWrite, Flash},
        {CMD_FLASH_FILE_VERIFY, FileVerify, Flash},
        {CMD_TEST_EMPTY_EEPROM, TestEmpty, Eeprom},
        {CMD_EEPROM_CHAR_WRITE, CharWrite, Eeprom},
        {CMD_EEPROM_CHAR_VERIFY, CharVerify, Eeprom},
        {CMD_EEPROM_DATA_READ, DataRead, Eeprom},
        {CMD_EEPROM_DATA_WRITE, DataWrite, Eeprom},
        {CMD_EEPROM_DATA_VERIFY, DataVerify, Eeprom},
        {CMD_EEPROM_FILE_READ, FileRead, Eeprom},
        {CMD_EEPROM_FILE_WRITE, FileWrite, Eeprom},
        {CMD_EEPROM_FILE_VERIFY, FileVerify, Eeprom},
        {CMD_SEC_REG_READ, FileRead, Security},
        {CMD_SEC_REG_WRITE, FileWrite, Security},
        {CMD_SEC_REG_VERIFY, FileVerify, Security},
        {CMD_SFDP_REG_READ, FileRead, Sfdp},
    };
    for (const MemoryCmd &m : memory)
        if (code == QLatin1String(m.code))
            return &m;
    return nullptr;
}

TMemoryExec::FileUse TMemoryExec::fileUseOf(const QString &code)
{
    const MemoryCmd *m = memoryCmd(code);
    if (!m || m->op < FileRead)
        return FileUse::None;
    return m->op == FileRead ? FileUse::Makes : FileUse::Reads;
}

bool TMemoryExec::runCommand(TSerialPort *port, std::initializer_list<Command> own)
{
    const QString code = PARAM(m_params, REC_CMD).toString();
    if (const MemoryCmd *m = memoryCmd(code); m && hasArea(m->area)) {
        if (!checkPort(port))
            return false;
        if (m->op == TestEmpty)
            return execTestEmpty(port, m->area);
        if (m->op == CharWrite || m->op == CharVerify)
            return execChar(port, m->area, m->op == CharWrite);
        return m->op >= FileRead ? execFile(port, m->area, m->op) : execData(port, m->area, m->op);
    }
    for (const Command &c : own)
        if (code == QLatin1String(c.first))
            return checkPort(port) && c.second();
    return failNotCarriedOut(code);
}

// ---- What the family uses ------------------------------------------------------------

bool TMemoryExec::lookUp(bool withProg)
{
    m_cmd = dataPrj.cmdById(PARAM(m_params, REC_ID_CMD).toInt());
    m_device = m_cmd ? m_cmd->device() : nullptr;
    m_prog = m_cmd ? m_cmd->prog() : nullptr;
    if (!m_device || (withProg && !m_prog))
        return failNoDevice();
    m_dev = m_device->params();
    return true;
}

QVariant TMemoryExec::devParam(const char *key) const
{
    return PARAM(m_dev, key);
}

quint16 TMemoryExec::maxData() const
{
    return m_prog ? m_prog->maxData() : 0;
}

bool TMemoryExec::checkRule(const TChunkRule &rule)
{
    if (rule.valid())
        return true;
    setErrorText(lang.text(execmsg::BLOCK_ZERO));
    return false;
}

bool TMemoryExec::sent(bool ok, const QString &error)
{
    if (!ok)
        setErrorText(error);
    return ok;
}

void TMemoryExec::storeData(const QString &text)
{
    const int id = PARAM(m_params, REC_ID_CMD).toInt();
    dataPrj.setCmdResult(id, DATA_DATA, text);
    setStoredRead();
}

TProgressStep TMemoryExec::progressOver(qint64 first, qint64 last)
{
    if (m_scale == Progress::Address)
        return [this, last](qint64 next) { return stepProgress(next, last); };
    return [this, first, total = last - first + 1](qint64 next) { return stepProgress(next - first, total); };
}

bool TMemoryExec::stepProgress(qint64 done, qint64 total)
{
    return progress(m_counter, m_lastPercent, done, total);
}

// ---- Walks ---------------------------------------------------------------------------

bool TMemoryExec::readExactly(TSerialPort *port, Area area, qint64 address, qint64 count, QByteArray &bytes)
{
    return readChunk(port, area, address, count, bytes)
           && (bytes.size() == count || failShortReply(bytes.size(), count));
}

bool TMemoryExec::compare(qint64 address, const QByteArray &expected, const QByteArray &read)
{
    for (int i = 0; i < expected.size(); ++i) {
        if (expected.at(i) != read.at(i)) {
            setErrorText(verifyMismatchText(address + i, quint8(expected.at(i)), quint8(read.at(i))));
            return false;
        }
    }
    return true;
}

TWalkEnd TMemoryExec::writeRange(TSerialPort *port, Area area, const TChunkRule &rule, qint64 first,
                                 qint64 last, const Bytes &bytes, const TProgressStep &step)
{
    // Every chunk the programmer confirms is part of the chip's new contents.
    return walkRange(
        rule, first, last,
        [&](qint64 a, qint64 n) {
            changeRequest(a, a + n - 1);
            if (!writeChunk(port, area, a, bytes(a, n)))
                return false;
            changeConfirmed();
            return true;
        },
        step);
}

TWalkEnd TMemoryExec::verifyRange(TSerialPort *port, Area area, const TChunkRule &rule, qint64 first,
                                  qint64 last, const Bytes &expected, const TProgressStep &step)
{
    QByteArray read;
    return walkRange(
        rule, first, last,
        [&](qint64 a, qint64 n) { return readExactly(port, area, a, n, read) && compare(a, expected(a, n), read); },
        step);
}

TWalkEnd TMemoryExec::readRange(TSerialPort *port, Area area, const TChunkRule &rule, qint64 first,
                                qint64 last, const Sink &sink, const TProgressStep &step)
{
    QByteArray read;
    return walkRange(
        rule, first, last, [&](qint64 a, qint64 n) { return readExactly(port, area, a, n, read) && sink(a, read); },
        step);
}

bool TMemoryExec::fillRange(TSerialPort *port, Area area, qint64 first, qint64 last, quint8 fill, bool write)
{
    if (last < first)
        return failEmptyRange(first);
    TChunkRule rule;
    if (!prepareArea(area, write, first, last, rule) || !checkRule(rule))
        return false;
    const Bytes bytes = [fill](qint64, qint64 n) { return QByteArray(int(n), char(fill)); };
    const TProgressStep step = progressOver(first, last);
    if (!write)
        return verifyRange(port, area, rule, first, last, bytes, step) != TWalkEnd::Failed;
    return changeRange(first, last, [&] { return writeRange(port, area, rule, first, last, bytes, step); });
}

bool TMemoryExec::changeRange(qint64 first, qint64 last, const std::function<TWalkEnd()> &write)
{
    beginChange(ChangeUnit::Addresses, first, last);
    const TWalkEnd end = write();
    if (end == TWalkEnd::Done)
        endChange();
    return end != TWalkEnd::Failed;
}

bool TMemoryExec::testEmpty(TSerialPort *port, Area area, qint64 first, qint64 last)
{
    return fillRange(port, area, first, last, quint8(BLANK), false);
}

// ---- Refusals and the log ------------------------------------------------------------------

bool TMemoryExec::failEmptyRange(qint64 first)
{
    setErrorText(lang.text(execmsg::RANGE_EMPTY).arg(hexText64(first)));
    return false;
}

QString TMemoryExec::emptyFileRangeText(const QString &file, qint64 first)
{
    return lang.text(execmsg::FILE_RANGE_EMPTY).arg(file, hexText64(first));
}

QString TMemoryExec::emptyRangeText(const TData &params, QString &key)
{
    const QString code = schema::cmdCode(params);
    int id = 0;
    qint64 first = 0, last = 0;
    if (schema::hasKey(code, QLatin1String(BLOCKS_BEGIN))) {
        key = QLatin1String(BLOCKS_COUNT);
        first = schema::integer(params, BLOCKS_BEGIN) * schema::integer(params, BLOCKS_SIZE);
        last = schema::integer(params, BLOCKS_COUNT) > 0 ? first : first - 1;
    } else if (schema::hasKey(code, QLatin1String(CHAR_FILL_CHAR))) {
        key = QLatin1String(CHAR_COUNT);
        quint8 fill = 0;
        getCharCmdParams(params, id, first, last, fill);
    } else if (schema::hasKey(code, QLatin1String(FILE_ADDR_FILE))) {
        key = QLatin1String(FILE_COUNT);
        qint64 addrFile = 0;
        QString file, format;
        getFileCmdParams(params, id, addrFile, first, last, file, format);
        if (last < first)
            return emptyFileRangeText(file, first);
    } else if (schema::hasKey(code, QLatin1String(DATA_ADDR_DEVICE))) {
        key = QLatin1String(DATA_DATA);
        QByteArray bytes;
        QString text;
        if (!getDataCmdParams(params, id, first, last, bytes, text))
            return QString();
    } else {
        return QString();
    }
    return last < first ? lang.text(execmsg::RANGE_EMPTY).arg(hexText64(first)) : QString();
}

bool TMemoryExec::openFileData(TFormat &format, bool check, const QString &file, qint64 first, qint64 last,
                               QString &error)
{
    if (!(check ? format.check() : format.open(0))) {
        error = format.errorString();
        return false;
    }
    if (format.windowHasData())
        return true;
    format.close();
    error = fileNoDataText(file, first, last);
    return false;
}

QString TMemoryExec::fileDataProblem(const TData &params)
{
    int id = 0;
    qint64 addrFile = 0, first = 0, last = 0;
    QString file, format;
    getFileCmdParams(params, id, addrFile, first, last, file, format);
    if (last < first)
        return QString();
    // The block does not matter to the check: nothing is read in blocks.
    TFormat data(format, file, addrFile, first, last, 1);
    QString error;
    return openFileData(data, true, file, first, last, error) ? QString() : error;
}

TMemoryExec::Transfer TMemoryExec::memoryOf(const TData &dev, Area area, bool write)
{
    static const Bounds bounds[] = {{DEV_ADDR_BEGIN, DEV_SIZE},
                                    {DEV_FLASH_ADDR_BEGIN, DEV_FLASH_SIZE},
                                    {DEV_EEPROM_ADDR_BEGIN, DEV_EEPROM_SIZE}};
    Transfer t;
    t.area = area;
    t.write = write;
    t.whole = true;
    if (area > Eeprom)
        return t;
    t.beginKey = bounds[area].begin;
    t.sizeKey = bounds[area].size;
    t.first = PARAM(dev, t.beginKey).toLongLong();
    t.last = t.first + PARAM(dev, t.sizeKey).toLongLong() - 1;
    return t;
}

bool TMemoryExec::transferOf(const TData &params, const TData &dev, Transfer &transfer)
{
    const MemoryCmd *m = memoryCmd(schema::cmdCode(params));
    if (!m)
        return false;
    const bool write = m->op == CharWrite || m->op == DataWrite || m->op == FileWrite;
    transfer = memoryOf(dev, m->area, write);
    if (m->op == TestEmpty)
        return true;
    transfer.whole = false;
    int id = 0;
    if (m->op == CharWrite || m->op == CharVerify) {
        quint8 fill = 0;
        getCharCmdParams(params, id, transfer.first, transfer.last, fill);
    } else if (m->op >= FileRead) {
        qint64 addrFile = 0;
        QString file, format;
        getFileCmdParams(params, id, addrFile, transfer.first, transfer.last, file, format);
    } else {
        QByteArray bytes;
        QString text;
        if (!getDataCmdParams(params, id, transfer.first, transfer.last, bytes, text))
            return false;
    }
    return true;
}

TCheck TMemoryExec::describedRange(const TData &dev, const Transfer &t)
{
    if (!t.beginKey)
        return TCheck::valid();
    const qint64 begin = PARAM(dev, t.beginKey).toLongLong();
    if (begin < 0 && (t.whole || t.first <= t.last))
        return TCheck::refused(QLatin1String(t.beginKey), lang.text(checkmsg::NEGATIVE).arg(begin));
    if (t.whole && t.last < t.first)
        return TCheck::refused(QLatin1String(t.sizeKey),
                               lang.text(checkmsg::NO_MEMORY, PARAM(dev, t.sizeKey).toLongLong()));
    return TCheck::valid();
}

QString TMemoryExec::fileNoDataText(const QString &file, qint64 first, qint64 last)
{
    return lang.text(execmsg::FILE_NO_DATA).arg(file, hexText64(first), hexText64(last));
}

void TMemoryExec::logNotStored(const QString &file)
{
    emit signalEventText(EXEC_TEXT_NEXT, file.isEmpty() ? lang.text(execmsg::READ_NOT_STORED)
                                                        : lang.text(execmsg::READ_FILE_KEPT).arg(file));
}

// ---- The commands --------------------------------------------------------------------------

bool TMemoryExec::execTestEmpty(TSerialPort *port, Area area)
{
    if (!lookUp(true))
        return false;
    const Transfer memory = memoryOf(m_dev, area, false);
    return testEmpty(port, area, memory.first, memory.last);
}

bool TMemoryExec::execChar(TSerialPort *port, Area area, bool write)
{
    int id = 0;
    qint64 first = 0, last = 0;
    quint8 fill = 0;
    getCharCmdParams(m_params, id, first, last, fill);
    return lookUp(true) && fillRange(port, area, first, last, fill, write);
}

bool TMemoryExec::execData(TSerialPort *port, Area area, Op op)
{
    int id = 0;
    qint64 first = 0, last = 0;
    QByteArray data;
    QString text;
    if (!getDataCmdParams(m_params, id, first, last, data, text))
        return refuseHexText(QLatin1String(DATA_DATA), text);
    if (last < first)
        return failEmptyRange(first);
    TChunkRule rule;
    if (!lookUp(true) || !prepareArea(area, op == DataWrite, first, last, rule) || !checkRule(rule))
        return false;
    const TProgressStep step = progressOver(first, last);
    const Bytes bytes = [&data, first](qint64 a, qint64 n) { return data.mid(int(a - first), int(n)); };
    if (op == DataWrite)
        return changeRange(first, last, [&] { return writeRange(port, area, rule, first, last, bytes, step); });
    if (op == DataVerify)
        return verifyRange(port, area, rule, first, last, bytes, step) != TWalkEnd::Failed;
    // A read is stored whole or not at all.
    QByteArray result;
    const TWalkEnd end = readRange(
        port, area, rule, first, last,
        [&result](qint64, const QByteArray &chunk) {
            result += chunk;
            return true;
        },
        step);
    if (end != TWalkEnd::Done) {
        logNotStored();
        return end == TWalkEnd::Stopped;
    }
    storeData(bytesToHexStringLike(text, result));
    return true;
}

bool TMemoryExec::execFile(TSerialPort *port, Area area, Op op)
{
    int id = 0;
    qint64 addrFile = 0, first = 0, last = 0;
    QString file, format;
    getFileCmdParams(m_params, id, addrFile, first, last, file, format);
    TChunkRule rule;
    if ((last < first && !sent(false, emptyFileRangeText(file, first))) || !lookUp(true)
        || !prepareArea(area, op == FileWrite, first, last, rule) || !checkRule(rule))
        return false;
    TFormat data(format, file, addrFile, first, last, rule.block());
    QString error;
    if (op == FileRead ? !data.open(1) : !openFileData(data, false, file, first, last, error))
        return sent(false, op == FileRead ? data.errorString() : error);
    const TProgressStep step = progressOver(first, last);
    if (op == FileRead) {
        const TWalkEnd end = readRange(
            port, area, rule, first, last,
            [&](qint64 a, const QByteArray &chunk) {
                return data.write(addrFile + (a - first), chunk) || sent(false, data.errorString());
            },
            step);
        // A read that failed or was stopped leaves the earlier file as it
        // was: the format puts its new file in place only on close.
        if (end != TWalkEnd::Done) {
            logNotStored(file);
            return end == TWalkEnd::Stopped;
        }
        if (!closeFile(data))
            return false;
        logMoved(execmsg::FILE_READ_INTO, last - first + 1, last, last);
        return true;
    }
    // Each piece of the file is moved in the rule's chunks. Its open found
    // data for the range; one that has none by the first piece (changed
    // since) reaches no chip either.
    qint64 moved = 0, dataEnd = first - 1;
    if (op == FileWrite)
        beginChange(ChangeUnit::Addresses, first, last);
    const TWalkEnd end = walkFile(
        data, first,
        [&](qint64 a, const QByteArray &piece) {
            const Bytes bytes = [&piece, a](qint64 at, qint64 n) { return piece.mid(int(at - a), int(n)); };
            const qint64 z = a + piece.size() - 1;
            if ((op == FileWrite ? writeRange(port, area, rule, a, z, bytes)
                                 : verifyRange(port, area, rule, a, z, bytes))
                != TWalkEnd::Done)
                return false;
            moved += piece.size();
            dataEnd = qMax(dataEnd, z);
            return true;
        },
        step, error);
    if (end == TWalkEnd::Failed) {
        if (!error.isEmpty())
            setErrorText(error);
        return false;
    }
    if (moved == 0) {
        endChange();
        return sent(false, fileNoDataText(file, first, last));
    }
    // Every byte moved is the file as its open found it. The close reads
    // the file once more: one changed since fails the command, after the
    // log has said what was written or compared (of the file as opened).
    const bool closed = data.close();
    // A stop leaves the change open: the log says which parts are new.
    if (end == TWalkEnd::Done) {
        endChange();
        logMoved(op == FileWrite ? execmsg::FILE_WRITTEN : execmsg::FILE_COMPARED, moved, dataEnd, last);
    }
    return closed || sent(false, data.errorString());
}

void TMemoryExec::logMoved(int message, qint64 bytes, qint64 dataEnd, qint64 last)
{
    emit signalEventText(EXEC_RESULT, lang.text(message, bytes));
    if (dataEnd < last)
        emit signalEventText(EXEC_RESULT, lang.text(execmsg::FILE_ENDED_FIRST).arg(hexText64(dataEnd), hexText64(last)));
}
