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

void TListFile::forget(const QString &path)
{
    m_base.clear();
    m_extra = TJsonExtra();
    if (path.isEmpty())
        m_seen.forget();
    else
        m_seen.note(path, QByteArray(), false);
}

bool TListFile::read(const QString &path, const QByteArray &text, QVector<TListEntry> *entries, QString *error)
{
    if (!readListText(text, entries, error, m_tree, &m_extra)) {
        forget();
        return false;
    }
    m_base = *entries;
    m_seen.note(path, text);
    return true;
}

QByteArray TListFile::text(const QVector<TListEntry> &entries) const
{
    return listText(entries, m_extra, m_tree, m_lineEnd);
}

TFileSeen::Outcome TListFile::save(const QString &path, const Mine &mine, const Show &show, QWidget *parent,
                                   QString *error, QByteArray *written)
{
    // A file changing under every pass gives up in the end.
    for (int pass = 0; pass < 16; ++pass) {
        QVector<int> held;
        const QVector<TListEntry> entries = mine(&held);
        const QByteArray bytes = text(entries);
        QByteArray theirs;
        const TFileSeen::Outcome outcome = m_seen.save(path, bytes, m_textMode, error, &theirs);
        if (outcome == TFileSeen::Written) {
            m_base = entries;
            if (written)
                *written = bytes;
        }
        if (outcome != TFileSeen::Changed)
            return outcome;
        QVector<TListEntry> read, merged;
        QVector<int> fromMine;
        TJsonExtra extra;
        QString why;
        if (readListText(theirs, &read, &why, m_tree, &extra)
            && mergeListEntries(m_base, entries, read, held, &merged, &fromMine)) {
            show(merged, fromMine);
            m_base = read;
            m_extra = extra;
        } else if (!askYesNo(lang.text(MSG_LIST_CHANGED_ASK).arg(path), parent, false)) {
            *error = lang.text(MSG_FILE_KEPT);
            return TFileSeen::Changed;
        }
        // Written over, merged or not, as it stands now.
        m_seen.note(path, theirs);
    }
    *error = lang.text(MSG_SAVE_BUSY);
    return TFileSeen::Failed;
}
