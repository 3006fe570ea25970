// The wind rose: counting samples by direction sector and speed class into stacks of wedges.
#include "polchart_windrose.h"
#include "ZNQ_polchart.h"

#include <QString>

#include <cmath>
#include <limits>
#include <numbers>

namespace znq {

namespace {
    std::string edgeText(double value)
    {
        return QString::number(value, 'g', 6).toStdString();
    }
} // namespace

TpcWindRoseResult WindRose(TpcBars& bars, const std::vector<double>& directions,
    const std::vector<double>& speeds, const TpcWindRoseOptions& options)
{
    TCustomPolChart& chart = *bars.Chart();
    const auto refuse = [&](const std::string& why) {
        throw EZNQPolChartError(chart.Name(), ": WindRose: " + why);
    };
    if (options.Sectors < 1 || options.Sectors > 360)
        refuse(
            "the number of sectors must lie between 1 and 360: " + std::to_string(options.Sectors));
    if (directions.size() != speeds.size())
        refuse(std::to_string(directions.size()) + " directions and "
            + std::to_string(speeds.size()) + " speeds");
    const std::vector<double>& edges = options.SpeedEdges;
    if (edges.empty() || int(options.FirstClass) + int(edges.size()) > 255)
        refuse("the speed classes must be 1 to " + std::to_string(255 - options.FirstClass));
    for (size_t j = 0; j < edges.size(); ++j)
        if (!std::isfinite(edges[j]) || (j > 0 && !(edges[j] > edges[j - 1])))
            refuse("the speed edges must be finite and rise");

    const size_t classes = edges.size();
    const int sectors = options.Sectors;
    const double width = 360.0 / sectors;
    std::vector<double> counts(size_t(sectors) * classes);
    TpcWindRoseResult result;
    for (size_t i = 0; i < directions.size(); ++i) {
        const double direction = directions[i], speed = speeds[i];
        if (!std::isfinite(direction) || !std::isfinite(speed)) {
            ++result.Dropped;
            continue;
        }
        ++result.Valid;
        if (speed < options.CalmThreshold) {
            ++result.Calm;
            continue;
        }
        // Sector k is centred on k * width: a direction half a sector before it belongs to it.
        double turned = std::fmod(direction + width / 2, 360.0);
        if (turned < 0)
            turned += 360;
        const int sector = std::min(int(turned / width), sectors - 1);
        size_t j = 0;
        while (j + 1 < classes && speed >= edges[j + 1])
            ++j;
        counts[size_t(sector) * classes + j] += 1;
    }
    const double scale = options.Percent && result.Valid > 0 ? 100.0 / result.Valid : 1.0;
    result.CalmPercent = result.Valid > 0 ? 100.0 * result.Calm / result.Valid : 0;

    const double unit = chart.UseDegrees() ? 1.0 : std::numbers::pi / 180;
    std::vector<uint8_t> classNumbers(classes);
    for (size_t j = 0; j < classes; ++j)
        classNumbers[j] = uint8_t(options.FirstClass + j);
    // One redraw for all the stacks and names.
    chart.Batch([&] {
        for (int k = 0; k < sectors; ++k) {
            std::vector<double> values(classes);
            bool any = false;
            for (size_t j = 0; j < classes; ++j) {
                const double count = counts[size_t(k) * classes + j];
                values[j] = count > 0 ? count * scale : std::numeric_limits<double>::quiet_NaN();
                any = any || count > 0;
            }
            if (any)
                bars.AddStack(k * width * unit, width * unit, values, classNumbers);
        }
        for (size_t j = 0; j < classes; ++j) {
            const std::string name = j + 1 < classes
                ? edgeText(edges[j]) + "-" + edgeText(edges[j + 1]) + " " + options.Unit
                : edgeText(edges[j]) + "+ " + options.Unit;
            chart.ClassStyle(classNumbers[j])->SetName(name);
        }
    });
    return result;
}

} // namespace znq
