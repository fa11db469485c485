#pragma once
// The tool commands: flow control, delay, pause, counter, jump, executing
// another configuration, external processes, CRC and choosing the
// programmer. A command provider without a chip behind it.

#include "devices/IDevice.h"

class TDevTools : public IDevice
{
public:
    TDevTools(const QString &name, const TData &params);
    ~TDevTools() override;

    // A new tool group, owned by the caller; the registry's creator for "Tools".
    static IDevice *create(const QString &name, const TData &params);
    // The tool codes in the order of the command chooser, "separator" included.
    static QStringList cmdCodeList();
    static bool hasCommand(const QString &code);

    bool hasCmd(const QString &code) override;
    QStringList cmdList() override;
    void initCmdParam(TData &data) override;
    QString cmdParamText(const TData &data, QWidget *form) override;
    QWidget *createCmdForm(const TData &data) override;
    TData cmdParamFromForm(const TData &data) override;
    bool normalizeCmdParam(TData &data) override;
    bool checkCmdParam(const TData &data) override;
    bool checkDevParam(const TData &data) override;
    bool initDevParam(TData &data) override;
    QWidget *createDevParamForm(const TData &data) override;
    QByteArray devSetup(const TData &data) override;
    IDeviceExec *createExec(const TData &data) override;
};
