#include "gui/widgets/TWgtEditDec.h"

#include "gui/widgets/TIntValidator.h"
#include "gui/widgets/edit_arith.h"

TWgtEditDec::TWgtEditDec(int value, QWidget *parent)
    : TWgtEditInt(new TIntValidator, value, QString::number(value), parent)
{
}

void TWgtEditDec::setRange(int min, int max)
{
    m_min = min;
    m_max = max;
    updateColor();
}

int TWgtEditDec::forced(int value) const
{
    // Negation in 64 bits: the negation of the smallest int is no int.
    const qint64 negated = -qint64(value);
    const bool negatedFits = negated >= m_min && negated <= m_max;
    if (value < m_min)
        return negatedFits ? int(negated) : m_min;
    if (value > m_max)
        return negatedFits ? int(negated) : m_max;
    return value;
}

bool TWgtEditDec::allowed(int value) const
{
    return value >= m_min && value <= m_max;
}

QString TWgtEditDec::rangeText() const
{
    return QStringLiteral("%1..%2").arg(m_min).arg(m_max);
}

QString TWgtEditDec::textOf(int value) const
{
    return QString::number(value);
}

qint64 TWgtEditDec::valueOf(const QString &text) const
{
    return intFromText(text);
}
