#include "devices/TDev25Exec.h"

#include "core/TCmdCode.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "devices/TDev25.h"
#include "devices/dev25_messages.h"
#include "devices/exec_messages.h"
#include "devices/dev_lists.h"
#include "devices/param_schema.h"
#include "devices/spi25.h"
#include "link/TProtocol.h"
#include "misc/TNormCmdParam.h"
#include "misc/dev_misc.h"

using namespace spi25;

TDev25Exec::TDev25Exec(const TData &params, QObject *parent)
    : TMemoryExec(params, Progress::ShareFromZero, parent)
{
}

TDev25Exec::~TDev25Exec() = default;

bool TDev25Exec::execute(TSerialPort *port, bool *stopRun, int *cfgId, int *lastCmdId)
{
    Q_UNUSED(stopRun)
    Q_UNUSED(cfgId)
    Q_UNUSED(lastCmdId)
    QString e;
    const int id = schema::cmdId(m_params);
    return runCommand(port, {
        {CMD_SET_CLK, [&] { return sent(spi25SetClk(port, getClkCmdParams(m_params), e), e); }},
        {CMD_IDENT, [&] { return execIdent(port); }},
        {CMD_ERASE, [&] { return execErase(port); }},
        {CMD_ERASE_BLOCKS, [&] { return execEraseBlocks(port); }},
        {CMD_TEST_EMPTY_BLOCKS, [&] { return execTestEmptyBlocks(port); }},
        {CMD_STATUS_REG_READ, [&] { return execStatusRegRead(port); }},
        {CMD_STATUS_REG_WRITE, [&] { return execStatusRegWrite(port); }},
        {CMD_STATUS_REG_VERIFY, [&] { return execStatusRegVerify(port); }},
        {CMD_SEC_REG_ERASE, [&] { return execSecRegErase(port); }},
        {CMD_SEC_REG_TEST_EMPTY, [&] { return execSecRegTestEmpty(port); }},
        {CMD_UNIQUE_ID_READ, [&] { return execUniqueIdRead(port); }},
        {CMD_LEAVE, [&] { return sent(spi25Leave(port, pinStateBytes(id, false), e), e); }},
    });
}

// ---- Shared steps ------------------------------------------------------------

int TDev25Exec::alg(const char *key) const
{
    return devParam(key).toInt();
}

bool TDev25Exec::offered(const char *key)
{
    const int variant = alg(key);
    return variant == 0 || failVariant(QLatin1String(key), variant);
}

bool TDev25Exec::checkRange(Area area, qint64 first, qint64 last)
{
    if (last < first)
        return true;
    qint64 limit = ADDRESS_LIMIT;
    int message = dev25msg::RANGE_PAST_3_BYTES;
    if (area == Security) {
        limit = securityRegCount() * SECURITY_REG_SIZE;
        message = dev25msg::SECURITY_OUTSIDE;
    } else if (area == Sfdp) {
        limit = SFDP_LIMIT;
        message = dev25msg::SFDP_PAST_LIMIT;
    }
    if (first >= 0 && last < limit)
        return true;
    setErrorText(lang.text(message).arg(hexText64(first), hexText64(last)));
    return false;
}

TChunkRule TDev25Exec::ruleOf(Area area, bool write) const
{
    // 3 address bytes wrap at 16 Mbyte, a read wraps inside its security
    // register, the SFDP address travels as A0 alone.
    TChunkRule rule(maxData());
    rule.within(area == Main ? ADDRESS_LIMIT : area == Security ? SECURITY_REG_SIZE : SFDP_LIMIT);
    // A program wraps inside its page (a security register is one page).
    // Its request carries the instruction and three address bytes.
    if (write)
        rule.within(area == Main ? TDev25::pageSize(devParams()) : SECURITY_REG_SIZE)
            .atMost(TProtocol::MAX_PAYLOAD - 4);
    return rule;
}

// ---- The memories ----------------------------------------------------------------

bool TDev25Exec::hasArea(Area area) const
{
    return area == Main || area == Security || area == Sfdp;
}

bool TDev25Exec::prepareArea(Area area, bool write, qint64 first, qint64 last, TChunkRule &rule)
{
    const char *key = area == Main ? (write ? DEV_ALG_FLASH_WRITE : DEV_ALG_FLASH_READ)
                      : area == Security ? (write ? DEV_ALG_SECURITY_REG_WRITE : DEV_ALG_SECURITY_REG_READ)
                                         : DEV_ALG_FSDP_READ;
    rule = ruleOf(area, write);
    m_alg = alg(key);
    return checkRange(area, first, last) && checkRule(rule) && offered(key);
}

bool TDev25Exec::readChunk(TSerialPort *port, Area area, qint64 address, qint64 count, QByteArray &bytes)
{
    QString e;
    const quint16 n = quint16(count);
    return sent(area == Main       ? spi25ReadByAlg(m_alg, port, address, n, bytes, e)
                : area == Security ? spi25ReadSecurityRegByAlg(m_alg, port, address, n, bytes, e)
                                   : spi25ReadSfdpByAlg(m_alg, port, address, n, bytes, e),
                e);
}

bool TDev25Exec::writeChunk(TSerialPort *port, Area area, qint64 address, const QByteArray &bytes)
{
    QString e;
    return sent(area == Main ? spi25PageProgramByAlg(m_alg, port, address, bytes, e)
                             : spi25ProgramSecurityRegByAlg(m_alg, port, address, bytes, e),
                e);
}

// ---- Identification ----------------------------------------------------------------

bool TDev25Exec::readId(TSerialPort *port, QByteArray &id)
{
    QString e;
    return offered(DEV_ALG_IDENT) && sent(spi25ReadJedecIdByAlg(alg(DEV_ALG_IDENT), port, id, e), e);
}

bool TDev25Exec::execIdent(TSerialPort *port)
{
    // A signature that is not whole bytes would never match: say why at once.
    QByteArray signature, id;
    if (!lookUp(false)
        || !wholeHexBytes(QLatin1String(DEV_SIGNATURE), devParam(DEV_SIGNATURE).toString(), signature)
        || !readId(port, id))
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
    QByteArray id;
    if (!checkPort(port) || !lookUp(false) || !readId(port, id))
        return false;
    text = bytesToHexString(id);
    return true;
}

// ---- Erase and empty test by blocks ------------------------------------------------------

bool TDev25Exec::eraseBlocks(TSerialPort *port, quint8 instruction, qint64 size, qint64 begin, qint64 count)
{
    if (!checkRange(Main, begin * size, (begin + count) * size - 1) || (count > 0 && !offered(DEV_ALG_ERASE)))
        return false;
    beginChange(ChangeUnit::Addresses, begin * size, (begin + count) * size - 1);
    for (qint64 i = 0; i < count; ++i) {
        QString e;
        changeRequest((begin + i) * size, (begin + i + 1) * size - 1);
        if (!sent(spi25EraseByAlg(alg(DEV_ALG_ERASE), port, instruction, (begin + i) * size, e), e))
            return false;
        changeConfirmed();
        if (stepProgress(i, count) && i + 1 < count)
            return true;
    }
    endChange();
    return true;
}

bool TDev25Exec::execErase(TSerialPort *port)
{
    if (!lookUp(false))
        return false;
    TDev25::EraseEntry entry;
    if (!TDev25::parseEraseEntry(devParam(DEV_ERASE).toString(), entry)) {
        setErrorText(lang.text(execmsg::ERASE_ENTRY).arg(devParam(DEV_ERASE).toString()));
        return false;
    }
    if (!checkRule(TChunkRule(entry.size)))
        return false;
    // Only a chip that its blocks cover whole is erased: never nothing or
    // a part of it reported as an erase.
    const qint64 size = devParam(DEV_SIZE).toLongLong();
    if (size <= 0 || size % entry.size != 0) {
        setErrorText(TDev25::eraseCheck(devParams()).text(cmdCode.name(QLatin1String(CMD_ERASE))));
        return false;
    }
    return eraseBlocks(port, entry.instruction, entry.size, 0, size / entry.size);
}

bool TDev25Exec::blocksInside(qint64 size, qint64 begin, qint64 count)
{
    if (TDev25::blocksInside(devParams(), size, begin, count))
        return true;
    setErrorText(lang.text(dev25msg::BLOCKS_OUTSIDE).arg(hexText64(begin * size), hexText64((begin + count) * size - 1)));
    return false;
}

bool TDev25Exec::execEraseBlocks(TSerialPort *port)
{
    const qint64 size = schema::integer(m_params, BLOCKS_SIZE);
    const qint64 begin = schema::integer(m_params, BLOCKS_BEGIN);
    const qint64 count = schema::integer(m_params, BLOCKS_COUNT);
    TDev25::EraseEntry entry;
    if (!lookUp(false))
        return false;
    if (!TDev25::findEraseBlock(devParams(), size, entry)) {
        setErrorText(lang.text(dev25msg::NO_ERASE_FOR_SIZE).arg(size));
        return false;
    }
    return blocksInside(size, begin, count) && (count > 0 || failEmptyRange(begin * size))
           && eraseBlocks(port, entry.instruction, size, begin, count);
}

bool TDev25Exec::execTestEmptyBlocks(TSerialPort *port)
{
    const qint64 size = schema::integer(m_params, BLOCKS_SIZE);
    const qint64 begin = schema::integer(m_params, BLOCKS_BEGIN);
    const qint64 count = schema::integer(m_params, BLOCKS_COUNT);
    return lookUp(true) && blocksInside(size, begin, count)
           && testEmpty(port, Main, begin * size, (begin + count) * size - 1);
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
    setErrorText(lang.text(execmsg::STATUS_COUNT, count));
    return false;
}

int TDev25Exec::securityRegCount() const
{
    return TDev25::securityRegCount(devParams());
}

bool TDev25Exec::selectedSecurityRegs(uint &mask)
{
    mask = TDev25::selectedSecurityRegs(devParams(), m_params);
    if (mask != 0)
        return true;
    setErrorText(lang.text(dev25msg::NO_SECURITY_SELECTED).arg(securityRegCount()));
    return false;
}

bool TDev25Exec::statusData(QByteArray &bytes)
{
    int n = 0;
    if (!lookUp(false) || !statusRegCount(1, n)
        || !wholeHexBytes(QLatin1String(REG_DATA), schema::text(m_params, REG_DATA), bytes))
        return false;
    if (bytes.size() == n)
        return true;
    setErrorText(lang.text(execmsg::DATA_COUNT, bytes.size(), n));
    return false;
}

bool TDev25Exec::readStatus(TSerialPort *port, QByteArray &bytes)
{
    if (!offered(DEV_ALG_STATUS_REG_READ))
        return false;
    QString e;
    const bool ok = spi25ReadStatusByAlg(alg(DEV_ALG_STATUS_REG_READ), port, bytes, e);
    if (!ok && !e.isEmpty())
        return sent(false, e);
    // Without a text of the link the read stopped at a reply that was not
    // one byte: the registers read so far are all there is.
    return (ok && bytes.size() == STATUS_REGISTERS) || failShortReply(bytes.size(), STATUS_REGISTERS);
}

bool TDev25Exec::execStatusRegRead(TSerialPort *port)
{
    int n = 0;
    QByteArray bytes;
    if (!lookUp(false) || !statusRegCount(0, n) || !readStatus(port, bytes))
        return false;
    storeData(bytesToHexString(bytes));
    return true;
}

bool TDev25Exec::execStatusRegWrite(TSerialPort *port)
{
    QByteArray bytes;
    if (!statusData(bytes) || !offered(DEV_ALG_STATUS_REG_WRITE))
        return false;
    // The write sends one instruction per register, all three of them: a
    // chip with fewer registers is refused before anything is sent.
    if (bytes.size() != STATUS_REGISTERS) {
        setErrorText(lang.text(execmsg::STATUS_WRITE_THREE).arg(bytes.size()));
        return false;
    }
    if (!keepStatusBits(port, bytes))
        return false;
    QString e;
    int written = 0;
    beginChange(ChangeUnit::Registers, 1, STATUS_REGISTERS);
    const bool ok = spi25WriteStatusByAlg(alg(DEV_ALG_STATUS_REG_WRITE), port, bytes, e, &written);
    changeUnits(written, ok);
    return sent(ok, e);
}

bool TDev25Exec::keepStatusBits(TSerialPort *port, QByteArray &bytes)
{
    const QByteArray kept = TDev25::keptStatusBits(devParams());
    if (kept.isEmpty())
        return true;
    QByteArray chip;
    if (!readStatus(port, chip))
        return false;
    const QByteArray asked = bytes;
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char((bytes.at(i) & ~kept.at(i)) | (chip.at(i) & kept.at(i)));
    if (bytes != asked)
        emit signalEventText(EXEC_RESULT, lang.text(dev25msg::STATUS_BITS_KEPT, bytesToHexString(kept),
                                                    bytesToHexString(bytes), bytesToHexString(asked)));
    return true;
}

bool TDev25Exec::execStatusRegVerify(TSerialPort *port)
{
    QByteArray bytes, read;
    if (!statusData(bytes) || !readStatus(port, read))
        return false;
    // The three registers are always read; a chip with fewer is compared
    // on the ones it has. The registers are compared as bytes, so blanks
    // and lower-case digits in the stored text do not matter.
    read.truncate(bytes.size());
    if (read == bytes)
        return true;
    setErrorText(QStringLiteral("Registers: Data: %1, Read: %2")
                     .arg(schema::text(m_params, REG_DATA), bytesToHexString(read)));
    return false;
}

// ---- Security registers and unique ID -----------------------------------------------

bool TDev25Exec::execSecRegErase(TSerialPort *port)
{
    uint selection = 0;
    if (!lookUp(false) || !selectedSecurityRegs(selection))
        return false;
    const int count = securityRegCount();
    if (!offered(DEV_ALG_SECURITY_REG_ERASE))
        return false;
    // Counted in the registers' linear addresses, as their file commands are.
    int firstSelected = -1, lastSelected = 0;
    for (int i = 0; i < count; ++i) {
        if (selection & (1u << i)) {
            firstSelected = firstSelected < 0 ? i : firstSelected;
            lastSelected = i;
        }
    }
    beginChange(ChangeUnit::Addresses, firstSelected * SECURITY_REG_SIZE, (lastSelected + 1) * SECURITY_REG_SIZE - 1);
    for (int i = 0; i < count; ++i) {
        if (!(selection & (1u << i)))
            continue;
        QString e;
        changeRequest(i * SECURITY_REG_SIZE, (i + 1) * SECURITY_REG_SIZE - 1);
        if (!sent(spi25EraseSecurityRegByAlg(alg(DEV_ALG_SECURITY_REG_ERASE), port, quint8(i), e), e))
            return false;
        changeConfirmed();
        if (stepProgress(i, count) && i < lastSelected)
            return true;
    }
    endChange();
    return true;
}

bool TDev25Exec::execSecRegTestEmpty(TSerialPort *port)
{
    uint selection = 0;
    if (!lookUp(true) || !checkRule(ruleOf(Security, false)) || !selectedSecurityRegs(selection))
        return false;
    const int count = securityRegCount();
    const qint64 total = devParam(DEV_SECURITY_REG_SIZE).toLongLong();
    const Bytes blank = [](qint64, qint64 n) { return QByteArray(int(n), char(0xFF)); };
    for (int i = 0; i < count; ++i) {
        const qint64 first = i * SECURITY_REG_SIZE, last = first + SECURITY_REG_SIZE - 1;
        TChunkRule rule;
        if (!(selection & (1u << i)))
            continue;
        if (!prepareArea(Security, false, first, last, rule))
            return false;
        const TWalkEnd end = verifyRange(port, Security, rule, first, last, blank,
                                         [&](qint64 next) { return stepProgress(next, total); });
        if (end != TWalkEnd::Done)
            return end == TWalkEnd::Stopped;
    }
    return true;
}

bool TDev25Exec::execUniqueIdRead(TSerialPort *port)
{
    QByteArray id;
    QString e;
    if (!lookUp(false) || !offered(DEV_ALG_UNIQUE_ID_READ)
        || !sent(spi25ReadUniqueIdByAlg(alg(DEV_ALG_UNIQUE_ID_READ), port, id, e), e))
        return false;
    if (id.size() != UNIQUE_ID_SIZE)
        return failShortReply(id.size(), UNIQUE_ID_SIZE);
    storeData(bytesToHexString(id));
    return true;
}
