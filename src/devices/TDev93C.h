#pragma once
// The 93Cxx serial memory family. No device group selects it: the registry
// has no entry for it, so a built program never offers or runs its
// commands. Its executor carries out only the clock and the erase.

#include "devices/IDevice.h"
#include "devices/IDeviceExec.h"

class TDev93C : public IDevice
{
public:
    TDev93C(const QString &name, const TData &params);

    static IDevice *create(const QString &name, const TData &params);

    bool hasCmd(const QString &code) override;
    QStringList cmdList() override;
    void initCmdParam(TData &data) override;
    QString cmdParamText(const TData &data, QWidget *form) override;
    QWidget *createCmdForm(const TData &data) override;
    TData cmdParamFromForm(const TData &data) override;
    bool normalizeCmdParam(TData &data) override;
    TCheck checkCmdParam(const TData &data) override;
    TCheck checkDevParam(const TData &data) override;
    bool initDevParam(TData &data) override;
    QWidget *createDevParamForm(const TData &data) override;
    QByteArray devSetup(const TData &data) override;
    IDeviceExec *createExec(const TData &data) override;

private:
    QStringList m_cmds;
};

class TDev93CExec : public IDeviceExec
{
    Q_OBJECT

public:
    explicit TDev93CExec(const TData &params, QObject *parent = nullptr);

    bool execute(TSerialPort *port, bool *stopRun, int *cfgId, int *lastCmdId) override;
    bool ident(TSerialPort *port, QString &text) override;

private:
    // Code 2 with "clk", 4 bytes little-endian.
    bool execSetClk(TSerialPort *port);
    // Code 3, empty.
    bool execErase(TSerialPort *port);
};
