#include "formats/TDataImage.h"

#include "formats/TFormatHEX.h"

#include <QFileInfo>

#include <cstring>
#include <limits>

TDataImage::TDataImage(const QString &formatName, const QString &fileName, qint64 first, qint64 count,
                       quint8 fill, qint64 blockSize)
    : m_formatName(formatName),
      m_fileName(fileName),
      m_first(first),
      m_count(count),
      m_fill(fill),
      m_block(blockSize),
      m_pos(first),
      m_nextData(first)
{
}

TDataImage::~TDataImage() = default;

bool TDataImage::fail(const QString &text)
{
    m_error = text;
    return false;
}

bool TDataImage::failWithFormatError()
{
    return fail(m_format->errorString());
}

bool TDataImage::open(bool checkOnly)
{
    if (m_format)
        return fail(QStringLiteral("The file is already open"));
    if (m_first < 0 || m_count < 0 || m_block < 1
        || m_count - 1 > std::numeric_limits<qint64>::max() - m_first)
        return fail(QStringLiteral("Invalid address range: first address %1, count %2, block size %3")
                        .arg(m_first).arg(m_count).arg(m_block));
    const bool raw = TFormat::isRawBinary(m_formatName);
    qint64 windowLast = m_first + m_count - 1;
    if (m_count == 0) {
        // The file's own end. An Intel HEX file tells its last data address
        // only once it is checked: its window reaches as far as it can.
        if (!raw) {
            windowLast = qMax(TFormatHEX::maxAddress, m_first - 1);
        } else {
            const QFileInfo info(m_fileName);
            // A name that is no file keeps the empty range: the format's
            // open says what is wrong with it.
            if (info.isFile()) {
                windowLast = info.size() - 1;
                if (windowLast < m_first - 1) {
                    m_count = windowLast - m_first + 1;
                    return true;
                }
            }
        }
    }
    m_format = std::make_unique<TFormat>(m_formatName, m_fileName, m_first, m_first, windowLast, m_block);
    m_format->setDataOutsideWindow(true);
    if (!(checkOnly ? m_format->check() : m_format->open(0))) {
        m_error = m_format->errorString();
        m_format.reset();
        return false;
    }
    m_hasData = m_format->windowHasData();
    if (m_count == 0) {
        m_last = raw ? windowLast : m_format->lastDataAddress();
        m_count = m_last - m_first + 1;
    } else {
        m_last = windowLast;
    }
    m_ordered = m_format->inAddressOrder();
    if (checkOnly)
        m_format.reset();
    return true;
}

bool TDataImage::read(qint64 &address, QByteArray &bytes)
{
    bytes.clear();
    address = m_pos;
    if (!m_format || m_pos > m_last)
        return true;
    const qint64 runLast = m_last - m_pos < m_block ? m_last : m_pos + m_block - 1;
    if (!(m_ordered ? readInOrder(runLast, bytes) : readPlaced(runLast, bytes)))
        return false;
    m_pos += bytes.size();
    return true;
}

// The file's pieces come in ascending order: each is delivered where the
// position reaches it, the gaps before it as fill.
bool TDataImage::readInOrder(qint64 runLast, QByteArray &bytes)
{
    while (m_piece.isEmpty() && !m_fileDone) {
        qint64 at = m_pos;
        QByteArray piece;
        if (!m_format->read(at, piece))
            return failWithFormatError();
        const qint64 pieceLast = at + piece.size() - 1;
        if (piece.isEmpty() || at > m_last) {
            m_fileDone = true;
        } else if (pieceLast >= m_pos) {
            if (at < m_pos) {
                piece.remove(0, int(m_pos - at));
                at = m_pos;
            }
            if (pieceLast > m_last)
                piece.truncate(int(m_last - at + 1));
            m_piece = piece;
            m_pieceAddr = at;
        }
    }
    if (!m_piece.isEmpty() && m_pieceAddr == m_pos) {
        const int n = int(qMin<qint64>(m_piece.size(), runLast - m_pos + 1));
        bytes = m_piece.left(n);
        m_piece.remove(0, n);
        m_pieceAddr += n;
        return true;
    }
    const qint64 fillLast = m_piece.isEmpty() ? runLast : qMin(runLast, m_pieceAddr - 1);
    bytes = QByteArray(int(fillLast - m_pos + 1), char(m_fill));
    return true;
}

// Records out of address order: the run is placed from a pass over the
// whole file. The pass also finds where the next data lies, so that the
// runs up to there are fill without a pass of their own.
bool TDataImage::readPlaced(qint64 runLast, QByteArray &bytes)
{
    if (m_pos < m_nextData) {
        bytes = QByteArray(int(qMin(runLast, m_nextData - 1) - m_pos + 1), char(m_fill));
        return true;
    }
    QByteArray run(int(runLast - m_pos + 1), char(m_fill));
    if (!m_format->restart())
        return failWithFormatError();
    qint64 next = m_last + 1;
    for (;;) {
        // Asking for the range's start each time: every piece comes at its
        // own address, none is passed over.
        qint64 at = m_first;
        QByteArray piece;
        if (!m_format->read(at, piece))
            return failWithFormatError();
        if (piece.isEmpty())
            break;
        const qint64 pieceLast = at + piece.size() - 1;
        const qint64 from = qMax(at, m_pos);
        const qint64 to = qMin(pieceLast, runLast);
        if (from <= to)
            std::memcpy(run.data() + (from - m_pos), piece.constData() + (from - at), size_t(to - from + 1));
        if (pieceLast > runLast)
            next = qMin(next, qMax(at, runLast + 1));
    }
    m_nextData = next;
    bytes = run;
    return true;
}

bool TDataImage::close()
{
    if (!m_format)
        return true;
    const bool ok = m_format->close();
    if (!ok)
        m_error = m_format->errorString();
    m_format.reset();
    return ok;
}
