// The odd-even rule on pixel centres, decided exactly in integers: the reference that polygon
// fills are checked against.
#pragma once

#include "znq_types.h"

#include <cstdint>
#include <vector>

namespace znq::testing_support {

// Whether the centre of pixel (x, y) lies inside the polygon: an odd number of its edges cross
// the middle of row y at or left of the centre (an edge counts for the rows from its upper end to
// just above its lower one).
inline bool InsideOddEven(const std::vector<TPoint>& polygon, int x, int y)
{
    int crossings = 0;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const TPoint a = polygon[i], b = polygon[(i + 1) % polygon.size()];
        const int64_t y2 = 2 * int64_t(y) + 1;
        if (!((2 * a.y <= y2 && y2 < 2 * b.y) || (2 * b.y <= y2 && y2 < 2 * a.y)))
            continue;
        const int64_t d = b.y - a.y;
        const int64_t lhs = 2 * int64_t(a.x) * d + (y2 - 2 * a.y) * (b.x - a.x);
        const int64_t rhs = (2 * int64_t(x) + 1) * d;
        crossings += d > 0 ? lhs <= rhs : lhs >= rhs;
    }
    return crossings % 2 == 1;
}

} // namespace znq::testing_support
