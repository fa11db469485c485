#pragma once
// AVR8 microcontrollers programmed over their SPI serial-programming
// interface: the command list, the defaults, summaries, forms and checks of
// each command, the SPI clock of "set_device" and the 9-byte device set-up
// record (sent with programmer code 0x84):
//
//   0-1  programming-algorithm type ("prg_type" looked up in types.lst), LE
//   2    algorithm subtype ("prg_subtype")
//   3-6  SPI clock as the programmer takes it, LE
//   7    flash write timing: 0 for paged flash, else 0xFF polling / delay
//   8    EEPROM write timing: 0xFF polling / delay
//
// The memory commands follow the shared parameter rules on the description's
// "flash_..." and "eeprom_..." ranges; fuse, lock and calibration commands
// carry their byte image as hex text under "data".

#include "devices/IDevice.h"

class QWidget;

class TDevAVR8_SPI : public IDevice
{
public:
    TDevAVR8_SPI(const QString &name, const TData &params);
    ~TDevAVR8_SPI() override;

    // The registry's creator for "DevAVR8_SPI".
    static IDevice *create(const QString &name, const TData &params);
    // The whole command list before the "gui_cmd_list" filter.
    static QStringList fullCmdList();

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

protected:
    // For the families that share the AVR8 rules: the description stored
    // with "reset" as given and "reset_pol" false, "info" added when absent.
    TDevAVR8_SPI(const QString &name, const TData &params, bool reset);

    static QWidget *newFormDevEmpty();
    // What the family's executor refuses of the description before it
    // sends anything (TDevAVR8_SPI_Exec::describedCheck); checked after the
    // command's own rules.
    virtual TCheck descriptionCheck(const TData &data);

private:
    // The command's own rules, before those of the description.
    TCheck commandCheck(const TData &data);
    QString dataText(const TData &data, QWidget *form, bool pushToForm);
    QWidget *createCfgForm(const TData &data, const char *defKey, const char *cfgKey, bool hexEdit);
};
