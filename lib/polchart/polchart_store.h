// The chart's data: drawing elements in polar coordinates, appended like the moves of a pen
// plotter and kept in order.
#pragma once

#include "znq_types.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace znq {

enum class TpcElemKind : uint8_t { ekDrawTo = 3, ekMoveTo = 7 };

// One drawing element: a point in polar coordinates (radial units, and the chart's angle unit at
// drawing time) with the pen attributes it was appended with.
struct TpcDataElement {
    double Rad = 0;
    double Phi = 0;
    TColor Color = 0;
    TPenStyle PenStyle = TPenStyle::psSolid;
    uint8_t LineWidth = 1;
    uint8_t ElemClass = 0;
    TpcElemKind Kind = TpcElemKind::ekMoveTo;
};
static_assert(sizeof(TpcDataElement) == 24, "a data element takes 24 bytes");

// The element list with its bookkeeping. Capacity() grows in steps of the allocation size, and
// each growth allocates the new slots at once, so that running out of memory shows at the append
// that needs the room: the error reaches the caller and the store is unchanged. The slots live in
// fixed-size chunks that never move, so growing never copies the elements already stored, however
// small the step.
class TpcDataStore {
public:
    static constexpr int32_t MaxAllocSize = 1000000;
    static constexpr int ChunkShift = 12;
    static constexpr int32_t ChunkSize = int32_t(1) << ChunkShift;

    TpcDataStore() = default;
    TpcDataStore(const TpcDataStore&) = delete;
    TpcDataStore& operator=(const TpcDataStore&) = delete;
    virtual ~TpcDataStore() = default;

    int32_t Count() const { return m_count; }
    int32_t Capacity() const { return m_capacity; }
    int32_t AllocSize() const { return m_allocSize; }
    // Accepted only within 1 .. 1000000; returns whether it was.
    bool SetAllocSize(int32_t size);

    // Appends one element, growing the capacity by AllocSize when it is full.
    void Append(const TpcDataElement& element);
    // Removes all elements and releases the storage.
    void Clear();

    const TpcDataElement& operator[](int32_t index) const
    {
        return m_chunks[size_t(index) >> ChunkShift][size_t(index) & (ChunkSize - 1)];
    }
    // The slots of chunk c (elements c * ChunkSize onwards), for loops that run over many elements.
    const TpcDataElement* ChunkData(int32_t c) const { return m_chunks[size_t(c)].get(); }

protected:
    // One chunk of ChunkSize slots; throws std::bad_alloc when there is no memory.
    virtual std::unique_ptr<TpcDataElement[]> allocateChunk();

private:
    std::vector<std::unique_ptr<TpcDataElement[]>> m_chunks;
    int32_t m_count = 0;
    int32_t m_capacity = 0;
    int32_t m_allocSize = 1000;
};

} // namespace znq
