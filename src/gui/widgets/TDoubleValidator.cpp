#include "gui/widgets/TDoubleValidator.h"

#include <cmath>

#include "core/TLang.h"
#include "gui/widgets/edit_arith.h"
#include "gui/widgets/widget_messages.h"

QChar TDoubleValidator::decimalMark()
{
    // One character that could not be read as part of a number otherwise.
    const QString mark = lang.text(MSG_DECIMAL_MARK);
    if (mark.size() != 1 || mark.at(0).isLetterOrNumber() || mark.at(0).isSpace()
        || onlyOf(mark, "+-"))
        return QLatin1Char('.');
    return mark.at(0);
}

QString TDoubleValidator::withPoint(const QString &text)
{
    return QString(text).replace(decimalMark(), QLatin1Char('.'));
}

QValidator::State TDoubleValidator::validate(QString &input, int &pos) const
{
    Q_UNUSED(pos)
    // ASCII alone, and no blanks: QString::toDouble would skip those.
    return decimalState(withPoint(input), "+-.0123456789eE", [](const QString &text) {
        bool ok = false;
        const double value = text.toDouble(&ok);
        // "nan" and "inf" parse too, but no edit can hold or range-check them.
        return ok && std::isfinite(value);
    });
}

void TDoubleValidator::fixup(QString &input) const
{
    // A point with no digit behind it adds nothing to the number before it.
    const QString text = withPoint(input);
    if (text.size() >= 2 && text.endsWith(QLatin1Char('.')) && isAsciiDigit(text.at(text.size() - 2))
        && !text.contains(QLatin1Char('e'), Qt::CaseInsensitive))
        input.chop(1);
}
