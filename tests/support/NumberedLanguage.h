#pragma once
// A language table whose message n reads "msg n", so that a test can tell
// which message a text is: QCOMPARE(port.errorString(), NumberedLanguage::text(389)).

#include <QHash>
#include <QString>

class NumberedLanguage
{
public:
    // Loads it into the global table (messages 0 to 999).
    static bool load();
    static QString text(int number);

    // The same table, each message followed by one "[%k]" for each
    // placeholder tests/data/language/messages.tsv gives it ("msg 421 [%1]
    // [%2] [%3]"), so that a test also sees what a text was filled with:
    // QCOMPARE(error, NumberedLanguage::textWithArguments(418).arg(path)).
    // The messages given are loaded as they stand instead (the decimal
    // mark of a language, say).
    static bool loadWithArguments(const QHash<int, QString> &asTheyStand = {});
    static QString textWithArguments(int number);
};
