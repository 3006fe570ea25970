// The numeric read-out label: defaults, setter rules and repaint counts, Assign and AssignTo, and
// the paint operation (frame pixels, value and side text boxes in their alignments, the disabled
// look, Empty, fsNone, Transparent), checked on the backing image. Text positions are measured
// with the same canvas metrics the label uses; glyph pixels are never compared.
#include "ZNQ_NumIO.h"
#include "ZNQ_NumLab.h"
#include "numlab_seams.h"
#include "znq_application.h"
#include "znq_canvas_seams.h"

#include "../enum_properties.h"
#include "../property_signals.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>
#include <QVariant>
#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <iostream>
#include <limits>
#include <random>
#include <utility>

using namespace znq;

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

// Plain colours that differ from the frame's white, silver, gray and black in every channel.
constexpr TColor outBack = 0xB0A090;
constexpr TColor labBack = 0xD8E8F8;
constexpr TColor outText = 0x201008;

int red(TColor c)
{
    return int(c & 0xFF);
}
int green(TColor c)
{
    return int((c >> 8) & 0xFF);
}
int blue(TColor c)
{
    return int((c >> 16) & 0xFF);
}

// A system colour resolved as the canvas draws it.
TColor resolved(TColor color)
{
    return RGBToColor(ColorToRGB(color));
}

// True when every channel of pixel lies between those of a and b: a pixel of text in colour b
// drawn on background a, at any coverage.
bool isBlendOf(TColor pixel, TColor a, TColor b)
{
    auto between = [](int value, int x, int y) {
        return std::min(x, y) <= value && value <= std::max(x, y);
    };
    return between(red(pixel), red(a), red(b)) && between(green(pixel), green(a), green(b))
        && between(blue(pixel), blue(a), blue(b));
}

struct Box {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN; // inclusive
    bool empty() const { return left > right; }
    void add(int x, int y)
    {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    // Inside the cell with top-left (x, y) and the given size.
    bool within(int x, int y, int width, int height) const
    {
        return empty()
            || (left >= x && right <= x + width - 1 && top >= y && bottom <= y + height - 1);
    }
};

std::ostream& operator<<(std::ostream& out, const Box& box)
{
    if (box.empty())
        return out << "(empty)";
    return out << "(" << box.left << "," << box.top << ")-(" << box.right << "," << box.bottom
               << ")";
}

// The pixels of the area (right and bottom exclusive) that satisfy the predicate.
Box pixelsWhere(const TCanvas& canvas, TRect area, const std::function<bool(TColor)>& matches)
{
    Box box;
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x)
            if (matches(canvas.Pixel(x, y)))
                box.add(x, y);
    return box;
}

// The first pixel of the area that fails the predicate, printed for the failure message.
std::string firstPixelNot(
    const TCanvas& canvas, TRect area, const std::function<bool(TColor)>& matches)
{
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x)
            if (!matches(canvas.Pixel(x, y))) {
                char text[64];
                std::snprintf(text, sizeof text, "(%d,%d) is %06X", x, y, canvas.Pixel(x, y));
                return text;
            }
    return "";
}

// Text metrics in the label's font, measured the way the label measures them.
struct Metrics {
    explicit Metrics(const TNumLab& label)
        : bitmap(1, 1)
    {
        bitmap.Canvas().Font().Assign(label.Font());
    }
    int width(const std::string& text) { return bitmap.Canvas().TextWidth(text); }
    int height() { return bitmap.Canvas().TextHeight("(8g]}"); }
    TBitmap bitmap;
};

// The label's value text as its paint makes it, without a display hook.
std::string expectedValueText(const TNumLab& label)
{
    Metrics metrics(label);
    TNumLabSettings settings;
    settings.Value = label.Value();
    settings.DisplayType = label.DisplayType();
    settings.Precision = label.Precision();
    settings.Comma = label.Comma();
    settings.ForcePlusSign = label.ForcePlusSign();
    settings.DTFormat = label.DTFormat();
    settings.StateText = label.StateText();
    settings.OverflowIndicator = label.OverflowIndicator();
    settings.LabelWidth = label.LabelWidth();
    return NumLabText(settings, SystemLocaleInfo(), {},
        [&metrics](const std::string& text) { return metrics.width(text); });
}

class NumLabPaint : public ::testing::Test {
protected:
    void SetUp() override
    {
        label.SetColorOutBakG(outBack);
        label.SetColorLabBakG(labBack);
        label.SetColorOutText(outText);
    }

    TColor at(int x, int y) { return label.Canvas().Pixel(x, y); }
    int frameLeft() const { return label.LeftSpace() + 1; }
    int frameRight() const { return label.LeftSpace() + label.LabelWidth(); }
    int frameBottom() const { return label.Height() - 2; }
    TRect clipRect() const
    {
        return Rect(label.LeftSpace() + 3, 2, label.LeftSpace() + label.LabelWidth() - 1,
            label.Height() - 3);
    }
    int textTop()
    {
        Metrics metrics(label);
        return (label.Height() - metrics.height()) / 2;
    }
    // Pixels of the clip rectangle that are not the box background: the value text's ink.
    Box valueInk()
    {
        return pixelsWhere(label.Canvas(), clipRect(), [](TColor c) { return c != labBack; });
    }

    TNumLab label;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Defaults and published properties

TEST(NumLabDefaults, AsCreated)
{
    TNumLab label;
    EXPECT_EQ(label.Width(), 160);
    EXPECT_EQ(label.Height(), 28);
    EXPECT_EQ(label.Alignment(), TAlignment::taCenter);
    EXPECT_EQ(label.ColorLabBakG(), clBtnFace);
    EXPECT_EQ(label.ColorLabText(), clBlack);
    EXPECT_EQ(label.ColorOutBakG(), clBtnFace);
    EXPECT_EQ(label.ColorOutText(), clBlack);
    EXPECT_EQ(label.ColorScheme(), TColorScheme::csBWG);
    EXPECT_EQ(label.FrameShadowColor(), clGray);
    EXPECT_EQ(label.FrameHighlightColor(), clWhite);
    EXPECT_FALSE(label.Comma());
    EXPECT_EQ(label.DisplayType(), TDisplay::dtFixP);
    EXPECT_EQ(label.DTFormat(), "mmm-dd, yyyy");
    EXPECT_FALSE(label.Empty());
    EXPECT_TRUE(label.Enabled());
    EXPECT_FALSE(label.ForcePlusSign());
    EXPECT_EQ(label.FrameStyle(), TFrameStyle::fsLowered);
    EXPECT_EQ(label.LabelWidth(), 80);
    EXPECT_EQ(label.LeftSpace(), 35);
    EXPECT_EQ(label.LeftText(), "");
    EXPECT_EQ(label.LeftTextAlignment(), TAlignment::taRightJustify);
    EXPECT_EQ(label.OverflowIndicator(), "*********");
    EXPECT_EQ(label.Precision(), 2);
    EXPECT_EQ(label.RightText(), "");
    EXPECT_EQ(label.RightTextAlignment(), TAlignment::taLeftJustify);
    EXPECT_EQ(label.StateText(), "undefined");
    EXPECT_FALSE(label.Transparent());
    EXPECT_EQ(label.Value(), 0.0);
    EXPECT_FALSE(label.OnBeforeDisplay);
    EXPECT_EQ(label.focusPolicy(), Qt::NoFocus);
}

TEST(NumLabDefaults, PropertiesAreWrittenAndReadByIdentifier)
{
    TNumLab label;
    EXPECT_TRUE(label.setProperty("DisplayType", "dtDegMinSec"));
    EXPECT_EQ(label.DisplayType(), TDisplay::dtDegMinSec);
    EXPECT_TRUE(label.setProperty("FrameStyle", "fsEngraved"));
    EXPECT_EQ(label.FrameStyle(), TFrameStyle::fsEngraved);
    EXPECT_TRUE(label.setProperty("ColorScheme", "csSystem"));
    EXPECT_EQ(label.ColorScheme(), TColorScheme::csSystem);
    EXPECT_TRUE(label.setProperty("LeftTextAlignment", "taCenter"));
    EXPECT_EQ(label.LeftTextAlignment(), TAlignment::taCenter);
    EXPECT_TRUE(label.setProperty("RightText", QString("km/h")));
    EXPECT_EQ(label.RightText(), "km/h");
    EXPECT_TRUE(label.setProperty("Value", 2.5));
    EXPECT_EQ(label.property("Value").toDouble(), 2.5);
    EXPECT_TRUE(label.setProperty("Enabled", false));
    EXPECT_FALSE(label.isEnabled());
    EXPECT_EQ(label.property("Alignment").value<TAlignment>(), TAlignment::taCenter);
}

// The read-out's and the input field's enumerations refuse numbers outside their types.
TEST(NumLabDefaults, EnumerationsRefuseNumbersOutsideTheirType)
{
    TNumLab label;
    TNumIO field;
    EXPECT_EQ(testing_support::ExpectEnumsRefuseUnknownValues<EZNQError>(label), 6);
    EXPECT_EQ(testing_support::ExpectEnumsRefuseUnknownValues<EZNQError>(field), 2);
}

// Every property of the read-out and the input field has a change signal, emitted once for a
// write of another value and not for a write of the value it has.
TEST(NumLabDefaults, EveryPropertyNotifiesEachChangeOnce)
{
    TNumLab label;
    TNumIO field;
    EXPECT_EQ(testing_support::ExpectEveryPropertyNotifiesOnce<EZNQError>(label), 24);
    EXPECT_EQ(testing_support::ExpectEveryPropertyNotifiesOnce<EZNQError>(field), 6);
}

// ---------------------------------------------------------------------------------------------
// Setters: stored values and one synchronous repaint per change

namespace {
struct SetterRow {
    const char* name;
    std::function<void(TNumLab&)> change;
    std::function<bool(const TNumLab&)> stored;
};
} // namespace

TEST(NumLabSetters, EachChangeRepaintsOnceAndARepeatDoesNot)
{
    const SetterRow rows[] = {
        { "Alignment", [](TNumLab& l) { l.SetAlignment(TAlignment::taLeftJustify); },
            [](const TNumLab& l) { return l.Alignment() == TAlignment::taLeftJustify; } },
        { "ColorLabBakG", [](TNumLab& l) { l.SetColorLabBakG(clRed); },
            [](const TNumLab& l) { return l.ColorLabBakG() == clRed; } },
        { "ColorLabText", [](TNumLab& l) { l.SetColorLabText(clBlue); },
            [](const TNumLab& l) { return l.ColorLabText() == clBlue; } },
        { "ColorOutBakG", [](TNumLab& l) { l.SetColorOutBakG(clYellow); },
            [](const TNumLab& l) { return l.ColorOutBakG() == clYellow; } },
        { "ColorOutText", [](TNumLab& l) { l.SetColorOutText(clNavy); },
            [](const TNumLab& l) { return l.ColorOutText() == clNavy; } },
        { "ColorScheme", [](TNumLab& l) { l.SetColorScheme(TColorScheme::csSystem); },
            [](const TNumLab& l) { return l.ColorScheme() == TColorScheme::csSystem; } },
        { "Comma", [](TNumLab& l) { l.SetComma(true); },
            [](const TNumLab& l) { return l.Comma(); } },
        { "DisplayType", [](TNumLab& l) { l.SetDisplayType(TDisplay::dtHex); },
            [](const TNumLab& l) { return l.DisplayType() == TDisplay::dtHex; } },
        { "DTFormat", [](TNumLab& l) { l.SetDTFormat("yyyy"); },
            [](const TNumLab& l) { return l.DTFormat() == "yyyy"; } },
        { "Empty", [](TNumLab& l) { l.SetEmpty(true); },
            [](const TNumLab& l) { return l.Empty(); } },
        { "ForcePlusSign", [](TNumLab& l) { l.SetForcePlusSign(true); },
            [](const TNumLab& l) { return l.ForcePlusSign(); } },
        { "FrameStyle", [](TNumLab& l) { l.SetFrameStyle(TFrameStyle::fsRaised); },
            [](const TNumLab& l) { return l.FrameStyle() == TFrameStyle::fsRaised; } },
        { "LabelWidth", [](TNumLab& l) { l.SetLabelWidth(-20); },
            [](const TNumLab& l) { return l.LabelWidth() == -20; } },
        { "LeftSpace", [](TNumLab& l) { l.SetLeftSpace(0); },
            [](const TNumLab& l) { return l.LeftSpace() == 0; } },
        { "LeftText", [](TNumLab& l) { l.SetLeftText("r ="); },
            [](const TNumLab& l) { return l.LeftText() == "r ="; } },
        { "LeftTextAlignment", [](TNumLab& l) { l.SetLeftTextAlignment(TAlignment::taCenter); },
            [](const TNumLab& l) { return l.LeftTextAlignment() == TAlignment::taCenter; } },
        { "OverflowIndicator", [](TNumLab& l) { l.SetOverflowIndicator("#"); },
            [](const TNumLab& l) { return l.OverflowIndicator() == "#"; } },
        { "Precision", [](TNumLab& l) { l.SetPrecision(0); },
            [](const TNumLab& l) { return l.Precision() == 0; } },
        { "RightText", [](TNumLab& l) { l.SetRightText("mm"); },
            [](const TNumLab& l) { return l.RightText() == "mm"; } },
        { "RightTextAlignment",
            [](TNumLab& l) { l.SetRightTextAlignment(TAlignment::taRightJustify); },
            [](const TNumLab& l) { return l.RightTextAlignment() == TAlignment::taRightJustify; } },
        { "StateText", [](TNumLab& l) { l.SetStateText("idle"); },
            [](const TNumLab& l) { return l.StateText() == "idle"; } },
        { "Value", [](TNumLab& l) { l.SetValue(-1e-300); },
            [](const TNumLab& l) { return l.Value() == -1e-300; } },
        { "Value to infinity", [](TNumLab& l) { l.SetValue(infinity); },
            [](const TNumLab& l) { return l.Value() == infinity; } },
    };
    for (const SetterRow& row : rows) {
        SCOPED_TRACE(row.name);
        TNumLab label;
        const int before = TNumLabSeams::PaintCount(label);
        row.change(label);
        EXPECT_TRUE(row.stored(label));
        EXPECT_EQ(TNumLabSeams::PaintCount(label), before + 1)
            << "one change, one synchronous paint";
        row.change(label);
        EXPECT_EQ(TNumLabSeams::PaintCount(label), before + 1)
            << "the same value again paints nothing";
    }
}

TEST(NumLabSetters, LeftSpaceIgnoresNegativesAndStopsAtTheWidth)
{
    TNumLab label;
    label.SetWidth(169);
    int paints = TNumLabSeams::PaintCount(label);
    label.SetLeftSpace(500);
    EXPECT_EQ(label.LeftSpace(), 169);
    EXPECT_EQ(TNumLabSeams::PaintCount(label), ++paints);
    label.SetLeftSpace(-1);
    EXPECT_EQ(label.LeftSpace(), 169);
    EXPECT_EQ(TNumLabSeams::PaintCount(label), paints);
    label.SetLeftSpace(169);
    EXPECT_EQ(TNumLabSeams::PaintCount(label), paints) << "the current value is ignored";
    label.SetLeftSpace(0);
    EXPECT_EQ(label.LeftSpace(), 0);
}

TEST(NumLabSetters, PrecisionIgnoresNegativesAndStopsAtFifteen)
{
    TNumLab label;
    int paints = TNumLabSeams::PaintCount(label);
    label.SetPrecision(40);
    EXPECT_EQ(label.Precision(), 15);
    EXPECT_EQ(TNumLabSeams::PaintCount(label), ++paints);
    label.SetPrecision(-1);
    EXPECT_EQ(label.Precision(), 15);
    label.SetPrecision(std::numeric_limits<int>::min());
    EXPECT_EQ(label.Precision(), 15);
    EXPECT_EQ(TNumLabSeams::PaintCount(label), paints);
    label.SetPrecision(0);
    EXPECT_EQ(label.Precision(), 0);
}

TEST(NumLabSetters, ValueChangesOnlyWhenItComparesUnequal)
{
    TNumLab label;
    label.SetValue(1.5);
    const int paints = TNumLabSeams::PaintCount(label);
    label.SetValue(notANumber);
    EXPECT_EQ(label.Value(), 1.5) << "NaN never replaces the stored value";
    label.SetValue(1.5);
    EXPECT_EQ(TNumLabSeams::PaintCount(label), paints);

    label.SetValue(0.0);
    label.SetValue(-0.0);
    EXPECT_FALSE(std::signbit(label.Value())) << "-0 compares equal to 0";
    EXPECT_EQ(TNumLabSeams::PaintCount(label), paints + 1);
}

// A new value that shows the same text leaves the picture as it is; a display hook, which may
// change any text, always gets its paint.
TEST(NumLabSetters, ValueWithTheSameTextDoesNotRepaint)
{
    TNumLab label;
    label.SetBounds(0, 0, 169, 22);
    label.SetPrecision(2);
    label.SetValue(1.234);
    const QImage shown = label.BackingImage().copy();
    const int paints = TNumLabSeams::PaintCount(label);
    label.SetValue(1.2341);
    EXPECT_EQ(label.Value(), 1.2341);
    EXPECT_EQ(TNumLabSeams::PaintCount(label), paints);
    label.Paint();
    EXPECT_EQ(label.BackingImage(), shown) << "the picture it kept is the one it would paint";
    label.SetValue(1.236);
    EXPECT_EQ(TNumLabSeams::PaintCount(label), paints + 2);
    int hooked = 0;
    label.OnBeforeDisplay = [&](TObject*, std::string&) { ++hooked; };
    label.SetValue(1.2361);
    EXPECT_EQ(hooked, 1);
}

TEST(NumLabSetters, EnabledAndFontRepaintEvenWhenUnchanged)
{
    TNumLab label;
    const int paints = TNumLabSeams::PaintCount(label);
    label.SetEnabled(true);
    EXPECT_EQ(TNumLabSeams::PaintCount(label), paints + 1);
    label.SetEnabled(false);
    EXPECT_FALSE(label.Enabled());
    EXPECT_EQ(TNumLabSeams::PaintCount(label), paints + 2);
    label.Font().SetSize(14);
    EXPECT_GT(TNumLabSeams::PaintCount(label), paints + 2) << "a font change repaints too";
}

TEST(NumLabSetters, ColorSchemeStoresItsFramePairButDrawsTheSameFrame)
{
    TNumLab label;
    label.SetColorScheme(TColorScheme::csSystem);
    EXPECT_EQ(label.FrameShadowColor(), clBtnShadow);
    EXPECT_EQ(label.FrameHighlightColor(), clBtnHighlight);
    const QImage system = label.BackingImage().copy();
    label.SetColorScheme(TColorScheme::csBWG);
    EXPECT_EQ(label.FrameShadowColor(), clGray);
    EXPECT_EQ(label.FrameHighlightColor(), clWhite);
    EXPECT_EQ(label.BackingImage(), system) << "the frame is drawn in fixed colours";
}

TEST(NumLabSetters, TransparentOnWaitsForTheParentOffRepaintsAtOnce)
{
    TNumLab label;
    const int paints = TNumLabSeams::PaintCount(label);
    label.SetTransparent(true);
    EXPECT_TRUE(label.Transparent());
    EXPECT_EQ(TNumLabSeams::PaintCount(label), paints) << "the parent paints first, then the label";
    label.SetTransparent(false);
    EXPECT_EQ(TNumLabSeams::PaintCount(label), paints + 1);
}

// ---------------------------------------------------------------------------------------------
// Assign and AssignTo

TEST(NumLabAssign, CopiesTheListedPropertiesAndRepaints)
{
    const std::pair<const char*, QVariant> copied[]
        = { { "LeftSpace", 20 }, { "Empty", true }, { "LabelWidth", 60 }, { "Precision", 4 },
              { "LeftText", "phi" }, { "RightText", "deg" }, { "FrameStyle", "fsSimple" },
              { "Alignment", "taRightJustify" }, { "RightTextAlignment", "taCenter" },
              { "LeftTextAlignment", "taLeftJustify" }, { "OverflowIndicator", "!" },
              { "Value", 12.75 }, { "StateText", "off" }, { "Transparent", true },
              { "ColorLabBakG", uint(clAqua) }, { "ColorLabText", uint(clMaroon) },
              { "ColorOutBakG", uint(clTeal) }, { "ColorOutText", uint(clPurple) },
              { "ColorScheme", "csSystem" }, { "DisplayType", "dtExp" } };
    const std::pair<const char*, QVariant> kept[] = { { "Comma", true }, { "ForcePlusSign", true },
        { "DTFormat", "hh:nn" }, { "Enabled", false } };
    TNumLab source, target;
    for (const auto& [name, value] : copied)
        ASSERT_TRUE(source.setProperty(name, value)) << name;
    for (const auto& [name, value] : kept)
        ASSERT_TRUE(source.setProperty(name, value)) << name;
    source.Font().SetSize(20);
    source.OnBeforeDisplay = [](TObject*, std::string&) {};

    const int paints = TNumLabSeams::PaintCount(target);
    target.Assign(&source);
    EXPECT_EQ(TNumLabSeams::PaintCount(target), paints + 1);
    for (const auto& [name, value] : copied)
        EXPECT_EQ(target.property(name), source.property(name)) << name;
    EXPECT_EQ(target.FrameShadowColor(), clBtnShadow);
    EXPECT_EQ(target.FrameHighlightColor(), clBtnHighlight);
    for (const auto& [name, value] : kept)
        EXPECT_NE(target.property(name), source.property(name)) << name << " is not copied";
    EXPECT_NE(target.Font().Size(), 20);
    EXPECT_FALSE(target.OnBeforeDisplay);
}

TEST(NumLabAssign, AnAssignedLabelPaintsTheSamePicture)
{
    TNumLab source, target;
    source.SetLeftText("r");
    source.SetRightText("m");
    source.SetValue(3.25);
    source.SetColorOutBakG(outBack);
    source.SetFrameStyle(TFrameStyle::fsEngraved);
    target.Assign(&source);
    EXPECT_EQ(target.BackingImage(), source.BackingImage());
}

TEST(NumLabAssign, AssignToGoesThroughTheDestinationsAssign)
{
    TNumLab source, target;
    source.SetValue(-4.5);
    source.SetLeftText("x");
    source.AssignTo(&target);
    EXPECT_EQ(target.Value(), -4.5);
    EXPECT_EQ(target.LeftText(), "x");
}

TEST(NumLabAssign, UnrelatedClassesRaiseInsteadOfLooping)
{
    TNumLab label;
    TNumIO field;
    TGraphicControl base;
    EXPECT_THROW(label.Assign(&field), EZNQError);
    EXPECT_THROW(label.Assign(nullptr), EZNQError);
    EXPECT_THROW(label.AssignTo(&field), EZNQError);
    EXPECT_THROW(label.AssignTo(nullptr), EZNQError);
    // The label is an instance of the base class, which has no Assign of its own: handing it
    // there must end in an error, not come back to AssignTo for ever.
    EXPECT_THROW(label.AssignTo(&base), EZNQError);
    try {
        label.Assign(&field);
    } catch (const EZNQError& error) {
        EXPECT_NE(std::string(error.what()).find("TNumIO"), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find("TNumLab"), std::string::npos) << error.what();
    }
}

// ---------------------------------------------------------------------------------------------
// Paint

TEST_F(NumLabPaint, HiddenLabelPaintsNothingAndIsPaintedWhenShownAgain)
{
    label.Paint();
    const QImage before = label.BackingImage().copy();
    const int paints = TNumLabSeams::PaintCount(label);
    label.SetVisible(false);
    label.SetValue(99);
    EXPECT_EQ(TNumLabSeams::PaintCount(label), paints);
    EXPECT_EQ(label.BackingImage(), before);
    label.SetVisible(true);
    label.grab(); // a paint event
    EXPECT_EQ(TNumLabSeams::PaintCount(label), paints + 1)
        << "the change made while hidden is painted";
}

TEST_F(NumLabPaint, OneCopyOntoTheControlPerPaint)
{
    const int draws = TCanvasSeams::DrawCount(label.Canvas());
    label.Paint();
    EXPECT_EQ(TCanvasSeams::DrawCount(label.Canvas()), draws + 1);
}

TEST_F(NumLabPaint, LoweredFrameAtTheBoxEdges)
{
    // The box of a 28-pixel label with LeftSpace 9 and LabelWidth 80 spans (10, 0)-(89, 26).
    label.SetLeftSpace(9);
    ASSERT_EQ(frameLeft(), 10);
    ASSERT_EQ(frameRight(), 89);
    ASSERT_EQ(frameBottom(), 26);
    EXPECT_EQ(at(10, 26), clWhite);
    EXPECT_EQ(at(89, 0), clGray);
    EXPECT_EQ(at(11, 1), clBlack);
    EXPECT_EQ(at(11, 25), clSilver);
    EXPECT_EQ(at(9, 5), outBack) << "left of the box";
    EXPECT_EQ(at(90, 5), outBack) << "right of the box";
    EXPECT_EQ(at(50, 27), outBack) << "below the box";
}

TEST_F(NumLabPaint, EveryFrameStyleUsesTheFixedColours)
{
    struct Row {
        const char* name;
        TFrameStyle style;
        TColor outerTopLeft, outerBottomRight, innerTopLeft, innerBottomRight;
    };
    const Row rows[] = {
        // fsSimple has no inner ring: there lies the interior, unfilled while Empty.
        { "fsSimple", TFrameStyle::fsSimple, clBlack, clBlack, outBack, outBack },
        { "fsLowered", TFrameStyle::fsLowered, clGray, clWhite, clBlack, clSilver },
        { "fsRaised", TFrameStyle::fsRaised, clWhite, clBlack, clSilver, clGray },
        { "fsEmbossed", TFrameStyle::fsEmbossed, clWhite, clGray, clGray, clWhite },
        { "fsEngraved", TFrameStyle::fsEngraved, clGray, clWhite, clWhite, clGray },
        { "fsNone", TFrameStyle::fsNone, outBack, outBack, outBack, outBack },
    };
    label.SetEmpty(true);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        label.SetFrameStyle(row.style);
        const TColor inner = row.innerTopLeft, innerBR = row.innerBottomRight;
        const int l = frameLeft(), r = frameRight(), b = frameBottom(), mid = b / 2;
        EXPECT_EQ(at(l, mid), row.outerTopLeft);
        EXPECT_EQ(at(l + 10, 0), row.outerTopLeft);
        EXPECT_EQ(at(r, mid), row.outerBottomRight);
        EXPECT_EQ(at(l + 10, b), row.outerBottomRight);
        EXPECT_EQ(at(l + 1, mid), inner);
        EXPECT_EQ(at(l + 10, 1), inner);
        EXPECT_EQ(at(r - 1, mid), innerBR);
        EXPECT_EQ(at(l + 10, b - 1), innerBR);
    }
}

TEST_F(NumLabPaint, FrameNoneStillFillsTheValueRectangle)
{
    label.SetFrameStyle(TFrameStyle::fsNone);
    label.SetValue(1);
    const TRect clip = clipRect();
    for (int y = 0; y <= frameBottom(); ++y) {
        EXPECT_EQ(at(frameLeft(), y), outBack) << "y " << y;
        EXPECT_EQ(at(frameLeft() + 1, y), outBack) << "y " << y;
        EXPECT_EQ(at(frameRight(), y), outBack) << "y " << y;
    }
    EXPECT_EQ(at(clip.Left, clip.Top), labBack);
    EXPECT_EQ(at(clip.Right - 1, clip.Bottom - 1), labBack);
    EXPECT_EQ(at(clip.Right, clip.Top), outBack) << "the rectangle's right edge is exclusive";
    EXPECT_EQ(at(clip.Left, clip.Bottom), outBack) << "the rectangle's bottom edge is exclusive";
}

TEST_F(NumLabPaint, ValueTextSitsInItsCellForEachAlignment)
{
    label.SetValue(-1234.5);
    const std::string text = expectedValueText(label);
    ASSERT_EQ(text, "-1234.50");
    Metrics metrics(label);
    const int tw = metrics.width(text), th = metrics.height(), y = textTop();
    const int ls = label.LeftSpace(), lw = label.LabelWidth();
    struct Row {
        const char* name;
        TAlignment alignment;
        int x;
    };
    const Row rows[] = {
        { "taLeftJustify", TAlignment::taLeftJustify, ls + 4 },
        { "taRightJustify", TAlignment::taRightJustify, ls + lw - 2 - tw },
        { "taCenter", TAlignment::taCenter, ls + 2 + (lw - tw) / 2 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        label.SetAlignment(row.alignment);
        const Box ink = valueInk();
        ASSERT_FALSE(ink.empty());
        EXPECT_TRUE(ink.within(row.x, y, tw, th)) << ink << " outside the cell at " << row.x;
        const TRect clip = clipRect();
        EXPECT_EQ(firstPixelNot(label.Canvas(), clip,
                      [](TColor c) { return isBlendOf(c, labBack, clBlack); }),
            "")
            << "the box holds its background and black text only";
    }
}

TEST_F(NumLabPaint, TooWideTextBecomesTheIndicatorAlignedByItsOwnWidth)
{
    label.SetLabelWidth(40);
    label.SetOverflowIndicator("##");
    label.SetAlignment(TAlignment::taRightJustify);
    label.SetValue(123456789.125);
    ASSERT_EQ(expectedValueText(label), "##");
    Metrics metrics(label);
    const int tw = metrics.width("##");
    const Box ink = valueInk();
    ASSERT_FALSE(ink.empty());
    // A glyph's ink may stand a pixel beyond its advance (Liberation Sans' '#' does).
    EXPECT_TRUE(ink.within(
        label.LeftSpace() + label.LabelWidth() - 2 - tw - 1, textTop(), tw + 2, metrics.height()))
        << ink;
}

TEST_F(NumLabPaint, StateTextWiderThanTheBoxIsClippedByIt)
{
    label.SetDisplayType(TDisplay::dtState);
    label.SetLabelWidth(30);
    label.SetStateText("a state text far wider than the box");
    label.SetRightText("");
    EXPECT_EQ(expectedValueText(label), label.StateText());
    const TRect clip = clipRect();
    // Nothing but background and frame outside the clip rectangle.
    const TRect right = Rect(frameRight() + 1, 0, label.Width(), label.Height());
    EXPECT_EQ(firstPixelNot(label.Canvas(), right, [](TColor c) { return c == outBack; }), "");
    EXPECT_EQ(at(frameRight() - 1, clip.Top + 3), clSilver) << "inner frame ring intact";
    EXPECT_EQ(at(frameRight(), clip.Top + 3), clWhite) << "outer frame ring intact";
    EXPECT_FALSE(valueInk().empty());
}

TEST_F(NumLabPaint, SideTextsInTheirThreeAlignments)
{
    label.SetLeftText("Rad");
    label.SetRightText("units");
    Metrics metrics(label);
    const int leftWidth = metrics.width("Rad"), rightWidth = metrics.width("units");
    const int th = metrics.height(), y = textTop();
    const int ls = label.LeftSpace(), lw = label.LabelWidth(), w = label.Width();
    struct Row {
        const char* name;
        TAlignment alignment;
        int leftX, rightX;
    };
    const Row rows[] = {
        { "taLeftJustify", TAlignment::taLeftJustify, 7, ls + lw + 7 },
        { "taRightJustify", TAlignment::taRightJustify, ls - leftWidth - 5, w - rightWidth - 6 },
        { "taCenter", TAlignment::taCenter, (ls - leftWidth) / 2,
            ls + lw + 1 + (w - ls - lw - rightWidth) / 2 },
    };
    auto ink = [](TColor c) { return c != outBack; };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        label.SetLeftTextAlignment(row.alignment);
        label.SetRightTextAlignment(row.alignment);
        const Box left = pixelsWhere(label.Canvas(), Rect(0, 0, ls + 1, label.Height()), ink);
        const Box right = pixelsWhere(label.Canvas(), Rect(ls + lw + 1, 0, w, label.Height()), ink);
        ASSERT_FALSE(left.empty());
        ASSERT_FALSE(right.empty());
        EXPECT_TRUE(left.within(row.leftX, y, leftWidth, th)) << left;
        EXPECT_TRUE(right.within(row.rightX, y, rightWidth, th)) << right;
        EXPECT_EQ(firstPixelNot(label.Canvas(), Rect(0, 0, ls + 1, label.Height()),
                      [](TColor c) { return isBlendOf(c, outBack, outText); }),
            "");
    }
}

TEST_F(NumLabPaint, DisabledLabelIsEngravedAndLeavesTheBoxUnfilled)
{
    label.SetLeftText("Phi");
    label.SetRightText("deg");
    label.SetLeftTextAlignment(TAlignment::taLeftJustify);
    label.SetValue(7.5);
    label.SetEnabled(false);
    Metrics metrics(label);
    const int th = metrics.height(), y = textTop();
    const int ls = label.LeftSpace(), lw = label.LabelWidth(), w = label.Width();

    // Lighter than the background in every channel: only the white copy can do that. Darker in
    // every channel: only the grey text.
    auto lighter = [](TColor c) {
        return red(c) > red(outBack) && green(c) > green(outBack) && blue(c) > blue(outBack);
    };
    auto darker = [](TColor c) {
        return red(c) < red(outBack) && green(c) < green(outBack) && blue(c) < blue(outBack);
    };
    struct Row {
        const char* name;
        TAlignment rightAlignment;
        int whiteDx;
    };
    const Row rows[] = {
        { "right text left-justified", TAlignment::taLeftJustify, +1 },
        { "right text right-justified", TAlignment::taRightJustify, -1 },
    };
    const int leftWidth = metrics.width("Phi"), rightWidth = metrics.width("deg");
    const TRect leftZone = Rect(0, 0, ls + 1, label.Height());
    const TRect rightZone = Rect(ls + lw + 1, 0, w, label.Height());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        label.SetRightTextAlignment(row.rightAlignment);
        const int rightX
            = row.rightAlignment == TAlignment::taLeftJustify ? ls + lw + 7 : w - rightWidth - 6;
        const Box leftWhite = pixelsWhere(label.Canvas(), leftZone, lighter);
        const Box leftGrey = pixelsWhere(label.Canvas(), leftZone, darker);
        const Box rightWhite = pixelsWhere(label.Canvas(), rightZone, lighter);
        const Box rightGrey = pixelsWhere(label.Canvas(), rightZone, darker);
        ASSERT_FALSE(leftWhite.empty());
        ASSERT_FALSE(rightWhite.empty());
        EXPECT_TRUE(leftWhite.within(7 + 1, y + 1, leftWidth, th)) << leftWhite;
        EXPECT_TRUE(leftGrey.within(7, y, leftWidth, th)) << leftGrey;
        EXPECT_TRUE(rightWhite.within(rightX + row.whiteDx, y + 1, rightWidth, th)) << rightWhite;
        EXPECT_TRUE(rightGrey.within(rightX, y, rightWidth, th)) << rightGrey;
        // The white copy really is offset the stated way: it reaches a column the grey cell
        // does not.
        if (row.whiteDx < 0)
            EXPECT_LT(rightWhite.left, rightGrey.left);
        else
            EXPECT_GT(rightWhite.right, rightGrey.right);
    }

    // The value text in the button shadow colour straight on the unfilled background.
    const Box ink = pixelsWhere(label.Canvas(), clipRect(), [](TColor c) { return c != outBack; });
    ASSERT_FALSE(ink.empty());
    const TColor shadow = resolved(clBtnShadow);
    EXPECT_EQ(firstPixelNot(label.Canvas(), clipRect(),
                  [shadow](TColor c) { return isBlendOf(c, outBack, shadow); }),
        "");
}

TEST_F(NumLabPaint, EmptyDrawsTheFrameOnlyAndSkipsTheDisplayHook)
{
    int calls = 0;
    label.OnBeforeDisplay = [&calls](TObject*, std::string&) { ++calls; };
    label.SetValue(5);
    ASSERT_EQ(calls, 1);
    label.SetEmpty(true);
    EXPECT_EQ(calls, 1) << "no value text is made while Empty";
    EXPECT_EQ(firstPixelNot(label.Canvas(), clipRect(), [](TColor c) { return c == outBack; }), "")
        << "the interior is not filled";
    EXPECT_EQ(at(frameLeft() + 1, 1), clBlack) << "the frame is drawn";
}

TEST_F(NumLabPaint, DisplayHookRewritesTheTextThatIsDrawn)
{
    TObject* sender = nullptr;
    label.OnBeforeDisplay = [&sender](TObject* s, std::string& text) {
        sender = s;
        text = "<" + text + ">";
    };
    label.SetAlignment(TAlignment::taLeftJustify);
    label.SetValue(2);
    EXPECT_EQ(sender, &label);
    Metrics metrics(label);
    const std::string shown = "<" + expectedValueText(label) + ">";
    const Box ink = valueInk();
    EXPECT_TRUE(
        ink.within(label.LeftSpace() + 4, textTop(), metrics.width(shown), metrics.height()))
        << ink;
    // The hooked text is wider than the plain one: its ink reaches past the plain cell.
    EXPECT_GT(ink.right, label.LeftSpace() + 4 + metrics.width(expectedValueText(label)) - 1);
}

TEST_F(NumLabPaint, TransparentImageIsWhiteWhereTheParentShowsThrough)
{
    label.SetLeftText("a");
    label.SetColorLabText(clBlack);
    label.SetTransparent(true);
    label.Paint();
    // Outside the box and the texts: white, the neutral element of the AND.
    EXPECT_EQ(at(1, 1), clWhite);
    EXPECT_EQ(at(label.Width() - 1, label.Height() - 1), clWhite);
    // The box is cleared to its background before the picture is ANDed on.
    const TRect clip = clipRect();
    EXPECT_EQ(at(clip.Left, clip.Top), labBack);
    EXPECT_EQ(at(frameLeft() + 1, 1), clBlack) << "frame pixels survive the AND";
}

TEST_F(NumLabPaint, TransparentRepaintLeavesNoTraceOfTheOldText)
{
    label.SetTransparent(true);
    label.SetValue(88888.88);
    label.Paint();
    label.SetValue(1);
    TNumLab fresh;
    fresh.SetColorOutBakG(outBack);
    fresh.SetColorLabBakG(labBack);
    fresh.SetColorOutText(outText);
    fresh.SetTransparent(true);
    fresh.SetValue(1);
    fresh.Paint();
    EXPECT_EQ(label.BackingImage(), fresh.BackingImage());
}

TEST_F(NumLabPaint, TransparentLabelCombinesWithItsParentsPicture)
{
    QWidget parent;
    parent.resize(200, 40);
    const QColor parentColour(0x30, 0x90, 0x60);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, parentColour);
    parent.setPalette(palette);
    parent.setAutoFillBackground(true);
    auto* child = new TNumLab(&parent);
    child->SetColorOutBakG(outBack);
    child->SetColorLabBakG(clWhite);
    child->SetFrameStyle(TFrameStyle::fsSimple);
    child->SetEmpty(true);
    child->SetLeft(10);
    child->SetTop(5);
    parent.show();

    const TColor parentPixel = RGBToColor(parentColour.rgb());
    child->SetTransparent(true);
    QImage picture = parent.grab().toImage().convertToFormat(QImage::Format_RGB32);
    auto pixel = [&picture](int x, int y) { return RGBToColor(picture.pixel(x, y)); };
    EXPECT_EQ(pixel(10 + 2, 5 + 2), parentPixel) << "the caption zone shows the parent";
    EXPECT_EQ(pixel(10 + child->LeftSpace() + 10, 5 + 10), parentPixel)
        << "the white box shows the parent";
    EXPECT_EQ(pixel(10 + child->LeftSpace() + 1, 5 + 10), clBlack) << "the frame darkens it";

    child->SetTransparent(false);
    picture = parent.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(pixel(10 + 2, 5 + 2), outBack) << "opaque again";
}

TEST(NumLabRobustness, RandomSettingsAndSizesPaintWithoutFault)
{
    const unsigned seed = 20240611;
    std::cout << "[ seed ] " << seed << '\n';
    std::mt19937 random(seed);
    auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const double values[] = { 0.0, -0.0, 1.5, -2.5, 1e300, -1e300, 4.9e-324, notANumber, infinity,
        -infinity, 2147483647.4, 4294967295.0, 45000.25, -1e-7 };
    TNumLab label;
    for (int i = 0; i < 400; ++i) {
        SCOPED_TRACE(i);
        label.SetBounds(0, 0, pick(0, 300), pick(0, 60));
        label.SetLeftSpace(pick(-5, 320));
        const int widths[] = { pick(-100, 400), INT_MAX, INT_MIN };
        label.SetLabelWidth(widths[pick(0, 9) / 8]); // mostly ordinary, now and then extreme
        label.SetPrecision(pick(-3, 40));
        label.SetDisplayType(static_cast<TDisplay>(pick(0, 14)));
        label.SetValue(values[pick(0, std::size(values) - 1)] * (pick(0, 1) ? 1 : -1));
        label.SetAlignment(static_cast<TAlignment>(pick(0, 2)));
        label.SetLeftTextAlignment(static_cast<TAlignment>(pick(0, 2)));
        label.SetRightTextAlignment(static_cast<TAlignment>(pick(0, 2)));
        label.SetFrameStyle(static_cast<TFrameStyle>(pick(0, 5)));
        label.SetLeftText(std::string(pick(0, 12), 'W'));
        label.SetRightText(std::string(pick(0, 12), 'g'));
        label.SetComma(pick(0, 1));
        label.SetForcePlusSign(pick(0, 1));
        label.SetEmpty(pick(0, 5) == 0);
        label.SetEnabled(pick(0, 3) != 0);
        label.SetTransparent(pick(0, 3) == 0);
        label.Paint();
        if (label.Width() > 0 && label.Height() > 0) {
            EXPECT_EQ(label.BackingImage().size(), label.size());
        }
    }
}

// The display hook's signal comes right after the handler and may change the text as the handler
// may; a value with the same text is then painted anyway, and a slot that sets a new value gets
// its paint after the current one, not inside it.
TEST(NumLabSignals, BeforeDisplayFollowsTheHandlerAndNeverPaintsInsideAPaint)
{
    TNumLab label;
    label.SetBounds(0, 0, 169, 22);
    label.show();
    std::vector<std::string> order;
    label.OnBeforeDisplay = [&](TObject*, std::string& text) {
        order.push_back("handler " + text);
        text = "<" + text + ">";
    };
    QObject::connect(&label, &TNumLab::beforeDisplay, [&](std::string* text) {
        order.push_back("signal " + *text);
        *text += "!";
    });
    label.SetPrecision(1);
    label.SetValue(2.5);
    ASSERT_GE(order.size(), 2u);
    EXPECT_EQ(order[order.size() - 2], "handler 2.5");
    EXPECT_EQ(order.back(), "signal <2.5>");

    label.OnBeforeDisplay = nullptr;
    int paints = TNumLabSeams::PaintCount(label);
    label.SetValue(2.51);
    EXPECT_EQ(TNumLabSeams::PaintCount(label), paints + 1)
        << "a connected hook may change any text";

    QObject::connect(&label, &TNumLab::beforeDisplay, [&] {
        if (label.Value() < 100)
            label.SetValue(label.Value() + 100);
    });
    paints = TNumLabSeams::PaintCount(label);
    label.SetValue(3);
    EXPECT_EQ(TNumLabSeams::PaintCount(label), paints + 1) << "no paint inside the paint";
    QApplication::processEvents();
    EXPECT_EQ(label.Value(), 103);
    EXPECT_EQ(TNumLabSeams::PaintCount(label), paints + 2);
}
