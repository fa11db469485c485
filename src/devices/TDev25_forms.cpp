// The parameter forms of the 25xx family.

#include "devices/TDev25.h"

#include "core/consts.h"
#include "core/helpers.h"
#include "misc/dev_misc.h"

#include <QVariant>

namespace {

const QString source = QStringLiteral("devices\\TDev25");

#define PARAM(data, key) getParam(source, __LINE__, data, QLatin1String(key))

} // namespace

QStringList TDev25::secRegMarkup(int count)
{
    QStringList lines{QStringLiteral("frm+")};
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("ckl|%1|-|e|-|Security Register #%2 (0x%3..0x%4)")
                     .arg(hexText(1 << i))
                     .arg(i + 1)
                     .arg(hexText(i * 256), hexText(i * 256 + 255));
    lines << QStringLiteral("frm-");
    return lines;
}

QString TDev25::secRegDefault(int count)
{
    return hexText(((1 << count) - 1) & 0xFF);
}

QStringList TDev25::uniqueIdMarkup()
{
    return {QStringLiteral("frm+"), QStringLiteral("edr|FFFFFFFFFFFFFFFF|ro|-1|Unique ID:"),
            QStringLiteral("frm-")};
}

// The mark-up, empty, block-erase and clock forms come with the shared form
// set; until it is there these commands are edited without a form.
QWidget *TDev25::createStatusRegForm(const TData &data) const
{
    Q_UNUSED(data)
    return nullptr;
}

QWidget *TDev25::createUniqueIdForm(const TData &data) const
{
    Q_UNUSED(data)
    return nullptr;
}

QWidget *TDev25::createSecRegSelectForm(const TData &data) const
{
    Q_UNUSED(data)
    return nullptr;
}

QWidget *TDev25::createEraseBlocksForm(const TData &data) const
{
    Q_UNUSED(data)
    return nullptr;
}

QWidget *TDev25::createEmptyForm() const
{
    return nullptr;
}

QWidget *TDev25::createClkForm(const QString &section, const TData &data) const
{
    Q_UNUSED(section)
    Q_UNUSED(data)
    return nullptr;
}

void TDev25::pushRegisterData(QWidget *form, int idCmd, const QString &text)
{
    Q_UNUSED(form)
    Q_UNUSED(idCmd)
    Q_UNUSED(text)
}
