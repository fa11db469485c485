#pragma once
// The programmer types in the user's order, each with its description file
// (absolute or relative to the programmers folder). Part of the application
// settings.

#include <QHash>
#include <QString>
#include <QStringList>

class TProgType
{
public:
    TProgType();
    virtual ~TProgType();

    int count() const;
    QString at(int index) const;
    bool contains(const QString &type) const;
    // The type's description file; empty for an unknown type.
    QString value(const QString &type) const;
    void add(const QString &type, const QString &file);
    void clear();

private:
    QStringList names;
    QHash<QString, QString> files;
};
