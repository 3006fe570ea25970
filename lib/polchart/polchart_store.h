/// \file
/// The chart's data: drawing elements in polar coordinates, appended like the moves of a pen
/// plotter and kept in order.
#pragma once

#include "znq_types.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace znq {

/// What a data element does: ekDrawTo draws a line from the current point to it, ekMoveTo makes it
/// the current point without drawing.
enum class TpcElemKind : uint8_t { ekDrawTo = 3, ekMoveTo = 7 };

/// One drawing element: a point in polar coordinates (radial units, and the chart's angle unit at
/// drawing time) with the pen attributes it was appended with.
struct TpcDataElement {
    /// Radial value, in the units of RangeLow and RangeHigh.
    double Rad = 0;
    /// Angle, in the chart's angle unit at drawing time.
    double Phi = 0;
    /// Line colour (the chart's DataColor at the append).
    TColor Color = 0;
    /// Line pattern (the chart's PenStyle at the append).
    TPenStyle PenStyle = TPenStyle::psSolid;
    /// Line width in pixels (the chart's LineWidth at the append).
    uint8_t LineWidth = 1;
    /// Class number (the chart's ClassDefault at the append), for ClassVisible.
    uint8_t ElemClass = 0;
    /// Move or draw.
    TpcElemKind Kind = TpcElemKind::ekMoveTo;
};
static_assert(sizeof(TpcDataElement) == 24, "a data element takes 24 bytes");

/// An element's Color, PenStyle, LineWidth, ElemClass and Kind as one number, equal exactly when
/// all five are: they fill the element's last eight bytes.
inline uint64_t PenBits(const TpcDataElement& element)
{
    static_assert(offsetof(TpcDataElement, Color) + sizeof(uint64_t) == sizeof(TpcDataElement));
    uint64_t bits;
    std::memcpy(&bits, &element.Color, sizeof bits);
    return bits;
}

/// The element list with its bookkeeping. Capacity() grows in steps of the allocation size, and
/// each growth allocates the new slots at once, so that running out of memory shows at the append
/// that needs the room: the error reaches the caller and the store is unchanged. The slots live in
/// fixed-size chunks that never move, so growing never copies the elements already stored, however
/// small the step.
class TpcDataStore {
public:
    /// The largest growth step.
    static constexpr int32_t MaxAllocSize = 1000000;
    /// log2 of ChunkSize.
    static constexpr int ChunkShift = 12;
    /// Slots per storage chunk (4096).
    static constexpr int32_t ChunkSize = int32_t(1) << ChunkShift;

    /// An empty store: no elements, no storage, AllocSize 1000.
    TpcDataStore() = default;
    TpcDataStore(const TpcDataStore&) = delete;
    TpcDataStore& operator=(const TpcDataStore&) = delete;
    virtual ~TpcDataStore() = default;

    /// Number of elements stored.
    int32_t Count() const { return m_count; }
    /// Number of slots allocated, Count() or more.
    int32_t Capacity() const { return m_capacity; }
    /// The growth step (1000 by default).
    int32_t AllocSize() const { return m_allocSize; }
    /// Accepted only within 1 .. 1000000; returns whether it was.
    bool SetAllocSize(int32_t size);

    /// Appends one element, growing the capacity by AllocSize when it is full. Throws
    /// std::bad_alloc, and changes nothing, when the storage cannot grow (also beyond 2^31 - 1
    /// slots).
    void Append(const TpcDataElement& element);
    /// Removes all elements and releases the storage.
    void Clear();

    /// Element index, 0 .. Count() - 1, unchecked.
    const TpcDataElement& operator[](int32_t index) const
    {
        return m_chunks[size_t(index) >> ChunkShift][size_t(index) & (ChunkSize - 1)];
    }
    /// The slots of chunk c (elements c * ChunkSize onwards), for loops over many elements.
    const TpcDataElement* ChunkData(int32_t c) const { return m_chunks[size_t(c)].get(); }

    /// The third value of element index (0 .. Count() - 1, unchecked), in single precision; NaN
    /// when it has none.
    double Value(int32_t index) const
    {
        const size_t chunk = size_t(index) >> ChunkShift;
        if (chunk >= m_values.size() || !m_values[chunk])
            return std::numeric_limits<double>::quiet_NaN();
        return m_values[chunk][size_t(index) & (ChunkSize - 1)];
    }
    /// Gives element index (0 .. Count() - 1, unchecked) a third value, kept in single precision
    /// (beyond its range, as infinity of the sign). The values live in an array of their own that
    /// exists only where values were given: 4 bytes per element of a chunk that has any. Throws
    /// std::bad_alloc, and changes nothing, when there is no memory for it.
    void SetValue(int32_t index, double value);
    /// How many stored elements belong to class elemClass.
    int32_t ClassCount(uint8_t elemClass) const { return m_classCounts[elemClass]; }
    /// The first stored element of class elemClass; -1 when it has none.
    int32_t ClassFirst(uint8_t elemClass) const { return m_classFirst[elemClass]; }
    /// Whether any element was given a value since the last Clear.
    bool HasValues() const { return !m_values.empty(); }
    /// The values of chunk c, or null when none of its elements has one.
    const float* ValueChunk(int32_t c) const
    {
        return size_t(c) < m_values.size() ? m_values[size_t(c)].get() : nullptr;
    }

protected:
    /// One chunk of ChunkSize slots; throws std::bad_alloc when there is no memory.
    virtual std::unique_ptr<TpcDataElement[]> allocateChunk();

private:
    std::vector<std::unique_ptr<TpcDataElement[]>> m_chunks;
    // The values by chunk, parallel to m_chunks as far as any chunk has values.
    std::vector<std::unique_ptr<float[]>> m_values;
    int32_t m_count = 0;
    int32_t m_capacity = 0;
    std::array<int32_t, 256> m_classCounts {};
    std::array<int32_t, 256> m_classFirst = firstNone();
    static constexpr std::array<int32_t, 256> firstNone()
    {
        std::array<int32_t, 256> none {};
        none.fill(-1);
        return none;
    }
    int32_t m_allocSize = 1000;
};

} // namespace znq
