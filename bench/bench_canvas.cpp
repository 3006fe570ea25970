// The drawing surface against its floor: a full-frame fill and copy against memcpy of the same
// bytes, a 1000-point polyline against a full-frame copy, and a batch of short text-outs.
#include "znq_graphics.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using namespace znq;

namespace {

constexpr int frameWidth = 624, frameHeight = 648;

void BM_MemcpyFrame(benchmark::State& state)
{
    const size_t bytes = size_t(frameWidth) * frameHeight * 4;
    std::vector<uint8_t> from(bytes, 0x5A), to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcpyFrame);

void BM_FillAndCopyFrame(benchmark::State& state)
{
    TBitmap source(frameWidth, frameHeight), target(frameWidth, frameHeight);
    source.Canvas().Brush().SetColor(0xF4FCFF);
    for (auto _ : state) {
        source.Canvas().FillRect(Rect(0, 0, frameWidth, frameHeight));
        target.Canvas().Draw(0, 0, source);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FillAndCopyFrame);

void BM_CopyFrame(benchmark::State& state)
{
    TBitmap source(frameWidth, frameHeight), target(frameWidth, frameHeight);
    for (auto _ : state) {
        target.Canvas().Draw(0, 0, source);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyFrame);

// The spiral r = i / 100, phi = i / 50 radians, 30 pixels per unit around the frame's centre.
void BM_Polyline1000(benchmark::State& state)
{
    TBitmap bitmap(frameWidth, frameHeight);
    std::vector<TPoint> points;
    for (int i = 0; i <= 1000; ++i) {
        const double r = i / 100.0 * 30.0, phi = i / 50.0;
        points.push_back(TPoint { static_cast<int32_t>(std::lround(312 + r * std::cos(phi))),
            static_cast<int32_t>(std::lround(324 - r * std::sin(phi))) });
    }
    bitmap.Canvas().Pen().SetColor(clRed);
    for (auto _ : state) {
        bitmap.Canvas().Polyline(points);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Polyline1000);

void BM_DottedCircle(benchmark::State& state)
{
    TBitmap bitmap(frameWidth, frameHeight);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Pen().SetStyle(state.range(0) ? TPenStyle::psDot : TPenStyle::psSolid);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    for (auto _ : state) {
        canvas.Ellipse(312 - 200, 324 - 200, 312 + 201, 324 + 201);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DottedCircle)->ArgName("dotted")->Arg(1)->Arg(0);

void BM_TextOut25(benchmark::State& state)
{
    TBitmap bitmap(frameWidth, frameHeight);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Font().SetName("MS Sans Serif");
    canvas.Font().SetHeight(-13);
    std::vector<std::string> labels;
    for (int i = 0; i < 25; ++i)
        labels.push_back(std::to_string(i * 15) + "\xc2\xb0");
    for (auto _ : state) {
        for (int i = 0; i < 25; ++i)
            canvas.TextOut(20 + (i % 5) * 100, 20 + (i / 5) * 100, labels[size_t(i)]);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TextOut25);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
