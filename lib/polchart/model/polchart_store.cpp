#include "polchart_store.h"

#include "base_helpers.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <utility>

namespace znq {

bool TpcDataStore::SetAllocSize(int32_t size)
{
    if (size < 1 || size > MaxAllocSize)
        return false;
    m_allocSize = size;
    return true;
}

void TpcDataStore::Append(const TpcDataElement& element)
{
    if (m_count >= m_capacity) {
        const int64_t capacity = int64_t(m_capacity) + m_allocSize;
        if (capacity > std::numeric_limits<int32_t>::max())
            throw std::bad_alloc();
        const size_t chunksNeeded = size_t((capacity + ChunkSize - 1) / ChunkSize);
        const size_t chunksBefore = m_chunks.size();
        try {
            // The list of chunks grows by doubling: reserved to the exact need at every growth,
            // it would be copied each time, and its freed copies would scatter holes between the
            // chunks that no chunk fits into.
            if (m_chunks.capacity() < chunksNeeded)
                m_chunks.reserve(std::max(chunksNeeded, 2 * m_chunks.capacity()));
            while (m_chunks.size() < chunksNeeded)
                m_chunks.push_back(allocateChunk());
        } catch (...) {
            m_chunks.resize(chunksBefore);
            throw;
        }
        m_capacity = static_cast<int32_t>(capacity);
    }
    m_chunks[size_t(m_count) >> ChunkShift][size_t(m_count) & (ChunkSize - 1)] = element;
    if (m_classCounts[element.ElemClass]++ == 0)
        m_classFirst[element.ElemClass] = m_count;
    ++m_count;
}

std::unique_ptr<TpcDataElement[]> TpcDataStore::allocateChunk()
{
    return std::unique_ptr<TpcDataElement[]>(new TpcDataElement[ChunkSize]);
}

void TpcDataStore::SetValue(int32_t index, double value)
{
    const size_t chunk = size_t(index) >> ChunkShift;
    if (chunk >= m_values.size() || !m_values[chunk]) {
        // Allocated before anything changes, so that a failure leaves the store as it was.
        std::unique_ptr<float[]> values(new float[ChunkSize]);
        std::fill_n(values.get(), ChunkSize, std::numeric_limits<float>::quiet_NaN());
        if (chunk >= m_values.size())
            m_values.resize(chunk + 1);
        m_values[chunk] = std::move(values);
    }
    // A value beyond single precision's range is kept as infinity of its sign.
    m_values[chunk][size_t(index) & (ChunkSize - 1)] = helpers::ToSingle(value);
}

void TpcDataStore::Clear()
{
    std::vector<std::unique_ptr<TpcDataElement[]>>().swap(m_chunks);
    std::vector<std::unique_ptr<float[]>>().swap(m_values);
    m_count = 0;
    m_capacity = 0;
    m_classCounts.fill(0);
    m_classFirst = firstNone();
}

} // namespace znq
