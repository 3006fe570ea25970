// The polar/pixel transform: the worked examples, round trips for normal and inverted ranges and
// both rotation directions, the clamps, bad input, centring and the scale number texts.
#include "ZNQ_polchart.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace znq;

namespace {
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
} // namespace

TEST(Transform, DefaultChartExamples)
{
    TPolChart chart;
    EXPECT_DOUBLE_EQ(double(chart.ScaleX()), 80.0);
    EXPECT_EQ(chart.PolarToPixel(1, 0), (TPoint { 200, 80 }));
    EXPECT_EQ(chart.PolarToPixel(1, 90), (TPoint { 120, 160 }))
        << "clockwise: 90 degrees points down";
    EXPECT_EQ(chart.PolarToPixel(-3, 45), (TPoint { 120, 80 }))
        << "below RangeLow lands on the centre";
    EXPECT_EQ(chart.PolarToPixel(2, 0), (TPoint { 280, 80 })) << "no clamp at RangeHigh";
    const TpcPolarPoint centre = chart.PixelToPolar(120, 80);
    EXPECT_EQ(centre.Rad, 0);
    EXPECT_DOUBLE_EQ(centre.Phi, 270);
    chart.SetAngleOffset(30);
    EXPECT_EQ(chart.PolarToPixel(1, -30), (TPoint { 200, 80 }))
        << "phi = -AngleOffset points right";
}

TEST(Transform, CounterClockwiseMirrorsY)
{
    TPolChart chart;
    chart.SetAutoCenter(false);
    chart.SetCenterX(100);
    chart.SetCenterY(70);
    const TPoint clockwise = chart.PolarToPixel(0.7, 35);
    chart.SetRotationDir(TpcRotationDir::rdCounterCW);
    const TPoint counter = chart.PolarToPixel(0.7, 35);
    EXPECT_EQ(counter.x, clockwise.x);
    EXPECT_EQ(counter.y - 70, 70 - clockwise.y);
    EXPECT_NEAR(chart.PixelToPolar(counter.x, counter.y).Phi, 35, 1.0);
}

TEST(Transform, RoundTripWithinOnePixel)
{
    const unsigned seed = 4242;
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    for (bool inverted : { false, true })
        for (TpcRotationDir dir : { TpcRotationDir::rdClockwise, TpcRotationDir::rdCounterCW })
            for (bool degrees : { true, false }) {
                TPolChart chart;
                chart.SetBounds(0, 0, 600, 400);
                chart.SetUseDegrees(degrees);
                chart.SetRotationDir(dir);
                chart.SetAngleOffset(degrees ? -50 : -0.8);
                chart.SetRangeLow(inverted ? 10 : 0);
                chart.SetRangeHigh(inverted ? 0 : 10);
                const double turn = degrees ? 360.0 : 2 * 3.141592653589793;
                std::uniform_real_distribution<double> radius(0.5, 10), angle(0, turn);
                for (int i = 0; i < 200; ++i) {
                    const double rad = inverted ? 10 - radius(random) : radius(random);
                    const double phi = angle(random);
                    const TPoint pixel = chart.PolarToPixel(rad, phi);
                    const TpcPolarPoint back = chart.PixelToPolar(pixel.x, pixel.y);
                    const TPoint again = chart.PolarToPixel(back.Rad, back.Phi);
                    ASSERT_LE(std::abs(again.x - pixel.x), 1) << rad << " " << phi;
                    ASSERT_LE(std::abs(again.y - pixel.y), 1) << rad << " " << phi;
                    ASSERT_GE(back.Phi, 0);
                    ASSERT_LE(back.Phi, turn);
                    ASSERT_NEAR(back.Rad, rad, 0.05) << "inverted " << inverted;
                }
            }
}

TEST(Transform, ClampsAndBadInputGiveDefinedPixels)
{
    TPolChart chart;
    const TPoint far = chart.PolarToPixel(1e300, 0);
    EXPECT_EQ(far.x, 2147483647);
    EXPECT_EQ(chart.PolarToPixel(1e300, 180).x, -2147483647);
    const TPoint centre { chart.CenterX(), chart.CenterY() };
    EXPECT_EQ(chart.PolarToPixel(NaN, 0), centre);
    EXPECT_EQ(chart.PolarToPixel(1, NaN), centre);
    EXPECT_EQ(chart.PolarToPixel(inf, inf), centre)
        << "angles beyond the trigonometric range count as 0";
    EXPECT_EQ(chart.PolarToPixel(1, 1e300), centre);
    EXPECT_EQ(chart.PolarToPixel(inf, 0).x, 2147483647);

    int32_t x = 40000, y = -40000;
    ClipCoordinates(x, y);
    EXPECT_EQ(x, 30000);
    EXPECT_EQ(y, -30000);
}

TEST(Transform, HalfPixelsRoundToEven)
{
    TpcTransformParams params;
    params.Scale = 1;
    params.OriginX = 10;
    params.OriginY = 10;
    const TpcTransform transform(params);
    EXPECT_EQ(transform.PolarToPixel(0.5, 0).x, 10);
    EXPECT_EQ(transform.PolarToPixel(1.5, 0).x, 12);
    EXPECT_EQ(transform.PolarToPixel(2.5, 0).x, 12);
}

TEST(Transform, ZeroSizedAreaHasNoScaleAndNoDivision)
{
    TPolChart chart;
    chart.SetShadowWidth(10);
    chart.SetBounds(0, 0, 10, 50);
    EXPECT_EQ(chart.ScaleX(), 0);
    const TpcPolarPoint p = chart.PixelToPolar(3, 4);
    EXPECT_EQ(p.Rad, chart.RangeLow());
    EXPECT_EQ(p.Phi, 0);
    chart.SetBounds(0, 0, 0, 0);
    EXPECT_EQ(chart.ScaleX(), 0);
    EXPECT_EQ(chart.PixelToPolar(0, 0).Rad, chart.RangeLow());
}

TEST(Transform, CenterChartMakesRoomForRadialLabels)
{
    TPolChart chart;
    chart.SetBounds(0, 0, 624, 648);
    chart.SetRangeHigh(10);
    const int labelWidth
        = std::max(chart.Canvas().TextWidth("0.00"), chart.Canvas().TextWidth("10.00"));
    chart.SetLabelModeRadial(TpcRadLabelMode::rlmVertRight);
    chart.CenterChart();
    EXPECT_EQ(chart.CenterX(), 312 + (labelWidth - 624 / 5) / 2);
    EXPECT_EQ(chart.CenterY(), 324);
    chart.SetLabelModeRadial(TpcRadLabelMode::rlmVertLeft);
    chart.CenterChart();
    EXPECT_EQ(chart.CenterX(), 312 + (624 / 5 - labelWidth) / 2);
    chart.SetLabelModeRadial(TpcRadLabelMode::rlmNone);
    chart.SetShadowWidth(24);
    chart.CenterChart();
    EXPECT_EQ(chart.CenterX(), 300);
    EXPECT_EQ(chart.CenterY(), 312);
}

TEST(ScaleNumbers, Texts)
{
    struct Row {
        const char* name;
        int decimals;
        double value;
        const char* expected;
    } rows[] = {
        { "fixed 2", 2, 0.5, "0.50" },
        { "fixed 0 negative", 0, -3, "-3" },
        { "short exponent", -1, 15, " 1.5E+01" },
        { "exponent needs three digits", -1, 1e150, "********" },
        { "long exponent", -2, 15, " 1.5E+0001" },
        { "negative short exponent", -1, -0.015, "-1.5E-02" },
        { "twelve decimals", 12, 1.0 / 3, "0.333333333333" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FormatScaleNumber(1, row.decimals, row.value), row.expected);
    }
}

// The angle read off any pixel lies within one turn, also with an offset kept from the other
// unit; bounds at the ends of the double range give finite radii, angles and label texts.
TEST(Transform, AnglesInOneTurnAndExtremeRangesStayFinite)
{
    TPolChart chart;
    chart.SetBounds(0, 0, 200, 160);
    chart.show();
    chart.SetUseDegrees(true);
    chart.SetAngleOffset(100);
    chart.SetUseDegrees(false);
    constexpr double turn = 2 * 3.141592653589793;
    for (int y = 0; y < 160; y += 7)
        for (int x = 0; x < 200; x += 7) {
            const double phi = chart.PixelToPolar(x, y).Phi;
            ASSERT_TRUE(phi >= 0 && phi <= turn) << x << "," << y << ": " << phi;
        }

    std::vector<std::string> labels;
    chart.OnBeforeDrawScaleLabel
        = [&](TObject*, TCanvas&, TpcScaleKind kind, std::string& text, int, int) {
              if (kind == TpcScaleKind::sckRad)
                  labels.push_back(text);
          };
    chart.SetLabelModeRadial(TpcRadLabelMode::rlmVertLeft);
    chart.SetRangeLow(-1.7e308);
    chart.SetRangeHigh(1.7e308);
    ASSERT_FALSE(labels.empty());
    for (const std::string& text : labels) {
        EXPECT_EQ(text.find("INF"), std::string::npos) << text;
        EXPECT_EQ(text.find("NAN"), std::string::npos) << text;
    }
    for (const auto& [x, y] : { std::pair { 0, 0 }, { 199, 159 }, { 0, 159 }, { 150, 3 } }) {
        const TpcPolarPoint p = chart.PixelToPolar(x, y);
        EXPECT_TRUE(std::isfinite(p.Rad) && std::isfinite(p.Phi)) << x << "," << y;
        EXPECT_TRUE(p.Phi >= 0 && p.Phi <= turn);
    }
}

// The chunked mapping gives exactly the per-element pixels: random set-ups and elements, values
// on exact half pixels (angle 0 with a half-pixel origin or radius), angles and reaches beyond the
// fast path's limits, and values that are not finite.
TEST(Transform, ChunkedPixelsEqualThePerElementPath)
{
    // Every instruction set the processor has, each with the same inputs.
    for (const std::string& set : TpcTransform::DataPixelsInstructionSets()) {
        SCOPED_TRACE(set);
        ASSERT_TRUE(TpcTransform::UseDataPixelsInstructionSet(set));
        const unsigned seed = 20261208;
        std::mt19937_64 random(seed);
        auto uniform = [&](double low, double high) {
            return std::uniform_real_distribution<double>(low, high)(random);
        };
        auto oneOf = [&](std::initializer_list<double> values) {
            return *(values.begin() + random() % values.size());
        };
        constexpr double degree = 0.017453292519943295;
        int continuingCount = 0, markedCount = 0;
        for (int setup = 0; setup < 300; ++setup) {
            TpcTransformParams p;
            p.RangeLow = oneOf({ 0, -5, 3.25, uniform(-1e3, 1e3) });
            p.RangeHigh = p.RangeLow + oneOf({ 10, -10, 0.001, uniform(-1e4, 1e4) });
            p.AngleOffset = oneOf({ 0, -50, uniform(-360, 360) });
            p.AngleUnit = oneOf({ degree, 1 });
            p.RotationSign = random() % 2 ? 1 : -1;
            p.Scale = oneOf({ 0, 1, 21.06, 0.5, uniform(0, 1e3), uniform(1e4, 1e7) });
            p.OriginX = std::round(uniform(-4e4, 4e4)) / oneOf({ 1, 2 });
            p.OriginY = std::round(uniform(-4e4, 4e4)) / oneOf({ 1, 2 });
            const TpcTransform transform(p);
            const double span = std::fabs(p.RangeHigh - p.RangeLow);
            std::vector<TpcDataElement> elements(1 + random() % 300);
            for (size_t i = 0; i < elements.size(); ++i) {
                TpcDataElement& e = elements[i];
                e.Rad = uniform(p.RangeLow - span, p.RangeLow + 2 * span);
                e.Phi = uniform(-720, 720);
                switch (random() % 12) {
                case 0: // angle 0, a radius of a whole or half number of pixels
                    e.Phi = -p.AngleOffset;
                    if (p.Scale != 0)
                        e.Rad = p.RangeLow + std::round(uniform(-200, 200)) / 2 / double(p.Scale);
                    break;
                case 1:
                    e.Rad = oneOf({ NaN, inf, -inf, 1e300, -1e300, p.RangeLow });
                    break;
                case 2:
                    e.Phi = oneOf({ NaN, inf, 1e7, -1e9, 1e6 / p.AngleUnit, 9.3e18 });
                    break;
                case 3: // the element before again, or nearly, perhaps with another pen or kind
                case 4:
                case 5:
                    if (i == 0)
                        break;
                    e = elements[i - 1];
                    e.Phi += oneOf({ 0, 1e-9, 1e-3 });
                    switch (random() % 8) {
                    case 0:
                        e.Color ^= 1;
                        break;
                    case 1:
                        e.PenStyle = TPenStyle::psDash;
                        break;
                    case 2:
                        e.LineWidth = 3;
                        break;
                    case 3:
                        e.ElemClass = 2;
                        break;
                    case 4:
                        e.Kind = TpcElemKind::ekMoveTo;
                        break;
                    default:
                        break;
                    }
                    break;
                default:
                    break;
                }
            }
            const auto count = int32_t(elements.size());
            std::vector<TPoint> chunked(elements.size()), marked(elements.size());
            std::vector<uint8_t> continues(elements.size(), 7);
            transform.DataPixels(elements.data(), count, chunked.data());
            transform.DataPixels(elements.data(), count, marked.data(), continues.data());
            EXPECT_EQ(chunked, marked);
            for (size_t i = 0; i < elements.size(); ++i) {
                const TpcDataElement& e = elements[i];
                TPoint expected = transform.PolarToPixel(e.Rad, e.Phi);
                ClipCoordinates(expected.x, expected.y);
                ASSERT_EQ(chunked[i], expected)
                    << "seed " << seed << " set-up " << setup << " element " << i << ": rad "
                    << e.Rad << " phi " << e.Phi;
                const bool continuing = i > 0 && transform.HasPlace(e.Rad, e.Phi)
                    && chunked[i] == chunked[i - 1] && e.Color == elements[i - 1].Color
                    && e.PenStyle == elements[i - 1].PenStyle
                    && e.LineWidth == elements[i - 1].LineWidth
                    && e.ElemClass == elements[i - 1].ElemClass && e.Kind == elements[i - 1].Kind;
                // No other element may be marked; one that continues may go unmarked where its
                // pixel came from the per-element path.
                if (continues[i] != 0) {
                    ASSERT_TRUE(continuing) << "set-up " << setup << " element " << i;
                }
                continuingCount += continuing;
                markedCount += continues[i] != 0;
            }
        }
        EXPECT_GT(continuingCount, 1000);
        EXPECT_GE(markedCount, continuingCount * 3 / 4);
        // Origins chosen so that one element's pixel values lie within a few units in the last
        // place of a half pixel: where the polynomials and the library differ in the last bits,
        // only the per-element path knows the rounding.
        for (int i = 0; i < 3000; ++i) {
            TpcTransformParams p;
            p.Scale = 1;
            p.RangeHigh = 1e4;
            TpcDataElement e;
            e.Rad = uniform(0, 3000);
            e.Phi = uniform(-100, 100);
            p.OriginX = std::round(uniform(-100, 100)) + 0.5 - std::cos(e.Phi) * e.Rad;
            p.OriginY = std::round(uniform(-100, 100)) + 0.5 - std::sin(e.Phi) * e.Rad;
            const TpcTransform transform(p);
            TPoint chunked;
            transform.DataPixels(&e, 1, &chunked);
            ASSERT_EQ(chunked, transform.PolarToPixel(e.Rad, e.Phi))
                << "rad " << e.Rad << " phi " << e.Phi;
        }
    }
    TpcTransform::UseDataPixelsInstructionSet(TpcTransform::DataPixelsInstructionSets()[0]);
    EXPECT_EQ(TpcTransform::DataPixelsInstructionSets().back(), "basic");
    EXPECT_FALSE(TpcTransform::UseDataPixelsInstructionSet("sse9"));
}
