#include "core/TFileSeen.h"

#include "core/TSaveFile.h"
#include "core/TLang.h"
#include "core/core_messages.h"
#include "core/helpers.h"


#include <QCryptographicHash>
#include <QFileInfo>

namespace {

QString absolute(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

void TFileSeen::forget()
{
    m_path.clear();
    m_digest.clear();
    m_exists = false;
}

void TFileSeen::note(const QString &path, const QByteArray &bytes, bool exists)
{
    m_path = absolute(path);
    m_digest = exists ? digest(bytes) : QByteArray();
    m_exists = exists;
}

bool TFileSeen::knows(const QString &path) const
{
    return !m_path.isEmpty() && m_path == absolute(path);
}

QByteArray TFileSeen::digest(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

TFileSeen::Outcome TFileSeen::save(const QString &path, const QByteArray &bytes, bool textMode, QString *error,
                                   QByteArray *theirs)
{
    QByteArray written = bytes;
#ifdef Q_OS_WIN
    if (textMode)
        written.replace("\n", "\r\n");
#else
    Q_UNUSED(textMode)
#endif
    // A target no save can take (a folder in its place, say) fails as any
    // other write does, before anything is read.
    const QString problem = TSaveFile::openProblem(path);
    if (!problem.isEmpty()) {
        *error = problem;
        return Failed;
    }
    TSaveFile file(path);
    if (!file.lockTarget()) {
        *error = file.errorString();
        return Failed;
    }
    if (knows(path)) {
        // A file gone holds nothing to lose: it is written anew.
        const bool exists = QFileInfo::exists(file.targetFileName());
        theirs->clear();
        if (exists && !readWholeFile(file.targetFileName(), theirs, error)) {
            file.cancelWriting();
            return Failed;
        }
        if (exists && (!m_exists || digest(*theirs) != m_digest)) {
            file.cancelWriting();
            return Changed;
        }
    }
    if (!writeWholeFile(file, written, error, false))
        return Failed;
    note(path, written);
    return Written;
}

TFileSeen::Outcome TFileSeen::saveMerged(const QString &path, bool textMode, const std::function<QByteArray()> &bytes,
                                         const std::function<bool(const QByteArray &)> &merge, QWidget *parent,
                                         QString *error)
{
    // A file changing under every pass gives up in the end.
    for (int pass = 0; pass < 16; ++pass) {
        QByteArray theirs;
        const Outcome outcome = save(path, bytes(), textMode, error, &theirs);
        if (outcome != Changed)
            return outcome;
        if (!merge(theirs)) {
            if (!askYesNo(lang.text(MSG_LIST_CHANGED_ASK).arg(path), parent, false)) {
                *error = lang.text(MSG_FILE_KEPT);
                return Changed;
            }
            // Written over as it stands now.
            note(path, theirs);
        }
    }
    *error = lang.text(MSG_SAVE_BUSY);
    return Failed;
}
