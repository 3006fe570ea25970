// The chart's data store and transform: appending a million elements with a small and with a
// large growth step, the throughput of the polar-to-pixel mapping, the full repaint, and the mouse:
// a pointer move, a zoom-box move and a pan step, each against a full repaint. Run with
// QT_SCALE_FACTOR=2 the repaints are those of a screen of two device pixels per pixel.
#include "ZNQ_polchart.h"
#include "chart/polchart_seams.h"

#include "../tests/mouse_events.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include <sys/resource.h>

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

// The transform of the demonstration chart's view.
TpcTransformParams demoTransform()
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
    return params;
}

void BM_PolarToPixel(benchmark::State& state)
{
    const TpcTransformParams params = demoTransform();
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

// The data pass's transform alone: a slice of the spiral's elements (in cache) to pixels, with
// each instruction set the processor has, and with which elements continue the one before.
void BM_DataPixels(benchmark::State& state, const std::string& instructionSet)
{
    TpcTransform::UseDataPixelsInstructionSet(instructionSet);
    TpcTransformParams params = demoTransform();
    params.Logarithmic = state.range(0) != 0;
    if (params.Logarithmic)
        params.RangeLow = 0.1;
    const TpcTransform transform(params);
    constexpr int n = 4096;
    std::vector<TpcDataElement> elements(n);
    for (int i = 0; i < n; ++i) {
        elements[i].Rad = 10.0 * (i + 1) / n;
        elements[i].Phi = 20.0 * i / n * 57.29577951308232;
    }
    std::vector<TPoint> out(n);
    std::vector<uint8_t> continues(n);
    uint8_t* const marks = state.range(1) != 0 ? continues.data() : nullptr;
    for (auto _ : state) {
        transform.DataPixels(elements.data(), n, out.data(), marks);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * n);
    TpcTransform::UseDataPixelsInstructionSet(TpcTransform::DataPixelsInstructionSets().front());
}
[[maybe_unused]] const bool dataPixels = [] {
    for (const std::string& name : TpcTransform::DataPixelsInstructionSets())
        benchmark::RegisterBenchmark(("BM_DataPixels/" + name).c_str(), BM_DataPixels, name)
            ->ArgNames({ "log", "continues" })
            ->ArgsProduct({ { 0, 1 }, { 0, 1 } });
    return true;
}();

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

// The chart with the demonstration program's settings, 624 x 648, shown.
void setUpDemoChart(TPolChart& chart, bool degrees)
{
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
    chart.SetUseDegrees(degrees);
    chart.SetDataColor(clRed);
    chart.show();
}

// The demonstration diagram: its curve of 1000 segments and its text label.
void setUpDemoDiagram(TPolChart& chart, bool degrees)
{
    setUpDemoChart(chart, degrees);
    chart.MoveTo(0, 0);
    for (int i = 1; i <= 1000; ++i)
        chart.DrawTo(i / 100.0, i / 50.0);
    const int n = chart.AddTextLabel(clBlue, "This is a text label", 6.0, 210.0, 0);
    chart.TextLabel(n)->SetMode(TTxtLblMode::tlShadow);
    chart.TextLabel(n)->SetShadowDx(3);
    chart.TextLabel(n)->SetShadowDy(6);
    chart.Redraw();
}

// A spiral of n segments, about 3.2 turns out to the edge of the demonstration range.
void setUpSpiral(TPolChart& chart, int n)
{
    setUpDemoChart(chart, true);
    chart.SetAllocSize(n + 1);
    chart.MoveTo(0, 0);
    constexpr double degreesPerRadian = 180 / 3.141592653589793;
    for (int i = 1; i <= n; ++i)
        chart.DrawTo(10.0 * i / n, 20.0 * i / n * degreesPerRadian);
    chart.Redraw();
}

// The demonstration diagram repainted in full.
void BM_PaintDemoDiagram(benchmark::State& state)
{
    TPolChart chart;
    setUpDemoDiagram(chart, state.range(0) != 0);
    for (auto _ : state) {
        chart.Redraw();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PaintDemoDiagram)->ArgName("degrees")->Arg(1)->Arg(0);

// The demonstration diagram rendered into an image at a scale (the argument in hundredths), as
// ToImage and a paint at that device pixel ratio do it.
void BM_ToImage(benchmark::State& state)
{
    TPolChart chart;
    setUpDemoDiagram(chart, true);
    const double scale = state.range(0) / 100.0;
    for (auto _ : state) {
        const QImage image = chart.ToImage(scale);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_ToImage)
    ->ArgName("percent")
    ->Arg(100)
    ->Arg(200)
    ->Arg(400)
    ->Unit(benchmark::kMillisecond);

// A crosshair moved over the demonstration diagram: only the crosshair layer is composed again.
void BM_CrossHairMove(benchmark::State& state)
{
    TPolChart chart;
    setUpDemoDiagram(chart, true);
    chart.CrossHair1()->SetMode(TpcCrossHMode::chOrtho);
    int i = 0;
    for (auto _ : state) {
        chart.CrossHair1()->SetPosition((i % 97) / 10.0, i % 360);
        ++i;
    }
}
BENCHMARK(BM_CrossHairMove);

using testing_support::SendMouse;

// A pointer move over the demonstration diagram without a drag, reported as the program's form
// receives it: the whole way of a mouse-move event through the widget. It must not paint.
void BM_PointerMove(benchmark::State& state)
{
    TPolChart chart;
    setUpDemoDiagram(chart, true);
    chart.SetMouseAction(TMouseActMode::maDragLabel);
    double sum = 0;
    chart.OnMouseMoveInChart = [&](TObject*, bool inChart, TShiftState, double rad, double phi) {
        sum += inChart ? rad + phi : 0;
    };
    const int paints = TpcChartSeams::PaintCount(chart);
    int i = 0;
    for (auto _ : state) {
        SendMouse(chart, QEvent::MouseMove, QPoint(200 + (i & 63), 300), Qt::NoButton, {});
        ++i;
    }
    benchmark::DoNotOptimize(sum);
    if (TpcChartSeams::PaintCount(chart) != paints)
        state.SkipWithError("a pointer move painted");
}
BENCHMARK(BM_PointerMove);

// One move of an open zoom box: the old outline erased and the new one drawn with the XOR pen.
void BM_ZoomBoxMove(benchmark::State& state)
{
    TPolChart chart;
    setUpDemoDiagram(chart, true);
    chart.SetMouseAction(TMouseActMode::maZoomWind);
    SendMouse(chart, QEvent::MouseButtonPress, QPoint(150, 150), Qt::LeftButton, Qt::LeftButton);
    const int paints = TpcChartSeams::PaintCount(chart);
    int i = 0;
    for (auto _ : state) {
        const QPoint p = (i & 1) ? QPoint(400, 380) : QPoint(420, 300);
        SendMouse(chart, QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton);
        ++i;
    }
    if (TpcChartSeams::PaintCount(chart) != paints)
        state.SkipWithError("a zoom-box move painted");
}
BENCHMARK(BM_ZoomBoxMove);

// One pan step of a drag over the spiral: the centre moves by a pixel each time.
void BM_PanStep(benchmark::State& state)
{
    TPolChart chart;
    setUpSpiral(chart, static_cast<int>(state.range(0)));
    chart.SetMouseAction(TMouseActMode::maPan);
    SendMouse(chart, QEvent::MouseButtonPress, QPoint(300, 300), Qt::LeftButton, Qt::LeftButton);
    SendMouse(chart, QEvent::MouseMove, QPoint(300, 300), Qt::NoButton, Qt::LeftButton);
    int i = 0;
    for (auto _ : state) {
        SendMouse(
            chart, QEvent::MouseMove, QPoint(300 + (i & 1), 300), Qt::NoButton, Qt::LeftButton);
        ++i;
    }
}
BENCHMARK(BM_PanStep)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The full repaint of the same spiral after the centre moved by a pixel, through the setter.
void BM_FullRepaint(benchmark::State& state)
{
    TPolChart chart;
    setUpSpiral(chart, static_cast<int>(state.range(0)));
    chart.SetAutoCenter(false);
    const int x = chart.CenterX();
    int i = 0;
    for (auto _ : state) {
        chart.SetCenterX(x + (i & 1));
        ++i;
    }
}
BENCHMARK(BM_FullRepaint)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The same repaint on other views of the spiral: 0 the logarithmic axis from 0.01 to 10; 1 the
// half-circle from 0 to 180 degrees, where half of the lines are clipped away; 2 a quarter with
// a hole of a fifth of the radius, on the logarithmic axis.
void BM_FullRepaintShaped(benchmark::State& state)
{
    TPolChart chart;
    setUpSpiral(chart, static_cast<int>(state.range(1)));
    const auto view = state.range(0);
    if (view == 0 || view == 2)
        chart.SetRadialRange(0.01, 10, TpcRadialScale::rsLog10);
    if (view == 1) {
        chart.SetSectorSpan(180);
    } else if (view == 2) {
        chart.SetSectorStart(30);
        chart.SetSectorSpan(90);
        chart.SetHoleFraction(0.2);
    }
    chart.SetAutoCenter(false);
    const int x = chart.CenterX();
    int i = 0;
    for (auto _ : state) {
        chart.SetCenterX(x + (i & 1));
        ++i;
    }
}
BENCHMARK(BM_FullRepaintShaped)
    ->ArgNames({ "view", "points" })
    ->Args({ 0, 1000 })
    ->Args({ 0, 1000000 })
    ->Args({ 1, 1000 })
    ->Args({ 1, 1000000 })
    ->Args({ 2, 1000000 })
    ->Unit(benchmark::kMillisecond);

// Saving the 1,000-point spiral at 2,000 x 2,000 pixels as SVG (saving 1), or only setting the
// chart up (saving 0): the difference between the peak memory of the two, each run alone, is what
// the export holds.
void BM_SaveSvg(benchmark::State& state)
{
    TPolChart chart;
    setUpSpiral(chart, 1000);
    chart.resize(2000, 2000);
    chart.Redraw();
    const std::string path = QDir::temp().filePath(QStringLiteral("bench_chart.svg")).toStdString();
    for (auto _ : state) {
        if (state.range(0))
            chart.SaveImage(path);
    }
    QFile::remove(QString::fromStdString(path));
}
BENCHMARK(BM_SaveSvg)
    ->ArgName("saving")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// The nearest drawn element to a point, with the million-point spiral and a snapping crosshair,
// after the first paint built the index; and the crosshair placed there through SetPosition,
// which also shows it again.
void setUpSnappingSpiral(TPolChart& chart, int n)
{
    setUpSpiral(chart, n);
    chart.CrossHair1()->SetMode(TpcCrossHMode::chOrtho);
    chart.CrossHair1()->SetSnapToData(true);
    chart.Redraw();
}

void BM_NearestElement(benchmark::State& state)
{
    TPolChart chart;
    setUpSnappingSpiral(chart, static_cast<int>(state.range(0)));
    int i = 0;
    int64_t sum = 0;
    for (auto _ : state) {
        sum += chart.NearestElement((i % 97) / 9.7, (i * 37) % 360);
        ++i;
    }
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_NearestElement)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_SnappingCrossHairMove(benchmark::State& state)
{
    TPolChart chart;
    setUpSnappingSpiral(chart, static_cast<int>(state.range(0)));
    int i = 0;
    for (auto _ : state) {
        chart.CrossHair1()->SetPosition((i % 97) / 9.7, (i * 37) % 360);
        ++i;
    }
}
BENCHMARK(BM_SnappingCrossHairMove)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// The full repaint of points scattered over the whole chart, most of them sharing a pixel with
// others. With a snapping crosshair (snapping 1) the snap index is built when the view has moved
// (moving 1: by a pixel between repaints), and kept when only a colour changed (moving 0).
void BM_ScatteredRepaint(benchmark::State& state)
{
    TPolChart chart;
    chart.resize(600, 600);
    chart.SetRangeHigh(10);
    chart.SetAllocSize(1000000);
    uint64_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 6364136223846793005u + 1442695040888963407u;
        return double(seed >> 11) * 0x1p-53;
    };
    for (int64_t i = 0; i < state.range(2); ++i)
        chart.DrawTo(10 * next(), 360 * next());
    chart.CrossHair1()->SetSnapToData(state.range(0) != 0);
    chart.show();
    chart.SetAutoCenter(false);
    const int x = chart.CenterX();
    int i = 0;
    for (auto _ : state) {
        if (state.range(1))
            chart.SetCenterX(x + (i & 1));
        else
            chart.SetGridColor(i & 1 ? clSilver : clGray);
        ++i;
    }
}
BENCHMARK(BM_ScatteredRepaint)
    ->ArgNames({ "snapping", "moving", "points" })
    ->Args({ 0, 1, 1000000 })
    ->Args({ 1, 1, 1000000 })
    ->Args({ 0, 0, 1000000 })
    ->Args({ 1, 0, 1000000 })
    ->Unit(benchmark::kMillisecond);
// Ten million points: run alone, with and without snapping, the peak memory tells what the snap
// index costs while it is built.
BENCHMARK(BM_ScatteredRepaint)
    ->ArgNames({ "snapping", "moving", "points" })
    ->Args({ 0, 1, 10000000 })
    ->Args({ 1, 1, 10000000 })
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// Series styles on the spiral of state.range(1) points, repainted after the centre moved by a
// pixel: 0 lines (the plain repaint), 1 the same elements as filled circles of size 5 without
// lines, 2 the spiral closed into one filled polygon under its outline, 3 colour-mapped circles
// (each element with a value). Each point has the peak resident memory of the process (run one
// at a time for the memory of its case).
void BM_SeriesRepaint(benchmark::State& state)
{
    TPolChart chart;
    const auto style = state.range(0);
    const auto n = static_cast<int>(state.range(1));
    setUpSpiral(chart, n);
    TpcClassStyle* spiral = chart.ClassStyle(0);
    if (style == 1 || style == 3) {
        spiral->SetLines(false);
        spiral->SetMarker(TpcMarker::mkCircle);
        spiral->SetMarkerSize(5);
    }
    if (style == 2)
        spiral->SetFill(TpcFill::flClosed);
    if (style == 3) {
        // Values set without a repaint each.
        chart.SetAutoRedraw(false);
        for (int i = 0; i <= n; ++i)
            chart.SetElementValue(i, double(i) / n);
        chart.SetAutoRedraw(true);
        spiral->SetColorMap(TpcColorMap::cmViridis);
    }
    chart.SetAutoCenter(false);
    const int x = chart.CenterX();
    int i = 0;
    for (auto _ : state) {
        chart.SetCenterX(x + (i & 1));
        ++i;
    }
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024;
}
BENCHMARK(BM_SeriesRepaint)
    ->ArgNames({ "style", "points" })
    ->Args({ 0, 1000000 })
    ->Args({ 1, 1000000 })
    ->Args({ 2, 1000000 })
    ->Args({ 3, 1000000 })
    ->Unit(benchmark::kMillisecond);

// The same styles on a million points scattered over the chart, nearly all on pixels of their
// own: 0 lines between them, 1 filled circles of size 5, 3 colour-mapped circles.
void BM_ScatteredSeries(benchmark::State& state)
{
    TPolChart chart;
    chart.resize(600, 600);
    chart.SetRangeHigh(10);
    chart.SetAllocSize(1000000);
    uint64_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 6364136223846793005u + 1442695040888963407u;
        return double(seed >> 11) * 0x1p-53;
    };
    const auto style = state.range(0);
    for (int64_t i = 0; i < 1000000; ++i) {
        chart.DrawTo(10 * next(), 360 * next());
        if (style == 3)
            chart.AppendValue(next());
    }
    TpcClassStyle* points = chart.ClassStyle(0);
    if (style != 0) {
        points->SetLines(false);
        points->SetMarker(TpcMarker::mkCircle);
        points->SetMarkerSize(5);
    }
    if (style == 3)
        points->SetColorMap(TpcColorMap::cmViridis);
    chart.show();
    chart.SetAutoCenter(false);
    const int x = chart.CenterX();
    int i = 0;
    for (auto _ : state) {
        chart.SetCenterX(x + (i & 1));
        ++i;
    }
}
BENCHMARK(BM_ScatteredSeries)
    ->ArgName("style")
    ->Arg(0)
    ->Arg(1)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond);

// Wedges on the demonstration chart, repainted in full: 0 a wind rose of 36 sectors by 6 speed
// classes in percent (216 wedges, opaque), 1 10,000 wedges (100 sectors of 100 stacked values, half
// transparent), 2 one band behind the grid over a quarter, 3 none (the chart of 1 and 2 alone).
// With moving 1 the centre moves between repaints through 31 x 37 places, more than the wedges'
// kept runs remember, so that they are worked out anew each time. Compare with BM_PaintDemoDiagram.
void BM_WedgesRepaint(benchmark::State& state)
{
    TPolChart chart;
    setUpDemoChart(chart, true);
    const auto kind = state.range(0);
    chart.SetRangeHigh(kind == 0 ? 5 : 100);
    if (kind == 0) {
        std::vector<double> directions, speeds;
        uint64_t seed = 77;
        auto next = [&seed] {
            seed = seed * 6364136223846793005u + 1442695040888963407u;
            return double(seed >> 11) * 0x1p-53;
        };
        for (int i = 0; i < 20000; ++i) {
            directions.push_back(360 * next());
            speeds.push_back(0.5 + 14 * next());
        }
        TpcWindRoseOptions options;
        options.Sectors = 36;
        WindRose(*chart.Bars(), directions, speeds, options);
        for (int c = 1; c <= 6; ++c) {
            chart.ClassStyle(c)->SetFillColor(TColor(0x202020 * c));
            chart.ClassStyle(c)->SetFillOpacity(1);
        }
    } else if (kind == 1) {
        for (int k = 0; k < 100; ++k)
            chart.Bars()->AddStack(3.6 * k, 3.6, std::vector<double>(100, 0.9),
                std::vector<uint8_t>(100, uint8_t(1 + k % 6)));
    } else if (kind == 2) {
        chart.Bars()->AddBand(0, 90, clYellow, 0.4);
    }
    chart.SetAutoCenter(false);
    chart.SetAutoRedraw(false);
    chart.Redraw();
    const int x = chart.CenterX(), y = chart.CenterY();
    int i = 0;
    for (auto _ : state) {
        if (state.range(1)) {
            ++i;
            chart.SetCenterX(x - 15 + i % 31);
            chart.SetCenterY(y - 18 + i / 31 % 37);
        }
        chart.Redraw();
        benchmark::ClobberMemory();
    }
    state.counters["wedges"] = chart.Bars()->Count();
}
BENCHMARK(BM_WedgesRepaint)
    ->ArgNames({ "kind", "moving" })
    ->ArgsProduct({ { 0, 1, 2, 3 }, { 0 } })
    ->ArgsProduct({ { 0, 1, 3 }, { 1 } });

// The raster layer on the demonstration chart, 360 rows of 1,024 cells of random values: 0 every
// cell written (a data-only render of the whole layer), 1 the centre moved by a pixel (the map
// rebuilt), 2 one row written, 3 a crosshair moved over the layer. The second argument is the
// layer's Threads (0: all cores). Compare with BM_PaintFloor and BM_PaintDemoDiagram.
void BM_RasterLayer(benchmark::State& state)
{
    TPolChart chart;
    setUpDemoChart(chart, true);
    TpcRaster& raster = *chart.Raster();
    raster.SetThreads(int(state.range(1)));
    constexpr int rows = 360, gates = 1024;
    raster.SetGrid(rows, gates, 0, 1, 0, 10.0 / gates);
    uint64_t seed = 5;
    std::vector<float> row(gates);
    for (int i = 0; i < rows; ++i) {
        for (float& value : row) {
            seed = seed * 6364136223846793005u + 1442695040888963407u;
            value = float(seed >> 40) * 0x1p-24f;
        }
        raster.SetRow(i, row.data(), gates);
    }
    chart.CrossHair1()->SetMode(TpcCrossHMode::chOrtho);
    chart.SetAutoCenter(false);
    chart.Redraw();
    const auto kind = state.range(0);
    const int x = chart.CenterX();
    int i = 0;
    for (auto _ : state) {
        if (kind == 0)
            raster.Fill(i % 2 ? 0.25 : 0.75);
        else if (kind == 1)
            chart.SetCenterX(x + (i & 1));
        else if (kind == 2)
            raster.SetRow(i % rows, row.data(), gates);
        else
            chart.CrossHair1()->SetPosition((i % 97) / 10.0, i % 360);
        benchmark::ClobberMemory();
        ++i;
    }
}
BENCHMARK(BM_RasterLayer)
    ->ArgNames({ "kind", "threads" })
    ->Args({ 0, 0 })
    ->Args({ 0, 1 })
    ->Args({ 1, 0 })
    ->Args({ 1, 1 })
    ->Args({ 2, 0 })
    ->Args({ 3, 0 })
    ->Unit(benchmark::kMicrosecond);

// One row written, with AutoRedraw, on grids of few and of very many rows (the first argument)
// of 8 cells each over the demonstration chart without crosshairs: the row renders in place, and
// costs its own pixels whatever the grid's row count.
void BM_RasterRowOfATallGrid(benchmark::State& state)
{
    TPolChart chart;
    setUpDemoChart(chart, true);
    chart.SetAutoRedraw(true);
    TpcRaster& raster = *chart.Raster();
    const int rows = int(state.range(0));
    raster.SetGrid(rows, 8, 0, 360.0 / rows, 0, 10.0 / 8);
    raster.Fill(0.5);
    chart.Redraw();
    std::vector<float> row(8, 0.25f);
    int i = 0;
    for (auto _ : state) {
        row[0] = float(i % 2);
        raster.SetRow(int(int64_t(i) * 7919 % rows), row.data(), 8);
        benchmark::ClobberMemory();
        ++i;
    }
}
BENCHMARK(BM_RasterRowOfATallGrid)
    ->ArgNames({ "rows" })
    ->Arg(3600)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMicrosecond);

// Leaves the upper halves of the wide vector registers in use, as wide library code that does not
// clear them would. On some processors every non-vector floating-point instruction, and every call
// into the math library, is much slower until they are cleared.
void dirtyUpperVectorState()
{
#if defined(__x86_64__)
    if (__builtin_cpu_supports("avx"))
        asm volatile("vpcmpeqd %%ymm0, %%ymm0, %%ymm0" ::: "xmm0");
#endif
}

// The same repaint with that state left behind just before the data pass (the scale-label hook
// runs during the grid): equal to BM_FullRepaint as long as the per-element loops clear it.
void BM_FullRepaintDirtyVectorState(benchmark::State& state)
{
    TPolChart chart;
    setUpSpiral(chart, static_cast<int>(state.range(0)));
    chart.SetAutoCenter(false);
    chart.OnBeforeDrawScaleLabel
        = [](TObject*, TCanvas&, TpcScaleKind, std::string&, int, int) { dirtyUpperVectorState(); };
    const int x = chart.CenterX();
    int i = 0;
    for (auto _ : state) {
        chart.SetCenterX(x + (i & 1));
        ++i;
    }
}
BENCHMARK(BM_FullRepaintDirtyVectorState)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Full repaints of a chart with the view changing between them, the centre by a pixel and the
// range by a little, so that nothing of the last paint's pixels can be kept; threads map the data
// (0: the machine's cores).
void repaintWithViewChanges(benchmark::State& state, TPolChart& chart, int threads)
{
    TpcChartSeams::SetDataThreads(chart, threads);
    chart.SetAutoCenter(false);
    chart.SetAutoRedraw(false);
    const int x = chart.CenterX();
    int i = 0;
    for (auto _ : state) {
        chart.SetCenterX(x + (i & 1));
        chart.SetRangeHigh(10 + 0.01 * (i & 1));
        chart.Redraw();
        ++i;
    }
}

// The spiral so repainted; the second argument is the number of threads. Compare with
// BM_PaintFloor.
void BM_RepaintViewChange(benchmark::State& state)
{
    TPolChart chart;
    setUpSpiral(chart, static_cast<int>(state.range(0)));
    repaintWithViewChanges(state, chart, static_cast<int>(state.range(1)));
}
BENCHMARK(BM_RepaintViewChange)
    ->ArgNames({ "n", "threads" })
    ->Args({ 1000000, 1 })
    ->Args({ 1000000, 0 })
    ->Unit(benchmark::kMillisecond);

// A spiral of 100,000,000 elements (2.4 GB) so repainted, with the process's peak resident
// memory; run only when ZNQ_BENCH_HUGE is set.
void BM_RepaintHundredMillion(benchmark::State& state)
{
    constexpr int n = 100000000;
    TPolChart chart;
    setUpSpiral(chart, n);
    repaintWithViewChanges(state, chart, static_cast<int>(state.range(0)));
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024;
    state.counters["bytes_per_element"] = double(usage.ru_maxrss) * 1024 / n;
}
[[maybe_unused]] const bool hundredMillion = !qEnvironmentVariableIsEmpty("ZNQ_BENCH_HUGE")
    && benchmark::RegisterBenchmark("BM_RepaintHundredMillion", BM_RepaintHundredMillion)
           ->ArgName("threads")
           ->Arg(1)
           ->Arg(0)
           ->Unit(benchmark::kMillisecond)
           ->Iterations(5);

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
