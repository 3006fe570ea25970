/// \file
/// The wind rose: samples of wind direction and speed counted by direction sector and speed class,
/// as one stack of wedges per sector. Included by ZNQ_polchart.h.
#pragma once

#include "polchart_bars.h"

#include <string>
#include <vector>

namespace znq {

/// How WindRose counts and draws.
struct TpcWindRoseOptions {
    /// The number of direction sectors, 1 .. 360; the first is centred on north (0 degrees).
    int Sectors = 16;
    /// The lower edges of the speed classes, rising: class j holds speeds from SpeedEdges[j] up to
    /// the next edge, the last class everything above its edge (speeds below the first edge fall
    /// into the first class).
    std::vector<double> SpeedEdges = { 0, 2, 4, 6, 8, 10 };
    /// Speeds below it are calm: counted apart, in no sector.
    double CalmThreshold = 0.5;
    /// The stacks in percent of the valid samples (true), else in counts.
    bool Percent = true;
    /// The data class of the first speed class; the others follow it.
    uint8_t FirstClass = 1;
    /// The unit in the classes' names ("2-4 m/s").
    std::string Unit = "m/s";
};

/// What WindRose counted.
struct TpcWindRoseResult {
    /// The samples with a direction and a speed that are finite.
    int Valid = 0;
    /// The valid samples that are calm.
    int Calm = 0;
    /// The calm samples in percent of the valid ones (0 without valid samples).
    double CalmPercent = 0;
    /// The samples left out because their direction or speed is NaN or infinite.
    int Dropped = 0;
};

/// Counts the samples (directions in degrees clockwise from north, the way the wind comes from;
/// speeds) by sector and speed class and adds one stack per sector to bars, centred on the
/// sector's direction in the chart's angle unit, empty classes left out. In percent, the stacks
/// and the calm share add up to 100. The classes get their names from their edges ("2-4 m/s",
/// the last "10+ m/s"). EZNQPolChartError, with nothing added, for sectors outside 1 .. 360,
/// directions and speeds of different lengths, or edges that do not rise or are not finite.
TpcWindRoseResult WindRose(TpcBars& bars, const std::vector<double>& directions,
    const std::vector<double>& speeds, const TpcWindRoseOptions& options = {});

} // namespace znq
