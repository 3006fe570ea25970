// What assistive tools and keyboard users get from the chart: its role, name and generated
// description after each kind of change, its value and the value interface over crosshair 1, the
// focus frame that no picture of the chart contains, and the context-menu keys.
#include "ZNQ_polchart.h"
#include "polchart_bars.h"

#include <QAccessible>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <regex>

using namespace znq;

namespace {
QAccessibleInterface* faceOf(QWidget& widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&widget);
    EXPECT_NE(face, nullptr);
    return face;
}

std::string description(QWidget& widget)
{
    return faceOf(widget)->text(QAccessible::Description).toStdString();
}

// The screen direction of angle 0 that a description states, in degrees counter-clockwise from
// the right; NaN when it states none.
double statedZero(const std::string& text)
{
    std::smatch m;
    if (std::regex_search(text, m, std::regex("from 0 at the (right|top|left|bottom)(,|$)"))) {
        const std::string side = m[1];
        return side == "right" ? 0 : side == "top" ? 90 : side == "left" ? 180 : -90;
    }
    if (std::regex_search(text, m,
            std::regex("from 0 at the right turned ([0-9.]+) degrees (clockwise|counter)")))
        return std::stod(m[1]) * (m[2] == "clockwise" ? -1 : 1);
    return std::nan("");
}
} // namespace

TEST(ChartAccessibility, AChartNamedPolarChartWhoseDescriptionFollowsEachKindOfChange)
{
    TPolChart chart;
    chart.SetBounds(0, 0, 300, 300);
    chart.OnBeforeDrawScaleLabel = [](TObject*, TCanvas&, TpcScaleKind kind, std::string& text, int,
                                       int) { text += kind == TpcScaleKind::sckRad ? " dB" : "°"; };
    chart.SetRotationDir(TpcRotationDir::rdCounterCW);
    chart.show();
    chart.SetRangeHigh(10);
    QAccessibleInterface* face = faceOf(chart);
    EXPECT_EQ(face->role(), QAccessible::Chart);
    EXPECT_EQ(face->text(QAccessible::Name), "Polar chart");
    EXPECT_EQ(description(chart),
        "Polar chart, 0 to 10 dB, angles in degrees counter-clockwise from 0 at the right, rays "
        "every 30 degrees, 0 points");

    struct Change {
        const char* what;
        std::function<void()> make;
        const char* expected;
    };
    const Change changes[] = {
        { "range", [&] { chart.SetRangeLow(-2.5); }, "Polar chart, -2.5 to 10 dB," },
        { "log scale", [&] { chart.SetRadialRange(1, 1000, TpcRadialScale::rsLog10); },
            "1 to 1000 dB on a logarithmic scale," },
        { "rays", [&] { chart.SetAngleBtwRays(45); }, ", rays every 45 degrees," },
        { "direction", [&] { chart.SetRotationDir(TpcRotationDir::rdClockwise); },
            "angles in degrees clockwise from 0 at the right," },
        { "offset", [&] { chart.SetAngleOffset(90); }, "clockwise from 0 at the bottom," },
        { "unit", [&] { chart.SetUseDegrees(false); }, "angles in radians clockwise" },
        { "rays in radians", [] {}, "rays every 0.79 radians" },
        { "data",
            [&] {
                chart.SetUseDegrees(true);
                chart.MoveTo(2, 10);
                chart.DrawTo(3, 20);
                chart.DrawTo(4, 30);
                chart.Redraw();
            },
            ", 3 points" },
        { "classes",
            [&] {
                chart.ClassStyle(0)->SetName("Spiral");
                chart.ClassStyle(7)->SetName("Gain");
            },
            ", 2 named classes: Spiral, Gain" },
        { "wedges", [&] { chart.Bars()->Add(0, 10, 1, 2, 0); }, ", 1 wedge" },
        { "sector", [&] { chart.SetSectorSpan(90); }, ", a sector from 0 over 90 degrees," },
        { "crosshair",
            [&] {
                chart.CrossHair(2)->SetMode(TpcCrossHMode::chPolar);
                chart.CrossHair(2)->SetPosition(4.25, 120.5);
            },
            ", crosshair 2 at 4.25 dB, 120.5 degrees" },
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.what);
        change.make();
        EXPECT_NE(description(chart).find(change.expected), std::string::npos)
            << description(chart);
    }
    chart.setAccessibleName("Antenna gain");
    EXPECT_EQ(face->text(QAccessible::Name), "Antenna gain");
    EXPECT_EQ(chart.AccessibleDescription(), description(chart));
}

// Where 0 lies on the screen, as said, is where the chart draws it, for any offset, direction,
// unit and an inverted range.
TEST(ChartAccessibility, TheStatedDirectionOfZeroIsWhereTheChartDrawsIt)
{
    TPolChart chart;
    chart.SetBounds(0, 0, 400, 400);
    chart.SetRangeHigh(10);
    std::mt19937 random(5);
    for (int i = 0; i < 60; ++i) {
        chart.SetUseDegrees(i % 3 != 0);
        chart.SetRotationDir(i % 2 ? TpcRotationDir::rdClockwise : TpcRotationDir::rdCounterCW);
        const double quarter = chart.UseDegrees() ? 90 : std::acos(0.0);
        chart.SetAngleOffset(i % 4 == 0
                ? quarter * (int(random() % 5) - 2)
                : std::uniform_real_distribution(-2.0, 2.0)(random) * quarter);
        chart.SetRangeLow(i % 5 == 0 ? 20 : 0);
        const std::string text = chart.AccessibleDescription();
        const TPoint centre = chart.PolarToPixel(chart.RangeLow(), 0);
        const TPoint zero = chart.PolarToPixel(
            chart.RangeLow() + 8 * (chart.RangeHigh() > chart.RangeLow() ? 1 : -1), 0);
        const double drawn = std::atan2(centre.y - zero.y, zero.x - centre.x) * 180 / M_PI;
        const double stated = statedZero(text);
        ASSERT_FALSE(std::isnan(stated)) << text;
        EXPECT_NEAR(std::remainder(stated - drawn, 360.0), 0, 0.5) << text;
    }
}

TEST(ChartAccessibility, TheValueIsCrosshairOneAndTheValueInterfaceMovesIt)
{
    TPolChart chart;
    chart.SetBounds(0, 0, 300, 300);
    chart.SetRangeHigh(10);
    chart.show();
    QAccessibleInterface* face = faceOf(chart);
    QAccessibleValueInterface* value = face->valueInterface();
    ASSERT_NE(value, nullptr);
    TpcCrossHair* crossHair = chart.CrossHair(1);
    crossHair->SetPosition(4.25, 120.5);
    EXPECT_EQ(face->text(QAccessible::Value), "4.25, 120.50 degrees");
    EXPECT_EQ(value->maximumValue().toDouble(), 360);
    EXPECT_EQ(value->minimumValue().toDouble(), 0);
    EXPECT_EQ(value->minimumStepSize().toDouble(), 1);

    // Hidden or not, the angle moves, wrapped into a turn, and the radius stays.
    ASSERT_EQ(crossHair->Mode(), TpcCrossHMode::chOff);
    for (const auto& [set, expected] : { std::pair { 370.0, 10.0 }, { -90.0, 270.0 },
             { 359.5, 359.5 }, { std::nan(""), 359.5 }, { INFINITY, 359.5 } }) {
        value->setCurrentValue(set);
        EXPECT_EQ(crossHair->PosPhi(), expected) << set;
        EXPECT_EQ(value->currentValue().toDouble(), expected) << set;
        EXPECT_EQ(crossHair->PosRad(), 4.25);
    }
    chart.SetUseDegrees(false);
    EXPECT_DOUBLE_EQ(value->maximumValue().toDouble(), 2 * M_PI);
    EXPECT_DOUBLE_EQ(value->minimumStepSize().toDouble(), M_PI / 180);
    chart.SetUseDegrees(true);

    // Snapped, the value is the element's, and a step goes to the neighbouring element.
    for (int i = 0; i < 10; ++i)
        i == 0 ? chart.MoveTo(5, 40 + 10 * i) : chart.DrawTo(5, 40 + 10 * i);
    chart.AppendValue(7.5);
    chart.Redraw();
    crossHair->SetSnapToData(true);
    crossHair->SetPosition(5, 71);
    ASSERT_EQ(crossHair->SnappedIndex(), 3);
    EXPECT_EQ(face->text(QAccessible::Value), "element 3: 5.00, 70.00 degrees");
    value->setCurrentValue(value->currentValue().toDouble() + 1);
    EXPECT_EQ(crossHair->SnappedIndex(), 4);
    value->setCurrentValue(value->currentValue().toDouble() - 1);
    value->setCurrentValue(value->currentValue().toDouble() - 1);
    EXPECT_EQ(crossHair->SnappedIndex(), 2);
    value->setCurrentValue(128.0);
    EXPECT_EQ(crossHair->SnappedIndex(), 9);
    EXPECT_EQ(face->text(QAccessible::Value), "element 9: 5.00, 130.00 degrees, value 7.5");
}

// Tab gives the chart the focus and a frame that only the widget shows; a click gives no frame;
// the context-menu key and Shift+F10 ask for the menu at the chart's centre.
TEST(ChartKeyboard, TabShowsAFocusFrameOutsideThePicturesAndTheMenuKeysOpenTheMenuAtTheCentre)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new QLineEdit(&window);
    auto* chart = new TPolChart(&window);
    layout->addWidget(edit);
    layout->addWidget(chart);
    chart->setFixedSize(240, 200);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    const QImage unfocused = chart->grab().toImage().convertToFormat(QImage::Format_RGB32);

    QTest::keyClick(edit, Qt::Key_Tab);
    ASSERT_TRUE(chart->hasFocus());
    const QImage framed = chart->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(chart->ToImage(1).convertToFormat(QImage::Format_RGB32), unfocused);
    int changed = 0, inside = 0;
    for (int y = 0; y < framed.height(); ++y)
        for (int x = 0; x < framed.width(); ++x)
            if (framed.pixel(x, y) != unfocused.pixel(x, y)) {
                ++changed;
                inside += x > 2 && y > 2 && x < framed.width() - 3 && y < framed.height() - 3;
            }
    EXPECT_GT(changed, 200) << "a frame all round";
    EXPECT_EQ(inside, 0) << "only along the edge";

    edit->setFocus();
    QTest::mouseClick(chart, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(chart->hasFocus());
    EXPECT_EQ(chart->grab().toImage().convertToFormat(QImage::Format_RGB32), unfocused);

    chart->setContextMenuPolicy(Qt::CustomContextMenu);
    std::vector<QPoint> asked;
    QObject::connect(chart, &QWidget::customContextMenuRequested,
        [&](const QPoint& position) { asked.push_back(position); });
    QTest::keyClick(chart, Qt::Key_Menu);
    QTest::keyClick(chart, Qt::Key_F10, Qt::ShiftModifier);
    QTest::keyClick(chart, Qt::Key_F10);
    const QPoint centre(chart->CenterX(), chart->CenterY());
    EXPECT_EQ(asked, (std::vector<QPoint> { centre, centre }));
}

namespace {
std::vector<std::pair<QAccessible::Event, QString>> chartEvents;

void recordChartEvents(QAccessibleEvent* event)
{
    if (!qobject_cast<TPolChart*>(event->object()))
        return;
    if (event->type() == QAccessible::ValueChanged)
        chartEvents.emplace_back(
            event->type(), static_cast<QAccessibleValueChangeEvent*>(event)->value().toString());
    else if (event->type() == QAccessible::DescriptionChanged)
        chartEvents.emplace_back(event->type(), QString());
}
} // namespace

// Where Qt's accessibility is active, crosshair 1 moved every 10 ms for a second is told at most
// ten times a second, never from inside the move's paint, the last event with the settled value;
// a change of what the description says is told too.
TEST(ChartAccessibility, ValueAndDescriptionEventsComeAtMostTenASecond)
{
    TPolChart chart;
    chart.SetBounds(0, 0, 300, 300);
    chart.show();
    for (int i = 0; i < 40 && !QAccessible::isActive(); ++i)
        QTest::qWait(50);
    if (!QAccessible::isActive())
        GTEST_SKIP() << "the platform's accessibility is not active";
    chart.CrossHair(1)->SetMode(TpcCrossHMode::chPolar);
    QTest::qWait(200);
    QAccessible::installUpdateHandler(recordChartEvents);
    chartEvents.clear();
    QElapsedTimer clock;
    clock.start();
    for (int i = 1; clock.elapsed() < 1000; ++i) {
        const size_t before = chartEvents.size();
        chart.CrossHair(1)->SetPosition(0.5, i);
        EXPECT_EQ(chartEvents.size(), before) << "never from inside the move's paint";
        QTest::qWait(10);
    }
    const qint64 burst = clock.elapsed();
    // The settled value follows within the interval (longer on a busy machine), with the
    // description of the same moment.
    const auto lastValue = [&] {
        const auto last = std::find_if(chartEvents.rbegin(), chartEvents.rend(),
            [](const auto& event) { return event.first == QAccessible::ValueChanged; });
        return last == chartEvents.rend() ? std::string() : last->second.toStdString();
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return lastValue() == chart.AccessibleValue(); }));
    const auto values = std::count_if(chartEvents.begin(), chartEvents.end(),
        [](const auto& event) { return event.first == QAccessible::ValueChanged; });
    EXPECT_LE(double(values), burst / 100.0 + 2) << "at most ten a second";
    EXPECT_GE(values, 5) << "a long burst is told on the way";
    EXPECT_EQ(lastValue(), chart.AccessibleValue()) << "the settled value";
    chartEvents.clear();
    chart.SetAngleBtwRays(45);
    const auto descriptions = [&] {
        return std::count_if(chartEvents.begin(), chartEvents.end(),
            [](const auto& event) { return event.first == QAccessible::DescriptionChanged; });
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return descriptions() > 0; }));
    QTest::qWait(150);
    QAccessible::installUpdateHandler(nullptr);
    EXPECT_EQ(descriptions(), 1);
}
