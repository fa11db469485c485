#pragma once
// The 24xx I2C serial EEPROM family: its commands, their parameters, texts,
// checks and forms, the device-level clock and chip-select address of a
// "set_device" command with their set-up record, and the executor.
//
// Chip-select address "addr": the levels of pins A2, A1, A0 as bits 2-0,
// valid 0 to 7. The description's "addr_mask" says which of the pins the
// chip has; the others are "NC" and never reach the programmer.

#include "devices/IDevice.h"

#include <QWidget>

class TFormDevCfg;
class TFormDevSetCLK;

class TDev24 : public IDevice
{
public:
    TDev24(const QString &name, const TData &params);

    // The registry's creator ("Dev24").
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

    // "addr" read as an unsigned number, 8 bits, is at most 7.
    static TCheck checkAddr(const TData &data);
    // "Address: <A2><A1><A0>": the pin's level, or "-" for a pin the chip
    // lacks.
    QString addrText(const TData &data) const;
    // The address form's image ("addr" AND "addr_mask", two hex digits) and
    // its mark-up lines.
    QString addrFormData(const TData &data) const;
    QStringList addrFormMarkup() const;
    // The address form of the command: a mark-up form over one byte.
    TFormDevCfg *createAddrForm(const TData &data);
    // The address image a form reported, as the stored decimal text.
    static QString addrFromImage(const QString &image);

private:
    QStringList m_cmds;
};

// The device-level form of a "set_device" command: the clock form above
// the address form. It owns both; the clock form's records pass through
// unchanged, the address form's become {"id_cmd", "addr"}.
class TDev24CDevParam : public QWidget
{
    Q_OBJECT

public:
    // Either form may be null (the clock form is, without a programmer).
    TDev24CDevParam(TFormDevSetCLK *clockForm, TFormDevCfg *addrForm, QWidget *parent = nullptr);

signals:
    void signalChangedCmdParam(const TData &data);

public slots:
    void slotChangedAddr(const TData &data);
};
