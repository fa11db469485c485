#include "core/TProgName.h"

using Lock = std::lock_guard<std::mutex>;

TProgName::TProgName() = default;
TProgName::~TProgName() = default;

TProgName::TProgName(const TProgName &other)
{
    Lock lock(other.m_mutex);
    m_names = other.m_names;
    m_items = other.m_items;
}

TProgName &TProgName::operator=(const TProgName &other)
{
    replace(other);
    return *this;
}

int TProgName::count() const
{
    Lock lock(m_mutex);
    return m_names.size();
}

QString TProgName::at(int index) const
{
    Lock lock(m_mutex);
    return m_names.value(index);
}

QStringList TProgName::names() const
{
    Lock lock(m_mutex);
    return m_names;
}

bool TProgName::contains(const QString &name) const
{
    Lock lock(m_mutex);
    return m_items.contains(name);
}

TProgNameItem TProgName::find(const QString &name) const
{
    Lock lock(m_mutex);
    return m_items.value(name);
}

void TProgName::add(bool mark, const QString &name, const QString &port, const QString &type)
{
    Lock lock(m_mutex);
    m_names.append(name);
    TProgNameItem item;
    item.mark = mark;
    item.port = port;
    item.type = type;
    m_items.insert(name, item);
}

void TProgName::clear()
{
    Lock lock(m_mutex);
    m_names.clear();
    m_items.clear();
}

void TProgName::replace(const TProgName &other)
{
    if (&other == this)
        return;
    // Copy first, then swap in under this list's lock alone.
    QStringList names;
    QHash<QString, TProgNameItem> items;
    {
        Lock lock(other.m_mutex);
        names = other.m_names;
        items = other.m_items;
    }
    Lock lock(m_mutex);
    m_names.swap(names);
    m_items.swap(items);
}
