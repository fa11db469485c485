#include "formats/IFormat.h"

#include "core/TLang.h"
#include "core/helpers.h"
#include "core/platform.h"
#include "core/TSaveFile.h"
#include "formats/format_messages.h"

#include <QFile>
#include <QFileInfo>

IFormat::~IFormat() = default;

QString IFormat::message(int number)
{
    return lang.text(number);
}

QString IFormat::badWindowText(qint64 addrFile, qint64 addrDevice, qint64 endDevice,
                               qint64 blockSize)
{
    return QStringLiteral("Invalid address window: file address %1, device addresses %2 to %3, "
                          "block size %4")
        .arg(addrFile).arg(addrDevice).arg(endDevice).arg(blockSize);
}

bool IFormat::fail(const QString &text)
{
    error = text;
    return false;
}

bool IFormat::failWithFileError()
{
    // A seek or write that had to empty a buffer the system cut short
    // reports no reason of its own; emptying the rest meets it.
    if (file && isWriting())
        file->flush();
    return fail(file ? file->errorString() : QString());
}

bool IFormat::openForReading(const QString &fileName, QIODevice::OpenMode extra)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return fail(message(fmtmsg::FILE_MISSING).arg(fileName));
    // A folder, a device or a pipe: nothing to read, or no end to it.
    if (!info.isFile())
        return fail(message(fmtmsg::NOT_A_FILE).arg(fileName));
    auto f = std::make_unique<QFile>(fileName);
    if (!f->open(QIODevice::ReadOnly | extra))
        return fail(message(fmtmsg::FILE_OPEN).arg(fileName, f->errorString()));
    file = std::move(f);
    return true;
}

QString IFormat::writeProblem(const QString &fileName, TSaveFile::FolderAnswers *folders)
{
    // The written file takes the name's place: never that of a folder or
    // a device.
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile())
        return message(fmtmsg::NOT_A_FILE).arg(fileName);
    const QString save = TSaveFile::openProblem(fileName, folders);
    return save.isEmpty() ? QString() : message(fmtmsg::FILE_OPEN).arg(fileName, save);
}

bool IFormat::openForWriting(const QString &fileName, bool keepContents)
{
    platform::ignoreFileSizeSignal();
    const QString problem = writeProblem(fileName);
    if (!problem.isEmpty())
        return fail(problem);
    // Never in place: where no work file can be made beside the target (a
    // folder without write access) the pass fails and the file stays whole.
    auto f = std::make_unique<TSaveFile>(fileName);
    if (!f->open(QIODevice::WriteOnly))
        return fail(message(fmtmsg::FILE_OPEN).arg(fileName, f->errorString()));
    file = std::move(f);
    if (keepContents && QFile::exists(fileName)) {
        QFile old(fileName);
        if (!old.open(QIODevice::ReadOnly)) {
            file.reset();
            return fail(message(fmtmsg::FILE_OPEN).arg(fileName, old.errorString()));
        }
        while (!old.atEnd()) {
            const QByteArray chunk = old.read(1 << 20);
            if (chunk.isEmpty() && old.error() != QFileDevice::NoError) {
                file.reset();
                return fail(old.errorString());
            }
            if (!writeAll(chunk)) {
                file.reset();
                return false;
            }
        }
    }
    return true;
}

bool IFormat::writeAll(const QByteArray &bytes)
{
    if (!writeBytes(*file, bytes))
        return failWithFileError();
    return true;
}

bool IFormat::isWriting() const
{
    return dynamic_cast<TSaveFile *>(file.get()) != nullptr;
}

bool IFormat::finish()
{
    if (!file)
        return true;
    bool ok = true;
    if (auto *save = dynamic_cast<TSaveFile *>(file.get())) {
        // Every byte must reach the work file before it replaces the old
        // one (a HEX file cut before its end record never does); a buffer
        // the system cut short names its reason when it is emptied again.
        if (!flushBytes(*save)) {
            ok = failWithFileError();
            save->cancelWriting();
        } else if (!save->commit()) {
            ok = fail(save->errorString());
        }
    } else {
        file->close();
    }
    file.reset();
    return ok;
}

// ---- Reading: the file as its checked open found it ----------------------------

bool IFormat::watchFrom(qint64 from)
{
    watching = file && platform::fileStamp(file->handle(), openedStamp);
    openedFrom = from;
    startPass();
    return true;
}

bool IFormat::keepOpened()
{
    openedDigest = digest.result();
    openedLength = taken;
    // Written to while the open read it: what it read is no one version.
    return stillAsOpened();
}

void IFormat::startPass()
{
    digest.reset();
    taken = 0;
}

void IFormat::took(const char *bytes, qint64 count)
{
    if (count <= 0 || checkOnly)
        return;
    digest.addData(bytes, int(count));
    taken += count;
}

bool IFormat::failChanged(int number)
{
    changedLate = number == fmtmsg::FILE_CHANGED_LATE;
    return fail(message(number).arg(file ? file->fileName() : QString()));
}

bool IFormat::readsAsOpened(bool &same)
{
    const qint64 pos = file->pos();
    QCryptographicHash again(QCryptographicHash::Md5);
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    qint64 left = openedLength;
    if (!file->seek(openedFrom))
        return failWithFileError();
    while (left > 0) {
        const qint64 got = file->read(chunk.data(), qMin<qint64>(left, chunk.size()));
        if (got < 0)
            return failWithFileError();
        if (got == 0)
            break;
        again.addData(chunk.constData(), int(got));
        left -= got;
    }
    // The reader goes on from where it stood.
    if (!file->seek(pos))
        return failWithFileError();
    same = left == 0 && again.result() == openedDigest;
    return true;
}

bool IFormat::stillAsOpened()
{
    if (!watching)
        return true;
    // Every read checks the stamp before it gives its bytes: what was
    // given is the file as opened. Times that moved over the same bytes
    // take the stamp's place; a stamp that moves again while they are
    // read is looked at again, a few times at most.
    for (int look = 0; look < 3; ++look) {
        platform::FileStamp now;
        if (!platform::fileStamp(file->handle(), now) || now.size != openedStamp.size)
            break;
        if (now == openedStamp)
            return true;
        bool same = false;
        if (!readsAsOpened(same))
            return false;
        if (!same)
            break;
        openedStamp = now;
    }
    return failChanged(fmtmsg::FILE_CHANGED);
}

bool IFormat::passAsOpened()
{
    if (!stillAsOpened())
        return false;
    // A change the stamp did not tell (a clock too coarse for it, or no
    // stamp at all) may lie under bytes the reads have given.
    return digest.result() == openedDigest || failChanged(fmtmsg::FILE_CHANGED_LATE);
}
