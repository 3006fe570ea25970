// The drawing surface: pixel coverage of every primitive, pen styles and widths, XOR restoring
// the picture, clipping of far-away coordinates, text cells and bitmap transfer.
#include "znq_canvas_seams.h"
#include "znq_graphics.h"

#include "../scaling.h"

#include <QGuiApplication>
#include <QPalette>
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <set>
#include <sstream>

using namespace znq;

namespace {

constexpr TColor background = 0x102030;

// A bitmap filled with a known background.
struct Surface {
    TBitmap bitmap;
    explicit Surface(int width = 40, int height = 30, TColor color = background)
        : bitmap(width, height)
    {
        clear(color);
    }
    void clear(TColor color = background)
    {
        TBrush& brush = canvas().Brush();
        const TColor old = brush.Color();
        brush.SetColor(color);
        canvas().FillRect(Rect(0, 0, bitmap.Width(), bitmap.Height()));
        brush.SetColor(old);
    }
    TCanvas& canvas() { return bitmap.Canvas(); }
    TColor at(int x, int y) { return canvas().Pixel(x, y); }
    // The set of pixels that differ from the background.
    std::set<std::pair<int, int>> inked()
    {
        std::set<std::pair<int, int>> result;
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x)
                if (at(x, y) != background)
                    result.insert({ x, y });
        return result;
    }
};

std::string describe(const std::set<std::pair<int, int>>& pixels)
{
    std::ostringstream out;
    for (const auto& [x, y] : pixels)
        out << "(" << x << "," << y << ") ";
    return out.str();
}

// Reference Bresenham without clipping: every step is computed, and only the pixels inside the
// w x h area are kept. The canvas must produce the same set however it clips.
std::set<std::pair<int, int>> referenceLine(
    int64_t x0, int64_t y0, int64_t x1, int64_t y1, int w, int h)
{
    std::set<std::pair<int, int>> result;
    const int64_t dx = std::llabs(x1 - x0), dy = std::llabs(y1 - y0);
    const int64_t sx = x1 < x0 ? -1 : 1, sy = y1 < y0 ? -1 : 1;
    const bool xMajor = dx >= dy;
    const int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    int64_t x = x0, y = y0;
    int64_t decision = 2 * minor - major;
    for (int64_t i = 0; i < major; ++i) {
        if (x >= 0 && y >= 0 && x < w && y < h)
            result.insert({ int(x), int(y) });
        if (decision > 0) {
            if (xMajor)
                y += sy;
            else
                x += sx;
            decision -= 2 * major;
        }
        decision += 2 * minor;
        if (xMajor)
            x += sx;
        else
            y += sy;
    }
    return result;
}

std::vector<uint32_t> pixelsOf(const TBitmap& bitmap)
{
    std::vector<uint32_t> result;
    const QImage& image = bitmap.Image();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            result.push_back(image.pixel(x, y));
    return result;
}

} // namespace

TEST(CanvasDefaults, NewCanvasAndBrushRule)
{
    Surface s;
    TCanvas& c = s.canvas();
    EXPECT_EQ(c.Pen().Width(), 1);
    EXPECT_EQ(c.Pen().Style(), TPenStyle::psSolid);
    EXPECT_EQ(c.Pen().Mode(), TPenMode::pmCopy);
    EXPECT_EQ(c.Brush().Style(), TBrushStyle::bsSolid);
    EXPECT_EQ(c.CopyMode(), TCopyMode::cmSrcCopy);

    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.Brush().SetColor(clRed);
    EXPECT_EQ(c.Brush().Style(), TBrushStyle::bsSolid)
        << "a brush colour write makes the brush solid";
    c.Pen().SetWidth(0);
    EXPECT_EQ(c.Pen().Width(), 1);
}

TEST(CanvasLines, LineToLeavesOutEndPointAndMovesPen)
{
    Surface s;
    TCanvas& c = s.canvas();
    c.Pen().SetColor(clWhite);
    c.MoveTo(2, 3);
    c.LineTo(6, 3);
    EXPECT_EQ(c.PenPos(), (TPoint { 6, 3 }));
    EXPECT_EQ(
        s.inked(), (std::set<std::pair<int, int>> { { 2, 3 }, { 3, 3 }, { 4, 3 }, { 5, 3 } }));

    s.clear();
    c.MoveTo(5, 5);
    c.LineTo(5, 5);
    EXPECT_TRUE(s.inked().empty()) << "a line to its own start point draws nothing";
}

TEST(CanvasLines, MatchReferenceBresenhamInEveryOctant)
{
    Surface s(40, 30);
    TCanvas& c = s.canvas();
    c.Pen().SetColor(clWhite);
    const std::pair<int, int> ends[] = { { 30, 7 }, { 7, 25 }, { -10, 12 }, { 3, -9 }, { 31, -4 },
        { -2, 29 }, { 19, 13 }, { 20, 25 }, { 29, 14 } };
    for (const auto& [ex, ey] : ends) {
        s.clear();
        c.MoveTo(20, 14);
        c.LineTo(ex, ey);
        SCOPED_TRACE("line to (" + std::to_string(ex) + "," + std::to_string(ey) + ")");
        const auto expected = referenceLine(20, 14, ex, ey, 40, 30);
        EXPECT_EQ(s.inked(), expected)
            << describe(s.inked()) << "\nexpected " << describe(expected);
    }
}

TEST(CanvasLines, ClippedLinesKeepTheirPixels)
{
    // Random lines with end points far outside the image: the visible part must be exactly the
    // pixels the unclipped stepping produces.
    const unsigned seed = 20261207;
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> nearby(-200, 240);
    Surface s(40, 30);
    TCanvas& c = s.canvas();
    c.Pen().SetColor(clWhite);
    for (int round = 0; round < 300; ++round) {
        const int x0 = nearby(random), y0 = nearby(random), x1 = nearby(random),
                  y1 = nearby(random);
        s.clear();
        c.MoveTo(x0, y0);
        c.LineTo(x1, y1);
        const auto expected = referenceLine(x0, y0, x1, y1, 40, 30);
        ASSERT_EQ(s.inked(), expected)
            << "line (" << x0 << "," << y0 << ")-(" << x1 << "," << y1 << ")";
    }
}

TEST(CanvasLines, ExtremeCoordinatesAreSafe)
{
    Surface s(40, 30);
    TCanvas& c = s.canvas();
    c.Pen().SetColor(clWhite);
    constexpr int32_t lo = std::numeric_limits<int32_t>::min(),
                      hi = std::numeric_limits<int32_t>::max();
    // The main diagonal through the whole 32-bit plane crosses the image on x == y.
    c.MoveTo(lo + 1, lo + 1);
    c.LineTo(hi, hi);
    std::set<std::pair<int, int>> diagonal;
    for (int i = 0; i < 30; ++i)
        diagonal.insert({ i, i });
    EXPECT_EQ(s.inked(), diagonal);

    s.clear();
    c.MoveTo(lo, hi);
    c.LineTo(hi, lo);
    c.MoveTo(lo, 5);
    c.LineTo(hi, 5);
    c.Rectangle(lo, lo, hi, hi);
    c.Ellipse(lo, lo, hi, hi);
    const TPoint far[] = { { lo, lo }, { hi, 0 }, { 0, hi } };
    c.Polygon(far);
    c.Polyline(far);
    c.TextOut(hi, hi, "far away");
    SUCCEED();
}

TEST(CanvasLines, PolylineIsAChainOfLineTosAndKeepsPenPosition)
{
    Surface a, b;
    for (TCanvas* c : { &a.canvas(), &b.canvas() })
        c->Pen().SetColor(clWhite);
    const TPoint points[] = { { 3, 3 }, { 20, 8 }, { 10, 25 }, { 35, 20 } };
    a.canvas().MoveTo(1, 1);
    a.canvas().Polyline(points);
    EXPECT_EQ(a.canvas().PenPos(), (TPoint { 1, 1 }));
    EXPECT_EQ(TCanvasSeams::PolylineCount(a.canvas()), 1);
    b.canvas().MoveTo(3, 3);
    for (size_t i = 1; i < std::size(points); ++i)
        b.canvas().LineTo(points[i].x, points[i].y);
    EXPECT_EQ(a.inked(), b.inked());
    EXPECT_FALSE(a.inked().count({ 35, 20 })) << "the last point is left out";
}

TEST(CanvasRectangle, CoversSmallerToLargerMinusOneInAnyOrder)
{
    Surface s;
    TCanvas& c = s.canvas();
    c.Pen().SetColor(clWhite);
    c.Brush().SetColor(clRed);
    const int corners[][4]
        = { { 5, 4, 15, 10 }, { 15, 10, 5, 4 }, { 15, 4, 5, 10 }, { 5, 10, 15, 4 } };
    for (const auto& r : corners) {
        s.clear();
        c.Rectangle(r[0], r[1], r[2], r[3]);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                const bool inside = x >= 5 && x <= 14 && y >= 4 && y <= 9;
                const bool border = inside && (x == 5 || x == 14 || y == 4 || y == 9);
                const TColor expected = border ? clWhite : inside ? clRed : background;
                ASSERT_EQ(s.at(x, y), expected) << "corners " << r[0] << "," << r[1] << "," << r[2]
                                                << "," << r[3] << " pixel " << x << "," << y;
            }
    }
}

TEST(CanvasRectangle, DegenerateAndClearCases)
{
    Surface s;
    TCanvas& c = s.canvas();
    c.Pen().SetColor(clWhite);
    c.Rectangle(7, 7, 8, 8);
    EXPECT_EQ(s.inked(), (std::set<std::pair<int, int>> { { 7, 7 } })) << "1 x 1 is one pixel";
    s.clear();
    c.Rectangle(7, 7, 7, 12);
    EXPECT_TRUE(s.inked().empty()) << "zero width draws nothing";

    s.clear();
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.Rectangle(2, 2, 8, 6);
    EXPECT_EQ(s.at(4, 4), background) << "a clear brush leaves the interior";
    EXPECT_EQ(s.at(2, 2), clWhite);

    s.clear();
    c.Pen().SetStyle(TPenStyle::psClear);
    c.Brush().SetColor(clRed);
    c.Rectangle(2, 2, 8, 6);
    EXPECT_EQ(s.at(2, 2), clRed) << "without a pen the brush covers the whole rectangle";
    EXPECT_EQ(s.at(7, 5), clRed);
    EXPECT_EQ(s.at(8, 6), background);
}

TEST(CanvasEllipse, InscribedInTheRectangleBox)
{
    Surface s(50, 50);
    TCanvas& c = s.canvas();
    c.Pen().SetColor(clWhite);
    c.Brush().SetColor(clRed);
    for (const auto& box :
        { std::array<int, 4> { 5, 8, 36, 27 }, std::array<int, 4> { 36, 27, 5, 8 },
            std::array<int, 4> { 10, 10, 31, 31 }, std::array<int, 4> { 10, 10, 30, 30 } }) {
        s.clear();
        c.Ellipse(box[0], box[1], box[2], box[3]);
        const int left = std::min(box[0], box[2]), right = std::max(box[0], box[2]) - 1;
        const int top = std::min(box[1], box[3]), bottom = std::max(box[1], box[3]) - 1;
        int minX = 99, maxX = -1, minY = 99, maxY = -1;
        for (const auto& [x, y] : s.inked()) {
            minX = std::min(minX, x), maxX = std::max(maxX, x);
            minY = std::min(minY, y), maxY = std::max(maxY, y);
            // Mirror symmetry about both axes of the box.
            ASSERT_EQ(s.at(x, y), s.at(left + right - x, y)) << x << "," << y;
            ASSERT_EQ(s.at(x, y), s.at(x, top + bottom - y)) << x << "," << y;
        }
        EXPECT_EQ(minX, left);
        EXPECT_EQ(maxX, right);
        EXPECT_EQ(minY, top);
        EXPECT_EQ(maxY, bottom);
        EXPECT_EQ(s.at((left + right) / 2, (top + bottom) / 2), clRed) << "interior filled";
        EXPECT_EQ(s.at(left, top), background) << "box corners stay outside";
    }
}

TEST(CanvasEllipse, OutlineIsConnectedAndThin)
{
    Surface s(60, 60);
    TCanvas& c = s.canvas();
    c.Pen().SetColor(clWhite);
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.Ellipse(5, 5, 56, 56);
    const auto outline = s.inked();
    // Every outline pixel has exactly two 8-neighbours on the outline or is part of a short run:
    // count neighbours and require 2 or 3, never isolated pixels or blobs.
    for (const auto& [x, y] : outline) {
        int neighbours = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if ((dx || dy) && outline.count({ x + dx, y + dy }))
                    ++neighbours;
        EXPECT_GE(neighbours, 2) << x << "," << y;
        EXPECT_LE(neighbours, 3) << x << "," << y;
    }
}

TEST(CanvasPolygon, FillsInteriorAndOutlinesEachVertex)
{
    Surface s;
    TCanvas& c = s.canvas();
    c.Pen().SetColor(clWhite);
    c.Brush().SetColor(clRed);
    const TPoint square[] = { { 5, 5 }, { 15, 5 }, { 15, 12 }, { 5, 12 } };
    c.Polygon(square);
    EXPECT_EQ(s.at(10, 8), clRed);
    for (const TPoint& p : square)
        EXPECT_EQ(s.at(p.x, p.y), clWhite) << p.x << "," << p.y;
    EXPECT_EQ(s.at(16, 8), background);
    EXPECT_EQ(s.at(10, 13), background);
}

TEST(CanvasXor, EveryFigureDrawnTwiceRestoresThePicture)
{
    Surface s(64, 48);
    TCanvas& c = s.canvas();
    // A picture with structure, so that restoring is a real check.
    for (int i = 0; i < 48; i += 3) {
        c.Pen().SetColor(0x010101 * static_cast<TColor>(i * 5) + 0x30);
        c.MoveTo(0, i);
        c.LineTo(64, 48 - i);
    }
    const auto before = pixelsOf(s.bitmap);
    const TPoint poly[] = { { 3, 40 }, { 30, 2 }, { 60, 45 }, { 20, 30 } };
    const std::vector<std::function<void()>> figures = {
        [&] { c.MoveTo(2, 3), c.LineTo(61, 40); },
        [&] { c.Rectangle(10, 10, 50, 30); },
        [&] { c.Rectangle(50, 30, 10, 10); },
        [&] { c.Ellipse(4, 6, 55, 44); },
        [&] { c.Polygon(poly); },
        [&] { c.Polyline(poly); },
    };
    for (int width : { 1, 3 })
        for (TPenStyle style : { TPenStyle::psSolid, TPenStyle::psDot, TPenStyle::psDashDotDot })
            for (TBrushStyle brush : { TBrushStyle::bsClear, TBrushStyle::bsSolid })
                for (size_t f = 0; f < figures.size(); ++f) {
                    c.Pen().SetMode(TPenMode::pmXor);
                    c.Pen().SetColor(clWhite);
                    c.Pen().SetWidth(width);
                    c.Pen().SetStyle(style);
                    c.Brush().SetColor(0x00FF00);
                    c.Brush().SetStyle(brush);
                    figures[f]();
                    const bool changed = pixelsOf(s.bitmap) != before;
                    figures[f]();
                    ASSERT_TRUE(changed) << "figure " << f;
                    ASSERT_EQ(pixelsOf(s.bitmap), before)
                        << "figure " << f << " width " << width << " style " << int(style);
                }
}

TEST(CanvasXor, RectangleOutlineInvertsEachPixelOnceCornersIncluded)
{
    Surface s;
    TCanvas& c = s.canvas();
    c.Pen().SetMode(TPenMode::pmXor);
    c.Pen().SetColor(clWhite);
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.Rectangle(4, 3, 20, 12);
    const TColor inverted = background ^ 0xFFFFFF;
    for (const auto& [x, y] :
        { std::pair { 4, 3 }, { 19, 3 }, { 4, 11 }, { 19, 11 }, { 10, 3 }, { 4, 7 } })
        EXPECT_EQ(s.at(x, y), inverted) << x << "," << y;
    EXPECT_EQ(s.inked().size(), size_t(2 * 16 + 2 * 7));
}

TEST(CanvasPenStyles, PatternsStepOncePerPixelAndWidthsStamp)
{
    Surface s(120, 20);
    TCanvas& c = s.canvas();
    c.Pen().SetColor(clWhite);
    auto row = [&](int y) {
        std::string bits;
        for (int x = 0; x < 24; ++x)
            bits += s.at(x, y) == clWhite ? '#' : '.';
        return bits;
    };
    c.Pen().SetStyle(TPenStyle::psDot);
    c.MoveTo(0, 2);
    c.LineTo(100, 2);
    EXPECT_EQ(row(2), "###...###...###...###...");
    c.Pen().SetStyle(TPenStyle::psDashDot);
    c.MoveTo(0, 4);
    c.LineTo(100, 4);
    EXPECT_EQ(row(4), "#########......###......");

    // Every style draws at width 1 and 3, psClear nothing; a width-3 horizontal line is 3 rows.
    for (int width : { 1, 3 })
        for (int style = 0; style <= 6; ++style) {
            s.clear();
            c.Pen().SetWidth(width);
            c.Pen().SetStyle(static_cast<TPenStyle>(style));
            c.MoveTo(5, 10);
            c.LineTo(110, 10);
            const auto ink = s.inked();
            SCOPED_TRACE("style " + std::to_string(style) + " width " + std::to_string(width));
            if (style == int(TPenStyle::psClear)) {
                EXPECT_TRUE(ink.empty());
                continue;
            }
            ASSERT_FALSE(ink.empty());
            std::set<int> rows;
            for (const auto& p : ink)
                rows.insert(p.second);
            EXPECT_EQ(rows.size(), size_t(width));
        }
}

TEST(CanvasText, TextOutCellPenPositionAndBrush)
{
    Surface s(120, 40, clWhite);
    TCanvas& c = s.canvas();
    c.Font().SetColor(clBlack);
    c.Brush().SetColor(clRed);
    const std::string text = "Ag 12";
    const int w = c.TextWidth(text), h = c.TextHeight(text);
    ASSERT_GT(w, 10);
    ASSERT_GT(h, 8);
    EXPECT_EQ(c.TextHeight("two\nlines"), h);
    c.TextOut(10, 5, text);
    EXPECT_EQ(c.PenPos(), (TPoint { 10 + w, 5 }));
    // The cell is filled exactly: its corners carry the brush, the pixels beside it do not.
    EXPECT_EQ(s.at(10, 5), clRed);
    EXPECT_EQ(s.at(10 + w - 1, 5 + h - 1), clRed);
    EXPECT_EQ(s.at(9, 5), clWhite);
    EXPECT_EQ(s.at(10 + w, 5), clWhite);
    EXPECT_EQ(s.at(10, 5 + h), clWhite);

    s.clear(clWhite);
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.TextOut(10, 5, text);
    EXPECT_EQ(s.at(10, 5), clWhite) << "a clear brush leaves the cell background";
    bool anyInk = false;
    for (int y = 5; y < 5 + h; ++y)
        for (int x = 10; x < 10 + w; ++x)
            anyInk |= s.at(x, y) != clWhite;
    EXPECT_TRUE(anyInk);
}

TEST(CanvasText, TextRectFillsTheWholeRectangleAndClips)
{
    Surface s(120, 40, clWhite);
    TCanvas& c = s.canvas();
    c.Brush().SetColor(0x00FF00);
    c.TextRect(Rect(20, 10, 60, 30), 25, 12, "a long text that overflows the box");
    EXPECT_EQ(s.at(20, 10), 0x00FF00u);
    EXPECT_EQ(s.at(59, 29), 0x00FF00u);
    for (int y = 0; y < 40; ++y) {
        EXPECT_EQ(s.at(60, y), clWhite) << "clipped at the right edge, row " << y;
        EXPECT_EQ(s.at(19, y), clWhite);
    }
}

TEST(CanvasText, SymbolFontDrawsGreek)
{
    EXPECT_EQ(SymbolToUnicode("p/2"), QString::fromUtf8("π/2"));
    EXPECT_EQ(SymbolToUnicode("aW"), QString::fromUtf8("αΩ"));
    Surface s(60, 30, clWhite);
    TCanvas& c = s.canvas();
    // W and Omega differ in width, so the comparison fails if the letter is drawn as it is.
    c.Font().SetName("Symbol");
    const int symbolWidth = c.TextWidth("W");
    c.Font().SetName("DejaVu Sans");
    EXPECT_EQ(symbolWidth, c.TextWidth("Ω"));
    EXPECT_NE(symbolWidth, c.TextWidth("W"));
}

TEST(CanvasDraw, CopyAndAndModes)
{
    Surface target(20, 20, 0x0F0F0F);
    TBitmap source(4, 3);
    source.Canvas().Brush().SetColor(0x3C3C3C);
    source.Canvas().FillRect(Rect(0, 0, 4, 3));
    target.canvas().Draw(18, 18, source);
    EXPECT_EQ(target.at(18, 18), 0x3C3C3Cu);
    EXPECT_EQ(target.at(19, 19), 0x3C3C3Cu);
    EXPECT_EQ(target.at(17, 18), 0x0F0F0Fu);
    target.canvas().SetCopyMode(TCopyMode::cmSrcAnd);
    target.canvas().Draw(-2, -1, source);
    EXPECT_EQ(target.at(0, 0), 0x0C0C0Cu) << "AND of 0x3C and 0x0F";
    EXPECT_EQ(target.at(2, 0), 0x0F0F0Fu);
}

TEST(Bitmap, ResizeKeepsObjectAndZeroSizeIsSafe)
{
    TBitmap bitmap(10, 10);
    TCanvas* canvas = &bitmap.Canvas();
    bitmap.SetWidth(0);
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Height(), 10);
    EXPECT_EQ(&bitmap.Canvas(), canvas);
    canvas->MoveTo(0, 0);
    canvas->LineTo(5, 5);
    canvas->Rectangle(0, 0, 10, 10);
    canvas->Ellipse(0, 0, 10, 10);
    canvas->TextOut(0, 0, "x");
    canvas->TextRect(Rect(0, 0, 5, 5), 0, 0, "x");
    bitmap.SetSize(-5, 3);
    EXPECT_EQ(bitmap.Width(), 0);
    bitmap.SetSize(7, 8);
    EXPECT_EQ(bitmap.Image().width(), 7);
    canvas->Pen().SetColor(clRed);
    canvas->MoveTo(0, 0);
    canvas->LineTo(7, 0);
    EXPECT_EQ(canvas->Pixel(6, 0), clRed);
}

TEST(FontAndColor, AssignCopiesAllFourAndNotifiesOnce)
{
    TFont a, b;
    a.SetName("DejaVu Serif");
    a.SetSize(12);
    a.SetColor(clNavy);
    a.SetStyle(TFontStyle::fsBold | TFontStyle::fsItalic);
    int notifications = 0;
    b.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &b);
        ++notifications;
    };
    b.Assign(a);
    EXPECT_EQ(notifications, 1);
    EXPECT_EQ(b.Name(), "DejaVu Serif");
    EXPECT_EQ(b.Size(), 12);
    EXPECT_EQ(b.Height(), -16);
    EXPECT_EQ(b.Color(), clNavy);
    EXPECT_EQ(b.Style(), TFontStyle::fsBold | TFontStyle::fsItalic);
    b.SetSize(8);
    EXPECT_EQ(notifications, 2);
    EXPECT_EQ(b.Height(), -11);
    // Readable and writable by identifier.
    EXPECT_TRUE(b.setProperty("Style", QString("fsUnderline")));
    EXPECT_EQ(b.Style(), TFontStyles(TFontStyle::fsUnderline));
}

TEST(FontAndColor, NamedAndSystemColours)
{
    EXPECT_EQ(ColorToRGB(clRed), 0xFFFF0000u);
    EXPECT_EQ(ColorToRGB(clNavy), 0xFF000080u);
    EXPECT_EQ(ColorToRGB(0xF4FCFF), 0xFFFFFCF4u);
    EXPECT_EQ(RGBToColor(0xFFFFFCF4u), 0xF4FCFFu);
    const QPalette saved = QGuiApplication::palette();
    QPalette palette = saved;
    palette.setColor(QPalette::Button, QColor(0x12, 0x34, 0x56));
    palette.setColor(QPalette::Dark, QColor(0x40, 0x41, 0x42));
    QGuiApplication::setPalette(palette);
    EXPECT_EQ(ColorToRGB(clBtnFace), 0xFF123456u);
    EXPECT_EQ(ColorToRGB(clBtnShadow), 0xFF404142u);
    QGuiApplication::setPalette(saved);
}

// A wide pen covers exactly the squares of the pen width centred on the pixels that a one-pixel
// pen of the same style draws, in copy and XOR mode, for lines, polylines, rectangles and
// ellipses.
TEST(CanvasWidePen, CoversTheSquaresOfTheOnePixelStroke)
{
    const TPoint poly[] = { { 20, 90 }, { 60, 12 }, { 130, 100 }, { 40, 70 }, { 150, 30 } };
    const std::vector<std::pair<const char*, std::function<void(TCanvas&)>>> figures = {
        { "line", [](TCanvas& c) { c.MoveTo(15, 20), c.LineTo(150, 95); } },
        { "polyline", [&](TCanvas& c) { c.Polyline(poly); } },
        { "rectangle", [](TCanvas& c) { c.Rectangle(30, 25, 140, 90); } },
        { "ellipse", [](TCanvas& c) { c.Ellipse(20, 15, 150, 100); } },
    };
    for (const auto& [name, draw] : figures)
        for (int width : { 2, 3, 8, 31 })
            for (TPenStyle style : { TPenStyle::psSolid, TPenStyle::psDashDot })
                for (TPenMode mode : { TPenMode::pmCopy, TPenMode::pmXor }) {
                    SCOPED_TRACE(std::string(name) + " width " + std::to_string(width));
                    Surface thin(170, 120), wide(170, 120);
                    // The reference stroke in copy mode: in XOR a crossing would cancel out.
                    for (Surface* s : { &thin, &wide }) {
                        TCanvas& c = s->canvas();
                        c.Pen().SetColor(clWhite);
                        c.Pen().SetStyle(style);
                        c.Pen().SetMode(s == &wide ? mode : TPenMode::pmCopy);
                        c.Brush().SetStyle(TBrushStyle::bsClear);
                        c.Pen().SetWidth(s == &wide ? width : 1);
                        draw(c);
                    }
                    std::set<std::pair<int, int>> squares;
                    const int a = (width - 1) / 2;
                    for (const auto& [x, y] : thin.inked())
                        for (int dy = 0; dy < width; ++dy)
                            for (int dx = 0; dx < width; ++dx)
                                if (x - a + dx >= 0 && x - a + dx < 170 && y - a + dy >= 0
                                    && y - a + dy < 120)
                                    squares.insert({ x - a + dx, y - a + dy });
                    ASSERT_EQ(wide.inked(), squares);
                }
}

// The cost of a wide stroke follows the area it covers: eight times the width, about eight times
// the time (stamping a square per pixel would take sixty-four).
TEST(CanvasWidePen, CostGrowsWithTheAreaNotTheSquareOfTheWidth)
{
    Surface s(1200, 1200);
    TCanvas& c = s.canvas();
    const double ratio = znq::testing_support::GrowthRatio(
        [&](size_t width) {
            c.Pen().SetWidth(int(width));
            c.MoveTo(100, 600);
            c.LineTo(1100, 600);
        },
        60);
    EXPECT_LT(ratio, znq::testing_support::LinearGrowthLimit);
}

// Laid-out texts are kept within a few MB, very long ones not at all; any text measures without
// wrapping, however wide.
TEST(CanvasText, KeptTextsAreBoundedAndWidthsDoNotWrap)
{
    Surface s(100, 40);
    TCanvas& c = s.canvas();
    c.Font().SetName("DejaVu Sans");
    c.Font().SetHeight(-12);
    for (int i = 0; i < 100; ++i) {
        const std::string text = std::to_string(i) + std::string(3000, 'x');
        c.TextOut(0, 0, text);
        ASSERT_LE(TCanvasSeams::TextCacheBytes(c), size_t(4) << 20);
    }
    c.TextOut(0, 0, "short");
    const size_t kept = TCanvasSeams::TextCacheBytes(c);
    c.TextOut(0, 0, std::string(200000, 'y'));
    EXPECT_EQ(TCanvasSeams::TextCacheBytes(c), kept) << "a very long text is not kept";

    c.Font().SetHeight(-6000);
    const int64_t one = c.TextWidth("W");
    const int64_t many = c.TextWidth(std::string(8000, 'W'));
    EXPECT_GT(many, int64_t(1) << 25) << "beyond Qt's 26.6 fixed-point sum";
    EXPECT_NEAR(double(many), 8000.0 * double(one), 8000.0 * double(one) / 100);
}

// Character heights at the ends of the integer range give a usable Qt font, and a size in points
// at the ends a height in range.
TEST(CanvasFont, ExtremeSizesStayDefined)
{
    TFont font;
    for (int height : { INT_MIN, INT_MIN + 1, -INT_MAX / 3, INT_MAX / 4 + 1, INT_MAX, 0 }) {
        font.SetHeight(height);
        const int pixels = font.ToQFont().pixelSize();
        EXPECT_GE(pixels, 1) << height;
        EXPECT_LE(pixels, TFont::MaxPixelSize) << height;
        (void)font.Size();
    }
    font.SetSize(INT_MAX);
    EXPECT_LT(font.Height(), 0);
    font.SetSize(INT_MIN);
    EXPECT_GT(font.Height(), 0);
}
