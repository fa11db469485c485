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

TCheck TTestDevice::checkCmdParam(const TData &data)
{
    ++checkCount;
    return checkDevParam(data);
}

TCheck TTestDevice::checkDevParam(const TData &data)
{
    return isBad(data) ? TCheck::refused(QStringLiteral("bad"), QStringLiteral("is set")) : TCheck::valid();
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

QWidget *TTestDevice::createDevParamForm(const TData &data)
{
    const QString key = params().value(QStringLiteral("dev_form")).toString();
    if (key.isEmpty())
        return nullptr;
    return new TTestDevForm(data.value(QStringLiteral("id_cmd")).toInt(), key,
                            data.value(key).toString());
}

QString TTestDevice::cmdParamText(const TData &data, QWidget *form)
{
    const QString key = params().value(QStringLiteral("cmd_form")).toString();
    if (key.isEmpty())
        return FakeDevice::cmdParamText(data, form);
    const auto *shown = qobject_cast<TTestDevForm *>(form);
    return key + QLatin1Char('=') + (shown ? shown->edit->text() : data.value(key).toString());
}

QWidget *TTestDevice::createCmdForm(const TData &data)
{
    const QString key = params().value(QStringLiteral("cmd_form")).toString();
    if (key.isEmpty())
        return nullptr;
    return new TTestDevForm(data.value(QStringLiteral("id_cmd")).toInt(), key,
                            data.value(key).toString());
}

TTestDevForm::TTestDevForm(int idCmd, const QString &key, const QString &value)
    : edit(new QLineEdit(value, this)), m_idCmd(idCmd), m_key(key)
{
    connect(edit, &QLineEdit::editingFinished, this, [this] {
        emit signalChangedCmdParam({{QStringLiteral("id_cmd"), m_idCmd}, {m_key, edit->text()}});
    });
}
