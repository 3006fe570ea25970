// The gain of a four-by-four patch array over the upper hemisphere, as a map on a polar grid:
// azimuth around (north up, clockwise), elevation on the radius from the zenith at the centre to
// the horizon at the edge (an inverted range), the gain in dBi through a colour map, blended
// between the 1-degree cells. The beam is steered 30 degrees off the zenith towards the east.
//   example_antenna_map [--save FILE.png]
// With --save the chart is saved through SaveImage and the program ends.
#include "ZNQ_polchart.h"

#include <QApplication>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

namespace {

using znq::TPolChart;

// The array's gain in dBi towards an azimuth and an elevation, both in degrees: half-wavelength
// spacing, each patch a cos^1.5 element, the phases steering the beam to (90, 60).
double gainDbi(double azimuth, double elevation)
{
    constexpr double degree = std::numbers::pi / 180;
    const double theta = (90 - elevation) * degree, phi = azimuth * degree;
    const double steerTheta = 30 * degree, steerPhi = 90 * degree;
    const double u = std::sin(theta) * std::sin(phi) - std::sin(steerTheta) * std::sin(steerPhi);
    const double v = std::sin(theta) * std::cos(phi) - std::sin(steerTheta) * std::cos(steerPhi);
    std::complex<double> sum;
    for (int m = 0; m < 4; ++m)
        for (int n = 0; n < 4; ++n)
            sum += std::polar(1.0, std::numbers::pi * (m * u + n * v));
    const double element = std::pow(std::max(std::cos(theta), 0.0), 1.5);
    // 16 elements of about 5 dBi each at the peak.
    const double power = std::norm(sum) / 16 * element * element;
    return 10 * std::log10(std::max(power, 1e-6)) + 5;
}

void setUp(TPolChart& chart)
{
    chart.SetUseDegrees(true);
    chart.SetAngleOffset(-90);
    chart.SetRotationDir(znq::TpcRotationDir::rdClockwise);
    chart.SetRadialRange(90, 0, znq::TpcRadialScale::rsLinear);
    chart.SetMagFactor(0.86);
    chart.SetAngleBtwRays(30);
    chart.SetGridColor(0xE0E0E0);
    chart.SetGridStyleRadial(znq::TpcGridStyleRad::gsRadBothDots);
    chart.SetGridStyleAngular(znq::TpcGridStyleAng::gsAngDots);
    chart.SetLabelModeAngular(znq::TpcAngLabelMode::almDegrees);
    chart.SetLabelModeRadial(znq::TpcRadLabelMode::rlmVertCenter);
    chart.SetDecPlaceRad(0);
    znq::TpcRaster* raster = chart.Raster();
    raster->SetGrid(360, 90, 0, 1, 0, 1);
    std::vector<float> row(90);
    for (int az = 0; az < 360; ++az) {
        for (int e = 0; e < 90; ++e)
            row[size_t(e)] = float(gainDbi(az + 0.5, e + 0.5));
        raster->SetRow(az, row.data(), 90);
    }
    raster->SetColorMap(znq::TpcColorMap::cmMagma);
    raster->SetValueLow(-25);
    raster->SetValueHigh(17);
    raster->SetInterpolation(znq::TpcRasterInterp::riBilinear);
    chart.OnBeforeDrawScaleLabel
        = [](znq::TObject*, znq::TCanvas&, znq::TpcScaleKind kind, std::string& text, int, int) {
              if (kind == znq::TpcScaleKind::sckRad)
                  text += "°";
          };
    // The gain under the pointer in the window's title.
    QObject::connect(&chart, &TPolChart::rasterValueHovered, &chart, [&chart](double value) {
        chart.setWindowTitle(std::isnan(value)
                ? QString("Antenna map")
                : QString("Antenna map: %1 dBi").arg(value, 0, 'f', 1));
    });
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TPolChart chart;
    chart.setWindowTitle("Antenna map");
    chart.resize(520, 520);
    setUp(chart);
    if (argc > 2 && std::strcmp(argv[1], "--save") == 0) {
        chart.CenterChart();
        chart.SaveImage(argv[2]);
        return 0;
    }
    chart.show();
    return app.exec();
}
