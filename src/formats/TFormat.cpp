#include "formats/TFormat.h"

#include "formats/TFormatBIN.h"
#include "formats/TFormatHEX.h"

TFormat::TFormat(const QString &formatName, const QString &fileName, qint64 addrFile,
                 qint64 addrDevice, qint64 endDevice, qint64 blockSize)
{
    if (isRawBinary(formatName))
        format = std::make_unique<TFormatBIN>(formatName, fileName, addrFile, addrDevice,
                                              endDevice, blockSize);
    else
        format = std::make_unique<TFormatHEX>(fileName, addrFile, addrDevice, endDevice,
                                              blockSize);
}

TFormat::~TFormat() = default;

bool TFormat::open(int mode)
{
    return format->open(mode);
}

bool TFormat::check()
{
    return format->check();
}

bool TFormat::windowHasData() const
{
    return format->windowHasData();
}

bool TFormat::write(qint64 address, const QByteArray &data)
{
    return format->write(address, data);
}

bool TFormat::read(qint64 &address, QByteArray &data)
{
    return format->read(address, data);
}

bool TFormat::close()
{
    return format->close();
}

QString TFormat::errorString() const
{
    return format->errorString();
}

bool TFormat::inAddressOrder() const
{
    return format->inAddressOrder();
}

qint64 TFormat::lastDataAddress() const
{
    return format->lastDataAddress();
}

bool TFormat::restart()
{
    return format->restart();
}

void TFormat::setDataOutsideWindow(bool allowed)
{
    format->setDataOutsideWindow(allowed);
}

QString TFormat::writeProblem(const QString &fileName, TSaveFile::FolderAnswers *folders)
{
    return IFormat::writeProblem(fileName, folders);
}

QString TFormat::filter()
{
    return QStringLiteral("*.bin *.hex");
}

bool TFormat::isRawBinary(const QString &formatName)
{
    return formatName == QLatin1String("bin") || formatName == QLatin1String("bin+");
}

QStringList TFormat::formatList()
{
    return {QStringLiteral("HEX"), QStringLiteral("BIN"), QStringLiteral("BIN+")};
}
