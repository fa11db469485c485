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
    if (addrFile < 0 || addrDevice < 0 || endDevice < addrDevice - 1 || blockSize < 1)
        return fail(badWindowText(addrFile, addrDevice, endDevice, blockSize));
    if (openMode == ModeWrite)
        return openForWriting(fileName, formatName == QLatin1String("bin+"));
    if (!openForReading(fileName))
        return false;
    if (file->size() < addrFile) {
        file.reset();
        return fail(message(fmtmsg::FILE_SHORT).arg(fileName, QStringLiteral("0x") + hexText64(addrFile)));
    }
    return true;
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
    filePos += data.size();
    curAddr += data.size();
    return true;
}

bool TFormatBIN::close()
{
    return finish();
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
