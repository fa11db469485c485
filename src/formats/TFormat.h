#pragma once
// The chip-data file format chosen by name: "bin" and "bin+" are raw
// binary, every other name is Intel HEX. The callers pass the name in lower
// case. See IFormat for the order of the calls.

#include "core/TSaveFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class IFormat;

class TFormat
{
public:
    TFormat(const QString &formatName, const QString &fileName, qint64 addrFile,
            qint64 addrDevice, qint64 endDevice, qint64 blockSize);
    virtual ~TFormat();

    TFormat(const TFormat &) = delete;
    TFormat &operator=(const TFormat &) = delete;

    bool open(int mode);
    // See IFormat: the checked open's check alone, and whether the window
    // holds data of the file.
    bool check();
    bool windowHasData() const;
    bool write(qint64 address, const QByteArray &data);
    bool read(qint64 &address, QByteArray &data);
    bool close();
    QString errorString() const;
    // See IFormat: the order, the last data address and reading again.
    bool inAddressOrder() const;
    qint64 lastDataAddress() const;
    bool restart();
    // See IFormat::setDataOutsideWindow; call it before open.
    void setDataOutsideWindow(bool allowed);

    // See IFormat: why open(1) of the file would fail, before anything is
    // written.
    static QString writeProblem(const QString &fileName, TSaveFile::FolderAnswers *folders = nullptr);

    // File-dialog filter of the chip-data files.
    static QString filter();
    // The format names offered to the user.
    static QStringList formatList();
    // Whether the (lower-case) name is one of raw binary; every other name
    // is Intel HEX.
    static bool isRawBinary(const QString &formatName);

private:
    std::unique_ptr<IFormat> format;
};
