#pragma once
// A file written whole or not at all, the one road by which the program
// replaces its files (settings, projects, project lists and their
// catalogue, chip-data files, copies). The bytes go to a work file beside
// the target, and commit() puts it in the target's place in one step: a
// reader, and a save cut short at any point (the process killed included),
// finds the old file or the new one, whole.
//
// Every file a save makes beside the target is named
//     <stem>.velkor-save-<token>.<role>
// with a token of 8 hex digits that is the save's own and a role of small
// letters: "lock", the save's lock, made first and removed last, which the
// system lets go of when the process ends; "new", the work file; others
// that the writer asks for (sidePath), with the ".lock" and
// ".<6 letters>" files an INI writer adds to such a file while it writes
// it. A save ends by removing them all, whether it commits or not. The
// stem is the target's name; a name of more than 200 bytes is cut to 183
// and "~" and 16 hex digits of a hash of the whole name added, so that
// every name the system takes (255 bytes) has work files that fit.
//
// A writer that reads the target and writes it back changed (the
// settings) takes the target's locks first (lockTarget), which order it
// after every other save that took them, in this process or another, of
// this user or another; the save lets go of them as it ends, and the
// system as its process ends. They are the lock of the target's folder,
// which is no file, so that nothing a killed save left can bar a later
// one from it, and the target's lock file "<stem>.velkor-save.lock" (made
// for the save and removed after it, as earlier versions did), which
// orders the saves in a folder that this user may write but not read, where
// the folder cannot be locked. A save takes each that it can; one that can
// take neither fails naming the folder and what it lacks.
//
// What a save cut short left behind goes at the next save of the same
// target (open() removes it) or whenever removeLeftovers() is called: the
// files of each token whose lock nobody holds any more, or whose lock is
// gone, and a target's lock file that nobody holds. A lock this process may not open (another user's)
// cannot be told from a live one and stays, with its save's files. Files of a save that is still running, in this process or in
// another one, are never touched, and neither is anything named otherwise
// (a user's "velkor.ini.bak", another program's temporary file, a folder or
// a link, the leftovers of another target).
//
// Earlier versions of the program left work copies named "<target's
// name>.<6 letters>" with the INI writer's "<copy>.lock" beside them. Such a
// copy goes too, with its lock, when the lock is this program's own and its
// process is gone: that proves the copy a save's. A copy without a lock
// cannot be told from a user's file and stays.

#include <QFile>
#include <QHash>
#include <QString>
#include <QStringList>

class TSaveFile : public QFile
{
public:
    // The file to replace; a symbolic link is followed to the file it names.
    explicit TSaveFile(const QString &target);
    // An open save that was not committed is given up.
    ~TSaveFile() override;

    // Takes the save's lock, removes what earlier saves of the target left
    // behind and opens the work file (write-only, text mode when asked for).
    // False, with the reason in errorString(), when the target is a folder
    // or cannot be written, or the folder takes no new files.
    bool open(OpenMode mode) override;
    // Why open() would fail for the target, as far as that shows before
    // anything is made (the target a folder or not writable, its folder
    // missing or taking no new files); empty when it would open. A check of
    // many files passes the answers it has of their folders (by absolute
    // path; empty: it takes new files), so that each folder is asked once.
    using FolderAnswers = QHash<QString, QString>;
    static QString openProblem(const QString &target, FolderAnswers *folders = nullptr);
    // Takes the target's locks (see above) before the target is read: a
    // save that reads it from then on sees the last save that took them
    // whole, and no such save (of the target, and where the folder's lock
    // is taken, of any file of the folder) runs until this one ends. Waits
    // while another save holds one, waitMs at most (below 0: a few
    // seconds); false, with the reason in errorString(), when neither can
    // be taken (a folder this user may neither read nor write, naming the
    // folder and the system's reasons) or one is not let go of in that
    // time.
    bool lockTarget(int waitMs = -1);
    // The path of another file of this save beside the target (once open),
    // for a writer that needs more than one; it is removed when the save
    // ends. The role is a word of up to 8 small letters other than "lock"
    // and "new".
    QString sidePath(const QString &role);
    // Writes what is buffered, waits until it is on the disk and replaces
    // the target with it; false, with the reason in errorString(), leaves
    // the target as it was. The save ends either way.
    bool commit();
    // Ends the save without touching the target.
    void cancelWriting();

    // The file that commit() replaces (links followed).
    QString targetFileName() const { return m_final; }
    // The file a save of the target replaces: its absolute path, symbolic
    // links followed (to where they lead, also where nothing is yet).
    static QString finalPath(const QString &target);

    // Removes what saves of the target cut short left behind (see above).
    static void removeLeftovers(const QString &target);

private:
    void endSave();
    void removeSaveFiles();

    QString m_final;
    QString m_prefix; // "<folder>/<stem>.velkor-save-<token>" while open
    qintptr m_lock = -1;
    qintptr m_targetLock = -1; // the folder's
    QString m_targetLockPath; // the folder, while either lock is held
    qintptr m_targetFileLock = -1;
    QString m_targetFileLockPath;
    QStringList m_sides;
};
