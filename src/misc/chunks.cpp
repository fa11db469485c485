#include "misc/chunks.h"

#include "formats/TFormat.h"
#include "misc/dev_misc.h"

#include <algorithm>

TChunkRule::TChunkRule(qint64 block) : m_block(block), m_valid(block >= 1) {}

TChunkRule &TChunkRule::within(qint64 boundary)
{
    if (boundary < 1 || m_count == MAX_BOUNDARIES) {
        m_valid = false;
        return *this;
    }
    m_boundaries[m_count++] = boundary;
    if (m_valid)
        m_block = std::min(m_block, boundary);
    return *this;
}

TChunkRule &TChunkRule::atMost(qint64 length)
{
    if (length < 1)
        m_valid = false;
    else
        m_atMost = m_atMost == 0 ? length : std::min(m_atMost, length);
    return *this;
}

bool TChunkRule::valid() const
{
    return m_valid;
}

qint64 TChunkRule::block() const
{
    return m_valid ? m_block : 0;
}

qint64 TChunkRule::length(qint64 pos, qint64 last) const
{
    if (!m_valid)
        return 0;
    qint64 n = chunkLength(pos, last, m_block);
    for (int i = 0; i < m_count && n > 0; ++i)
        n = std::min(n, chunkLength(pos, last, m_boundaries[i]));
    return m_atMost > 0 ? std::min(n, m_atMost) : n;
}

TWalkEnd walkRange(const TChunkRule &rule, qint64 first, qint64 last, const TChunkStep &move,
                   const TProgressStep &progress)
{
    if (first > last)
        return TWalkEnd::Done;
    // A rule without progress, or a range the rule cannot start, would end
    // the walk at once as if it had been moved.
    if (!rule.valid() || first < 0)
        return TWalkEnd::Failed;
    for (qint64 pos = first;;) {
        const qint64 n = rule.length(pos, last);
        if (n == 0)
            return TWalkEnd::Done;
        if (!move(pos, n))
            return TWalkEnd::Failed;
        pos += n;
        if (progress && progress(pos))
            return pos > last ? TWalkEnd::Done : TWalkEnd::Stopped;
    }
}

TWalkEnd walkFile(TFormat &format, qint64 first, const TPieceStep &handle, const TProgressStep &progress,
                  QString &error)
{
    // A stop is taken once the next piece is known to be there: a stop
    // after the file's last piece stops nothing.
    bool stop = false;
    for (qint64 next = first;;) {
        qint64 address = next;
        QByteArray piece;
        if (!format.read(address, piece)) {
            error = format.errorString();
            return TWalkEnd::Failed;
        }
        if (piece.isEmpty())
            return TWalkEnd::Done;
        if (stop)
            return TWalkEnd::Stopped;
        if (!handle(address, piece))
            return TWalkEnd::Failed;
        next = address + piece.size();
        stop = progress && progress(next);
    }
}
