// The raster's cells and properties.
#include "polchart_raster.h"
#include "model/polchart_chart_link.h"

#include "base_helpers.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <numbers>

namespace znq {

void TpcRaster::checkCell(int az, int range) const
{
    if (az < 0 || az >= m_azCount || range < 0 || range >= m_rangeCount)
        throw EZNQPolChartError(RefusingName(m_link, *this),
            ": the raster has no cell (" + std::to_string(az) + ", " + std::to_string(range)
                + ") in its " + std::to_string(m_azCount) + " x " + std::to_string(m_rangeCount));
}

void TpcRaster::SetGrid(
    int azCount, int rangeCount, double azStart, double azStep, double rangeStart, double rangeStep)
{
    if (azCount < 0 || rangeCount < 0)
        throw EZNQPolChartError(
            RefusingName(m_link, *this), ": a raster's counts cannot be below 0");
    if (azCount > MaxRows)
        throw EZNQPolChartError(RefusingName(m_link, *this),
            ": a raster of " + std::to_string(azCount) + " rows is more than the limit of "
                + std::to_string(MaxRows));
    if (int64_t(azCount) * rangeCount > MaxCells)
        throw EZNQPolChartError(RefusingName(m_link, *this),
            ": a raster of " + std::to_string(azCount) + " x " + std::to_string(rangeCount)
                + " cells is larger than the limit of " + std::to_string(MaxCells));
    RequireFinite(RefusingName(m_link, *this), "AzStart", azStart);
    RequireFinite(RefusingName(m_link, *this), "RangeStart", rangeStart);
    for (const auto& [what, step] : { std::pair { "AzStep", azStep }, { "RangeStep", rangeStep } })
        if (!(std::isfinite(step) && step > 0))
            throw EZNQPolChartError(RefusingName(m_link, *this),
                std::string(": ") + what
                    + " must be finite and above 0: " + helpers::ShortestText(step));
    const size_t cells = size_t(azCount) * size_t(rangeCount);
    std::vector<float> values(cells, std::numeric_limits<float>::quiet_NaN());
    m_cells.swap(values);
    m_azCount = azCount;
    m_rangeCount = rangeCount;
    m_azStart = azStart;
    m_azStep = azStep;
    m_rangeStart = rangeStart;
    m_rangeStep = rangeStep;
    ++m_gridVersion;
    ++m_dataVersion;
    m_rowVersions.assign(size_t(azCount), m_dataVersion);
    m_rowTimes.assign(size_t(azCount), -HUGE_VAL);
    m_writes.clear();
    m_writesSince = m_dataVersion;
    Q_EMIT changed();
}

bool TpcRaster::Wraps() const
{
    const double turn = !m_link || m_link->AnglesInDegrees() ? 360 : 2 * std::numbers::pi;
    return m_azCount > 0 && m_azCount * m_azStep >= turn * (1 - 1e-6);
}

void TpcRaster::rowsWritten(int first, int last)
{
    // A log as long as a quarter of the rows names more than a picture colours row by row.
    if (m_writes.size() >= std::max<size_t>(64, size_t(m_azCount) / 4)) {
        m_writes.clear();
        m_writesSince = m_dataVersion;
    }
    ++m_dataVersion;
    m_writes.push_back(RowWrite { m_dataVersion, first, last });
    // A raster made without a chart has no sweep, and so no time that its rows fade by.
    TpcSweep* sweep = m_link ? &m_link->ChartSweep() : nullptr;
    const double now = sweep ? sweep->Now() : 0;
    for (int az = first; az <= last; ++az) {
        m_rowVersions[size_t(az)] = m_dataVersion;
        m_rowTimes[size_t(az)] = now;
    }
    if (sweep)
        sweep->RowWritten();
    Q_EMIT cellsChanged();
}

void TpcRaster::SetRow(int az, const float* values, int count)
{
    if (az < 0 || az >= m_azCount)
        throw EZNQPolChartError(RefusingName(m_link, *this),
            ": the raster has no row " + std::to_string(az) + " in its "
                + std::to_string(m_azCount));
    if (count < 0 || count > m_rangeCount || (count > 0 && !values))
        throw EZNQPolChartError(RefusingName(m_link, *this),
            ": a raster row takes 0 .. " + std::to_string(m_rangeCount) + " values, not "
                + std::to_string(count) + (count > 0 && !values ? " from no array" : ""));
    std::copy(values, values + count, m_cells.begin() + int64_t(az) * m_rangeCount);
    rowsWritten(az, az);
}

void TpcRaster::SetCell(int az, int range, double value)
{
    checkCell(az, range);
    m_cells[size_t(az) * size_t(m_rangeCount) + size_t(range)] = helpers::ToSingle(value);
    rowsWritten(az, az);
}

void TpcRaster::Fill(double value)
{
    std::fill(m_cells.begin(), m_cells.end(), helpers::ToSingle(value));
    if (m_azCount > 0)
        rowsWritten(0, m_azCount - 1);
}

double TpcRaster::Cell(int az, int range) const
{
    checkCell(az, range);
    return m_cells[size_t(az) * size_t(m_rangeCount) + size_t(range)];
}

double TpcRaster::ValueAtPixel(int32_t x, int32_t y) const
{
    return m_link ? m_link->RasterValueAtPixel(x, y) : std::numeric_limits<double>::quiet_NaN();
}

void TpcRaster::SetColorMap(TpcColorMap value)
{
    RequireKnown(RefusingName(m_link, *this), "ColorMap", value);
    if (value == m_colorMap)
        return;
    m_colorMap = value;
    Q_EMIT changed();
}

void TpcRaster::SetValueLow(double value)
{
    RequireFinite(RefusingName(m_link, *this), "ValueLow", value);
    if (value == m_valueLow)
        return;
    m_valueLow = value;
    Q_EMIT changed();
}

void TpcRaster::SetValueHigh(double value)
{
    RequireFinite(RefusingName(m_link, *this), "ValueHigh", value);
    if (value == m_valueHigh)
        return;
    m_valueHigh = value;
    Q_EMIT changed();
}

void TpcRaster::SetOpacity(double value)
{
    if (!(value >= 0 && value <= 1))
        throw EZNQPolChartError(RefusingName(m_link, *this),
            ": the raster's Opacity must lie between 0 and 1: " + helpers::ShortestText(value));
    if (value == m_opacity)
        return;
    m_opacity = value;
    Q_EMIT changed();
}

void TpcRaster::SetInterpolation(TpcRasterInterp value)
{
    RequireKnown(RefusingName(m_link, *this), "Interpolation", value);
    if (value == m_interpolation)
        return;
    m_interpolation = value;
    Q_EMIT changed();
}

void TpcRaster::SetVisible(bool value)
{
    if (value == m_visible)
        return;
    m_visible = value;
    Q_EMIT changed();
}

void TpcRaster::SetThreads(int value)
{
    if (value < 0)
        throw EZNQPolChartError(RefusingName(m_link, *this),
            ": the raster's Threads cannot be below 0: " + std::to_string(value));
    if (value == m_threads)
        return;
    m_threads = value;
    Q_EMIT changed();
}

} // namespace znq
