#include "gui/widgets/Int64Validator.h"

#include "gui/widgets/edit_arith.h"

namespace {
// Characters of the decimal text of the largest qint64.
const int maxInt64Digits = 19;
}

QValidator::State Int64Validator::validate(QString &input, int &pos) const
{
    Q_UNUSED(pos)
    QString copy = input.isEmpty() ? QStringLiteral("0") : input;
    if (copy.length() > maxInt64Digits || !onlyOf(copy, "-0123456789"))
        return Invalid;
    bool ok = false;
    copy.toLongLong(&ok, 10);
    return ok ? Acceptable : Invalid;
}
