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
// abandoned leaves the file as it was.

#include "core/TSaveFile.h"
#include "core/platform.h"

#include <QByteArray>
#include <QCryptographicHash>
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
    // The last failure was a change of the file that only the digest of a
    // whole pass found (at close or restart): the file's size and times had
    // not moved, so the bytes the reads gave may mix its two versions. A
    // change the stamp found was found before any byte of it was given.
    bool changeFoundLate() const { return changedLate; }

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
    // Fails naming the file when it is missing, a folder or cannot be opened.
    bool openForReading(const QString &fileName, QIODevice::OpenMode extra = QIODevice::NotOpen);
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
    // must not reach the chip as a mix of two versions. Every byte a reader
    // takes from the file goes through took(). The open reads the file once
    // (the check of an Intel HEX file, a digest of a raw binary window)
    // between watchFrom() and keepOpened(); every later pass is compared
    // with that one: the file's stamp after each read (stillAsOpened), which
    // finds a write at once, and the digest of a whole pass at its end
    // (passAsOpened), which finds one that the stamp cannot tell. Either
    // fails with a text that names the file and says what the reads gave.
    // A stamp that moved while the size stayed (a touch, a change of mode,
    // a new link, the name given to another file) is decided by the bytes:
    // the open's part of the file is read again through the descriptor,
    // once for each such move, and only bytes other than the open's fail.
    // from: the file offset where the open's digest starts.
    bool watchFrom(qint64 from);
    bool keepOpened();
    void startPass();
    // Bytes taken are digested unless only the check is made.
    void took(const char *bytes, qint64 count);
    // Bytes taken since startPass.
    qint64 takenInPass() const { return taken; }
    bool stillAsOpened();
    bool passAsOpened();

    std::unique_ptr<QFileDevice> file;
    QString error;
    bool outsideAllowed = false;
    bool checkOnly = false;   // check(): the file is checked, not digested

private:
    bool failChanged(int message);
    // The open's part of the file, read again through the descriptor, is
    // what the open read (same); false when it cannot be read.
    bool readsAsOpened(bool &same);

    bool watching = false;
    platform::FileStamp openedStamp;
    QByteArray openedDigest;
    qint64 openedFrom = 0;     // the open's digest: its first offset and length
    qint64 openedLength = 0;
    QCryptographicHash digest{QCryptographicHash::Md5};
    qint64 taken = 0;
    bool changedLate = false;
};
