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

// The floor of any repaint: one fill of a 624 x 648 frame and one full-frame copy.
void BM_PaintFloor(benchmark::State& state)
{
    TBitmap frame(624, 648), screen(624, 648);
    frame.Canvas().Brush().SetColor(0xF4FCFF);
    for (auto _ : state) {
        frame.Canvas().FillRect(Rect(0, 0, 624, 648));
        screen.Canvas().Draw(0, 0, frame);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PaintFloor);

// The demonstration diagram: the chart as the program sets it up, with its curve of 1000
// segments and its text label, repainted in full.
void BM_PaintDemoDiagram(benchmark::State& state)
{
    TPolChart chart;
    chart.SetBounds(0, 0, 624, 648);
    chart.Font().SetHeight(-13);
    chart.SetAngleOffset(-50);
    chart.SetGridColor(clSilver);
    chart.SetGridStyleRadial(TpcGridStyleRad::gsRadBothMixed);
    chart.SetScaleColor(clNavy);
    chart.SetChartColor(0xF4FCFF);
    chart.SetLabelModeRadial(TpcRadLabelMode::rlmVertRight);
    chart.SetRangeHigh(10);
    chart.SetMagFactor(0.65);
    chart.SetRotationDir(TpcRotationDir::rdCounterCW);
    chart.SetUseDegrees(state.range(0) != 0);
    chart.SetDataColor(clRed);
    chart.MoveTo(0, 0);
    for (int i = 1; i <= 1000; ++i)
        chart.DrawTo(i / 100.0, i / 50.0);
    const int n = chart.AddTextLabel(clBlue, "This is a text label", 6.0, 210.0, 0);
    chart.TextLabel(n)->SetMode(TTxtLblMode::tlShadow);
    chart.TextLabel(n)->SetShadowDx(3);
    chart.TextLabel(n)->SetShadowDy(6);
    chart.show();
    for (auto _ : state) {
        chart.Redraw();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PaintDemoDiagram)->ArgName("degrees")->Arg(1)->Arg(0);

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
