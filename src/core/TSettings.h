#pragma once
// The one accessor of the program's INI files: its own settings file, the
// hot-key file and the programmer descriptions. UTF-8, full keys of the form
// "/Group/Key", and one stored form per value type:
//   flag      0 or 1
//   integer   decimal
//   text list items joined with "|"
//   int list  decimal items joined with "|"
//   colour    0xRRGGBB as a decimal integer (read back opaque)
// A missing or unreadable file reads as empty: every read gives its default.
// The object reads the file once, at its first need, and every read, list
// of keys and its view (see below) comes from what that read found.
// Changes reach the file when the object is destroyed or on flush(), and
// only whole: they are kept here (reads see them at once), written with the
// INI writer into a copy of the file in the same folder, the copy is read
// back, and its bytes replace the file; the copies are files of the one
// TSaveFile of the write, so that what a write cut short leaves goes at the
// next. A write that fails part-way leaves the old file byte for byte as it
// was. The file is read for a write under its lock (TSaveFile::lockTarget)
// and the changes applied to what it holds then: writes of several objects
// or instances at once each keep what the others wrote.
//
// A change is one only against what the object holds the file to be (its
// view): each key it read as that read gave it (an absent key as the
// default it read as), the file's other keys as its one read found them,
// and what it wrote since. A value set as the view has it is no change, a key removed
// that the view does not hold is none either, and a write in which nothing
// changed leaves the file untouched. So a key that another object or
// instance changed meanwhile stays as they left it unless this one changed
// it too. A list of records (writeRecords) changes record by record.
//
// A hand-written value holding an unquoted comma reads as the text it holds
// (the plain INI reader would turn it into a list), taken from the file's
// lines exactly as the INI reader splits them (line feeds, CR LF or lone
// carriage returns, comments, quotes and joined lines alike).
//
// A failed write names the file and the system's reason (no space, file
// too large, ...) in errorString() and leaves no copy or lock file behind.

#include <QColor>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>

class TSettings
{
public:
    // The program's own settings file (settingsFilePath()).
    TSettings();
    // The INI file at that path.
    explicit TSettings(const QString &fileName);
    ~TSettings();
    Q_DISABLE_COPY(TSettings)

    bool readBool(const QString &key, bool def) const;
    void writeBool(const QString &key, bool value);
    int readInt(const QString &key, int def) const;
    void writeInt(const QString &key, int value);
    double readDouble(const QString &key, double def) const;
    QString readString(const QString &key, const QString &def) const;
    void writeString(const QString &key, const QString &value);
    // An absent key gives a list of one empty item.
    QStringList readStringList(const QString &key) const;
    void writeStringList(const QString &key, const QStringList &value);
    // Fewer than two stored items give the default list.
    QList<int> readIntList(const QString &key, const QList<int> &def) const;
    void writeIntList(const QString &key, const QList<int> &value);
    QColor readColor(const QString &key, const QColor &def) const;
    void writeColor(const QString &key, const QColor &value);

    // Key names of a group (without the group), in the reader's order.
    QStringList groupKeys(const QString &group) const;
    // The same keys as full keys "/<group>/<key>".
    QStringList groupKeyPaths(const QString &group) const;
    void removeGroup(const QString &group);

    // Access by full key ("/Group/Key"): changes are kept here until the
    // file is written.
    void setValue(const QString &key, const QVariant &value);
    void remove(const QString &key);
    QVariant value(const QString &key, const QVariant &def = QVariant()) const;
    bool contains(const QString &key) const;
    QStringList allKeys() const;

    // What the object holds the file's keys to be, each full key with its
    // text as stored (see above); a caller that reads the file and writes
    // it much later through another object (the application settings)
    // keeps it and hands it on.
    using View = QHash<QString, QString>;
    View view() const;
    // Takes the view kept from an earlier object of the same file in place
    // of the file as it stands now.
    void setView(const View &view);

    // A list of records kept as the numbered keys "<group>/<prefix><n>"
    // (n from 0 in list order, the fields joined with "|"), each record
    // known by one of its fields, with the index of a chosen record under a
    // key of its own, if any (the programmer names and the default one).
    struct RecordList
    {
        QString group;
        QString prefix;
        int fields = 0;       // values of another field count are no records
        int nameField = 0;    // the field that tells the records apart
        QString indexKey;     // full key of the chosen record's index, or empty
    };
    // The records in the order of their keys' numbers (keys without a number
    // last); values that are not records of the list are skipped.
    QVector<QStringList> readRecords(const RecordList &list);
    // Stores the records and the chosen index (an absent one reads as 0).
    // Written, it changes only the records that differ from the view by
    // name: those added, changed or removed here go into the list as the
    // file holds it then, where the others keep their values and places
    // (an order changed here puts this object's records in its order); the
    // index names the chosen record by its place in that list, this
    // object's choice when it chose another one, else the file's.
    void writeRecords(const RecordList &list, const QVector<QStringList> &records, int index);

    // Calls the function with the file's path after each read of a file
    // by a settings object (a test lets another copy save there between the
    // read and what the object does with it); an empty one ends it.
    static void setReadHook(std::function<void(const QString &)> hook);

    // Writes pending changes; true only when the whole file was written
    // (or nothing was pending, or nothing pending was a change). On false the file is as it was and
    // errorString() tells why; the changes stay pending.
    bool flush();
    QString errorString() const { return m_error; }

    // How long a write waits for another save of the file to end (below
    // 0, the default: a few seconds); one waited for longer fails it.
    void setLockWait(int ms) { m_lockWaitMs = ms; }

    // Rewrites the INI file at path whole or not at all with the changes
    // fill() makes; false (and the reason in error, when given) leaves the
    // old file as it was, also afterwards. lockWaitMs as for setLockWait.
    // A view, when given and not empty, is what the changes are told
    // against; once written it holds them (empty: the file as it stands).
    static bool writeWhole(const QString &path, const std::function<void(TSettings &)> &fill,
                           QString *error = nullptr, int lockWaitMs = -1, View *view = nullptr);

private:
    // One change not yet in the file: a value set, or a key removed with
    // everything below it (the empty key removes all). Keys are full,
    // without leading or doubled slashes.
    struct Change
    {
        QString key;
        bool removal;
        QVariant value;
    };

    // A list as written or read: its records and the chosen index.
    struct Records
    {
        QVector<QStringList> list;
        int index = 0;
    };
    // A list written: as the view holds it, as this object holds it, and
    // whether this object chose another record than the view names.
    struct ListChange
    {
        RecordList list;
        Records base;
        Records mine;
        bool chose = false;
    };
    // What a write changes against the view.
    struct Pending
    {
        QVector<QPair<QString, QVariant>> sets;
        QStringList removals;
        QVector<ListChange> lists;
        bool isEmpty() const { return sets.isEmpty() && removals.isEmpty() && lists.isEmpty(); }
    };

    // The last change touching the full key, or null.
    const Change *changeOf(const QString &key) const;
    QVariant readValue(const QString &key, const QVariant &def) const;
    // The file's entries (full key, value's text), read once, at the first
    // need: every read of this object, its lists of keys and its view come
    // from that one read, so that a save of another object or instance
    // meanwhile is in all of them or in none.
    const QHash<QString, QString> &entries() const;
    // Takes the entries from the file's bytes, in place of that read.
    void takeEntries(const QByteArray &data) const;
    // allKeys() below a full key (empty: all).
    QStringList keysBelow(const QString &prefix) const;
    // Takes the file's entries into the view, once, where no read has put
    // a key: at the first change or when the view is asked for.
    void ensureView() const;
    // A read's result, in the form its writer stores it, into the view.
    void noteRead(const QString &key, const QString &stored) const;
    Records viewRecords(const RecordList &list) const;
    Pending pending(int from) const;
    void settle(const Pending &done);
    bool writeChanges(int from);

    QString m_fileName; // absolute
    QVector<Change> m_changes;
    int m_written = 0; // changes already in the file
    QString m_error;
    int m_lockWaitMs = -1;
    mutable QHash<QString, QString> m_entries;
    mutable bool m_read = false;
    mutable View m_view;
    mutable bool m_viewTaken = false;
    // The lists written and not yet in the file, by group.
    QHash<QString, QPair<RecordList, Records>> m_lists;
};
