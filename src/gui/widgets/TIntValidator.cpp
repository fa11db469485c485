#include "gui/widgets/TIntValidator.h"

#include "gui/widgets/edit_arith.h"

namespace {
// Characters of the decimal text of the largest int, 2147483647.
const int maxIntDigits = 10;
}

QValidator::State TIntValidator::validate(QString &input, int &pos) const
{
    QString copy = input.isEmpty() ? QStringLiteral("0") : input;
    if (pos == 1 && input == QLatin1String("-"))
        return Acceptable;
    if (copy.length() > maxIntDigits || !onlyOf(copy, "-0123456789"))
        return Invalid;
    bool ok = false;
    copy.toInt(&ok, 10);
    return ok ? Acceptable : Invalid;
}
