#pragma once
// A chip-data file format: one pass over one file, either reading the data
// block by block or writing it piece by piece.
//
//   open(ModeRead)  - read(address, data) until it gives empty data - close()
//   open(ModeWrite) - write(address, data) ...                      - close()
//
// Every operation returns false on failure and keeps the reason in
// errorString(), which names the file. Opening a file for reading checks it
// whole first: a file that is missing, a folder, unreadable or, for Intel
// HEX, broken anywhere fails the open, so that a caller sends nothing of a
// bad file. A file opened for writing is written to a temporary file and
// takes its place only when close() succeeds: a pass that fails or is
// abandoned leaves the file as it was. A file read gives the bytes its
// checked open found, or the read fails naming the file (see "Reading"
// below).

#include "core/TSaveFile.h"

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <memory>

class IFormat
{
public:
    enum Mode { ModeRead = 0, ModeWrite = 1 };

    virtual ~IFormat();

    virtual bool open(int mode) = 0;
    // The check that open(ModeRead) makes of the file, with nothing of its
    // data taken and the file closed again: false with the reason open
    // would give. A caller learns before a command starts whether the file
    // can serve it (windowHasData), without a pass over a large file's
    // data.
    virtual bool check() = 0;
    // Stores the bytes at the file address.
    virtual bool write(qint64 address, const QByteArray &data) = 0;
    // On entry the address is the chip address the caller expects next; on
    // return it is the chip address of the delivered bytes. True with empty
    // data means the end of the data.
    virtual bool read(qint64 &address, QByteArray &data) = 0;
    virtual bool close() = 0;

    // After a checked open for reading: whether read() gives the data in
    // ascending address order (raw binary always; Intel HEX when its
    // records come so), the last file address that holds data (-1 for
    // none), and reading again from the start without a new check.
    virtual bool inAddressOrder() const = 0;
    virtual qint64 lastDataAddress() const = 0;
    virtual bool restart() = 0;
    // After a checked open for reading, or check(): whether the window
    // holds any byte of the file's data. A write or verify of a window
    // without one would move nothing.
    virtual bool windowHasData() const = 0;

    // Why open(ModeWrite) of the file would fail before anything is
    // written (a name that is no file, a folder that takes no work file);
    // empty when it would open. Nothing is made. folders: what is known of
    // folders already asked (TSaveFile::openProblem).
    static QString writeProblem(const QString &fileName, TSaveFile::FolderAnswers *folders = nullptr);

    QString errorString() const { return error; }

    // Data of the file outside the address window: a fault of the file (the
    // default, for the chip commands: a file that does not fit the range
    // they were given is not what the user meant), or passed over (a CRC
    // over a part of a file). Only Intel HEX files place their data; raw
    // binary files are read from the first file address on in any case.
    void setDataOutsideWindow(bool allowed) { outsideAllowed = allowed; }

protected:
    // Texts of the language table (formats/format_messages.h).
    static QString message(int number);
    // The address window cannot be served: negative addresses, a negative
    // count or a block size below 1.
    static QString badWindowText(qint64 addrFile, qint64 addrDevice, qint64 endDevice,
                                 qint64 blockSize);

    bool fail(const QString &text);
    bool failWithFileError();
    // Fails naming the file when it is missing, a folder or cannot be
    // opened; the file is read without a buffer of the system library's
    // (the readers keep their own).
    bool openForReading(const QString &fileName);
    // Opens a temporary file that replaces fileName on commit; with
    // keepContents the present contents of fileName are copied in first.
    bool openForWriting(const QString &fileName, bool keepContents);
    // Writes every byte or fails with the file's error text.
    bool writeAll(const QByteArray &bytes);
    // Ends the pass: commits a written file, closes a read one.
    bool finish();
    bool isWriting() const;

    // ---- Reading: the file as its checked open found it ----------------------
    // A file written to while a command reads it (a build writing it anew)
    // must reach neither the chip nor a CRC, not one byte of it, whatever
    // its size and times say. The open reads its part of the file (the
    // whole of an Intel HEX file, the window of a raw binary one) in pieces
    // of a few KiB and keeps a digest of each, from beginPart on; then
    // keepOpened reads the part once more, so that a write during the open
    // fails it. Every read after it goes through readAsOpened, which reads
    // the whole piece a byte lies in and gives nothing of a piece that is
    // not what the open found: a change fails the read before any byte of
    // the new version is given. partAsOpened reads the whole part again
    // (the close does), so that a change behind the reads fails the command
    // too. Memory: one piece and a digest of each, whatever the file's size.
    // from: the part's first file offset; limit: the offset it ends at, at
    // most (-1: the file's end). With checkOnly the part is read as it is,
    // nothing kept.
    void beginPart(qint64 from, qint64 limit);
    bool keepOpened();
    // Up to count bytes of the part from the file offset at into to: how
    // many (fewer at the part's end), or -1 on failure, the reason kept.
    qint64 readAsOpened(qint64 at, char *to, qint64 count);
    // The bytes of the part the open found (after keepOpened).
    qint64 partLength() const { return partBytes; }
    // Whole: the part reads as the open found it, and a part that ended
    // with the file still does; true at once when nothing of it was read
    // since the open.
    bool partAsOpened();

    std::unique_ptr<QFileDevice> file;
    QString error;
    bool outsideAllowed = false;
    bool checkOnly = false;   // check(): the file is checked, nothing kept

private:
    // writeProblem's question of the name itself: a folder or a device.
    static QString nameProblem(const QString &fileName);

    enum class Part { Plain, Taking, Kept };
    // The piece of the part at the index into piece: its digest kept
    // (Taking, pieces in order), or compared with the kept one (Kept).
    bool loadPiece(qint64 index);
    // readAsOpened of the check alone (Plain): nothing is kept, so the
    // bytes come straight from the file, as many as the reader asks.
    qint64 readPlain(qint64 at, char *to, qint64 count);
    // partAsOpened's reading, whether or not anything was read.
    bool partReadsAsOpened();
    qint64 pieces() const { return digests.size() / digestSize; }
    bool failChanged();

    static constexpr int digestSize = 16;
    Part part = Part::Plain;
    qint64 partFrom = 0;
    qint64 partLimit = -1;
    qint64 partBytes = 0;
    bool partDone = false;     // Taking: the part's end is reached
    bool partToEnd = false;    // ... and the file ended there
    bool partUsed = false;     // Kept: bytes given since the open
    QByteArray digests;        // of each piece, one after the other
    QByteArray piece;
    qint64 pieceAt = -1;       // the piece's index; -1: none held
};
