#include "support/TTestFamily.h"

#include "devices/TDeviceList.h"
#include "link/TSerialPort.h"

#include <QVector>

namespace {

const QString SPI = QStringLiteral("spi");
const QString NONE = QStringLiteral("none");
constexpr quint8 SPI_TRANSFER = 3;

} // namespace

TTestFamily::TTestFamily(const QString &name, const TData &params) : FakeDevice(name)
{
    setParams(params);
}

IDevice *TTestFamily::create(const QString &name, const TData &params)
{
    return new TTestFamily(name, params);
}

void TTestFamily::registerGroup()
{
    deviceList.addCreator(QStringLiteral("TestFamily"), &TTestFamily::create);
}

QByteArray TTestFamily::devSetup(const TData &)
{
    return QByteArray::fromHex(params().value(QStringLiteral("setup")).toString().toLatin1());
}

IDeviceExec *TTestFamily::createExec(const TData &data)
{
    return new TTestFamilyExec(data, params().value(QStringLiteral("ident")).toString());
}

TTestFamilyExec::TTestFamilyExec(const TData &data, const QString &identKind)
    : IDeviceExec(data), m_identKind(identKind)
{
}

bool TTestFamilyExec::execute(TSerialPort *, bool *, int *, int *)
{
    return true;
}

bool TTestFamilyExec::ident(TSerialPort *port, QString &text)
{
    if (m_identKind == NONE)
        return true;
    if (m_identKind != SPI || !checkPort(port))
        return false;
    QByteArray payload = QByteArray::fromHex("03009F");
    if (!transact(port, SPI_TRANSFER, payload))
        return false;
    text = QString::fromLatin1(payload.toHex().toUpper());
    return true;
}

ChipReply JedecChip::setup(const QByteArray &record)
{
    setups << record;
    return refuseSetup < 0 ? ChipReply::success() : ChipReply::failure(quint16(refuseSetup));
}

ChipReply JedecChip::request(quint8 code, const QByteArray &payload)
{
    if (code == SPI_TRANSFER && payload == QByteArray::fromHex("03009F"))
        return ChipReply::success(id);
    return ChipReply::failure(2);
}
