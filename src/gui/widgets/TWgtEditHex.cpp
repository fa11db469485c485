#include "gui/widgets/TWgtEditHex.h"

#include "gui/widgets/THex64Validator.h"
#include "gui/widgets/edit_arith.h"
#include "misc/dev_misc.h"

TWgtEditHex::TWgtEditHex(int value, QWidget *parent)
    : TWgtEditInt(new THex64Validator, value, QStringLiteral("0x") + hexText(value), parent)
{
}

void TWgtEditHex::setRange(int min, int max)
{
    m_min = min;
    m_max = max;
    updateColor();
}

int TWgtEditHex::forced(int value) const
{
    return qMax(m_min, qMin(value, m_max));
}

bool TWgtEditHex::allowed(int value) const
{
    return value >= m_min && value <= m_max;
}

QString TWgtEditHex::rangeText() const
{
    return textOf(m_min) + QLatin1String("..") + textOf(m_max);
}

QString TWgtEditHex::textOf(int value) const
{
    return QStringLiteral("0x") + hexText(value);
}

qint64 TWgtEditHex::valueOf(const QString &text) const
{
    return int64FromHexText(text);
}
