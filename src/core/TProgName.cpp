#include "core/TProgName.h"

TProgName::TProgName() = default;
TProgName::~TProgName() = default;

int TProgName::count() const
{
    return names.size();
}

QString TProgName::at(int index) const
{
    return names.value(index);
}

bool TProgName::contains(const QString &name) const
{
    return items.contains(name);
}

TProgNameItem TProgName::find(const QString &name) const
{
    return items.value(name);
}

void TProgName::add(bool mark, const QString &name, const QString &port, const QString &type)
{
    names.append(name);
    TProgNameItem item;
    item.mark = mark;
    item.port = port;
    item.type = type;
    items.insert(name, item);
}

void TProgName::clear()
{
    names.clear();
    items.clear();
}
