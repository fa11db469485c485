#include "gui/widgets/THex64Validator.h"

#include "gui/widgets/edit_arith.h"

namespace {
// Hexadecimal digits of a 64-bit value.
const int maxHexDigits = 16;
const QLatin1String prefix("0x");
}

QValidator::State THex64Validator::validate(QString &input, int &pos) const
{
    // The prefix cannot be edited away: an edit that leaves the cursor in
    // front of it starts the text afresh.
    if (pos <= 1) {
        input = prefix;
        pos = 2;
    }
    QString digits = input.mid(2);
    if (digits.isEmpty())
        digits = QStringLiteral("0");
    if (digits.length() > maxHexDigits)
        return Invalid;
    // Digits only: toULongLong alone would also take blanks, a sign or a
    // second "0x".
    for (const QChar c : qAsConst(digits)) {
        if (!isAsciiHexDigit(c))
            return Invalid;
    }
    bool ok = false;
    digits.toULongLong(&ok, 16);
    if (!ok)
        return Invalid;
    if (pos > 2)
        input = prefix + digits.toUpper();
    return Acceptable;
}
