#pragma once
// A set of addresses (or other numbered units) as ranges, first to last,
// merged where they overlap or meet: the fewest ranges that hold them, in
// order.

#include <QtGlobal>

#include <map>

class TRangeSet
{
public:
    using Ranges = std::map<qint64, qint64>;   // first -> last

    // Whether any of first..last is in the set.
    bool overlaps(qint64 first, qint64 last) const;
    // Adds first..last to the set (nothing when last is below first).
    void add(qint64 first, qint64 last);
    // How many units the set holds.
    qint64 units() const;

    bool empty() const { return m_ranges.empty(); }
    size_t size() const { return m_ranges.size(); }
    Ranges::const_iterator begin() const { return m_ranges.begin(); }
    Ranges::const_iterator end() const { return m_ranges.end(); }

private:
    Ranges m_ranges;
};
