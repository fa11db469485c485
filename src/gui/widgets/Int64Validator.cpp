#include "gui/widgets/Int64Validator.h"

#include "gui/widgets/edit_arith.h"

QValidator::State Int64Validator::validate(QString &input, int &pos) const
{
    Q_UNUSED(pos)
    return decimalState(input, "-0123456789", [](const QString &text) {
        bool ok = false;
        text.toLongLong(&ok, 10);
        return ok;
    });
}
