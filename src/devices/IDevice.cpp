#include "devices/IDevice.h"

#include "core/TCmdCode.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "devices/param_schema.h"

IDevice::IDevice(const QString &name) : QObject(nullptr), m_name(name)
{
    setObjectName(name);
}

IDevice::~IDevice() = default;

TCheck IDevice::runCheck(const TData &data)
{
    Q_UNUSED(data)
    return TCheck::valid();
}

bool IDevice::validParams(const TData &data)
{
    return paramCheck(data).isValid();
}

TCheck IDevice::paramCheck(const TData &data)
{
    schema::Fault fault;
    if (schema::findFault(data, fault))
        return TCheck::refusedAs(fault.key, schema::faultText(shownName(data), data));
    return checkCmdParam(data);
}

QString IDevice::refusalText(const TData &data)
{
    return paramCheck(data).text(shownName(data));
}

QString IDevice::name() const
{
    return m_name;
}

QStringList IDevice::info() const
{
    return m_info;
}

void IDevice::setInfo(const QStringList &info)
{
    m_info = info;
}

TData IDevice::params() const
{
    return m_params;
}

void IDevice::setParams(const TData &params)
{
    m_params = params;
}

QString IDevice::cmdName(const TData &data) const
{
    return cmdCode.name(getParam("devices\\IDevice", __LINE__, data, REC_CMD).toString());
}

QString IDevice::shownName(const TData &data)
{
    const QString code = getParam("devices\\IDevice", __LINE__, data, REC_CMD).toString();
    const QString name = cmdCode.name(code);
    return name.isEmpty() ? code : name;
}

bool IDevice::isReset() const
{
    return m_params.value(DEV_RESET).toBool();
}

QString IDevice::prgPar() const
{
    return m_params.value(DEV_PRG_PAR).toString();
}

QString IDevice::prgCon() const
{
    return m_params.value(DEV_PRG_CON).toString();
}
