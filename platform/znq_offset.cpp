// A surface for a part of a larger picture: every figure is moved by the part's origin before it
// reaches the part's own surface, which clips it to the part. The pixel rules depend only on
// positions relative to one another, so the part gets exactly the pixels the whole picture has
// there.
#include "znq_surface.h"

#include <vector>

namespace znq {

namespace {
    // A text moved with its cell and clip; the rest is the original's.
    class MovedText final : public TSurfaceText {
    public:
        MovedText(TSurfaceText& text, TPoint origin)
            : m_text(text)
            , m_origin(origin)
        {
            At = moved(text.At);
            Height = text.Height;
            Color = text.Color;
            Background = text.Background;
            if (text.Clip)
                Clip = movedRect(*text.Clip);
        }
        TRect Cell() override { return movedRect(m_text.Cell()); }
        const QStaticText& LaidOut() override { return m_text.LaidOut(); }
        QString Shown() override { return m_text.Shown(); }
        const QFont& Font() override { return m_text.Font(); }

    private:
        TPoint moved(TPoint p) const
        {
            return TPoint { SaturatedPixel(double(p.x) - m_origin.x),
                SaturatedPixel(double(p.y) - m_origin.y) };
        }
        TRect movedRect(const TRect& rect) const
        {
            const TPoint a = moved(TPoint { rect.Left, rect.Top });
            const TPoint b = moved(TPoint { rect.Right, rect.Bottom });
            return Rect(a.x, a.y, b.x, b.y);
        }
        TSurfaceText& m_text;
        TPoint m_origin;
    };

    class OffsetSurface final : public TSurface {
    public:
        OffsetSurface(std::unique_ptr<TSurface> inner, TPoint origin)
            : m_inner(std::move(inner))
            , m_origin(origin)
        {
        }

        int32_t Width() const override { return m_inner->Width(); }
        int32_t Height() const override { return m_inner->Height(); }
        void Line(const TSurfacePen& pen, TPoint from, TPoint to, uint32_t& phase) override
        {
            m_inner->Line(pen, moved(from), moved(to), phase);
        }
        void Polyline(const TSurfacePen& pen, std::span<const TPoint> points) override
        {
            m_inner->Polyline(pen, movedPoints(points, m_points));
        }
        void Polygon(const TSurfacePen& pen, const TSurfaceBrush& brush,
            std::span<const TPoint> points) override
        {
            m_inner->Polygon(pen, brush, movedPoints(points, m_points));
        }
        void Rectangle(const TSurfacePen& pen, const TSurfaceBrush& brush, int32_t x1, int32_t y1,
            int32_t x2, int32_t y2) override
        {
            const TPoint a = moved(TPoint { x1, y1 }), b = moved(TPoint { x2, y2 });
            m_inner->Rectangle(pen, brush, a.x, a.y, b.x, b.y);
        }
        void Ellipse(const TSurfacePen& pen, const TSurfaceBrush& brush, int32_t x1, int32_t y1,
            int32_t x2, int32_t y2) override
        {
            const TPoint a = moved(TPoint { x1, y1 }), b = moved(TPoint { x2, y2 });
            m_inner->Ellipse(pen, brush, a.x, a.y, b.x, b.y);
        }
        void FillRect(const TRect& rect, TColor color) override
        {
            const TPoint a = moved(TPoint { rect.Left, rect.Top });
            const TPoint b = moved(TPoint { rect.Right, rect.Bottom });
            m_inner->FillRect(Rect(a.x, a.y, b.x, b.y), color);
        }
        void FillPolygon(std::span<const TPoint> points, TColor color, double opacity,
            std::span<const TPoint> clip) override
        {
            std::vector<TPoint> movedClip;
            m_inner->FillPolygon(
                movedPoints(points, m_points), color, opacity, movedPoints(clip, movedClip));
        }
        void FillSector(const TSector& sector, TColor color, double opacity) override
        {
            m_inner->FillSector(movedSector(sector), color, opacity);
        }
        void FillSectorRings(const TSector& sector, std::span<const TSectorRing> rings) override
        {
            m_inner->FillSectorRings(movedSector(sector), rings);
        }
        void Marks(std::span<const TPoint> centres, std::span<const TColor> colors,
            const TSurfaceMark& mark) override
        {
            m_inner->Marks(movedPoints(centres, m_points), colors, mark);
        }
        void Text(TSurfaceText& text) override
        {
            MovedText moved(text, m_origin);
            m_inner->Text(moved);
        }
        void Draw(TPoint at, QSize size, const QImage& image, TCopyMode mode) override
        {
            m_inner->Draw(moved(at), size, image, mode);
        }
        void DrawBlended(TPoint at, QSize size, const QImage& image, double opacity) override
        {
            m_inner->DrawBlended(moved(at), size, image, opacity);
        }
        void DrawTranslucent(TPoint at, QRectF area, const QImage& image) override
        {
            m_inner->DrawTranslucent(moved(at), area, image);
        }
        TColor Pixel(int32_t x, int32_t y) const override
        {
            const TPoint p = moved(TPoint { x, y });
            return m_inner->Pixel(p.x, p.y);
        }
        void EndPainting() override { m_inner->EndPainting(); }

    private:
        TPoint moved(TPoint p) const
        {
            return TPoint { SaturatedPixel(double(p.x) - m_origin.x),
                SaturatedPixel(double(p.y) - m_origin.y) };
        }
        std::span<const TPoint> movedPoints(
            std::span<const TPoint> points, std::vector<TPoint>& buffer) const
        {
            buffer.resize(points.size());
            for (size_t i = 0; i < points.size(); ++i)
                buffer[i] = moved(points[i]);
            return buffer;
        }
        TSector movedSector(TSector sector) const
        {
            sector.CenterX -= m_origin.x;
            sector.CenterY -= m_origin.y;
            return sector;
        }

        std::unique_ptr<TSurface> m_inner;
        TPoint m_origin;
        std::vector<TPoint> m_points;
    };
} // namespace

std::unique_ptr<TSurface> MakeOffsetSurface(std::unique_ptr<TSurface> inner, TPoint origin)
{
    return std::make_unique<OffsetSurface>(std::move(inner), origin);
}

} // namespace znq
