#pragma once
// Reading a JSON document of a known shape: the project file, a project list
// and the catalogue of project lists. A document that is valid JSON but of
// another shape (another kind of file, a hand edit gone wrong) is refused,
// never read as what it is not: read leniently it would open as an empty or
// altered project or list, and the next save would replace the user's file.
// A member left out is no other shape: it reads as empty ("{}" as no
// configurations or entries, a configuration without "commands" as none),
// which the next save writes back losing nothing.
//
// The first value of another kind than the shape's ends the reading, with
// where it stands and what stands there instead of what was expected:
//   configuration 2, command 5, key "count": the number 100 where a text is expected
// Places are counted from 1, as a user counts them.

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class TJsonShape
{
public:
    // Flag: a whole number (set when not 0), true or false.
    enum Kind { Object, Array, Text, WholeNumber, Flag };

    // The text of a refusal goes to *error.
    explicit TJsonShape(QString *error);

    // The document's top level, which must be an object.
    bool top(const QJsonDocument &doc, QJsonObject *object);
    // Element `index` (from 0) of an array, which must be an object; the
    // place message `place` ("configuration %1") names it with index + 1.
    // The reads until leave() are within it.
    bool enter(const QJsonValue &element, int place, int index, QJsonObject *object);
    void leave();
    // A member of an object of the current place: one that is there must be
    // of the kind; one that is not there gives an undefined value.
    bool member(const QJsonObject &object, const QString &key, Kind kind, QJsonValue *value);
    // A member of the right kind whose value the reader cannot take: what it
    // holds and what was expected there, as texts.
    bool refuse(const QString &key, const QString &found, const QString &expected);

    // How a refusal tells a value: "an object", "the number 100", "null"...
    static QString valueText(const QJsonValue &value);
    // The value of a member checked as a whole number.
    static qint64 whole(const QJsonValue &value) { return qint64(value.toDouble()); }
    // The value of a member checked as a flag; not set when left out.
    static bool flag(const QJsonValue &value) { return value.isBool() ? value.toBool() : whole(value) != 0; }

private:
    static bool isKind(const QJsonValue &value, Kind kind);
    static QString kindText(Kind kind);
    bool fail(const QString &place, const QString &found, const QString &expected);

    QString *m_error;
    QStringList m_places;
};

// The entries of a list file (a project list, the catalogue of project
// lists): the top level an object whose "list", when there, is an array of
// objects ("entry 1", "entry 2", ...), each with the texts "name" and
// "file", either of which may be missing. `more`, when given, reads the
// other members of an entry that its reader takes, within the entry's
// place; false from it ends the reading. False, with the reason in *error,
// for another shape.
struct TListEntry
{
    QString name;
    QString file;
};
using TListEntryReader = std::function<bool(TJsonShape &shape, const QJsonObject &entry, int index)>;
bool readListEntries(const QJsonDocument &doc, QVector<TListEntry> *entries, QString *error,
                     const TListEntryReader &more = {});
// The same of a list file's text, refused too when it is empty or no valid
// JSON (readJsonText).
bool readListText(const QByteArray &text, QVector<TListEntry> *entries, QString *error,
                  const TListEntryReader &more = {});
