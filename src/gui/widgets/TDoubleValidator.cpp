#include "gui/widgets/TDoubleValidator.h"

#include <cmath>

#include "gui/widgets/edit_arith.h"

QValidator::State TDoubleValidator::validate(QString &input, int &pos) const
{
    Q_UNUSED(pos)
    const QString copy = input.isEmpty() ? QStringLiteral("0") : input;
    // ASCII alone, and no blanks: QString::toDouble would skip those.
    if (!onlyOf(copy, "+-.0123456789eE"))
        return Invalid;
    bool ok = false;
    const double value = copy.toDouble(&ok);
    // "nan" and "inf" parse too, but no edit can hold or range-check them.
    return ok && std::isfinite(value) ? Acceptable : Invalid;
}
