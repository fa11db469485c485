#include "core/TPairStringList.h"

TPairStringList::TPairStringList() = default;

TPairStringList::TPairStringList(const QString &text)
{
    const QStringList items = text.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    for (const QString &raw : items) {
        const QString item = raw.trimmed();
        if (item.isEmpty() || item.startsWith(QLatin1Char('#')))
            continue;
        const int eq = item.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        add(item.left(eq), item.mid(eq + 1));
    }
}

TPairStringList::~TPairStringList() = default;

void TPairStringList::add(const QString &key, const QString &value)
{
    keyList.append(key);
    valueList.append(value);
    hash.insert(key, value);
}

int TPairStringList::count() const
{
    return keyList.size();
}

QString TPairStringList::key(int index) const
{
    return keyList.value(index);
}

QString TPairStringList::value(int index) const
{
    return valueList.value(index);
}

QStringList TPairStringList::keys() const
{
    return keyList;
}

QStringList TPairStringList::values() const
{
    return valueList;
}

bool TPairStringList::contains(const QString &key) const
{
    return hash.contains(key);
}

QString TPairStringList::valueOf(const QString &key) const
{
    return hash.value(key);
}

QString TPairStringList::keyOf(const QString &value) const
{
    return hash.key(value);
}
