// The wedge layers: the wedges behind the grid, and those in front of it, each filled over the
// pixels whose centres lie in its annular sector.
#include "layers/polchart_render_context.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace znq::layers {

namespace {
    // The sectors of a run of wedges with the same edges (a stack, or a wind rose's column): one
    // ring each, filled together.
    struct WedgeRun {
        TSector sectors[2];
        int count = 0;
        std::vector<TSectorRing> rings;

        bool sameEdges(const TSector (&other)[2], int n) const
        {
            if (n != count)
                return false;
            for (int k = 0; k < n; ++k)
                if (other[k].Start != sectors[k].Start || other[k].Sweep != sectors[k].Sweep)
                    return false;
            return true;
        }
        void fill(TCanvas& canvas)
        {
            for (int k = 0; k < count && !rings.empty(); ++k)
                canvas.FillSectorRings(sectors[k], rings);
            rings.clear();
        }
    };

    // An arc about the sector's centre from angle `from` over `sweep` (screen radians), as points
    // whose chords stay within a sixteenth of a pixel of it.
    void arcPoints(std::vector<TPoint>& points, const TSector& sector, double radius, double from,
        double sweep)
    {
        const int steps = geometry::ArcSteps(sweep, radius);
        for (int k = 0; k <= steps; ++k) {
            const double angle = from + sweep * k / steps;
            points.push_back(
                TPoint { geometry::RoundPixel(sector.CenterX + radius * std::cos(angle)),
                    geometry::RoundPixel(sector.CenterY + radius * std::sin(angle)) });
        }
    }

    // The outlines of the layer's wedges (not the bands): each sector's outer arc, its edges and
    // its inner arc (the centre where it starts at 0); a whole ring's two circles.
    void outlineWedges(const TpcRenderContext& context, TCanvas& canvas, TpcBarLayer layer)
    {
        const TCanvas::StateGuard keep(canvas);
        canvas.Pen().SetColor(context.Bars->OutlineColor());
        canvas.Pen().SetStyle(TPenStyle::psSolid);
        canvas.Pen().SetWidth(1);
        constexpr double turn = 2 * std::numbers::pi;
        std::vector<TPoint> points;
        for (const TpcWedge& wedge : context.Bars->Wedges()) {
            if (wedge.Band || wedge.Layer != layer || !context.ClassVisible[wedge.ElemClass])
                continue;
            TSector sectors[2];
            const int n = geometry::WedgeSectors(context.Transform, wedge, sectors);
            for (int k = 0; k < n; ++k) {
                const TSector& sector = sectors[k];
                points.clear();
                if (!(sector.Sweep < turn)) {
                    arcPoints(points, sector, sector.Outer, 0, turn);
                    canvas.Polyline(points);
                    if (sector.Inner > 0) {
                        points.clear();
                        arcPoints(points, sector, sector.Inner, 0, turn);
                        canvas.Polyline(points);
                    }
                    continue;
                }
                arcPoints(points, sector, sector.Outer, sector.Start, sector.Sweep);
                if (sector.Inner > 0)
                    arcPoints(
                        points, sector, sector.Inner, sector.Start + sector.Sweep, -sector.Sweep);
                else
                    points.push_back(TPoint { geometry::RoundPixel(sector.CenterX),
                        geometry::RoundPixel(sector.CenterY) });
                points.push_back(points.front());
                canvas.Polyline(points);
            }
        }
    }

    void drawWedges(const TpcRenderContext& context, TCanvas& canvas, TpcBarLayer layer)
    {
        if (!context.Bars || context.Bars->Count() == 0)
            return;
        const TpcClassStyle defaults;
        WedgeRun run;
        // The wedges of a stack share their angles: their edges are worked out once.
        const TpcWedge* last = nullptr;
        TSector sectors[2];
        int n = 0;
        for (const TpcWedge& wedge : context.Bars->Wedges()) {
            if (wedge.Layer != layer || (!wedge.Band && !context.ClassVisible[wedge.ElemClass]))
                continue;
            if (!last || last->PhiStart != wedge.PhiStart || last->PhiEnd != wedge.PhiEnd)
                n = geometry::WedgeEdges(context.Transform, wedge, sectors);
            last = &wedge;
            double inner = 0, outer = 0;
            if (n == 0 || !geometry::WedgeRadii(context.Transform, wedge, inner, outer))
                continue;
            for (int k = 0; k < n; ++k) {
                sectors[k].Inner = inner;
                sectors[k].Outer = outer;
            }
            const TpcClassStyle* style = wedge.Band || wedge.ElemClass >= context.ClassStyles.size()
                ? nullptr
                : context.ClassStyles[wedge.ElemClass];
            if (!style)
                style = &defaults;
            if (!run.sameEdges(sectors, n)) {
                run.fill(canvas);
                std::copy(std::begin(sectors), std::end(sectors), std::begin(run.sectors));
                run.count = n;
            }
            run.rings.push_back(TSectorRing { sectors[0].Inner, sectors[0].Outer,
                wedge.Band ? wedge.Color : style->FillColor(),
                wedge.Band ? wedge.Opacity : style->FillOpacity() });
        }
        run.fill(canvas);
        if (context.Bars->Outline())
            outlineWedges(context, canvas, layer);
    }
} // namespace

void WedgesBehind(const TpcRenderContext& context, TCanvas& canvas, TpcRenderResult&)
{
    drawWedges(context, canvas, TpcBarLayer::blBehindGrid);
}

void WedgesInFront(const TpcRenderContext& context, TCanvas& canvas, TpcRenderResult&)
{
    drawWedges(context, canvas, TpcBarLayer::blInFrontOfGrid);
}

// The wedges in front of the grid lie over those behind it, and a later wedge over an earlier one.
int WedgeAt(const TpcTransform& transform, const TpcBars& bars,
    const std::array<bool, 256>& classVisible, int32_t x, int32_t y)
{
    if (!transform.InView(x, y))
        return -1;
    for (const TpcBarLayer layer : { TpcBarLayer::blInFrontOfGrid, TpcBarLayer::blBehindGrid })
        for (int i = bars.Count() - 1; i >= 0; --i) {
            const TpcWedge& wedge = bars.Wedge(i);
            if (wedge.Layer != layer || (!wedge.Band && !classVisible[wedge.ElemClass]))
                continue;
            TSector sectors[2];
            const int n = geometry::WedgeSectors(transform, wedge, sectors);
            for (int k = 0; k < n; ++k)
                if (SectorContains(sectors[k], x, y))
                    return i;
        }
    return -1;
}

} // namespace znq::layers
