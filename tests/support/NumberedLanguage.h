#pragma once
// A language table whose message n reads "msg n", so that a test can tell
// which message a text is: QCOMPARE(port.errorString(), NumberedLanguage::text(389)).

#include <QString>

class NumberedLanguage
{
public:
    // Loads it into the global table (messages 0 to 999).
    static bool load();
    static QString text(int number);
};
