// The wedge layers: the wedges behind the grid, and those in front of it, each filled over the
// pixels whose centres lie in its annular sector.
#include "polchart_render.h"

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

    void drawWedges(const TpcRenderContext& context, TCanvas& canvas, TpcBarLayer layer)
    {
        if (!context.Bars || context.Bars->Count() == 0)
            return;
        const TpcClassStyle defaults;
        WedgeRun run;
        for (const TpcWedge& wedge : context.Bars->Wedges()) {
            if (wedge.Layer != layer || (!wedge.Band && !context.ClassVisible[wedge.ElemClass]))
                continue;
            TSector sectors[2];
            const int n = geometry::WedgeSectors(context.Transform, wedge, sectors);
            if (n == 0)
                continue;
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

} // namespace znq::layers
