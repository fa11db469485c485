#include "devices/TCheck.h"

#include "core/TLang.h"
#include "core/consts.h"
#include "devices/check_messages.h"

TCheck TCheck::valid()
{
    return TCheck();
}

TCheck TCheck::refused(const QString &key, const QString &reason)
{
    TCheck c;
    c.m_valid = false;
    c.m_key = key;
    c.m_reason = reason;
    return c;
}

TCheck TCheck::refusedAs(const QString &key, const QString &sentence)
{
    TCheck c = refused(key, sentence);
    c.m_whole = true;
    return c;
}

TCheck TCheck::notOffered(const QString &code, const QString &provider)
{
    return refused(QLatin1String(REC_CMD), lang.text(checkmsg::NOT_OFFERED).arg(code, provider));
}

TCheck TCheck::outside(const QString &key, const QString &value, const QString &min, const QString &max)
{
    return refused(key, lang.text(checkmsg::OUTSIDE).arg(value, min, max));
}

TCheck TCheck::outside(const QString &key, qint64 value, qint64 min, qint64 max)
{
    return outside(key, QString::number(value), QString::number(min), QString::number(max));
}

QString TCheck::text(const QString &cmdName) const
{
    if (m_valid)
        return QString();
    if (m_whole)
        return m_reason;
    return lang.text(checkmsg::REFUSED).arg(cmdName, m_key, m_reason);
}
