// The parameter forms of the 25xx family.

#include "devices/TDev25.h"

#include "core/consts.h"
#include "core/helpers.h"
#include "devices/param_schema.h"
#include "gui/forms/TFormDevCfg.h"
#include "gui/forms/TFormDevEmpty.h"
#include "gui/forms/TFormDevEraseBlocks.h"
#include "gui/forms/TFormDevSetCLK.h"
#include "misc/TNormCmdParam.h"
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

QWidget *TDev25::createStatusRegForm(const TData &data) const
{
    const QStringList markup = PARAM(params(), DEV_STATUS_REG_CFG).toStringList();
    if (markup.isEmpty())
        return nullptr;
    return new TFormDevCfg(schema::cmdId(data), schema::text(data, REG_DATA),
                           PARAM(params(), DEV_STATUS_REG_DEF).toString(), markup, true);
}

QWidget *TDev25::createUniqueIdForm(const TData &data) const
{
    return new TFormDevCfg(schema::cmdId(data), schema::text(data, REG_DATA), QString(16, QLatin1Char('0')),
                           uniqueIdMarkup(), false);
}

QWidget *TDev25::createSecRegSelectForm(const TData &data) const
{
    const int count = securityRegCount(params());
    return new TFormDevCfg(schema::cmdId(data), hexText(int(schema::integer(data, REG_DATA) & 0xFF)),
                           secRegDefault(count), secRegMarkup(count), false);
}

QWidget *TDev25::createEraseBlocksForm(const TData &data) const
{
    QList<int> sizes;
    for (qint64 size : eraseBlockSizes(params()))
        sizes << int(size);
    return new TFormDevEraseBlocks(schema::cmdId(data), sizes, int(schema::integer(data, BLOCKS_SIZE)),
                                   int(schema::integer(data, BLOCKS_BEGIN)), int(schema::integer(data, BLOCKS_COUNT)),
                                   reachableSize(params()));
}

QWidget *TDev25::createEmptyForm() const
{
    return new TFormDevEmpty;
}

QWidget *TDev25::createClkForm(const QString &section, const TData &data) const
{
    return createClkCmdForm(section, data);
}

void TDev25::pushRegisterData(QWidget *form, int idCmd, const QString &text)
{
    auto *cfg = qobject_cast<TFormDevCfg *>(form);
    if (cfg && cfg->idCmd() == idCmd)
        cfg->setData(text);
}
