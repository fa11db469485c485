#pragma once
// The executor of XMC1 commands. The programmer carries out no XMC1 chip
// command, so nothing is sent: every command fails with a text that says
// so. "flash_file_verify" opens its file first and is refused, saying so,
// when the file holds no data in the command's window (nothing to compare).
// `ident` gives no identification and leaves every text as it was.

#include "devices/IDeviceExec.h"

class TDevXMC1_ASCFD_Exec : public IDeviceExec
{
    Q_OBJECT

public:
    explicit TDevXMC1_ASCFD_Exec(const TData &params);
    ~TDevXMC1_ASCFD_Exec() override;

    bool execute(TSerialPort *port, bool *stopRun, int *cfgId, int *lastCmdId) override;
    bool ident(TSerialPort *port, QString &id) override;

private:
    bool execFlashFileVerify(TSerialPort *port);
};
