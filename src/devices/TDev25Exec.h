#pragma once
// The executor of one 25xx SPI flash command: identification, erase whole
// or by blocks, empty test by blocks, status registers, security-register
// erase and empty test, unique ID, all through the request builders of
// spi25.h; and the chip's memories for the memory commands of TMemoryExec
// (main memory, security registers, SFDP table).
//
// Transfers move at most the programmer's largest payload per request and
// are cut by the chunk rule of their memory (misc/chunks.h): programs never
// cross a page (main memory: "page_size"), no transfer crosses the end of a
// security register or of the SFDP table, whatever that payload is. Ranges
// that 3-byte addressing cannot reach are refused before anything is sent.

#include "devices/TMemoryExec.h"

class TDev25Exec : public TMemoryExec
{
    Q_OBJECT

public:
    explicit TDev25Exec(const TData &params, QObject *parent = nullptr);
    ~TDev25Exec() override;

    bool execute(TSerialPort *port, bool *stopRun, int *cfgId, int *lastCmdId) override;
    bool ident(TSerialPort *port, QString &text) override;

protected:
    // Main memory, security registers (their linear addresses: register
    // index * 256 + offset) and the SFDP table; only the first two are
    // programmed.
    bool hasArea(Area area) const override;
    // The memory's reach (16 Mbyte, the registers described, 256 SFDP
    // bytes), its chunk rule and the variant of its algorithm key.
    bool prepareArea(Area area, bool write, qint64 first, qint64 last, TChunkRule &rule) override;
    bool readChunk(TSerialPort *port, Area area, qint64 address, qint64 count, QByteArray &bytes) override;
    bool writeChunk(TSerialPort *port, Area area, qint64 address, const QByteArray &bytes) override;

private:
    bool execIdent(TSerialPort *port);
    // The chip by the description's "erase" blocks, the blocks of the
    // command; both check the blocks against the chip first.
    bool execErase(TSerialPort *port);
    bool execEraseBlocks(TSerialPort *port);
    bool execTestEmptyBlocks(TSerialPort *port);
    bool execStatusRegRead(TSerialPort *port);
    bool execStatusRegWrite(TSerialPort *port);
    bool execStatusRegVerify(TSerialPort *port);
    bool execSecRegErase(TSerialPort *port);
    bool execSecRegTestEmpty(TSerialPort *port);
    bool execUniqueIdRead(TSerialPort *port);

    int alg(const char *key) const;
    // True when the program has the variant the description names for the
    // algorithm key (0 is the one there is); else false with a text that
    // names it, before anything is sent.
    bool offered(const char *key);
    // The identification read with "alg_ident".
    bool readId(TSerialPort *port, QByteArray &id);
    // Erases count blocks with the instruction from block begin on.
    bool eraseBlocks(TSerialPort *port, quint8 instruction, qint64 size, qint64 begin, qint64 count);
    // The blocks of the command lie inside the device; else the message.
    bool blocksInside(qint64 size, qint64 begin, qint64 count);

    // Refuses, with a message and before anything is sent, a range the
    // memory's addressing cannot reach.
    bool checkRange(Area area, qint64 first, qint64 last);
    // How reads and programs of a memory are cut into requests.
    TChunkRule ruleOf(Area area, bool write) const;

    // The register count of "status_reg_def", least to 3; false with the
    // reason (text that is no whole bytes, a count not served) otherwise.
    bool statusRegCount(int least, int &count);
    int securityRegCount() const;
    // The security registers the command selects that the chip has, as a
    // mask; false, with the reason, when it selects none of them.
    bool selectedSecurityRegs(uint &mask);
    // Register bytes of "data" valid for a write or verify, or false with a text.
    bool statusData(QByteArray &bytes);
    bool readStatus(TSerialPort *port, QByteArray &bytes);
    // The three registers of a write with the bits the description keeps
    // (TDev25::keptStatusBits) as the chip holds them, read first; a change
    // to the command's image is logged. False with the read's failure.
    bool keepStatusBits(TSerialPort *port, QByteArray &bytes);

    int m_alg = 0;   // the variant of the transfer made ready
};
