/// \file
/// The private side of the chart's façade: its state, its rooms (the viewport, the navigator, the
/// snap index) and the wiring between them: the redraw rule, the events, the paint pipeline that
/// runs the layers.
#pragma once

#include "ZNQ_polchart.h"
#include "chart/polchart_frames.h"
#include "layers/polchart_raster_render.h"
#include "layers/polchart_render_context.h"
#include "model/polchart_chart_link.h"
#include "model/polchart_chart_style.h"
#include "view/polchart_navigator.h"
#include "view/polchart_snap.h"
#include "view/polchart_viewport.h"
#include "znq_accessible.h"

#include "base_helpers.h"

#include <QMetaMethod>

#include <array>
#include <functional>
#include <optional>

class QPainter;

namespace znq {

/// The chart's state and rooms. It answers the viewport, the navigator and the data objects for the
/// chart.
class TpcChartRooms final : public TpcViewport::Observer,
                            public TpcNavigator::Host,
                            public TpcChartLink {
public:
    /// The rooms of chart.
    explicit TpcChartRooms(TCustomPolChart& chart);

    /// The chart.
    TCustomPolChart& Chart;
    /// The view.
    TpcViewport Viewport;
    /// Mouse, wheel, keys and history.
    TpcNavigator Navigator;
    /// The look and the data attributes.
    TpcChartStyle Style;
    /// The elements.
    TpcDataStore Store;
    /// Whether the elements of each class are drawn.
    std::array<bool, 256> ClassVisible {};
    /// Crosshairs 1 to 4, children of the chart.
    std::array<TpcCrossHair*, TCustomPolChart::CrossHairCount> CrossHairs {};
    /// Text labels 1 to 20, children of the chart.
    std::array<TpcTextLabel*, TCustomPolChart::TextLabelCount> TextLabels {};
    /// The styles of the classes, children of the chart, each made on its first use.
    std::array<TpcClassStyle*, 256> ClassStyles {};
    /// The legend, a child of the chart.
    TpcLegend* Legend = nullptr;
    /// The wedges, a child of the chart.
    TpcBars* Bars = nullptr;
    /// The wedge under the pointer as last reported by wedgeHovered.
    int HoveredWedge = -1;
    /// The raster layer, a child of the chart.
    TpcRaster* Raster = nullptr;
    /// The live sweep, a child of the chart.
    TpcSweep* Sweep = nullptr;
    /// The raster layer's picture for the view, kept between paints.
    TpcRasterRender RasterRender;
    /// The chart image: one pixel wider and higher than the area inside the shadow.
    TBitmap ChartBitmap;
    /// The buffers that the chart image and the frame around it are rendered into in turn.
    TpcFrames Frames;
    /// Whether setters repaint at once.
    bool AutoRedraw = true;
    /// Whether the chart centres itself when resized.
    bool AutoCenter = true;
    /// While true, Paint does nothing.
    bool PaintingSuspended = true;
    /// The chart image shows the present state.
    bool ChartImageCurrent = false;
    /// How often Paint or PaintCrossHairs got past their gates.
    int PaintCount = 0;
    /// How many Batch calls are running: RedrawIfAuto then only notes that a redraw is due.
    int BatchDepth = 0;
    /// A redraw was asked for during the batch.
    bool BatchRedraw = false;
    /// Counts the changes of the data and of which classes are drawn.
    uint64_t DataVersion = 0;

    /// Built during the paint while a crosshair snaps, or on demand; kept as long as the data, the
    /// transform and the size it was built for stay the same.
    TpcSnapIndex SnapIndex;
    /// What a snap index is built for.
    struct SnapKey {
        TpcTransformParams Params; ///< The transform.
        uint64_t DataVersion = 0; ///< The data, counted by DataChanged.
        int32_t Width = 0; ///< The chart's width.
        int32_t Height = 0; ///< The chart's height.
        /// Equal in all four.
        friend bool operator==(const SnapKey&, const SnapKey&) = default;
    };
    /// What the snap index was built for; none while it is being filled or never was.
    std::optional<SnapKey> SnapIndexKey;
    /// What a snap index built now would be built for.
    SnapKey CurrentSnapKey() const;
    /// Whether the snap index holds the present data, transform and size.
    bool SnapIndexCurrent() const;
    /// The snap index for the present data and transform, built when it is out of date.
    const TpcSnapIndex& BuiltSnapIndex();
    /// The snap index to fill during a paint: when a crosshair snaps and the index is out of date.
    TpcSnapIndex* SnapIndexToFill();
    /// Whether the data layer takes the straightforward path (for tests that compare the two).
    bool ReferenceDataPath = false;
    /// The threads that map the data to pixels in a paint (0: as many as the machine has cores).
    int DataThreads = 0;
    /// The last centring fitted a partial sector.
    bool FittedSector = false;
    /// Where the last paint of the chart image drew the legend; none when it drew none.
    std::optional<geometry::TpcLegendLayout> LegendLayout;
    /// While a drag step of the legend notifies: the chart is painted already.
    bool LegendMoving = false;
    /// What OnBeforeDrawScaleLabel appended to the last label of each kind (TpcScaleKind) it
    /// passed, for the texts assistive tools read; empty when it replaced the text.
    std::array<std::string, 3> ScaleLabelSuffix;
    /// Tells assistive tools of changes of the chart's value and description (a child of the
    /// chart).
    TAccessibleNotice* AccessNotice = nullptr;
    /// Whether the focus frame is drawn while the chart has the focus: it came from the keyboard.
    bool FocusFrame = false;

    // The redraw rule and the change of state.
    /// Something the chart image shows may have changed: the next paint renders it again.
    void ChartChanged() { ChartImageCurrent = false; }
    /// The elements or which of them are drawn changed: the chart image and the snap index are out
    /// of date.
    void DataChanged()
    {
        ChartChanged();
        ++DataVersion;
    }
    /// Paint when AutoRedraw is true or the chart is being designed.
    void RedrawIfAuto();
    /// UpdateScaling, then the redraw rule.
    void RescaleAndRedraw();
    /// A view from a property setter applied (which rescales), then the redraw rule.
    void ApplyView(const TpcViewState& view);
    /// As ApplyView; with AutoCenter a partial sector (or the whole circle after one) is fitted
    /// again by CenterChart, which redraws.
    void ApplyViewAndFit(const TpcViewState& view);
    /// CenterChart when AutoCenter is on and the view shows a partial sector, or showed one when
    /// last fitted; whether it ran.
    bool RefitSector();
    /// The corners of a partial sector's box and its labels, for fitting it into the area.
    std::vector<TpcFitFeature> SectorFeatures() const;
    /// Raises EZNQPolChartError naming the bound and its value unless it is above 0 and finite.
    void RequireLogBound(const char* name, double value) const;
    /// StoreProperty, then the redraw rule.
    template <typename T> void StoreAndRedraw(T& field, T value, void (TCustomPolChart::*signal)())
    {
        StoreProperty(field, value, signal);
        RedrawIfAuto();
    }
    /// Stores a published property's value and emits its change signal when the value differs.
    template <typename T> void StoreProperty(T& field, T value, void (TCustomPolChart::*signal)())
    {
        const bool changed = !(field == value);
        field = value;
        if (changed)
            Q_EMIT(Chart.*signal)();
    }
    /// Appends one element with the present data attributes (beside MoveTo and DrawTo, which it
    /// serves for every element appended).
    void Append(TpcElemKind kind, double rad, double phi);

    // The events: each handler with the chart as Sender, then its signal, then the signal's old
    // name or form.
    /// OnZoomPan.
    void FireZoomPan();
    /// OnMouseMoveInChart, when anything listens.
    void FireMouseMoveInChart(TShiftState shift, int32_t x, int32_t y);
    /// OnBeforeDrawScaleLabel.
    void FireBeforeDrawScaleLabel(
        TCanvas& canvas, TpcScaleKind kind, std::string& text, int32_t x, int32_t y);
    /// OnDataRendered.
    void FireDataRendered(TCanvas& canvas);
    /// OnCrossHairMove, after the crosshair is shown again.
    void FireCrossHairMove(TpcCrossHair* crossHair);
    /// OnTextLabelMove, after the chart is painted.
    void FireTextLabelMove(TpcTextLabel* label);
    /// OnLegendClick.
    void FireLegendClick(int elemClass, bool visible);
    /// wedgeHovered when the wedge under the pointer changed and a slot listens.
    void FireWedgeHovered(int32_t x, int32_t y);
    /// rasterValueHovered with the cell value under the pointer, when a slot listens.
    void FireRasterValue(int32_t x, int32_t y);

    // The paint pipeline.
    /// Visible (or designing), not loading, not suspended.
    bool CanPaint() const;
    /// The chart image's width: one pixel more than the area inside the shadow.
    int32_t ChartImageWidth() const;
    /// The chart image's height: one pixel more than the area inside the shadow.
    int32_t ChartImageHeight() const;
    /// The context of a paint of the present state.
    TpcRenderContext RenderContext();
    /// The chart image's layers on canvas, the snap index filled on the way when one is due.
    void RenderChart(TCanvas& canvas);
    /// Gives the chart image a buffer that nobody shows, with the shadow drawn in its frame.
    void BeginFrame();
    /// The frame with the crosshairs onto the control, and the zoom box over them.
    void ShowFrame();
    /// ShowFrame within the device pixels from (left, top) to (right, bottom) of the control's
    /// canvas, where the chart image alone changed.
    void ShowFramePart(int32_t left, int32_t top, int32_t right, int32_t bottom);
    /// The frame, the crosshairs and the zoom box onto target.
    void showFrameOn(TCanvas& target);
    /// Whether a crosshair or the zoom box lies over the frame.
    bool overlaid() const;
    /// The shadow and the chart image onto target.
    void ComposeFrame(TCanvas& target, const TBitmap& chartImage, const TpcRenderContext& context);
    /// The shadow onto target with the pen and brush it is drawn with.
    void DrawShadowLayer(TCanvas& target, const TpcRenderContext& context);
    /// ToImage at a valid scale; a picture that cannot be made is refused with the reason (refuse
    /// throws).
    QImage RenderImage(double scale, const std::function<void(const std::string& reason)>& refuse);
    /// The whole picture as drawing operations on a painter, in logical pixels (the painter's
    /// transform scales them): the shadow, the chart image's layers clipped to it, the crosshairs.
    /// With xml, texts and font names are made fit for an XML file (SVG).
    void RenderVector(QPainter& painter, bool xml);
    /// The zoom box outline with the XOR pen on the control's canvas.
    void DrawZoomBox(TPoint anchor, TPoint corner);

    // TpcViewport::Observer
    TpcViewArea ViewArea() const override;
    double ViewSectorSide() const override;
    void ViewRescale() override;
    void ViewFieldChanged(TpcViewField field) override;
    void ViewApplied(TpcViewCause cause) override;

    // TpcNavigator::Host
    TpcCrossHair* NavCrossHair(int index) const override;
    TpcTextLabel* NavTextLabel(int index) const override;
    void NavPaint() override;
    bool NavPaintingSuspended() const override;
    void NavSetPaintingSuspended(bool suspended) override;
    void NavZoomPanned() override;
    void NavCrossHairMoved(TpcCrossHair* crossHair, int index) override;
    void NavTextLabelMoved(TpcTextLabel* label, int index) override;
    void NavPointerMoved(TShiftState shift, int32_t x, int32_t y) override;
    void NavToggleZoomBox(TPoint anchor, TPoint corner) override;
    bool NavStepCrossHair(int index, int steps) override;
    TpcLegend* NavLegend() const override;
    const geometry::TpcLegendLayout* NavLegendLayout() const override;
    void NavLegendMoved() override;
    void NavLegendClicked(int elemClass) override;

    // TpcChartLink
    std::string ChartName() const override;
    TpcTransform ChartTransform() const override;
    bool ClassShown(uint8_t elemClass) const override;
    bool AnglesInDegrees() const override;
    const TpcDataElement& StoredElement(int32_t index) const override;
    int32_t ElementNearest(double rad, double phi) override;
    int32_t ElementNearestPixel(TPoint pixel) override;
    int WedgeAtPixel(int32_t x, int32_t y) const override;
    double RasterValueAtPixel(int32_t x, int32_t y) const override;
    TpcSweep& ChartSweep() const override;

private:
    // The one way an event fires: its handler with the chart as Sender, then its signals.
    template <typename Handler, typename Signals, typename... Args>
    void fire(const Handler& handler, const Signals& signals, Args&&... args)
    {
        if (handler)
            handler(Chart.EventSender(), args...);
        signals();
    }
};

} // namespace znq
