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
    beginPart(addrFile, addrFile + (endDevice - addrDevice + 1));
    if (!keepOpened()) {
        file.reset();
        return false;
    }
    windowLength = partLength();
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
    data.resize(int(length));
    const qint64 got = readAsOpened(filePos, data.data(), length);
    data.resize(int(qMax<qint64>(got, 0)));
    if (got < 0)
        return false;
    filePos += got;
    curAddr += got;
    return true;
}

bool TFormatBIN::close()
{
    // A file read is read whole once more: one changed since fails.
    const bool ok = !file || isWriting() || partAsOpened();
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
    filePos = addrFile;
    curAddr = addrDevice;
    return true;
}
