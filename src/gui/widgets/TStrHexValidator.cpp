#include "gui/widgets/TStrHexValidator.h"

QValidator::State TStrHexValidator::validate(QString &input, int &pos) const
{
    Q_UNUSED(pos)
    for (const QChar c : qAsConst(input)) {
        bool ok = false;
        QString(c).toInt(&ok, 16);
        if (!ok)
            return Invalid;
    }
    input = input.toUpper();
    return Acceptable;
}
