#include "gui/widgets/TWgtEditDec.h"

#include "gui/widgets/TIntValidator.h"
#include "gui/widgets/TLineEdit.h"
#include "gui/widgets/edit_arith.h"

TWgtEditDec::TWgtEditDec(int value, QWidget *parent)
    : TWgtEditNum(new TIntValidator, QString::number(value), parent), m_value(value)
{
}

void TWgtEditDec::setRange(int min, int max)
{
    m_min = min;
    m_max = max;
    updateColor();
}

void TWgtEditDec::setValue(int value)
{
    applyValue(value);
}

void TWgtEditDec::applyValue(int value)
{
    // Negation in 64 bits: the negation of the smallest int is no int.
    const qint64 negated = -qint64(value);
    const bool negatedFits = negated >= m_min && negated <= m_max;
    if (value < m_min)
        value = negatedFits ? int(negated) : m_min;
    else if (value > m_max)
        value = negatedFits ? int(negated) : m_max;

    if (value != m_value) {
        m_value = value;
        emit valueChanged(m_value);
    }
    updateColor();
    updateText();
}

void TWgtEditDec::editingFinished()
{
    const int n = intFromText(lineEdit()->text());
    if (n != m_value)
        applyValue(n);
}

void TWgtEditDec::stepKey(int direction)
{
    applyValue(steppedInt(intFromText(lineEdit()->text()), direction, m_magnitudeStep));
}

void TWgtEditDec::defaultKey()
{
    applyValue(m_default);
}

void TWgtEditDec::updateText()
{
    lineEdit()->setText(QString::number(m_value));
}

void TWgtEditDec::updateColor()
{
    paintInRange(m_value >= m_min && m_value <= m_max);
}
