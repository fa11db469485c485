#include "gui/widgets/TWgtEditDec2.h"

#include "gui/widgets/TIntValidator.h"
#include "gui/widgets/edit_arith.h"

#include <QStringList>

TWgtEditDec2::TWgtEditDec2(int value, QWidget *parent)
    : TWgtEditInt(new TIntValidator, value, QString::number(value), parent)
{
}

void TWgtEditDec2::addRange(int low, int high)
{
    m_ranges.append(qMakePair(low, high));
    updateColor();
}

bool TWgtEditDec2::inSomeRange(qint64 value) const
{
    for (const auto &range : m_ranges) {
        if (value >= range.first && value <= range.second)
            return true;
    }
    return false;
}

int TWgtEditDec2::forced(int value) const
{
    // Without ranges every value stays (and shows as an error).
    if (m_ranges.isEmpty() || inSomeRange(value))
        return value;
    // 64-bit negation and distances: neither may wrap.
    const qint64 negated = -qint64(value);
    if (inSomeRange(negated))
        return int(negated);
    int best = value;
    qint64 bestDistance = -1;
    for (const auto &range : m_ranges) {
        for (const int bound : {range.first, range.second}) {
            const qint64 distance = qAbs(qint64(value) - bound);
            if (bestDistance < 0 || distance < bestDistance) {
                best = bound;
                bestDistance = distance;
            }
        }
    }
    return best;
}

bool TWgtEditDec2::allowed(int value) const
{
    return inSomeRange(value);
}

bool TWgtEditDec2::takes(int value) const
{
    return m_ranges.isEmpty() || inSomeRange(value);
}

QString TWgtEditDec2::rangeText() const
{
    QStringList ranges;
    for (const auto &range : m_ranges)
        ranges << QStringLiteral("%1..%2").arg(range.first).arg(range.second);
    return ranges.join(QLatin1String(", "));
}

QString TWgtEditDec2::textOf(int value) const
{
    return QString::number(value);
}

qint64 TWgtEditDec2::valueOf(const QString &text) const
{
    return intFromText(text);
}
