#include "gui/widgets/TWgtEditDouble.h"

#include <cmath>
#include <limits>

#include "gui/widgets/TDoubleValidator.h"
#include "gui/widgets/TLineEdit.h"
#include "gui/widgets/edit_arith.h"

namespace {
// More decimals than a double holds make no sense.
int boundedDecimals(int decimals)
{
    return qBound(0, decimals, 15);
}
}

TWgtEditDouble::TWgtEditDouble(double value, int decimals, QWidget *parent)
    : TWgtEditNum(new TDoubleValidator, QString::number(value, 'f', boundedDecimals(decimals)),
                  parent),
      m_value(value),
      m_decimals(boundedDecimals(decimals)),
      m_step(std::pow(10.0, -m_decimals)),
      m_scale(std::pow(10.0, m_decimals))
{
}

qint64 TWgtEditDouble::scaled(double value) const
{
    // 64 bits and saturation: a large value must compare as large, not
    // wrap around to a small or negative one.
    const double x = value * m_scale;
    if (std::isnan(x))
        return 0;
    if (x >= 9.2e18)
        return std::numeric_limits<qint64>::max();
    if (x <= -9.2e18)
        return std::numeric_limits<qint64>::min();
    return std::llround(x);
}

void TWgtEditDouble::setRange(double min, double max)
{
    m_min = min;
    m_max = max;
    updateColor();
}

void TWgtEditDouble::setValue(double value)
{
    applyValue(value);
}

void TWgtEditDouble::applyValue(double value)
{
    const qint64 wanted = scaled(value);
    // Not a number: nothing to store, nor taken for a damaged value.
    const bool report = !std::isnan(value) && takeDamaged();
    if (!std::isnan(value) && (wanted != scaled(m_value) || report)) {
        if (wanted > scaled(m_max))
            value = m_max;
        else if (wanted < scaled(m_min))
            value = m_min;
        if (value != m_value || report) {
            m_value = value;
            emit valueChanged(m_value);
        }
    }
    updateColor();
    if (!isDamaged())
        updateText();
}

double TWgtEditDouble::parsed(const QString &text)
{
    bool ok = false;
    const double n = TDoubleValidator::withPoint(text).toDouble(&ok);
    return ok ? n : 0.0;
}

bool TWgtEditDouble::holdsDigitsOf(const QString &text) const
{
    return decimalsNeeded(TDoubleValidator::withPoint(text)) <= m_decimals;
}

double TWgtEditDouble::parsedText() const
{
    return parsed(lineEdit()->text());
}

bool TWgtEditDouble::takesEntry(const QString &text) const
{
    // At the precision of the decimals, as the value is compared.
    const qint64 n = scaled(parsed(text));
    return n == scaled(m_value) || (n >= scaled(m_min) && n <= scaled(m_max));
}

QString TWgtEditDouble::rangeText() const
{
    return QString::number(m_min, 'f', m_decimals) + QLatin1String("..")
           + QString::number(m_max, 'f', m_decimals);
}

void TWgtEditDouble::editingFinished()
{
    if (finishRefused() || damagedUntouched())
        return;
    const double n = parsedText();
    // A text that reads as no number counts as different.
    if (!(n == m_value) || isDamaged())
        applyValue(n);
}

void TWgtEditDouble::stepKey(int direction)
{
    applyValue(parsedText() + direction * m_step);
}

void TWgtEditDouble::defaultKey()
{
    applyValue(m_default);
}

QString TWgtEditDouble::valueText() const
{
    return QString::number(m_value, 'f', m_decimals);
}

void TWgtEditDouble::updateText()
{
    lineEdit()->setText(valueText());
}

void TWgtEditDouble::updateColor()
{
    const qint64 current = scaled(m_value);
    paintInRange(current >= scaled(m_min) && current <= scaled(m_max));
}
