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
// Every transfer is cut by a chunk rule (misc/chunks.h): reads at the
// programmer's block and at the end of the span the word address reaches,
// writes also at every page end, so that no write wraps inside its page.

#include "devices/IDeviceExec.h"
#include "misc/chunks.h"

#include <functional>

class TProg;

class TDev24Exec : public IDeviceExec
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

private:
    // What the transfer commands read from the device and the programmer.
    struct Chip
    {
        quint8 addrSize = 0;
        quint16 pageSize = 0;
        quint8 algRead = 0;
        quint8 algWrite = 0;
        quint16 maxData = 0;
        qint64 begin = 0;
        qint64 size = 0;
    };
    // Called with the chunk's address and its bytes; false fails the command.
    using ReadSink = std::function<bool(qint64, const QByteArray &)>;
    // Gives the bytes of the chunk at the address with the length.
    using WriteSource = std::function<QByteArray(qint64, qint64)>;

    bool execSetAddr(TSerialPort *port);
    bool execSetClk(TSerialPort *port);
    bool execErase(TSerialPort *port);
    bool execTestEmpty(TSerialPort *port);
    bool execCharWrite(TSerialPort *port);
    bool execCharVerify(TSerialPort *port);
    bool execDataRead(TSerialPort *port);
    bool execDataWrite(TSerialPort *port);
    bool execDataVerify(TSerialPort *port);
    bool execFileRead(TSerialPort *port);
    bool execFileWrite(TSerialPort *port);
    bool execFileVerify(TSerialPort *port);
    bool execLeave(TSerialPort *port);

    // Finds the command's device (and programmer); false with an empty
    // error text when one is missing.
    bool lookUp(Chip &chip, bool withProg);
    // The address size, the range and the block size fit: else false with
    // the reason as error text.
    bool checkTransfer(const Chip &chip, qint64 first, qint64 last, bool writing);
    // The bytes a word address of addrSize bytes reaches; 0 for an address
    // size other than 1 or 2.
    static qint64 wordSpan(quint8 addrSize);
    // How reads and writes are cut into requests.
    static TChunkRule readRule(const Chip &chip);
    static TChunkRule writeRule(const Chip &chip);
    // The progress step of a command over [first, last].
    TProgressStep progressStep(qint64 first, qint64 last);

    // Reads [first, last] chunk by chunk; stopped counts as success.
    bool readRange(TSerialPort *port, const Chip &chip, qint64 first, qint64 last,
                   const ReadSink &sink, const TProgressStep &step = TProgressStep(),
                   bool *stopped = nullptr);
    bool writeRange(TSerialPort *port, const Chip &chip, qint64 first, qint64 last,
                    const WriteSource &source);
    // Writes a piece of a file in write chunks.
    bool writePiece(TSerialPort *port, const Chip &chip, qint64 address, const QByteArray &data);
    // The end of a file walk: a failed read of the file sets its text.
    bool fileDone(TWalkEnd end, const QString &error);
    // A verify sink: the chunk equals expected(address) byte by byte, else
    // the mismatch text.
    bool compare(qint64 address, const QByteArray &read, const QByteArray &expected);
    // Reads one chunk of exactly count bytes.
    bool readChunk(TSerialPort *port, const Chip &chip, qint64 address, qint64 count,
                   QByteArray &data);
    bool writeChunk(TSerialPort *port, const Chip &chip, qint64 address, const QByteArray &data);

    int m_counter = 0;
    int m_lastPercent = 0;
};
