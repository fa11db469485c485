#include "devices/TDev25Exec.h"

#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "devices/TDev25.h"
#include "devices/dev25_messages.h"
#include "devices/exec_messages.h"
#include "devices/dev_lists.h"
#include "devices/spi25.h"
#include "formats/TFormat.h"
#include "link/TProg.h"
#include "link/TProtocol.h"
#include "link/TSerialPort.h"
#include "misc/TNormCmdParam.h"
#include "misc/dev_misc.h"

using namespace spi25;

namespace {

const QString source = QStringLiteral("devices\\TDev25Exec");

#define PARAM(data, key) getParam(source, __LINE__, data, QLatin1String(key))

} // namespace

TDev25Exec::TDev25Exec(const TData &params, QObject *parent) : IDeviceExec(params, parent)
{
}

TDev25Exec::~TDev25Exec() = default;

bool TDev25Exec::execute(TSerialPort *port, bool *stopRun, int *cfgId, int *lastCmdId)
{
    Q_UNUSED(stopRun)
    Q_UNUSED(cfgId)
    Q_UNUSED(lastCmdId)
    typedef bool (TDev25Exec::*Operation)(TSerialPort *);
    static const struct
    {
        const char *code;
        Operation operation;
    } table[] = {
        {CMD_SET_CLK, &TDev25Exec::execSetClk},
        {CMD_IDENT, &TDev25Exec::execIdent},
        {CMD_ERASE, &TDev25Exec::execErase},
        {CMD_TEST_EMPTY, &TDev25Exec::execTestEmpty},
        {CMD_ERASE_BLOCKS, &TDev25Exec::execEraseBlocks},
        {CMD_TEST_EMPTY_BLOCKS, &TDev25Exec::execTestEmptyBlocks},
        {CMD_CHAR_WRITE, &TDev25Exec::execCharWrite},
        {CMD_CHAR_VERIFY, &TDev25Exec::execCharVerify},
        {CMD_DATA_READ, &TDev25Exec::execDataRead},
        {CMD_DATA_WRITE, &TDev25Exec::execDataWrite},
        {CMD_DATA_VERIFY, &TDev25Exec::execDataVerify},
        {CMD_FILE_READ, &TDev25Exec::execFileRead},
        {CMD_FILE_WRITE, &TDev25Exec::execFileWrite},
        {CMD_FILE_VERIFY, &TDev25Exec::execFileVerify},
        {CMD_STATUS_REG_READ, &TDev25Exec::execStatusRegRead},
        {CMD_STATUS_REG_WRITE, &TDev25Exec::execStatusRegWrite},
        {CMD_STATUS_REG_VERIFY, &TDev25Exec::execStatusRegVerify},
        {CMD_SEC_REG_ERASE, &TDev25Exec::execSecRegErase},
        {CMD_SEC_REG_TEST_EMPTY, &TDev25Exec::execSecRegTestEmpty},
        {CMD_SEC_REG_READ, &TDev25Exec::execSecRegRead},
        {CMD_SEC_REG_WRITE, &TDev25Exec::execSecRegWrite},
        {CMD_SEC_REG_VERIFY, &TDev25Exec::execSecRegVerify},
        {CMD_UNIQUE_ID_READ, &TDev25Exec::execUniqueIdRead},
        {CMD_SFDP_REG_READ, &TDev25Exec::execSfdpRegRead},
        {CMD_LEAVE, &TDev25Exec::execLeave},
    };
    const QString code = PARAM(m_params, REC_CMD).toString();
    for (const auto &entry : table)
        if (code == QLatin1String(entry.code))
            return (this->*entry.operation)(port);
    return failNotCarriedOut(code);
}

// ---- Shared steps ------------------------------------------------------------

bool TDev25Exec::prepare(TSerialPort *port, bool withProg)
{
    if (!checkPort(port))
        return false;
    m_cmd = dataPrj.cmdById(PARAM(m_params, REC_ID_CMD).toInt());
    m_device = m_cmd ? m_cmd->device() : nullptr;
    m_prog = m_cmd ? m_cmd->prog() : nullptr;
    if (!m_device || (withProg && !m_prog))
        return failNoDevice();
    m_dev = m_device->params();
    return true;
}

QVariant TDev25Exec::devParam(const char *key) const
{
    return PARAM(m_dev, key);
}

int TDev25Exec::alg(const char *key) const
{
    return devParam(key).toInt();
}

bool TDev25Exec::offered(const char *key)
{
    const int variant = alg(key);
    return variant == 0 || failVariant(QLatin1String(key), variant);
}

bool TDev25Exec::checkBlock(qint64 block)
{
    if (block > 0)
        return true;
    setErrorText(lang.text(dev25msg::BLOCK_SIZE_ZERO));
    return false;
}

bool TDev25Exec::checkRange(Area area, qint64 first, qint64 last)
{
    if (last < first)
        return true;
    qint64 limit = ADDRESS_LIMIT;
    int message = dev25msg::RANGE_PAST_3_BYTES;
    if (area == AreaSecurity) {
        limit = securityRegCount() * SECURITY_REG_SIZE;
        message = dev25msg::SECURITY_OUTSIDE;
    } else if (area == AreaSfdp) {
        limit = SFDP_LIMIT;
        message = dev25msg::SFDP_PAST_LIMIT;
    }
    if (first >= 0 && last < limit)
        return true;
    setErrorText(lang.text(message).arg(hexText64(first), hexText64(last)));
    return false;
}

qint64 TDev25Exec::pageOf(Area area) const
{
    return area == AreaMain ? qint64(devParam(DEV_PAGE_SIZE).toUInt() & 0xFFFF) : SECURITY_REG_SIZE;
}

TChunkRule TDev25Exec::readRule(Area area) const
{
    TChunkRule rule(m_prog ? m_prog->maxData() : 0);
    if (area == AreaMain)
        rule.within(ADDRESS_LIMIT);       // 3 address bytes wrap at 16 Mbyte
    else if (area == AreaSecurity)
        rule.within(SECURITY_REG_SIZE);   // a read wraps inside its register
    else
        rule.within(SFDP_LIMIT);          // the SFDP address travels as A0 alone
    return rule;
}

TChunkRule TDev25Exec::writeRule(Area area) const
{
    // A program wraps inside its page (a security register is one page).
    // Its request carries the instruction and three address bytes.
    return readRule(area).within(pageOf(area)).atMost(TProtocol::MAX_PAYLOAD - 4);
}

bool TDev25Exec::checkRule(const TChunkRule &rule)
{
    return checkBlock(rule.block());
}

TProgressStep TDev25Exec::progressStep(qint64 first, qint64 last)
{
    return [this, first, total = last - first + 1](qint64 next) {
        return progress(m_counter, m_lastPercent, next - first, total);
    };
}

bool TDev25Exec::readChunk(TSerialPort *port, Area area, qint64 address, quint16 count, QByteArray &bytes)
{
    const char *key = area == AreaMain       ? DEV_ALG_FLASH_READ
                      : area == AreaSecurity ? DEV_ALG_SECURITY_REG_READ
                                             : DEV_ALG_FSDP_READ;
    if (!offered(key))
        return false;
    QString e = errorText();
    bool ok = false;
    if (area == AreaMain)
        ok = spi25ReadByAlg(alg(DEV_ALG_FLASH_READ), port, address, count, bytes, e);
    else if (area == AreaSecurity)
        ok = spi25ReadSecurityRegByAlg(alg(DEV_ALG_SECURITY_REG_READ), port, address, count, bytes, e);
    else
        ok = spi25ReadSfdpByAlg(alg(DEV_ALG_FSDP_READ), port, address, count, bytes, e);
    setErrorText(e);
    if (!ok)
        return false;
    return bytes.size() == count || failShortReply(bytes.size(), count);
}

bool TDev25Exec::programChunk(TSerialPort *port, Area area, qint64 address, const QByteArray &bytes)
{
    if (!offered(area == AreaMain ? DEV_ALG_FLASH_WRITE : DEV_ALG_SECURITY_REG_WRITE))
        return false;
    QString e = errorText();
    const bool ok = area == AreaMain
                        ? spi25PageProgramByAlg(alg(DEV_ALG_FLASH_WRITE), port, address, bytes, e)
                        : spi25ProgramSecurityRegByAlg(alg(DEV_ALG_SECURITY_REG_WRITE), port, address, bytes, e);
    setErrorText(e);
    return ok;
}

TWalkEnd TDev25Exec::readRange(TSerialPort *port, Area area, qint64 first, qint64 last, const Sink &sink,
                               const TProgressStep &step)
{
    return walkRange(
        readRule(area), first, last,
        [&](qint64 address, qint64 length) {
            QByteArray bytes;
            return readChunk(port, area, address, quint16(length), bytes) && sink(address, bytes);
        },
        step);
}

TWalkEnd TDev25Exec::programRange(TSerialPort *port, Area area, qint64 first, qint64 last,
                                  const Source &source, const TProgressStep &step)
{
    return walkRange(
        writeRule(area), first, last,
        [&](qint64 address, qint64 length) { return programChunk(port, area, address, source(address, length)); },
        step);
}

bool TDev25Exec::compareBytes(qint64 address, const QByteArray &expected, const QByteArray &read)
{
    for (int i = 0; i < expected.size(); ++i) {
        if (i >= read.size() || expected.at(i) != read.at(i)) {
            setErrorText(verifyMismatchText(address + i, quint8(expected.at(i)),
                                            i < read.size() ? quint8(read.at(i)) : 0));
            return false;
        }
    }
    return true;
}

bool TDev25Exec::compareRange(TSerialPort *port, Area area, qint64 first, qint64 last,
                              const std::function<quint8(qint64)> &expected)
{
    if (!checkRange(area, first, last) || !checkRule(readRule(area)))
        return false;
    const TWalkEnd end = readRange(
        port, area, first, last,
        [&](qint64 address, const QByteArray &bytes) {
            QByteArray want(bytes.size(), 0);
            for (int i = 0; i < want.size(); ++i)
                want[i] = char(expected(address + i));
            return compareBytes(address, want, bytes);
        },
        progressStep(first, last));
    return end != TWalkEnd::Failed;
}

bool TDev25Exec::testEmptyRange(TSerialPort *port, qint64 first, qint64 last)
{
    return compareRange(port, AreaMain, first, last, [](qint64) { return quint8(0xFF); });
}

void TDev25Exec::storeData(const QString &text)
{
    TData data;
    data.insert(QLatin1String(REC_ID_CMD), PARAM(m_params, REC_ID_CMD).toInt());
    data.insert(QLatin1String(REG_DATA), text);
    dataPrj.setCmdParam(PARAM(m_params, REC_ID_CMD).toInt(), data);
}

// ---- Commands without a loop ---------------------------------------------------

bool TDev25Exec::execSetClk(TSerialPort *port)
{
    if (!checkPort(port))
        return false;
    QString e = errorText();
    const bool ok = spi25SetClk(port, getClkCmdParams(m_params), e);
    setErrorText(e);
    return ok;
}

bool TDev25Exec::execLeave(TSerialPort *port)
{
    if (!checkPort(port))
        return false;
    QString e = errorText();
    const bool ok = spi25Leave(port, pinStateBytes(PARAM(m_params, REC_ID_CMD).toInt(), false), e);
    setErrorText(e);
    return ok;
}

bool TDev25Exec::execIdent(TSerialPort *port)
{
    // A signature that is not whole bytes would never match: say why at once.
    QByteArray signature;
    if (!prepare(port, false)
        || !wholeHexBytes(QLatin1String(DEV_SIGNATURE), devParam(DEV_SIGNATURE).toString(), signature))
        return false;
    if (!offered(DEV_ALG_IDENT))
        return false;
    QByteArray id;
    QString e = errorText();
    const bool ok = spi25ReadJedecIdByAlg(alg(DEV_ALG_IDENT), port, id, e);
    setErrorText(e);
    if (!ok)
        return false;
    if (id == signature)
        return true;
    const QString text = bytesToHexString(id);
    const QString name = findSignatureName(dirOfFile(devParam(DEV_DEV_FILE).toString()), text);
    setErrorText(QStringLiteral("   Device: %1\nSignature: %2").arg(name, text));
    return false;
}

bool TDev25Exec::ident(TSerialPort *port, QString &text)
{
    if (!prepare(port, false))
        return false;
    if (!offered(DEV_ALG_IDENT))
        return false;
    QByteArray id;
    QString e = errorText();
    const bool ok = spi25ReadJedecIdByAlg(alg(DEV_ALG_IDENT), port, id, e);
    setErrorText(e);
    if (ok)
        text = bytesToHexString(id);
    return ok;
}

// ---- Erase ---------------------------------------------------------------------

bool TDev25Exec::execErase(TSerialPort *port)
{
    if (!prepare(port, false))
        return false;
    TDev25::EraseEntry entry;
    if (!TDev25::parseEraseEntry(devParam(DEV_ERASE).toString(), entry)) {
        setErrorText(lang.text(execmsg::ERASE_ENTRY).arg(devParam(DEV_ERASE).toString()));
        return false;
    }
    if (!checkBlock(entry.size))
        return false;
    const qint64 count = devParam(DEV_SIZE).toLongLong() / entry.size;
    if (count <= 0)
        return true;
    if (!checkRange(AreaMain, 0, count * entry.size - 1) || !offered(DEV_ALG_ERASE))
        return false;
    for (qint64 i = 0; i < count; ++i) {
        QString e = errorText();
        const bool ok = spi25EraseByAlg(alg(DEV_ALG_ERASE), port, entry.instruction, i * entry.size, e);
        setErrorText(e);
        if (!ok)
            return false;
        if (progress(m_counter, m_lastPercent, i, count))
            break;
    }
    return true;
}

bool TDev25Exec::execEraseBlocks(TSerialPort *port)
{
    if (!prepare(port, false))
        return false;
    const qint64 size = PARAM(m_params, BLOCKS_SIZE).toLongLong();
    const qint64 begin = PARAM(m_params, BLOCKS_BEGIN).toLongLong();
    const qint64 count = PARAM(m_params, BLOCKS_COUNT).toLongLong();
    TDev25::EraseEntry entry;
    if (!TDev25::findEraseBlock(m_dev, size, entry)) {
        setErrorText(lang.text(dev25msg::NO_ERASE_FOR_SIZE).arg(size));
        return false;
    }
    if (!TDev25::blocksInside(m_dev, size, begin, count)) {
        setErrorText(lang.text(dev25msg::BLOCKS_OUTSIDE)
                         .arg(hexText64(begin * size), hexText64((begin + count) * size - 1)));
        return false;
    }
    if (!checkRange(AreaMain, begin * size, (begin + count) * size - 1)
        || (count > 0 && !offered(DEV_ALG_ERASE)))
        return false;
    for (qint64 i = 0; i < count; ++i) {
        QString e = errorText();
        const bool ok =
            spi25EraseByAlg(alg(DEV_ALG_ERASE), port, entry.instruction, (begin + i) * size, e);
        setErrorText(e);
        if (!ok)
            return false;
        if (progress(m_counter, m_lastPercent, i, count))
            break;
    }
    return true;
}

// ---- Empty tests and fill character ---------------------------------------------

bool TDev25Exec::execTestEmpty(TSerialPort *port)
{
    if (!prepare(port, true))
        return false;
    const qint64 first = devParam(DEV_ADDR_BEGIN).toLongLong();
    return testEmptyRange(port, first, first + devParam(DEV_SIZE).toLongLong() - 1);
}

bool TDev25Exec::execTestEmptyBlocks(TSerialPort *port)
{
    if (!prepare(port, true))
        return false;
    const qint64 size = PARAM(m_params, BLOCKS_SIZE).toLongLong();
    const qint64 begin = PARAM(m_params, BLOCKS_BEGIN).toLongLong();
    const qint64 count = PARAM(m_params, BLOCKS_COUNT).toLongLong();
    if (!TDev25::blocksInside(m_dev, size, begin, count)) {
        setErrorText(lang.text(dev25msg::BLOCKS_OUTSIDE)
                         .arg(hexText64(begin * size), hexText64((begin + count) * size - 1)));
        return false;
    }
    return testEmptyRange(port, begin * size, (begin + count) * size - 1);
}

bool TDev25Exec::execCharWrite(TSerialPort *port)
{
    if (!prepare(port, true))
        return false;
    int id = 0;
    qint64 first = 0, last = 0;
    quint8 fill = 0;
    getCharCmdParams(m_params, id, first, last, fill);
    if (!checkRange(AreaMain, first, last) || !checkRule(writeRule(AreaMain)))
        return false;
    return programRange(port, AreaMain, first, last,
                        [fill](qint64, qint64 length) { return QByteArray(int(length), char(fill)); },
                        progressStep(first, last))
           != TWalkEnd::Failed;
}

bool TDev25Exec::execCharVerify(TSerialPort *port)
{
    if (!prepare(port, true))
        return false;
    int id = 0;
    qint64 first = 0, last = 0;
    quint8 fill = 0;
    getCharCmdParams(m_params, id, first, last, fill);
    return compareRange(port, AreaMain, first, last, [fill](qint64) { return fill; });
}

// ---- Hex data ---------------------------------------------------------------------

bool TDev25Exec::execDataRead(TSerialPort *port)
{
    if (!prepare(port, true))
        return false;
    int id = 0;
    qint64 first = 0, last = 0;
    QByteArray bytes;
    QString text;
    if (!getDataCmdParams(m_params, id, first, last, bytes, text))
        return refuseHexText(QLatin1String(DATA_DATA), text);
    if (!checkRange(AreaMain, first, last) || !checkRule(readRule(AreaMain)))
        return false;
    QByteArray result;
    const TWalkEnd end = readRange(
        port, AreaMain, first, last,
        [&result](qint64, const QByteArray &chunk) {
            result.append(chunk);
            return true;
        },
        progressStep(first, last));
    if (end == TWalkEnd::Failed)
        return false;
    storeData(bytesToHexStringLike(text, result));
    return true;
}

bool TDev25Exec::execDataWrite(TSerialPort *port)
{
    if (!prepare(port, true))
        return false;
    int id = 0;
    qint64 first = 0, last = 0;
    QByteArray bytes;
    QString text;
    if (!getDataCmdParams(m_params, id, first, last, bytes, text))
        return refuseHexText(QLatin1String(DATA_DATA), text);
    if (!checkRange(AreaMain, first, last) || !checkRule(writeRule(AreaMain)))
        return false;
    return programRange(port, AreaMain, first, last,
                        [&](qint64 address, qint64 length) { return bytes.mid(int(address - first), int(length)); },
                        progressStep(first, last))
           != TWalkEnd::Failed;
}

bool TDev25Exec::execDataVerify(TSerialPort *port)
{
    if (!prepare(port, true))
        return false;
    int id = 0;
    qint64 first = 0, last = 0;
    QByteArray bytes;
    QString text;
    if (!getDataCmdParams(m_params, id, first, last, bytes, text))
        return refuseHexText(QLatin1String(DATA_DATA), text);
    return compareRange(port, AreaMain, first, last,
                        [&](qint64 address) { return quint8(bytes.at(int(address - first))); });
}

// ---- Files --------------------------------------------------------------------------

bool TDev25Exec::fileRead(TSerialPort *port, Area area)
{
    int id = 0;
    qint64 addrFile = 0, first = 0, last = 0;
    QString file, format;
    getFileCmdParams(m_params, id, addrFile, first, last, file, format);
    const TChunkRule rule = readRule(area);
    if (!checkRange(area, first, last) || !checkRule(rule))
        return false;
    TFormat data(format, file, addrFile, first, last, rule.block());
    if (!data.open(1)) {
        setErrorText(data.errorString());
        return false;
    }
    const TWalkEnd end = readRange(
        port, area, first, last,
        [&](qint64 address, const QByteArray &chunk) {
            if (data.write(addrFile + (address - first), chunk))
                return true;
            setErrorText(data.errorString());
            return false;
        },
        progressStep(first, last));
    // A stopped read leaves the earlier file as it was: the pass is
    // abandoned, not committed.
    if (end != TWalkEnd::Done)
        return end == TWalkEnd::Stopped;
    return closeFile(data);
}

bool TDev25Exec::fileWrite(TSerialPort *port, Area area)
{
    int id = 0;
    qint64 addrFile = 0, first = 0, last = 0;
    QString file, format;
    getFileCmdParams(m_params, id, addrFile, first, last, file, format);
    const TChunkRule rule = writeRule(area);
    if (!checkRange(area, first, last) || !checkRule(rule))
        return false;
    TFormat data(format, file, addrFile, first, last, rule.block());
    if (!data.open(0)) {
        setErrorText(data.errorString());
        return false;
    }
    QString error;
    const TWalkEnd end = walkFile(
        data, first,
        [&](qint64 address, const QByteArray &run) {
            return programRange(port, area, address, address + run.size() - 1,
                                [&](qint64 at, qint64 length) { return run.mid(int(at - address), int(length)); })
                   == TWalkEnd::Done;
        },
        progressStep(first, last), error);
    return fileEnd(end, error) && closeFile(data);
}

bool TDev25Exec::fileVerify(TSerialPort *port, Area area)
{
    int id = 0;
    qint64 addrFile = 0, first = 0, last = 0;
    QString file, format;
    getFileCmdParams(m_params, id, addrFile, first, last, file, format);
    const TChunkRule rule = readRule(area);
    if (!checkRange(area, first, last) || !checkRule(rule))
        return false;
    TFormat data(format, file, addrFile, first, last, rule.block());
    if (!data.open(0)) {
        setErrorText(data.errorString());
        return false;
    }
    QString error;
    const TWalkEnd end = walkFile(
        data, first,
        [&](qint64 address, const QByteArray &run) {
            return readRange(port, area, address, address + run.size() - 1,
                             [&](qint64 at, const QByteArray &chip) {
                                 return compareBytes(at, run.mid(int(at - address), chip.size()), chip);
                             })
                   == TWalkEnd::Done;
        },
        progressStep(first, last), error);
    return fileEnd(end, error) && closeFile(data);
}

bool TDev25Exec::fileEnd(TWalkEnd end, const QString &error)
{
    if (end == TWalkEnd::Failed && !error.isEmpty())
        setErrorText(error);
    return end != TWalkEnd::Failed;
}

bool TDev25Exec::execFileRead(TSerialPort *port)
{
    return prepare(port, true) && fileRead(port, AreaMain);
}

bool TDev25Exec::execFileWrite(TSerialPort *port)
{
    return prepare(port, true) && fileWrite(port, AreaMain);
}

bool TDev25Exec::execFileVerify(TSerialPort *port)
{
    return prepare(port, true) && fileVerify(port, AreaMain);
}

// ---- Status registers -----------------------------------------------------------

bool TDev25Exec::statusRegCount(int least, int &count)
{
    QByteArray image;
    if (!wholeHexBytes(QLatin1String(DEV_STATUS_REG_DEF), devParam(DEV_STATUS_REG_DEF).toString(), image))
        return false;
    count = image.size() & 0xFF;
    if (count >= least && count <= STATUS_REGISTERS)
        return true;
    setErrorText(lang.text(execmsg::STATUS_COUNT).arg(count));
    return false;
}

int TDev25Exec::securityRegCount() const
{
    return TDev25::securityRegCount(m_dev);
}

bool TDev25Exec::statusData(QByteArray &bytes)
{
    int n = 0;
    if (!statusRegCount(1, n)
        || !wholeHexBytes(QLatin1String(REG_DATA), PARAM(m_params, REG_DATA).toString(), bytes))
        return false;
    if (bytes.size() == n)
        return true;
    setErrorText(lang.text(execmsg::DATA_COUNT).arg(bytes.size()).arg(n));
    return false;
}

bool TDev25Exec::readStatus(TSerialPort *port, QByteArray &bytes)
{
    if (!offered(DEV_ALG_STATUS_REG_READ))
        return false;
    QString e;
    const bool ok = spi25ReadStatusByAlg(alg(DEV_ALG_STATUS_REG_READ), port, bytes, e);
    if (!ok && !e.isEmpty()) {
        setErrorText(e);
        return false;
    }
    // Without a text of the link the read stopped at a reply that was not
    // one byte: the registers read so far are all there is.
    return (ok && bytes.size() == STATUS_REGISTERS) || failShortReply(bytes.size(), STATUS_REGISTERS);
}

bool TDev25Exec::execStatusRegRead(TSerialPort *port)
{
    int n = 0;
    if (!prepare(port, false) || !statusRegCount(0, n))
        return false;
    QByteArray bytes;
    if (!readStatus(port, bytes))
        return false;
    storeData(bytesToHexString(bytes));
    return true;
}

bool TDev25Exec::execStatusRegWrite(TSerialPort *port)
{
    QByteArray bytes;
    if (!prepare(port, false) || !statusData(bytes) || !offered(DEV_ALG_STATUS_REG_WRITE))
        return false;
    // The write sends one instruction per register, all three of them: a
    // chip with fewer registers is refused before anything is sent.
    if (bytes.size() != STATUS_REGISTERS) {
        setErrorText(lang.text(execmsg::STATUS_WRITE_THREE).arg(bytes.size()));
        return false;
    }
    QString e = errorText();
    const bool ok = spi25WriteStatusByAlg(alg(DEV_ALG_STATUS_REG_WRITE), port, bytes, e);
    setErrorText(e);
    return ok;
}

bool TDev25Exec::execStatusRegVerify(TSerialPort *port)
{
    QByteArray bytes;
    if (!prepare(port, false) || !statusData(bytes))
        return false;
    QByteArray read;
    if (!readStatus(port, read))
        return false;
    // The three registers are always read; a chip with fewer is compared
    // on the ones it has. The registers are compared as bytes, so blanks
    // and lower-case digits in the stored text do not matter.
    read.truncate(bytes.size());
    if (read == bytes)
        return true;
    setErrorText(QStringLiteral("Registers: Data: %1, Read: %2")
                     .arg(PARAM(m_params, REG_DATA).toString(), bytesToHexString(read)));
    return false;
}

// ---- Security registers ---------------------------------------------------------

bool TDev25Exec::execSecRegErase(TSerialPort *port)
{
    if (!prepare(port, false))
        return false;
    const int count = securityRegCount();
    const uint selection = PARAM(m_params, REG_DATA).toUInt() & 0xFF;
    for (int i = 0; i < count; ++i) {
        if (!(selection & (1u << i)))
            continue;
        if (!offered(DEV_ALG_SECURITY_REG_ERASE))
            return false;
        QString e = errorText();
        const bool ok = spi25EraseSecurityRegByAlg(alg(DEV_ALG_SECURITY_REG_ERASE), port, quint8(i), e);
        setErrorText(e);
        if (!ok)
            return false;
        if (progress(m_counter, m_lastPercent, i, count))
            break;
    }
    return true;
}

bool TDev25Exec::execSecRegTestEmpty(TSerialPort *port)
{
    if (!prepare(port, true))
        return false;
    const int count = securityRegCount();
    const uint selection = PARAM(m_params, REG_DATA).toUInt() & 0xFF;
    const qint64 total = devParam(DEV_SECURITY_REG_SIZE).toLongLong();
    if (!checkRule(readRule(AreaSecurity)))
        return false;
    for (int i = 0; i < count; ++i) {
        if (!(selection & (1u << i)))
            continue;
        const qint64 first = i * SECURITY_REG_SIZE;
        const TWalkEnd end = readRange(
            port, AreaSecurity, first, first + SECURITY_REG_SIZE - 1,
            [this](qint64 address, const QByteArray &chunk) {
                return compareBytes(address, QByteArray(chunk.size(), char(0xFF)), chunk);
            },
            [&](qint64 next) { return progress(m_counter, m_lastPercent, next, total); });
        if (end != TWalkEnd::Done)
            return end == TWalkEnd::Stopped;
    }
    return true;
}

bool TDev25Exec::execSecRegRead(TSerialPort *port)
{
    return prepare(port, true) && fileRead(port, AreaSecurity);
}

bool TDev25Exec::execSecRegWrite(TSerialPort *port)
{
    return prepare(port, true) && fileWrite(port, AreaSecurity);
}

bool TDev25Exec::execSecRegVerify(TSerialPort *port)
{
    return prepare(port, true) && fileVerify(port, AreaSecurity);
}

// ---- Unique ID and SFDP ------------------------------------------------------------

bool TDev25Exec::execUniqueIdRead(TSerialPort *port)
{
    if (!prepare(port, false))
        return false;
    if (!offered(DEV_ALG_UNIQUE_ID_READ))
        return false;
    QByteArray id;
    QString e = errorText();
    const bool ok = spi25ReadUniqueIdByAlg(alg(DEV_ALG_UNIQUE_ID_READ), port, id, e);
    setErrorText(e);
    if (!ok)
        return false;
    if (id.size() != UNIQUE_ID_SIZE)
        return failShortReply(id.size(), UNIQUE_ID_SIZE);
    storeData(bytesToHexString(id));
    return true;
}

bool TDev25Exec::execSfdpRegRead(TSerialPort *port)
{
    return prepare(port, true) && fileRead(port, AreaSfdp);
}
