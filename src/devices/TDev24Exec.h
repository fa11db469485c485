#pragma once
// The executor of one 24xx I2C EEPROM command, and the five programmer
// requests it is made of. After the device set-up record (programmer code
// 0x84) the programmer carries them out on the I2C bus:
//   1 leave     pin states on leaving
//   2 set_clk   clock value, 4 bytes little-endian
//   3 set_addr  chip-select address, already shifted into bits 3-1
//   4 write     control byte, word address (high byte first), data
//   5 read      count (2 bytes little-endian), control byte, word address
// The control byte is 1010 in bits 7-4 and the address bits above the word
// address in bits 3-1. A range whose addresses do not fit there, or a word
// address of other than 1 or 2 bytes, is refused before anything is sent.
//
// The memory commands run in TMemoryExec; this class gives them the chip's
// one memory and its chunk rules (misc/chunks.h): reads at the programmer's
// block and at the end of the span the word address reaches, writes also at
// every page end, so that no write wraps inside its page.

#include "devices/TMemoryExec.h"

class TDev24Exec : public TMemoryExec
{
    Q_OBJECT

public:
    explicit TDev24Exec(const TData &params, QObject *parent = nullptr);

    bool execute(TSerialPort *port, bool *stopRun, int *cfgId, int *lastCmdId) override;
    // Chips of the family carry no identification.
    bool ident(TSerialPort *port, QString &text) override;

    // ---- Programmer requests; false with the port's error text on failure --
    static bool i2c24Leave(TSerialPort *port, const QByteArray &pins, QString &error);
    static bool i2c24SetClk(TSerialPort *port, quint32 clock, QString &error);
    static bool i2c24SetAddr(TSerialPort *port, quint8 address, QString &error);
    static bool i2c24Write(TSerialPort *port, quint8 addrSize, qint64 address,
                           const QByteArray &data, QString &error);
    // data is cleared first and holds the reply on success.
    static bool i2c24Read(TSerialPort *port, quint8 addrSize, qint64 address, quint16 count,
                          QByteArray &data, QString &error);
    // Variant 0 is the only one served; any other sends nothing and leaves
    // the error text as it was.
    static bool i2c24WriteByAlg(quint8 alg, TSerialPort *port, quint8 addrSize, qint64 address,
                                const QByteArray &data, QString &error);
    static bool i2c24ReadByAlg(quint8 alg, TSerialPort *port, quint8 addrSize, qint64 address,
                               quint16 count, QByteArray &data, QString &error);

    // The request head of a write or read: control byte, then the word
    // address, high byte first.
    static QByteArray addressBytes(quint8 addrSize, qint64 address);
    // The first address the control byte cannot carry: 2^(8n+3); 0 for an
    // address size other than 1 or 2.
    static qint64 addressLimit(quint8 addrSize);

    // What a transfer over [first, last] asks of the description before
    // anything is sent: a word address of 1 or 2 bytes, a page of at least
    // one byte for a write, a range the control byte reaches, variant 0 of
    // "alg_read" or "alg_write". The executor's prepareArea and the
    // family's check go by it.
    static TCheck areaCheck(const TData &dev, bool write, qint64 first, qint64 last);
    // That of the command's transfer ("erase" writes the whole chip), and
    // what the layer refuses of the description: for the check.
    static TCheck describedCheck(const TData &dev, const TData &params);

protected:
    // The one memory: "addr_begin", "size".
    bool hasArea(Area area) const override;
    // The word address of 1 or 2 bytes, the range the control byte
    // reaches, variant 0 of "alg_read" and "alg_write".
    bool prepareArea(Area area, bool write, qint64 first, qint64 last, TChunkRule &rule) override;
    bool readChunk(TSerialPort *port, Area area, qint64 address, qint64 count, QByteArray &bytes) override;
    bool writeChunk(TSerialPort *port, Area area, qint64 address, const QByteArray &bytes) override;

private:
    bool execSetAddr(TSerialPort *port);
    // Writes 0xFF over the whole chip, which has no erase of its own.
    bool execErase(TSerialPort *port);

    // What the transfers take from the description, read once per command.
    quint8 m_addrSize = 0;
    quint8 m_algRead = 0;
    quint8 m_algWrite = 0;
};
