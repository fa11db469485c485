#include "devices/TDev25.h"

#include "core/TCmdCode.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/TDev25Exec.h"
#include "devices/check_messages.h"
#include "devices/dev25_messages.h"
#include "devices/param_schema.h"
#include "devices/dev_lists.h"
#include "devices/exec_messages.h"
#include "devices/spi25.h"
#include "gui/forms/TFormDevLeave.h"
#include "gui/forms/TFormDevRWV.h"
#include "misc/TNormCmdParam.h"
#include "misc/dev_misc.h"

#include <QHash>
#include <QVariant>

#include <limits>

namespace {

const QString source = QStringLiteral("devices\\TDev25");

#define PARAM(data, key) getParam(source, __LINE__, data, QLatin1String(key))

const QString UNIQUE_ID_ZERO = QStringLiteral("0000000000000000");
constexpr qint64 DEFAULT_BLOCK = 65536;

template <typename... Values>
QString msg(int number, const Values &...values)
{
    return lang.text(number, values...);
}

// The status registers of the description, one byte each, as many as the
// programmer serves.
TCheck statusDefCheck(const TData &dev, QByteArray &registers)
{
    const QString def = PARAM(dev, DEV_STATUS_REG_DEF).toString();
    if (!hexStringToBytesChecked(def, registers))
        return TCheck::refused(DEV_STATUS_REG_DEF, notWholeHexReason(def));
    if (registers.size() > spi25::STATUS_REGISTERS)
        return TCheck::refused(DEV_STATUS_REG_DEF, msg(execmsg::STATUS_COUNT, registers.size()));
    return TCheck::valid();
}

// The image of a status write or verify goes to the chip or is compared
// with it: whole bytes, one per status register of the description, none
// made up. A write sends all three registers: a chip described with fewer
// cannot be written.
TCheck statusImageCheck(const TData &dev, const TData &data, bool write)
{
    const QString text = schema::text(data, REG_DATA);
    QByteArray image, registers;
    if (TCheck def = statusDefCheck(dev, registers); !def)
        return def;
    if (!hexStringToBytesChecked(text, image))
        return TCheck::refused(REG_DATA, notWholeHexReason(text));
    if (image.size() != registers.size())
        return TCheck::refused(REG_DATA, msg(checkmsg::IMAGE_SIZE, image.size(), registers.size()));
    if (write && registers.size() != spi25::STATUS_REGISTERS)
        return TCheck::refused(DEV_STATUS_REG_DEF, msg(execmsg::STATUS_WRITE_THREE).arg(registers.size()));
    return TCheck::valid();
}

// The description's algorithm key that the command's executor goes by;
// null for a command that uses none.
const char *algKeyOf(const QString &code)
{
    static const QHash<QString, const char *> keys = {
        {CMD_IDENT, DEV_ALG_IDENT},
        {CMD_ERASE, DEV_ALG_ERASE},
        {CMD_ERASE_BLOCKS, DEV_ALG_ERASE},
        {CMD_TEST_EMPTY, DEV_ALG_FLASH_READ},
        {CMD_TEST_EMPTY_BLOCKS, DEV_ALG_FLASH_READ},
        {CMD_CHAR_VERIFY, DEV_ALG_FLASH_READ},
        {CMD_DATA_READ, DEV_ALG_FLASH_READ},
        {CMD_DATA_VERIFY, DEV_ALG_FLASH_READ},
        {CMD_FILE_READ, DEV_ALG_FLASH_READ},
        {CMD_FILE_VERIFY, DEV_ALG_FLASH_READ},
        {CMD_CHAR_WRITE, DEV_ALG_FLASH_WRITE},
        {CMD_DATA_WRITE, DEV_ALG_FLASH_WRITE},
        {CMD_FILE_WRITE, DEV_ALG_FLASH_WRITE},
        {CMD_STATUS_REG_READ, DEV_ALG_STATUS_REG_READ},
        {CMD_STATUS_REG_VERIFY, DEV_ALG_STATUS_REG_READ},
        {CMD_STATUS_REG_WRITE, DEV_ALG_STATUS_REG_WRITE},
        {CMD_SEC_REG_ERASE, DEV_ALG_SECURITY_REG_ERASE},
        {CMD_SEC_REG_TEST_EMPTY, DEV_ALG_SECURITY_REG_READ},
        {CMD_SEC_REG_READ, DEV_ALG_SECURITY_REG_READ},
        {CMD_SEC_REG_VERIFY, DEV_ALG_SECURITY_REG_READ},
        {CMD_SEC_REG_WRITE, DEV_ALG_SECURITY_REG_WRITE},
        {CMD_UNIQUE_ID_READ, DEV_ALG_UNIQUE_ID_READ},
        {CMD_SFDP_REG_READ, DEV_ALG_FSDP_READ},
    };
    return keys.value(code, nullptr);
}

} // namespace

TDev25::TDev25(const QString &name, const TData &params) : IDevice(name)
{
    m_cmds = QStringList{CMD_SET_CLK,           CMD_IDENT,          CMD_SEPARATOR,
                         CMD_ERASE,             CMD_TEST_EMPTY,     CMD_ERASE_BLOCKS,
                         CMD_TEST_EMPTY_BLOCKS, CMD_SEPARATOR,      CMD_CHAR_WRITE,
                         CMD_CHAR_VERIFY,       CMD_DATA_READ,      CMD_DATA_WRITE,
                         CMD_DATA_VERIFY,       CMD_FILE_READ,      CMD_FILE_WRITE,
                         CMD_FILE_VERIFY,       CMD_SEPARATOR,      CMD_STATUS_REG_READ,
                         CMD_STATUS_REG_WRITE,  CMD_STATUS_REG_VERIFY, CMD_SEPARATOR,
                         CMD_SEC_REG_ERASE,     CMD_SEC_REG_TEST_EMPTY, CMD_SEC_REG_READ,
                         CMD_SEC_REG_WRITE,     CMD_SEC_REG_VERIFY, CMD_SEPARATOR,
                         CMD_UNIQUE_ID_READ,    CMD_SFDP_REG_READ,  CMD_SEPARATOR,
                         CMD_LEAVE};
    TData data = params;
    data.insert(QLatin1String(DEV_RESET), false);
    if (!data.contains(QLatin1String(DEV_INFO)))
        data.insert(QLatin1String(DEV_INFO), QString());
    setParams(data);
    setInfo(data.value(QLatin1String(DEV_INFO)).toStringList());
}

TDev25::~TDev25() = default;

IDevice *TDev25::create(const QString &name, const TData &params)
{
    return new TDev25(name, params);
}

bool TDev25::hasCmd(const QString &code)
{
    return m_cmds.contains(code, Qt::CaseSensitive);
}

QStringList TDev25::cmdList()
{
    return m_cmds;
}

// ---- Shared rules ---------------------------------------------------------------

bool TDev25::parseEraseEntry(const QString &text, EraseEntry &entry)
{
    const QStringList parts = text.split(QLatin1Char('|'), Qt::KeepEmptyParts);
    if (parts.size() != 2)
        return false;
    bool ok = false;
    const uint instruction = parts.at(0).trimmed().toUInt(&ok, 16);
    if (!ok)
        return false;
    entry.instruction = quint8(instruction & 0xFF);
    entry.size = qMax<qint64>(0, parts.at(1).trimmed().toLongLong(nullptr, 10));
    return true;
}

QList<qint64> TDev25::eraseBlockSizes(const TData &dev)
{
    QList<qint64> sizes;
    for (const QString &text : PARAM(dev, DEV_ERASE_BLOCKS).toStringList()) {
        EraseEntry entry;
        if (parseEraseEntry(text, entry) && entry.size > 0 && !sizes.contains(entry.size))
            sizes.append(entry.size);
    }
    return sizes;
}

bool TDev25::findEraseBlock(const TData &dev, qint64 size, EraseEntry &entry)
{
    bool found = false;
    if (size <= 0)
        return false;
    for (const QString &text : PARAM(dev, DEV_ERASE_BLOCKS).toStringList()) {
        EraseEntry e;
        if (parseEraseEntry(text, e) && e.size == size) {
            entry = e;
            found = true;
        }
    }
    return found;
}

bool TDev25::blocksInside(const TData &dev, qint64 size, qint64 begin, qint64 count)
{
    const qint64 deviceSize = PARAM(dev, DEV_SIZE).toLongLong();
    if (size <= 0 || begin < 0 || count < 0 || deviceSize <= 0)
        return false;
    const qint64 blocks = deviceSize / size;
    return begin <= blocks && count <= blocks - begin;
}

int TDev25::securityRegCount(const TData &dev)
{
    const qint64 size = PARAM(dev, DEV_SECURITY_REG_SIZE).toLongLong();
    return int(qBound<qint64>(0, size / spi25::SECURITY_REG_SIZE, spi25::SECURITY_REG_MAX));
}

uint TDev25::selectedSecurityRegs(const TData &dev, const TData &data)
{
    return uint(schema::integer(data, REG_DATA)) & ((1u << securityRegCount(dev)) - 1) & 0xFF;
}

qint64 TDev25::pageSize(const TData &dev)
{
    return qint64(PARAM(dev, DEV_PAGE_SIZE).toUInt() & 0xFFFF);
}

qint64 TDev25::reachableSize(const TData &dev)
{
    const qint64 begin = PARAM(dev, DEV_ADDR_BEGIN).toLongLong();
    const qint64 size = PARAM(dev, DEV_SIZE).toLongLong();
    if (begin < 0 || begin >= spi25::ADDRESS_LIMIT)
        return 0;
    return qBound<qint64>(0, size, spi25::ADDRESS_LIMIT - begin);
}

TCheck TDev25::blocksCheck(const TData &dev, qint64 size, qint64 begin, qint64 count)
{
    const qint64 deviceSize = PARAM(dev, DEV_SIZE).toLongLong();
    if (deviceSize <= 0)
        return TCheck::refused(DEV_SIZE, msg(checkmsg::NO_MEMORY, deviceSize));
    if (size <= 0)
        return TCheck::outside(BLOCKS_SIZE, size, 1, deviceSize);
    if (begin < 0)
        return TCheck::refused(BLOCKS_BEGIN, msg(checkmsg::NEGATIVE).arg(begin));
    if (count < 0)
        return TCheck::refused(BLOCKS_COUNT, msg(checkmsg::NEGATIVE).arg(count));
    if (!blocksInside(dev, size, begin, count)) {
        // The last block asked for, kept from overflowing for the text.
        const qint64 last = count > 0 && begin <= std::numeric_limits<qint64>::max() - count ? begin + count - 1
                                                                                            : begin;
        return TCheck::refused(BLOCKS_COUNT, msg(checkmsg::BLOCKS_PAST)
                                                 .arg(begin).arg(last).arg(deviceSize / size).arg(size));
    }
    if ((begin + count) * size > spi25::ADDRESS_LIMIT)
        return TCheck::refused(BLOCKS_COUNT,
                               msg(checkmsg::COUNT_PAST, count * size, hexText64(begin * size),
                                   hexText64(spi25::ADDRESS_LIMIT - 1)));
    return TCheck::valid();
}

TCheck TDev25::eraseCheck(const TData &dev)
{
    const QString text = PARAM(dev, DEV_ERASE).toString();
    EraseEntry entry;
    if (!parseEraseEntry(text, entry) || entry.size <= 0)
        return TCheck::refused(DEV_ERASE, msg(execmsg::ERASE_ENTRY).arg(text));
    const qint64 size = PARAM(dev, DEV_SIZE).toLongLong();
    if (size <= 0 || size % entry.size != 0)
        return TCheck::refused(DEV_SIZE, msg(checkmsg::ERASE_MULTIPLE).arg(size).arg(entry.size).arg(text));
    if (size > spi25::ADDRESS_LIMIT)
        return TCheck::refused(DEV_SIZE, msg(checkmsg::ADDRESS_LIMIT, size));
    return TCheck::valid();
}

qint64 TDev25::securityAreaSize() const
{
    const qint64 size = PARAM(params(), DEV_SECURITY_REG_SIZE).toLongLong();
    return qBound<qint64>(0, size, spi25::SECURITY_REG_MAX * spi25::SECURITY_REG_SIZE);
}

qint64 TDev25::sfdpAreaSize() const
{
    return qBound<qint64>(0, PARAM(params(), DEV_SFDP_REG_SIZE).toLongLong(), spi25::SFDP_LIMIT);
}

// ---- Defaults ---------------------------------------------------------------------

void TDev25::initEraseBlocksParam(TData &data) const
{
    const QList<qint64> sizes = eraseBlockSizes(params());
    qint64 size = DEFAULT_BLOCK;
    if (!sizes.isEmpty() && !sizes.contains(DEFAULT_BLOCK))
        size = *std::max_element(sizes.begin(), sizes.end());
    data.insert(QLatin1String(BLOCKS_SIZE), int(size));
    data.insert(QLatin1String(BLOCKS_BEGIN), 0);
    data.insert(QLatin1String(BLOCKS_COUNT), int(reachableSize(params()) / size));
}

void TDev25::setStatusRegDefault(TData &data) const
{
    data.insert(QLatin1String(REG_DATA), PARAM(params(), DEV_STATUS_REG_DEF).toString());
}

void TDev25::initCmdParam(TData &data)
{
    const QString code = schema::cmdCode(data);
    const TData dev = params();
    const qint64 begin = PARAM(dev, DEV_ADDR_BEGIN).toLongLong();
    const qint64 reach = reachableSize(dev);
    if (code == QLatin1String(CMD_SET_CLK))
        setClkCmdParams(prgPar(), data);
    else if (isOneOf(code, {CMD_ERASE_BLOCKS, CMD_TEST_EMPTY_BLOCKS}))
        initEraseBlocksParam(data);
    else if (isOneOf(code, {CMD_CHAR_WRITE, CMD_CHAR_VERIFY}))
        setCharCmdParams(data, begin, reach, 0xFF);
    else if (isOneOf(code, {CMD_DATA_READ, CMD_DATA_WRITE, CMD_DATA_VERIFY}))
        setDataCmdParams(data, begin, QString());
    else if (isOneOf(code, {CMD_FILE_READ, CMD_FILE_WRITE, CMD_FILE_VERIFY}))
        setFileCmdDefaults(data, begin, reach);
    else if (isOneOf(code, {CMD_STATUS_REG_READ, CMD_STATUS_REG_WRITE, CMD_STATUS_REG_VERIFY}))
        setStatusRegDefault(data);
    else if (isOneOf(code, {CMD_SEC_REG_ERASE, CMD_SEC_REG_TEST_EMPTY}))
        data.insert(QLatin1String(REG_DATA), 255);
    else if (isOneOf(code, {CMD_SEC_REG_READ, CMD_SEC_REG_WRITE, CMD_SEC_REG_VERIFY}))
        setFileCmdDefaults(data, 0, securityAreaSize());
    else if (code == QLatin1String(CMD_UNIQUE_ID_READ))
        data.insert(QLatin1String(REG_DATA), UNIQUE_ID_ZERO);
    else if (code == QLatin1String(CMD_SFDP_REG_READ))
        setFileCmdDefaults(data, 0, sfdpAreaSize());
    else if (code == QLatin1String(CMD_LEAVE))
        setLeaveCmdDefaults(data, false);
}

// ---- Texts ------------------------------------------------------------------------

QString TDev25::rangeText(const TData &data)
{
    const qint64 size = schema::integer(data, BLOCKS_SIZE);
    const qint64 begin = schema::integer(data, BLOCKS_BEGIN);
    const qint64 count = schema::integer(data, BLOCKS_COUNT);
    const qint64 first = size * begin;
    return QStringLiteral("0x%1..0x%2 (%3)")
        .arg(hexText64(first), hexText64(first + size * count - 1), sizeName(size * count));
}

QString TDev25::registersText(const TData &data) const
{
    const uint mask = uint(schema::integer(data, REG_DATA)) & 0xFF;
    QString text = QStringLiteral("Registers: ");
    for (int i = securityRegCount(params()); i >= 1; --i)
        text.append(mask & (1u << (i - 1)) ? QLatin1Char('1') : QLatin1Char('0'));
    return text;
}

QString TDev25::statusRegDataText(const TData &data, QWidget *form) const
{
    const QString text = schema::text(data, REG_DATA);
    if (form && schema::cmdCode(data) == QLatin1String(CMD_STATUS_REG_READ))
        pushRegisterData(form, schema::cmdId(data), text);
    return text;
}

QString TDev25::cmdParamText(const TData &data, QWidget *form)
{
    const QString code = schema::cmdCode(data);
    if (code == QLatin1String(CMD_SET_CLK))
        return clkCmdText(data);
    if (isOneOf(code, {CMD_ERASE_BLOCKS, CMD_TEST_EMPTY_BLOCKS}))
        return rangeText(data);
    if (isOneOf(code, {CMD_CHAR_WRITE, CMD_CHAR_VERIFY}))
        return charCmdTextMain(data);
    if (isOneOf(code, {CMD_DATA_READ, CMD_DATA_WRITE, CMD_DATA_VERIFY}))
        return dataCmdTextMain(data, code, form);
    if (isOneOf(code, {CMD_FILE_READ, CMD_FILE_WRITE, CMD_FILE_VERIFY, CMD_SEC_REG_READ,
                       CMD_SEC_REG_WRITE, CMD_SEC_REG_VERIFY, CMD_SFDP_REG_READ}))
        return fileCmdTextMain(data);
    if (isOneOf(code, {CMD_STATUS_REG_READ, CMD_STATUS_REG_WRITE, CMD_STATUS_REG_VERIFY}))
        return statusRegDataText(data, form);
    if (isOneOf(code, {CMD_SEC_REG_ERASE, CMD_SEC_REG_TEST_EMPTY}))
        return registersText(data);
    if (code == QLatin1String(CMD_UNIQUE_ID_READ))
        return schema::text(data, REG_DATA);
    if (code == QLatin1String(CMD_LEAVE))
        return leaveCmdText(data, false);
    return QString();
}

// ---- Forms ------------------------------------------------------------------------

QWidget *TDev25::createCmdForm(const TData &data)
{
    const QString code = schema::cmdCode(data);
    const TData dev = params();
    const qint64 begin = PARAM(dev, DEV_ADDR_BEGIN).toLongLong();
    const qint64 reach = reachableSize(dev);
    if (code == QLatin1String(CMD_SET_CLK))
        return createClkForm(prgPar(), data);
    if (isOneOf(code, {CMD_IDENT, CMD_ERASE, CMD_TEST_EMPTY}))
        return createEmptyForm();
    if (isOneOf(code, {CMD_ERASE_BLOCKS, CMD_TEST_EMPTY_BLOCKS}))
        return createEraseBlocksForm(data);
    if (isOneOf(code, {CMD_CHAR_WRITE, CMD_CHAR_VERIFY}))
        return createCharCmdForm(data, begin, reach, 0xFF);
    if (isOneOf(code, {CMD_DATA_READ, CMD_DATA_WRITE, CMD_DATA_VERIFY}))
        return createDataCmdForm(data, begin, reach);
    if (isOneOf(code, {CMD_FILE_READ, CMD_FILE_WRITE, CMD_FILE_VERIFY}))
        return createFileCmdForm(data, begin, reach);
    if (isOneOf(code, {CMD_STATUS_REG_READ, CMD_STATUS_REG_WRITE, CMD_STATUS_REG_VERIFY}))
        return createStatusRegForm(data);
    if (isOneOf(code, {CMD_SEC_REG_ERASE, CMD_SEC_REG_TEST_EMPTY}))
        return createSecRegSelectForm(data);
    if (isOneOf(code, {CMD_SEC_REG_READ, CMD_SEC_REG_WRITE, CMD_SEC_REG_VERIFY}))
        return createFileCmdForm(data, 0, securityAreaSize());
    if (code == QLatin1String(CMD_UNIQUE_ID_READ))
        return createUniqueIdForm(data);
    if (code == QLatin1String(CMD_SFDP_REG_READ))
        return createFileCmdForm(data, 0, sfdpAreaSize());
    if (code == QLatin1String(CMD_LEAVE))
        return createLeaveCmdForm(this, data, false);
    return nullptr;
}

TData TDev25::cmdParamFromForm(const TData &data)
{
    const int id = schema::cmdId(data);
    const TDataCmd *cmd = dataPrj.cmdById(id);
    if (cmd && cmd->cmd() == QLatin1String(CMD_SET_ADDR)) {
        TData result;
        result.insert(QLatin1String(REC_ID_CMD), id);
        result.insert(QLatin1String(SET_ADDR_ADDR),
                      QString::number(schema::text(data, REG_DATA).toLongLong(nullptr, 10)));
        return result;
    }
    // The selection form edits one byte as hex text; the command keeps the
    // selection as a number, which a reloaded project reads back in decimal.
    if (cmd && isOneOf(cmd->cmd(), {CMD_SEC_REG_ERASE, CMD_SEC_REG_TEST_EMPTY})
        && data.contains(QLatin1String(REG_DATA))) {
        QByteArray image;
        TData result = data;
        // A selection that is no byte leaves the stored one as it was.
        if (hexStringToBytesChecked(schema::text(data, REG_DATA), image) && image.size() == 1)
            result.insert(QLatin1String(REG_DATA), int(quint8(image.at(0))));
        else
            result.remove(QLatin1String(REG_DATA));
        return result;
    }
    return data;
}

bool TDev25::normalizeCmdParam(TData &data)
{
    const QString code = schema::cmdCode(data);
    if (!isOneOf(code, {CMD_STATUS_REG_READ, CMD_STATUS_REG_WRITE, CMD_STATUS_REG_VERIFY}))
        return false;
    const QVariant old = schema::value(data, REG_DATA);
    setStatusRegDefault(data);
    // Only a real change counts, so that a project is not marked modified
    // (nor a register value lost) where the device stayed the same.
    return !old.isValid() || old.toString() != data.value(QLatin1String(REG_DATA)).toString();
}

QByteArray TDev25::keptStatusBits(const TData &dev)
{
    QByteArray kept(spi25::STATUS_REGISTERS, char(0));
    for (const QString &line : PARAM(dev, DEV_STATUS_REG_CFG).toStringList()) {
        const QStringList parts = line.split(QLatin1Char('|'));
        QByteArray mask;
        if (parts.size() < 6 || !isOneOf(parts.at(0).trimmed(), {"ckl", "ckr"})
            || parts.at(3).trimmed() != QLatin1String("k") || !hexStringToBytesChecked(parts.at(1).trimmed(), mask))
            continue;
        for (int i = 0; i < kept.size() && i < mask.size(); ++i)
            kept[i] = char(kept.at(i) | mask.at(i));
    }
    return kept.count(char(0)) == kept.size() ? QByteArray() : kept;
}

TCheck TDev25::checkCmdParam(const TData &data)
{
    if (TCheck own = commandCheck(data); !own)
        return own;
    // Then what the executor asks of the description before it sends
    // anything: an algorithm the program has (a description may name
    // another where the chip lacks the command), a page for a program.
    const TData dev = params();
    const QString code = schema::cmdCode(data);
    const char *key = algKeyOf(code);
    const int variant = key ? PARAM(dev, key).toInt() : 0;
    if (variant != 0)
        return IDeviceExec::variantRefused(QLatin1String(key), variant);
    // A status write that keeps bits as the chip holds them reads them first.
    if (code == QLatin1String(CMD_STATUS_REG_WRITE) && !keptStatusBits(dev).isEmpty()) {
        if (const int read = PARAM(dev, DEV_ALG_STATUS_REG_READ).toInt(); read != 0)
            return IDeviceExec::variantRefused(QLatin1String(DEV_ALG_STATUS_REG_READ), read);
    }
    if (isOneOf(code, {CMD_CHAR_WRITE, CMD_DATA_WRITE, CMD_FILE_WRITE}) && pageSize(dev) == 0)
        return TCheck::refused(DEV_PAGE_SIZE, msg(execmsg::BLOCK_ZERO));
    return TCheck::valid();
}

TCheck TDev25::commandCheck(const TData &data)
{
    const QString code = schema::cmdCode(data);
    const TData dev = params();
    const qint64 begin = PARAM(dev, DEV_ADDR_BEGIN).toLongLong();
    const qint64 reach = reachableSize(dev);
    if (code == QLatin1String(CMD_SET_CLK))
        return isClkCmdValid(data);
    if (code == QLatin1String(CMD_IDENT)) {
        // A signature that is not whole bytes would never match.
        QByteArray signature;
        return IDeviceExec::wholeHexCheck(DEV_SIGNATURE, PARAM(dev, DEV_SIGNATURE).toString(), signature);
    }
    if (code == QLatin1String(CMD_ERASE))
        return eraseCheck(dev);
    if (code == QLatin1String(CMD_TEST_EMPTY)) {
        const qint64 size = PARAM(dev, DEV_SIZE).toLongLong();
        if (begin < 0)
            return TCheck::refused(DEV_ADDR_BEGIN, msg(checkmsg::NEGATIVE).arg(begin));
        if (size <= 0)
            return TCheck::refused(DEV_SIZE, msg(checkmsg::NO_MEMORY, size));
        if (size > reach)
            return TCheck::refused(DEV_SIZE, msg(checkmsg::ADDRESS_LIMIT, size));
        return TCheck::valid();
    }
    if (isOneOf(code, {CMD_ERASE_BLOCKS, CMD_TEST_EMPTY_BLOCKS})) {
        const qint64 size = schema::integer(data, BLOCKS_SIZE);
        const qint64 first = schema::integer(data, BLOCKS_BEGIN);
        const qint64 count = schema::integer(data, BLOCKS_COUNT);
        EraseEntry entry;
        if (code == QLatin1String(CMD_ERASE_BLOCKS) && !findEraseBlock(dev, size, entry)) {
            QStringList sizes;
            for (qint64 s : eraseBlockSizes(dev))
                sizes << QString::number(s);
            return TCheck::refused(BLOCKS_SIZE, msg(checkmsg::BLOCK_SIZE).arg(size).arg(sizes.join(QStringLiteral(", "))));
        }
        return blocksCheck(dev, size, first, count);
    }
    if (isOneOf(code, {CMD_CHAR_WRITE, CMD_CHAR_VERIFY}))
        return isCharCmdValid(data, begin, reach);
    if (isOneOf(code, {CMD_DATA_READ, CMD_DATA_WRITE, CMD_DATA_VERIFY}))
        return isDataCmdValid(data, begin, reach);
    if (isOneOf(code, {CMD_FILE_READ, CMD_FILE_WRITE, CMD_FILE_VERIFY}))
        return isFileCmdValid(data, begin, reach);
    if (isOneOf(code, {CMD_STATUS_REG_WRITE, CMD_STATUS_REG_VERIFY}))
        return statusImageCheck(dev, data, code == QLatin1String(CMD_STATUS_REG_WRITE));
    if (code == QLatin1String(CMD_STATUS_REG_READ)) {
        QByteArray registers;
        return statusDefCheck(dev, registers);
    }
    if (isOneOf(code, {CMD_SEC_REG_ERASE, CMD_SEC_REG_TEST_EMPTY})) {
        const int count = securityRegCount(dev);
        if (count == 0)
            return TCheck::refused(DEV_SECURITY_REG_SIZE, msg(checkmsg::NO_MEMORY, count));
        if (selectedSecurityRegs(dev, data) == 0)
            return TCheck::refused(REG_DATA, msg(dev25msg::NO_SECURITY_SELECTED).arg(count));
        return TCheck::valid();
    }
    if (code == QLatin1String(CMD_UNIQUE_ID_READ))
        return TCheck::valid();
    if (isOneOf(code, {CMD_SEC_REG_READ, CMD_SEC_REG_WRITE, CMD_SEC_REG_VERIFY}))
        return isFileCmdValid(data, 0, securityAreaSize(), DEV_SECURITY_REG_SIZE);
    if (code == QLatin1String(CMD_SFDP_REG_READ))
        return isFileCmdValid(data, 0, sfdpAreaSize(), DEV_SFDP_REG_SIZE);
    if (code == QLatin1String(CMD_LEAVE))
        return isLeaveCmdValid(data, false);
    return TCheck::notOffered(code, name());
}

// ---- Device level ---------------------------------------------------------------

TCheck TDev25::checkDevParam(const TData &data)
{
    return isClkCmdValid(data);
}

bool TDev25::initDevParam(TData &data)
{
    setClkCmdParams(prgPar(), data);
    return true;
}

QWidget *TDev25::createDevParamForm(const TData &data)
{
    return createClkForm(prgPar(), data);
}

QByteArray TDev25::devSetup(const TData &data)
{
    const quint32 clock = getClkCmdParams(data);
    const quint16 type = quint16(deviceTypeOf(PARAM(params(), DEV_PRG_TYPE).toString()) & 0xFFFF);
    const quint8 subtype = quint8(PARAM(params(), DEV_PRG_SUBTYPE).toUInt() & 0xFF);
    QByteArray record;
    record.append(char(type & 0xFF));
    record.append(char(type >> 8));
    record.append(char(subtype));
    for (int i = 0; i < 4; ++i)
        record.append(char((clock >> (8 * i)) & 0xFF));
    return record;
}

IDeviceExec *TDev25::createExec(const TData &data)
{
    return new TDev25Exec(data);
}
