#pragma once
// Stands in for the programmer group's executors in runs of chip drivers:
// "set_device" sends the device's set-up record (PROG_SETUP) as the real one
// does; other programmer commands have no executor. Register it with
// deviceList.addCreator(GROUP_PROG, &SetDeviceStandIn::create) before the
// project validates.

#include "core/consts.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDeviceExec.h"
#include "devices/TDevProg.h"
#include "link/TProtocol.h"

class SetDeviceStandInExec : public IDeviceExec
{
public:
    using IDeviceExec::IDeviceExec;
    bool execute(TSerialPort *port, bool *, int *, int *) override
    {
        const TDataCmd *cmd = dataPrj.cmdById(m_params.value(QLatin1String(REC_ID_CMD)).toInt());
        if (!checkPort(port) || !cmd || !cmd->device())
            return false;
        QByteArray record = cmd->device()->devSetup(m_params);
        return transact(port, TProtocol::PROG_SETUP, record);
    }
    bool ident(TSerialPort *, QString &) override { return false; }
};

class SetDeviceStandIn : public TDevProg
{
public:
    using TDevProg::TDevProg;
    static IDevice *create(const QString &name, const TData &params)
    {
        return new SetDeviceStandIn(name, params);
    }
    IDeviceExec *createExec(const TData &data) override
    {
        if (data.value(QLatin1String(REC_CMD)).toString() == QLatin1String(CMD_SET_DEVICE))
            return new SetDeviceStandInExec(data);
        return TDevProg::createExec(data);
    }
};
