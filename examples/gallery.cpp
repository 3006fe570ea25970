// The pictures of the documentation's gallery: what the chart draws, each shown side by side in a
// few variants. Every chart is rendered with ToImage, as it would be painted; the single pictures
// are saved with SaveImage.
//   example_gallery FOLDER
#include "ZNQ_polchart.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using znq::TPolChart;

// A chart of the given size with a two-turn spiral of 400 points out to radius 10.
void setUp(TPolChart& chart, int width, int height)
{
    chart.resize(width, height);
    chart.SetRangeHigh(10);
    chart.SetMagFactor(0.75);
    chart.SetDataColor(znq::clRed);
    chart.MoveTo(0, 0);
    for (int i = 1; i <= 400; ++i)
        chart.DrawTo(i / 40.0, i * 1.8);
    // A chart that is never shown is not centred by a resize.
    chart.CenterChart();
}

// The variants side by side, each a chart set up and then changed by one step.
QImage row(int width, int height, const std::vector<std::function<void(TPolChart&)>>& variants)
{
    QImage picture(width * int(variants.size()), height, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    for (size_t i = 0; i < variants.size(); ++i) {
        TPolChart chart;
        setUp(chart, width, height);
        variants[i](chart);
        painter.drawImage(int(i) * width, 0, chart.ToImage());
    }
    return picture;
}

bool save(const QImage& picture, const QString& path)
{
    if (picture.save(path))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: example_gallery FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    using znq::TpcAngLabelMode;
    using znq::TpcCrossHMode;
    using znq::TpcGridStyleAng;
    using znq::TpcGridStyleRad;
    using znq::TpcRadLabelMode;
    using znq::TTxtLblMode;

    bool ok = true;
    // The circles and the rays.
    ok &= save(row(240, 240,
                   { [](TPolChart& c) { c.SetGridStyleRadial(TpcGridStyleRad::gsRadOuterSolid); },
                       [](TPolChart& c) { c.SetGridStyleRadial(TpcGridStyleRad::gsRadBothDots); },
                       [](TPolChart& c) {
                           c.SetGridStyleRadial(TpcGridStyleRad::gsRadBothMixed);
                           c.SetGridStyleAngular(TpcGridStyleAng::gsAngSolid);
                       },
                       [](TPolChart& c) {
                           c.SetGridStyleRadial(TpcGridStyleRad::gsRadBothSolid);
                           c.SetGridStyleAngular(TpcGridStyleAng::gsAngNone);
                       } }),
        folder.filePath("grid_styles.png"));
    // The angle labels, and the radial labels beside or on the circle.
    ok &= save(row(300, 260,
                   { [](TPolChart& c) {
                        c.SetLabelModeRadial(TpcRadLabelMode::rlmVertLeft);
                        c.CenterChart();
                    },
                       [](TPolChart& c) {
                           c.SetLabelModeAngular(TpcAngLabelMode::almRadians);
                           c.SetLabelModeRadial(TpcRadLabelMode::rlmVertRight);
                           c.CenterChart();
                       },
                       [](TPolChart& c) {
                           c.SetLabelModeAngular(TpcAngLabelMode::almSymmMultiPi);
                           c.SetAngleBtwRays(45);
                       } }),
        folder.filePath("label_modes.png"));
    // The text labels' looks, on the data and at a fixed pixel.
    ok &= save(row(300, 300, { [](TPolChart& c) {
        const struct {
            TTxtLblMode mode;
            const char* caption;
            double rad, phi;
            bool transparent;
        } looks[] = { { TTxtLblMode::tlsimple, "simple", 8, 60, false },
            { TTxtLblMode::tlBox, "box", 8, 150, false },
            { TTxtLblMode::tlUnderline, "underline", 8, 240, false },
            { TTxtLblMode::tlShadow, "shadow", 6, 330, false },
            { TTxtLblMode::tlBox, "transparent", 3, 200, true } };
        for (const auto& look : looks) {
            const int index = c.AddTextLabel(znq::clNavy, look.caption, look.rad, look.phi, 0);
            c.TextLabel(index)->SetMode(look.mode);
            c.TextLabel(index)->SetTransparent(look.transparent);
            c.TextLabel(index)->SetShadowDx(3);
            c.TextLabel(index)->SetShadowDy(3);
        }
    } }),
        folder.filePath("text_labels.png"));
    // Both crosshair forms, one snapping to the data.
    ok &= save(row(300, 300,
                   { [](TPolChart& c) {
                        c.CrossHair1()->SetMode(TpcCrossHMode::chOrtho);
                        c.CrossHair1()->SetColor(znq::clBlue);
                        c.CrossHair1()->SetPosition(6, 45);
                    },
                       [](TPolChart& c) {
                           c.CrossHair2()->SetMode(TpcCrossHMode::chPolar);
                           c.CrossHair2()->SetColor(znq::clGreen);
                           c.CrossHair2()->SetSnapToData(true);
                           c.CrossHair2()->SetPosition(7, 120);
                       } }),
        folder.filePath("crosshairs.png"));
    // A logarithmic axis with its minor rings, a sonar fan with a hole, a sector across the
    // 0/360 seam, and a ring of the whole circle.
    ok &= save(row(260, 260,
                   { [](TPolChart& c) {
                        c.SetRadialRange(0.1, 100, znq::TpcRadialScale::rsLog10);
                        c.SetGridStyleRadial(TpcGridStyleRad::gsRadBothMixed);
                        c.SetLabelModeRadial(TpcRadLabelMode::rlmVertLeft);
                        c.SetMagFactor(0.6);
                        c.CenterChart();
                    },
                       [](TPolChart& c) {
                           c.SetRotationDir(znq::TpcRotationDir::rdClockwise);
                           c.SetAngleOffset(-90);
                           c.SetMagFactor(1);
                           c.SetSectorStart(-45);
                           c.SetSectorSpan(90);
                           c.SetHoleFraction(0.2);
                       },
                       [](TPolChart& c) {
                           c.SetMagFactor(1);
                           c.SetSectorStart(300);
                           c.SetSectorSpan(120);
                       },
                       [](TPolChart& c) {
                           c.SetHoleFraction(0.3);
                           c.SetGridStyleRadial(TpcGridStyleRad::gsRadBothMixed);
                       } }),
        folder.filePath("scales_and_sectors.png"));
    // A blind arc shaded behind the grid, and two crosshairs measuring across the 0/360 seam: the
    // box near crosshair 2 shows the radial difference, the turn and the distance.
    ok &= save(row(320, 300, { [](TPolChart& c) {
        c.Bars()->AddBand(300, 40, 0x80C0FF, 0.5);
        c.CrossHair1()->SetMode(TpcCrossHMode::chPolar);
        c.CrossHair1()->SetColor(znq::clBlue);
        c.CrossHair1()->SetPosition(4, 330);
        c.CrossHair2()->SetMode(TpcCrossHMode::chPolar);
        c.CrossHair2()->SetColor(znq::clGreen);
        c.CrossHair2()->SetPosition(8, 20);
        c.SetShowMeasurement(true);
    } }),
        folder.filePath("shaded_sector.png"));
    // A high-density rendering: the chart at twice its size, as on a screen of two device pixels
    // per logical one.
    TPolChart dense;
    setUp(dense, 300, 300);
    dense.SetShadowWidth(4);
    dense.CenterChart();
    try {
        dense.SaveImage(folder.filePath("high_density.png").toStdString(), 2.0);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        ok = false;
    }
    return ok ? 0 : 1;
}
