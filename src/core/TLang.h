#pragma once
// The language table: every user-visible message is fetched by its number
// from one language file ("*.lng", one message per line). Loaded once at
// start; afterwards every thread reads it without a lock.
//
// A message that shows a count carries the forms of the words that agree
// with it as a count group "{%k:form|form|...}": the group becomes the
// form that the value filled in for %k takes in the file's language. The
// file names its language's forms in message MSG_COUNT_FORMS:
//   "one other"     (2 forms): 1; every other count
//   "one few many"  (3 forms): 1, 21, 101, ...; 2-4, 22-24, ...;
//                   0, 5-20, 25-30, 111, ...
// Groups hold no "{", "}" or "|" in their forms; a "{" that does not begin
// "{%<digits>:" is ordinary text.

#include <QString>
#include <QStringList>
#include <QVector>

#include <type_traits>

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

    // Message by number filled with its values as QString::arg fills them
    // all at once (%1 the first, %2 the second, ..., in one pass: a value
    // that holds "%2" stays as it is), each count group first taking the
    // form its value asks for. Numbers are filled in decimal; anything else
    // is handed in as text.
    template <typename... Values>
    QString text(int number, const Values &...values) const
    {
        return filled(text(number), valueText(values)...);
    }

    // The forms the language's counts take (2 or 3), 0 when the file names
    // none that the table knows.
    int formCount() const { return forms; }

    struct CountGroup
    {
        int placeholder = 0;  // k of "{%k:"
        QStringList forms;
        int from = 0;         // where the group stands in the message
        int length = 0;
    };
    // The count groups of a message; false when one is begun and not
    // closed, or names no placeholder.
    static bool countGroups(const QString &message, QVector<CountGroup> *groups);

private:
    template <typename... Texts>
    QString filled(const QString &message, const Texts &...texts) const
    {
        return withForms(message, {texts...}).arg(texts...);
    }
    // The message with each count group replaced by the form of its value.
    QString withForms(const QString &message, const QStringList &values) const;
    // The form (0 = the first) that a count written in decimal takes; a
    // value that is no whole number takes the last.
    int formOf(const QString &value) const;

    static QString valueText(const QString &value) { return value; }
    template <typename N, std::enable_if_t<std::is_arithmetic<N>::value, int> = 0>
    static QString valueText(N value)
    {
        return QString::number(value);
    }

    QStringList texts;
    int count = 0;
    int forms = 0;
};

// The one language table of the process.
extern TLang lang;
