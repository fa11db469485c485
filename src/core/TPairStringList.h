#pragma once
// An ordered list of key and value texts with lookup both ways. Text form:
// "key=value|key=value"; see the text constructor.

#include <QHash>
#include <QString>
#include <QStringList>

class TPairStringList
{
public:
    TPairStringList();
    // Items separated by "|", each trimmed; empty items, items starting with
    // "#" and items without "=" are skipped; the key is the text before the
    // first "=", the value everything after it.
    explicit TPairStringList(const QString &text);
    virtual ~TPairStringList();

    // Appends the pair; the hash keeps the value of the last addition.
    void add(const QString &key, const QString &value);
    int count() const;
    QString key(int index) const;
    QString value(int index) const;
    QStringList keys() const;
    QStringList values() const;
    bool contains(const QString &key) const;
    // The value of the key; empty when absent.
    QString valueOf(const QString &key) const;
    // A key whose value equals the text exactly; empty when none.
    QString keyOf(const QString &value) const;

private:
    QStringList keyList;
    QStringList valueList;
    QHash<QString, QString> hash;
};
