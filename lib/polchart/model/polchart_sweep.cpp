// The live sweep: its time, the rows' fading and the timer that shows it.
#include "model/polchart_chart_link.h"
#include "polchart_raster.h"

#include "base_helpers.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <numbers>

namespace znq {

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
        throw EZNQPolChartError(RefusingName(m_link, *this),
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
    RequireFinite(RefusingName(m_link, *this), "SweepAngle", value);
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

} // namespace znq
