// The wedge layers: the wedges behind the grid, and those in front of it, each filled over the
// pixels whose centres lie in its annular sector.
#include "polchart_render.h"

namespace znq::layers {

namespace {
    void drawWedges(const TpcRenderContext& context, TCanvas& canvas, TpcBarLayer layer)
    {
        if (!context.Bars || context.Bars->Count() == 0)
            return;
        const TCanvas::StateGuard keep(canvas);
        const TpcClassStyle defaults;
        for (const TpcWedge& wedge : context.Bars->Wedges()) {
            if (wedge.Layer != layer || (!wedge.Band && !context.ClassVisible[wedge.ElemClass]))
                continue;
            const TpcClassStyle* style = wedge.Band || wedge.ElemClass >= context.ClassStyles.size()
                ? nullptr
                : context.ClassStyles[wedge.ElemClass];
            if (!style)
                style = &defaults;
            canvas.Brush().SetColor(wedge.Band ? wedge.Color : style->FillColor());
            const double opacity = wedge.Band ? wedge.Opacity : style->FillOpacity();
            TSector sectors[2];
            const int n = geometry::WedgeSectors(context.Transform, wedge, sectors);
            for (int k = 0; k < n; ++k)
                canvas.FillSector(sectors[k], opacity);
        }
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
