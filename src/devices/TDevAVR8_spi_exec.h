#pragma once
// Carries out one command of an AVR8 device on the programmer: signature
// check, erase, flash and EEPROM transfers, fuses, lock bits, calibration
// bytes, clock and leaving programming mode. Every request goes through the
// payload functions of avr8_payload.h; this class owns the chunking, the
// files, the comparisons and the values stored back into the command.
//
// Each command starts from scratch: nothing survives from one command to
// the next. Whatever a command refuses it refuses before the first request.

#include "devices/IDeviceExec.h"
#include "misc/chunks.h"

#include <functional>
#include <memory>

class TFormat;

class TDevAVR8_SPI_Exec : public IDeviceExec
{
    Q_OBJECT

public:
    explicit TDevAVR8_SPI_Exec(const TData &params);
    ~TDevAVR8_SPI_Exec() override;

    bool execute(TSerialPort *port, bool *stopRun, int *cfgId, int *lastCmdId) override;
    // The three signature bytes as upper-case hex text.
    bool ident(TSerialPort *port, QString &id) override;

    // One memory of the chip as a transfer sees it.
    struct Memory
    {
        bool flash = true;
        quint8 readAlg = 0;
        quint8 writeAlg = 0;
        qint64 page = 0;          // flash page in bytes, 0 without pages
        qint8 timing = 0;         // flash page write timing
        quint16 maxData = 0;      // the programmer's largest payload
        qint64 lastExt = 0;       // last extended flash address of this command
    };

private:
    using ChunkFn = std::function<bool(qint64 address, const QByteArray &bytes)>;
    using BytesFn = std::function<QByteArray(qint64 offset, qint64 count)>;

    bool execSetClk(TSerialPort *port);
    bool execIdent(TSerialPort *port);
    bool execErase(TSerialPort *port);
    bool execTestEmpty(TSerialPort *port, bool flash);
    bool execCharWrite(TSerialPort *port, bool flash);
    bool execCharVerify(TSerialPort *port, bool flash);
    bool execDataRead(TSerialPort *port, bool flash);
    bool execDataWrite(TSerialPort *port, bool flash);
    bool execDataVerify(TSerialPort *port, bool flash);
    std::unique_ptr<TFormat> openFileCmd(TSerialPort *port, bool flash, bool write, int mode, Memory &mem,
                                         qint64 &addrFile, qint64 &first, qint64 &last);
    bool execFileRead(TSerialPort *port, bool flash);
    bool execFileWrite(TSerialPort *port, bool flash);
    bool execFileVerify(TSerialPort *port, bool flash);
    bool execFuseRead(TSerialPort *port);
    bool execFuseWrite(TSerialPort *port);
    bool execFuseVerify(TSerialPort *port);
    bool execLockRead(TSerialPort *port);
    bool execLockWrite(TSerialPort *port);
    bool execLockVerify(TSerialPort *port);
    bool execOsccalRead(TSerialPort *port);
    bool execLeave(TSerialPort *port);

    // The description record of the device in force at the command; false
    // with message 405 when the command or its device is missing.
    bool deviceParams(TData &device);
    // An algorithm key of the description; false with a message when no
    // payload variant has that number.
    bool algorithm(const TData &device, const char *key, quint8 &alg);
    // Port check, device and the memory's algorithms, programmer and block
    // sizes; write: also the flash page and timing.
    bool prepareMemory(TSerialPort *port, bool flash, bool write, TData &device, Memory &mem);
    // False with a message when the range lies beyond what the algorithm
    // can address.
    bool inReach(const Memory &mem, qint64 first, qint64 last, bool write);

    // How reads and writes of a memory are cut into requests.
    static TChunkRule readRule(const Memory &mem);
    static TChunkRule writeRule(const Memory &mem);
    // The progress step of a transfer that ends at last.
    TProgressStep progressStep(qint64 last);

    bool readChunk(TSerialPort *port, Memory &mem, qint64 address, qint64 count, QByteArray &bytes);
    bool writeChunk(TSerialPort *port, Memory &mem, qint64 address, const QByteArray &bytes);
    // Walks first..last in read chunks; with progress a stop request ends
    // it with success.
    bool readRange(TSerialPort *port, Memory &mem, qint64 first, qint64 last, const ChunkFn &onChunk,
                   bool withProgress = true);
    // Writes first..last in write chunks taking the bytes from bytesAt.
    bool writeRange(TSerialPort *port, Memory &mem, qint64 first, qint64 last, const BytesFn &bytesAt,
                    bool withProgress = true);
    // Hands the pieces of an open file to onPiece, with progress, then
    // closes it; false (the reason kept) when a piece or the file fails.
    bool fileWalk(TFormat &format, qint64 first, qint64 last, const ChunkFn &onPiece);
    // The bytes read equal the expected ones; else the mismatch text.
    bool compare(qint64 address, const QByteArray &expected, const QByteArray &read);
    bool regData(quint8 count, QByteArray &bytes);
    void storeData(int idCmd, const QString &text);

    bool fuseCount(const TData &device, quint8 &count);
    bool regCommand(TSerialPort *port, TData &device);

    int m_counter = 0;
    int m_lastPercent = 0;
};
