#pragma once
// The executor of one 25xx SPI flash command: main memory (identify, erase
// whole or by blocks, empty test, fill-character, hex-data and file
// transfers), status registers, security registers, SFDP table and unique
// ID, all through the request builders of spi25.h.
//
// Transfers move at most the programmer's largest payload per request and
// are cut by the chunk rule of their area (misc/chunks.h): programs never
// cross a page (main memory: "page_size"), no transfer crosses the end of a
// security register or of the SFDP table, whatever that payload is. Ranges that 3-byte
// addressing cannot reach are refused before anything is sent.

#include "devices/IDeviceExec.h"
#include "misc/chunks.h"

#include <functional>

class IDevice;
class TDataCmd;
class TProg;

class TDev25Exec : public IDeviceExec
{
    Q_OBJECT

public:
    explicit TDev25Exec(const TData &params, QObject *parent = nullptr);
    ~TDev25Exec() override;

    bool execute(TSerialPort *port, bool *stopRun, int *cfgId, int *lastCmdId) override;
    bool ident(TSerialPort *port, QString &text) override;

    bool execSetClk(TSerialPort *port);
    bool execIdent(TSerialPort *port);
    bool execErase(TSerialPort *port);
    bool execTestEmpty(TSerialPort *port);
    bool execEraseBlocks(TSerialPort *port);
    bool execTestEmptyBlocks(TSerialPort *port);
    bool execCharWrite(TSerialPort *port);
    bool execCharVerify(TSerialPort *port);
    bool execDataRead(TSerialPort *port);
    bool execDataWrite(TSerialPort *port);
    bool execDataVerify(TSerialPort *port);
    bool execFileRead(TSerialPort *port);
    bool execFileWrite(TSerialPort *port);
    bool execFileVerify(TSerialPort *port);
    bool execStatusRegRead(TSerialPort *port);
    bool execStatusRegWrite(TSerialPort *port);
    bool execStatusRegVerify(TSerialPort *port);
    bool execSecRegErase(TSerialPort *port);
    bool execSecRegTestEmpty(TSerialPort *port);
    bool execSecRegRead(TSerialPort *port);
    bool execSecRegWrite(TSerialPort *port);
    bool execSecRegVerify(TSerialPort *port);
    bool execUniqueIdRead(TSerialPort *port);
    bool execSfdpRegRead(TSerialPort *port);
    bool execLeave(TSerialPort *port);

private:
    // The memory a transfer works on; each has its own requests and limits.
    enum Area { AreaMain, AreaSecurity, AreaSfdp };

    // The port is open and the command, its device and (withProg) its
    // programmer are found; fills the members below.
    bool prepare(TSerialPort *port, bool withProg);
    int alg(const char *key) const;
    // True when the program has the variant the description names for the
    // algorithm key (0 is the one there is); else false with a text that
    // names it, before anything is sent.
    bool offered(const char *key);
    QVariant devParam(const char *key) const;

    // Refuses, with a message and before anything is sent, a range the
    // area's addressing cannot reach.
    bool checkRange(Area area, qint64 first, qint64 last);
    // How reads and programs of an area are cut into requests.
    TChunkRule readRule(Area area) const;
    TChunkRule writeRule(Area area) const;
    qint64 pageOf(Area area) const;
    bool checkBlock(qint64 block);
    // The rule makes progress; else the block message.
    bool checkRule(const TChunkRule &rule);
    // The progress step of a transfer over [first, last].
    TProgressStep progressStep(qint64 first, qint64 last);

    // Takes a chunk read at an address.
    using Sink = std::function<bool(qint64 address, const QByteArray &bytes)>;
    // Gives the bytes to program at an address, of a length.
    using Source = std::function<QByteArray(qint64 address, qint64 length)>;

    // One read of exactly count bytes, one program request.
    bool readChunk(TSerialPort *port, Area area, qint64 address, quint16 count, QByteArray &bytes);
    bool programChunk(TSerialPort *port, Area area, qint64 address, const QByteArray &bytes);
    // [first, last] in the area's read or program chunks.
    TWalkEnd readRange(TSerialPort *port, Area area, qint64 first, qint64 last, const Sink &sink,
                       const TProgressStep &step = TProgressStep());
    TWalkEnd programRange(TSerialPort *port, Area area, qint64 first, qint64 last, const Source &source,
                          const TProgressStep &step = TProgressStep());
    // The end of a file walk: a failed read of the file sets its text.
    bool fileEnd(TWalkEnd end, const QString &error);

    // Reads [first, last] in chunks and hands each to check; the first byte
    // that differs from expected(address) fails with the mismatch text.
    bool compareRange(TSerialPort *port, Area area, qint64 first, qint64 last,
                      const std::function<quint8(qint64)> &expected);
    bool testEmptyRange(TSerialPort *port, qint64 first, qint64 last);
    // Compares bytes read at address with the expected bytes.
    bool compareBytes(qint64 address, const QByteArray &expected, const QByteArray &read);

    bool fileRead(TSerialPort *port, Area area);
    bool fileWrite(TSerialPort *port, Area area);
    bool fileVerify(TSerialPort *port, Area area);

    // The register count of "status_reg_def", least to 3; false with the
    // reason (text that is no whole bytes, a count not served) otherwise.
    bool statusRegCount(int least, int &count);
    int securityRegCount() const;
    // Register bytes of "data" valid for a write or verify, or false with a text.
    bool statusData(QByteArray &bytes);
    bool readStatus(TSerialPort *port, QByteArray &bytes);

    void storeData(const QString &text);

    TDataCmd *m_cmd = nullptr;
    IDevice *m_device = nullptr;
    TProg *m_prog = nullptr;
    TData m_dev;
    int m_counter = 0;
    int m_lastPercent = -1;   // so that the first percentage, 0 included, is reported
};
