#pragma once
// The programmer types in the user's order, each with its description file
// (absolute or relative to the programmers folder). Part of the application
// settings. Locked and replaced whole like the programmer names (TProgName).

#include <QHash>
#include <QString>
#include <QStringList>

#include <mutex>

class TProgType
{
public:
    TProgType();
    TProgType(const TProgType &other);
    TProgType &operator=(const TProgType &other);
    virtual ~TProgType();

    int count() const;
    QString at(int index) const;
    bool contains(const QString &type) const;
    // The type's description file; empty for an unknown type.
    QString value(const QString &type) const;
    void add(const QString &type, const QString &file);
    void clear();
    // Takes over the other list in one locked step.
    void replace(const TProgType &other);

private:
    mutable std::mutex m_mutex;
    QStringList m_names;
    QHash<QString, QString> m_files;
};
