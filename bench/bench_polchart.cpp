// The chart's data store and transform: appending a million elements with a small and with a
// large growth step, and the throughput of the polar-to-pixel mapping.
#include "ZNQ_polchart.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <memory>

using namespace znq;

namespace {

void BM_AppendMillion(benchmark::State& state)
{
    const auto allocSize = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        TpcDataStore store;
        store.SetAllocSize(allocSize);
        TpcDataElement element;
        for (int i = 0; i < 1000000; ++i) {
            element.Rad = i;
            store.Append(element);
        }
        benchmark::DoNotOptimize(store.Count());
    }
    state.SetItemsProcessed(state.iterations() * 1000000);
}
BENCHMARK(BM_AppendMillion)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Through the chart's own DrawTo, as application code appends.
void BM_ChartDrawToMillion(benchmark::State& state)
{
    const auto allocSize = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto chart = std::make_unique<TPolChart>();
        chart->SetAllocSize(allocSize);
        state.ResumeTiming();
        for (int i = 0; i < 1000000; ++i)
            chart->DrawTo(i / 100.0, i / 50.0);
        benchmark::DoNotOptimize(chart->ElementCount());
        state.PauseTiming();
        chart.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ChartDrawToMillion)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_PolarToPixel(benchmark::State& state)
{
    TpcTransformParams params;
    params.RangeLow = 0;
    params.RangeHigh = 10;
    params.AngleOffset = -50;
    params.AngleUnit = 0.017453292519943295;
    params.RotationSign = -1;
    params.Scale = 21.06;
    params.OriginX = 309;
    params.OriginY = 324;
    const TpcTransform transform(params);
    int64_t sum = 0;
    int i = 0;
    for (auto _ : state) {
        const TPoint p = transform.PolarToPixel((i % 1000) / 100.0, (i % 1000) / 50.0);
        sum += p.x + p.y;
        ++i;
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PolarToPixel);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
