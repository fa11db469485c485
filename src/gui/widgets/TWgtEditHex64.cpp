#include "gui/widgets/TWgtEditHex64.h"

#include "gui/widgets/THex64Validator.h"
#include "gui/widgets/edit_arith.h"
#include "misc/dev_misc.h"

TWgtEditHex64::TWgtEditHex64(qint64 value, QWidget *parent)
    : TWgtEditInt64(new THex64Validator, value, QStringLiteral("0x") + hexText64(value), parent)
{
}

QString TWgtEditHex64::textOf(qint64 value) const
{
    return QStringLiteral("0x") + hexText64(value);
}

qint64 TWgtEditHex64::valueOf(const QString &text) const
{
    return int64FromHexText(text);
}
