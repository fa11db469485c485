#include "gui/widgets/TWgtEditInt.h"

#include "gui/widgets/TLineEdit.h"
#include "gui/widgets/edit_arith.h"

#include <limits>

TWgtEditInt::TWgtEditInt(QValidator *validator, int value, const QString &text, QWidget *parent)
    : TWgtEditNum(validator, text, parent), m_value(value)
{
}

void TWgtEditInt::setValue(int value)
{
    applyValue(value);
}

void TWgtEditInt::markChangedFrom(int before)
{
    showChangedFrom(textOf(before));
}

bool TWgtEditInt::takesEntry(const QString &text) const
{
    // A number beyond the int range (a hexadecimal text may hold 64 bits)
    // is no value of this edit. With magnitude steps the sign is the
    // field's: a magnitude typed takes it.
    const qint64 n = valueOf(text);
    if (n == m_value)
        return true;
    if (n != qint64(toIntSaturated(n)))
        return false;
    if (takes(int(n)))
        return true;
    return m_magnitudeStep && n != std::numeric_limits<int>::min() && takes(int(-n));
}

void TWgtEditInt::applyValue(int value)
{
    value = forced(value);
    const bool report = takeDamaged();
    if (value != m_value || report) {
        m_value = value;
        emit valueChanged(m_value);
    }
    updateColor();
    lineEdit()->setText(textOf(m_value));
}

void TWgtEditInt::updateColor()
{
    paintInRange(allowed(m_value));
}

void TWgtEditInt::editingFinished()
{
    if (finishRefused() || damagedUntouched())
        return;
    const qint64 n = valueOf(lineEdit()->text());
    if (n != m_value || isDamaged())
        applyValue(toIntSaturated(n));
}

void TWgtEditInt::stepKey(int direction)
{
    const int n = toIntSaturated(valueOf(lineEdit()->text()));
    const int step = m_magnitudeStep && n < 0 ? -1 : 1;
    applyValue(toIntSaturated(qint64(n) + qint64(direction) * step));
}

void TWgtEditInt::defaultKey()
{
    applyValue(m_default);
}
