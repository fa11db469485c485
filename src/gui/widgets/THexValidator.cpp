#include "gui/widgets/THexValidator.h"

#include <QRegExp>

namespace {
// Twice the largest number of literal data bytes a command may carry (64).
const int maxHexDigits = 128;
}

QValidator::State THexValidator::validate(QString &input, int &pos) const
{
    Q_UNUSED(pos)
    QString copy = input;
    copy.remove(QRegExp(QStringLiteral("\\s"), Qt::CaseSensitive));
    if (copy.isEmpty())
        return Acceptable;
    if (copy.length() > maxHexDigits)
        return Invalid;
    const QRegExp digits(QStringLiteral("([0-9]|[A-F]|[a-f]|[ ])+"));
    if (!digits.exactMatch(copy))
        return Invalid;
    input = input.toUpper();
    return Acceptable;
}
