/// \file
/// One paint of the chart as data: the render context that every layer reads, the result a paint
/// hands back, and the layers, each drawing one kind of picture on a canvas and nothing else.
#pragma once

#include "layers/polchart_raster_render.h"
#include "model/polchart_chart_style.h"
#include "polchart_bars.h"
#include "polchart_classstyle.h"
#include "polchart_crosshair.h"
#include "polchart_legend.h"
#include "polchart_raster.h"
#include "polchart_textlabel.h"
#include "view/polchart_geometry.h"
#include "view/polchart_snap.h"
#include "view/polchart_viewport.h"

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace znq {

/// What a paint draws from, built once per paint. It refers to the chart's state, which does not
/// change while the layers run.
struct TpcRenderContext {
    /// The mapping of the view.
    TpcTransform Transform;
    /// The view.
    TpcViewState View;
    /// The control's area and shadow, in the chart's own pixels.
    TpcViewArea Area;
    /// The radius of the outer circle in pixels.
    int32_t OuterRadius = 0;
    /// The look of grid, scales and shadow.
    const TpcChartStyle& Style;
    /// The chart's font.
    const TFont& Font;
    /// The elements.
    const TpcDataStore& Store;
    /// Whether the elements of each class are drawn.
    const std::array<bool, 256>& ClassVisible;
    /// Crosshairs 1 to 4.
    std::span<TpcCrossHair* const> CrossHairs;
    /// Text labels 1 to 20.
    std::span<TpcTextLabel* const> TextLabels;
    /// Each element mapped through PolarToPixel one by one instead of by chunks, and every point
    /// passed to the polylines: the straightforward path that the fast one must match.
    bool ReferenceDataPath = false;
    /// A snap index to fill from the data as drawn; none when no crosshair needs one.
    TpcSnapIndex* SnapIndexToFill = nullptr;
    /// The threads that map the data to pixels (0: as many as the machine has cores).
    int DataThreads = 0;
    /// Offers a scale label's text to the application before it is drawn (it may change it).
    std::function<void(TCanvas& canvas, TpcScaleKind kind, std::string& text, int32_t x, int32_t y)>
        OfferScaleLabel;
    /// The application's drawing after the data and text labels.
    std::function<void(TCanvas& canvas)> DataRendered;
    /// The styles of the classes; null for a class that has none (it draws plain lines).
    std::span<TpcClassStyle* const> ClassStyles;
    /// The legend; none in a context without one.
    const TpcLegend* Legend = nullptr;
    /// The wedges; none in a context without them.
    const TpcBars* Bars = nullptr;
    /// The raster layer and its sweep; none in a context without them.
    const TpcRaster* Raster = nullptr;
    /// The sweep over the raster layer.
    const TpcSweep* Sweep = nullptr;
    /// The raster layer's picture kept between paints, brought up to date by the layer.
    TpcRasterRender* RasterRender = nullptr;
};

/// What a paint hands back besides its picture.
struct TpcRenderResult {
    /// The context's SnapIndexToFill holds the data of this paint.
    bool SnapIndexFilled = false;
    /// Where the legend was drawn; none when it was not.
    std::optional<geometry::TpcLegendLayout> Legend;
};

/// The layers. Each reads the context and draws on the canvas; none changes the chart.
namespace layers {
    /// A layer of the chart image.
    using Layer
        = void (*)(const TpcRenderContext& context, TCanvas& canvas, TpcRenderResult& result);

    /// The chart image's background.
    void Background(const TpcRenderContext& context, TCanvas& canvas, TpcRenderResult& result);
    /// The raster layer's cells and the sweep line, over the background.
    void Raster(const TpcRenderContext& context, TCanvas& canvas, TpcRenderResult& result);
    /// The wedges drawn behind the grid (bands).
    void WedgesBehind(const TpcRenderContext& context, TCanvas& canvas, TpcRenderResult& result);
    /// The wedges drawn in front of the grid, under the data.
    void WedgesInFront(const TpcRenderContext& context, TCanvas& canvas, TpcRenderResult& result);
    /// The wedge under the pixel by the drawing's own rule (of the shown classes, and bands); -1
    /// when none is.
    int WedgeAt(const TpcTransform& transform, const TpcBars& bars,
        const std::array<bool, 256>& classVisible, int32_t x, int32_t y);
    /// Rays with their angle labels, circles, radial labels and the radial axis.
    void GridAndScales(const TpcRenderContext& context, TCanvas& canvas, TpcRenderResult& result);
    /// The stored elements as polylines of at most MaxBatchPoints points, the pen changed only
    /// when an element's colour, style or width differs; the drawn points fill the context's snap
    /// index too, when it has one.
    void Data(const TpcRenderContext& context, TCanvas& canvas, TpcRenderResult& result);
    /// The longest polyline the data layer draws at once.
    inline constexpr int MaxBatchPoints = 200;
    /// Labels 20 down to 1, so that label 1 ends on top.
    void TextLabels(const TpcRenderContext& context, TCanvas& canvas, TpcRenderResult& result);
    /// The legend, when it is visible and has something to show; its layout into the result.
    void Legend(const TpcRenderContext& context, TCanvas& canvas, TpcRenderResult& result);
    /// The application's own drawing (OnDataRendered).
    void ApplicationDrawing(
        const TpcRenderContext& context, TCanvas& canvas, TpcRenderResult& result);
    /// The black outline of the area inside the shadow, when there is a shadow.
    void Outline(const TpcRenderContext& context, TCanvas& canvas, TpcRenderResult& result);

    /// The layers of the chart image, bottom to top.
    inline constexpr std::array<Layer, 10> ChartImage = { Background, Raster, WedgesBehind,
        GridAndScales, WedgesInFront, Data, TextLabels, Legend, ApplicationDrawing, Outline };

    /// The shadow band along the right and bottom edges, with the canvas's pen and brush.
    void Shadow(const TpcRenderContext& context, TCanvas& canvas);
    /// The crosshairs that are not off.
    void CrossHairs(const TpcRenderContext& context, TCanvas& canvas);
    /// The zoom box outline from anchor to corner with the XOR pen: drawing it twice restores the
    /// picture.
    void ZoomBox(TCanvas& canvas, TPoint anchor, TPoint corner);

    /// The drawn points of the data into a snap index, as the data layer sees them, without
    /// drawing.
    void CollectSnapPoints(const TpcRenderContext& context, TpcSnapIndex& index);
    /// The classes whose styles put a marker on every element.
    std::array<bool, 256> MarkedClasses(std::span<TpcClassStyle* const> styles);
} // namespace layers

} // namespace znq
