#include "gui/widgets/THexValidator.h"

#include <QRegExp>

QValidator::State THexValidator::validate(QString &input, int &pos) const
{
    Q_UNUSED(pos)
    QString copy = input;
    copy.remove(QRegExp(QStringLiteral("\\s"), Qt::CaseSensitive));
    if (copy.isEmpty())
        return Acceptable;
    if (copy.length() > m_maxDigits)
        return Invalid;
    const QRegExp digits(QStringLiteral("([0-9]|[A-F]|[a-f]|[ ])+"));
    if (!digits.exactMatch(copy))
        return Invalid;
    input = input.toUpper();
    return Acceptable;
}
