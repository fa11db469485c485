#pragma once
// The user's programmer names in the user's order, each with its port and
// programmer type. Part of the application settings.

#include "core/TProgNameItem.h"

#include <QHash>
#include <QString>
#include <QStringList>

class TProgName
{
public:
    TProgName();
    virtual ~TProgName();

    int count() const;
    QString at(int index) const;
    bool contains(const QString &name) const;
    // A copy of the name's item; an empty item for an unknown name.
    TProgNameItem find(const QString &name) const;
    void add(bool mark, const QString &name, const QString &port, const QString &type);
    void clear();

private:
    QStringList names;
    QHash<QString, TProgNameItem> items;
};
