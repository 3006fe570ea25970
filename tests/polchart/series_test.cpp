// Data classes as series: markers on every drawn element, fills by the odd-even rule under the
// lines, colours from a map of the elements' values, the legend's entries, click and drag, and
// what the styles refuse.
#include "ZNQ_polchart.h"
#include "chart/polchart_seams.h"
#include "model/polchart_colormaps.h"

#include "../mouse_events.h"
#include "../odd_even.h"
#include "plain_chart.h"

#include <QBuffer>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

using namespace znq;

namespace {

constexpr TColor background = testing_support::PlainBackground;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// A plain chart of 300 x 300 pixels in radians.
struct SeriesChart : testing_support::PlainChart {
    SeriesChart()
        : PlainChart(300, 300, false)
    {
    }
};

// The blend of colour over background at opacity, as the raster surface rounds it.
TColor blended(TColor over, TColor under, double opacity)
{
    const uint32_t a = uint32_t(std::lround(opacity * 255));
    TColor result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t s = (over >> shift) & 0xFF, t = (under >> shift) & 0xFF;
        result |= ((s * a + t * (255 - a) + 127) / 255) << shift;
    }
    return result;
}

} // namespace

// A chart whose classes have names but no other style draws exactly as one without styles.
TEST(Series, NamesAloneChangeNoPixel)
{
    SeriesChart plain, named;
    for (SeriesChart* c : { &plain, &named }) {
        c->chart.MoveTo(0, 0);
        for (int i = 1; i <= 300; ++i)
            c->chart.DrawTo(i / 30.0, i / 20.0);
    }
    named.chart.ClassStyle(0)->SetName("Spiral");
    named.chart.ClassStyle(7)->SetMarker(TpcMarker::mkStar); // a class without elements
    plain.chart.Redraw();
    named.chart.Redraw();
    EXPECT_EQ(plain.chart.FrameImage(), named.chart.FrameImage());
}

// Every drawn element of a marked class, move-tos included, gets its marker in its colour, over
// the lines; elements of hidden classes and outside a sector view get none.
TEST(Series, MarkersSitOnEveryDrawnElement)
{
    SeriesChart s;
    s.chart.SetClassDefault(1);
    s.chart.SetDataColor(clRed);
    s.chart.MoveTo(5, 0);
    s.chart.SetDataColor(clGreen);
    s.chart.DrawTo(5, 1.5);
    s.chart.SetClassDefault(2);
    s.chart.SetDataColor(clBlue);
    s.chart.MoveTo(8, 3);
    s.chart.DrawTo(8, 4);
    TpcClassStyle* one = s.chart.ClassStyle(1);
    one->SetMarker(TpcMarker::mkSquare);
    one->SetMarkerSize(5);
    s.chart.ClassStyle(2)->SetMarker(TpcMarker::mkDiamond);
    s.chart.Redraw();
    const TPoint a = s.chart.PolarToPixel(5, 0), b = s.chart.PolarToPixel(5, 1.5);
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            EXPECT_EQ(s.at(a.x + dx, a.y + dy), clRed) << dx << ", " << dy;
            EXPECT_EQ(s.at(b.x + dx, b.y + dy), clGreen) << dx << ", " << dy;
        }
    EXPECT_NE(s.at(a.x + 3, a.y), clRed) << "a size-5 square ends two pixels out";
    const TPoint c = s.chart.PolarToPixel(8, 3);
    EXPECT_EQ(s.at(c.x + 3, c.y), clBlue) << "size 7 by default";
    EXPECT_NE(s.at(c.x + 3, c.y + 1), clBlue) << "a diamond";

    s.chart.SetClassVisible(1, false);
    s.chart.Redraw();
    EXPECT_EQ(s.at(a.x + 2, a.y + 2), background);
    // Markers outside the view's region are left out, as the lines are cut.
    s.chart.SetClassVisible(1, true);
    s.chart.SetSectorStart(1);
    s.chart.SetSectorSpan(3);
    s.chart.Redraw();
    EXPECT_EQ(s.chart.IsSnapCandidate(0), false) << "outside the sector";
    EXPECT_TRUE(s.chart.IsSnapCandidate(1)) << "a draw-to inside";
    const TPoint b2 = s.chart.PolarToPixel(5, 1.5);
    EXPECT_EQ(s.at(b2.x + 2, b2.y + 2), clGreen);
    bool redLeft = false;
    const QImage image = s.chart.FrameImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            redLeft = redLeft || RGBToColor(image.pixel(x, y)) == clRed;
    EXPECT_FALSE(redLeft) << "the move-to at angle 0 lies outside the sector";
}

// A move-to with a marker is drawn, so snapping finds it; without a marker it starts no line and
// is not a candidate.
TEST(Series, SnappingSeesMarkedMoveTos)
{
    SeriesChart s;
    s.chart.SetClassDefault(3);
    s.chart.MoveTo(4, 1);
    s.chart.MoveTo(6, 2);
    EXPECT_FALSE(s.chart.IsSnapCandidate(0));
    EXPECT_EQ(s.chart.NearestElement(6, 2), -1);
    s.chart.ClassStyle(3)->SetMarker(TpcMarker::mkCircle);
    EXPECT_TRUE(s.chart.IsSnapCandidate(0));
    EXPECT_EQ(s.chart.NearestElement(6, 2.1), 1);
    s.chart.ClassStyle(3)->SetLines(false);
    s.chart.CrossHair1()->SetSnapToData(true);
    s.chart.CrossHair1()->SetPosition(4, 1.1);
    EXPECT_EQ(s.chart.CrossHair1()->SnappedIndex(), 0);
}

// A fill covers exactly the pixels whose centre lies inside its polygon by the odd-even rule,
// blended at its opacity, for concave and self-crossing runs, across the 0/360 seam and on an
// inverted range, closed or to the centre; the lines are drawn over it.
TEST(Series, FillsFollowTheOddEvenRuleUnderTheLines)
{
    std::mt19937 random(11);
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        SeriesChart s;
        s.chart.SetUseDegrees(true);
        if (round % 2)
            s.chart.SetRadialRange(10, 0, TpcRadialScale::rsLinear);
        const bool toCenter = round % 4 >= 2;
        s.chart.SetClassDefault(4);
        s.chart.SetDataColor(clNavy);
        // Angles across the seam, radii jumping about: concave and self-crossing.
        const int n = 5 + int(random() % 40);
        for (int i = 0; i < n; ++i) {
            const double phi = 300 + double(random() % 120);
            const double rad = 1 + double(random() % 90) / 10;
            if (i == 0)
                s.chart.MoveTo(rad, phi);
            else
                s.chart.DrawTo(rad, phi);
        }
        TpcClassStyle* style = s.chart.ClassStyle(4);
        style->SetFill(toCenter ? TpcFill::flToCenter : TpcFill::flClosed);
        style->SetFillColor(clRed);
        style->SetFillOpacity(0.4);
        style->SetLines(false);
        s.chart.Redraw();
        std::vector<TPoint> polygon;
        if (toCenter)
            polygon.push_back(TPoint { s.chart.CenterX(), s.chart.CenterY() });
        for (int i = 0; i < n; ++i) {
            const TPoint p = s.chart.PolarToPixel(s.chart.Element(i).Rad, s.chart.Element(i).Phi);
            if (polygon.empty() || p != polygon.back())
                polygon.push_back(p);
        }
        const TColor fill = blended(clRed, background, 0.4);
        int inside = 0;
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 300; ++x) {
                const bool in = testing_support::InsideOddEven(polygon, x, y);
                inside += in;
                ASSERT_EQ(s.at(x, y), in ? fill : background) << x << ", " << y;
            }
        EXPECT_GT(inside, 0);
        // With the lines on, every line pixel is the line's colour, over the fill.
        style->SetLines(true);
        s.chart.Redraw();
        for (int i = 1; i < n; ++i)
            EXPECT_EQ(
                s.at(s.chart.PolarToPixel(s.chart.Element(i - 1).Rad, s.chart.Element(i - 1).Phi)),
                clNavy);
    }
}

// A run of fewer than three points fills nothing; a fill in a sector view stays in the sector.
TEST(Series, ShortRunsFillNothingAndSectorsClipFills)
{
    SeriesChart s;
    s.chart.SetClassDefault(1);
    s.chart.MoveTo(9, 0);
    s.chart.DrawTo(9, 2);
    s.chart.ClassStyle(1)->SetFill(TpcFill::flClosed);
    s.chart.ClassStyle(1)->SetLines(false);
    s.chart.Redraw();
    auto filled = [&] {
        int count = 0;
        const QImage image = s.chart.FrameImage();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += RGBToColor(image.pixel(x, y)) != background
                    && RGBToColor(image.pixel(x, y)) != clBlack && x < 299 && y < 299;
        return count;
    };
    EXPECT_EQ(filled(), 0);
    s.chart.ClassStyle(1)->SetFill(TpcFill::flToCenter);
    s.chart.Redraw();
    EXPECT_EQ(filled(), 0) << "the centre does not count";
    s.chart.DrawTo(9, 1.5);
    s.chart.Redraw();
    EXPECT_GT(filled(), 1000) << "three points and the centre";
    // A quarter from 0 to 1 radian shows half of the wedge from 0 to 2, enlarged: every filled
    // pixel lies in the view's region.
    s.chart.SetAutoCenter(false);
    s.chart.SetSectorSpan(1);
    s.chart.Redraw();
    const QImage image = s.chart.FrameImage();
    const TColor fill = blended(clBlue, background, 0.3);
    int count = 0;
    for (int y = 0; y < 299; ++y)
        for (int x = 0; x < 299; ++x)
            if (RGBToColor(image.pixel(x, y)) == fill && std::hypot(x - 150, y - 150) > 2) {
                ++count;
                const TpcPolarPoint p = s.chart.PixelToPolar(x, y);
                ASSERT_LE(p.Phi, 1.02) << x << ", " << y;
            }
    EXPECT_GT(count, 1000);
}

// Markers and lines of a class with a colour map take the map's colour at their element's value
// (a line: at its end element's), clamped to the range; an element without a value keeps its
// own colour.
TEST(Series, ColorMapsColourByValue)
{
    SeriesChart s;
    s.chart.SetClassDefault(2);
    s.chart.SetDataColor(clFuchsia);
    const double values[] = { -5, 0, 25, 50, 1000, NaN };
    for (int i = 0; i < 6; ++i) {
        s.chart.MoveTo(2 + i, 1.0 * i);
        if (!std::isnan(values[i]))
            s.chart.AppendValue(values[i]);
    }
    s.chart.DrawTo(9, 5.5);
    s.chart.SetElementValue(6, 50);
    TpcClassStyle* style = s.chart.ClassStyle(2);
    style->SetMarker(TpcMarker::mkSquare);
    style->SetColorMap(TpcColorMap::cmMagma);
    style->SetValueLow(0);
    style->SetValueHigh(50);
    s.chart.Redraw();
    const TColor expected[] = { colormaps::Magma.front(), colormaps::Magma.front(),
        ColorMapColor(TpcColorMap::cmMagma, 25, 0, 50, 0), colormaps::Magma.back(),
        colormaps::Magma.back(), clFuchsia };
    for (int i = 0; i < 6; ++i) {
        const TPoint p = s.chart.PolarToPixel(2 + i, 1.0 * i);
        EXPECT_EQ(s.at(p.x + 3, p.y + 3), expected[i]) << "element " << i;
    }
    EXPECT_TRUE(std::isnan(s.chart.ElementValue(5)));
    EXPECT_EQ(s.chart.ElementValue(2), 25);
    EXPECT_EQ(s.chart.ElementValue(0), -5);
    // The line from element 5 to element 6 is in element 6's colour, the map's high end.
    style->SetMarker(TpcMarker::mkNone);
    s.chart.Redraw();
    const TPoint from = s.chart.PolarToPixel(7, 5), to = s.chart.PolarToPixel(9, 5.5);
    EXPECT_EQ(s.at((from.x + to.x) / 2, (from.y + to.y) / 2), colormaps::Magma.back());
}

// The styles and values refuse what they cannot hold, name the value, and change nothing.
TEST(Series, StylesAndValuesRefuseBadInput)
{
    SeriesChart s;
    EXPECT_THROW(s.chart.AppendValue(1), EZNQPolChartError) << "no element yet";
    EXPECT_THROW(s.chart.ClassStyle(256), EZNQPolChartError);
    EXPECT_THROW(s.chart.ClassStyle(-1), EZNQPolChartError);
    s.chart.MoveTo(1, 1);
    EXPECT_THROW(s.chart.SetElementValue(1, 2), EZNQPolChartError);
    EXPECT_THROW(s.chart.ElementValue(-1), EZNQPolChartError);
    EXPECT_TRUE(std::isnan(s.chart.ElementValue(0)));
    s.chart.AppendValue(0.1);
    EXPECT_EQ(s.chart.ElementValue(0), double(0.1f)) << "kept in single precision";
    TpcClassStyle* style = s.chart.ClassStyle(9);
    EXPECT_EQ(style, s.chart.ClassStyle(9)) << "made once";
    QSignalSpy changes(style, &TpcClassStyle::changed);
    try {
        style->SetMarkerSize(65);
        ADD_FAILURE() << "65 was taken";
    } catch (const EZNQPolChartError& error) {
        EXPECT_NE(std::string(error.what()).find("MarkerSize must lie between 1 and 64: 65"),
            std::string::npos)
            << error.what();
    }
    EXPECT_THROW(style->SetMarkerSize(0), EZNQPolChartError);
    EXPECT_THROW(style->SetFillOpacity(1.5), EZNQPolChartError);
    EXPECT_THROW(style->SetFillOpacity(NaN), EZNQPolChartError);
    EXPECT_THROW(style->SetValueLow(std::numeric_limits<double>::infinity()), EZNQPolChartError);
    EXPECT_THROW(style->SetValueHigh(NaN), EZNQPolChartError);
    EXPECT_EQ(style->MarkerSize(), 7);
    EXPECT_EQ(style->FillOpacity(), 0.3);
    EXPECT_EQ(changes.count(), 0);
    style->SetMarkerSize(64);
    style->SetMarkerSize(64);
    EXPECT_EQ(changes.count(), 1) << "only a change notifies";
    s.chart.Clear();
    EXPECT_FALSE(s.chart.Store().HasValues()) << "the values go with the elements";
}

// The legend lists the named classes that have elements; a click on an entry hides the class and
// fires the event, a second shows it again; with the label-drag action the legend follows the
// pointer and stays where it is dropped.
TEST(Series, LegendEntriesClickAndDrag)
{
    using testing_support::SendMouse;
    SeriesChart s;
    s.chart.SetAutoRedraw(true);
    for (uint8_t c : { 1, 2 }) {
        s.chart.SetClassDefault(c);
        s.chart.MoveTo(3, c);
        s.chart.DrawTo(6, c + 1);
    }
    s.chart.ClassStyle(1)->SetName("Alpha");
    s.chart.ClassStyle(2)->SetName("Beta");
    s.chart.ClassStyle(3)->SetName("No elements");
    EXPECT_EQ(TpcChartSeams::LegendLayout(s.chart), nullptr) << "hidden by default";
    s.chart.Legend()->SetVisible(true);
    const geometry::TpcLegendLayout* layout = TpcChartSeams::LegendLayout(s.chart);
    ASSERT_NE(layout, nullptr);
    ASSERT_EQ(layout->Entries.size(), 2u);
    EXPECT_EQ(layout->Entries[0].Class, 1);
    EXPECT_EQ(layout->Entries[1].Class, 2);
    EXPECT_EQ(layout->Box.Right, 300 - 8) << "top right, eight pixels in";
    EXPECT_EQ(s.at(layout->Box.Left, layout->Box.Top), clBlack) << "the frame";

    // The user's gestures paint whatever AutoRedraw says.
    s.chart.SetAutoRedraw(false);
    const int paints = TpcChartSeams::PaintCount(s.chart);
    QSignalSpy clicks(&s.chart, &TCustomPolChart::legendClicked);
    QSignalSpy legendChanges(s.chart.Legend(), &TpcLegend::changed);
    const TRect beta = layout->Entries[1].Row;
    const QPoint onBeta((beta.Left + beta.Right) / 2, (beta.Top + beta.Bottom) / 2);
    SendMouse(s.chart, QEvent::MouseButtonPress, onBeta, Qt::LeftButton, Qt::LeftButton);
    SendMouse(s.chart, QEvent::MouseButtonRelease, onBeta, Qt::LeftButton);
    EXPECT_FALSE(s.chart.ClassVisible(2));
    EXPECT_EQ(TpcChartSeams::PaintCount(s.chart), paints + 1);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks[0][0].toInt(), 2);
    EXPECT_EQ(clicks[0][1].toBool(), false);
    SendMouse(s.chart, QEvent::MouseButtonPress, onBeta, Qt::LeftButton, Qt::LeftButton);
    SendMouse(s.chart, QEvent::MouseButtonRelease, onBeta, Qt::LeftButton);
    EXPECT_TRUE(s.chart.ClassVisible(2));

    s.chart.SetMouseAction(TMouseActMode::maDragLabel);
    const TRect box = TpcChartSeams::LegendLayout(s.chart)->Box;
    const QPoint grip(box.Left + 3, box.Top + 3);
    SendMouse(s.chart, QEvent::MouseButtonPress, grip, Qt::LeftButton, Qt::LeftButton);
    SendMouse(s.chart, QEvent::MouseMove, grip - QPoint(60, -40), Qt::NoButton, Qt::LeftButton);
    SendMouse(s.chart, QEvent::MouseMove, grip - QPoint(100, -50), Qt::NoButton, Qt::LeftButton);
    SendMouse(s.chart, QEvent::MouseButtonRelease, grip - QPoint(100, -50), Qt::LeftButton);
    EXPECT_TRUE(s.chart.Legend()->Placed());
    EXPECT_EQ(s.chart.Legend()->Left(), box.Left - 100);
    EXPECT_EQ(s.chart.Legend()->Top(), box.Top + 50);
    EXPECT_EQ(TpcChartSeams::LegendLayout(s.chart)->Box.Left, box.Left - 100);
    EXPECT_EQ(clicks.count(), 2) << "a drag is no click";
    EXPECT_EQ(legendChanges.count(), 2) << "each step of the drag";
    EXPECT_TRUE(s.chart.ClassVisible(1));
    s.chart.Legend()->SetCorner(TpcLegendCorner::lcBottomLeft);
    EXPECT_FALSE(s.chart.Legend()->Placed());
    s.chart.Redraw();
    EXPECT_EQ(TpcChartSeams::LegendLayout(s.chart)->Box.Left, 8);

    // Positions near the integer limits, set or dragged to, keep room for the box: the layout
    // and its hit test stay the right way round.
    constexpr int most = std::numeric_limits<int>::max(), least = std::numeric_limits<int>::min();
    for (const auto& [left, top] : { std::pair { most, least }, { least, most }, { most, most } }) {
        s.chart.Legend()->SetPosition(left, top);
        EXPECT_EQ(
            s.chart.Legend()->Left(), left > 0 ? TpcLegend::MaxPosition : -TpcLegend::MaxPosition);
        EXPECT_EQ(
            s.chart.Legend()->Top(), top > 0 ? TpcLegend::MaxPosition : -TpcLegend::MaxPosition);
        s.chart.Redraw();
        const geometry::TpcLegendLayout* far = TpcChartSeams::LegendLayout(s.chart);
        ASSERT_NE(far, nullptr);
        EXPECT_LT(far->Box.Left, far->Box.Right);
        EXPECT_LT(far->Box.Top, far->Box.Bottom);
    }
    s.chart.Legend()->SetPosition(10, 10);
    s.chart.Redraw();
    SendMouse(s.chart, QEvent::MouseButtonPress, QPoint(12, 12), Qt::LeftButton, Qt::LeftButton);
    SendMouse(
        s.chart, QEvent::MouseMove, QPoint(12, 12) - QPoint(60, 60), Qt::NoButton, Qt::LeftButton);
    SendMouse(s.chart, QEvent::MouseMove, QPoint(-1'000'000'000, 1'000'000'000), Qt::NoButton,
        Qt::LeftButton);
    SendMouse(s.chart, QEvent::MouseButtonRelease, QPoint(0, 0), Qt::LeftButton);
    EXPECT_EQ(s.chart.Legend()->Left(), -TpcLegend::MaxPosition);
    EXPECT_EQ(s.chart.Legend()->Top(), TpcLegend::MaxPosition);
}

// A styled chart saved as SVG holds its markers and fills as shapes, the fill with its opacity,
// and the legend's names and colour-bar values as text.
TEST(Series, SvgHoldsMarkersFillsAndLegendText)
{
    SeriesChart s;
    s.chart.SetClassDefault(1);
    s.chart.MoveTo(5, 0);
    s.chart.DrawTo(7, 2);
    s.chart.DrawTo(4, 4);
    s.chart.AppendValue(3);
    TpcClassStyle* style = s.chart.ClassStyle(1);
    style->SetName("Radar");
    style->SetMarker(TpcMarker::mkTriangle);
    style->SetFill(TpcFill::flClosed);
    style->SetFillOpacity(0.25);
    style->SetColorMap(TpcColorMap::cmViridis);
    style->SetValueHigh(8);
    s.chart.Legend()->SetVisible(true);
    s.chart.OnBeforeDrawScaleLabel
        = [](TObject*, TCanvas&, TpcScaleKind kind, std::string& text, int, int) {
              if (kind == TpcScaleKind::sckValue)
                  text += " dBZ";
          };
    const std::string path = ::testing::TempDir() + "series.svg";
    s.chart.SaveImage(path);
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString svg = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(svg.contains(">Radar<")) << "the legend's name as text";
    EXPECT_TRUE(svg.contains(">8 dBZ<")) << "the colour bar's value through the hook";
    EXPECT_TRUE(svg.contains("fill-opacity=\"0.25") || svg.contains("opacity=\"0.25"))
        << "the fill's opacity";
    EXPECT_GE(svg.count("<path"), 3) << "the markers as paths";
}
