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

#include <QByteArray>
#include <QString>

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

    // save() of a list (a project list, the catalogue) until it is written:
    // what another copy wrote meanwhile is taken in by merge (false where
    // it cannot be, and then the user is asked, with parent, whether to
    // write over it), and bytes() gives what to write after it. Changed:
    // the user kept the file (error says so).
    Outcome saveMerged(const QString &path, bool textMode, const std::function<QByteArray()> &bytes,
                       const std::function<bool(const QByteArray &theirs)> &merge, QWidget *parent, QString *error);

private:
    static QByteArray digest(const QByteArray &bytes);

    QString m_path;   // empty: nothing known
    QByteArray m_digest;
    bool m_exists = false;
};
