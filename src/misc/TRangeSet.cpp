#include "misc/TRangeSet.h"

#include <iterator>

bool TRangeSet::overlaps(qint64 first, qint64 last) const
{
    const auto next = m_ranges.upper_bound(first);
    return (next != m_ranges.begin() && std::prev(next)->second >= first)
           || (next != m_ranges.end() && next->first <= last);
}

void TRangeSet::add(qint64 first, qint64 last)
{
    if (first > last)
        return;
    // The ranges that overlap or meet first..last become one.
    auto it = m_ranges.upper_bound(first);
    if (it != m_ranges.begin() && std::prev(it)->second + 1 >= first)
        --it;
    while (it != m_ranges.end() && it->first <= last + 1) {
        first = qMin(first, it->first);
        last = qMax(last, it->second);
        it = m_ranges.erase(it);
    }
    m_ranges.emplace_hint(it, first, last);
}

qint64 TRangeSet::units() const
{
    qint64 units = 0;
    for (const auto &range : m_ranges)
        units += range.second - range.first + 1;
    return units;
}
