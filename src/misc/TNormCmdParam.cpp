#include "misc/TNormCmdParam.h"

#include "core/consts.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "formats/TFormat.h"
#include "gui/forms/TFormDevLeave.h"
#include "gui/forms/TFormDevRWV.h"
#include "gui/forms/TFormDevSetCLK.h"
#include "link/TProg.h"
#include "misc/dev_misc.h"

#include <QRegularExpression>

#include <cstdlib>
#include <limits>

namespace {

const QString source = QStringLiteral("misc\\TNormCmdParam");

#define PARAM(data, key) getParam(source, __LINE__, data, QLatin1String(key))

struct Range
{
    qint64 begin = 0;
    qint64 size = 0;
};

Range deviceRange(IDevice *device, const char *beginKey, const char *sizeKey)
{
    Range r;
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

// n bytes from address lie within the range; with startInside the first
// address must also be a valid address of the range (n = 0 included).
bool fitsRange(qint64 address, qint64 n, const Range &range, bool startInside)
{
    qint64 end = 0, need = 0;
    if (n < 0 || range.size < 0 || !add(range.begin, range.size, end) || !add(address, n, need))
        return false;
    if (address < range.begin || need > end)
        return false;
    return !startInside || address < end;
}

bool checkInRange(bool (*check)(const TData &, qint64, qint64), const Range &range,
                  const TData &params)
{
    return check(params, range.begin, range.size);
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

bool isCharCmdValid(const TData &params, qint64 begin, qint64 size)
{
    const qint64 address = PARAM(params, CHAR_ADDR_DEVICE).toLongLong();
    const qint64 count = PARAM(params, CHAR_COUNT).toLongLong();
    return fitsRange(address, count, {begin, size}, true);
}

bool isCharCmdValidMain(IDevice *device, const TData &params)
{
    return checkInRange(isCharCmdValid, mainRange(device), params);
}

bool isCharCmdValidFlash(IDevice *device, const TData &params)
{
    return checkInRange(isCharCmdValid, flashRange(device), params);
}

bool isCharCmdValidEeprom(IDevice *device, const TData &params)
{
    return checkInRange(isCharCmdValid, eepromRange(device), params);
}

QString charCmdText(const TData &params)
{
    return rangeText(PARAM(params, CHAR_ADDR_DEVICE).toLongLong(),
                     PARAM(params, CHAR_COUNT).toLongLong(),
                     quint8(PARAM(params, CHAR_FILL_CHAR).toUInt()));
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

bool isDataCmdValid(const TData &params, qint64 begin, qint64 size)
{
    const qint64 address = PARAM(params, DATA_ADDR_DEVICE).toLongLong();
    const QString data = PARAM(params, DATA_DATA).toString();
    if (data.isEmpty())
        return false;
    static const QRegularExpression hexAndBlanks(QStringLiteral("\\A(?:[0-9A-Fa-f ])+\\z"));
    if (!hexAndBlanks.match(data).hasMatch())
        return false;
    QByteArray bytes;
    if (!hexStringToBytesChecked(data, bytes))
        return false;
    return fitsRange(address, bytes.size(), {begin, size}, false);
}

bool isDataCmdValidMain(IDevice *device, const TData &params)
{
    return checkInRange(isDataCmdValid, mainRange(device), params);
}

bool isDataCmdValidFlash(IDevice *device, const TData &params)
{
    return checkInRange(isDataCmdValid, flashRange(device), params);
}

bool isDataCmdValidEeprom(IDevice *device, const TData &params)
{
    return checkInRange(isDataCmdValid, eepromRange(device), params);
}

QString dataCmdText(const TData &params, const QString &code, QWidget *form)
{
    const int idCmd = PARAM(params, REC_ID_CMD).toInt();
    const qint64 address = PARAM(params, DATA_ADDR_DEVICE).toLongLong();
    const QString data = PARAM(params, DATA_DATA).toString();
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

bool isFileCmdValid(const TData &params, qint64 begin, qint64 size)
{
    const QString file = PARAM(params, FILE_FILE).toString();
    const QString format = PARAM(params, FILE_FORMAT).toString().toUpper();
    const qint64 addrFile = PARAM(params, FILE_ADDR_FILE).toLongLong();
    const qint64 address = PARAM(params, FILE_ADDR_DEVICE).toLongLong();
    const qint64 count = PARAM(params, FILE_COUNT).toLongLong();
    if (file.isEmpty() || !TFormat::formatList().contains(format) || addrFile < 0 || count < 0)
        return false;
    // The file window: any offset of a raw binary file, the 32-bit address
    // space of an Intel HEX file.
    const qint64 lastFileAddress = format.contains(QLatin1String("BIN"))
                                       ? std::numeric_limits<qint64>::max()
                                       : qint64(0xFFFFFFFF);
    if (addrFile > lastFileAddress || count - 1 > lastFileAddress - addrFile)
        return false;
    return fitsRange(address, count, {begin, size}, true);
}

bool isFileCmdValidMain(IDevice *device, const TData &params)
{
    return checkInRange(isFileCmdValid, mainRange(device), params);
}

bool isFileCmdValidFlash(IDevice *device, const TData &params)
{
    return checkInRange(isFileCmdValid, flashRange(device), params);
}

bool isFileCmdValidEeprom(IDevice *device, const TData &params)
{
    return checkInRange(isFileCmdValid, eepromRange(device), params);
}

QString fileCmdText(const TData &params)
{
    return formatFileText(PARAM(params, FILE_FORMAT).toString(), PARAM(params, FILE_FILE).toString());
}

QString fileCmdTextMain(const TData &params) { return fileCmdText(params); }
QString fileCmdTextFlash(const TData &params) { return fileCmdText(params); }
QString fileCmdTextEeprom(const TData &params) { return fileCmdText(params); }

// ---- Forms of the memory commands -----------------------------------------

TFormDevRWVChar *createCharCmdForm(const TData &params, qint64 begin, qint64 size, quint8 fill)
{
    auto *form = new TFormDevRWVChar(PARAM(params, REC_ID_CMD).toInt(),
                                     PARAM(params, CHAR_ADDR_DEVICE).toLongLong(),
                                     PARAM(params, CHAR_COUNT).toLongLong(),
                                     uchar(PARAM(params, CHAR_FILL_CHAR).toUInt()), nullptr);
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
    auto *form = new TFormDevRWVData(PARAM(params, REC_ID_CMD).toInt(),
                                     PARAM(params, DATA_ADDR_DEVICE).toLongLong(),
                                     PARAM(params, DATA_DATA).toString(), nullptr);
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
    auto *form = new TFormDevRWVFile(PARAM(params, REC_ID_CMD).toInt(),
                                     PARAM(params, FILE_FORMAT).toString(),
                                     PARAM(params, FILE_FILE).toString(),
                                     PARAM(params, FILE_ADDR_FILE).toLongLong(),
                                     PARAM(params, FILE_ADDR_DEVICE).toLongLong(),
                                     PARAM(params, FILE_COUNT).toLongLong(), nullptr);
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
    QString state = PARAM(refs.cmd->params(), LEAVE_STATE).toString();
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
    const CmdRefs refs = findCmd(PARAM(record, REC_ID_CMD).toInt());
    if (refs.cmd && refs.prog) {
        record.insert(QLatin1String(LEAVE_RESET), true);
        record.insert(QLatin1String(LEAVE_DURATION), refs.prog->resetDefault());
    }
}

bool isLeaveCmdValid(const TData &params, bool withReset)
{
    const CmdRefs refs = findCmd(params.value(QLatin1String(REC_ID_CMD)).toInt());
    if (!refs.cmd || !refs.prog)
        return false;
    const QString allowed = refs.prog->pinTypeLetters();
    for (const QChar c : PARAM(params, LEAVE_STATE).toString())
        if (c != QLatin1Char('-') && !allowed.contains(c))
            return false;
    if (!withReset)
        return true;
    if (!refs.device)
        return false;
    const int duration = PARAM(params, LEAVE_DURATION).toInt();
    const bool positive = PARAM(refs.device->params(), DEV_RESET_POL).toBool();
    if (duration == 0 || (duration > 0) != positive)
        return false;
    int minimum = 0, maximum = 0;
    refs.prog->resetRange(minimum, maximum);
    const qint64 magnitude = qAbs(qint64(duration));   // the smallest int has no int magnitude
    return minimum <= magnitude && magnitude <= maximum && magnitude <= maxDurationMagnitude;
}

QString leaveCmdText(const TData &params, bool withReset)
{
    const bool reset = withReset && PARAM(params, LEAVE_RESET).toBool();
    return (reset ? QStringLiteral("RESET, ") : QString())
           + pinStateText(PARAM(params, REC_ID_CMD).toInt());
}

QByteArray pinStateBytes(int idCmd, bool withReset)
{
    const CmdRefs refs = findCmd(idCmd);
    if (!refs.cmd || !refs.prog)
        return QByteArray();
    const TData record = refs.cmd->params();
    const quint16 duration = withReset ? quint16(PARAM(record, LEAVE_DURATION).toInt()) : 0;
    const int n = qMax(0, refs.prog->pinCountValue());
    const QString state = PARAM(record, LEAVE_STATE).toString().leftJustified(n, QLatin1Char('-'));
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
    const int idCmd = PARAM(params, REC_ID_CMD).toInt();
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
        reset = PARAM(params, LEAVE_RESET).toBool();
        duration = PARAM(params, LEAVE_DURATION).toInt();
        polarity = device && PARAM(device->params(), DEV_RESET_POL).toBool();
    }
    return new TFormDevLeave(idCmd, state, pins, refs.prog->pinTypeLetters(), refs.prog->pinTypes(),
                             withReset, reset, duration, polarity, minimum, maximum, byDefault,
                             nullptr);
}

// ---- Clock ----------------------------------------------------------------

void setClkCmdParams(const QString &section, TData &record)
{
    const CmdRefs refs = findCmd(PARAM(record, REC_ID_CMD).toInt());
    const int clk = refs.cmd && refs.prog ? refs.prog->clockDefault(section) : 0;
    record.insert(QLatin1String(SET_CLK_CLK), uint(clk));
}

bool isClkCmdValid(const TData &params)
{
    const CmdRefs refs = findCmd(PARAM(params, REC_ID_CMD).toInt());
    const qint64 clk = PARAM(params, SET_CLK_CLK).toUInt();
    if (!refs.cmd || !refs.device || !refs.prog)
        return false;
    const QString section = PARAM(refs.device->params(), DEV_PRG_PAR).toString();
    bool listed = false;
    int minimum = 0, maximum = 0;
    QVector<int> levels;
    refs.prog->clockList(section, listed, minimum, maximum, levels);
    if (clk == 0 || clk < minimum || clk > maximum)
        return false;
    return !listed || levels.contains(int(clk));
}

QString clkCmdText(const TData &params)
{
    return freqText(int(PARAM(params, SET_CLK_CLK).toUInt()));
}

TFormDevSetCLK *createClkCmdForm(const QString &section, const TData &params)
{
    const int idCmd = PARAM(params, REC_ID_CMD).toInt();
    const CmdRefs refs = findCmd(idCmd);
    if (!refs.cmd || !refs.prog)
        return nullptr;
    bool listed = false;
    int minimum = 0, maximum = 0;
    QVector<int> levels;
    refs.prog->clockList(section, listed, minimum, maximum, levels);
    return new TFormDevSetCLK(idCmd, int(PARAM(params, SET_CLK_CLK).toUInt()), listed, minimum,
                              maximum, refs.prog->clockDefault(section), levels, nullptr);
}
