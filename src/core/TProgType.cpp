#include "core/TProgType.h"

using Lock = std::lock_guard<std::mutex>;

TProgType::TProgType() = default;
TProgType::~TProgType() = default;

TProgType::TProgType(const TProgType &other)
{
    Lock lock(other.m_mutex);
    m_names = other.m_names;
    m_files = other.m_files;
}

TProgType &TProgType::operator=(const TProgType &other)
{
    replace(other);
    return *this;
}

int TProgType::count() const
{
    Lock lock(m_mutex);
    return m_names.size();
}

QString TProgType::at(int index) const
{
    Lock lock(m_mutex);
    return m_names.value(index);
}

bool TProgType::contains(const QString &type) const
{
    Lock lock(m_mutex);
    return m_files.contains(type);
}

QString TProgType::value(const QString &type) const
{
    Lock lock(m_mutex);
    return m_files.value(type);
}

void TProgType::add(const QString &type, const QString &file)
{
    Lock lock(m_mutex);
    m_names.append(type);
    m_files.insert(type, file);
}

void TProgType::clear()
{
    Lock lock(m_mutex);
    m_names.clear();
    m_files.clear();
}

void TProgType::replace(const TProgType &other)
{
    if (&other == this)
        return;
    QStringList names;
    QHash<QString, QString> files;
    {
        Lock lock(other.m_mutex);
        names = other.m_names;
        files = other.m_files;
    }
    Lock lock(m_mutex);
    m_names.swap(names);
    m_files.swap(files);
}
