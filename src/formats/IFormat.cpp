#include "formats/IFormat.h"

#include "core/TLang.h"
#include "core/helpers.h"
#include "core/platform.h"
#include "core/TSaveFile.h"
#include "formats/format_messages.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <cstring>

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

bool IFormat::openForReading(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return fail(message(fmtmsg::FILE_MISSING).arg(fileName));
    // A folder, a device or a pipe: nothing to read, or no end to it.
    if (!info.isFile())
        return fail(message(fmtmsg::NOT_A_FILE).arg(fileName));
    auto f = std::make_unique<QFile>(fileName);
    if (!f->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return fail(message(fmtmsg::FILE_OPEN).arg(fileName, f->errorString()));
    file = std::move(f);
    return true;
}

QString IFormat::nameProblem(const QString &fileName)
{
    // The written file takes the name's place: never that of a folder or
    // a device.
    const QFileInfo info(fileName);
    return info.exists() && !info.isFile() ? message(fmtmsg::NOT_A_FILE).arg(fileName) : QString();
}

QString IFormat::writeProblem(const QString &fileName, TSaveFile::FolderAnswers *folders)
{
    const QString name = nameProblem(fileName);
    if (!name.isEmpty())
        return name;
    const QString save = TSaveFile::openProblem(fileName, folders);
    return save.isEmpty() ? QString() : message(fmtmsg::FILE_OPEN).arg(fileName, save);
}

bool IFormat::openForWriting(const QString &fileName, bool keepContents)
{
    platform::ignoreFileSizeSignal();
    // The save's open asks the rest of writeProblem.
    const QString problem = nameProblem(fileName);
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

namespace {
// The part of the file is read and compared in pieces of this size: a
// change is found at the latest when the reads reach its piece, and the
// digests take 16 bytes of memory for each (64 KiB for a 16 MiB file).
constexpr qint64 pieceSize = 4096;
} // namespace

void IFormat::beginPart(qint64 from, qint64 limit)
{
    part = checkOnly ? Part::Plain : Part::Taking;
    partFrom = from;
    partLimit = limit;
    partBytes = 0;
    partDone = partToEnd = partUsed = false;
    digests.clear();
    pieceAt = -1;
}

bool IFormat::keepOpened()
{
    // The rest of the part, where the open's pass stopped short of it.
    while (!partDone)
        if (!loadPiece(pieces()))
            return false;
    part = Part::Kept;
    // What the open's own pass gave counts as nothing read.
    partUsed = false;
    // Written to while the open read it: what it read is no one version.
    return partReadsAsOpened();
}

bool IFormat::failChanged()
{
    pieceAt = -1;
    return fail(message(fmtmsg::FILE_CHANGED).arg(file ? file->fileName() : QString()));
}

bool IFormat::loadPiece(qint64 index)
{
    if (index == pieceAt)
        return true;
    pieceAt = -1;
    const qint64 start = partFrom + index * pieceSize;
    qint64 want = pieceSize;
    if (part == Part::Kept)
        want = qBound<qint64>(0, partBytes - index * pieceSize, pieceSize);
    else if (partLimit >= 0)
        want = qBound<qint64>(0, partLimit - start, pieceSize);
    // The open's pass takes the part in order, each piece once.
    if (part == Part::Taking && !partDone && index != pieces())
        return fail(QStringLiteral("The file's piece %1 was read before piece %2").arg(index).arg(pieces()));
    if (part == Part::Taking && partDone)
        want = 0;
    piece.resize(int(want));
    qint64 got = 0;
    if (want > 0 && file->pos() != start && !file->seek(start))
        return failWithFileError();
    while (got < want) {
        const qint64 n = file->read(piece.data() + got, want - got);
        if (n < 0)
            return failWithFileError();
        if (n == 0)
            break;
        got += n;
    }
    piece.resize(int(got));
    if (part == Part::Taking && !partDone) {
        if (got > 0)
            digests += QCryptographicHash::hash(piece, QCryptographicHash::Md5);
        partBytes += got;
        partDone = got < pieceSize;
        partToEnd = got < want;
    } else if (part == Part::Kept && index < pieces()
               && (got != want
                   || QCryptographicHash::hash(piece, QCryptographicHash::Md5)
                          != QByteArray::fromRawData(digests.constData() + index * digestSize, digestSize))) {
        return failChanged();
    }
    pieceAt = index;
    return true;
}

qint64 IFormat::readAsOpened(qint64 at, char *to, qint64 count)
{
    if (part == Part::Plain)
        return readPlain(at, to, count);
    qint64 done = 0;
    while (done < count) {
        const qint64 offset = at + done - partFrom;
        if (offset < 0)
            break;
        if (!loadPiece(offset / pieceSize))
            return -1;
        const qint64 n = qMin(count - done, piece.size() - offset % pieceSize);
        if (n <= 0)
            break;
        std::memcpy(to + done, piece.constData() + offset % pieceSize, size_t(n));
        done += n;
    }
    partUsed = partUsed || done > 0;
    return done;
}

qint64 IFormat::readPlain(qint64 at, char *to, qint64 count)
{
    if (at < partFrom)
        return 0;
    if (partLimit >= 0)
        count = qBound<qint64>(0, partLimit - at, count);
    if (file->pos() != at && !file->seek(at)) {
        failWithFileError();
        return -1;
    }
    qint64 done = 0;
    while (done < count) {
        const qint64 n = file->read(to + done, count - done);
        if (n < 0) {
            failWithFileError();
            return -1;
        }
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

bool IFormat::partAsOpened()
{
    return part != Part::Kept || !partUsed || partReadsAsOpened();
}

bool IFormat::partReadsAsOpened()
{
    pieceAt = -1;
    for (qint64 index = 0; index < pieces(); ++index)
        if (!loadPiece(index))
            return false;
    pieceAt = -1;
    if (!partToEnd)
        return true;
    // A part that ended with the file: the file ends there still.
    char next = 0;
    if (!file->seek(partFrom + partBytes))
        return failWithFileError();
    const qint64 n = file->read(&next, 1);
    return n == 0 || (n < 0 ? failWithFileError() : failChanged());
}
