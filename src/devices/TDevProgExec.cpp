#include "devices/TDevProgExec.h"

#include "core/TLang.h"
#include "core/TPairStringList.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TDataCfg.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "devices/dev_lists.h"
#include "devices/exec_messages.h"
#include "devices/param_schema.h"
#include "devices/prog_values.h"
#include "link/TProg.h"
#include "link/TProtocol.h"
#include "link/TSerialPort.h"
#include "misc/TNormCmdParam.h"
#include "misc/dev_misc.h"

#include <QByteArray>

#include <memory>

namespace {

void appendLE(QByteArray &out, quint64 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

} // namespace

TDevProgExec::TDevProgExec(const TData &params, QObject *parent) : IDeviceExec(params, parent) {}

TDevProgExec::~TDevProgExec() = default;

bool TDevProgExec::ident(TSerialPort *, QString &)
{
    return false;
}

// ---- Requests that belong to no command ------------------------------------

bool TDevProgExec::sendStatus(TSerialPort *port, qint8 state)
{
    if (!port || !port->isOpen())
        return false;
    QByteArray payload(1, char(quint8(state)));
    return port->transaction(TProtocol::PROG_STATUS, payload);
}

bool TDevProgExec::sendFinish(TSerialPort *port)
{
    if (!port || !port->isOpen())
        return false;
    QByteArray payload;
    return port->transaction(TProtocol::PROG_FINISH, payload);
}

bool TDevProgExec::sendReset(TSerialPort *port, qint64 duration)
{
    qint16 pulse = 0;
    if (!port || !port->isOpen() || !progvalue::duration16(duration, pulse))
        return false;
    QByteArray payload;
    appendLE(payload, quint16(pulse), 2);
    return port->transaction(TProtocol::PROG_RESET, payload);
}

// ---- Commands --------------------------------------------------------------

bool TDevProgExec::execute(TSerialPort *port, bool *stopRun, int *cfgId, int *lastCmdId)
{
    Q_UNUSED(stopRun)
    const QString code = schema::cmdCode(m_params);
    if (code == QLatin1String(CMD_SET_DEVICE))
        return execSetDevice(port);
    if (code == QLatin1String(CMD_AUTO_DETECT))
        return execAutoDetect(port, cfgId, lastCmdId);
    if (code == QLatin1String(CMD_RESET))
        return execReset(port);
    if (code == QLatin1String(CMD_GENERATOR))
        return execGenerator(port);
    if (code == QLatin1String(CMD_SET_IO))
        return execSetIO(port);
    if (code == QLatin1String(CMD_SET_VCC))
        return execSetVcc(port);
    if (code == QLatin1String(CMD_SET_VPP))
        return execSetVpp(port);
    if (code == QLatin1String(CMD_SET_VICC))
        return execSetVicc(port);
    if (code == QLatin1String(CMD_SET_VIPP))
        return execSetVipp(port);
    return failNotCarriedOut(code);
}

bool TDevProgExec::send(TSerialPort *port, quint8 code, QByteArray payload)
{
    return checkPort(port) && transact(port, code, payload);
}

bool TDevProgExec::refuse(const char *key)
{
    setErrorText(lang.text(MSG_BEYOND_FIELD)
                     .arg(QLatin1String(key), schema::text(m_params, key)));
    return false;
}

bool TDevProgExec::refuseRange(const char *key, qint64 min, qint64 max)
{
    setErrorText(lang.text(MSG_OUT_OF_RANGE).arg(QLatin1String(key), schema::text(m_params, key))
                     .arg(min)
                     .arg(max));
    return false;
}

bool TDevProgExec::execSetDevice(TSerialPort *port)
{
    if (!checkPort(port))
        return false;
    const TDataCmd *cmd = dataPrj.cmdById(schema::cmdId(m_params));
    IDevice *device = cmd ? cmd->device() : nullptr;
    if (!device)
        return failNoDevice();
    QByteArray payload = device->devSetup(m_params);
    return transact(port, TProtocol::PROG_SETUP, payload);
}

bool TDevProgExec::execAutoDetect(TSerialPort *port, int *cfgId, int *lastCmdId)
{
    const bool stop = schema::flag(m_params, AUTO_STOP);
    if (!checkPort(port))
        return false;
    const TDataCmd *cmd = dataPrj.cmdById(*lastCmdId);
    IDevice *device = cmd ? cmd->device() : nullptr;
    if (!device)
        return failNoDevice();

    // The family's set-up record; a refusal by the chip is tolerated unless
    // the command stops on it, a dead link never.
    QByteArray setup = device->devSetup(m_params);
    const bool setUp = transact(port, TProtocol::PROG_SETUP, setup);
    if ((!setUp && stop) || port->isFailed())
        return false;
    if (!setUp)
        setErrorText(QString());

    // The identification, by an executor of the family that lives for this
    // step only; what it reports stays with it.
    QString id;
    bool identified = false;
    QString whyNot;
    {
        std::unique_ptr<IDeviceExec> identExec(device->createExec(m_params));
        if (identExec) {
            identified = identExec->ident(port, id);
            whyNot = identExec->errorText();
        }
    }
    if (!identified && stop) {
        // The family's reason when it gave one: the command stops on it.
        setErrorText(whyNot.isEmpty() ? lang.text(execmsg::NOT_IDENTIFIED) : whyNot);
        return false;
    }
    if (port->isFailed()) {
        // The family's executor kept the reason; the link's text says it.
        setErrorText(port->errorString());
        return false;
    }

    const TPairStringList pairs = loadAutoPairs(schema::text(m_params, AUTO_NAME));
    const QString idText = QStringLiteral("%1 (%2)").arg(pairs.valueOf(id), id);
    emit signalEventText(EXEC_TEXT_NEXT, lang.text(MSG_DETECTED).arg(idText), QString());

    // A route that leads to no configuration never passes for no route: the
    // check refuses it before the run, and one whose configuration went
    // since fails here.
    schema::Reference route;
    if (schema::referenceOf(m_params, AUTO_ROUTE, route, id)) {
        const int target = schema::targetOf(route);
        if (target < 0) {
            setErrorText(lang.text(execmsg::NO_CONFIGURATION));
            return false;
        }
        // The configuration routed to opens the link again with its own
        // programmer choice.
        port->close();
        const QString name = dataPrj.cfgName(target);
        if (!schema::flag(m_params, AUTO_EXECUTE)) {
            *cfgId = target;
            *lastCmdId = -1;
            logJump(name);
        } else {
            emit signalEventText(EXEC_TEXT_NEXT, lang.text(MSG_STARTING).arg(name), QString());
            emit signalExecuteFromCmd(target);
        }
        return true;
    }

    const QString text = lang.text(MSG_NO_ROUTE).arg(idText);
    if (stop) {
        setErrorText(text);
        return false;
    }
    emit signalEventText(EXEC_TEXT_NEXT, text, QString());
    return true;
}

bool TDevProgExec::execReset(TSerialPort *port)
{
    qint16 pulse = 0;
    if (!progvalue::duration16(schema::value(m_params, RESET_DURATION), pulse))
        return refuse(RESET_DURATION);
    QByteArray payload;
    appendLE(payload, quint16(pulse), 2);
    return send(port, TProtocol::PROG_RESET, payload);
}

bool TDevProgExec::execGenerator(TSerialPort *port)
{
    quint32 freq = 0;
    quint16 duty = 0;
    if (!progvalue::frequency32(schema::value(m_params, GEN_FREQ), freq))
        return refuse(GEN_FREQ);
    if (!progvalue::duty16(schema::value(m_params, GEN_DUTY), duty))
        return refuse(GEN_DUTY);
    // Nothing outside the programmer's own limits reaches it, whether the
    // duty is offered to the user or not.
    const TDataCmd *cmd = dataPrj.cmdById(schema::cmdId(m_params));
    const TProg *prog = cmd ? cmd->prog() : nullptr;
    if (!prog) {
        setErrorText(lang.text(execmsg::NO_DEVICE));
        return false;
    }
    bool freqList = false, dutyShown = false, dutyList = false;
    int freqMin = 0, freqMax = 0, dutyMin = 0, dutyMax = 0;
    QVector<int> freqs, duties;
    prog->generatorLists(freqList, freqMin, freqMax, freqs, dutyShown, dutyList, dutyMin, dutyMax, duties);
    if (qint64(freq) < freqMin || qint64(freq) > freqMax)
        return refuseRange(GEN_FREQ, freqMin, freqMax);
    if (duty / 10 < dutyMin || duty / 10 > dutyMax)
        return refuseRange(GEN_DUTY, dutyMin, dutyMax);
    QByteArray payload;
    appendLE(payload, freq, 4);
    appendLE(payload, duty, 2);
    return send(port, TProtocol::PROG_GENERATOR, payload);
}

bool TDevProgExec::execSetIO(TSerialPort *port)
{
    return send(port, TProtocol::PROG_PINS, pinStateBytes(schema::cmdId(m_params), false));
}

bool TDevProgExec::execSetVcc(TSerialPort *port)
{
    return execSupply(port, TProtocol::PROG_VCC, SUPPLY_VCC, nullptr, 0);
}

bool TDevProgExec::execSetVpp(TSerialPort *port)
{
    return execSupply(port, TProtocol::PROG_VPP, SUPPLY_VPP, nullptr, 0);
}

bool TDevProgExec::execSetVicc(TSerialPort *port)
{
    return execSupply(port, TProtocol::PROG_VICC, SUPPLY_VCC, SUPPLY_ICC, 4);
}

bool TDevProgExec::execSetVipp(TSerialPort *port)
{
    return execSupply(port, TProtocol::PROG_VIPP, SUPPLY_VPP, SUPPLY_IPP, 2);
}

bool TDevProgExec::execSupply(TSerialPort *port, quint8 code, const char *voltageKey,
                              const char *currentKey, int currentBytes)
{
    quint8 voltage = 0;
    if (!progvalue::voltageByte(schema::value(m_params, voltageKey), voltage))
        return refuse(voltageKey);
    QByteArray payload(1, char(voltage));
    if (currentKey) {
        quint32 current = 0;
        const qint64 max = currentBytes == 4 ? progvalue::ICC_MAX : progvalue::IPP_MAX;
        if (!progvalue::currentMicro(schema::value(m_params, currentKey), max, current))
            return refuse(currentKey);
        appendLE(payload, current, currentBytes);
        payload.append(char(schema::flag(m_params, SUPPLY_OCP) ? 1 : 0));
    }
    return send(port, code, payload);
}
