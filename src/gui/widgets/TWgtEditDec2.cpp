#include "gui/widgets/TWgtEditDec2.h"

#include "gui/widgets/TIntValidator.h"
#include "gui/widgets/TLineEdit.h"
#include "gui/widgets/edit_arith.h"

TWgtEditDec2::TWgtEditDec2(int value, QWidget *parent)
    : TWgtEditNum(new TIntValidator, QString::number(value), parent), m_value(value)
{
}

void TWgtEditDec2::addRange(int low, int high)
{
    m_ranges.append(qMakePair(low, high));
    updateColor();
}

void TWgtEditDec2::setValue(int value)
{
    applyValue(value);
}

bool TWgtEditDec2::inSomeRange(qint64 value) const
{
    for (const auto &range : m_ranges) {
        if (value >= range.first && value <= range.second)
            return true;
    }
    return false;
}

void TWgtEditDec2::applyValue(int value)
{
    // 64-bit negation and distances: neither may wrap.
    const qint64 negated = -qint64(value);
    if (m_ranges.isEmpty() || inSomeRange(value)) {
        // stays
    } else if (inSomeRange(negated)) {
        value = int(negated);
    } else {
        int best = value;
        qint64 bestDistance = -1;
        for (const auto &range : qAsConst(m_ranges)) {
            for (const int bound : {range.first, range.second}) {
                const qint64 distance = qAbs(qint64(value) - bound);
                if (bestDistance < 0 || distance < bestDistance) {
                    best = bound;
                    bestDistance = distance;
                }
            }
        }
        value = best;
    }

    if (value != m_value) {
        m_value = value;
        emit valueChanged(m_value);
    }
    updateColor();
    updateText();
}

void TWgtEditDec2::editingFinished()
{
    const int n = intFromText(lineEdit()->text());
    if (n != m_value)
        applyValue(n);
}

void TWgtEditDec2::stepKey(int direction)
{
    applyValue(steppedInt(intFromText(lineEdit()->text()), direction, m_magnitudeStep));
}

void TWgtEditDec2::defaultKey()
{
    applyValue(m_default);
}

void TWgtEditDec2::updateText()
{
    lineEdit()->setText(QString::number(m_value));
}

void TWgtEditDec2::updateColor()
{
    paintInRange(inSomeRange(m_value));
}
