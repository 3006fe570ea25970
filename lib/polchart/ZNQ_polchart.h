/// \file
/// The polar chart component: data given as radial value and angle, drawn on a circular grid with
/// scales, crosshairs and text labels, explored with the mouse.
///
/// TCustomPolChart is the chart's façade over its rooms (viewport, navigator, painting layers);
/// TPolChart publishes it. Pixel coordinates are those of the control (x right, y down); polar
/// positions are in the chart's radial units and its angle unit (degrees while UseDegrees is true,
/// radians otherwise).
#pragma once

#include "ZNQ_znqbase.h"
#include "polchart_bars.h"
#include "polchart_classstyle.h"
#include "polchart_crosshair.h"
#include "polchart_legend.h"
#include "polchart_raster.h"
#include "polchart_store.h"
#include "polchart_textlabel.h"
#include "polchart_transform.h"
#include "polchart_types.h"
#include "polchart_windrose.h"
#include "znq_controls.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QKeyEvent;
class QWheelEvent;

namespace znq {

/// The chart: a published façade over its rooms (the viewport, which owns the view; the
/// navigator, which turns mouse, wheel and keys into view changes; the painting layers; the data
/// store and the marks). Setters clamp, snap or store, then apply the redraw rule: they repaint at
/// once when AutoRedraw is true or the chart is being designed. Below, "redraws" means that rule
/// and "rescales" that UpdateScaling runs first. Every published property signals its changes
/// (NOTIFY), right after the value is stored. A new chart is 240 x 160 pixels and paints nothing
/// until its window exists (PaintingSuspended).
class TCustomPolChart : public TCustomControl {
    Q_OBJECT
    // The published properties that the mouse changes too; the others are published by TPolChart.
    Q_PROPERTY(double AngleOffset READ AngleOffset WRITE SetAngleOffset NOTIFY angleOffsetChanged)
    Q_PROPERTY(int CenterX READ CenterX WRITE SetCenterX NOTIFY centerXChanged)
    Q_PROPERTY(int CenterY READ CenterY WRITE SetCenterY NOTIFY centerYChanged)
    Q_PROPERTY(double RangeLow READ RangeLow WRITE SetRangeLow NOTIFY rangeLowChanged)
    Q_PROPERTY(double RangeHigh READ RangeHigh WRITE SetRangeHigh NOTIFY rangeHighChanged)
    Q_PROPERTY(double MagFactor READ MagFactor WRITE SetMagFactor NOTIFY magFactorChanged)
    Q_PROPERTY(znq::polchart_types::TpcRadialScale RadialScale READ RadialScale WRITE SetRadialScale
            NOTIFY radialScaleChanged)
    Q_PROPERTY(double SectorStart READ SectorStart WRITE SetSectorStart NOTIFY sectorStartChanged)
    Q_PROPERTY(double SectorSpan READ SectorSpan WRITE SetSectorSpan NOTIFY sectorSpanChanged)
    Q_PROPERTY(
        double HoleFraction READ HoleFraction WRITE SetHoleFraction NOTIFY holeFractionChanged)

public:
    /// The view the history records.
    using TpcView = znq::TpcView;
    /// Number of crosshairs, indexed 1 .. 4.
    static constexpr int CrossHairCount = chart_limits::CrossHairs;
    /// Number of text label slots, indexed 1 .. 20.
    static constexpr int TextLabelCount = chart_limits::TextLabels;
    /// The angles between rays that the chart draws, in degrees.
    static constexpr std::array<double, 17> RayAngles
        = { 6, 7.5, 9, 10, 12, 15, 18, 20, 22.5, 30, 36, 45, 60, 90, 120, 180, 360 };

    /// A chart with the defaults, its four crosshairs and twenty free label slots.
    explicit TCustomPolChart(QWidget* parent = nullptr);
    ~TCustomPolChart() override;

    // Properties: each getter is followed by its setter.
    ///@{
    /// The view. AngleOffset (0 by default) is added to every angle, in the angle unit; its setter
    /// clamps to -180 .. 180 degrees or -pi .. pi radians and ignores NaN; switching UseDegrees
    /// does not convert it. RangeLow (0) is the radial value at the centre and RangeHigh (1) the
    /// one on the outer circle; RangeLow above RangeHigh inverts the radial axis; their setters
    /// ignore non-finite values and first move the other bound one unit away when it equals the new
    /// one. MagFactor (1) is the outer circle's diameter over the shorter side of the chart area
    /// (for a partial sector: over the side that fits it); its setter clamps to 0.01 .. 1000 and
    /// ignores NaN. Each setter rescales and redraws; with AutoCenter, the setters of
    /// AngleOffset and MagFactor fit a partial sector again (see SectorSpan).
    double AngleOffset() const;
    void SetAngleOffset(double value);
    double RangeLow() const;
    void SetRangeLow(double value);
    double RangeHigh() const;
    void SetRangeHigh(double value);
    double MagFactor() const;
    void SetMagFactor(double value);
    ///@}
    ///@{
    /// The radial scale (rsLinear by default). On rsLog10 the distance from the centre grows with
    /// log10 of the radial value, both bounds must be above 0, an element with a radial value of 0
    /// or below is a gap in its line, the rings stand at the decades (with dotted rings at 2 and 5
    /// times a decade when the range spans at most three), and the bounds' setters, when the
    /// other bound equals the new value, move it a decade (a factor of 10) away instead of one
    /// unit. A setter that would leave the logarithmic scale with a bound of 0 or below, or NaN,
    /// raises EZNQPolChartError and changes nothing. Rescales and redraws.
    TpcRadialScale RadialScale() const;
    void SetRadialScale(TpcRadialScale value);
    /// Sets both bounds and the scale at once, so that no order of calls matters. Raises
    /// EZNQPolChartError, changing nothing, for a bound that is not finite, equal bounds, or on
    /// rsLog10 a bound of 0 or below. Rescales and redraws once.
    void SetRadialRange(double low, double high, TpcRadialScale scale);
    ///@}
    ///@{
    /// The part of the circle shown. SectorStart (0) and SectorSpan (a full turn) are data angles
    /// in the angle unit, measured like the Phi of data, so that AngleOffset and RotationDir apply:
    /// the sector runs from SectorStart over SectorSpan in growing data angle, across the 0/360
    /// seam when it gets there. SectorSpan must lie above 0 and at most a full turn; anything
    /// else raises EZNQPolChartError and changes nothing, as a SectorStart that is not finite
    /// does. HoleFraction (0) is where RangeLow sits, as a fraction of the outer radius (0 to 0.9;
    /// others raise): the view becomes an annulus. A partial sector is fitted, with room for its
    /// labels, into the chart area by CenterChart (a quarter at MagFactor 1 fills it); grid and
    /// data are clipped to it, and the pointer is outside the chart beyond its edges and in the
    /// hole. Switching UseDegrees converts the sector's angles, so that it stays where it is.
    /// Each setter rescales and redraws; with AutoCenter it runs CenterChart instead when the
    /// sector is partial, or was when last fitted.
    double SectorStart() const;
    void SetSectorStart(double value);
    double SectorSpan() const;
    void SetSectorSpan(double value);
    double HoleFraction() const;
    void SetHoleFraction(double value);
    ///@}
    ///@{
    /// The centre's pixel column and row. Setting the present value changes nothing. With
    /// AutoCenter the value is discarded and CenterChart runs; otherwise it is clamped to
    /// -Width .. 2 * Width (-Height .. 2 * Height), then rescales and redraws.
    int32_t CenterX() const;
    void SetCenterX(int32_t value);
    int32_t CenterY() const;
    void SetCenterY(int32_t value);
    ///@}
    ///@{
    /// The angle unit and direction. UseDegrees (true by default) sets AngleUnit, rescales and
    /// redraws; stored angles (data, marks, AngleOffset) keep their numbers and are read in the new
    /// unit. RotationDir (rdClockwise) is the screen direction of growing angles; its setter sets
    /// RotationSign and redraws.
    bool UseDegrees() const { return AngleUnit() != 1.0; }
    void SetUseDegrees(bool value);
    TpcRotationDir RotationDir() const;
    void SetRotationDir(TpcRotationDir value);
    ///@}
    ///@{
    /// The grid and its scales; each setter redraws. GridColor (clBlack): rays and circles.
    /// GridStyleAngular (gsAngDots): the rays. GridStyleRadial (gsRadBothDots): the circles.
    /// ScaleColor (clBlack): the scale label texts. ChartColor (clWhite): the chart image's
    /// background. LabelModeAngular (almDegrees) and LabelModeRadial (rlmVertCenter): the angle and
    /// radial labels. DecPlaceRad (2; clamped to -2 .. 12): decimals of the radial labels, -1 and
    /// -2 selecting scientific notation with a two- and a four-digit exponent (FormatScaleNumber).
    /// DecPlacePhi (2; clamped to 0 .. 3): decimals of the angle labels in radians.
    /// AngleBtwRays (30): the angle between neighbouring rays in degrees, whatever UseDegrees says;
    /// snapped to the nearest entry of RayAngles, the smaller on a tie (NaN is ignored), and it
    /// rescales too.
    TColor GridColor() const;
    void SetGridColor(TColor value);
    TpcGridStyleAng GridStyleAngular() const;
    void SetGridStyleAngular(TpcGridStyleAng value);
    TpcGridStyleRad GridStyleRadial() const;
    void SetGridStyleRadial(TpcGridStyleRad value);
    TColor ScaleColor() const;
    void SetScaleColor(TColor value);
    TColor ChartColor() const;
    void SetChartColor(TColor value);
    TpcAngLabelMode LabelModeAngular() const;
    void SetLabelModeAngular(TpcAngLabelMode value);
    TpcRadLabelMode LabelModeRadial() const;
    void SetLabelModeRadial(TpcRadLabelMode value);
    int32_t DecPlaceRad() const;
    void SetDecPlaceRad(int32_t value);
    int32_t DecPlacePhi() const;
    void SetDecPlacePhi(int32_t value);
    double AngleBtwRays() const;
    void SetAngleBtwRays(double value);
    ///@}
    ///@{
    /// The shadow band along the right and bottom edges; each setter redraws. ShadowWidth (0, no
    /// shadow; clamped to 0 .. 32) rescales too. ShadowStyle (ssFlying): its shape. ShadowColor
    /// (clGrayText): the band. ShadowBakColor (clBtnFace): the corners beside it.
    int32_t ShadowWidth() const;
    void SetShadowWidth(int32_t value);
    TShadowStyle ShadowStyle() const;
    void SetShadowStyle(TShadowStyle value);
    TColor ShadowColor() const;
    void SetShadowColor(TColor value);
    TColor ShadowBakColor() const;
    void SetShadowBakColor(TColor value);
    ///@}
    ///@{
    /// What elements appended from now on are made with; the setters only store. DataColor
    /// (clBlack), PenStyle (psSolid) and LineWidth (1 pixel): the line. ClassDefault (0): the
    /// class, 0 .. 254 (255 is ignored). AllocSize (1000): the data store's growth step, accepted
    /// within 1 .. 1000000 and taking effect at the next growth.
    TColor DataColor() const;
    void SetDataColor(TColor value);
    TPenStyle PenStyle() const;
    void SetPenStyle(TPenStyle value);
    uint8_t LineWidth() const;
    void SetLineWidth(uint8_t value);
    uint8_t ClassDefault() const;
    void SetClassDefault(uint8_t value);
    int32_t AllocSize() const;
    void SetAllocSize(int32_t value);
    ///@}
    ///@{
    /// Stored only, not drawn: FillColor (clSilver; the setter repaints nothing), TextFontStyle
    /// (empty), TextBkStyle (tbClear), TextBkColor (clWhite) and TextAlignment (taCenter), whose
    /// setters redraw.
    TColor FillColor() const;
    void SetFillColor(TColor value);
    TFontStyles TextFontStyle() const;
    void SetTextFontStyle(TFontStyles value);
    TpcTextBkg TextBkStyle() const;
    void SetTextBkStyle(TpcTextBkg value);
    TColor TextBkColor() const;
    void SetTextBkColor(TColor value);
    TAlignment TextAlignment() const;
    void SetTextAlignment(TAlignment value);
    ///@}
    ///@{
    /// Crosshairs 1 to 4, the chart's own objects. A setter copies the six published values of
    /// source into the chart's own crosshair, then applies the redraw rule; the chart keeps its own
    /// object. A null source changes nothing.
    TpcCrossHair* CrossHair1() const { return CrossHair(1); }
    void SetCrossHair1(TpcCrossHair* source) { assignCrossHair(1, source); }
    TpcCrossHair* CrossHair2() const { return CrossHair(2); }
    void SetCrossHair2(TpcCrossHair* source) { assignCrossHair(2, source); }
    TpcCrossHair* CrossHair3() const { return CrossHair(3); }
    void SetCrossHair3(TpcCrossHair* source) { assignCrossHair(3, source); }
    TpcCrossHair* CrossHair4() const { return CrossHair(4); }
    void SetCrossHair4(TpcCrossHair* source) { assignCrossHair(4, source); }
    ///@}
    ///@{
    /// Behaviour; the setters only store, except as said. AutoRedraw (true): whether setters
    /// repaint at once. AutoCenter (true): whether the chart centres itself (CenterChart) when
    /// resized; a change to true runs CenterChart. MouseAction (maNone): what a drag with the
    /// mouse does. WheelZoom (true): whether the wheel zooms about the pointer; each step of 120
    /// units of angle delta (smaller deltas add up) multiplies MagFactor by 1.2 upwards or divides
    /// it by 1.2 downwards, within 0.01 .. 1000, the polar point under the pointer staying there.
    bool AutoRedraw() const;
    void SetAutoRedraw(bool value);
    bool AutoCenter() const;
    void SetAutoCenter(bool value);
    TMouseActMode MouseAction() const;
    void SetMouseAction(TMouseActMode value);
    bool WheelZoom() const;
    void SetWheelZoom(bool value);
    ///@}
    /// Whether a boxed text near crosshair 2 shows the measurement from crosshair 1 to crosshair 2
    /// while both are on (false). It is drawn with the crosshairs, over the chart image.
    bool ShowMeasurement() const;
    /// Sets ShowMeasurement and shows the crosshairs again.
    void SetShowMeasurement(bool value);
    /// The measurement from crosshair a to crosshair b (1 .. 4; EZNQPolChartError otherwise), in
    /// the chart's angle unit.
    TpcMeasurement MeasureBetween(int a, int b) const;

    // Derived state.
    /// Radians per angle unit: pi/180 with UseDegrees, else 1.
    double AngleUnit() const;
    /// +1 for rdClockwise, -1 for rdCounterCW.
    int32_t RotationSign() const;
    /// Pixels per radial unit, from the last UpdateScaling (negative for an inverted range).
    long double ScaleX() const;
    /// Equal to ScaleX.
    long double ScaleY() const { return ScaleX(); }
    /// The radius of the outer circle in pixels: round(min(W - SW, H - SW) * MagFactor / 2).
    int32_t OuterRadius() const;
    /// While true, Paint does nothing; true from construction until the window exists.
    bool PaintingSuspended() const;
    /// Setting it to false when it was true paints the chart in full.
    void SetPaintingSuspended(bool value);

    // The data store.
    /// Appends a move to (rad, phi) with the present DataColor, PenStyle, LineWidth and
    /// ClassDefault. Appends never repaint.
    void MoveTo(double rad, double phi);
    /// Appends a line from the current point to (rad, phi); as MoveTo otherwise. A DrawTo before
    /// any MoveTo starts at the top-left corner of the chart image.
    void DrawTo(double rad, double phi);
    /// Removes all elements and releases the storage; repaints nothing.
    void Clear();
    /// Paints now if the chart is visible, whatever AutoRedraw says.
    void Redraw();
    /// Runs changes with the chart's redraws held back, then redraws once by the redraw rule if
    /// any change asked for one: for many changes in a row, such as wedges added one by one or
    /// class styles set in a loop. Signals are emitted as the changes happen. Batches may nest;
    /// the outermost one redraws. When changes throws, the exception goes on and the picture is
    /// redrawn at the next paint event instead.
    void Batch(const std::function<void()>& changes);
    /// Number of elements stored.
    int32_t ElementCount() const;
    /// Number of element slots allocated.
    int32_t ElementCapacity() const;
    /// Raises EZNQPolChartError for an index outside 0 .. ElementCount - 1.
    const TpcDataElement& Element(int32_t index) const;
    /// The data store.
    const TpcDataStore& Store() const;
    /// Whether elements of a class (0 .. 255) are drawn; all are after construction.
    bool ClassVisible(uint8_t elemClass) const;
    /// Shows or hides the elements of a class; redraws.
    void SetClassVisible(uint8_t elemClass, bool visible);
    /// The style of class elemClass (0 .. 255; EZNQPolChartError otherwise), made with the
    /// defaults on the first call; the chart owns it.
    TpcClassStyle* ClassStyle(int elemClass);
    /// The legend.
    TpcLegend* Legend() const;
    /// The wedges: polar bars, stacks, wind roses and shaded bands.
    TpcBars* Bars() const;
    /// The raster layer: a grid of values over azimuth and range, coloured by a colour map.
    TpcRaster* Raster() const;
    /// The live sweep over the raster layer: fading rows and a sweep line.
    TpcSweep* Sweep() const;
    /// Gives the last appended element a third value, for a colour map; EZNQPolChartError when
    /// there is no element. Values are kept in single precision, in an array made on first use (4
    /// bytes per element beside the 24 of the element). Never repaints.
    void AppendValue(double value);
    /// Gives element index a value (EZNQPolChartError for an index outside 0 .. ElementCount - 1);
    /// redraws.
    void SetElementValue(int32_t index, double value);
    /// The value of element index (EZNQPolChartError outside the store): NaN when it has none.
    double ElementValue(int32_t index) const;

    /// Crosshairs 1 to 4. Raises EZNQPolChartError for an index outside 1 .. 4.
    TpcCrossHair* CrossHair(int index) const;
    /// Text labels 1 to 20. Raises EZNQPolChartError for an index outside 1 .. 20.
    TpcTextLabel* TextLabel(int index) const;
    /// Fills the first free label slot (mode tlOff) and returns its index, or 0 when all twenty are
    /// in use. The style comes from label Template (1 .. 20) or, for any other Template, from the
    /// built-in style. Sends no notification and does not repaint.
    int AddTextLabel(
        TColor color, const std::string& caption, double rad, double phi, int templateIndex);

    // The transform.
    /// Recomputes ScaleX, ScaleY and the pixel origin from the size, ShadowWidth, MagFactor, the
    /// range and the centre. Does nothing while loading.
    virtual void UpdateScaling();
    /// Centres the chart in the area inside the shadow, leaving room for radial labels beside it,
    /// then rescales and paints if visible.
    void CenterChart();
    /// The pixel of a polar position. Values below RangeLow land on the centre; the result is
    /// rounded half to even.
    TPoint PolarToPixel(double rad, double phi) const;
    /// The polar position of a pixel, the angle within 0 .. 360 degrees (or 0 .. 2 pi).
    TpcPolarPoint PixelToPolar(int32_t x, int32_t y) const;
    /// The present mapping as a value object.
    TpcTransform Transform() const;

    // The view history.
    /// The present view.
    TpcView View() const;
    /// The longest view history kept.
    static constexpr int ViewHistoryLimit = chart_limits::ViewHistory;
    /// Whether ViewBack has a view to go back to.
    bool CanViewBack() const;
    /// Whether ViewForward has a view to go forward to.
    bool CanViewForward() const;
    /// Back to the view recorded before the present one: the view is written as a pan writes it,
    /// painted, and OnZoomPan fires.
    void ViewBack();
    /// Forward again after ViewBack.
    void ViewForward();
    /// To the view before the first recorded change; recorded as a change itself.
    void ViewHome();
    /// The recorded views, oldest first: every completed view change by the user (a pan or zoom
    /// drag, a box zoom, a burst of wheel steps, the view keys) adds one.
    const std::vector<TpcView>& ViewHistory() const;
    /// The position of the present view in ViewHistory; -1 before the first change.
    int32_t ViewHistoryPosition() const;

    // Snapping.
    /// The stored element drawn nearest (in pixels) to the pixel of (rad, phi): elements of hidden
    /// classes, with coordinates that are not finite, and move-tos that start no line are left
    /// out; ties go to the lower index. -1 when no element is drawn.
    int32_t NearestElement(double rad, double phi) const;
    /// Whether NearestElement can find the element: its class is shown, its coordinates are
    /// finite, and a move-to starts a line.
    bool IsSnapCandidate(int32_t index) const;
    /// Moves a snapping crosshair by steps candidates along the data (negative: backwards),
    /// stopping at the ends, then shows it and fires OnCrossHairMove; false when it did not move.
    bool StepCrossHair(int index, int steps);

    // What assistive tools read.
    /// The chart's state in plain words, numbers as digits, as assistive tools read it for the
    /// chart's description: the radial range with the text the application's
    /// OnBeforeDrawScaleLabel appended to the radial labels of the last paint (" dB"), the angle
    /// unit, direction and where 0 is, the sector, the angle between rays, the number of elements,
    /// the named classes, the wedges and raster when there are any, and the shown crosshairs.
    /// For example "Polar chart, 0 to 10 dB, angles in degrees counter-clockwise from 0 at the
    /// right, rays every 30 degrees, 1001 points, crosshair 1 at 4.25 dB, 120.5 degrees".
    std::string AccessibleDescription() const;
    /// Crosshair 1's position as a read-out shows it ("4.25 dB, 120.50 degrees": DecPlaceRad
    /// decimals for the radius, two for degrees), or, while it is snapped to an element, that
    /// element's index, coordinates and value ("element 17: 4.25 dB, 120.50 degrees").
    std::string AccessibleValue() const;

    // Painting and pictures.
    /// Ends loading: rescales and paints.
    void Loaded() override;
    /// The full repaint: the chart image is rendered, then composed with the shadow and the
    /// crosshairs on the control's canvas (one full-size copy).
    void Paint() override;
    /// Shows the crosshairs again over the chart image of the last full paint, which is rendered
    /// anew only when something it shows may have changed since. Crosshair changes paint this way,
    /// so they do not call OnDataRendered or OnBeforeDrawScaleLabel. Counts as a paint.
    void PaintCrossHairs();
    /// Cells of the raster layer were written: with AutoRedraw, when nothing else has changed
    /// since the last paint and only a few rows were written, the chart image is rendered again
    /// only where their pixels lie (exactly as a whole render would) and the picture is shown;
    /// else the redraw rule.
    void RasterCellsChanged();
    /// The chart image: one pixel wider and higher than the area inside the shadow.
    const TBitmap& ChartBitmap() const;
    /// The whole picture without the crosshairs and the zoom box, composed anew: the shadow with
    /// the chart image of the last paint on it.
    QImage FrameImage() const;
    /// The smallest scale of ToImage and SaveImage.
    static constexpr double MinImageScale = TCanvas::MinScale;
    /// The largest scale of ToImage and SaveImage.
    static constexpr double MaxImageScale = TCanvas::MaxScale;
    /// The most pixels an image of ToImage may have: 2^28, which take 1 GiB.
    static constexpr int64_t MaxImagePixels = int64_t(1) << 28;
    /// The chart as it would be painted now, with the crosshairs and without a zoom box, at scale
    /// times its size (0.25 .. 8, or EZNQPolChartError): coordinates, pen widths and patterns,
    /// fonts, the shadow and the label boxes are all enlarged. At scale 1 it is the control's
    /// picture, pixel for pixel. The control and its pictures are left as they are. A null image
    /// for a chart without pixels; EZNQPolChartError for a picture of more than MaxImagePixels
    /// pixels or when there is no memory for it. Only the picture itself is held in memory.
    QImage ToImage(double scale = 1.0) const;
    /// Saves the chart, as ToImage would show it, at scale times its size. The file's suffix
    /// chooses the format: ".png", ".jpg" (or ".jpeg") and ".bmp" are written from ToImage; ".svg"
    /// and ".pdf" receive the drawing operations themselves (lines, polylines, ellipses, polygons
    /// and text), so they scale without steps and their text is text. The file is written beside
    /// its place and then renamed onto it, so a failure leaves no half-written file at path; it
    /// raises EZNQPolChartError with the path and the reason (an unknown suffix, a folder that
    /// cannot be written, a full disk, a path with a NUL in it, a picture without pixels or one
    /// that ToImage refuses). Texts go into an SVG file without the characters XML cannot hold.
    /// A symbolic link at path is followed, and the file it names is replaced.
    void SaveImage(const std::string& path, double scale = 1.0) const;
    /// Puts ToImage(scale) on the clipboard; EZNQPolChartError when the picture has no pixels or
    /// ToImage refuses it.
    void CopyImage(double scale = 1.0) const;

    // Events: each handler fires first, then its signal with the same values.
    /// The chart as the Sender of its events.
    TObject* EventSender() const { return const_cast<TCustomPolChart*>(this); }
    /// Every pointer move over the control, after the chart's own handling.
    TpcMouseMoveInChartEvent OnMouseMoveInChart;
    /// After each pan step, zoom-drag step and zoom to a box.
    TZoomPanEvent OnZoomPan;
    /// Each scale label, before it is drawn; the handler may change its text.
    TpcBeforeDrawScaleLabelEvent OnBeforeDrawScaleLabel;
    /// Once per rendering of the chart image, after data and text labels, before the outline.
    TpcRenderEvent OnDataRendered;
    /// After each step of a crosshair drag.
    TpcCrossHairMoveEvent OnCrossHairMove;
    /// After each step of a label drag.
    TpcTextLabelMoveEvent OnTextLabelMove;
    /// After a click on a legend entry showed or hid its class.
    TpcLegendClickEvent OnLegendClick;

    // Each event has one signal, emitted right after its handler with the handler's values. The
    // signals of the rendering (dataRendered, scaleLabelAboutToBeDrawn) come inside a paint: a
    // chart changed from their slots is painted again once that paint is over, never inside it.
Q_SIGNALS:
    /// A pan or zoom by the user ended (OnZoomPan).
    void zoomPanned();
    /// The pointer moved (OnMouseMoveInChart), with the handler's values.
    void mouseMovedInChart(bool inChart, znq::TShiftState shift, double rad, double phi);
    /// A scale label is about to be drawn (OnBeforeDrawScaleLabel); the label text may be changed
    /// through the pointer (an empty text draws no label).
    void scaleLabelAboutToBeDrawn(znq::TCanvas* canvas, znq::polchart_types::TpcScaleKind kind,
        std::string* text, int chartX, int chartY);
    /// The data and text labels are drawn (OnDataRendered), with the chart image's canvas.
    void dataRendered(znq::TCanvas* canvas, int top, int left);
    /// A crosshair moved by a drag or a step (OnCrossHairMove).
    void crossHairMoved(znq::TpcCrossHair* crossHair);
    /// A text label moved by a drag (OnTextLabelMove).
    void textLabelMoved(znq::TpcTextLabel* label);
    /// A click on a legend entry showed or hid its class (OnLegendClick).
    void legendClicked(int elemClass, bool visible);
    /// The pointer moved onto another wedge (its index, -1 for none), while anything listens.
    void wedgeHovered(int index);
    /// The pointer moved: the raster layer's cell value under it (NaN where it has none), while
    /// anything listens.
    void rasterValueHovered(double value);

    ///@{
    /// The change signal of a published property, emitted right after the value is stored, when
    /// it differs from the old one. The properties that the user changes too (AngleOffset, CenterX,
    /// CenterY, MagFactor, RangeLow, RangeHigh) pass the new value; those that TPolChart publishes
    /// pass none, as signals of a base class must to serve as its properties' notifications. The
    /// centre and MagFactor change by setters, centring and the user; RangeLow and RangeHigh also
    /// when the other bound moved them out of the way. crossHairsChanged follows a copy into one of
    /// the crosshairs (SetCrossHair1 ..).
    void allocSizeChanged();
    void angleOffsetChanged(double value);
    void radialScaleChanged(znq::polchart_types::TpcRadialScale value);
    void sectorStartChanged(double value);
    void sectorSpanChanged(double value);
    void holeFractionChanged(double value);
    void angleBtwRaysChanged();
    void autoCenterChanged();
    void autoRedrawChanged();
    void centerXChanged(int value);
    void centerYChanged(int value);
    void chartColorChanged();
    void classDefaultChanged();
    void crossHairsChanged();
    void dataColorChanged();
    void decPlacePhiChanged();
    void decPlaceRadChanged();
    void fillColorChanged();
    void gridColorChanged();
    void gridStyleAngularChanged();
    void gridStyleRadialChanged();
    void labelModeAngularChanged();
    void labelModeRadialChanged();
    void lineWidthChanged();
    void magFactorChanged(double value);
    void mouseActionChanged();
    void penStyleChanged();
    void rangeHighChanged(double value);
    void rangeLowChanged(double value);
    void rotationDirChanged();
    void scaleColorChanged();
    void shadowBakColorChanged();
    void shadowColorChanged();
    void shadowStyleChanged();
    void shadowWidthChanged();
    void textAlignmentChanged();
    void textBkColorChanged();
    void textBkStyleChanged();
    void textFontStyleChanged();
    void useDegreesChanged();
    void wheelZoomChanged();
    void showMeasurementChanged();
    ///@}

protected:
    /// Zooms about the pointer (WheelZoom).
    void wheelEvent(QWheelEvent* event) override;
    /// The view keys: Alt+Left and Alt+Right go back and forward, Home goes home, + and - zoom
    /// about the centre, the arrows pan by a tenth of the shorter side; Left and Right step a
    /// snapping crosshair 1 instead (Shift: by 10). The context-menu key and Shift+F10 ask for the
    /// context menu at the chart's centre, as a right click there would.
    void keyPressEvent(QKeyEvent* event) override;
    /// The picture, and over it a focus frame while the chart has the focus from the keyboard.
    void paintEvent(QPaintEvent* event) override;
    /// @{
    /// The focus frame shows while the focus came by Tab, Backtab or a shortcut (also after a
    /// pop-up menu or another window had it in between); a click that gives the chart the focus
    /// shows none.
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    /// @}
    /// The mouse's back and forward buttons go back and forward in the view history.
    void mousePressEvent(QMouseEvent* event) override;
    /// The standard mouse events fire first; then the chart pans, zooms or drags by MouseAction.
    /// Every move ends with the pointer report OnMouseMoveInChart.
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    /// Steps a drag or the zoom box, then reports the pointer.
    void MouseMove(TShiftState shift, int x, int y) override;
    /// Ends the zoom box: left zooms, right cancels, middle keeps it open.
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

    /// The shadow band along the right and bottom edges.
    void DrawShadow(TCanvas& canvas) const;
    /// Sizes the chart image and gives it the chart's Font.
    void PrepareChartBitmap(TBitmap& bitmap) const;
    /// The chart image's layers: background, grid and scales, data, text labels, OnDataRendered
    /// and the outline.
    void RenderChart(TCanvas& canvas) const;
    /// The OnChange handler of the crosshairs and labels: the redraw rule, crosshairs shown again
    /// by PaintCrossHairs instead of Paint.
    void ChartObjectChanged(TObject* sender);
    /// A change of Font repaints at once, whatever AutoRedraw says.
    void ChartFontChanged(TObject* sender);
    /// The OnResize handler: CenterChart when AutoCenter is true.
    void ChartResized(TObject* sender);
    /// The chart's state and rooms.
    TpcChartRooms& rooms() const { return *m_rooms; }

private:
    friend class TpcBars;
    friend class TpcRaster;
    friend class TpcSweep;
    friend class TpcChartRooms;
    friend class TpcChartSeams;
    // The setter of CrossHair1 to CrossHair4.
    void assignCrossHair(int index, TpcCrossHair* source);
    // Whether the chart image shows the present state at the control's size and resolution, so
    // that composing the frame again shows a change of what lies over it.
    bool chartImageShowsAll() const;

    // The chart's state and its rooms.
    std::unique_ptr<TpcChartRooms> m_rooms;
};

/// Reduces a fraction to lowest terms, each value keeping its sign; nothing changes when either is
/// 0.
void ReduceFraction(int32_t& numerator, int32_t& denominator);

/// The text of the angle label of ray i of rayCount, rays angleBtwRays degrees apart. In the
/// multiple-of-pi modes the letter p stands for pi (drawn in the "Symbol" font).
std::string AngleLabelText(
    TpcAngLabelMode mode, int i, int rayCount, double angleBtwRays, int decPlacePhi);

/// The chart as placed on a form: every property published. Each getter and setter pair of
/// TCustomPolChart named as a property here is also a Qt property, readable and writable by name
/// through the meta-object system.
class TPolChart : public TCustomPolChart {
    Q_OBJECT
    Q_PROPERTY(int AllocSize READ AllocSize WRITE SetAllocSize NOTIFY allocSizeChanged)
    Q_PROPERTY(bool AutoRedraw READ AutoRedraw WRITE SetAutoRedraw NOTIFY autoRedrawChanged)
    Q_PROPERTY(bool AutoCenter READ AutoCenter WRITE SetAutoCenter NOTIFY autoCenterChanged)
    Q_PROPERTY(
        quint8 ClassDefault READ ClassDefault WRITE SetClassDefault NOTIFY classDefaultChanged)
    Q_PROPERTY(int DecPlaceRad READ DecPlaceRad WRITE SetDecPlaceRad NOTIFY decPlaceRadChanged)
    Q_PROPERTY(int DecPlacePhi READ DecPlacePhi WRITE SetDecPlacePhi NOTIFY decPlacePhiChanged)
    Q_PROPERTY(uint GridColor READ GridColor WRITE SetGridColor NOTIFY gridColorChanged)
    Q_PROPERTY(znq::polchart_types::TpcGridStyleAng GridStyleAngular READ GridStyleAngular WRITE
            SetGridStyleAngular NOTIFY gridStyleAngularChanged)
    Q_PROPERTY(znq::polchart_types::TpcGridStyleRad GridStyleRadial READ GridStyleRadial WRITE
            SetGridStyleRadial NOTIFY gridStyleRadialChanged)
    Q_PROPERTY(uint DataColor READ DataColor WRITE SetDataColor NOTIFY dataColorChanged)
    Q_PROPERTY(znq::platform_types::TPenStyle PenStyle READ PenStyle WRITE SetPenStyle NOTIFY
            penStyleChanged)
    Q_PROPERTY(uint ScaleColor READ ScaleColor WRITE SetScaleColor NOTIFY scaleColorChanged)
    Q_PROPERTY(uint FillColor READ FillColor WRITE SetFillColor NOTIFY fillColorChanged)
    Q_PROPERTY(uint ChartColor READ ChartColor WRITE SetChartColor NOTIFY chartColorChanged)
    Q_PROPERTY(quint8 LineWidth READ LineWidth WRITE SetLineWidth NOTIFY lineWidthChanged)
    Q_PROPERTY(znq::polchart_types::TpcAngLabelMode LabelModeAngular READ LabelModeAngular WRITE
            SetLabelModeAngular NOTIFY labelModeAngularChanged)
    Q_PROPERTY(znq::polchart_types::TpcRadLabelMode LabelModeRadial READ LabelModeRadial WRITE
            SetLabelModeRadial NOTIFY labelModeRadialChanged)
    Q_PROPERTY(
        znq::TpcCrossHair* CrossHair1 READ CrossHair1 WRITE SetCrossHair1 NOTIFY crossHairsChanged)
    Q_PROPERTY(
        znq::TpcCrossHair* CrossHair2 READ CrossHair2 WRITE SetCrossHair2 NOTIFY crossHairsChanged)
    Q_PROPERTY(
        znq::TpcCrossHair* CrossHair3 READ CrossHair3 WRITE SetCrossHair3 NOTIFY crossHairsChanged)
    Q_PROPERTY(
        znq::TpcCrossHair* CrossHair4 READ CrossHair4 WRITE SetCrossHair4 NOTIFY crossHairsChanged)
    Q_PROPERTY(
        double AngleBtwRays READ AngleBtwRays WRITE SetAngleBtwRays NOTIFY angleBtwRaysChanged)
    Q_PROPERTY(znq::base_types::TMouseActMode MouseAction READ MouseAction WRITE SetMouseAction
            NOTIFY mouseActionChanged)
    Q_PROPERTY(znq::polchart_types::TpcRotationDir RotationDir READ RotationDir WRITE SetRotationDir
            NOTIFY rotationDirChanged)
    Q_PROPERTY(int ShadowWidth READ ShadowWidth WRITE SetShadowWidth NOTIFY shadowWidthChanged)
    Q_PROPERTY(znq::base_types::TShadowStyle ShadowStyle READ ShadowStyle WRITE SetShadowStyle
            NOTIFY shadowStyleChanged)
    Q_PROPERTY(uint ShadowColor READ ShadowColor WRITE SetShadowColor NOTIFY shadowColorChanged)
    Q_PROPERTY(uint ShadowBakColor READ ShadowBakColor WRITE SetShadowBakColor NOTIFY
            shadowBakColorChanged)
    Q_PROPERTY(znq::platform_types::TFontStyles TextFontStyle READ TextFontStyle WRITE
            SetTextFontStyle NOTIFY textFontStyleChanged)
    Q_PROPERTY(znq::polchart_types::TpcTextBkg TextBkStyle READ TextBkStyle WRITE SetTextBkStyle
            NOTIFY textBkStyleChanged)
    Q_PROPERTY(uint TextBkColor READ TextBkColor WRITE SetTextBkColor NOTIFY textBkColorChanged)
    Q_PROPERTY(znq::platform_types::TAlignment TextAlignment READ TextAlignment WRITE
            SetTextAlignment NOTIFY textAlignmentChanged)
    Q_PROPERTY(bool UseDegrees READ UseDegrees WRITE SetUseDegrees NOTIFY useDegreesChanged)
    Q_PROPERTY(bool WheelZoom READ WheelZoom WRITE SetWheelZoom NOTIFY wheelZoomChanged)
    Q_PROPERTY(bool ShowMeasurement READ ShowMeasurement WRITE SetShowMeasurement NOTIFY
            showMeasurementChanged)

public:
    /// A chart with the defaults; it paints once its window exists.
    explicit TPolChart(QWidget* parent = nullptr);

protected:
    /// The window exists now: painting becomes possible.
    void CreateWnd() override;
};

} // namespace znq
