#include "devices/TDev93C.h"

#include "core/consts.h"
#include "devices/memory_cmds.h"

#include <QtEndian>

namespace {

enum : quint8 {
    M93C_SET_CLK = 2,
    M93C_ERASE = 3,
};

QString codeOf(const TData &data)
{
    return data.value(QLatin1String(REC_CMD)).toString();
}

} // namespace

TDev93C::TDev93C(const QString &name, const TData &params) : IDevice(name)
{
    for (const char *code : {CMD_SET_CLK, CMD_ERASE, CMD_TEST_EMPTY, CMD_SEPARATOR, CMD_CHAR_WRITE,
                             CMD_CHAR_VERIFY, CMD_DATA_READ, CMD_DATA_WRITE, CMD_DATA_VERIFY,
                             CMD_FILE_READ, CMD_FILE_WRITE, CMD_FILE_VERIFY, CMD_SEPARATOR,
                             CMD_SEPARATOR, CMD_LEAVE})
        m_cmds << QLatin1String(code);
    TData stored = params;
    stored.insert(QLatin1String(DEV_RESET), false);
    setParams(stored);
    setInfo(stored.value(QLatin1String(DEV_INFO)).toStringList());
}

IDevice *TDev93C::create(const QString &name, const TData &params)
{
    return new TDev93C(name, params);
}

bool TDev93C::hasCmd(const QString &code)
{
    return m_cmds.contains(code);
}

QStringList TDev93C::cmdList()
{
    return m_cmds;
}

void TDev93C::initCmdParam(TData &data)
{
    memcmd::init(this, data);
}

QString TDev93C::cmdParamText(const TData &data, QWidget *form)
{
    QString text;
    memcmd::text(this, data, form, text);
    return text;
}

QWidget *TDev93C::createCmdForm(const TData &data)
{
    QWidget *form = nullptr;
    memcmd::form(this, data, form);
    return form;
}

TData TDev93C::cmdParamFromForm(const TData &data)
{
    return data;
}

bool TDev93C::normalizeCmdParam(TData &)
{
    return false;
}

TCheck TDev93C::checkCmdParam(const TData &data)
{
    const QString c = codeOf(data);
    if (c == QLatin1String(CMD_ERASE) || c == QLatin1String(CMD_TEST_EMPTY))
        return TCheck::valid();
    TCheck verdict = TCheck::notOffered(c, name());
    memcmd::check(this, data, verdict);
    return verdict;
}

TCheck TDev93C::checkDevParam(const TData &)
{
    return TCheck::valid();
}

bool TDev93C::initDevParam(TData &data)
{
    TData asClock = data;
    asClock.insert(QLatin1String(REC_CMD), QLatin1String(CMD_SET_CLK));
    memcmd::init(this, asClock);
    data.insert(QLatin1String(SET_CLK_CLK), asClock.value(QLatin1String(SET_CLK_CLK)));
    return true;
}

QWidget *TDev93C::createDevParamForm(const TData &data)
{
    TData asClock = data;
    asClock.insert(QLatin1String(REC_CMD), QLatin1String(CMD_SET_CLK));
    return createCmdForm(asClock);
}

QByteArray TDev93C::devSetup(const TData &)
{
    return QByteArray();
}

IDeviceExec *TDev93C::createExec(const TData &data)
{
    return new TDev93CExec(data);
}

// ---- Executor ---------------------------------------------------------------

TDev93CExec::TDev93CExec(const TData &params, QObject *parent) : IDeviceExec(params, parent) {}

bool TDev93CExec::execute(TSerialPort *port, bool *, int *, int *)
{
    const QString c = codeOf(m_params);
    if (c == QLatin1String(CMD_SET_CLK))
        return execSetClk(port);
    if (c == QLatin1String(CMD_ERASE))
        return execErase(port);
    return false;
}

bool TDev93CExec::ident(TSerialPort *, QString &)
{
    return true;
}

bool TDev93CExec::execSetClk(TSerialPort *port)
{
    if (!checkPort(port))
        return false;
    QByteArray payload(4, 0);
    qToLittleEndian<quint32>(m_params.value(QLatin1String(SET_CLK_CLK)).toUInt(), payload.data());
    return transact(port, M93C_SET_CLK, payload);
}

bool TDev93CExec::execErase(TSerialPort *port)
{
    if (!checkPort(port))
        return false;
    QByteArray payload;
    return transact(port, M93C_ERASE, payload);
}
