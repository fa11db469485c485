#pragma once
// What this copy of the program last read or wrote of one of its files (a
// project, a project list, the catalogue of project lists), by which a save
// tells that another copy, or anybody else, wrote the file since: then it
// writes nothing, and its caller merges what the file holds now or asks
// before writing over it. The contents tell, not the file's times, which a
// coarse clock (FAT's two-second steps) or a copy of the same size can
// leave where they were; these files are small.
//
// Saving through it is the way to write such a file: a writer that changed
// nothing does not call it, and so leaves the file as it is, times and all.

#include "core/TJsonShape.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <functional>

class QWidget;

class TFileSeen
{
public:
    // Nothing known: the next save writes whatever the file holds.
    void forget();
    // The file at path held these bytes when this copy read or wrote them
    // (exists false: there was no file).
    void note(const QString &path, const QByteArray &bytes, bool exists = true);
    // Something is known of the file at path.
    bool knows(const QString &path) const;

    enum Outcome { Written, Changed, Failed };
    // Replaces the file with the bytes, whole or not at all (in text mode
    // the line feeds become the platform's line ends), provided it still
    // holds what was noted of it, is gone, or nothing was noted of that
    // path. The
    // look and the write are one step for every save that goes this way,
    // in this process or another (the folder's lock, TSaveFile::lockTarget).
    // Written: the bytes are noted. Changed: nothing was written; theirs
    // gets what the file holds now. Failed: nothing written, error says
    // why.
    Outcome save(const QString &path, const QByteArray &bytes, bool textMode, QString *error, QByteArray *theirs);

private:
    static QByteArray digest(const QByteArray &bytes);

    QString m_path;   // empty: nothing known
    QByteArray m_digest;
    bool m_exists = false;
};

// A list file (a project list, the catalogue of project lists) as this copy
// of the program read or last wrote it: its entries, the members of its top
// level that the reader does not know and its bytes, by which a save takes
// in what another copy wrote there meanwhile.
class TListFile
{
public:
    // The file's form: its entries in a tree (readListText), the end of its
    // lines, and whether it is written as text (TFileSeen::save).
    TListFile(bool tree, const char *lineEnd, bool textMode) : m_tree(tree), m_lineEnd(lineEnd), m_textMode(textMode)
    {
    }

    // Nothing known; with a path, that there was no file there (one that
    // another copy makes meanwhile is merged with).
    void forget(const QString &path = QString());
    // The entries of the file's text, which are then what this copy holds of
    // the file at path; false, with the reason and nothing known, where the
    // text is no list (readListText).
    bool read(const QString &path, const QByteArray &text, QVector<TListEntry> *entries, QString *error);
    // The file's text of the entries, with the members this copy keeps.
    QByteArray text(const QVector<TListEntry> &entries) const;

    // The entries as this copy holds them now; held gets the indexes of
    // those that a merge may not remove.
    using Mine = std::function<QVector<TListEntry>(QVector<int> *held)>;
    // Shows a merge: the merged entries and, for each, the index of the
    // entry of mine that it is (-1: one the other copy added).
    using Show = std::function<void(const QVector<TListEntry> &merged, const QVector<int> &fromMine)>;
    // Writes mine() to the file at path (TFileSeen::save) until it is
    // written: what another copy wrote meanwhile is merged in
    // (mergeListEntries) and shown, or where it cannot be, the user is
    // asked, with parent, whether to write over it. Written: *written, when
    // given, gets the bytes. Changed: the user kept the file (error says
    // so).
    TFileSeen::Outcome save(const QString &path, const Mine &mine, const Show &show, QWidget *parent, QString *error,
                            QByteArray *written = nullptr);

private:
    bool m_tree;
    const char *m_lineEnd;
    bool m_textMode;
    QVector<TListEntry> m_base;   // the entries as last read or written
    TJsonExtra m_extra;           // the file's members the reader does not know
    TFileSeen m_seen;
};
