#include "gui/widgets/TWgtEditHex.h"

#include "gui/widgets/THex64Validator.h"
#include "gui/widgets/TLineEdit.h"
#include "gui/widgets/edit_arith.h"
#include "misc/dev_misc.h"

namespace {
QString textOf(int value)
{
    return QStringLiteral("0x") + hexText(value);
}
}

TWgtEditHex::TWgtEditHex(int value, QWidget *parent)
    : TWgtEditNum(new THex64Validator, textOf(value), parent), m_value(value)
{
}

void TWgtEditHex::setRange(int min, int max)
{
    m_min = min;
    m_max = max;
    updateColor();
}

void TWgtEditHex::setValue(int value)
{
    applyValue(value);
}

void TWgtEditHex::applyValue(int value)
{
    value = qMax(m_min, qMin(value, m_max));
    if (value != m_value) {
        m_value = value;
        emit valueChanged(m_value);
    }
    updateColor();
    lineEdit()->setText(textOf(m_value));
}

void TWgtEditHex::editingFinished()
{
    // The text may hold up to 64 bits; a number beyond the int range is
    // taken as the nearer int bound, never cut to its low 32 bits.
    const qint64 n = int64FromHexText(lineEdit()->text());
    if (n != m_value)
        applyValue(toIntSaturated(n));
}

void TWgtEditHex::stepKey(int direction)
{
    const qint64 n = int64FromHexText(lineEdit()->text());
    applyValue(toIntSaturated(addSaturated(n, direction)));
}

void TWgtEditHex::defaultKey()
{
    applyValue(m_default);
}

void TWgtEditHex::updateColor()
{
    paintInRange(m_value >= m_min && m_value <= m_max);
}
