#pragma once
// What the two command groups (programmer commands and tool commands) share:
// they stand for no chip, so they have no device-level parameters, no
// device form and no set-up record; a form's record is stored as it is.

#include "devices/IDevice.h"

class TDevGroup : public IDevice
{
public:
    using IDevice::IDevice;

    TData cmdParamFromForm(const TData &data) override;
    TCheck checkDevParam(const TData &data) override;
    bool initDevParam(TData &data) override;
    QWidget *createDevParamForm(const TData &data) override;
    QByteArray devSetup(const TData &data) override;
};
