/// \file
/// The index that finds the stored element drawn nearest to a pixel, for crosshairs that snap to
/// the data.
#pragma once

#include "znq_types.h"

#include <cstdint>
#include <vector>

namespace znq {

/// The drawn points of the data by pixel: for every distinct pixel the lowest index of an element
/// drawn on it. It is filled in element order from the pixels of one transform, costs 12 bytes per
/// distinct pixel and holds no copy of the elements. Pixels are clipped as the painters clip them.
///
/// The collection keeps its memory near that of the result, however many elements share a pixel:
/// a pixel within the area given to Begin is taken only the first time it comes (one bit per
/// pixel of the area remembers it), and the pixels outside are sorted and merged whenever their
/// list has doubled since the last merge.
class TpcSnapIndex {
public:
    /// Empties the index for a new collection whose pixels mostly lie within 0 .. width - 1 and
    /// 0 .. height - 1.
    void Begin(int32_t width = 0, int32_t height = 0);
    /// A point that a line starts from, pending until a line is drawn from it.
    void MoveTo(TPoint pixel, int32_t index);
    /// A point a line is drawn to (the pending start, if any, counts as drawn now).
    void LineTo(TPoint pixel, int32_t index);
    /// A point drawn on its own as the start of the line after a gap (it counts as drawn).
    void Resume(TPoint pixel, int32_t index);
    /// A gap in the data: the pending start draws no line.
    void Break() { m_pending = false; }
    /// Ends the collection: sorts and keeps the lowest index per pixel.
    void Finish();

    /// Whether Finish has run since the last Begin.
    bool Ready() const { return m_ready; }
    /// The index of the element whose pixel is nearest to pixel (ties: the lower index); -1 when
    /// no element is drawn.
    int32_t Nearest(TPoint pixel) const;
    /// The number of distinct pixels.
    size_t PixelCount() const { return m_entries.size(); }
    /// The number of collections finished: a seam for checking when the index is built.
    int BuildCount() const { return m_buildCount; }
    /// The most bytes the last collection held at once.
    size_t BuildBytes() const { return m_buildBytes; }

private:
    void add(TPoint pixel, int32_t index);
    // Sorts the pixels outside the area and keeps the first of each.
    void mergeOutside();
    void noteBytes();

    struct Entry {
        int32_t X, Y, Index;
    };
    // Sorted by column, then row; one entry per pixel.
    std::vector<Entry> m_entries;
    // While collecting: the pixels outside the area, and the size at which they are merged next.
    std::vector<Entry> m_outside;
    size_t m_outsideSorted = 0;
    size_t m_mergeAt = 0;
    // While collecting: a bit per pixel of the area, set once the pixel is in m_entries.
    std::vector<uint64_t> m_seen;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int m_buildCount = 0;
    size_t m_buildBytes = 0;
    // The first entry of each column, in column order.
    struct Column {
        int32_t X;
        uint32_t Begin;
    };
    std::vector<Column> m_columns;
    TPoint m_pendingPixel;
    int32_t m_pendingIndex = 0;
    bool m_pending = false;
    bool m_ready = false;
};

} // namespace znq
