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

} // namespace platform

namespace platform {

// Shows a folder in the desktop's file manager without waiting: Explorer
// where there is one, else whatever the desktop opens folders with.
void showFolder(const QString &dirPath);

// Replaces the file manager by a function that receives the folder (tests
// record what would have been shown); an empty function restores it.
void setShowFolderHook(std::function<void(const QString &)> hook);

} // namespace platform
