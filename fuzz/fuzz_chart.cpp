// The chart driven by a sequence of operations (setters with any double, data, labels,
// crosshairs, mouse gestures, resizes down to 0 x 0, paints, both transforms), its invariants
// checked after each.
#include "../tests/polchart/chart_ops.h"
#include "fuzz_support.h"

using namespace znq;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::startApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TPolChart chart;
    chart.SetBounds(0, 0, 100, 80);
    chart.show();
    chart_ops::ChartOps ops(chart, 140);
    chart_ops::ByteReader in(data, size);
    for (int i = 0; i < 300 && !in.done(); ++i) {
        ops.step(in);
        const std::string broken = ops.broken();
        if (!broken.empty())
            fuzz::fail("after operation " + std::to_string(i) + ": " + broken);
    }
    return 0;
}
