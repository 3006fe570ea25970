// Two products compared on six qualities, each scored from 0 to 10: a radar chart, each product a
// closed, filled polygon with a marker at every score, named in the legend. The rays are the
// qualities; the scale-label hook writes their names in place of the angles.
//   example_radar_chart [--save FILE.png]
// With --save the chart is saved through SaveImage and the program ends.
#include "ZNQ_polchart.h"

#include <QApplication>

#include <array>
#include <cstring>
#include <string>

namespace {

using znq::TPolChart;

constexpr std::array<const char*, 6> qualities
    = { "Speed", "Range", "Accuracy", "Weight", "Price", "Service" };

// One product: a move to the first score, lines to the others and back to the first.
void addProduct(TPolChart& chart, uint8_t elemClass, const std::array<double, 6>& scores,
    znq::TColor color, const char* name)
{
    chart.SetClassDefault(elemClass);
    chart.SetDataColor(color);
    chart.SetLineWidth(2);
    for (size_t i = 0; i <= scores.size(); ++i) {
        const double score = scores[i % scores.size()];
        const double angle = 60.0 * double(i % scores.size());
        if (i == 0)
            chart.MoveTo(score, angle);
        else
            chart.DrawTo(score, angle);
    }
    znq::TpcClassStyle* style = chart.ClassStyle(elemClass);
    style->SetName(name);
    style->SetFill(znq::TpcFill::flClosed);
    style->SetFillColor(color);
    style->SetFillOpacity(0.25);
    style->SetMarker(znq::TpcMarker::mkCircle);
    style->SetMarkerSize(7);
}

void setUp(TPolChart& chart)
{
    chart.SetRangeHigh(10);
    chart.SetDecPlaceRad(0);
    chart.SetRotationDir(znq::TpcRotationDir::rdClockwise);
    chart.SetAngleOffset(-90);
    chart.SetAngleBtwRays(60);
    chart.SetLabelModeAngular(znq::TpcAngLabelMode::almDegrees);
    chart.SetLabelModeRadial(znq::TpcRadLabelMode::rlmVertCenter);
    chart.SetGridStyleRadial(znq::TpcGridStyleRad::gsRadBothSolid);
    chart.SetGridStyleAngular(znq::TpcGridStyleAng::gsAngSolid);
    chart.SetGridColor(0xD0D0D0);
    chart.SetMagFactor(0.8);
    addProduct(chart, 1, { 8, 6, 7, 4, 5, 9 }, 0xC06000, "Model A");
    addProduct(chart, 2, { 5, 9, 6, 8, 7, 4 }, 0x2020D0, "Model B");
    chart.Legend()->SetVisible(true);
    chart.OnBeforeDrawScaleLabel
        = [](znq::TObject*, znq::TCanvas&, znq::TpcScaleKind kind, std::string& text, int, int) {
              if (kind == znq::TpcScaleKind::sckPhi)
                  text = qualities[size_t(std::stoi(text) / 60) % qualities.size()];
          };
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TPolChart chart;
    chart.setWindowTitle("Radar chart");
    chart.resize(520, 440);
    setUp(chart);
    if (argc > 2 && std::strcmp(argv[1], "--save") == 0) {
        chart.CenterChart();
        chart.SaveImage(argv[2]);
        return 0;
    }
    chart.show();
    return app.exec();
}
