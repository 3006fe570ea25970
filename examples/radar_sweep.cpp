// A plan-position display: a synthetic radar of 1,024 range gates out to 60 km turning once in
// 2 seconds, a few moving targets and ground clutter near the site, the rows it writes fading
// over 3 seconds behind a sweep line. North is up and the bearing runs clockwise.
//   example_radar_sweep [--save FILE.png | --measure SECONDS]
// With --save two turns are played on a simulated clock and the picture is saved through
// SaveImage; else the display runs live at 60 frames a second. With --measure it runs live for
// that long and prints the processor time it took, as a share of one core.
#include "ZNQ_polchart.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <numbers>
#include <string>
#include <vector>

namespace {

using znq::TPolChart;

constexpr int Rows = 360, Gates = 1024;
constexpr double RangeKm = 60, TurnSeconds = 2;

class Random {
public:
    double uniform()
    {
        m_state = m_state * 6364136223846793005u + 1442695040888963407u;
        return double(m_state >> 11) * 0x1p-53;
    }

private:
    uint64_t m_state = 4242;
};

struct Target {
    double bearing, rangeKm, speedKmPerS, heading, strength;
};

// The radar: each call writes the rows the antenna passed since the last one.
class Radar {
public:
    explicit Radar(TPolChart& chart)
        : m_chart(chart)
        , m_targets { { 40, 35, 0.25, 200, 1.0 }, { 130, 18, 0.15, 300, 0.8 },
            { 220, 48, 0.3, 90, 0.9 }, { 300, 27, 0.2, 20, 0.7 }, { 335, 52, 0.1, 160, 1.0 } }
    {
    }

    void advanceTo(double seconds)
    {
        const int reached = int(std::floor(seconds / TurnSeconds * Rows));
        for (; m_next <= reached; ++m_next)
            writeRow(m_next % Rows, m_next * TurnSeconds / Rows);
        m_chart.Sweep()->SetSweepAngle(std::fmod(seconds / TurnSeconds * 360, 360));
    }

private:
    void writeRow(int row, double seconds)
    {
        std::vector<float> values(Gates);
        const double bearing = row + 0.5;
        for (int gate = 0; gate < Gates; ++gate) {
            const double km = (gate + 0.5) * RangeKm / Gates;
            double value = 0.9 * std::exp(-km / 4) * (0.4 + 0.6 * m_random.uniform());
            for (const Target& target : m_targets) {
                const double heading = target.heading * std::numbers::pi / 180;
                const double t = seconds;
                const double x = target.rangeKm * std::sin(target.bearing * std::numbers::pi / 180)
                    + target.speedKmPerS * t * std::sin(heading);
                const double y = target.rangeKm * std::cos(target.bearing * std::numbers::pi / 180)
                    + target.speedKmPerS * t * std::cos(heading);
                const double b = std::atan2(x, y) * 180 / std::numbers::pi;
                const double r = std::hypot(x, y);
                const double along = std::fmod(bearing - b + 540, 360) - 180;
                value
                    += target.strength * std::exp(-(along * along / 3 + (km - r) * (km - r) / 0.8));
            }
            // A rain area drifting east, its cells stronger towards its core.
            const double rainBearing = std::fmod(bearing - 95 - 2 * seconds + 540, 360) - 180;
            const double core
                = std::exp(-(rainBearing * rainBearing / 120 + (km - 32) * (km - 32) / 30));
            value += core * (0.35 + 0.5 * m_random.uniform());
            value += 0.12 * m_random.uniform();
            // Below the detection threshold the display stays dark.
            values[size_t(gate)] = value < 0.18 ? NAN : float(value);
        }
        m_chart.Raster()->SetRow(row, values.data(), Gates);
    }

    TPolChart& m_chart;
    std::vector<Target> m_targets;
    Random m_random;
    int m_next = 0;
};

void setUp(TPolChart& chart)
{
    chart.SetUseDegrees(true);
    chart.SetAngleOffset(-90);
    chart.SetRotationDir(znq::TpcRotationDir::rdClockwise);
    chart.SetRangeHigh(RangeKm);
    chart.SetMagFactor(0.9);
    chart.SetChartColor(0x102008);
    chart.SetGridColor(0x3C7830);
    chart.SetScaleColor(0x60C050);
    chart.SetAngleBtwRays(30);
    chart.SetGridStyleRadial(znq::TpcGridStyleRad::gsRadBothDots);
    chart.SetGridStyleAngular(znq::TpcGridStyleAng::gsAngDots);
    chart.SetLabelModeAngular(znq::TpcAngLabelMode::almDegrees);
    chart.SetLabelModeRadial(znq::TpcRadLabelMode::rlmVertCenter);
    chart.SetDecPlaceRad(0);
    znq::TpcRaster* raster = chart.Raster();
    raster->SetGrid(Rows, Gates, 0, 360.0 / Rows, 0, RangeKm / Gates);
    raster->SetColorMap(znq::TpcColorMap::cmTurbo);
    raster->SetValueLow(0.1);
    raster->SetValueHigh(1.2);
    znq::TpcSweep* sweep = chart.Sweep();
    sweep->SetPersistence(3);
    sweep->SetShowSweepLine(true);
    chart.OnBeforeDrawScaleLabel = [](znq::TObject*, znq::TCanvas&, znq::TpcScaleKind kind,
                                       std::string& text, int, int) {
        if (kind == znq::TpcScaleKind::sckRad && text.find_first_not_of(" 0") != std::string::npos)
            text += " km";
    };
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TPolChart chart;
    chart.setWindowTitle("Radar sweep");
    chart.resize(600, 600);
    setUp(chart);
    Radar radar(chart);
    if (argc > 2 && std::strcmp(argv[1], "--save") == 0) {
        double now = 0;
        chart.Sweep()->SetClock([&now] { return now; });
        chart.SetAutoRedraw(false);
        for (int frame = 0; frame <= 2 * 60 * int(TurnSeconds) - 20; ++frame) {
            now = frame / 60.0;
            radar.advanceTo(now);
        }
        chart.CenterChart();
        chart.SaveImage(argv[2]);
        return 0;
    }
    QElapsedTimer clock;
    clock.start();
    QTimer frames;
    int frameCount = 0;
    // One repaint a frame for all the rows written in it.
    chart.SetAutoRedraw(false);
    QObject::connect(&frames, &QTimer::timeout, [&] {
        radar.advanceTo(clock.elapsed() / 1000.0);
        chart.Redraw();
        ++frameCount;
    });
    frames.setTimerType(Qt::PreciseTimer);
    frames.start(1000 / 60);
    chart.show();
    if (argc > 2 && std::strcmp(argv[1], "--measure") == 0) {
        const double seconds = std::max(0.5, std::atof(argv[2]));
        const std::clock_t start = std::clock();
        QTimer::singleShot(int(seconds * 1000), [start, &clock, &frameCount, &app] {
            const double cpu = double(std::clock() - start) / CLOCKS_PER_SEC;
            const double wall = clock.elapsed() / 1000.0;
            std::printf(
                "%d frames in %.2f s, %.1f %% of one core\n", frameCount, wall, 100 * cpu / wall);
            app.quit();
        });
    }
    return app.exec();
}
