#pragma once
// The XMC1 microcontroller family. Its flash commands follow the AVR8 rules
// (defaults, summaries, forms, checks) and so does its set-up record; it
// has no device-level parameters, no reset pulse, and an executor that
// carries out none of its chip commands (TDevXMC1_ASCFD_Exec). The codes
// only this family lists ("test_empty" and the "bmi_..." commands) take no
// parameters and are never valid.

#include "devices/TDevAVR8_spi.h"

class TDevXMC1_ASCFD : public TDevAVR8_SPI
{
public:
    TDevXMC1_ASCFD(const QString &name, const TData &params);
    ~TDevXMC1_ASCFD() override;

    // The registry's creator for "DevXMC1_ASCFD".
    static IDevice *create(const QString &name, const TData &params);
    static QStringList fullCmdList();

    bool hasCmd(const QString &code) override;
    QStringList cmdList() override;
    TCheck checkDevParam(const TData &data) override;
    bool initDevParam(TData &data) override;
    QWidget *createDevParamForm(const TData &data) override;
    IDeviceExec *createExec(const TData &data) override;
    // No chip command of the family is carried out by the programmer.
    TCheck runCheck(const TData &data) override;

protected:
    // Its executor asks nothing of the description: no algorithm, page or
    // reach of the AVR8 one applies.
    TCheck descriptionCheck(const TData &data) override;
};
