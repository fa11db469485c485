#include "core/TSaveFile.h"

#include "core/TLang.h"
#include "core/core_messages.h"
#include "core/platform.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>

#include <chrono>
#include <mutex>
#include <thread>

namespace {

const QLatin1String SAVE_MARK(".velkor-save-");
// The lock file of a target ("<stem>.velkor-save.lock"), by which its
// saves are ordered where its folder cannot be locked (and earlier versions
// ordered them).
const QLatin1String TARGET_LOCK(".velkor-save.lock");
const QLatin1String LOCK_ROLE("lock");
const QLatin1String WORK_ROLE("new");

// The longest stem, in bytes: the longest name of a save's files adds 37
// to it (the mark, the token, a role of up to 8 letters and the INI
// writer's ".<6 letters>"), and file systems take names of 255.
const int STEM_BYTES = 200;
// How long a save waits for the lock of the target's folder that another
// save holds.
const int TARGET_LOCK_WAIT_MS = 10000;

// The locks this process holds. Another process learns that a lock is
// live from the system; within the process, where some file systems would
// hand a second lock of the same file to the same owner, from this list.
// A standard mutex: saves of one file run in several threads.
std::mutex heldMutex;

QSet<QString> &heldLocks()
{
    static QSet<QString> held;
    return held;
}

bool isHeldHere(const QString &lockPath)
{
    const std::lock_guard<std::mutex> lock(heldMutex);
    return heldLocks().contains(lockPath);
}

void setHeldHere(const QString &lockPath, bool held)
{
    const std::lock_guard<std::mutex> lock(heldMutex);
    if (held)
        heldLocks().insert(lockPath);
    else
        heldLocks().remove(lockPath);
}

// The target's name as the names of its save's files begin: the name
// itself when it leaves room for the rest, else as much of it as does and
// a hash of the whole name, so that every name the system takes has names
// for its work files in the same folder.
QString stemOf(const QString &name)
{
    if (QFile::encodeName(name).size() <= STEM_BYTES)
        return name;
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
    QString cut = name;
    while (!cut.isEmpty() && QFile::encodeName(cut).size() > STEM_BYTES - 1 - hash.size()) {
        cut.chop(1);
        if (!cut.isEmpty() && cut.at(cut.size() - 1).isHighSurrogate())
            cut.chop(1);
    }
    return cut + QLatin1Char('~') + hash;
}

// The name the system's lock files of Qt give this process, as they give
// it to every process: its program file's name. Empty without an
// application object.
QString ownProcessName()
{
    if (!QCoreApplication::instance())
        return QString();
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

QString lockPathOf(const QString &prefix)
{
    return prefix + QLatin1Char('.') + LOCK_ROLE;
}

// Makes and holds the lock of a new save of a target whose save files
// begin with base, under a token of its own (prefix gets base and the
// token). Below 0 when none can be made there (reason gets the system's
// reason, or stays empty when every name tried was taken).
qintptr takeSaveLock(const QString &base, QString &prefix, QString &reason)
{
    for (int attempt = 0; attempt < 32 && reason.isEmpty(); ++attempt) {
        // From the system's source: a generator of the process would give
        // a forked child the parent's tokens.
        const QString tried =
            base + QStringLiteral("%1").arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'));
        const qintptr lock = platform::lockNewFile(lockPathOf(tried), &reason);
        if (lock >= 0) {
            prefix = tried;
            setHeldHere(lockPathOf(tried), true);
            return lock;
        }
    }
    return -1;
}

// Lets go of a lock this process holds on a file of its own, and removes
// the file.
void releaseLock(qintptr lock, const QString &lockPath)
{
    platform::removeLockedFile(lock, lockPath);
    setHeldHere(lockPath, false);
}

// The target's part of TSaveFile::openProblem: a folder in its place, or
// a file this user may not write. Qt's own texts for these, in the
// language of its translations.
QString targetProblem(const QFileInfo &info)
{
    if (info.isDir())
        return QCoreApplication::translate("QSaveFile", "Filename refers to a directory");
    if (info.exists() && !info.isWritable())
        return QCoreApplication::translate("QSaveFile", "Existing file %1 is not writable")
            .arg(QDir::toNativeSeparators(info.absoluteFilePath()));
    return QString();
}

// The folder's part: missing, or taking no new file. Write access does not
// tell it all: a folder of the system's own (the process table) or of a
// file system that refuses new files takes none even from its owner. Asked
// as the save asks: by making the lock of a save of the target of that
// stem, which lock then holds (prefix the save's). Empty with lock below 0:
// every name tried was taken.
QString folderProblem(const QString &folder, const QString &stem, qintptr &lock, QString &prefix)
{
    lock = -1;
    const QFileInfo info(folder);
    const QString shown = QDir::toNativeSeparators(info.absoluteFilePath());
    if (!info.isDir())
        return lang.text(MSG_SAVE_NO_FOLDER).arg(shown);
    if (!info.isWritable())
        return lang.text(MSG_SAVE_FOLDER_LOCKED).arg(shown);
    QString reason;
    lock = takeSaveLock(QDir(folder).filePath(stem + SAVE_MARK), prefix, reason);
    return lock < 0 && !reason.isEmpty() ? lang.text(MSG_SAVE_FOLDER_LOCKED).arg(shown) : QString();
}

} // namespace

TSaveFile::TSaveFile(const QString &target)
    : m_final(target)
{
}

TSaveFile::~TSaveFile()
{
    endSave();
}

bool TSaveFile::open(OpenMode mode)
{
    if (isOpen() || m_lock >= 0) {
        setErrorString(QStringLiteral("The save is open already"));
        return false;
    }
    if (!(mode & WriteOnly) || (mode & ~(WriteOnly | Text | Unbuffered))) {
        setErrorString(QStringLiteral("A save opens only for writing"));
        return false;
    }
    unsetError();
    m_final = finalPath(m_final);
    const QFileInfo info(m_final);
    // The lock first: from then on the save's files are known to be live.
    // Its making is the last question of openProblem.
    QString problem = targetProblem(info);
    if (problem.isEmpty())
        problem = folderProblem(info.absolutePath(), stemOf(info.fileName()), m_lock, m_prefix);
    if (problem.isEmpty() && m_lock < 0)
        problem = QStringLiteral("No name for a work file is free");
    if (!problem.isEmpty()) {
        setErrorString(problem);
        return false;
    }
    removeLeftovers(m_final);

    setFileName(m_prefix + QLatin1Char('.') + WORK_ROLE);
    if (!QFile::open(mode)) {
        const QString why = errorString();
        endSave();
        setErrorString(why);
        return false;
    }
    if (info.exists())
        setPermissions(info.permissions());
    return true;
}

QString TSaveFile::finalPath(const QString &target)
{
    QFileInfo info(target);
    int depth = 128;
    while (info.isSymLink() && --depth > 0)
        info.setFile(info.symLinkTarget());
    return depth > 0 ? info.absoluteFilePath() : QFileInfo(target).absoluteFilePath();
}

QString TSaveFile::openProblem(const QString &target, FolderAnswers *folders)
{
    // One look serves a name that is no link.
    QFileInfo info(target);
    if (info.isSymLink())
        info.setFile(finalPath(target));
    const QString problem = targetProblem(info);
    if (!problem.isEmpty())
        return problem;
    const QString folder = info.absolutePath();
    if (folders) {
        const auto known = folders->constFind(folder);
        if (known != folders->constEnd())
            return *known;
    }
    // The lock a save makes first, removed at once (and, were the process
    // killed meanwhile, by the next save of the target).
    qintptr lock = -1;
    QString prefix;
    const QString answer = folderProblem(folder, stemOf(info.fileName()), lock, prefix);
    if (lock >= 0)
        releaseLock(lock, lockPathOf(prefix));
    if (folders)
        folders->insert(folder, answer);
    return answer;
}

bool TSaveFile::lockTarget(int waitMs)
{
    if (m_targetLock >= 0 || m_targetFileLock >= 0)
        return true;
    m_final = finalPath(m_final);
    const QFileInfo info(m_final);
    const QString folder = info.absolutePath();
    const QString file = info.absoluteDir().filePath(stemOf(info.fileName()) + TARGET_LOCK);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs < 0 ? TARGET_LOCK_WAIT_MS : waitMs);
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        bool busy = false;
        QString folderReason;
        QString fileReason;
        // Another save of this process holds it, which some file systems
        // would hand to this one too.
        const bool heldHere = isHeldHere(folder);
        if (!heldHere) {
            // The folder's lock where it can be taken, and the target's
            // lock file where it can be made: a save in a folder this user
            // may write but not read has the file, and one that has both
            // waits for either kind.
            m_targetLock = platform::lockFolder(folder, &busy, &folderReason);
            if (!busy)
                m_targetFileLock = platform::takeFileLock(file, &busy, &fileReason);
            if (busy) {
                platform::unlockFolder(m_targetLock);
                m_targetLock = -1;
            }
        }
        if (m_targetLock >= 0 || m_targetFileLock >= 0) {
            m_targetLockPath = folder;
            setHeldHere(folder, true);
            if (m_targetFileLock >= 0) {
                m_targetFileLockPath = file;
                setHeldHere(file, true);
            }
            return true;
        }
        if (!busy && !heldHere) {
            setErrorString(lang.text(MSG_SAVE_NO_LOCK)
                               .arg(QDir::toNativeSeparators(folder), folderReason, QDir::toNativeSeparators(file),
                                    fileReason));
            return false;
        }
        // Other saves hold it for the few milliseconds a save takes.
        if (std::chrono::steady_clock::now() >= deadline) {
            setErrorString(lang.text(MSG_SAVE_BUSY));
            return false;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(16));
    }
}

QString TSaveFile::sidePath(const QString &role)
{
    if (m_lock < 0)
        return QString();
    const QString path = m_prefix + QLatin1Char('.') + role;
    m_sides.append(path);
    return path;
}

bool TSaveFile::commit()
{
    if (!isOpen() || m_lock < 0) {
        setErrorString(QStringLiteral("The save is not open"));
        endSave();
        return false;
    }
    bool ok = flush();
    QString reason;
    if (ok && !platform::syncFile(handle(), &reason))
        ok = false;
    close();
    ok = ok && error() == NoError;
    if (ok && !platform::replaceFile(fileName(), m_final, &reason))
        ok = false;
    if (!ok && !reason.isEmpty())
        setErrorString(reason);
    endSave();
    return ok;
}

void TSaveFile::cancelWriting()
{
    endSave();
}

void TSaveFile::endSave()
{
    if (isOpen())
        close();
    if (m_lock >= 0)
        removeSaveFiles();
    // The target's locks last: the next save finds this one's files gone.
    if (m_targetFileLock >= 0) {
        releaseLock(m_targetFileLock, m_targetFileLockPath);
        m_targetFileLock = -1;
    }
    if (!m_targetLockPath.isEmpty()) {
        platform::unlockFolder(m_targetLock);
        setHeldHere(m_targetLockPath, false);
        m_targetLock = -1;
        m_targetLockPath.clear();
    }
}

void TSaveFile::removeSaveFiles()
{
    // Everything else of the save goes before its lock.
    QFile::remove(m_prefix + QLatin1Char('.') + WORK_ROLE);
    for (const QString &side : qAsConst(m_sides))
        QFile::remove(side);
    m_sides.clear();
    releaseLock(m_lock, lockPathOf(m_prefix));
    m_lock = -1;
}

void TSaveFile::removeLeftovers(const QString &target)
{
    const QFileInfo info(finalPath(target));
    const QString name = info.fileName();
    if (name.isEmpty())
        return;
    const QDir dir = info.absoluteDir();
    const QString stem = stemOf(name);

    // This program's saves by token: their files, and the tokens whose
    // lock was listed.
    const QRegularExpression own(QStringLiteral("^%1([0-9a-f]{8})\\.([a-z]+)(\\.lock|\\.[A-Za-z]{6})?$")
                                     .arg(QRegularExpression::escape(stem + SAVE_MARK)));
    // The work copies of earlier versions and what the INI writer added.
    const QRegularExpression old(QStringLiteral("^%1\\.([A-Za-z]{6})(\\.lock|\\.[A-Za-z]{6})?$")
                                     .arg(QRegularExpression::escape(name)));
    QHash<QString, QStringList> saves;
    QSet<QString> listedLocks;
    QHash<QString, QStringList> oldCopies;
    QStringList oldLocks;
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::NoSort);
    for (const QFileInfo &entry : entries) {
        if (entry.isSymLink() || !entry.isFile())
            continue;
        const QString file = entry.fileName();
        QRegularExpressionMatch m = own.match(file);
        if (m.hasMatch()) {
            if (m.captured(2) == LOCK_ROLE && m.captured(3).isEmpty())
                listedLocks.insert(m.captured(1));
            else
                saves[m.captured(1)].append(file);
            continue;
        }
        m = old.match(file);
        if (m.hasMatch()) {
            if (m.captured(2) == QLatin1String(".lock"))
                oldLocks.append(m.captured(1));
            else
                oldCopies[m.captured(1)].append(file);
        }
    }
    const auto removeFiles = [&dir](const QStringList &files) {
        for (const QString &file : files)
            QFile::remove(dir.filePath(file));
    };

    QSet<QString> tokens = listedLocks;
    for (auto it = saves.cbegin(); it != saves.cend(); ++it)
        tokens.insert(it.key());
    for (const QString &token : qAsConst(tokens)) {
        const QString lockPath = lockPathOf(dir.filePath(stem + SAVE_MARK + token));
        if (isHeldHere(lockPath))
            continue;
        const QFileInfo lockInfo(lockPath);
        if (!lockInfo.exists() && !lockInfo.isSymLink()) {
            // A save makes its lock before its first file and removes it
            // after its last: files without a lock are a dead save's.
            removeFiles(saves.value(token));
            continue;
        }
        const qintptr lock = platform::lockExistingFile(lockPath);
        if (lock < 0)
            continue; // a live save, or one that just ended
        removeFiles(saves.value(token));
        platform::removeLockedFile(lock, lockPath);
    }

    // The target's lock file, once the process that held it is gone.
    const QString targetLock = dir.filePath(stem + TARGET_LOCK);
    const QFileInfo targetLockInfo(targetLock);
    if (targetLockInfo.isFile() && !targetLockInfo.isSymLink() && !isHeldHere(targetLock)) {
        const qintptr lock = platform::lockExistingFile(targetLock);
        if (lock >= 0)
            platform::removeLockedFile(lock, targetLock);
    }

    const QString self = ownProcessName();
    if (self.isEmpty())
        return;
    for (const QString &token : qAsConst(oldLocks)) {
        QLockFile lock(dir.filePath(name + QLatin1Char('.') + token + QStringLiteral(".lock")));
        // Only the process's death makes the lock stale, never its age.
        lock.setStaleLockTime(0);
        qint64 pid = 0;
        QString host;
        QString app;
        if (!lock.getLockInfo(&pid, &host, &app) || app != self || !lock.tryLock(0))
            continue;
        removeFiles(oldCopies.value(token));
        lock.unlock();
    }
}
