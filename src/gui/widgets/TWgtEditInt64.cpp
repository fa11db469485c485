#include "gui/widgets/TWgtEditInt64.h"

#include "gui/widgets/TLineEdit.h"
#include "gui/widgets/edit_arith.h"

TWgtEditInt64::TWgtEditInt64(QValidator *validator, qint64 value, const QString &text,
                             QWidget *parent)
    : TWgtEditNum(validator, text, parent), m_value(value)
{
}

void TWgtEditInt64::setRange(qint64 min, qint64 max)
{
    m_min = min;
    m_max = max;
    paintInRange(m_value >= m_min && m_value <= m_max);
}

void TWgtEditInt64::setValue(qint64 value)
{
    applyValue(value);
}

void TWgtEditInt64::markChangedFrom(qint64 before)
{
    showChangedFrom(textOf(before));
}

QString TWgtEditInt64::rangeText() const
{
    return textOf(m_min) + QLatin1String("..") + textOf(m_max);
}

bool TWgtEditInt64::takesEntry(const QString &text) const
{
    const qint64 n = valueOf(text);
    return n == m_value || (n >= m_min && n <= m_max);
}

void TWgtEditInt64::applyValue(qint64 value)
{
    value = qMax(m_min, qMin(value, m_max));
    const bool report = takeDamaged();
    if (value != m_value || report) {
        m_value = value;
        emit valueChanged(m_value);
    }
    paintInRange(m_value >= m_min && m_value <= m_max);
    lineEdit()->setText(textOf(m_value));
}

void TWgtEditInt64::editingFinished()
{
    if (finishRefused() || damagedUntouched())
        return;
    const qint64 n = valueOf(lineEdit()->text());
    if (n != m_value || isDamaged())
        applyValue(n);
}

void TWgtEditInt64::stepKey(int direction)
{
    applyValue(addSaturated(valueOf(lineEdit()->text()), direction));
}

void TWgtEditInt64::defaultKey()
{
    applyValue(m_default);
}
