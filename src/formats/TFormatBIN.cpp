#include "formats/TFormatBIN.h"

#include "formats/format_messages.h"
#include "misc/dev_misc.h"

TFormatBIN::TFormatBIN(const QString &formatName, const QString &fileName, qint64 addrFile,
                       qint64 addrDevice, qint64 endDevice, qint64 blockSize)
    : formatName(formatName.toLower()),
      fileName(fileName),
      addrFile(addrFile),
      addrDevice(addrDevice),
      endDevice(endDevice),
      blockSize(blockSize),
      filePos(addrFile),
      curAddr(addrDevice)
{
}

bool TFormatBIN::open(int openMode)
{
    if (file)
        return fail(QStringLiteral("The file is already open"));
    if (openMode != ModeRead && openMode != ModeWrite)
        return fail(QStringLiteral("Unknown open mode %1").arg(openMode));
    if (!windowServed())
        return false;
    if (openMode == ModeWrite)
        return openForWriting(fileName, formatName == QLatin1String("bin+"));
    if (!openForWindow(false))
        return false;
    // The window's bytes as they are now: what every read is checked against.
    if (!watchFrom(addrFile) || !file->seek(addrFile) || !takeUpTo(addrFile + windowLength) || !keepOpened()
        || !file->seek(addrFile)) {
        if (error.isEmpty())
            failWithFileError();
        file.reset();
        return false;
    }
    startPass();
    return true;
}

bool TFormatBIN::check()
{
    if (file)
        return fail(QStringLiteral("The file is already open"));
    return windowServed() && openForWindow(true);
}

bool TFormatBIN::windowServed()
{
    if (addrFile < 0 || addrDevice < 0 || endDevice < addrDevice - 1 || blockSize < 1)
        return fail(badWindowText(addrFile, addrDevice, endDevice, blockSize));
    return true;
}

bool TFormatBIN::openForWindow(bool checking)
{
    windowLength = 0;
    if (!openForReading(fileName))
        return false;
    if (file->size() < addrFile) {
        file.reset();
        return fail(message(fmtmsg::FILE_SHORT).arg(fileName, QStringLiteral("0x") + hexText64(addrFile)));
    }
    windowLength = qMin(file->size() - addrFile, endDevice - addrDevice + 1);
    if (checking)
        file.reset();
    return true;
}

bool TFormatBIN::windowHasData() const
{
    return windowLength > 0;
}

bool TFormatBIN::takeUpTo(qint64 end)
{
    QByteArray chunk;
    while (file->pos() < end) {
        chunk = file->read(qMin<qint64>(end - file->pos(), 1 << 20));
        if (chunk.isEmpty())
            return file->error() == QFileDevice::NoError || failWithFileError();
        took(chunk.constData(), chunk.size());
    }
    return true;
}

bool TFormatBIN::finishPass()
{
    // The rest of the window completes the pass, so that it can be
    // compared with the open's whole.
    return (file->pos() == filePos || file->seek(filePos) || failWithFileError())
           && takeUpTo(addrFile + windowLength) && passAsOpened();
}

bool TFormatBIN::write(qint64 address, const QByteArray &data)
{
    if (!file || !isWriting())
        return fail(QStringLiteral("The file is not open for writing"));
    if (address < 0)
        return fail(QStringLiteral("Negative file address %1").arg(address));
    filePos = address;
    if (file->pos() != filePos && !file->seek(filePos))
        return failWithFileError();
    if (!writeAll(data))
        return false;
    filePos += data.size();
    return true;
}

bool TFormatBIN::read(qint64 &address, QByteArray &data)
{
    data.clear();
    if (!file || isWriting())
        return fail(QStringLiteral("The file is not open for reading"));
    curAddr = address;
    const qint64 length = chunkLength(curAddr, endDevice, blockSize);
    if (length == 0)
        return true;
    if (file->pos() != filePos && !file->seek(filePos))
        return failWithFileError();
    data = file->read(length);
    if (data.isEmpty() && file->error() != QFileDevice::NoError)
        return failWithFileError();
    took(data.constData(), data.size());
    filePos += data.size();
    curAddr += data.size();
    if (!stillAsOpened()) {
        data.clear();
        return false;
    }
    return true;
}

bool TFormatBIN::close()
{
    // A pass that read anything is checked whole.
    const bool ok = !file || isWriting() || takenInPass() == 0 || finishPass();
    return finish() && ok;
}

bool TFormatBIN::inAddressOrder() const
{
    return true;
}

qint64 TFormatBIN::lastDataAddress() const
{
    return file && !isWriting() ? file->size() - 1 : -1;
}

bool TFormatBIN::restart()
{
    if (!file || isWriting())
        return fail(QStringLiteral("The file is not open for reading"));
    if (takenInPass() > 0 && !finishPass())
        return false;
    startPass();
    filePos = addrFile;
    curAddr = addrDevice;
    return true;
}
