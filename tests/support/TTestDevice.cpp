#include "support/TTestDevice.h"

#include "devices/TDeviceList.h"

namespace {

bool isBad(const TData &data)
{
    return data.value(QStringLiteral("bad")).toString() == QLatin1String("1");
}

} // namespace

TTestDevice::TTestDevice(const QString &name, const TData &params)
    : FakeDevice(name, params.value(QStringLiteral("cmds")).toStringList())
{
    ++createdCount;
    setParams(params);
    const QString norm = params.value(QStringLiteral("norm")).toString();
    const int eq = norm.indexOf(QLatin1Char('='));
    if (eq > 0) {
        normalizeKey = norm.left(eq);
        normalizeValue = norm.mid(eq + 1);
    }
}

IDevice *TTestDevice::create(const QString &name, const TData &params)
{
    return new TTestDevice(name, params);
}

void TTestDevice::registerGroup()
{
    deviceList.addCreator(QStringLiteral("TestDev"), &TTestDevice::create);
}

bool TTestDevice::checkCmdParam(const TData &data)
{
    ++checkCount;
    return !isBad(data);
}

bool TTestDevice::checkDevParam(const TData &data)
{
    return !isBad(data);
}

bool TTestDevice::initDevParam(TData &data)
{
    const QStringList defaults = params().value(QStringLiteral("dev_default")).toStringList();
    for (const QString &item : defaults) {
        const int eq = item.indexOf(QLatin1Char('='));
        if (eq > 0)
            data.insert(item.left(eq), item.mid(eq + 1));
    }
    return !defaults.isEmpty();
}
