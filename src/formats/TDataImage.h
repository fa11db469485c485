#pragma once
// The data of a chip-data file over a range of file addresses, in address
// order whatever the order of the file's records: the file's byte for every
// address it holds one for, the fill byte for every other address. The
// checked open refuses a file that gives an address twice, so no address
// has more than one byte. Data of the file outside the range is passed over.
//
//   open() - read(address, bytes) until the bytes are empty - close()
//
// The range comes as consecutive runs of at most blockSize bytes from its
// first address on. A file whose data come in address order (raw binary
// always) is read in one pass; an Intel HEX file whose records do not is
// read once for every block of the range that holds data, so memory stays
// at one block whatever the file.

#include "formats/TFormat.h"

#include <QByteArray>
#include <QString>

#include <memory>

class TDataImage
{
public:
    // count 0: the range ends at the file's last address that holds data
    // (for raw binary the file's last byte).
    TDataImage(const QString &formatName, const QString &fileName, qint64 first, qint64 count,
               quint8 fill, qint64 blockSize);
    ~TDataImage();

    TDataImage(const TDataImage &) = delete;
    TDataImage &operator=(const TDataImage &) = delete;

    // Checks the file whole; false, with the reason, for a file that
    // cannot serve the range. With checkOnly nothing of its data is taken
    // and the file is closed again: count and rangeHasData tell what a
    // read would find, read gives nothing.
    bool open(bool checkOnly = false);
    // After open: the number of addresses in the range, count 0 resolved.
    // Negative when count was 0 and the first address lies more than one
    // past the file's data.
    qint64 count() const { return m_count; }
    // The next run of the range: its first address and its bytes; true
    // with empty bytes once the range is done.
    bool read(qint64 &address, QByteArray &bytes);
    bool close();
    QString errorString() const { return m_error; }
    // After open: whether the range holds any byte of the file.
    bool rangeHasData() const { return m_hasData; }

private:
    bool fail(const QString &text);
    bool failWithFormatError();
    bool readInOrder(qint64 runLast, QByteArray &bytes);
    bool readPlaced(qint64 runLast, QByteArray &bytes);

    QString m_formatName;
    QString m_fileName;
    qint64 m_first;
    qint64 m_count;
    quint8 m_fill;
    qint64 m_block;
    qint64 m_last = -1;      // last address of the range
    qint64 m_pos = 0;        // next address to deliver
    bool m_ordered = true;
    bool m_hasData = false;
    std::unique_ptr<TFormat> m_format;
    QString m_error;

    // In address order: the piece the file gave that is not delivered yet.
    QByteArray m_piece;
    qint64 m_pieceAddr = 0;
    bool m_fileDone = false;
    // Out of order: the first address at or after m_pos that may hold data.
    qint64 m_nextData = 0;
};
