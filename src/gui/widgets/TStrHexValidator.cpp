#include "gui/widgets/TStrHexValidator.h"

#include "gui/widgets/edit_arith.h"

QValidator::State TStrHexValidator::validate(QString &input, int &pos) const
{
    Q_UNUSED(pos)
    for (const QChar c : qAsConst(input)) {
        if (!isAsciiHexDigit(c))
            return Invalid;
    }
    input = input.toUpper();
    return Acceptable;
}
