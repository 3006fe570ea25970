// Live data: a measurement arrives 1,000 times a second and is appended to the chart as it comes;
// the chart is repainted at most 60 times a second, once per frame, with everything that arrived
// since the last one.
//
// The frame time: a full repaint costs about 7 ns per stored point on a current desktop processor
// (7 ms at a million points), so it grows with the data. This program bounds it by sweeping: when
// the chart holds SweepPoints points it is cleared and the trace starts again from the newest
// point, as on an oscilloscope, so no frame ever paints more than SweepPoints points.
//
//   live_data [--rate points-per-second] [--seconds run-time] [--until points]
// --rate speeds the data up (to see the sweep without waiting 1,000 s); --seconds quits after
// that time, --until after the frame that appended that many points; both print the frame
// statistics.
#include "ZNQ_polchart.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr int32_t SweepPoints = 1000000;

// A made-up measurement: a radius wandering between 2 and 8, turning once every 10 seconds.
struct Sample {
    double rad, phi;
};
Sample measurement(int64_t n)
{
    const double t = n / 1000.0;
    return { 5 + 2.5 * std::sin(t * 1.3) + 0.5 * std::sin(t * 17.0), std::fmod(t * 36, 360) };
}

class LiveChart {
public:
    LiveChart(double rate, int64_t until)
        : m_rate(rate)
        , m_until(until)
    {
        m_chart.resize(600, 600);
        m_chart.SetRangeHigh(10);
        m_chart.SetAllocSize(100000);
        m_chart.SetDataColor(znq::clBlue);
        // The frame timer repaints; appends alone never do.
        m_chart.SetAutoRedraw(false);
        m_chart.show();
        m_clock.start();
        // 17 ms: at most 59 frames a second.
        m_frames.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_frames, &QTimer::timeout, [this] { frame(); });
        m_frames.start(17);
    }

    void printStatistics() const
    {
        std::printf("%lld points appended, %d frames, %d sweeps, frame time: mean %.2f ms, "
                    "largest %.2f ms\n",
            static_cast<long long>(m_appended), m_frameCount, m_sweeps,
            m_frameCount ? m_totalMs / m_frameCount : 0.0, m_largestMs);
    }

private:
    void frame()
    {
        const auto due = static_cast<int64_t>(m_clock.nsecsElapsed() * 1e-9 * m_rate);
        QElapsedTimer took;
        took.start();
        for (; m_appended < due; ++m_appended) {
            if (m_chart.ElementCount() >= SweepPoints) {
                m_chart.Clear();
                ++m_sweeps;
            }
            const Sample s = measurement(m_appended);
            if (m_chart.ElementCount() == 0)
                m_chart.MoveTo(s.rad, s.phi);
            else
                m_chart.DrawTo(s.rad, s.phi);
        }
        m_chart.Redraw();
        const double ms = took.nsecsElapsed() * 1e-6;
        ++m_frameCount;
        m_totalMs += ms;
        m_largestMs = std::max(m_largestMs, ms);
        if (m_until > 0 && m_appended >= m_until)
            QApplication::quit();
    }

    znq::TPolChart m_chart;
    QTimer m_frames;
    QElapsedTimer m_clock;
    double m_rate;
    int64_t m_until;
    int64_t m_appended = 0;
    int m_frameCount = 0, m_sweeps = 0;
    double m_totalMs = 0, m_largestMs = 0;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    double rate = 1000, seconds = 0;
    int64_t until = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--rate") == 0)
            rate = std::atof(argv[i + 1]);
        else if (std::strcmp(argv[i], "--seconds") == 0)
            seconds = std::atof(argv[i + 1]);
        else if (std::strcmp(argv[i], "--until") == 0)
            until = std::atoll(argv[i + 1]);
    }
    LiveChart live(rate, until);
    if (seconds > 0)
        QTimer::singleShot(static_cast<int>(seconds * 1000), &app, &QApplication::quit);
    const int result = app.exec();
    live.printStatistics();
    return result;
}
