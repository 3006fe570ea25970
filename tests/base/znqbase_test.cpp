// The shared enumerations by identifier, the error messages, and the frame drawing pixel by pixel.
#include "ZNQ_znqbase.h"

#include <QMetaEnum>
#include <gtest/gtest.h>

#include <map>

using namespace znq;

namespace {

template <typename E> void expectIdentifiers(const std::vector<const char*>& identifiers)
{
    const QMetaEnum meta = QMetaEnum::fromType<E>();
    ASSERT_TRUE(meta.isValid());
    ASSERT_EQ(meta.keyCount(), static_cast<int>(identifiers.size())) << meta.name();
    for (size_t ordinal = 0; ordinal < identifiers.size(); ++ordinal) {
        SCOPED_TRACE(identifiers[ordinal]);
        bool ok = false;
        EXPECT_EQ(meta.keyToValue(identifiers[ordinal], &ok), static_cast<int>(ordinal));
        EXPECT_TRUE(ok);
        EXPECT_STREQ(meta.valueToKey(static_cast<int>(ordinal)), identifiers[ordinal]);
        // Through QVariant, as a property write by identifier goes.
        QVariant text = QString(identifiers[ordinal]);
        ASSERT_TRUE(text.convert(QMetaType::fromType<E>()));
        EXPECT_EQ(static_cast<size_t>(text.value<E>()), ordinal);
    }
}

} // namespace

TEST(SharedEnumerations, ReadAndWrittenByIdentifier)
{
    expectIdentifiers<TColorScheme>({ "csBWG", "csSystem" });
    expectIdentifiers<TDecPSep>({ "dsSystem", "dsDot", "dsComma", "dsBoth" });
    expectIdentifiers<TShadowStyle>({ "ssFlying", "ssBox" });
    expectIdentifiers<TFrameStyle>(
        { "fsNone", "fsSimple", "fsLowered", "fsRaised", "fsEmbossed", "fsEngraved" });
    expectIdentifiers<TTxtLblMode>({ "tlOff", "tlsimple", "tlBox", "tlUnderline", "tlShadow" });
    expectIdentifiers<TMouseActMode>({ "maNone", "maPan", "maPanHoriz", "maPanVert", "maPanGrid",
        "maRubberBand", "maZoom", "maZoomWind", "maZoomWindPos", "maZoomDrag", "maDragCrossH",
        "maDragLabel", "maRotate", "maRotAndZoom", "maRotXOnly", "maRotZOnly", "maSelectRect",
        "maDrawMTrace", "maZoomPanColors" });
    expectIdentifiers<TPenStyle>(
        { "psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame" });
    expectIdentifiers<TAlignment>({ "taLeftJustify", "taRightJustify", "taCenter" });
    expectIdentifiers<TMouseButton>({ "mbLeft", "mbRight", "mbMiddle" });
    EXPECT_EQ(sizeof(TMouseActMode), 1u) << "stored in one byte";
}

TEST(Errors, ComponentMessageForm)
{
    const EZNQPolChartError error("PC", ": invalid index into TextLabel array");
    EXPECT_STREQ(error.what(), "Component \"PC\": invalid index into TextLabel array");
    const EZNQError& base = error;
    EXPECT_STREQ(base.what(), error.what());
    const std::runtime_error& runtime = error;
    EXPECT_STREQ(runtime.what(), error.what());
}

namespace {

struct FrameCanvas {
    TBitmap bitmap { 100, 30 };
    FrameCanvas()
    {
        bitmap.Canvas().Brush().SetColor(0x123456);
        bitmap.Canvas().FillRect(Rect(0, 0, 100, 30));
    }
    TCanvas& canvas() { return bitmap.Canvas(); }
};

constexpr TColor highlight = clWhite, light = clSilver, shadow = clGray, darkShadow = clBlack,
                 outline = 0x00AA00;

} // namespace

TEST(DrawFrame, LoweredExamplePixels)
{
    FrameCanvas f;
    DrawFrame(f.canvas(), TFrameStyle::fsLowered, 10, 0, 89, 26, highlight, light, shadow,
        darkShadow, outline);
    EXPECT_EQ(f.canvas().Pixel(10, 26), clWhite);
    EXPECT_EQ(f.canvas().Pixel(89, 0), clGray);
    EXPECT_EQ(f.canvas().Pixel(11, 1), clBlack);
    EXPECT_EQ(f.canvas().Pixel(11, 25), clSilver);
}

TEST(DrawFrame, BevelRingsCoverExactlyTheirPixels)
{
    const int L = 10, T = 2, R = 40, B = 20;
    struct Row {
        TFrameStyle style;
        TColor c1, c2, c3, c4;
    };
    const Row rows[] = {
        { TFrameStyle::fsLowered, shadow, highlight, darkShadow, light },
        { TFrameStyle::fsRaised, highlight, darkShadow, light, shadow },
        { TFrameStyle::fsEmbossed, highlight, shadow, shadow, highlight },
        { TFrameStyle::fsEngraved, shadow, highlight, highlight, shadow },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(QMetaEnum::fromType<TFrameStyle>().valueToKey(int(row.style)));
        FrameCanvas f;
        DrawFrame(f.canvas(), row.style, L, T, R, B, highlight, light, shadow, darkShadow, outline);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 100; ++x) {
                TColor expected = 0x123456;
                if ((x == L && y >= T && y <= B - 1) || (y == T && x >= L && x <= R))
                    expected = row.c1;
                if ((x == R && y >= T + 1 && y <= B) || (y == B && x >= L && x <= R))
                    expected = row.c2;
                if ((x == L + 1 && y >= T + 1 && y <= B - 2)
                    || (y == T + 1 && x >= L + 1 && x <= R - 1))
                    expected = row.c3;
                if ((x == R - 1 && y >= T + 2 && y <= B - 1)
                    || (y == B - 1 && x >= L + 1 && x <= R - 1))
                    expected = row.c4;
                ASSERT_EQ(f.canvas().Pixel(x, y), expected) << "pixel " << x << "," << y;
            }
        EXPECT_EQ(f.canvas().Pixel(L, B), row.c2) << "bottom-left corner";
        EXPECT_EQ(f.canvas().Pixel(R, T), row.c1) << "top-right corner";
    }
}

TEST(DrawFrame, SimpleOutlineAndNone)
{
    FrameCanvas f;
    DrawFrame(f.canvas(), TFrameStyle::fsSimple, 5, 3, 50, 20, highlight, light, shadow, darkShadow,
        outline);
    for (const auto& [x, y] :
        { std::pair { 5, 3 }, { 50, 3 }, { 5, 20 }, { 50, 20 }, { 30, 3 }, { 5, 10 } })
        EXPECT_EQ(f.canvas().Pixel(x, y), outline) << x << "," << y;
    EXPECT_EQ(f.canvas().Pixel(6, 4), 0x123456u);
    EXPECT_EQ(f.canvas().Pen().Color(), outline) << "the pen keeps the last colour";

    FrameCanvas none;
    none.canvas().Pen().SetColor(clRed);
    const QImage before = none.bitmap.Image().copy();
    DrawFrame(none.canvas(), TFrameStyle::fsNone, 5, 3, 50, 20, highlight, light, shadow,
        darkShadow, outline);
    EXPECT_EQ(none.bitmap.Image(), before);
    EXPECT_EQ(none.canvas().Pen().Color(), clRed);
}

TEST(DrawFrame, DegenerateAndFarRectanglesAreSafe)
{
    FrameCanvas f;
    for (TFrameStyle style :
        { TFrameStyle::fsSimple, TFrameStyle::fsLowered, TFrameStyle::fsEngraved }) {
        DrawFrame(f.canvas(), style, 5, 5, 5, 5, highlight, light, shadow, darkShadow, outline);
        DrawFrame(f.canvas(), style, 40, 20, 10, 2, highlight, light, shadow, darkShadow, outline);
        DrawFrame(f.canvas(), style, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, highlight, light,
            shadow, darkShadow, outline);
    }
    EXPECT_EQ(f.canvas().Pixel(50, 15), 0x123456u) << "a frame far outside leaves the middle alone";
}
