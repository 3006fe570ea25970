/// \file
/// The chart's test seams: counters and internal state that tests check, and the switch to the
/// straightforward data path that the fast one is compared with. Not part of the published
/// interface; not installed.
#pragma once

#include "polchart_rooms.h"

namespace znq {

/// Test access to a chart's rooms.
class TpcChartSeams {
public:
    /// On: the data layer maps every element one by one and passes every point to the polylines,
    /// the straightforward path whose pixels the fast one must match.
    static void SetReferenceDataPath(TCustomPolChart& chart, bool on)
    {
        chart.rooms().ReferenceDataPath = on;
    }
};

} // namespace znq
