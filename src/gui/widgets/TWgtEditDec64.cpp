#include "gui/widgets/TWgtEditDec64.h"

#include "gui/widgets/Int64Validator.h"
#include "gui/widgets/edit_arith.h"

TWgtEditDec64::TWgtEditDec64(qint64 value, QWidget *parent)
    : TWgtEditInt64(new Int64Validator, value, QString::number(value), parent)
{
}

QString TWgtEditDec64::textOf(qint64 value) const
{
    return QString::number(value);
}

qint64 TWgtEditDec64::valueOf(const QString &text) const
{
    return int64FromText(text);
}
