#pragma once
// A chip-data file format: one pass over one file, either reading the data
// block by block or writing it piece by piece.
//
//   open(ModeRead)  - read(address, data) until it gives empty data - close()
//   open(ModeWrite) - write(address, data) ...                      - close()
//
// Every operation returns false on failure and keeps the reason in
// errorString(). A file opened for writing is written to a temporary file
// and takes its place only when close() succeeds: a pass that fails or is
// abandoned leaves the file as it was.

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
    // Stores the bytes at the file address.
    virtual bool write(qint64 address, const QByteArray &data) = 0;
    // On entry the address is the chip address the caller expects next; on
    // return it is the chip address of the delivered bytes. True with empty
    // data means the end of the data.
    virtual bool read(qint64 &address, QByteArray &data) = 0;
    virtual bool close() = 0;

    QString errorString() const { return error; }

protected:
    // Texts of the language table: 418 the file does not exist, 419 the file
    // is shorter than the first file address, 420 the file cannot be opened
    // (%1 the system's text), 421 a line is not a valid record.
    static QString message(int number);
    // The address window cannot be served: negative addresses, a negative
    // count or a block size below 1.
    static QString badWindowText(qint64 addrFile, qint64 addrDevice, qint64 endDevice,
                                 qint64 blockSize);

    bool fail(const QString &text);
    bool failWithFileError();
    // Message 418 (missing file) or 420 (cannot open) on failure.
    bool openForReading(const QString &fileName);
    // Opens a temporary file that replaces fileName on commit; with
    // keepContents the present contents of fileName are copied in first.
    bool openForWriting(const QString &fileName, bool keepContents);
    // Writes every byte or fails with the file's error text.
    bool writeAll(const QByteArray &bytes);
    // Ends the pass: commits a written file, closes a read one.
    bool finish();
    bool isWriting() const;

    std::unique_ptr<QFileDevice> file;
    QString error;
};
