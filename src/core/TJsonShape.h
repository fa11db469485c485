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
//
// What a reader does not know it keeps: the members of an object other than
// the ones it reads (TJsonExtra), each as the file holds it, go back into
// the file where they stood at the next save. A "version" other than the one
// the program writes (1; none at all reads as 1) is refused, naming it: the
// file is of a kind the program cannot read without losing something.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <QVector>

struct TJsonRaw;

class TJsonShape
{
public:
    // Flag: a whole number (set when not 0), true or false.
    enum Kind { Object, Array, Text, WholeNumber, Flag };

    // The text of a refusal goes to *error.
    explicit TJsonShape(QString *error);

    // A file's text: valid JSON (readJsonText) whose top level is an object,
    // its member arrayKey, when there, an array, and its "version" missing or
    // 1 (a refusal of another names it as the text holds it). raw gets the
    // text as it stands (scanJson).
    bool document(const QByteArray &text, const QString &arrayKey, QJsonObject *top, QJsonArray *array,
                  TJsonRaw *raw);
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
    bool top(const QJsonDocument &doc, QJsonObject *object);
    static bool isKind(const QJsonValue &value, Kind kind);
    static QString kindText(Kind kind);
    bool fail(const QString &place, const QString &found, const QString &expected);

    QString *m_error;
    QStringList m_places;
};

// A valid JSON text (readJsonText took it) as it stands: each value's own
// text, an object's members in their order (keys with the text of each as
// it stands) and an array's elements, as deep as the files' readers look:
// the top level's members, their elements and the members of those (a
// configuration's, a list entry's). A deeper value has its text only.
struct TJsonRaw
{
    // The value's text: where it stands in the whole text (which every
    // value shares rather than copies).
    QByteArray text() const { return source.mid(from, size); }
    QByteArray source;
    int from = 0;
    int size = 0;
    QStringList keys;
    QVector<QByteArray> keyTexts;
    QVector<TJsonRaw> values;
    // The member of that key; null when there is none.
    const TJsonRaw *member(const QString &key) const;
};
// False when the text is not one that readJsonText takes.
bool scanJson(const QByteArray &text, TJsonRaw *raw);

// The members of an object that its reader does not know, each as the file
// holds it ("key": value), in their order: those that stood before the
// object's array member (the configurations, the commands, the list) and
// those after it (all before it when it has none).
struct TJsonExtra
{
    QStringList before;
    QStringList after;
    bool isEmpty() const { return before.isEmpty() && after.isEmpty(); }
    bool operator==(const TJsonExtra &o) const { return before == o.before && after == o.after; }
    bool operator!=(const TJsonExtra &o) const { return !(*this == o); }
};
TJsonExtra extraMembers(const TJsonRaw &object, const QStringList &known, const QString &arrayKey);
// The lines of a file's object written back with its members' lines: the
// members before the array, the array's lines (the first of which opens it,
// the last of which closes it) and the members after, each member on a line
// of its own with the indentation, commas between.
QStringList withExtraLines(const TJsonExtra &extra, const QString &indent, const QStringList &arrayLines);

// The entries of a list file (a project list, the catalogue of project
// lists): the top level an object whose "list", when there, is an array of
// objects ("entry 1", "entry 2", ...), each with the texts "name" and
// "file", either of which may be missing, and in a tree (a project list)
// with "parent" and "expand" too.
struct TListEntry
{
    QString name;
    QString file;
    // The members of the entry that its reader does not know ("key": value).
    QStringList extra;
    // Where the entry stands in a tree (a project list): the number of its
    // parent (0 at the top, entries numbered from 1 in the list's order)
    // and whether it is shown expanded. A catalogue's entries are all at
    // the top.
    qint64 parent = 0;
    bool expand = false;
};
// The list file's text, refused when it is empty, no valid JSON, of another
// shape or another version (TJsonShape::document), with the reason in
// *error. In a tree, an entry's "parent", when there, is a whole number, 0
// or the number of an entry before it (entries come in pre-order), and its
// "expand" a flag. *extra, when given, gets the members of the top level
// that the reader does not know.
bool readListText(const QByteArray &text, QVector<TListEntry> *entries, QString *error, bool tree = false,
                  TJsonExtra *extra = nullptr);
// The list file's text of the entries, with the members of the top level
// (extra) and of each entry that the reader did not know; every line ended
// by lineEnd.
QByteArray listText(const QVector<TListEntry> &entries, const TJsonExtra &extra, bool tree, const char *lineEnd);

// The entries of a list as this copy of the program read or last wrote them
// (base), as it holds them now (mine) and as the file holds them now that
// another copy wrote it (theirs), merged entry by entry into *merged: the
// other copy's entries added, removed, edited or reordered since base, and
// this copy's changes as well. An entry is the same in two lists when its
// name, file and other members and those of its parents are; how it is
// expanded is this copy's. fromMine gets, for each merged entry, the index
// of the entry of mine that it is (-1 for one the other copy added). False
// where the two changed the same place differently (an entry both changed
// or replaced, an entry one removed where the other added below it, the
// order of the same entries both changed), or where the merge would remove
// an entry of mine that `held` names: the caller asks then.
bool mergeListEntries(const QVector<TListEntry> &base, const QVector<TListEntry> &mine,
                      const QVector<TListEntry> &theirs, const QVector<int> &held,
                      QVector<TListEntry> *merged, QVector<int> *fromMine);
