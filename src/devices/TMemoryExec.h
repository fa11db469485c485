#pragma once
// The memory commands of the chip families, written once: the empty test,
// fill write and verify, hex data read, write and verify and file read,
// write and verify of each memory ("char_write", "flash_char_write",
// "eeprom_char_write", ...), and the register files of the 25xx family
// that take the file form ("sec_reg_read", "sec_reg_write",
// "sec_reg_verify", "sfdp_reg_read").
//
// The layer reads the command's parameters, finds its device and
// programmer, refuses before anything is sent what moves nothing (a range
// of no bytes, a file with no data for the range), opens and walks the
// chip-data file, cuts every transfer by the family's chunk rule, compares
// with the "Address/Data/Read" text, stores a read only when it is whole,
// reports progress and ends a transfer on a stop after the chunk under way.
//
// A family derives from it and writes what is its own only: the memories
// it has (hasArea), how a transfer over a range of one is made ready
// (prepareArea: its algorithm variants, its reach, the chunk rule of
// misc/chunks.h), and how one chunk is read and programmed (readChunk,
// writeChunk). Its other commands run through runCommand beside the
// memory commands and may use the walks below.

#include "devices/IDeviceExec.h"
#include "misc/chunks.h"

#include <functional>
#include <initializer_list>
#include <utility>

class IDevice;
class TDataCmd;
class TFormat;
class TProg;

class TMemoryExec : public IDeviceExec
{
    Q_OBJECT

public:
    // The memories the commands reach.
    enum Area { Main, Flash, Eeprom, Security, Sfdp };
    // How a transfer counts its percentage: the share of its range done,
    // the first 0 not reported (Share) or reported (ShareFromZero); or the
    // chip address reached over the range's last address (Address).
    enum class Progress { Share, ShareFromZero, Address };

    ~TMemoryExec() override;

    // A memory command's transfer: its memory, whether it programs it, and
    // its range [first, last], the command's own or, for an empty test
    // (whole), the memory the description gives under the area's keys
    // ("addr_begin" and "size", "flash_...", "eeprom_..."; null for the
    // 25xx register areas).
    struct Transfer
    {
        Area area = Main;
        bool write = false;
        bool whole = false;
        qint64 first = 0;
        qint64 last = -1;
        const char *beginKey = nullptr;
        const char *sizeKey = nullptr;
    };
    // The memory of the area as the description gives it.
    static Transfer memoryOf(const TData &dev, Area area, bool write);
    // The transfer of the record's memory command; false for a code of
    // another kind, and for hex data that is no whole bytes (the check
    // refuses that itself).
    static bool transferOf(const TData &params, const TData &dev, Transfer &transfer);
    // What the layer refuses of the description before it sends anything
    // of a transfer: a memory it describes without bytes for an empty test
    // (or erase) of the whole, one that begins at a negative address. A
    // range of no bytes of the command's own is left to the run's check
    // (emptyRangeText). Each family's check adds what its prepareArea
    // refuses, by the same rule.
    static TCheck describedRange(const TData &dev, const Transfer &transfer);

    // What a memory command does with its chip-data file ("file"): makes
    // it (a file read) or reads it (a file write or verify).
    enum class FileUse { None, Makes, Reads };
    static FileUse fileUseOf(const QString &code);

    // The refusals of a file write or verify that would move nothing: a
    // range of no bytes, a file with no data for the range [first, last].
    static QString emptyFileRangeText(const QString &file, qint64 first);
    static QString fileNoDataText(const QString &file, qint64 first, qint64 last);
    // Opens the chip-data file of a write or verify over [first, last] for
    // reading, or makes its checked open's check alone (check): false, with
    // why, when the open fails or the file holds no data for the range
    // (fileNoDataText). The executors open so; the run's check asks
    // fileDataProblem, which reads nothing of the data.
    static bool openFileData(TFormat &format, bool check, const QString &file, qint64 first, qint64 last,
                             QString &error);
    // That check of the file a write or verify command names: empty when
    // it serves the command's range (or the range holds no bytes, which is
    // refused as such).
    static QString fileDataProblem(const TData &params);
    // The refusal of a memory command of any family and area whose range
    // holds no bytes (a count of 0, hex data of blanks alone, no blocks),
    // as its executor gives it, with the key of the range; empty for a
    // command that moves bytes and for one of another kind.
    static QString emptyRangeText(const TData &params, QString &key);

protected:
    TMemoryExec(const TData &params, Progress progress, QObject *parent = nullptr);

    // ---- What a family writes ----------------------------------------------

    virtual bool hasArea(Area area) const = 0;
    // Makes a transfer over [first, last] of the area ready, for programming
    // (write) or reading: the rule its chunks keep. False, with the reason,
    // for a variant the program lacks, a range past the family's reach, a
    // rule that makes no progress. Sends nothing; the command's device and
    // programmer are found (lookUp). An empty range is never past the reach.
    virtual bool prepareArea(Area area, bool write, qint64 first, qint64 last, TChunkRule &rule) = 0;
    // One read of count bytes at the address; the layer checks the length.
    virtual bool readChunk(TSerialPort *port, Area area, qint64 address, qint64 count,
                           QByteArray &bytes) = 0;
    // One program request of the bytes at the address.
    virtual bool writeChunk(TSerialPort *port, Area area, qint64 address, const QByteArray &bytes) = 0;

    // ---- What the layer gives the family ------------------------------------

    using Command = std::pair<const char *, std::function<bool()>>;
    // Carries out the command of the record's code: a memory command on an
    // area the family has, or one of the family's own (after the port
    // check); any other code fails naming it.
    bool runCommand(TSerialPort *port, std::initializer_list<Command> own);

    // The command's record, its device and (withProg) its programmer; false
    // with message 405 when one is missing.
    bool lookUp(bool withProg);
    const TData &devParams() const { return m_dev; }
    QVariant devParam(const char *key) const;
    // The programmer's largest payload; 0 without a programmer.
    quint16 maxData() const;

    // A rule that makes no progress: the block message.
    bool checkRule(const TChunkRule &rule);
    // The end of a request: false, with its error text, when it failed.
    bool sent(bool ok, const QString &error);
    // Stores the text as the command's "data".
    void storeData(const QString &text);

    // The bytes of a chunk at an address, of a length: what to program or
    // what the chip must hold.
    using Bytes = std::function<QByteArray(qint64 address, qint64 length)>;
    // Takes the bytes read at an address.
    using Sink = std::function<bool(qint64 address, const QByteArray &bytes)>;
    // [first, last] in the rule's chunks: programmed, compared or read.
    TWalkEnd writeRange(TSerialPort *port, Area area, const TChunkRule &rule, qint64 first, qint64 last,
                        const Bytes &bytes, const TProgressStep &step = TProgressStep());
    TWalkEnd verifyRange(TSerialPort *port, Area area, const TChunkRule &rule, qint64 first, qint64 last,
                         const Bytes &expected, const TProgressStep &step = TProgressStep());
    TWalkEnd readRange(TSerialPort *port, Area area, const TChunkRule &rule, qint64 first, qint64 last,
                       const Sink &sink, const TProgressStep &step = TProgressStep());
    // Made ready and with progress: the fill byte over [first, last],
    // programmed or compared; a range of no bytes is refused. Stopped
    // counts as success.
    bool fillRange(TSerialPort *port, Area area, qint64 first, qint64 last, quint8 fill, bool write);
    // The empty test of [first, last].
    bool testEmpty(TSerialPort *port, Area area, qint64 first, qint64 last);

    // A write of first..last by the walk: the chip's change, complete when
    // the walk is done. Stopped counts as success.
    bool changeRange(qint64 first, qint64 last, const std::function<TWalkEnd()> &write);

    // The refusal of a command whose range at first holds no bytes.
    bool failEmptyRange(qint64 first);

    // The progress step of a transfer over [first, last], counted as the
    // family counts it.
    TProgressStep progressOver(qint64 first, qint64 last);
    // One progress step of done in total; true when a stop was requested.
    bool stepProgress(qint64 done, qint64 total);

private:
    enum Op { TestEmpty, CharWrite, CharVerify, DataRead, DataWrite, DataVerify, FileRead, FileWrite, FileVerify };
    // The memory command of a code, its operation and area; null for none.
    struct MemoryCmd
    {
        const char *code;
        Op op;
        Area area;
    };
    static const MemoryCmd *memoryCmd(const QString &code);

    bool execTestEmpty(TSerialPort *port, Area area);
    bool execChar(TSerialPort *port, Area area, bool write);
    bool execData(TSerialPort *port, Area area, Op op);
    bool execFile(TSerialPort *port, Area area, Op op);
    bool readExactly(TSerialPort *port, Area area, qint64 address, qint64 count, QByteArray &bytes);
    // The chip's bytes equal the expected ones; else the mismatch text.
    bool compare(qint64 address, const QByteArray &expected, const QByteArray &read);
    // The log lines of a file transfer done: the message with the bytes it
    // moved, and where the file's data (ending at dataEnd) ended before the
    // range's last address, that they did.
    void logMoved(int message, qint64 bytes, qint64 dataEnd, qint64 last);
    // The log line of a read that did not finish: nothing of it was kept.
    void logNotStored(const QString &file = QString());

    Progress m_scale;
    int m_counter = 0;
    int m_lastPercent = 0;
    TDataCmd *m_cmd = nullptr;
    IDevice *m_device = nullptr;
    TProg *m_prog = nullptr;
    TData m_dev;
};
