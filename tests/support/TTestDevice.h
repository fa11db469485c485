#pragma once
// A chip provider made by the device registry from a description file, for
// tests of everything that resolves devices by name. It is a FakeDevice whose
// settings come from its description:
//   gui_type=s|TestDev       the group it is registered under
//   cmds=l|<code>            one line per offered code ("separator" allowed)
//   dev_default=l|<k>=<v>    device-level defaults added by initDevParam
//   norm=s|<k>=<v>           normalizeCmdParam sets this key to this value
// A command record with "bad" = "1" fails checkCmdParam.

#include "support/FakeDevice.h"

class TTestDevice : public FakeDevice
{
public:
    TTestDevice(const QString &name, const TData &params);

    // The registry's creator, and its registration under "TestDev".
    static IDevice *create(const QString &name, const TData &params);
    static void registerGroup();

    // Objects made and calls of checkCmdParam, over all test devices.
    static inline int createdCount = 0;
    static inline int checkCount = 0;

    bool checkCmdParam(const TData &data) override;
    bool checkDevParam(const TData &data) override;
    bool initDevParam(TData &data) override;
};
