#pragma once
// How every chip transfer is cut into requests, and the two walks that the
// executors' loops are made of.
//
// A chip wraps inside a page when a program runs past the page end, inside
// a security register, inside the block its address bytes span, ... A
// TChunkRule names those boundaries for one kind of transfer, once; every
// request of that kind takes its length from the rule, so no loop can cut a
// chunk across one of them.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>

class TFormat;

class TChunkRule
{
public:
    // block: the programmer's block (its largest payload). Chunks end at
    // every multiple of it; a block below 1 makes the rule invalid.
    explicit TChunkRule(qint64 block = 0);

    // No chunk crosses a multiple of boundary (a page, a register, an
    // address block). The block becomes the smaller of the two, so chunks
    // run from one multiple of it to the next as the block rule has them;
    // when the block does not divide the boundary, chunks also end at
    // every multiple of the boundary. A boundary below 1 makes the rule
    // invalid.
    TChunkRule &within(qint64 boundary);
    // No chunk is longer than length: what a request's length field still
    // carries beside the request's own head. Below 1: invalid.
    TChunkRule &atMost(qint64 length);

    // Every limit is at least 1: the rule makes progress.
    bool valid() const;
    // The block after the boundaries: what a chip-data file is read in.
    qint64 block() const;
    // Length of the chunk that starts at pos: up to the nearest end the
    // rule sets, never past last. 0 when pos lies beyond last, when pos is
    // negative and for an invalid rule.
    qint64 length(qint64 pos, qint64 last) const;

private:
    static constexpr int MAX_BOUNDARIES = 4;
    qint64 m_block = 0;
    qint64 m_boundaries[MAX_BOUNDARIES] = {};
    int m_count = 0;
    qint64 m_atMost = 0;        // 0: no limit but the block
    bool m_valid = false;
};

// How a walk ended: every chunk moved, a stop request after a chunk, or a
// step that failed (its reason is the caller's).
enum class TWalkEnd { Done, Stopped, Failed };

// Moves one chunk: address and length; false fails the walk.
using TChunkStep = std::function<bool(qint64 address, qint64 length)>;
// Hands over one piece of a chip-data file at its chip address.
using TPieceStep = std::function<bool(qint64 address, const QByteArray &bytes)>;
// The progress step after a chunk or piece, given the address after it;
// true when a stop was requested.
using TProgressStep = std::function<bool(qint64 next)>;

// Walks [first, last] in the rule's chunks. An empty range moves nothing
// and is done; an invalid rule moves nothing and fails.
TWalkEnd walkRange(const TChunkRule &rule, qint64 first, qint64 last, const TChunkStep &move,
                   const TProgressStep &progress = TProgressStep());

// Walks the pieces of a chip-data file open for reading, asking for the
// first at first and for each next one right after the one before; an
// empty piece ends the walk, and a stop after the last piece stops
// nothing. A failed read fails it with the format's error text in error.
// The pieces keep the block the format was made with; a step that sends
// one cuts it by its rule.
TWalkEnd walkFile(TFormat &format, qint64 first, const TPieceStep &handle,
                  const TProgressStep &progress, QString &error);
