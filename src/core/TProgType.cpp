#include "core/TProgType.h"

TProgType::TProgType() = default;
TProgType::~TProgType() = default;

int TProgType::count() const
{
    return names.size();
}

QString TProgType::at(int index) const
{
    return names.value(index);
}

bool TProgType::contains(const QString &type) const
{
    return names.contains(type);
}

QString TProgType::value(const QString &type) const
{
    return files.value(type);
}

void TProgType::add(const QString &type, const QString &file)
{
    names.append(type);
    files.insert(type, file);
}

void TProgType::clear()
{
    names.clear();
    files.clear();
}
