#include "view/polchart_snap.h"

#include "polchart_transform.h"

#include <algorithm>
#include <limits>

namespace znq {

namespace {
    constexpr size_t firstMerge = 4096;
} // namespace

void TpcSnapIndex::Begin(int32_t width, int32_t height)
{
    m_entries.clear();
    m_columns.clear();
    m_outside.clear();
    m_outsideSorted = 0;
    m_mergeAt = firstMerge;
    m_width = std::clamp(width, 0, 30001);
    m_height = std::clamp(height, 0, 30001);
    m_seen.assign((size_t(m_width) * size_t(m_height) + 63) / 64, 0);
    m_pending = false;
    m_ready = false;
    m_buildBytes = 0;
    noteBytes();
}

void TpcSnapIndex::noteBytes()
{
    const size_t bytes = (m_entries.capacity() + m_outside.capacity()) * sizeof(Entry)
        + m_seen.capacity() * sizeof(uint64_t) + m_columns.capacity() * sizeof(Column);
    m_buildBytes = std::max(m_buildBytes, bytes);
}

// Pixels come in element order, so the first time a pixel comes brings its lowest index. Runs of
// points on one pixel are common in dense data outside the area too; the first of a run is kept
// there, the rest go in the merges.
void TpcSnapIndex::add(TPoint pixel, int32_t index)
{
    ClipCoordinates(pixel.x, pixel.y);
    if (pixel.x >= 0 && pixel.x < m_width && pixel.y >= 0 && pixel.y < m_height) {
        const size_t bit = size_t(pixel.y) * size_t(m_width) + size_t(pixel.x);
        uint64_t& word = m_seen[bit / 64];
        const uint64_t mask = uint64_t(1) << (bit % 64);
        if (word & mask)
            return;
        word |= mask;
        if (m_entries.size() == m_entries.capacity()) {
            m_entries.reserve(std::max<size_t>(64, m_entries.size() * 2));
            noteBytes();
        }
        m_entries.push_back(Entry { pixel.x, pixel.y, index });
        return;
    }
    if (!m_outside.empty() && m_outside.back().X == pixel.x && m_outside.back().Y == pixel.y)
        return;
    if (m_outside.size() == m_outside.capacity()) {
        m_outside.reserve(std::max<size_t>(64, m_outside.size() * 2));
        noteBytes();
    }
    m_outside.push_back(Entry { pixel.x, pixel.y, index });
    if (m_outside.size() >= m_mergeAt)
        mergeOutside();
}

// The list is sorted and unique up to m_outsideSorted: only the new part is sorted, then merged in.
void TpcSnapIndex::mergeOutside()
{
    const auto byPixelThenIndex = [](const Entry& a, const Entry& b) {
        return a.X != b.X ? a.X < b.X : a.Y != b.Y ? a.Y < b.Y : a.Index < b.Index;
    };
    const auto middle = m_outside.begin() + std::ptrdiff_t(m_outsideSorted);
    std::sort(middle, m_outside.end(), byPixelThenIndex);
    std::inplace_merge(m_outside.begin(), middle, m_outside.end(), byPixelThenIndex);
    m_outside.erase(std::unique(m_outside.begin(), m_outside.end(),
                        [](const Entry& a, const Entry& b) { return a.X == b.X && a.Y == b.Y; }),
        m_outside.end());
    m_outsideSorted = m_outside.size();
    m_mergeAt = std::max(firstMerge, 2 * m_outside.size());
}

void TpcSnapIndex::MoveTo(TPoint pixel, int32_t index)
{
    m_pendingPixel = pixel;
    m_pendingIndex = index;
    m_pending = true;
}

void TpcSnapIndex::LineTo(TPoint pixel, int32_t index)
{
    if (m_pending)
        add(m_pendingPixel, m_pendingIndex);
    m_pending = false;
    add(pixel, index);
}

void TpcSnapIndex::Resume(TPoint pixel, int32_t index)
{
    m_pending = false;
    add(pixel, index);
}

// The pixels inside the area are distinct already, and none of them is outside it.
void TpcSnapIndex::Finish()
{
    mergeOutside();
    if (m_entries.capacity() < m_entries.size() + m_outside.size()) {
        m_entries.reserve(m_entries.size() + m_outside.size());
        noteBytes();
    }
    m_entries.insert(m_entries.end(), m_outside.begin(), m_outside.end());
    m_outside = std::vector<Entry>();
    m_seen = std::vector<uint64_t>();
    std::sort(m_entries.begin(), m_entries.end(),
        [](const Entry& a, const Entry& b) { return a.X != b.X ? a.X < b.X : a.Y < b.Y; });
    m_entries.shrink_to_fit();
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (i == 0 || m_entries[i].X != m_entries[i - 1].X)
            m_columns.push_back(Column { m_entries[i].X, static_cast<uint32_t>(i) });
    m_columns.shrink_to_fit();
    noteBytes();
    m_pending = false;
    m_ready = true;
    ++m_buildCount;
}

// Columns are visited outwards from the pixel's own, nearer ones first, until a column is farther
// away than the best distance found; in each column a binary search finds the rows next to the
// pixel's row. Points and query are clipped as the painters clip pixels, so that no squared
// distance can overflow.
int32_t TpcSnapIndex::Nearest(TPoint pixel) const
{
    if (m_columns.empty())
        return -1;
    ClipCoordinates(pixel.x, pixel.y);
    int64_t best = std::numeric_limits<int64_t>::max();
    int32_t bestIndex = -1;
    auto visit = [&](size_t c) {
        const size_t begin = m_columns[c].Begin;
        const size_t end = c + 1 < m_columns.size() ? m_columns[c + 1].Begin : m_entries.size();
        const int64_t dx = int64_t(m_columns[c].X) - pixel.x;
        const auto first = m_entries.begin() + std::ptrdiff_t(begin);
        const auto last = m_entries.begin() + std::ptrdiff_t(end);
        const auto at = std::lower_bound(
            first, last, pixel.y, [](const Entry& e, int32_t y) { return e.Y < y; });
        // The rows just below and just above; one pixel of each is enough in a column.
        for (auto it : { at, at == first ? last : at - 1 }) {
            if (it == last)
                continue;
            const int64_t dy = int64_t(it->Y) - pixel.y;
            const int64_t d = dx * dx + dy * dy;
            if (d < best || (d == best && it->Index < bestIndex)) {
                best = d;
                bestIndex = it->Index;
            }
        }
    };
    const auto right = std::lower_bound(m_columns.begin(), m_columns.end(), pixel.x,
        [](const Column& c, int32_t x) { return c.X < x; });
    auto r = static_cast<size_t>(right - m_columns.begin());
    size_t l = r;
    // l counts the columns left of the pixel's column still to visit.
    while (l > 0 || r < m_columns.size()) {
        const int64_t dl
            = l > 0 ? int64_t(pixel.x) - m_columns[l - 1].X : std::numeric_limits<int64_t>::max();
        const int64_t dr = r < m_columns.size() ? int64_t(m_columns[r].X) - pixel.x
                                                : std::numeric_limits<int64_t>::max();
        const int64_t d = std::min(dl, dr);
        if (d != std::numeric_limits<int64_t>::max() && d * d > best)
            break;
        if (dl <= dr)
            visit(--l);
        else
            visit(r++);
    }
    return bestIndex;
}

} // namespace znq
