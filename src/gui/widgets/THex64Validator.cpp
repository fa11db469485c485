#include "gui/widgets/THex64Validator.h"

#include "gui/widgets/edit_arith.h"

namespace {
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
    // Up to 16 digits, or a minus sign and the magnitude of a negative
    // value as the edit shows it; a lone sign, being typed, reads as 0.
    const QString digits = input.mid(2);
    if (!digits.isEmpty() && digits != QLatin1String("-")) {
        bool ok = false;
        hexDigitsValue(digits, &ok);
        if (!ok)
            return Invalid;
    }
    if (pos > 2)
        input = prefix + digits.toUpper();
    return Acceptable;
}
