#pragma once
// The programmer's own commands: choosing the device, automatic detection,
// reset pulse, clock generator, pin states and the supplies. A command
// provider standing for the programmer box.

#include "devices/TDevGroup.h"

class TDevProg : public TDevGroup
{
public:
    TDevProg(const QString &name, const TData &params);
    ~TDevProg() override;

    // A new programmer group, owned by the caller; the registry's creator for "Prog".
    static IDevice *create(const QString &name, const TData &params);
    // The programmer codes in the order of the command chooser.
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

    // The parameter forms, each without parent; null where the command, or
    // the programmer whose limits the form shows, is not found.
    static QWidget *editorSetDevice(const TData &data);
    static QWidget *editorAutoDetect(const TData &data);
    static QWidget *editorReset(const TData &data);
    static QWidget *editorGenerator(const TData &data);
    static QWidget *editorSetIO(const TData &data);
    static QWidget *editorSetVcc(const TData &data);
    static QWidget *editorSetVpp(const TData &data);
    static QWidget *editorSetVicc(const TData &data);
    static QWidget *editorSetVipp(const TData &data);
};
