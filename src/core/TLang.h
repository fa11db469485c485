#pragma once
// The language table: every user-visible message is fetched by its number
// from one language file ("*.lng", one message per line). Loaded once at
// start; afterwards every thread reads it without a lock.

#include <QString>
#include <QStringList>

class TLang
{
public:
    TLang();
    virtual ~TLang();

    // Loads the file, replacing what was loaded before. A file that cannot be
    // opened leaves the table empty.
    void load(const QString &path);
    // Message by number; "?????" for a number below 0 or past the last one.
    QString text(int number) const;

private:
    QStringList texts;
    int count = 0;
};

// The one language table of the process.
extern TLang lang;
