#pragma once
// The command catalogue: command code to the name shown to the user, for the
// 72 commands of the program. Filled once before main() and never changed, so
// any thread may read it without a lock.

#include <QHash>
#include <QString>
#include <QStringList>

#include <initializer_list>

class TCmdCode
{
public:
    TCmdCode();
    virtual ~TCmdCode();

    // Display name of a code; empty for a code not in the catalogue.
    QString name(const QString &code) const;
    // Code whose display name equals the text exactly; empty when none.
    QString code(const QString &name) const;
    // Number of codes in the catalogue.
    int count() const;
    // Every code of the catalogue, sorted.
    QStringList codes() const;

private:
    QHash<QString, QString> names;
};

// The one catalogue of the process.
extern const TCmdCode cmdCode;

// True when code is one of the codes (CMD_... of consts.h).
bool isOneOf(const QString &code, std::initializer_list<const char *> codes);
