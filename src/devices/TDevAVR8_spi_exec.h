#pragma once
// Carries out one command of an AVR8 device on the programmer: signature
// check, erase, fuses, lock bits, calibration bytes, clock and leaving
// programming mode; and the chip's flash and EEPROM for the memory
// commands of TMemoryExec. Every request goes through the payload
// functions of avr8_payload.h.
//
// Each command starts from scratch: nothing survives from one command to
// the next. Whatever a command refuses it refuses before the first request.

#include "devices/TMemoryExec.h"

class TDevAVR8_SPI_Exec : public TMemoryExec
{
    Q_OBJECT

public:
    explicit TDevAVR8_SPI_Exec(const TData &params);
    ~TDevAVR8_SPI_Exec() override;

    bool execute(TSerialPort *port, bool *stopRun, int *cfgId, int *lastCmdId) override;
    // The three signature bytes as upper-case hex text.
    bool ident(TSerialPort *port, QString &id) override;

    // ---- What the executor asks of the description ---------------------------
    // The executor and the family's check go by these rules, so that a run
    // refuses before it starts what the executor would refuse only after
    // the commands before it changed the chip. Each gives the key and why.

    // The variant an algorithm key names (its low 8 bits); refused when
    // the payload has no such variant.
    static quint8 variantOf(const TData &dev, const char *key);
    static TCheck algCheck(const TData &dev, const char *key);
    // The fuse bytes of "fuse_def": whole bytes, at most three; a read by
    // variant 1 of "alg_fuse_read" needs one at least.
    static TCheck fuseCountCheck(const TData &dev, bool read);
    // The calibration bytes of "osccal_def": whole bytes, one at least.
    static TCheck osccalCheck(const TData &dev);
    // A transfer of flash or EEPROM over [first, last]: its variant, a page
    // for the page writes of flash, the addresses the variant reaches.
    static TCheck areaCheck(const TData &dev, Area area, bool write, qint64 first, qint64 last);
    // All of it that the command needs, for the check.
    static TCheck describedCheck(const TData &dev, const TData &params);

protected:
    // Flash and EEPROM ("flash_addr_begin", "eeprom_size", ...).
    bool hasArea(Area area) const override;
    // The variant of the memory's algorithm key and the addresses it
    // reaches; flash transfers keep inside a flash page and a 64 KiB block
    // and load whole words, EEPROM writes keep inside 32 bytes. The first
    // flash chunk of a command selects its extended address.
    bool prepareArea(Area area, bool write, qint64 first, qint64 last, TChunkRule &rule) override;
    bool readChunk(TSerialPort *port, Area area, qint64 address, qint64 count, QByteArray &bytes) override;
    bool writeChunk(TSerialPort *port, Area area, qint64 address, const QByteArray &bytes) override;

private:
    bool execErase(TSerialPort *port);
    bool execIdent(TSerialPort *port);
    bool execFuseRead(TSerialPort *port);
    bool execFuseWrite(TSerialPort *port);
    bool execFuseVerify(TSerialPort *port);
    bool execLockRead(TSerialPort *port);
    bool execLockWrite(TSerialPort *port);
    bool execLockVerify(TSerialPort *port);
    bool execOsccalRead(TSerialPort *port);

    // An algorithm key of the description; false with a message when no
    // payload variant has that number (algCheck).
    bool algorithm(const char *key, quint8 &alg);
    // The command's device found and the variant of the algorithm key.
    bool prepareCmd(const char *key, quint8 &alg);
    // The timing byte of a write by the polling rule of the two keys.
    qint8 timing(const char *pollingKey, const char *delayKey) const;
    // The signature bytes read with "alg_ident".
    bool readSignature(TSerialPort *port, quint8 alg, QByteArray &sig);
    bool fuseCount(quint8 &count);
    bool regData(quint8 count, QByteArray &bytes);
    bool readFuses(TSerialPort *port, quint8 alg, quint8 count, QByteArray &fuses);
    bool readLock(TSerialPort *port, quint8 alg, quint8 &value);

    // The transfer made ready: its memory, variant, flash timing and the
    // last extended flash address of the command.
    bool m_flash = true;
    quint8 m_alg = 0;
    qint8 m_timing = 0;
    qint64 m_lastExt = 0;
};
