// The data store alone, and the chart's appends: growth in AllocSize steps, attributes copied at
// append, Clear releasing everything, and an out-of-memory append leaving the store unchanged.
#include "ZNQ_polchart.h"
#include "polchart_store.h"

#include <gtest/gtest.h>

using namespace znq;

TEST(DataStore, GrowsInAllocSizeStepsAndClearReleases)
{
    TpcDataStore store;
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(store.Capacity(), 0);
    TpcDataElement element;
    store.Append(element);
    EXPECT_EQ(store.Count(), 1);
    EXPECT_EQ(store.Capacity(), 1000);
    for (int i = 1; i < 1000; ++i)
        store.Append(element);
    EXPECT_EQ(store.Capacity(), 1000);
    store.Append(element);
    EXPECT_EQ(store.Count(), 1001);
    EXPECT_EQ(store.Capacity(), 2000);

    store.Clear();
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(store.Capacity(), 0);
    EXPECT_TRUE(store.SetAllocSize(7));
    store.Append(element);
    EXPECT_EQ(store.Capacity(), 7) << "after Clear the next growth uses the step then in force";

    TpcDataStore single;
    single.SetAllocSize(1);
    for (int i = 1; i <= 5; ++i) {
        single.Append(element);
        EXPECT_EQ(single.Capacity(), i);
    }
}

TEST(DataStore, KeepsElementsAcrossChunksInOrder)
{
    TpcDataStore store;
    store.SetAllocSize(3);
    const int total = 3 * TpcDataStore::ChunkSize + 17;
    for (int i = 0; i < total; ++i) {
        TpcDataElement element;
        element.Rad = i;
        element.Phi = -i;
        store.Append(element);
    }
    ASSERT_EQ(store.Count(), total);
    for (int i = 0; i < total; i += 997)
        ASSERT_EQ(store[i].Rad, i);
    EXPECT_EQ(store[total - 1].Phi, -(total - 1));
}

namespace {
// A store whose chunk allocation fails on demand, as when memory runs out.
class FailingStore : public TpcDataStore {
public:
    int allocationsLeft = 1000;

protected:
    std::unique_ptr<TpcDataElement[]> allocateChunk() override
    {
        if (allocationsLeft-- <= 0)
            throw std::bad_alloc();
        return TpcDataStore::allocateChunk();
    }
};
} // namespace

TEST(DataStore, FailedGrowthLeavesTheStoreUnchanged)
{
    FailingStore store;
    // One growth needs two chunks; the second allocation fails.
    ASSERT_TRUE(store.SetAllocSize(TpcDataStore::ChunkSize + 1));
    store.allocationsLeft = 1;
    TpcDataElement element;
    element.Rad = 42;
    EXPECT_THROW(store.Append(element), std::bad_alloc);
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(store.Capacity(), 0);

    store.allocationsLeft = 2;
    store.Append(element);
    EXPECT_EQ(store.Count(), 1);
    EXPECT_EQ(store.Capacity(), TpcDataStore::ChunkSize + 1);
    for (int i = 1; i < store.Capacity(); ++i)
        store.Append(element);
    store.allocationsLeft = 0;
    EXPECT_THROW(store.Append(element), std::bad_alloc);
    EXPECT_EQ(store.Count(), TpcDataStore::ChunkSize + 1);
    EXPECT_EQ(store.Capacity(), TpcDataStore::ChunkSize + 1);
    EXPECT_EQ(store[store.Count() - 1].Rad, 42) << "the stored elements are intact";
}

TEST(ChartStore, AppendsCopyTheAttributesInForce)
{
    TPolChart chart;
    chart.SetDataColor(clRed);
    chart.SetPenStyle(TPenStyle::psDot);
    chart.SetLineWidth(3);
    chart.SetClassDefault(7);
    chart.DrawTo(1.5, 20);
    chart.SetDataColor(clBlue);
    chart.SetClassDefault(255);
    chart.MoveTo(2.5, -30);
    ASSERT_EQ(chart.ElementCount(), 2);
    EXPECT_EQ(chart.ElementCapacity(), 1000);
    const TpcDataElement& first = chart.Element(0);
    EXPECT_EQ(first.Kind, TpcElemKind::ekDrawTo);
    EXPECT_EQ(first.Color, clRed);
    EXPECT_EQ(first.PenStyle, TPenStyle::psDot);
    EXPECT_EQ(first.LineWidth, 3);
    EXPECT_EQ(first.ElemClass, 7);
    EXPECT_EQ(first.Rad, 1.5);
    EXPECT_EQ(first.Phi, 20);
    const TpcDataElement& second = chart.Element(1);
    EXPECT_EQ(second.Kind, TpcElemKind::ekMoveTo);
    EXPECT_EQ(second.Color, clBlue);
    EXPECT_EQ(second.ElemClass, 7) << "ClassDefault 255 was ignored";
    EXPECT_EQ(static_cast<int>(TpcElemKind::ekDrawTo), 3);
    EXPECT_EQ(static_cast<int>(TpcElemKind::ekMoveTo), 7);

    chart.SetClassVisible(7, false);
    EXPECT_FALSE(chart.ClassVisible(7));
    EXPECT_TRUE(chart.ClassVisible(6));

    chart.Clear();
    EXPECT_EQ(chart.ElementCount(), 0);
    EXPECT_EQ(chart.ElementCapacity(), 0);
}
