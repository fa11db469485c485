#pragma once
// The few places where the program meets its host system. The program was
// laid out for a Windows desktop; these functions give the same behaviour on
// any platform Qt runs on.

#include <QString>
#include <QStringList>

#include <functional>

namespace platform {

// The program's folder from its own path (the first command-line argument):
// the text before the last separator, "\" or "/"; the whole text when it
// holds neither.
QString programDirFromArgument(const QString &argument0);

// The plug-in search path for the program folder: Qt's own paths, plus the
// "platforms" folder beside the program when that folder exists.
QStringList pluginPaths(const QString &programDir, const QStringList &qtPaths);

// A path read from a file may use "\" as its separator; give it with "/".
QString fromStoredPath(const QString &path);

// Makes a write past the process's file-size limit fail with "File too
// large" like any other failed write, instead of ending the process (where
// the system sends a signal for it). Every writer of the program's files
// calls it; calling it again costs nothing.
void ignoreFileSizeSignal();

// ---- Locks that end with their process --------------------------------------
// A lock held on a file of its own, which the system lets go of when the
// process ends, however it ends (killed included): whoever can take it knows
// that its owner is gone. A handle below 0 is no lock.

// Makes the file (which must not exist yet) and holds it locked. Below 0
// when the name is taken (error left empty: try another name) or the file
// cannot be made (error gets the system's reason).
qintptr lockNewFile(const QString &path, QString *error);
// Takes the lock of an existing regular file (never through a symbolic
// link): below 0 while a living process holds it, or when the file is gone
// or cannot be opened.
qintptr lockExistingFile(const QString &path);
// A lock file at the path, made when it is missing and open to every user
// to lock: without waiting, below 0 while another holds it (busy set) or
// when it cannot be made or opened (error gets the system's reason). Let go
// of it with removeLockedFile.
qintptr takeFileLock(const QString &path, bool *busy, QString *error);
// The lock that orders, among every process of every user, the saves that
// read a file of the folder and write it back (TSaveFile::lockTarget):
// without waiting, below 0 while another holds it (busy set) or when it
// cannot be taken (error gets the system's reason: a folder this user may
// not read). Nothing that a process killed meanwhile left behind stands in
// its way: where the system locks folders it is the folder's own lock, so
// no lock file of another user (which this one may not even open) is
// involved; on Windows it is a file of the folder that the system deletes
// with its last handle.
qintptr lockFolder(const QString &dirPath, bool *busy, QString *error);
void unlockFolder(qintptr handle);
// Removes the locked file and lets go of the lock.
void removeLockedFile(qintptr handle, const QString &path);

// The form of an absolute path that the Windows calls above take at any
// length ("\\?\C:\..." and "\\?\UNC\server\..."; Qt's own file functions
// use it too): without it they refuse a path of 260 characters or more,
// which a save's files beside a long target name reach. Other paths, and
// ones already in that form, come back with backslashes only.
QString extendedPath(const QString &absolutePath);

// Puts the file in the other's place in one step, replacing it (both in the
// same folder); false with the system's reason otherwise.
bool replaceFile(const QString &from, const QString &to, QString *error);
// Waits until the written bytes of the open file are on the disk; false
// with the reason where the system says they may not be.
bool syncFile(int handle, QString *error);

// What tells that a file was written to or replaced since it was last
// looked at: its size, the times the system keeps of its last changes and
// which file it is. Good enough to keep what was learnt of a file's
// contents while it stands still; never a proof that the contents are the
// same (a digest of them is).
struct FileStamp
{
    qint64 size = -1;
    qint64 modified = 0;   // data, in the system's units
    qint64 changed = 0;    // data or attributes, where the system keeps it
    qint64 file = 0;       // the file's number on its volume
    qint64 volume = 0;
    bool operator==(const FileStamp &o) const
    {
        return size == o.size && modified == o.modified && changed == o.changed && file == o.file
            && volume == o.volume;
    }
    bool operator!=(const FileStamp &o) const { return !(*this == o); }
};
// The stamp of the open file; false where the system gives none.
bool fileStamp(int handle, FileStamp &stamp);

} // namespace platform

namespace platform {

// Shows a folder in the desktop's file manager without waiting: Explorer
// where there is one, else whatever the desktop opens folders with.
void showFolder(const QString &dirPath);

// Replaces the file manager by a function that receives the folder (tests
// record what would have been shown); an empty function restores it.
void setShowFolderHook(std::function<void(const QString &)> hook);

} // namespace platform
