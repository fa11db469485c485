#pragma once
// The tool commands: flow control, delay, pause, counter, jump, executing
// another configuration, external processes, CRC and choosing the
// programmer. A command provider without a chip behind it.

#include "devices/TDevGroup.h"

class TDevTools : public TDevGroup
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
    bool normalizeCmdParam(TData &data) override;
    TCheck checkCmdParam(const TData &data) override;
    IDeviceExec *createExec(const TData &data) override;
};
