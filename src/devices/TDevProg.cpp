#include "devices/TDevProg.h"

#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/TDevProgExec.h"
#include "devices/check_messages.h"
#include "devices/param_schema.h"
#include "devices/prog_values.h"
#include "gui/forms/TFormDevLeave.h"
#include "gui/forms/TFormProgAutoDetect.h"
#include "gui/forms/TFormProgGenerator.h"
#include "gui/forms/TFormProgReset.h"
#include "gui/forms/TFormProgSetDevice.h"
#include "gui/forms/TFormProgSupply.h"
#include "link/TProg.h"
#include "misc/TNormCmdParam.h"
#include "misc/dev_misc.h"

#include <QVector>

namespace {

const QString source = QStringLiteral("devices\\TDevProg");

#define PARAM(data, key) getParam(source, __LINE__, data, QLatin1String(key))

QString msg(int number)
{
    return lang.text(number);
}

const TDataCmd *commandOf(const TData &data)
{
    return dataPrj.cmdById(schema::cmdId(data));
}

// The programmer description in force for the command; null without either.
TProg *progOf(const TData &data)
{
    const TDataCmd *cmd = commandOf(data);
    return cmd ? cmd->prog() : nullptr;
}

// "%1" with one decimal ("5.0") or three ("20.000"), always with a point.
QString fixed(const QVariant &value, int decimals)
{
    return QString::number(value.toDouble(), 'f', decimals).replace(QLatin1Char(','), QLatin1Char('.'));
}

using Range = void (TProg::*)(double &, double &) const;

// The value is a number that fits its field (a voltage byte when currentMax
// is 0, else a current of at most currentMax microamperes) and lies within
// the description's range, compared in tenths.
TCheck supplyValid(const TData &data, const char *key, qint64 currentMax, const TProg *prog, Range range)
{
    const QVariant stored = schema::value(data, key);
    quint8 volts = 0;
    quint32 micro = 0;
    const bool fits = currentMax ? progvalue::currentMicro(stored, currentMax, micro)
                                 : progvalue::voltageByte(stored, volts);
    double value = 0, min = 0, max = 0;
    const QString text = stored.toString().trimmed();
    const int decimals = currentMax ? 3 : 1;   // as the summary shows volts and milliamperes
    (prog->*range)(min, max);
    // The programmer's range says more than the field it travels in.
    if (schema::readReal(stored, value) && !progvalue::inTenths(value, min, max))
        return TCheck::outside(key, text, fixed(min, decimals), fixed(max, decimals));
    if (!fits) {
        // The field: tenths of a volt in a byte, or microamperes.
        const double fieldMax = currentMax ? double(currentMax) / 1000.0 : double(progvalue::VOLTAGE_MAX) / 10.0;
        return TCheck::outside(key, text, fixed(0, decimals), fixed(fieldMax, decimals));
    }
    return TCheck::valid();
}

using Default = double (TProg::*)() const;

// The form of a voltage with its current limit and protection, with the
// limits of the programmer in force; none without it.
template <class Form>
QWidget *supplyPairForm(const TData &data, const char *voltageKey, const char *currentKey, Range voltageRange,
                        Default voltageDefault, Range currentRange, Default currentDefault)
{
    const TProg *prog = progOf(data);
    if (!prog)
        return nullptr;
    double vMin = 0, vMax = 0, iMin = 0, iMax = 0;
    (prog->*voltageRange)(vMin, vMax);
    (prog->*currentRange)(iMin, iMax);
    return new Form(schema::cmdId(data), schema::real(data, voltageKey), schema::real(data, currentKey),
                    schema::flag(data, SUPPLY_OCP), vMin, vMax,
                    (prog->*voltageDefault)(), iMin, iMax, (prog->*currentDefault)());
}

TCheck resetValid(const TData &data, const TProg *prog)
{
    qint16 duration = 0;
    const QVariant stored = schema::value(data, RESET_DURATION);
    if (!progvalue::duration16(stored, duration))
        return TCheck::outside(RESET_DURATION, stored.toString(), QString::number(progvalue::DURATION_MIN),
                               QString::number(progvalue::DURATION_MAX));
    if (duration == 0)
        return TCheck::refused(RESET_DURATION, msg(checkmsg::PULSE_ZERO));
    int min = 0, max = 0;
    prog->resetRange(min, max);
    const qint64 magnitude = qAbs(qint64(duration));
    if (min <= magnitude && magnitude <= max)
        return TCheck::valid();
    return TCheck::outside(RESET_DURATION, magnitude, min, max);
}

TCheck generatorValid(const TData &data, const TProg *prog)
{
    quint32 freq = 0;
    quint16 dutyWire = 0;
    const QVariant storedFreq = schema::value(data, GEN_FREQ);
    const QVariant storedDuty = schema::value(data, GEN_DUTY);
    if (!progvalue::frequency32(storedFreq, freq))
        return TCheck::outside(GEN_FREQ, storedFreq.toString(), QStringLiteral("0"), QString::number(progvalue::FREQ_MAX));
    if (!progvalue::duty16(storedDuty, dutyWire))
        return TCheck::outside(GEN_DUTY, storedDuty.toString(), QStringLiteral("0"),
                               QString::number(progvalue::DUTY_MAX / 10));
    const qint64 duty = dutyWire / 10;
    bool freqList = false, dutyShown = false, dutyList = false;
    int freqMin = 0, freqMax = 0, dutyMin = 0, dutyMax = 0;
    QVector<int> freqs, duties;
    prog->generatorLists(freqList, freqMin, freqMax, freqs, dutyShown, dutyList, dutyMin, dutyMax, duties);
    if (qint64(freq) < freqMin || qint64(freq) > freqMax)
        return TCheck::outside(GEN_FREQ, freq, freqMin, freqMax);
    if (freqList && !freqs.contains(int(freq)))
        return TCheck::refused(GEN_FREQ, msg(checkmsg::NOT_LISTED).arg(freq).arg(numberListText(freqs)));
    // The duty is sent even where the user is not offered it, so its limits
    // hold all the same; only its list needs the duty to be offered.
    if (duty < dutyMin || duty > dutyMax)
        return TCheck::outside(GEN_DUTY, duty, dutyMin, dutyMax);
    if (dutyShown && dutyList && !duties.contains(int(duty)))
        return TCheck::refused(GEN_DUTY, msg(checkmsg::NOT_LISTED).arg(duty).arg(numberListText(duties)));
    return TCheck::valid();
}

} // namespace

TDevProg::TDevProg(const QString &name, const TData &params) : TDevGroup(name)
{
    setObjectName(GROUP_PROG);
    TData data = params;
    data.insert(DEV_RESET, false);
    setParams(data);
}

TDevProg::~TDevProg() = default;

IDevice *TDevProg::create(const QString &name, const TData &params)
{
    return new TDevProg(name, params);
}

QStringList TDevProg::cmdCodeList()
{
    return {CMD_SET_DEVICE, CMD_AUTO_DETECT, CMD_RESET,   CMD_GENERATOR, CMD_SET_IO,
            CMD_SET_VCC,    CMD_SET_VPP,     CMD_SET_VICC, CMD_SET_VIPP};
}

bool TDevProg::hasCommand(const QString &code)
{
    return cmdCodeList().contains(code, Qt::CaseSensitive);
}

bool TDevProg::hasCmd(const QString &code)
{
    return hasCommand(code);
}

QStringList TDevProg::cmdList()
{
    return cmdCodeList();
}

void TDevProg::initCmdParam(TData &data)
{
    const QString code = schema::cmdCode(data);
    const TProg *prog = progOf(data);
    if (code == QLatin1String(CMD_SET_DEVICE)) {
        data.insert(QLatin1String(SET_DEVICE_DEVICE), QString());
    } else if (code == QLatin1String(CMD_AUTO_DETECT)) {
        data.insert(QLatin1String(AUTO_EXECUTE), 0);
        data.insert(QLatin1String(AUTO_STOP), 1);
        data.insert(QLatin1String(AUTO_NAME), QString());
        data.insert(QLatin1String(AUTO_ROUTE), QString());
    } else if (code == QLatin1String(CMD_RESET)) {
        data.insert(QLatin1String(RESET_DURATION), prog ? prog->resetDefault() : 0);
    } else if (code == QLatin1String(CMD_GENERATOR)) {
        int freq = 0, duty = 0;
        if (prog)
            prog->generatorDefaults(freq, duty);
        data.insert(QLatin1String(GEN_FREQ), freq);
        data.insert(QLatin1String(GEN_DUTY), duty);
    } else if (code == QLatin1String(CMD_SET_IO)) {
        setLeaveCmdDefaults(data, false);
    } else if (!prog) {
        return;
    } else if (code == QLatin1String(CMD_SET_VCC)) {
        data.insert(QLatin1String(SUPPLY_VCC), prog->vccDefault());
    } else if (code == QLatin1String(CMD_SET_VPP)) {
        data.insert(QLatin1String(SUPPLY_VPP), prog->vppDefault());
    } else if (code == QLatin1String(CMD_SET_VICC)) {
        data.insert(QLatin1String(SUPPLY_VCC), prog->vccDefault());
        data.insert(QLatin1String(SUPPLY_ICC), prog->iccDefault());
        data.insert(QLatin1String(SUPPLY_OCP), true);
    } else if (code == QLatin1String(CMD_SET_VIPP)) {
        data.insert(QLatin1String(SUPPLY_VPP), prog->vppDefault());
        data.insert(QLatin1String(SUPPLY_IPP), prog->ippDefault());
        data.insert(QLatin1String(SUPPLY_OCP), true);
    }
}

QString TDevProg::cmdParamText(const TData &data, QWidget *form)
{
    Q_UNUSED(form)
    const QString code = schema::cmdCode(data);
    if (code == QLatin1String(CMD_SET_DEVICE))
        return schema::text(data, SET_DEVICE_DEVICE);
    if (code == QLatin1String(CMD_AUTO_DETECT)) {
        return QStringLiteral("%1: %2, %3")
            .arg(schema::text(data, AUTO_NAME),
                 schema::flag(data, AUTO_EXECUTE) ? QStringLiteral("Execute") : QStringLiteral("Jamp"),
                 schema::flag(data, AUTO_STOP) ? QStringLiteral("Stop") : QStringLiteral("Skip"));
    }
    if (code == QLatin1String(CMD_RESET))
        return QStringLiteral("%1 ms").arg(int(schema::integer(data, RESET_DURATION)));
    if (code == QLatin1String(CMD_GENERATOR)) {
        const TProg *prog = progOf(data);
        if (!prog)
            return QString();
        bool freqList = false, dutyShown = false, dutyList = false;
        int freqMin = 0, freqMax = 0, dutyMin = 0, dutyMax = 0;
        QVector<int> freqs, duties;
        prog->generatorLists(freqList, freqMin, freqMax, freqs, dutyShown, dutyList, dutyMin, dutyMax, duties);
        const int freq = int(schema::integer(data, GEN_FREQ));
        return dutyShown ? generatorText(freq, int(schema::integer(data, GEN_DUTY))) : freqText(freq);
    }
    if (code == QLatin1String(CMD_SET_IO))
        return leaveCmdText(data, false);
    if (code == QLatin1String(CMD_SET_VCC))
        return QStringLiteral("%1 V").arg(fixed(schema::real(data, SUPPLY_VCC), 1));
    if (code == QLatin1String(CMD_SET_VPP))
        return QStringLiteral("%1 V").arg(fixed(schema::real(data, SUPPLY_VPP), 1));
    const bool vicc = code == QLatin1String(CMD_SET_VICC);
    if (vicc || code == QLatin1String(CMD_SET_VIPP))
        return QStringLiteral("%1 V, %2 mA%3")
            .arg(fixed(schema::real(data, vicc ? SUPPLY_VCC : SUPPLY_VPP), 1),
                 fixed(schema::real(data, vicc ? SUPPLY_ICC : SUPPLY_IPP), 3),
                 schema::flag(data, SUPPLY_OCP) ? QStringLiteral(", OCP") : QString());
    return QString();
}

QWidget *TDevProg::createCmdForm(const TData &data)
{
    const QString code = schema::cmdCode(data);
    if (code == QLatin1String(CMD_SET_DEVICE))
        return editorSetDevice(data);
    if (code == QLatin1String(CMD_AUTO_DETECT))
        return editorAutoDetect(data);
    if (code == QLatin1String(CMD_RESET))
        return editorReset(data);
    if (code == QLatin1String(CMD_GENERATOR))
        return editorGenerator(data);
    if (code == QLatin1String(CMD_SET_IO))
        return editorSetIO(data);
    if (code == QLatin1String(CMD_SET_VCC))
        return editorSetVcc(data);
    if (code == QLatin1String(CMD_SET_VPP))
        return editorSetVpp(data);
    if (code == QLatin1String(CMD_SET_VICC))
        return editorSetVicc(data);
    if (code == QLatin1String(CMD_SET_VIPP))
        return editorSetVipp(data);
    return nullptr;
}

QWidget *TDevProg::editorSetDevice(const TData &data)
{
    return commandOf(data) ? new TFormProgSetDevice(data) : nullptr;
}

// The form reads the project's record of the command: none without it.
QWidget *TDevProg::editorAutoDetect(const TData &data)
{
    return commandOf(data) ? new TFormProgAutoDetect(data) : nullptr;
}

QWidget *TDevProg::editorSetIO(const TData &data)
{
    const TDataCmd *cmd = commandOf(data);
    return cmd ? createLeaveCmdForm(cmd->device(), data, false) : nullptr;
}

QWidget *TDevProg::editorReset(const TData &data)
{
    const TProg *prog = progOf(data);
    if (!prog)
        return nullptr;
    int min = 0, max = 0;
    prog->resetRange(min, max);
    return new TFormProgReset(schema::cmdId(data), int(schema::integer(data, RESET_DURATION)), min, max,
                              prog->resetDefault());
}

QWidget *TDevProg::editorGenerator(const TData &data)
{
    const TProg *prog = progOf(data);
    if (!prog)
        return nullptr;
    bool freqList = false, dutyShown = false, dutyList = false;
    int freqMin = 0, freqMax = 0, dutyMin = 0, dutyMax = 0, freqDefault = 0, dutyDefault = 0;
    QVector<int> freqs, duties;
    prog->generatorLists(freqList, freqMin, freqMax, freqs, dutyShown, dutyList, dutyMin, dutyMax, duties);
    prog->generatorDefaults(freqDefault, dutyDefault);
    return new TFormProgGenerator(schema::cmdId(data), int(schema::integer(data, GEN_FREQ)),
                                  int(schema::integer(data, GEN_DUTY)), freqList, freqMin, freqMax, freqDefault,
                                  freqs, dutyShown, dutyList, dutyMin, dutyMax, dutyDefault, duties);
}

QWidget *TDevProg::editorSetVcc(const TData &data)
{
    const TProg *prog = progOf(data);
    if (!prog)
        return nullptr;
    double min = 0, max = 0;
    prog->vccRange(min, max);
    return new TFormProgSetVCC(schema::cmdId(data), schema::real(data, SUPPLY_VCC), min, max,
                               prog->vccDefault());
}

QWidget *TDevProg::editorSetVpp(const TData &data)
{
    const TProg *prog = progOf(data);
    if (!prog)
        return nullptr;
    double min = 0, max = 0;
    prog->vppRange(min, max);
    return new TFormProgSetVPP(schema::cmdId(data), schema::real(data, SUPPLY_VPP), min, max,
                               prog->vppDefault());
}

QWidget *TDevProg::editorSetVicc(const TData &data)
{
    return supplyPairForm<TFormProgSetVICC>(data, SUPPLY_VCC, SUPPLY_ICC, &TProg::vccRange, &TProg::vccDefault,
                                            &TProg::iccRange, &TProg::iccDefault);
}

QWidget *TDevProg::editorSetVipp(const TData &data)
{
    return supplyPairForm<TFormProgSetVIPP>(data, SUPPLY_VPP, SUPPLY_IPP, &TProg::vppRange, &TProg::vppDefault,
                                            &TProg::ippRange, &TProg::ippDefault);
}

IDeviceExec *TDevProg::createExec(const TData &data)
{
    if (!hasCommand(schema::cmdCode(data)))
        return nullptr;
    return new TDevProgExec(data);
}

bool TDevProg::normalizeCmdParam(TData &data)
{
    Q_UNUSED(data)
    return false;
}

TCheck TDevProg::checkCmdParam(const TData &data)
{
    const QString code = schema::cmdCode(data);
    const TDataCmd *cmd = commandOf(data);
    if (!cmd)
        return TCheck::refused(REC_ID_CMD, msg(checkmsg::NOT_IN_PROJECT));
    if (code == QLatin1String(CMD_SET_DEVICE) || code == QLatin1String(CMD_AUTO_DETECT)) {
        IDevice *device = cmd->device();
        if (device)
            return device->checkDevParam(data);
        const char *key = code == QLatin1String(CMD_SET_DEVICE) ? SET_DEVICE_DEVICE : AUTO_NAME;
        const QString name = schema::text(data, key);
        return TCheck::refused(key, name.isEmpty() ? msg(checkmsg::NO_DEVICE)
                                                   : msg(checkmsg::DEVICE_UNKNOWN).arg(name));
    }
    const TProg *prog = cmd->prog();
    if (!prog)
        return TCheck::refused(SET_PROG_PROG, msg(checkmsg::NO_PROG));
    if (code == QLatin1String(CMD_RESET))
        return resetValid(data, prog);
    if (code == QLatin1String(CMD_GENERATOR))
        return generatorValid(data, prog);
    if (code == QLatin1String(CMD_SET_IO))
        return isLeaveCmdValid(data, false);
    if (code == QLatin1String(CMD_SET_VCC))
        return supplyValid(data, SUPPLY_VCC, 0, prog, &TProg::vccRange);
    if (code == QLatin1String(CMD_SET_VPP))
        return supplyValid(data, SUPPLY_VPP, 0, prog, &TProg::vppRange);
    if (code == QLatin1String(CMD_SET_VICC)) {
        if (TCheck voltage = supplyValid(data, SUPPLY_VCC, 0, prog, &TProg::vccRange); !voltage)
            return voltage;
        return supplyValid(data, SUPPLY_ICC, progvalue::ICC_MAX, prog, &TProg::iccRange);
    }
    if (code == QLatin1String(CMD_SET_VIPP)) {
        if (TCheck voltage = supplyValid(data, SUPPLY_VPP, 0, prog, &TProg::vppRange); !voltage)
            return voltage;
        return supplyValid(data, SUPPLY_IPP, progvalue::IPP_MAX, prog, &TProg::ippRange);
    }
    return TCheck::notOffered(code, name());
}
