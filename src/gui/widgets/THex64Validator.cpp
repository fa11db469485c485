#include "gui/widgets/THex64Validator.h"

#include "gui/widgets/edit_arith.h"

namespace {
const QLatin1String prefix("0x");
}

QValidator::State THex64Validator::validate(QString &input, int &pos) const
{
    // The text is taken as the number it shows, never cut to fit: an entry
    // that replaced the prefix (the whole text typed or pasted over) is all
    // digits and gets the prefix back in front, and a pasted number may
    // bring its own "0x" behind the edit's. What is no number of 64 bits is
    // refused whole, so the prefix cannot be edited away either.
    const int start = hexDigitsStart(input);
    const QString digits = input.mid(start);
    // Digits only: toULongLong alone would also take blanks, a sign or a
    // second "0x".
    if (!onlyOf(digits, asciiHexDigits))
        return Invalid;
    // Digits too many for 64 bits get the prefix all the same: the edit
    // shows them, as they were typed, refused.
    input = prefix + digits.toUpper();
    pos = prefix.size() + qMax(0, pos - start);
    bool ok = digits.isEmpty();
    if (!ok)
        digits.toULongLong(&ok, 16);
    return ok ? Acceptable : Invalid;
}
