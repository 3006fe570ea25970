// The vector surface: the canvas's figures as QPainter calls, for SVG and PDF. Pixel (x, y) is the
// unit square from (x, y), so lines run through pixel centres and filled boxes cover whole pixels.
// Nothing is rasterised; pen modes draw plainly, and a text's glyphs are text.
#include "znq_surface.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace znq {

namespace {

    QPointF centre(TPoint p)
    {
        return QPointF(p.x + 0.5, p.y + 0.5);
    }

    QPolygonF centres(std::span<const TPoint> points)
    {
        QPolygonF figure;
        figure.reserve(qsizetype(points.size()));
        for (const TPoint& p : points)
            figure << centre(p);
        return figure;
    }

    // The pen pattern's runs as Qt dash lengths, which count in pen widths.
    QList<qreal> dashesFor(TPenStyle style, int width)
    {
        QList<qreal> dashes;
        for (const int run : PenPatternRuns(style))
            dashes << qreal(run) / width;
        return dashes;
    }

    QPen vectorPen(const TSurfacePen& pen)
    {
        if (pen.Style == TPenStyle::psClear)
            return QPen(Qt::NoPen);
        QPen result(
            ColorToQColor(pen.Color), pen.Width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
        const QList<qreal> dashes = dashesFor(pen.Style, pen.Width);
        if (!dashes.isEmpty())
            result.setDashPattern(dashes);
        return result;
    }

    QBrush vectorBrush(const TSurfaceBrush& brush)
    {
        if (!brush.Solid)
            return QBrush(Qt::NoBrush);
        return QBrush(ColorToQColor(brush.Color));
    }

    QRectF rectOf(const TRect& rect)
    {
        return QRectF(std::min(rect.Left, rect.Right), std::min(rect.Top, rect.Bottom),
            std::abs(double(rect.Right) - rect.Left), std::abs(double(rect.Bottom) - rect.Top));
    }

} // namespace

class TVectorSurface final : public TSurface {
public:
    TVectorSurface(QPainter* painter, bool xml)
        : m_painter(painter)
        , m_xml(xml)
    {
    }

    int32_t Width() const override { return 0; }
    int32_t Height() const override { return 0; }

    void Line(const TSurfacePen& pen, TPoint from, TPoint to, uint32_t&) override
    {
        m_painter->setPen(vectorPen(pen));
        m_painter->drawLine(centre(from), centre(to));
    }

    void Polyline(const TSurfacePen& pen, std::span<const TPoint> points) override
    {
        if (points.size() < 2 || pen.Style == TPenStyle::psClear)
            return;
        m_painter->setPen(vectorPen(pen));
        m_painter->drawPolyline(centres(points));
    }

    void Polygon(
        const TSurfacePen& pen, const TSurfaceBrush& brush, std::span<const TPoint> points) override
    {
        if (points.empty())
            return;
        m_painter->setPen(vectorPen(pen));
        m_painter->setBrush(points.size() >= 3 ? vectorBrush(brush) : QBrush(Qt::NoBrush));
        m_painter->drawPolygon(centres(points));
    }

    void Rectangle(const TSurfacePen& pen, const TSurfaceBrush& brush, int32_t x1, int32_t y1,
        int32_t x2, int32_t y2) override
    {
        box(pen, brush, x1, y1, x2, y2, false);
    }

    void Ellipse(const TSurfacePen& pen, const TSurfaceBrush& brush, int32_t x1, int32_t y1,
        int32_t x2, int32_t y2) override
    {
        box(pen, brush, x1, y1, x2, y2, true);
    }

    void FillRect(const TRect& rect, TColor color) override
    {
        m_painter->fillRect(rectOf(rect), ColorToQColor(color));
    }

    // Real transparency: the painter's opacity.
    void FillPolygon(std::span<const TPoint> points, TColor color, double opacity,
        std::span<const TPoint> clip) override
    {
        if (points.size() < 3)
            return;
        m_painter->save();
        if (!clip.empty()) {
            QPainterPath path;
            path.addPolygon(centres(clip));
            path.closeSubpath();
            m_painter->setClipPath(path, Qt::IntersectClip);
        }
        m_painter->setOpacity(ClampedOpacity(opacity));
        m_painter->setPen(Qt::NoPen);
        m_painter->setBrush(ColorToQColor(color));
        m_painter->drawPolygon(centres(points));
        m_painter->restore();
    }

    // True arcs: Qt counts angles counter-clockwise with y up, the sector clockwise with y down.
    void FillSector(const TSector& sector, TColor color, double opacity) override
    {
        if (!(sector.Outer > 0))
            return;
        const QPointF c(sector.CenterX + 0.5, sector.CenterY + 0.5);
        const QRectF outer(
            c.x() - sector.Outer, c.y() - sector.Outer, 2 * sector.Outer, 2 * sector.Outer);
        const QRectF inner(
            c.x() - sector.Inner, c.y() - sector.Inner, 2 * sector.Inner, 2 * sector.Inner);
        QPainterPath path;
        path.setFillRule(Qt::OddEvenFill);
        if (!(sector.Sweep < 2 * std::numbers::pi)) {
            path.addEllipse(outer);
            if (sector.Inner > 0)
                path.addEllipse(inner);
        } else {
            const double start = -sector.Start * 180 / std::numbers::pi;
            const double sweep = -sector.Sweep * 180 / std::numbers::pi;
            path.arcMoveTo(outer, start);
            path.arcTo(outer, start, sweep);
            if (sector.Inner > 0)
                path.arcTo(inner, start + sweep, -sweep);
            else
                path.lineTo(c);
            path.closeSubpath();
        }
        m_painter->save();
        m_painter->setOpacity(ClampedOpacity(opacity));
        m_painter->setPen(Qt::NoPen);
        m_painter->setBrush(ColorToQColor(color));
        m_painter->drawPath(path);
        m_painter->restore();
    }

    // Each marker a shape of its own: the figures of the raster rule drawn as paths on the box of
    // pixels about the centre, strokes centred in it.
    void Marks(std::span<const TPoint> centres, std::span<const TColor> colors,
        const TSurfaceMark& mark) override
    {
        if (centres.empty() || colors.empty())
            return;
        const double h = (mark.Size - 1) / 2 + 0.5;
        const double stroke = mark.Stroke;
        const bool lines = mark.Shape == TMarkShape::Cross || mark.Shape == TMarkShape::Plus
            || mark.Shape == TMarkShape::Star;
        const bool filled = mark.Filled || mark.Shape == TMarkShape::Dot;
        QPainterPath shape;
        // An outline is stroked half a stroke inside the box, so that it covers the box's edge.
        const double e = lines || filled ? h : h - stroke / 2;
        switch (mark.Shape) {
        case TMarkShape::Dot:
        case TMarkShape::Square:
            shape.addRect(QRectF(-e, -e, 2 * e, 2 * e));
            break;
        case TMarkShape::Circle:
            shape.addEllipse(QPointF(0, 0), e, e);
            break;
        case TMarkShape::Diamond:
            shape.addPolygon(QPolygonF(
                { QPointF(0, -e), QPointF(e, 0), QPointF(0, e), QPointF(-e, 0), QPointF(0, -e) }));
            break;
        case TMarkShape::Triangle:
            shape.addPolygon(
                QPolygonF({ QPointF(0, -e), QPointF(e, e), QPointF(-e, e), QPointF(0, -e) }));
            break;
        case TMarkShape::Cross:
        case TMarkShape::Plus:
        case TMarkShape::Star:
            if (mark.Shape != TMarkShape::Plus) {
                shape.moveTo(-h, -h);
                shape.lineTo(h, h);
                shape.moveTo(-h, h);
                shape.lineTo(h, -h);
            }
            if (mark.Shape != TMarkShape::Cross) {
                shape.moveTo(-h, 0);
                shape.lineTo(h, 0);
                shape.moveTo(0, -h);
                shape.lineTo(0, h);
            }
            break;
        }
        m_painter->save();
        for (size_t i = 0; i < centres.size(); ++i) {
            const QColor color = ColorToQColor(colors[colors.size() == 1 ? 0 : i]);
            if (lines || !filled) {
                m_painter->setPen(QPen(color, stroke, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
                m_painter->setBrush(Qt::NoBrush);
            } else {
                m_painter->setPen(Qt::NoPen);
                m_painter->setBrush(color);
            }
            m_painter->drawPath(shape.translated(centre(centres[i])));
        }
        m_painter->restore();
    }

    void Text(TSurfaceText& text) override
    {
        QString shown = text.Shown();
        if (shown.isEmpty())
            return;
        const TRect cell = text.Cell();
        m_painter->save();
        if (text.Clip)
            m_painter->setClipRect(rectOf(*text.Clip), Qt::IntersectClip);
        const double width = double(cell.Right) - cell.Left, height = text.Height;
        if (text.Background)
            m_painter->fillRect(
                QRectF(text.At.x, text.At.y, width, height), ColorToQColor(*text.Background));
        QFont font = text.Font();
        if (m_xml) {
            // The SVG writer escapes the text but not the font name, and writes both as they come.
            font.setFamily(XmlSafeText(font.family()).toHtmlEscaped());
            shown = XmlSafeText(shown);
        }
        m_painter->setFont(font);
        m_painter->setPen(ColorToQColor(text.Color));
        m_painter->drawText(QRectF(text.At.x, text.At.y, width + height, height),
            Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine, shown);
        m_painter->restore();
    }

    void Draw(TPoint at, QSize size, const QImage& image, TCopyMode) override
    {
        if (!image.isNull())
            m_painter->drawImage(QRectF(QPointF(at.x, at.y), QSizeF(size)), image);
    }

    void DrawBlended(TPoint at, QSize size, const QImage& image, double opacity) override
    {
        m_painter->save();
        m_painter->setOpacity(ClampedOpacity(opacity));
        Draw(at, size, image, TCopyMode::cmSrcCopy);
        m_painter->restore();
    }

    void DrawTranslucent(TPoint, QRectF area, const QImage& image) override
    {
        if (!image.isNull())
            m_painter->drawImage(area, image);
    }

    TColor Pixel(int32_t, int32_t) const override { return clWhite; }

private:
    // With an outline the figure runs through the centres of its border pixels, the pen covering
    // them; without one the fill covers the whole pixels.
    void box(const TSurfacePen& pen, const TSurfaceBrush& brush, int32_t x1, int32_t y1, int32_t x2,
        int32_t y2, bool ellipse)
    {
        const double left = std::min(x1, x2), right = double(std::max(x1, x2)) - 1;
        const double top = std::min(y1, y2), bottom = double(std::max(y1, y2)) - 1;
        if (left > right || top > bottom)
            return;
        m_painter->setPen(vectorPen(pen));
        m_painter->setBrush(vectorBrush(brush));
        const QRectF figure = pen.Style == TPenStyle::psClear
            ? QRectF(left, top, right - left + 1, bottom - top + 1)
            : QRectF(left + 0.5, top + 0.5, right - left, bottom - top);
        if (ellipse)
            m_painter->drawEllipse(figure);
        else
            m_painter->drawRect(figure);
    }

    QPainter* m_painter;
    bool m_xml;
};

std::unique_ptr<TSurface> MakeVectorSurface(QPainter* painter, bool xml)
{
    return std::make_unique<TVectorSurface>(painter, xml);
}

} // namespace znq
