#pragma once
// The user's programmer names in the user's order, each with its port and
// programmer type. Part of the application settings.
//
// Execution workers look names up while the settings dialog may replace the
// list: every operation holds the list's lock and reads hand out copies.
// Readers take the names together with the types as one copy
// (TAppData::progLists), and the settings dialog swaps both in whole
// (TAppData::setProgLists), so a reader sees the old lists or the new ones,
// never a half-filled list or one list of each.

#include "core/TProgNameItem.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <mutex>

class TProgName
{
public:
    TProgName();
    TProgName(const TProgName &other);
    TProgName &operator=(const TProgName &other);
    virtual ~TProgName();

    int count() const;
    QString at(int index) const;
    QStringList names() const;
    bool contains(const QString &name) const;
    // A copy of the name's item; an empty item for an unknown name.
    TProgNameItem find(const QString &name) const;
    void add(bool mark, const QString &name, const QString &port, const QString &type);
    void clear();
    // Takes over the other list's names and items in one locked step.
    void replace(const TProgName &other);

private:
    mutable std::mutex m_mutex;
    QStringList m_names;
    QHash<QString, TProgNameItem> m_items;
};
