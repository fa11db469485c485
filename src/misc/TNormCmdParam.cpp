#include "misc/TNormCmdParam.h"

#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "devices/check_messages.h"
#include "devices/param_schema.h"
#include "formats/TFormat.h"
#include "gui/forms/TFormDevLeave.h"
#include "gui/forms/TFormDevRWV.h"
#include "gui/forms/TFormDevSetCLK.h"
#include "link/TProg.h"
#include "misc/dev_misc.h"


#include <cstdlib>
#include <limits>

namespace {

const QString source = QStringLiteral("misc\\TNormCmdParam");

#define PARAM(data, key) getParam(source, __LINE__, data, QLatin1String(key))

struct Range
{
    qint64 begin = 0;
    qint64 size = 0;
    const char *sizeKey = DEV_SIZE;   // the device's key of the size, named when it is empty
};

Range deviceRange(IDevice *device, const char *beginKey, const char *sizeKey)
{
    Range r;
    r.sizeKey = sizeKey;
    if (device) {
        const TData p = device->params();
        r.begin = PARAM(p, beginKey).toLongLong();
        r.size = PARAM(p, sizeKey).toLongLong();
    }
    return r;
}

Range mainRange(IDevice *d) { return deviceRange(d, DEV_ADDR_BEGIN, DEV_SIZE); }
Range flashRange(IDevice *d) { return deviceRange(d, DEV_FLASH_ADDR_BEGIN, DEV_FLASH_SIZE); }
Range eepromRange(IDevice *d) { return deviceRange(d, DEV_EEPROM_ADDR_BEGIN, DEV_EEPROM_SIZE); }

// a + b, false when the sum does not fit 64 bits.
bool add(qint64 a, qint64 b, qint64 &sum)
{
    if ((b > 0 && a > std::numeric_limits<qint64>::max() - b)
        || (b < 0 && a < std::numeric_limits<qint64>::min() - b))
        return false;
    sum = a + b;
    return true;
}

template <typename... Values>
QString msg(int number, const Values &...values)
{
    return lang.text(number, values...);
}

// n bytes (the value of countKey) from address (the value of addressKey)
// lie within the range; with startInside the first address must also be
// an address of the range (n = 0 included).
TCheck rangeCheck(const char *addressKey, qint64 address, const char *countKey, qint64 n,
                  const Range &range, bool startInside)
{
    qint64 end = 0, need = 0;
    if (range.size <= 0 || !add(range.begin, range.size, end))
        return TCheck::refused(range.sizeKey, msg(checkmsg::NO_MEMORY, range.size));
    if (n < 0)
        return TCheck::refused(countKey, msg(checkmsg::NEGATIVE).arg(n));
    const QString last = hexText64(end - 1);
    if (address < range.begin)
        return TCheck::refused(addressKey, msg(checkmsg::BEFORE_FIRST)
                                               .arg(QString::number(address), hexText64(address),
                                                    hexText64(range.begin)));
    if (address >= end && (startInside || n > 0))
        return TCheck::refused(addressKey, msg(checkmsg::PAST_LAST)
                                               .arg(QString::number(address), hexText64(address), last));
    if (!add(address, n, need) || need > end)
        return TCheck::refused(countKey, msg(checkmsg::COUNT_PAST, n, hexText64(address), last));
    return TCheck::valid();
}

TCheck checkInRange(TCheck (*check)(const TData &, qint64, qint64, const char *), const Range &range,
                    const TData &params)
{
    return check(params, range.begin, range.size, range.sizeKey);
}

// The command record and what it refers to; each may be null.
struct CmdRefs
{
    TDataCmd *cmd = nullptr;
    TProg *prog = nullptr;
    IDevice *device = nullptr;
};

CmdRefs findCmd(int idCmd)
{
    CmdRefs r;
    r.cmd = dataPrj.cmdById(idCmd);
    if (r.cmd) {
        r.prog = r.cmd->prog();
        r.device = r.cmd->device();
    }
    return r;
}

// The reset pulse travels as a signed 16-bit number.
constexpr int maxDurationMagnitude = 32767;

// The command is in the project and has a programmer, and a device when
// withDevice.
TCheck refsCheck(const CmdRefs &refs, bool withDevice)
{
    if (!refs.cmd)
        return TCheck::refused(REC_ID_CMD, msg(checkmsg::NOT_IN_PROJECT));
    if (withDevice && !refs.device)
        return TCheck::refused(SET_DEVICE_DEVICE, msg(checkmsg::NO_DEVICE));
    if (!refs.prog)
        return TCheck::refused(SET_PROG_PROG, msg(checkmsg::NO_PROG));
    return TCheck::valid();
}

} // namespace

// ---- Fill character -------------------------------------------------------

void setCharCmdParams(TData &record, qint64 address, qint64 count, quint8 fill)
{
    record.insert(QLatin1String(CHAR_ADDR_DEVICE), address);
    record.insert(QLatin1String(CHAR_COUNT), count);
    record.insert(QLatin1String(CHAR_FILL_CHAR), int(fill));
}

void setCharCmdDefaultsMain(IDevice *device, TData &record)
{
    const Range r = mainRange(device);
    setCharCmdParams(record, r.begin, r.size, 0xFF);
}

void setCharCmdDefaultsFlash(IDevice *device, TData &record)
{
    const Range r = flashRange(device);
    setCharCmdParams(record, r.begin, r.size, 0xFF);
}

void setCharCmdDefaultsEeprom(IDevice *device, TData &record)
{
    const Range r = eepromRange(device);
    setCharCmdParams(record, r.begin, r.size, 0xFF);
}

TCheck isCharCmdValid(const TData &params, qint64 begin, qint64 size, const char *sizeKey)
{
    const qint64 address = schema::integer(params, CHAR_ADDR_DEVICE);
    const qint64 count = schema::integer(params, CHAR_COUNT);
    return rangeCheck(CHAR_ADDR_DEVICE, address, CHAR_COUNT, count, {begin, size, sizeKey}, true);
}

TCheck isCharCmdValidMain(IDevice *device, const TData &params)
{
    return checkInRange(isCharCmdValid, mainRange(device), params);
}

TCheck isCharCmdValidFlash(IDevice *device, const TData &params)
{
    return checkInRange(isCharCmdValid, flashRange(device), params);
}

TCheck isCharCmdValidEeprom(IDevice *device, const TData &params)
{
    return checkInRange(isCharCmdValid, eepromRange(device), params);
}

QString charCmdText(const TData &params)
{
    return rangeText(schema::integer(params, CHAR_ADDR_DEVICE), schema::integer(params, CHAR_COUNT),
                     quint8(schema::integer(params, CHAR_FILL_CHAR)));
}

QString charCmdTextMain(const TData &params) { return charCmdText(params); }
QString charCmdTextFlash(const TData &params) { return charCmdText(params); }
QString charCmdTextEeprom(const TData &params) { return charCmdText(params); }

// ---- Hex data -------------------------------------------------------------

void setDataCmdParams(TData &record, qint64 address, const QString &data)
{
    record.insert(QLatin1String(DATA_ADDR_DEVICE), address);
    record.insert(QLatin1String(DATA_DATA), data);
}

void setDataCmdDefaultsMain(IDevice *device, TData &record)
{
    setDataCmdParams(record, mainRange(device).begin, QString());
}

void setDataCmdDefaultsFlash(IDevice *device, TData &record)
{
    setDataCmdParams(record, flashRange(device).begin, QString());
}

void setDataCmdDefaultsEeprom(IDevice *device, TData &record)
{
    setDataCmdParams(record, eepromRange(device).begin, QString());
}

TCheck isDataCmdValid(const TData &params, qint64 begin, qint64 size, const char *sizeKey)
{
    const qint64 address = schema::integer(params, DATA_ADDR_DEVICE);
    const QString data = schema::text(params, DATA_DATA);
    if (data.isEmpty())
        return TCheck::refused(DATA_DATA, msg(checkmsg::NO_DATA));
    QByteArray bytes;
    if (!schema::readHex(data, bytes))
        return TCheck::refused(DATA_DATA, notWholeHexReason(data));
    return rangeCheck(DATA_ADDR_DEVICE, address, DATA_DATA, bytes.size(), {begin, size, sizeKey}, false);
}

TCheck isDataCmdValidMain(IDevice *device, const TData &params)
{
    return checkInRange(isDataCmdValid, mainRange(device), params);
}

TCheck isDataCmdValidFlash(IDevice *device, const TData &params)
{
    return checkInRange(isDataCmdValid, flashRange(device), params);
}

TCheck isDataCmdValidEeprom(IDevice *device, const TData &params)
{
    return checkInRange(isDataCmdValid, eepromRange(device), params);
}

QString dataCmdText(const TData &params, const QString &code, QWidget *form)
{
    const int idCmd = schema::cmdId(params);
    const qint64 address = schema::integer(params, DATA_ADDR_DEVICE);
    const QString data = schema::text(params, DATA_DATA);
    if (form && code.contains(QLatin1String("read"))) {
        auto *shown = qobject_cast<TFormDevRWVData *>(form);
        if (shown && shown->idCmd() == idCmd)
            shown->setData(data);
    }
    return rangeSizeText(address, data);
}

QString dataCmdTextMain(const TData &params, const QString &code, QWidget *form)
{
    return dataCmdText(params, code, form);
}

QString dataCmdTextFlash(const TData &params, const QString &code, QWidget *form)
{
    return dataCmdText(params, code, form);
}

QString dataCmdTextEeprom(const TData &params, const QString &code, QWidget *form)
{
    return dataCmdText(params, code, form);
}

// ---- File -----------------------------------------------------------------

void setFileCmdDefaults(TData &record, qint64 begin, qint64 size)
{
    record.insert(QLatin1String(FILE_FORMAT), QStringLiteral("HEX"));
    record.insert(QLatin1String(FILE_FILE), QString());
    record.insert(QLatin1String(FILE_ADDR_FILE), 0);
    record.insert(QLatin1String(FILE_ADDR_DEVICE), begin);
    record.insert(QLatin1String(FILE_COUNT), size);
}

void setFileCmdDefaultsMain(IDevice *device, TData &record)
{
    const Range r = mainRange(device);
    setFileCmdDefaults(record, r.begin, r.size);
}

void setFileCmdDefaultsFlash(IDevice *device, TData &record)
{
    const Range r = flashRange(device);
    setFileCmdDefaults(record, r.begin, r.size);
}

void setFileCmdDefaultsEeprom(IDevice *device, TData &record)
{
    const Range r = eepromRange(device);
    setFileCmdDefaults(record, r.begin, r.size);
}

TCheck isFileCmdValid(const TData &params, qint64 begin, qint64 size, const char *sizeKey)
{
    const QString file = schema::text(params, FILE_FILE);
    const QString format = schema::text(params, FILE_FORMAT).toUpper();
    const qint64 addrFile = schema::integer(params, FILE_ADDR_FILE);
    const qint64 address = schema::integer(params, FILE_ADDR_DEVICE);
    const qint64 count = schema::integer(params, FILE_COUNT);
    if (file.isEmpty())
        return TCheck::refused(FILE_FILE, msg(checkmsg::NO_FILE));
    if (!TFormat::formatList().contains(format))
        return TCheck::refused(FILE_FORMAT, msg(checkmsg::NOT_FORMAT).arg(schema::text(params, FILE_FORMAT)));
    if (addrFile < 0)
        return TCheck::refused(FILE_ADDR_FILE, msg(checkmsg::NEGATIVE).arg(addrFile));
    if (TCheck inside = rangeCheck(FILE_ADDR_DEVICE, address, FILE_COUNT, count, {begin, size, sizeKey}, true);
        !inside)
        return inside;
    // The file window: any offset of a raw binary file, the 32-bit address
    // space of an Intel HEX file.
    const bool binary = format.contains(QLatin1String("BIN"));
    const qint64 lastFileAddress = binary ? std::numeric_limits<qint64>::max() : qint64(0xFFFFFFFF);
    if (!binary && addrFile > lastFileAddress)
        return TCheck::refused(FILE_ADDR_FILE, msg(checkmsg::HEX_ADDRESS).arg(hexText64(addrFile)));
    if (!binary && count - 1 > lastFileAddress - addrFile)
        return TCheck::refused(FILE_COUNT, msg(checkmsg::HEX_COUNT, count, hexText64(addrFile)));
    if (count - 1 > lastFileAddress - addrFile)
        return TCheck::outside(FILE_ADDR_FILE, addrFile, 0, lastFileAddress - (count - 1));
    return TCheck::valid();
}

TCheck isFileCmdValidMain(IDevice *device, const TData &params)
{
    return checkInRange(isFileCmdValid, mainRange(device), params);
}

TCheck isFileCmdValidFlash(IDevice *device, const TData &params)
{
    return checkInRange(isFileCmdValid, flashRange(device), params);
}

TCheck isFileCmdValidEeprom(IDevice *device, const TData &params)
{
    return checkInRange(isFileCmdValid, eepromRange(device), params);
}

QString fileCmdText(const TData &params)
{
    return formatFileText(schema::text(params, FILE_FORMAT), schema::text(params, FILE_FILE));
}

QString fileCmdTextMain(const TData &params) { return fileCmdText(params); }
QString fileCmdTextFlash(const TData &params) { return fileCmdText(params); }
QString fileCmdTextEeprom(const TData &params) { return fileCmdText(params); }

// ---- Forms of the memory commands -----------------------------------------

TFormDevRWVChar *createCharCmdForm(const TData &params, qint64 begin, qint64 size, quint8 fill)
{
    auto *form = new TFormDevRWVChar(schema::cmdId(params), schema::integer(params, CHAR_ADDR_DEVICE),
                                     schema::integer(params, CHAR_COUNT),
                                     uchar(schema::integer(params, CHAR_FILL_CHAR)), nullptr);
    form->setRange(begin, size);
    form->setDefault(begin, size, fill);
    return form;
}

TFormDevRWVChar *createCharCmdFormMain(IDevice *device, const TData &params)
{
    const Range r = mainRange(device);
    return createCharCmdForm(params, r.begin, r.size, 0xFF);
}

TFormDevRWVChar *createCharCmdFormFlash(IDevice *device, const TData &params)
{
    const Range r = flashRange(device);
    return createCharCmdForm(params, r.begin, r.size, 0xFF);
}

TFormDevRWVChar *createCharCmdFormEeprom(IDevice *device, const TData &params)
{
    const Range r = eepromRange(device);
    return createCharCmdForm(params, r.begin, r.size, 0xFF);
}

TFormDevRWVData *createDataCmdForm(const TData &params, qint64 begin, qint64 size)
{
    auto *form = new TFormDevRWVData(schema::cmdId(params),
                                     schema::integer(params, DATA_ADDR_DEVICE),
                                     schema::text(params, DATA_DATA), nullptr);
    form->setRange(begin, size);
    form->setDefault(begin);
    return form;
}

TFormDevRWVData *createDataCmdFormMain(IDevice *device, const TData &params)
{
    const Range r = mainRange(device);
    return createDataCmdForm(params, r.begin, r.size);
}

TFormDevRWVData *createDataCmdFormFlash(IDevice *device, const TData &params)
{
    const Range r = flashRange(device);
    return createDataCmdForm(params, r.begin, r.size);
}

TFormDevRWVData *createDataCmdFormEeprom(IDevice *device, const TData &params)
{
    const Range r = eepromRange(device);
    return createDataCmdForm(params, r.begin, r.size);
}

TFormDevRWVFile *createFileCmdForm(const TData &params, qint64 begin, qint64 size)
{
    auto *form = new TFormDevRWVFile(schema::cmdId(params),
                                     schema::text(params, FILE_FORMAT),
                                     schema::text(params, FILE_FILE),
                                     schema::integer(params, FILE_ADDR_FILE),
                                     schema::integer(params, FILE_ADDR_DEVICE),
                                     schema::integer(params, FILE_COUNT), nullptr);
    form->setBasePath(dataPrj.workPath());
    form->setRange(begin, size);
    form->setDefault(0, begin, size);
    return form;
}

TFormDevRWVFile *createFileCmdFormMain(IDevice *device, const TData &params)
{
    const Range r = mainRange(device);
    return createFileCmdForm(params, r.begin, r.size);
}

TFormDevRWVFile *createFileCmdFormFlash(IDevice *device, const TData &params)
{
    const Range r = flashRange(device);
    return createFileCmdForm(params, r.begin, r.size);
}

TFormDevRWVFile *createFileCmdFormEeprom(IDevice *device, const TData &params)
{
    const Range r = eepromRange(device);
    return createFileCmdForm(params, r.begin, r.size);
}

// ---- Pin states -----------------------------------------------------------

QString pinStateText(int idCmd)
{
    const CmdRefs refs = findCmd(idCmd);
    if (!refs.cmd)
        return QString();
    QString state = schema::text(refs.cmd->toHash(), LEAVE_STATE);
    if (refs.prog) {
        const int n = qMax(0, refs.prog->pinCountValue());
        state = state.left(n).leftJustified(n, QLatin1Char('-'));
    }
    return state;
}

void setLeaveCmdDefaults(TData &record, bool withReset)
{
    record.insert(QLatin1String(LEAVE_STATE), QString());
    if (!withReset)
        return;
    const CmdRefs refs = findCmd(schema::cmdId(record));
    if (refs.cmd && refs.prog) {
        record.insert(QLatin1String(LEAVE_RESET), true);
        record.insert(QLatin1String(LEAVE_DURATION), refs.prog->resetDefault());
    }
}

TCheck isLeaveCmdValid(const TData &params, bool withReset)
{
    const CmdRefs refs = findCmd(schema::cmdId(params));
    if (TCheck found = refsCheck(refs, false); !found)
        return found;
    const QString allowed = refs.prog->pinTypeLetters();
    for (const QChar c : schema::text(params, LEAVE_STATE))
        if (c != QLatin1Char('-') && !allowed.contains(c))
            return TCheck::refused(LEAVE_STATE, msg(checkmsg::PIN_LETTER).arg(c).arg(allowed));
    if (!withReset)
        return TCheck::valid();
    if (TCheck found = refsCheck(refs, true); !found)
        return found;
    const int duration = int(schema::integer(params, LEAVE_DURATION));
    const bool positive = PARAM(refs.device->params(), DEV_RESET_POL).toBool();
    if (duration == 0)
        return TCheck::refused(LEAVE_DURATION, msg(checkmsg::PULSE_ZERO));
    if ((duration > 0) != positive)
        return TCheck::refused(LEAVE_DURATION,
                               msg(positive ? checkmsg::PULSE_POSITIVE : checkmsg::PULSE_NEGATIVE).arg(duration));
    int minimum = 0, maximum = 0;
    refs.prog->resetRange(minimum, maximum);
    const qint64 magnitude = qAbs(qint64(duration));   // the smallest int has no int magnitude
    if (minimum <= magnitude && magnitude <= maximum && magnitude <= maxDurationMagnitude)
        return TCheck::valid();
    return TCheck::outside(LEAVE_DURATION, magnitude, minimum, qMin<qint64>(maximum, maxDurationMagnitude));
}

QString leaveCmdText(const TData &params, bool withReset)
{
    const bool reset = withReset && schema::flag(params, LEAVE_RESET);
    return (reset ? QStringLiteral("RESET, ") : QString())
           + pinStateText(schema::cmdId(params));
}

QByteArray pinStateBytes(int idCmd, bool withReset)
{
    const CmdRefs refs = findCmd(idCmd);
    if (!refs.cmd || !refs.prog)
        return QByteArray();
    const TData record = refs.cmd->toHash();
    const quint16 duration = withReset ? quint16(int(schema::integer(record, LEAVE_DURATION))) : 0;
    const int n = qMax(0, refs.prog->pinCountValue());
    const QString state = schema::text(record, LEAVE_STATE).leftJustified(n, QLatin1Char('-'));
    QByteArray out;
    out.reserve(2 + n);
    out.append(char(duration & 0xFF));
    out.append(char(duration >> 8));
    for (int i = 0; i < n; ++i)
        out.append(char(TProg::pinTypeCode(state.at(i))));
    return out;
}

TFormDevLeave *createLeaveCmdForm(IDevice *device, const TData &params, bool withReset)
{
    const int idCmd = schema::cmdId(params);
    const QString state = pinStateText(idCmd);
    const CmdRefs refs = findCmd(idCmd);
    if (!refs.cmd || !refs.prog)
        return nullptr;
    const QStringList pins = refs.prog->pinsDescription(device ? device->prgCon() : QString(), true);
    bool reset = false, polarity = false;
    int duration = 0, minimum = 0, maximum = 0, byDefault = 0;
    if (withReset) {
        refs.prog->resetRange(minimum, maximum);
        byDefault = refs.prog->resetDefault();
        reset = schema::flag(params, LEAVE_RESET);
        duration = int(schema::integer(params, LEAVE_DURATION));
        polarity = device && PARAM(device->params(), DEV_RESET_POL).toBool();
    }
    return new TFormDevLeave(idCmd, state, pins, refs.prog->pinTypeLetters(), refs.prog->pinTypes(),
                             withReset, reset, duration, polarity, minimum, maximum, byDefault,
                             nullptr);
}

// ---- Clock ----------------------------------------------------------------

void setClkCmdParams(const QString &section, TData &record)
{
    const CmdRefs refs = findCmd(schema::cmdId(record));
    const int clk = refs.cmd && refs.prog ? refs.prog->clockDefault(section) : 0;
    record.insert(QLatin1String(SET_CLK_CLK), uint(clk));
}

TCheck isClkCmdValid(const TData &params)
{
    const CmdRefs refs = findCmd(schema::cmdId(params));
    const qint64 clk = schema::integer(params, SET_CLK_CLK);
    if (TCheck found = refsCheck(refs, true); !found)
        return found;
    const QString section = PARAM(refs.device->params(), DEV_PRG_PAR).toString();
    bool listed = false;
    int minimum = 0, maximum = 0;
    QVector<int> levels;
    refs.prog->clockList(section, listed, minimum, maximum, levels);
    if (clk == 0 || clk < minimum || clk > maximum)
        return TCheck::outside(SET_CLK_CLK, clk, qMax(1, minimum), maximum);
    if (listed && !levels.contains(int(clk)))
        return TCheck::refused(SET_CLK_CLK, msg(checkmsg::NOT_LISTED).arg(clk).arg(numberListText(levels)));
    return TCheck::valid();
}

QString clkCmdText(const TData &params)
{
    return freqText(int(schema::integer(params, SET_CLK_CLK)));
}

TFormDevSetCLK *createClkCmdForm(const QString &section, const TData &params)
{
    const int idCmd = schema::cmdId(params);
    const CmdRefs refs = findCmd(idCmd);
    if (!refs.cmd || !refs.prog)
        return nullptr;
    bool listed = false;
    int minimum = 0, maximum = 0;
    QVector<int> levels;
    refs.prog->clockList(section, listed, minimum, maximum, levels);
    return new TFormDevSetCLK(idCmd, int(schema::integer(params, SET_CLK_CLK)), listed, minimum,
                              maximum, refs.prog->clockDefault(section), levels, nullptr);
}
