#pragma once
// The 25xx SPI serial flash family: one object per device description
// ("gui_type" Dev25). It lists the family's commands, fills, checks and
// summarises their parameters, builds their forms, supplies the SPI clock
// of "set_device" and the 7-byte set-up record, and makes a TDev25Exec per
// command.
//
// Addressing is 3-byte: main-memory commands reach the first 16 Mbyte of a
// larger chip only, so their defaults and checks use that reachable part.

#include "devices/IDevice.h"

#include <QList>

class TDev25 : public IDevice
{
public:
    TDev25(const QString &name, const TData &params);
    ~TDev25() override;

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

    // ---- Rules shared with the executor, over a device parameter record ----

    // An "erase" or "erase_blocks" entry: "<instruction hex>|<block size>".
    struct EraseEntry
    {
        quint8 instruction = 0;
        qint64 size = 0;
    };
    // False unless the text has exactly two parts and a hex instruction; a
    // size that is no number reads as 0.
    static bool parseEraseEntry(const QString &text, EraseEntry &entry);
    // The block sizes of "erase_blocks" in description order.
    static QList<qint64> eraseBlockSizes(const TData &dev);
    // The last "erase_blocks" entry of that (positive) size.
    static bool findEraseBlock(const TData &dev, qint64 size, EraseEntry &entry);
    // Blocks begin .. begin + count - 1 of that size lie inside "size".
    static bool blocksInside(const TData &dev, qint64 size, qint64 begin, qint64 count);
    // The same, and within what 3-byte addresses reach, with why not.
    static TCheck blocksCheck(const TData &dev, qint64 size, qint64 begin, qint64 count);
    // Security registers: "security_reg_size" / 256, at most 8 (one
    // selection bit each).
    static int securityRegCount(const TData &dev);
    // The registers the command's "data" selects that the chip has, one bit
    // each (a selection of 255 is all of them).
    static uint selectedSecurityRegs(const TData &dev, const TData &data);
    // The page a program of main memory keeps inside: the low 16 bits of
    // "page_size" (0: none, refused).
    static qint64 pageSize(const TData &dev);
    // Bytes of main memory from "addr_begin" that 3-byte addresses reach.
    static qint64 reachableSize(const TData &dev);
    // "erase" erases the whole device, all of it reachable, with a
    // well-formed entry whose block divides the size: a chip of 32768 bytes
    // with a 65536-byte block would be erased not at all, one of 98304
    // only in part.
    static TCheck eraseCheck(const TData &dev);
    // The bits of the status image that a status write keeps as the chip
    // holds them: those of the "status_reg_cfg" check boxes marked "k",
    // bits the chip would take but the program must not change (ADP of
    // the 32 Mbyte chips, with which the chip would power up taking
    // addresses of 4 bytes). One byte per register; empty when there are
    // none.
    static QByteArray keptStatusBits(const TData &dev);

    // Texts of the block and security-register commands.
    static QString rangeText(const TData &data);
    QString registersText(const TData &data) const;
    QString statusRegDataText(const TData &data, QWidget *form) const;

    // Mark-up of the security-register selection form: one check box per
    // register, and the default image with every register selected.
    static QStringList secRegMarkup(int count);
    static QString secRegDefault(int count);
    static QStringList uniqueIdMarkup();

private:
    // The command's own rules, before those of the algorithms it uses.
    TCheck commandCheck(const TData &data);
    void initEraseBlocksParam(TData &data) const;
    void setStatusRegDefault(TData &data) const;
    QWidget *createStatusRegForm(const TData &data) const;
    QWidget *createUniqueIdForm(const TData &data) const;
    QWidget *createSecRegSelectForm(const TData &data) const;
    QWidget *createEraseBlocksForm(const TData &data) const;
    QWidget *createEmptyForm() const;
    QWidget *createClkForm(const QString &section, const TData &data) const;
    // Shows freshly read register bytes in the open form of that command.
    static void pushRegisterData(QWidget *form, int idCmd, const QString &text);

    qint64 securityAreaSize() const;
    qint64 sfdpAreaSize() const;

    QStringList m_cmds;
};
