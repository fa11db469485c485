#include "gui/widgets/TDoubleValidator.h"

#include <cmath>

#include "gui/widgets/edit_arith.h"

QValidator::State TDoubleValidator::validate(QString &input, int &pos) const
{
    Q_UNUSED(pos)
    // ASCII alone, and no blanks: QString::toDouble would skip those.
    return decimalState(input, "+-.0123456789eE", [](const QString &text) {
        bool ok = false;
        const double value = text.toDouble(&ok);
        // "nan" and "inf" parse too, but no edit can hold or range-check them.
        return ok && std::isfinite(value);
    });
}
