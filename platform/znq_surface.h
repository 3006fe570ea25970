// The surfaces below the canvas: they draw in device pixels what the canvas has mapped there. The
// raster surface writes an image by the exact pixel rules of the canvas; the vector surface hands
// the same figures to a QPainter (SVG, PDF). Internal to the platform library.
#pragma once

#include "znq_graphics.h"

#include <QFont>
#include <QRectF>
#include <QStaticText>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <span>

class QPainter;

namespace znq {

/// The pen as a surface strokes with it: the canvas pen's colour, style and mode, its width in
/// device pixels, and the device pixels per step of its pattern.
struct TSurfacePen {
    TColor Color = clBlack;
    TPenStyle Style = TPenStyle::psSolid;
    TPenMode Mode = TPenMode::pmCopy;
    int32_t Width = 1;
    uint32_t Stretch = 1;
};

/// The brush as a surface fills with it.
struct TSurfaceBrush {
    TColor Color = clWhite;
    bool Solid = true;
};

/// A marker in device pixels: its shape, the side of its box (odd) and the width of its strokes
/// and outlines.
struct TSurfaceMark {
    TMarkShape Shape = TMarkShape::Square;
    int32_t Size = 1;
    bool Filled = true;
    int32_t Stroke = 1;
    friend bool operator==(const TSurfaceMark&, const TSurfaceMark&) = default;
};

/// A device coordinate from a real one: NaN gives 0, values beyond the 32-bit range its ends.
inline int32_t SaturatedPixel(double value)
{
    if (!(value == value))
        return 0;
    return static_cast<int32_t>(std::clamp(value, -2147483648.0, 2147483647.0));
}

/// An opacity within 0 .. 1; NaN counts as 0, nothing drawn.
inline double ClampedOpacity(double opacity)
{
    return std::clamp(std::isnan(opacity) ? 0.0 : opacity, 0.0, 1.0);
}

/// The on and off runs of a pen pattern, stepped once per pixel: dash 18 on 6 off, dot 3 on 3 off,
/// dash-dot 9-6-3-6, dash-dot-dot 9-3-3-3-3-3; empty for a solid pen.
std::span<const int> PenPatternRuns(TPenStyle style);

/// A text to draw, in device pixels; measured and laid out only when a surface asks.
class TSurfaceText {
public:
    virtual ~TSurfaceText() = default;
    /// The top-left corner of the text cell.
    TPoint At;
    /// The cell's height.
    int32_t Height = 0;
    /// The colour of the glyphs.
    TColor Color = clBlack;
    /// When set, the cell is filled with this colour first.
    std::optional<TColor> Background;
    /// When set, the glyphs are clipped to this rectangle (right and bottom exclusive).
    std::optional<TRect> Clip;
    /// The cell, right and bottom exclusive: its width needs the text measured.
    virtual TRect Cell() = 0;
    /// The text laid out in Font().
    virtual const QStaticText& LaidOut() = 0;
    /// The characters shown.
    virtual QString Shown() = 0;
    /// The font at device size.
    virtual const QFont& Font() = 0;
};

/// Where the canvas's figures go, in device pixels. Figures follow the canvas's rules: a line
/// leaves out its end point, boxes run from x1, y1 to x2 - 1, y2 - 1, polygons are filled by the
/// odd-even rule on pixel centres.
class TSurface {
public:
    virtual ~TSurface() = default;
    /// The size in device pixels; 0 x 0 for a surface without pixels of its own.
    virtual int32_t Width() const = 0;
    /// The height in device pixels.
    virtual int32_t Height() const = 0;
    /// A line from `from` towards `to`, end point left out; the pattern starts at phase, which
    /// advances by the line's steps.
    virtual void Line(const TSurfacePen& pen, TPoint from, TPoint to, uint32_t& phase) = 0;
    /// Connected lines through the points, the pattern starting at 0.
    virtual void Polyline(const TSurfacePen& pen, std::span<const TPoint> points) = 0;
    /// A closed outline, its interior filled.
    virtual void Polygon(
        const TSurfacePen& pen, const TSurfaceBrush& brush, std::span<const TPoint> points)
        = 0;
    /// A box: outline on its border pixels, interior filled.
    virtual void Rectangle(const TSurfacePen& pen, const TSurfaceBrush& brush, int32_t x1,
        int32_t y1, int32_t x2, int32_t y2)
        = 0;
    /// The ellipse inscribed in the box.
    virtual void Ellipse(const TSurfacePen& pen, const TSurfaceBrush& brush, int32_t x1, int32_t y1,
        int32_t x2, int32_t y2)
        = 0;
    /// The rectangle filled with the colour.
    virtual void FillRect(const TRect& rect, TColor color) = 0;
    /// A polygon's interior blended with the colour at an opacity of 0 .. 1; where clip has
    /// points, only inside the clip polygon too.
    virtual void FillPolygon(
        std::span<const TPoint> points, TColor color, double opacity, std::span<const TPoint> clip)
        = 0;
    /// A sector's pixels (in device pixels) blended with the colour at an opacity of 0 .. 1.
    virtual void FillSector(const TSector& sector, TColor color, double opacity) = 0;
    /// Each ring in turn as FillSector with the ring's radii, colour and opacity.
    virtual void FillSectorRings(const TSector& sector, std::span<const TSectorRing> rings)
    {
        for (const TSectorRing& ring : rings) {
            TSector part = sector;
            part.Inner = ring.Inner;
            part.Outer = ring.Outer;
            FillSector(part, ring.Color, ring.Opacity);
        }
    }
    /// A marker centred on each point, in colors[i], or colors[0] for all.
    virtual void Marks(
        std::span<const TPoint> centres, std::span<const TColor> colors, const TSurfaceMark& mark)
        = 0;
    /// Text.
    virtual void Text(TSurfaceText& text) = 0;
    /// An image with its top-left corner at `at`, covering size device pixels, combined by mode.
    virtual void Draw(TPoint at, QSize size, const QImage& image, TCopyMode mode) = 0;
    /// An image blended at an opacity of 0 .. 1.
    virtual void DrawBlended(TPoint at, QSize size, const QImage& image, double opacity) = 0;
    /// An image with an alpha channel (not premultiplied), each pixel blended by its own alpha as
    /// DrawBlended blends at an opacity: on a raster surface its pixels are the device's from
    /// `at`; a vector surface draws it over the rectangle `area`.
    virtual void DrawTranslucent(TPoint at, QRectF area, const QImage& image) = 0;
    /// The pixel at (x, y) of the surface's own picture; clWhite where it has none.
    virtual TColor Pixel(int32_t x, int32_t y) const = 0;
    /// Ends whatever painter the surface keeps open.
    virtual void EndPainting() { }
};

/// A surface that writes into *image, which its owner keeps alive and may resize or replace.
std::unique_ptr<TSurface> MakeRasterSurface(QImage* image);
/// A surface that hands its figures to painter, which must outlive it. With xml, the painter
/// writes XML that keeps texts and font names as Qt gives them: texts lose the characters XML
/// cannot hold, and font names are passed escaped.
std::unique_ptr<TSurface> MakeVectorSurface(QPainter* painter, bool xml);

/// A surface that moves every figure by -origin before handing it to inner: inner's pixels are
/// the part of a larger picture whose top-left device pixel is origin.
std::unique_ptr<TSurface> MakeOffsetSurface(std::unique_ptr<TSurface> inner, TPoint origin);

} // namespace znq
