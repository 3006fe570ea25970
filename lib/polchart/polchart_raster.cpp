// The raster layer's cells and properties, and the live sweep's fading and its timer.
#include "polchart_raster.h"
#include "polchart_raster_render.h"
#include "polchart_rooms.h"

#include "base_helpers.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <numbers>

namespace znq {

// ---------------------------------------------------------------------------------------------
// The cells

TpcRaster::TpcRaster(TCustomPolChart* chart)
    : QObject(chart)
    , m_chart(chart)
{
}

void TpcRaster::checkCell(int az, int range) const
{
    if (az < 0 || az >= m_azCount || range < 0 || range >= m_rangeCount)
        throw EZNQPolChartError(m_chart->Name(),
            ": the raster has no cell (" + std::to_string(az) + ", " + std::to_string(range)
                + ") in its " + std::to_string(m_azCount) + " x " + std::to_string(m_rangeCount));
}

void TpcRaster::SetGrid(
    int azCount, int rangeCount, double azStart, double azStep, double rangeStart, double rangeStep)
{
    if (azCount < 0 || rangeCount < 0)
        throw EZNQPolChartError(m_chart->Name(), ": a raster's counts cannot be below 0");
    if (azCount > MaxRows)
        throw EZNQPolChartError(m_chart->Name(),
            ": a raster of " + std::to_string(azCount) + " rows is more than the limit of "
                + std::to_string(MaxRows));
    if (int64_t(azCount) * rangeCount > MaxCells)
        throw EZNQPolChartError(m_chart->Name(),
            ": a raster of " + std::to_string(azCount) + " x " + std::to_string(rangeCount)
                + " cells is larger than the limit of " + std::to_string(MaxCells));
    RequireFinite(*m_chart, "AzStart", azStart);
    RequireFinite(*m_chart, "RangeStart", rangeStart);
    for (const auto& [what, step] : { std::pair { "AzStep", azStep }, { "RangeStep", rangeStep } })
        if (!(std::isfinite(step) && step > 0))
            throw EZNQPolChartError(m_chart->Name(),
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
    const double turn = m_chart->UseDegrees() ? 360 : 2 * std::numbers::pi;
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
    const double now = m_chart->Sweep()->Now();
    for (int az = first; az <= last; ++az) {
        m_rowVersions[size_t(az)] = m_dataVersion;
        m_rowTimes[size_t(az)] = now;
    }
    m_chart->Sweep()->RowWritten();
    Q_EMIT cellsChanged();
}

void TpcRaster::SetRow(int az, const float* values, int count)
{
    if (az < 0 || az >= m_azCount)
        throw EZNQPolChartError(m_chart->Name(),
            ": the raster has no row " + std::to_string(az) + " in its "
                + std::to_string(m_azCount));
    if (count < 0 || count > m_rangeCount || (count > 0 && !values))
        throw EZNQPolChartError(m_chart->Name(),
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
    return RasterValueAt(m_chart->Transform(), *this, x, y);
}

void TpcRaster::SetColorMap(TpcColorMap value)
{
    RequireKnown(*this, "ColorMap", value);
    if (value == m_colorMap)
        return;
    m_colorMap = value;
    Q_EMIT changed();
}

void TpcRaster::SetValueLow(double value)
{
    RequireFinite(*m_chart, "ValueLow", value);
    if (value == m_valueLow)
        return;
    m_valueLow = value;
    Q_EMIT changed();
}

void TpcRaster::SetValueHigh(double value)
{
    RequireFinite(*m_chart, "ValueHigh", value);
    if (value == m_valueHigh)
        return;
    m_valueHigh = value;
    Q_EMIT changed();
}

void TpcRaster::SetOpacity(double value)
{
    if (!(value >= 0 && value <= 1))
        throw EZNQPolChartError(m_chart->Name(),
            ": the raster's Opacity must lie between 0 and 1: " + helpers::ShortestText(value));
    if (value == m_opacity)
        return;
    m_opacity = value;
    Q_EMIT changed();
}

void TpcRaster::SetInterpolation(TpcRasterInterp value)
{
    RequireKnown(*this, "Interpolation", value);
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
        throw EZNQPolChartError(
            m_chart->Name(), ": the raster's Threads cannot be below 0: " + std::to_string(value));
    if (value == m_threads)
        return;
    m_threads = value;
    Q_EMIT changed();
}

TpcRaster* TCustomPolChart::Raster() const
{
    return rooms().Raster;
}

// ---------------------------------------------------------------------------------------------
// The sweep

TpcSweep::TpcSweep(TCustomPolChart* chart)
    : QObject(chart)
    , m_chart(chart)
{
    // At most 60 redraws a second while anything fades: one every 17 ms.
    m_timer.setInterval(17);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
}

double TpcSweep::Now() const
{
    double reading = 0;
    if (m_clock) {
        reading = m_clock();
    } else {
        using namespace std::chrono;
        reading = duration<double>(steady_clock::now().time_since_epoch()).count();
    }
    if (!std::isfinite(reading))
        return m_time;
    if (std::isnan(m_reading)) {
        // The first reading of a clock goes on from the time given last, if any.
        if (std::isfinite(m_time))
            m_ahead = m_time - reading;
    } else if (reading < m_reading) {
        m_ahead += m_reading - reading;
    }
    m_reading = reading;
    m_time = std::max(m_time, reading + m_ahead);
    return m_time;
}

void TpcSweep::SetClock(std::function<double()> clock)
{
    m_clock = std::move(clock);
    m_reading = std::nan("");
}

double TpcSweep::FadedAge() const
{
    // exp(-age / p) * 255 < 0.5 from age = p * ln(510) on.
    return m_persistence * std::log(510.0);
}

bool TpcSweep::Fading() const
{
    return m_persistence > 0 && Now() - m_lastWrite < FadedAge();
}

void TpcSweep::RowWritten()
{
    m_lastWrite = Now();
    // The write's own redraw shows this time.
    m_lastFrame = m_lastWrite;
    if (m_persistence > 0 && !m_timer.isActive())
        m_timer.start();
}

// Each tick shows the fading at its time; the ticks stop once everything has faded out, after a
// last picture of that, and when the time stands: the picture would not change.
void TpcSweep::tick()
{
    const double now = Now();
    if (!Fading() || !(now > m_lastFrame))
        m_timer.stop();
    if (!(now > m_lastFrame))
        return;
    m_lastFrame = now;
    Q_EMIT frame();
}

void TpcSweep::SetPersistence(double value)
{
    if (!(std::isfinite(value) && value >= 0))
        throw EZNQPolChartError(m_chart->Name(),
            ": Persistence must be finite and at least 0: " + helpers::ShortestText(value));
    if (value == m_persistence)
        return;
    m_persistence = value;
    if (Fading() && !m_timer.isActive())
        m_timer.start();
    Q_EMIT changed();
}

void TpcSweep::SetShowSweepLine(bool value)
{
    if (value == m_showSweepLine)
        return;
    m_showSweepLine = value;
    Q_EMIT changed();
}

void TpcSweep::SetSweepAngle(double value)
{
    RequireFinite(*m_chart, "SweepAngle", value);
    if (value == m_sweepAngle)
        return;
    m_sweepAngle = value;
    Q_EMIT changed();
}

void TpcSweep::SetSweepLineColor(TColor value)
{
    if (value == m_lineColor)
        return;
    m_lineColor = value;
    Q_EMIT changed();
}

TpcSweep* TCustomPolChart::Sweep() const
{
    return rooms().Sweep;
}

} // namespace znq
