#pragma once
// A chip family for runs that set up and detect a chip, made by the device
// registry from a description file:
//   gui_type=s|TestFamily
//   setup=s|<hex>      the set-up record sent with "set_device" (none: empty)
//   ident=s|spi        identifies as an SPI flash does: device request 3
//                      with 03 00 9F, the three bytes read as upper-case hex
//   ident=s|none       identifies without a request, as an I2C EEPROM does
//   ident=s|fail       identification fails without a request
// Its executor carries every other command out without a request.
//
// JedecChip is the chip for it: it answers the identification request with
// its three bytes and may refuse set-up records.

#include "devices/IDeviceExec.h"
#include "support/ChipModel.h"
#include "support/FakeDevice.h"

class TTestFamily : public FakeDevice
{
public:
    TTestFamily(const QString &name, const TData &params);

    static IDevice *create(const QString &name, const TData &params);
    static void registerGroup();

    QByteArray devSetup(const TData &data) override;
    IDeviceExec *createExec(const TData &data) override;
};

class TTestFamilyExec : public IDeviceExec
{
    Q_OBJECT
public:
    TTestFamilyExec(const TData &data, const QString &identKind);

    bool execute(TSerialPort *port, bool *stopRun, int *cfgId, int *lastCmdId) override;
    bool ident(TSerialPort *port, QString &text) override;

private:
    QString m_identKind;
};

class JedecChip : public ChipModel
{
public:
    explicit JedecChip(const QByteArray &id) : id(id) {}

    ChipReply setup(const QByteArray &record) override;
    ChipReply request(quint8 code, const QByteArray &payload) override;

    QByteArray id;
    int refuseSetup = -1;         // error code of a refused set-up; -1 accepts
    QVector<QByteArray> setups;   // every record seen
};
