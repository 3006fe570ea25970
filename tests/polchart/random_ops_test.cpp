// 100,000 random chart operations (setters with any double, data, labels, crosshairs, mouse
// gestures, resizes down to 0 x 0, paints, transforms), the invariants checked after each.
#include "chart_ops.h"

#include <gtest/gtest.h>

#include <iostream>
#include <random>
#include <vector>

using namespace znq;

TEST(ChartRandomOperations, InvariantsHoldAfterEachOfThem)
{
    const unsigned seed = 20261207;
    std::cout << "seed " << seed << '\n';
    std::mt19937 random(seed);
    TPolChart chart;
    chart.SetBounds(0, 0, 120, 100);
    chart.show();
    chart_ops::ChartOps ops(chart, 160);
    std::vector<uint8_t> bytes(48);
    for (int i = 0; i < 100000; ++i) {
        for (uint8_t& b : bytes)
            b = static_cast<uint8_t>(random());
        chart_ops::ByteReader in(bytes.data(), bytes.size());
        ops.step(in);
        const std::string broken = ops.broken();
        ASSERT_TRUE(broken.empty()) << "operation " << i << ": " << broken;
    }
}
