#include "core/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

QString programDirFromArgument(const QString &argument0)
{
    const int pos = qMax(argument0.lastIndexOf(QLatin1Char('\\')),
                         argument0.lastIndexOf(QLatin1Char('/')));
    return pos < 0 ? argument0 : argument0.left(pos);
}

QStringList pluginPaths(const QString &programDir, const QStringList &qtPaths)
{
    QStringList paths = qtPaths;
    const QString own = programDir + QStringLiteral("/platforms");
    if (QFileInfo(own).isDir() && !paths.contains(own))
        paths.prepend(own);
    return paths;
}

QString fromStoredPath(const QString &path)
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p;
}

QString extendedPath(const QString &absolutePath)
{
    QString p = absolutePath;
    p.replace(QLatin1Char('/'), QLatin1Char('\\'));
    if (p.startsWith(QLatin1String("\\\\?\\")) || p.startsWith(QLatin1String("\\\\.\\")))
        return p;
    if (p.startsWith(QLatin1String("\\\\")))
        return QLatin1String("\\\\?\\UNC\\") + p.mid(2);
    if (p.size() >= 3 && p.at(0).isLetter() && p.at(1) == QLatin1Char(':') && p.at(2) == QLatin1Char('\\'))
        return QLatin1String("\\\\?\\") + p;
    return p;
}

void ignoreFileSizeSignal()
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

#ifdef Q_OS_WIN

// A file opened without sharing is the lock: nobody else can open it while
// the handle lives, and the system deletes it when the handle closes.

namespace {
HANDLE openExclusive(const QString &path, DWORD access, DWORD disposition)
{
    return CreateFileW(reinterpret_cast<const wchar_t *>(extendedPath(path).utf16()),
                       access, 0, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}
} // namespace

qintptr lockNewFile(const QString &path, QString *error)
{
    const HANDLE h = openExclusive(path, GENERIC_WRITE | DELETE, CREATE_NEW);
    if (h != INVALID_HANDLE_VALUE)
        return qintptr(h);
    const DWORD code = GetLastError();
    if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS && code != ERROR_SHARING_VIOLATION)
        *error = qt_error_string(int(code));
    return -1;
}

qintptr lockExistingFile(const QString &path)
{
    if (QFileInfo(path).isSymLink())
        return -1;
    const HANDLE h = openExclusive(path, DELETE, OPEN_EXISTING);
    return h == INVALID_HANDLE_VALUE ? -1 : qintptr(h);
}

qintptr takeFileLock(const QString &path, bool *busy, QString *error)
{
    *busy = false;
    if (QFileInfo(path).isSymLink()) {
        *error = qt_error_string(ERROR_ACCESS_DENIED);
        return -1;
    }
    const HANDLE h = openExclusive(path, GENERIC_READ | DELETE, OPEN_ALWAYS);
    if (h != INVALID_HANDLE_VALUE)
        return qintptr(h);
    const DWORD code = GetLastError();
    if (code == ERROR_SHARING_VIOLATION || (code == ERROR_ACCESS_DENIED && QFileInfo::exists(path)))
        *busy = true;
    else
        *error = qt_error_string(int(code));
    return -1;
}

qintptr lockFolder(const QString &dirPath, bool *busy, QString *error)
{
    return takeFileLock(QDir(dirPath).filePath(QStringLiteral(".velkor-save.lock")), busy, error);
}

void unlockFolder(qintptr handle)
{
    if (handle >= 0)
        CloseHandle(HANDLE(handle));
}

void removeLockedFile(qintptr handle, const QString &)
{
    if (handle >= 0)
        CloseHandle(HANDLE(handle));
}

bool replaceFile(const QString &from, const QString &to, QString *error)
{
    const QString source = extendedPath(from);
    const QString target = extendedPath(to);
    if (MoveFileExW(reinterpret_cast<const wchar_t *>(source.utf16()),
                    reinterpret_cast<const wchar_t *>(target.utf16()),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    *error = qt_error_string(int(GetLastError()));
    return false;
}

bool syncFile(int handle, QString *error)
{
    if (handle < 0)
        return true;
    if (FlushFileBuffers(HANDLE(_get_osfhandle(handle))))
        return true;
    *error = qt_error_string(int(GetLastError()));
    return false;
}

bool fileStamp(int handle, FileStamp &stamp)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (handle < 0 || !GetFileInformationByHandle(HANDLE(_get_osfhandle(handle)), &info))
        return false;
    stamp.size = qint64(quint64(info.nFileSizeHigh) << 32 | info.nFileSizeLow);
    stamp.modified = qint64(quint64(info.ftLastWriteTime.dwHighDateTime) << 32 | info.ftLastWriteTime.dwLowDateTime);
    stamp.changed = 0;
    stamp.file = qint64(quint64(info.nFileIndexHigh) << 32 | info.nFileIndexLow);
    stamp.volume = qint64(info.dwVolumeSerialNumber);
    return true;
}

#else

// An advisory lock of the whole file (flock), which belongs to the open
// file and ends with the last descriptor of it, thus with the process.

namespace {

// The descriptor and the name still lead to the same regular file: a lock
// taken on a file that another process removed meanwhile guards nothing.
bool sameFile(int fd, const QByteArray &native)
{
    struct stat byFd {};
    struct stat byName {};
    return ::fstat(fd, &byFd) == 0 && ::lstat(native.constData(), &byName) == 0
           && S_ISREG(byName.st_mode) && byFd.st_dev == byName.st_dev && byFd.st_ino == byName.st_ino;
}

// Takes the lock of the open descriptor without waiting: false (closed)
// while another holds it (busy set). Any other refusal is a file system
// without such locks: the descriptor is as much of a lock as it offers.
bool lockOrBusy(int fd, bool *busy)
{
    *busy = false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && (errno == EWOULDBLOCK || errno == EINTR)) {
        ::close(fd);
        *busy = true;
        return false;
    }
    return true;
}

// Takes the lock of the opened file and checks that the name still leads
// to it: the descriptor, or -1 (closed) while another holds the lock (busy
// set) or when the name leads elsewhere now (a cleaner or a holder removed
// the file between its opening and its locking).
int lockOpened(int fd, const QByteArray &native, bool *busy)
{
    if (!lockOrBusy(fd, busy))
        return -1;
    if (!sameFile(fd, native)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

qintptr lockNewFile(const QString &path, QString *error)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno != EEXIST)
            *error = qt_error_string(errno);
        return -1;
    }
    bool busy = false;
    return lockOpened(fd, native, &busy);
}

qintptr lockExistingFile(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !sameFile(fd, native)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

qintptr takeFileLock(const QString &path, bool *busy, QString *error)
{
    *busy = false;
    const QByteArray native = QFile::encodeName(path);
    // A holder removes the file as it lets go: a lock taken on the file it
    // removed meanwhile guards nothing, so take the one now at the name.
    for (int attempt = 0; attempt < 64; ++attempt) {
        const int fd = ::open(native.constData(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
        if (fd < 0) {
            *error = qt_error_string(errno);
            return -1;
        }
        // Open to every user whatever the umask, so that one a killed
        // holder left bars nobody (the system refuses this to others).
        ::fchmod(fd, 0644);
        const int lock = lockOpened(fd, native, busy);
        if (lock >= 0 || *busy)
            return lock;
    }
    *busy = true;
    return -1;
}

qintptr lockFolder(const QString &dirPath, bool *busy, QString *error)
{
    *busy = false;
    const int fd = ::open(QFile::encodeName(dirPath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        *error = qt_error_string(errno);
        return -1;
    }
    return lockOrBusy(fd, busy) ? fd : -1;
}

void unlockFolder(qintptr handle)
{
    if (handle >= 0)
        ::close(int(handle));
}

void removeLockedFile(qintptr handle, const QString &path)
{
    if (handle < 0)
        return;
    ::unlink(QFile::encodeName(path).constData());
    ::close(int(handle));
}

bool replaceFile(const QString &from, const QString &to, QString *error)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    *error = qt_error_string(errno);
    return false;
}

bool syncFile(int handle, QString *error)
{
    if (handle < 0 || ::fsync(handle) == 0)
        return true;
    // Files that cannot be synchronised (pipes, some special file systems)
    // are as written as they will get.
    if (errno == EINVAL || errno == EROFS)
        return true;
    *error = qt_error_string(errno);
    return false;
}

bool fileStamp(int handle, FileStamp &stamp)
{
    struct stat st {};
    if (handle < 0 || ::fstat(handle, &st) != 0)
        return false;
#ifdef Q_OS_DARWIN
    const timespec &modified = st.st_mtimespec, &changed = st.st_ctimespec;
#else
    const timespec &modified = st.st_mtim, &changed = st.st_ctim;
#endif
    stamp.size = qint64(st.st_size);
    stamp.modified = qint64(modified.tv_sec) * 1000000000 + modified.tv_nsec;
    stamp.changed = qint64(changed.tv_sec) * 1000000000 + changed.tv_nsec;
    stamp.file = qint64(st.st_ino);
    stamp.volume = qint64(st.st_dev);
    return true;
}

#endif

} // namespace platform

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace platform {

namespace {
std::function<void(const QString &)> &showFolderHook()
{
    static std::function<void(const QString &)> hook;
    return hook;
}
} // namespace

void setShowFolderHook(std::function<void(const QString &)> hook)
{
    showFolderHook() = std::move(hook);
}

void showFolder(const QString &dirPath)
{
    if (showFolderHook()) {
        showFolderHook()(dirPath);
        return;
    }
    const QString explorer = QStandardPaths::findExecutable(QStringLiteral("explorer.exe"));
    if (!explorer.isEmpty()) {
        QProcess::startDetached(explorer, {QDir::toNativeSeparators(dirPath)});
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(dirPath));
}

} // namespace platform
