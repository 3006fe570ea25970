// A wind rose of a year of hourly wind at a coastal site (synthetic, from a seeded generator):
// 16 direction sectors, 6 speed classes in percent of the valid hours, stacked outwards, with a
// legend of the classes and the calm share written in the middle.
//   example_wind_rose [--save FILE.png]
// With --save the chart is saved through SaveImage and the program ends.
#include "ZNQ_polchart.h"

#include <QApplication>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

namespace {

using znq::TPolChart;

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
    uint64_t m_state = 1987;
};

// Prevailing south-westerlies, a share of north-easterlies, stronger in winter; now and then a
// still hour, and a few hours where the sensor gave nothing (NaN), which the rose drops.
void yearOfWind(std::vector<double>& directions, std::vector<double>& speeds)
{
    Random random;
    for (int hour = 0; hour < 365 * 24; ++hour) {
        const double season = std::cos(2 * std::numbers::pi * hour / (365.0 * 24));
        const bool westerly = random.uniform() < 0.7;
        const double direction = (westerly ? 235 : 40) + (westerly ? 30 : 20) * random.normal();
        double speed = std::max(0.0, (westerly ? 6 : 4) + 2 * season + 2.5 * random.normal());
        if (random.uniform() < 0.04)
            speed = 0.2 * random.uniform();
        const bool missing = random.uniform() < 0.003;
        directions.push_back(missing ? std::nan("") : std::fmod(direction + 720, 360));
        speeds.push_back(speed);
    }
}

void setUp(TPolChart& chart)
{
    chart.SetRotationDir(znq::TpcRotationDir::rdClockwise);
    chart.SetAngleOffset(-90);
    chart.SetAngleBtwRays(22.5);
    chart.SetLabelModeAngular(znq::TpcAngLabelMode::almDegrees);
    chart.SetLabelModeRadial(znq::TpcRadLabelMode::rlmVertCenter);
    chart.SetGridStyleRadial(znq::TpcGridStyleRad::gsRadBothDots);
    chart.SetGridStyleAngular(znq::TpcGridStyleAng::gsAngDots);
    chart.SetGridColor(0x909090);
    chart.SetDecPlaceRad(0);
    chart.SetRangeHigh(20);
    chart.SetMagFactor(0.82);

    std::vector<double> directions, speeds;
    yearOfWind(directions, speeds);
    const znq::TpcWindRoseResult result = znq::WindRose(*chart.Bars(), directions, speeds);
    // From light (pale yellow) to strong (dark blue).
    const znq::TColor colors[] = { 0xB4F0FF, 0x7FD7A6, 0x9DC35C, 0xB8923A, 0xA85A30, 0x703020 };
    for (int j = 0; j < 6; ++j) {
        znq::TpcClassStyle* style = chart.ClassStyle(1 + j);
        style->SetFillColor(colors[j]);
        style->SetFillOpacity(1);
    }
    // A thin grey line between the classes of a stack.
    chart.Bars()->SetOutline(true);
    chart.Bars()->SetOutlineColor(0x606060);
    chart.Legend()->SetVisible(true);

    char calm[64];
    std::snprintf(calm, sizeof calm, "Calm\n%.1f %%", result.CalmPercent);
    const int label = chart.AddTextLabel(znq::clBlack, calm, 0, 0, 0);
    chart.TextLabel(label)->SetMode(znq::TTxtLblMode::tlBox);
    // Sixteen compass points on the rays, percent on the rings.
    chart.OnBeforeDrawScaleLabel
        = [](znq::TObject*, znq::TCanvas&, znq::TpcScaleKind kind, std::string& text, int, int) {
              static const char* const points[] = { "N", "NNE", "NE", "ENE", "E", "ESE", "SE",
                  "SSE", "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW" };
              if (kind == znq::TpcScaleKind::sckPhi)
                  text = points[int(std::lround(std::stod(text) / 22.5)) % 16];
              else if (kind == znq::TpcScaleKind::sckRad
                  && text.find_first_not_of(" 0") != std::string::npos)
                  text += " %";
          };
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TPolChart chart;
    chart.setWindowTitle("Wind rose");
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
