#pragma once
// Intel HEX chip data.
//
// File addresses are the 32-bit addresses of the records; a record at file
// address a holds the bytes of chip address a - addrFile + addrDevice, and
// only file addresses addrFile to windowEnd belong to the window.
//
// Reading understands data (00), end (01), extended segment (02, base =
// value * 16) and extended linear (04, base = value << 16) records and skips
// the start-address records (03, 05). Records may be of any length and need
// not follow each other; pieces are delivered in the order of the file, each
// no longer than the block rule allows.
//
// Opening for reading checks the whole file in one pass before anything is
// delivered: every line a well-formed record (a colon, hex digits, its
// length and checksum), known record types of their proper lengths, an end
// record, no record after it, no two records giving the same address and,
// unless data outside the window is allowed, every data byte inside the
// window (a window of no bytes takes any data). The first fault fails the
// open and names the file, the line and what is wrong. The pass keeps only
// the address ranges seen, so memory stays bounded whatever the file's size.
//
// Writing makes records of at most 16 bytes that end on 16-byte boundaries,
// with "\r\n" line ends. When the window reaches beyond 64 KiB the file
// starts with an extended record: type 02 (segment) up to 1 MiB, type 04
// (linear) above.

#include "formats/IFormat.h"

class TFormatHEX : public IFormat
{
public:
    TFormatHEX(const QString &fileName, qint64 addrFile, qint64 addrDevice, qint64 endDevice,
               qint64 blockSize);

    bool open(int mode) override;
    bool check() override;
    bool write(qint64 address, const QByteArray &data) override;
    bool read(qint64 &address, QByteArray &data) override;
    bool close() override;
    bool inAddressOrder() const override;
    qint64 lastDataAddress() const override;
    bool restart() override;
    bool windowHasData() const override;

    // The highest address an Intel HEX file can give.
    static constexpr qint64 maxAddress = 0xFFFFFFFFLL;

private:
    struct Record
    {
        int type = -1;       // -1: end of the file
        quint16 offset = 0;
        int size = 0;        // data bytes
        qint64 line = 0;     // line number, from 1
        quint8 bytes[512];   // length, address, type, data, checksum
        const char *data() const { return reinterpret_cast<const char *>(bytes + 4); }
    };

    bool windowValid() const;
    // The window served, else failed with its reason.
    bool windowServed();
    // The open for reading: the file checked whole; with checkOnly
    // nothing is digested and the file is closed again.
    bool openChecked(bool checking);

    // Reading.
    bool checkFile();
    bool checkRest();
    void rewind();
    // The next line without its line end: 1, or 0 at the end of the file,
    // or -1 on failure (the reason kept).
    int nextLine(const char *&text, int &size);
    bool refill();
    // The next record into rec (again the same one after held was set);
    // type -1 at the end of the file.
    bool nextRecord();
    // The lengths a record of its type must have; false with the reason.
    bool typeRulesKept(const Record &record);
    bool lineFault(qint64 line, const QString &what);

    // Writing.
    void emitRecord(qint64 address, const char *data, int size);
    void emitExtended(qint64 address);
    void appendRecord(int type, quint16 offset, const char *data, int size);
    void flushPending();
    bool writeText();

    QString fileName;
    qint64 addrFile;
    qint64 windowEnd; // last file address of the window
    qint64 addrDevice;
    qint64 endDevice;
    qint64 blockSize;
    int mode = -1;
    qint64 pendingAddr;   // file address of the first pending byte
    quint8 extType = 0;   // extended record type in use when writing: 0, 2 or 4
    quint16 upper = 0;    // writing: address bits 31-16 in force
    qint64 base = 0;      // reading: extended base address in force
    bool ended = false;   // reading: the end record or the end of the file was seen
    bool ordered = true;  // reading: every data record starts above all before it
    bool inWindow = false; // reading: a data record lies in the window
    qint64 lastData = -1; // reading: the highest data address of the file
    QByteArray pending;   // bytes not yet written or delivered

    // Reading: the file comes through a buffer of its own, line by line.
    QByteArray buffer;
    int bufPos = 0;
    int bufEnd = 0;
    qint64 filePos = 0;    // the file offset the buffer's end stands at
    bool fileEnd = false;
    qint64 lineNumber = 0; // lines taken so far
    Record rec;
    bool held = false;

    // Writing: records not yet handed to the file.
    QByteArray text;
};
