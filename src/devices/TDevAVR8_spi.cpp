#include "devices/TDevAVR8_spi.h"

#include "core/consts.h"
#include "core/helpers.h"
#include "devices/TDevAVR8_spi_exec.h"
#include "devices/avr8_payload.h"
#include "devices/check_messages.h"
#include "core/TLang.h"
#include "devices/dev_lists.h"
#include "devices/param_schema.h"
#include "gui/forms/TFormDevCfg.h"
#include "gui/forms/TFormDevEmpty.h"
#include "gui/forms/TFormDevLeave.h"
#include "gui/forms/TFormDevRWV.h"
#include "gui/forms/TFormDevSetCLK.h"
#include "misc/TNormCmdParam.h"
#include "misc/dev_misc.h"

static const char SOURCE[] = "devices\\TDevAVR8_spi";

#define PARAM(data, key) getParam(QLatin1String(SOURCE), __LINE__, data, QLatin1String(key))

namespace {

// What a command code is to the per-command operations.
enum class Kind {
    None,
    Clock,
    Empty,
    FlashChar,
    FlashData,
    FlashFile,
    EepromChar,
    EepromData,
    EepromFile,
    Fuse,
    Lock,
    Osccal,
    Leave,
};

Kind kindOf(const QString &code)
{
    static const QHash<QString, Kind> kinds = {
        {CMD_SET_CLK, Kind::Clock},
        {CMD_IDENT, Kind::Empty},
        {CMD_ERASE, Kind::Empty},
        {CMD_TEST_EMPTY_FLASH, Kind::Empty},
        {CMD_TEST_EMPTY_EEPROM, Kind::Empty},
        {CMD_FLASH_CHAR_WRITE, Kind::FlashChar},
        {CMD_FLASH_CHAR_VERIFY, Kind::FlashChar},
        {CMD_FLASH_DATA_READ, Kind::FlashData},
        {CMD_FLASH_DATA_WRITE, Kind::FlashData},
        {CMD_FLASH_DATA_VERIFY, Kind::FlashData},
        {CMD_FLASH_FILE_READ, Kind::FlashFile},
        {CMD_FLASH_FILE_WRITE, Kind::FlashFile},
        {CMD_FLASH_FILE_VERIFY, Kind::FlashFile},
        {CMD_EEPROM_CHAR_WRITE, Kind::EepromChar},
        {CMD_EEPROM_CHAR_VERIFY, Kind::EepromChar},
        {CMD_EEPROM_DATA_READ, Kind::EepromData},
        {CMD_EEPROM_DATA_WRITE, Kind::EepromData},
        {CMD_EEPROM_DATA_VERIFY, Kind::EepromData},
        {CMD_EEPROM_FILE_READ, Kind::EepromFile},
        {CMD_EEPROM_FILE_WRITE, Kind::EepromFile},
        {CMD_EEPROM_FILE_VERIFY, Kind::EepromFile},
        {CMD_FUSE_READ, Kind::Fuse},
        {CMD_FUSE_WRITE, Kind::Fuse},
        {CMD_FUSE_VERIFY, Kind::Fuse},
        {CMD_LOCK_READ, Kind::Lock},
        {CMD_LOCK_WRITE, Kind::Lock},
        {CMD_LOCK_VERIFY, Kind::Lock},
        {CMD_OSCCAL_READ, Kind::Osccal},
        {CMD_LEAVE, Kind::Leave},
    };
    return kinds.value(code, Kind::None);
}

QString codeOf(const TData &data)
{
    return schema::cmdCode(data);
}

// A write or verify of fuses or lock bits sends or compares its image: it
// must be whole bytes of hex digits, exactly as many as the chip has (the
// fuses of "fuse_def", one lock byte). A short image is never made up with
// zeros, which would program every bit they stand for. Reads only store.
TCheck regImageValid(const QString &code, const TData &dev, const TData &data)
{
    const bool fuse = code == QLatin1String(CMD_FUSE_WRITE) || code == QLatin1String(CMD_FUSE_VERIFY);
    const bool lock = code == QLatin1String(CMD_LOCK_WRITE) || code == QLatin1String(CMD_LOCK_VERIFY);
    if (!fuse && !lock)
        return TCheck::valid();
    const QString text = schema::text(data, REG_DATA);
    QByteArray image, fuses;
    if (!schema::readHex(text, image) || image.isEmpty())
        return TCheck::refused(REG_DATA, notWholeHexReason(text));
    int bytes = avr8::LOCK_BYTES;
    if (fuse) {
        // The fuses the executor serves, by its own rule.
        if (TCheck count = TDevAVR8_SPI_Exec::fuseCountCheck(dev, false); !count)
            return count;
        hexStringToBytesChecked(PARAM(dev, DEV_FUSE_DEF).toString(), fuses);
        bytes = fuses.size();
    }
    if (image.size() == bytes)
        return TCheck::valid();
    return TCheck::refused(REG_DATA, lang.text(checkmsg::IMAGE_SIZE, image.size(), bytes));
}

} // namespace

TDevAVR8_SPI::TDevAVR8_SPI(const QString &name, const TData &params) : TDevAVR8_SPI(name, params, true) {}

TDevAVR8_SPI::TDevAVR8_SPI(const QString &name, const TData &params, bool reset) : IDevice(name)
{
    TData data = params;
    data.insert(QLatin1String(DEV_RESET), reset);
    data.insert(QLatin1String(DEV_RESET_POL), false);
    if (!data.contains(QLatin1String(DEV_INFO)))
        data.insert(QLatin1String(DEV_INFO), QString());
    setParams(data);
    setInfo(PARAM(data, DEV_INFO).toStringList());
}

TDevAVR8_SPI::~TDevAVR8_SPI() = default;

IDevice *TDevAVR8_SPI::create(const QString &name, const TData &params)
{
    return new TDevAVR8_SPI(name, params);
}

QStringList TDevAVR8_SPI::fullCmdList()
{
    return {CMD_SET_CLK,           CMD_IDENT,              CMD_SEPARATOR,
            CMD_ERASE,             CMD_TEST_EMPTY_FLASH,   CMD_TEST_EMPTY_EEPROM,
            CMD_SEPARATOR,         CMD_FLASH_CHAR_WRITE,   CMD_FLASH_CHAR_VERIFY,
            CMD_FLASH_DATA_READ,   CMD_FLASH_DATA_WRITE,   CMD_FLASH_DATA_VERIFY,
            CMD_FLASH_FILE_READ,   CMD_FLASH_FILE_WRITE,   CMD_FLASH_FILE_VERIFY,
            CMD_SEPARATOR,         CMD_EEPROM_CHAR_WRITE,  CMD_EEPROM_CHAR_VERIFY,
            CMD_EEPROM_DATA_READ,  CMD_EEPROM_DATA_WRITE,  CMD_EEPROM_DATA_VERIFY,
            CMD_EEPROM_FILE_READ,  CMD_EEPROM_FILE_WRITE,  CMD_EEPROM_FILE_VERIFY,
            CMD_SEPARATOR,         CMD_FUSE_READ,          CMD_FUSE_WRITE,
            CMD_FUSE_VERIFY,       CMD_SEPARATOR,          CMD_LOCK_READ,
            CMD_LOCK_WRITE,        CMD_LOCK_VERIFY,        CMD_SEPARATOR,
            CMD_OSCCAL_READ,       CMD_SEPARATOR,          CMD_LEAVE};
}

bool TDevAVR8_SPI::hasCmd(const QString &code)
{
    return cmdList().contains(code, Qt::CaseSensitive);
}

QStringList TDevAVR8_SPI::cmdList()
{
    QStringList list = fullCmdList();
    const int filter = PARAM(params(), DEV_GUI_CMD_LIST).toInt();
    QStringList hidden;
    if (filter == 0)
        hidden = QStringList{CMD_FUSE_READ, CMD_FUSE_WRITE, CMD_FUSE_VERIFY,
                             CMD_LOCK_READ, CMD_LOCK_VERIFY, CMD_OSCCAL_READ};
    else if (filter == 1)
        hidden = QStringList{CMD_OSCCAL_READ};
    for (const QString &code : hidden)
        list.removeAll(code);
    return list;
}

void TDevAVR8_SPI::initCmdParam(TData &data)
{
    const TData dev = params();
    switch (kindOf(codeOf(data))) {
    case Kind::Clock: setClkCmdParams(prgPar(), data); break;
    case Kind::FlashChar: setCharCmdDefaultsFlash(this, data); break;
    case Kind::FlashData: setDataCmdDefaultsFlash(this, data); break;
    case Kind::FlashFile: setFileCmdDefaultsFlash(this, data); break;
    case Kind::EepromChar: setCharCmdDefaultsEeprom(this, data); break;
    case Kind::EepromData: setDataCmdDefaultsEeprom(this, data); break;
    case Kind::EepromFile: setFileCmdDefaultsEeprom(this, data); break;
    case Kind::Fuse: data.insert(QLatin1String(REG_DATA), PARAM(dev, DEV_FUSE_DEF).toString()); break;
    case Kind::Lock: data.insert(QLatin1String(REG_DATA), PARAM(dev, DEV_LOCK_DEF).toString()); break;
    case Kind::Osccal: {
        QByteArray cal;
        hexStringToBytesChecked(PARAM(dev, DEV_OSCCAL_DEF).toString(), cal);
        data.insert(QLatin1String(REG_DATA), bytesToHexString(QByteArray(cal.size(), '\0')));
        break;
    }
    case Kind::Leave: setLeaveCmdDefaults(data, true); break;
    case Kind::Empty:
    case Kind::None: break;
    }
}

QString TDevAVR8_SPI::cmdParamText(const TData &data, QWidget *form)
{
    const QString code = codeOf(data);
    switch (kindOf(code)) {
    case Kind::Clock: return clkCmdText(data);
    case Kind::FlashChar: return charCmdTextFlash(data);
    case Kind::FlashData: return dataCmdTextFlash(data, code, form);
    case Kind::FlashFile: return fileCmdTextFlash(data);
    case Kind::EepromChar: return charCmdTextEeprom(data);
    case Kind::EepromData: return dataCmdTextEeprom(data, code, form);
    case Kind::EepromFile: return fileCmdTextEeprom(data);
    case Kind::Fuse:
        return dataText(data, form, code == QLatin1String(CMD_FUSE_READ));
    case Kind::Lock:
        return dataText(data, form, code == QLatin1String(CMD_LOCK_READ));
    case Kind::Osccal: return dataText(data, nullptr, false);
    case Kind::Leave: return leaveCmdText(data, true);
    case Kind::Empty:
    case Kind::None: break;
    }
    return QString();
}

QString TDevAVR8_SPI::dataText(const TData &data, QWidget *form, bool pushToForm)
{
    const QString text = schema::text(data, REG_DATA);
    // A form shown for a read command follows the value its last run stored.
    if (pushToForm && form)
        pushDevCfgData(form, data);
    return text;
}

QWidget *TDevAVR8_SPI::createCmdForm(const TData &data)
{
    switch (kindOf(codeOf(data))) {
    case Kind::Clock: return createClkCmdForm(prgPar(), data);
    case Kind::Empty: return newFormDevEmpty();
    case Kind::FlashChar: return createCharCmdFormFlash(this, data);
    case Kind::FlashData: return createDataCmdFormFlash(this, data);
    case Kind::FlashFile: return createFileCmdFormFlash(this, data);
    case Kind::EepromChar: return createCharCmdFormEeprom(this, data);
    case Kind::EepromData: return createDataCmdFormEeprom(this, data);
    case Kind::EepromFile: return createFileCmdFormEeprom(this, data);
    case Kind::Fuse: return createCfgForm(data, DEV_FUSE_DEF, DEV_FUSE_CFG, true);
    case Kind::Lock: return createCfgForm(data, DEV_LOCK_DEF, DEV_LOCK_CFG, true);
    case Kind::Osccal: return createCfgForm(data, DEV_OSCCAL_DEF, DEV_OSCCAL_CFG, false);
    case Kind::Leave: return createLeaveCmdForm(this, data, true);
    case Kind::None: break;
    }
    return nullptr;
}

QWidget *TDevAVR8_SPI::newFormDevEmpty()
{
    return new TFormDevEmpty;
}

// The fuse, lock and calibration forms: the byte image edited through the
// description's mark-up; a description without mark-up gives no form.
QWidget *TDevAVR8_SPI::createCfgForm(const TData &data, const char *defKey, const char *cfgKey, bool hexEdit)
{
    const TData dev = params();
    const QStringList markup = PARAM(dev, cfgKey).toStringList();
    if (markup.isEmpty())
        return nullptr;
    return new TFormDevCfg(schema::cmdId(data), schema::text(data, REG_DATA),
                           PARAM(dev, defKey).toString(), markup, hexEdit);
}

TData TDevAVR8_SPI::cmdParamFromForm(const TData &data)
{
    return data;
}

bool TDevAVR8_SPI::normalizeCmdParam(TData &data)
{
    const TData dev = params();
    const char *key = nullptr;
    switch (kindOf(codeOf(data))) {
    case Kind::Fuse: key = DEV_FUSE_DEF; break;
    case Kind::Lock: key = DEV_LOCK_DEF; break;
    case Kind::Osccal: key = DEV_OSCCAL_DEF; break;
    default: return false;
    }
    data.insert(QLatin1String(REG_DATA), PARAM(dev, key).toString());
    return true;
}

TCheck TDevAVR8_SPI::checkCmdParam(const TData &data)
{
    if (TCheck own = commandCheck(data); !own)
        return own;
    return descriptionCheck(data);
}

TCheck TDevAVR8_SPI::descriptionCheck(const TData &data)
{
    // What the executor asks of the description before it sends anything,
    // so that a run refuses the command before it starts.
    return TDevAVR8_SPI_Exec::describedCheck(params(), data);
}

TCheck TDevAVR8_SPI::commandCheck(const TData &data)
{
    const QString code = codeOf(data);
    switch (kindOf(code)) {
    case Kind::Clock: return isClkCmdValid(data);
    case Kind::Empty: return TCheck::valid();
    case Kind::FlashChar: return isCharCmdValidFlash(this, data);
    case Kind::FlashData: return isDataCmdValidFlash(this, data);
    case Kind::FlashFile: return isFileCmdValidFlash(this, data);
    case Kind::EepromChar: return isCharCmdValidEeprom(this, data);
    case Kind::EepromData: return isDataCmdValidEeprom(this, data);
    case Kind::EepromFile: return isFileCmdValidEeprom(this, data);
    case Kind::Fuse:
    case Kind::Lock: return regImageValid(code, params(), data);
    case Kind::Osccal: return TCheck::valid();
    case Kind::Leave: return isLeaveCmdValid(data, true);
    case Kind::None: break;
    }
    return TCheck::notOffered(code, name());
}

TCheck TDevAVR8_SPI::checkDevParam(const TData &data)
{
    return isClkCmdValid(data);
}

bool TDevAVR8_SPI::initDevParam(TData &data)
{
    setClkCmdParams(prgPar(), data);
    return true;
}

QWidget *TDevAVR8_SPI::createDevParamForm(const TData &data)
{
    return createClkCmdForm(prgPar(), data);
}

QByteArray TDevAVR8_SPI::devSetup(const TData &data)
{
    const quint32 clk = getClkCmdParams(data);
    const TData dev = params();
    const quint16 type = quint16(deviceTypeOf(PARAM(dev, DEV_PRG_TYPE).toString()) & 0xFFFF);
    const quint8 subtype = quint8(PARAM(dev, DEV_PRG_SUBTYPE).toUInt() & 0xFF);
    const bool flashPolling = PARAM(dev, DEV_FLASH_POLLING).toBool();
    const bool eepromPolling = PARAM(dev, DEV_EEPROM_POLLING).toBool();
    const quint16 page = quint16(PARAM(dev, DEV_FLASH_PAGE_SIZE).toUInt() & 0xFFFF);
    const quint32 flashDelay = PARAM(dev, DEV_FLASH_DELAY).toUInt();
    const quint32 eepromDelay = PARAM(dev, DEV_EEPROM_DELAY).toUInt();

    QByteArray record;
    record.append(char(type & 0xFF)).append(char(type >> 8)).append(char(subtype));
    for (int i = 0; i < 4; ++i)
        record.append(char((clk >> (8 * i)) & 0xFF));
    record.append(char(page != 0 ? 0 : avr8::timingByte(flashPolling, flashDelay)));
    record.append(char(avr8::timingByte(eepromPolling, eepromDelay)));
    return record;
}

IDeviceExec *TDevAVR8_SPI::createExec(const TData &data)
{
    return new TDevAVR8_SPI_Exec(data);
}
