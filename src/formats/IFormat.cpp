#include "formats/IFormat.h"

#include "core/TLang.h"
#include "core/helpers.h"
#include "core/platform.h"
#include "formats/format_messages.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

bool IFormat::openForWriting(const QString &fileName, bool keepContents)
{
    platform::ignoreFileSizeSignal();
    // The written file takes the name's place: never that of a folder or
    // a device.
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile())
        return fail(message(fmtmsg::NOT_A_FILE).arg(fileName));
    auto f = std::make_unique<QSaveFile>(fileName);
    // Never write in place: where no temporary file can be made beside the
    // target (a folder without write access), a failed or abandoned pass
    // would leave a cut file, and "bin+" would empty the file before its
    // contents were copied. Such a write fails and the file stays whole.
    f->setDirectWriteFallback(false);
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
    return dynamic_cast<QSaveFile *>(file.get()) != nullptr;
}

bool IFormat::finish()
{
    if (!file)
        return true;
    bool ok = true;
    if (auto *save = dynamic_cast<QSaveFile *>(file.get())) {
        // commit() reports success after a failed final flush of its buffer
        // and puts the cut file in place (a HEX file without its end
        // record): every byte must reach the file first.
        if (!flushBytes(*save)) {
            ok = failWithFileError();
            save->cancelWriting();
        } else if (!save->commit()) {
            ok = failWithFileError();
        }
    } else {
        file->close();
    }
    file.reset();
    return ok;
}
