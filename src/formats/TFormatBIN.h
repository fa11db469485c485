#pragma once
// Raw binary chip data. The file address is a byte offset in the file.
// Reading runs sequentially through the file from addrFile while the chip
// address the caller expects decides the length of each piece. "bin" writes
// a new file; "bin+" writes into the existing file and keeps every byte it
// does not write.

#include "formats/IFormat.h"

class TFormatBIN : public IFormat
{
public:
    TFormatBIN(const QString &formatName, const QString &fileName, qint64 addrFile,
               qint64 addrDevice, qint64 endDevice, qint64 blockSize);

    bool open(int mode) override;
    bool check() override;
    bool write(qint64 address, const QByteArray &data) override;
    bool read(qint64 &address, QByteArray &data) override;
    bool close() override;
    bool inAddressOrder() const override;
    qint64 lastDataAddress() const override;
    bool restart() override;
    bool windowHasData() const override;

private:
    // Negative addresses, a negative count or a block below 1 fail.
    bool windowServed();
    // The open for reading up to the window's length; with checkOnly the
    // file is closed again.
    bool openForWindow(bool checkOnly);

    QString formatName;
    QString fileName;
    qint64 addrFile;
    qint64 addrDevice;
    qint64 endDevice;
    qint64 blockSize;
    qint64 filePos;
    qint64 curAddr;
    qint64 windowLength = 0;   // reading: the window's bytes the file holds
};
