// Three weeks of wind measurements, one every ten minutes: each point is a measurement at the
// wind's direction (clockwise from north) and at the time of day on the radius (midnight in the
// centre, the next midnight on the outer circle), coloured by the wind speed through the viridis
// map. The legend names the series and shows the colour bar; the scale-label hook adds the
// units.
//   example_scatter_by_value [--save FILE.png]
// With --save the chart is saved through SaveImage and the program ends.
#include "ZNQ_polchart.h"

#include <QApplication>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <string>

namespace {

using znq::TPolChart;

// A small generator, so that the picture is the same on every run.
class Random {
public:
    double uniform()
    {
        m_state = m_state * 6364136223846793005u + 1442695040888963407u;
        return double(m_state >> 11) * 0x1p-53;
    }
    double normal()
    {
        const double u = std::max(uniform(), 1e-12), v = uniform();
        return std::sqrt(-2 * std::log(u)) * std::cos(2 * std::numbers::pi * v);
    }

private:
    uint64_t m_state = 2026;
};

// A sea breeze: at night a light land wind from the north-east, by day a stronger wind from the
// south-west that peaks in the afternoon; both with gusts and turning.
void addMeasurements(TPolChart& chart)
{
    Random random;
    constexpr int days = 21, perDay = 144;
    for (int day = 0; day < days; ++day) {
        for (int k = 0; k < perDay; ++k) {
            const double hour = 24.0 * k / perDay;
            const double daytime = std::max(0.0, std::sin((hour - 7) / 13 * std::numbers::pi));
            const double direction = (daytime > 0.25 ? 225 : 45) + 25 * random.normal();
            const double speed = std::max(0.0, 2 + 9 * daytime + 1.8 * random.normal());
            chart.MoveTo(hour, std::fmod(direction + 360, 360));
            chart.AppendValue(speed);
        }
    }
}

void setUp(TPolChart& chart)
{
    chart.SetRadialRange(0, 24, znq::TpcRadialScale::rsLinear);
    chart.SetDecPlaceRad(1);
    chart.SetMagFactor(0.86);
    chart.SetRotationDir(znq::TpcRotationDir::rdClockwise);
    chart.SetAngleOffset(-90);
    chart.SetAngleBtwRays(45);
    chart.SetLabelModeRadial(znq::TpcRadLabelMode::rlmVertLeft);
    chart.SetGridStyleRadial(znq::TpcGridStyleRad::gsRadBothMixed);
    chart.SetGridStyleAngular(znq::TpcGridStyleAng::gsAngDots);
    chart.SetGridColor(0xA0A0A0);
    chart.SetClassDefault(1);
    addMeasurements(chart);

    znq::TpcClassStyle* wind = chart.ClassStyle(1);
    wind->SetName("Wind at 10 m, every 10 min");
    wind->SetLines(false);
    wind->SetMarker(znq::TpcMarker::mkCircle);
    wind->SetMarkerSize(5);
    wind->SetColorMap(znq::TpcColorMap::cmViridis);
    wind->SetValueLow(0);
    wind->SetValueHigh(14);
    chart.Legend()->SetVisible(true);
    chart.Legend()->SetCorner(znq::TpcLegendCorner::lcBottomRight);

    // Times of day on the radial axis, compass points on the rays, m/s on the colour bar.
    chart.OnBeforeDrawScaleLabel
        = [](znq::TObject*, znq::TCanvas&, znq::TpcScaleKind kind, std::string& text, int, int) {
              static const char* const compass[] = { "N", "NE", "E", "SE", "S", "SW", "W", "NW" };
              if (kind == znq::TpcScaleKind::sckRad) {
                  const int minutes = int(std::lround(std::stod(text) * 60));
                  char clock[8];
                  std::snprintf(clock, sizeof clock, "%02d:%02d", minutes / 60 % 100, minutes % 60);
                  text = clock;
              } else if (kind == znq::TpcScaleKind::sckValue)
                  text += " m/s";
              else if (const int degrees = std::stoi(text); degrees % 45 == 0)
                  text = compass[(degrees / 45) % 8];
          };
    chart.SetLabelModeAngular(znq::TpcAngLabelMode::almDegrees);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TPolChart chart;
    chart.setWindowTitle("Wind by time of day");
    chart.resize(560, 480);
    setUp(chart);
    if (argc > 2 && std::strcmp(argv[1], "--save") == 0) {
        chart.CenterChart();
        chart.SaveImage(argv[2]);
        return 0;
    }
    chart.show();
    return app.exec();
}
