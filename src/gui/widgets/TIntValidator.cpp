#include "gui/widgets/TIntValidator.h"

#include "gui/widgets/edit_arith.h"

QValidator::State TIntValidator::validate(QString &input, int &pos) const
{
    Q_UNUSED(pos)
    return decimalState(input, "-0123456789", [](const QString &text) {
        bool ok = false;
        text.toInt(&ok, 10);
        return ok;
    });
}
