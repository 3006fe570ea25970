// The radiation pattern of a small antenna array, shown twice: on the left in dB (-40 to 0 dB on a
// linear axis) over the front half-circle only, which the chart fits into its whole area; on the
// right the same pattern's linear power on a logarithmic axis over the full circle, where the
// nulls of the pattern (a power of 0) are gaps in the line.
//   example_antenna_pattern [--save FILE.png]
// With --save the two charts are saved through SaveImage, the dB chart as FILE.png and the power
// chart as FILE_log.png, and the program ends.
#include "ZNQ_polchart.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QWidget>

#include <cmath>
#include <complex>
#include <cstring>
#include <numbers>
#include <string>

namespace {

using znq::TPolChart;

// The relative power radiated towards theta (degrees from broadside, clockwise) by eight
// elements half a wavelength apart with a raised-cosine taper, each element radiating mostly
// forwards: 1 at the main lobe's peak, 0 in the nulls of the array.
double relativePower(double thetaDegrees)
{
    constexpr int elements = 8;
    constexpr double pi = std::numbers::pi;
    const double theta = thetaDegrees * pi / 180;
    std::complex<double> sum = 0, peak = 0;
    for (int n = 0; n < elements; ++n) {
        const double weight = 0.6 + 0.4 * std::sin(pi * (n + 0.5) / elements);
        sum += weight * std::polar(1.0, pi * n * std::sin(theta));
        peak += weight;
    }
    const double element = (1 + std::cos(theta)) / 2;
    const double amplitude = std::abs(sum) / std::abs(peak) * element;
    return amplitude * amplitude;
}

// Angles grow clockwise from the top, as on a compass: data angle 0 is broadside.
void setUpAngles(TPolChart& chart)
{
    chart.SetRotationDir(znq::TpcRotationDir::rdClockwise);
    chart.SetAngleOffset(-90);
    chart.SetLabelModeAngular(znq::TpcAngLabelMode::almSymmDeg);
    chart.SetGridStyleRadial(znq::TpcGridStyleRad::gsRadBothMixed);
    chart.SetGridStyleAngular(znq::TpcGridStyleAng::gsAngDots);
    chart.SetGridColor(0xA0A0A0);
    chart.SetDataColor(0xC05000);
    chart.SetLineWidth(2);
    chart.SetMagFactor(1);
}

// The front half-circle in dB: powers below -40 dB land on the centre.
void decibelChart(TPolChart& chart)
{
    setUpAngles(chart);
    chart.SetRadialRange(-40, 0, znq::TpcRadialScale::rsLinear);
    chart.SetDecPlaceRad(0);
    chart.SetLabelModeRadial(znq::TpcRadLabelMode::rlmVertLeft);
    chart.SetSectorStart(-90);
    chart.SetSectorSpan(180);
    for (int i = 0; i <= 1800; ++i) {
        const double theta = -90 + i * 0.1;
        const double power = relativePower(theta);
        const double decibels = power > 0 ? 10 * std::log10(power) : -1000;
        if (i == 0)
            chart.MoveTo(decibels, theta);
        else
            chart.DrawTo(decibels, theta);
    }
}

// The full circle in linear power on a logarithmic axis from 1e-4 to 1.
void powerChart(TPolChart& chart)
{
    setUpAngles(chart);
    chart.SetRadialRange(1e-4, 1, znq::TpcRadialScale::rsLog10);
    chart.SetDecPlaceRad(4);
    chart.SetLabelModeRadial(znq::TpcRadLabelMode::rlmVertCenter);
    for (int i = 0; i <= 3600; ++i) {
        const double theta = -180 + i * 0.1;
        if (i == 0)
            chart.MoveTo(relativePower(theta), theta);
        else
            chart.DrawTo(relativePower(theta), theta);
    }
}

// FILE.png gives FILE_log.png.
std::string withSuffix(const std::string& path, const std::string& suffix)
{
    const auto dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos)
        return path + suffix;
    return path.substr(0, dot) + suffix + path.substr(dot);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Antenna pattern");
    auto* layout = new QHBoxLayout(&window);
    auto* decibels = new TPolChart(&window);
    auto* power = new TPolChart(&window);
    layout->addWidget(decibels);
    layout->addWidget(power);
    decibels->setMinimumSize(440, 300);
    power->setMinimumSize(440, 300);
    decibelChart(*decibels);
    powerChart(*power);
    if (argc > 2 && std::strcmp(argv[1], "--save") == 0) {
        for (TPolChart* chart : { decibels, power }) {
            chart->resize(440, 300);
            chart->CenterChart();
        }
        const std::string path = argv[2];
        decibels->SaveImage(path);
        power->SaveImage(withSuffix(path, "_log"));
        return 0;
    }
    window.show();
    return app.exec();
}
