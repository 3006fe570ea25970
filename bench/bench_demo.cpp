// The demonstration program's form: a pointer move over the chart with crosshair 1 following
// (two read-outs and one chart repaint) against one repaint of the demonstration diagram, and
// without a crosshair (the two read-outs alone).
#include "mainfrm.h"

#include "../tests/mouse_events.h"

#include <QApplication>
#include <benchmark/benchmark.h>

using namespace znq;

namespace {

void hover(TPolChart& chart, QPoint p)
{
    testing_support::SendMouse(chart, QEvent::MouseMove, p);
}

void BM_DemoRepaint(benchmark::State& state)
{
    TFrmPolChart form;
    form.show();
    for (auto _ : state) {
        form.PC->Redraw();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DemoRepaint);

// Every move lands on a new pixel, so both read-outs show new numbers each time.
void BM_DemoPointerMoveWithCrossHair(benchmark::State& state)
{
    TFrmPolChart form;
    form.show();
    form.RGCrossHair->SetItemIndex(static_cast<int>(state.range(0)));
    int i = 0;
    for (auto _ : state) {
        hover(*form.PC, QPoint(150 + (i % 300), 200 + (i % 7)));
        ++i;
    }
}
BENCHMARK(BM_DemoPointerMoveWithCrossHair)->ArgName("crosshair")->Arg(0)->Arg(1)->Arg(2);

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
