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
#include "polchart_store.h"
#include "polchart_transform.h"
#include "znq_controls.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QKeyEvent;
class QWheelEvent;

namespace znq {

/// The chart's enumerations, readable and writable by identifier through Qt's meta-object system.
namespace polchart_types {
    Q_NAMESPACE

    /// The circles of the grid (GridStyleRadial): the outer circle at RangeHigh and four inner
    /// circles at the fifths of the radius.
    enum class TpcGridStyleRad : uint8_t {
        /// No circles.
        gsRadNone,
        /// The outer circle, dotted.
        gsRadOuterDots,
        /// The outer circle, solid.
        gsRadOuterSolid,
        /// Outer and inner circles, dotted.
        gsRadBothDots,
        /// Outer and inner circles, solid.
        gsRadBothSolid,
        /// The outer circle solid, the inner ones dotted.
        gsRadBothMixed
    };
    Q_ENUM_NS(TpcGridStyleRad)

    /// How radial values map to the distance from the centre (RadialScale): rsLinear in
    /// proportion, rsLog10 by their common logarithm (a decade per equal step).
    enum class TpcRadialScale : uint8_t { rsLinear, rsLog10 };
    Q_ENUM_NS(TpcRadialScale)

    /// How values become colours: not at all (cmNone), or by one of the perceptual maps viridis,
    /// magma and turbo, or by a gray ramp, from the low end of a range to the high end.
    enum class TpcColorMap : uint8_t { cmNone, cmViridis, cmMagma, cmGray, cmTurbo };
    Q_ENUM_NS(TpcColorMap)

    /// The marker a class draws on each of its drawn elements (TpcClassStyle::Marker): none, a
    /// single pixel, or a shape of MarkerSize pixels centred on the element's pixel.
    enum class TpcMarker : uint8_t {
        mkNone,
        mkDot,
        mkCircle,
        mkSquare,
        mkDiamond,
        mkTriangle,
        mkCross,
        mkPlus,
        mkStar
    };
    Q_ENUM_NS(TpcMarker)

    /// The area a class fills under its lines (TpcClassStyle::Fill): none; each run of line-tos
    /// closed into a polygon (flClosed, the radar chart); or the area between the run and the
    /// chart's centre (flToCenter).
    enum class TpcFill : uint8_t { flNone, flClosed, flToCenter };
    Q_ENUM_NS(TpcFill)

    /// Where wedges are drawn: behind the grid (over the background) or in front of it (under the
    /// data).
    enum class TpcBarLayer : uint8_t { blBehindGrid, blInFrontOfGrid };
    Q_ENUM_NS(TpcBarLayer)

    /// How the raster layer colours a pixel from its cells: riNearest the value of the cell under
    /// it, riBilinear the blend of the four cells about it, weighted by its distance from their
    /// centres.
    enum class TpcRasterInterp : uint8_t { riNearest, riBilinear };
    Q_ENUM_NS(TpcRasterInterp)

    /// The corner of the chart image the legend sits in until it is dragged.
    enum class TpcLegendCorner : uint8_t { lcTopLeft, lcTopRight, lcBottomLeft, lcBottomRight };
    Q_ENUM_NS(TpcLegendCorner)

    /// The rays of the grid (GridStyleAngular): gsAngNone none, gsAngDots dotted, gsAngSolid solid.
    enum class TpcGridStyleAng : uint8_t { gsAngNone, gsAngDots, gsAngSolid };
    Q_ENUM_NS(TpcGridStyleAng)

    /// The values of TextBkStyle: tbClear, tbSolid.
    enum class TpcTextBkg : uint8_t { tbClear, tbSolid };
    Q_ENUM_NS(TpcTextBkg)

    /// Which scale a label belongs to in OnBeforeDrawScaleLabel: sckRad a radial value label,
    /// sckPhi an angle label, sckValue a value at an end of the legend's colour bar.
    enum class TpcScaleKind : uint8_t { sckRad, sckPhi, sckValue };
    Q_ENUM_NS(TpcScaleKind)

    /// The screen direction of growing angles: rdClockwise or rdCounterCW.
    enum class TpcRotationDir : uint8_t { rdClockwise, rdCounterCW };
    Q_ENUM_NS(TpcRotationDir)

    /// The texts at the outer ends of the rays (LabelModeAngular). Ray i is labelled with the
    /// angle i * AngleBtwRays degrees, whatever UseDegrees says; in the examples rays are 30
    /// degrees apart.
    enum class TpcAngLabelMode : uint8_t {
        /// No angle labels.
        almNone,
        /// Degrees 0 to 330: "0", "30", ..., "330" (one decimal where needed: "22.5").
        almDegrees,
        /// Radians with DecPlacePhi decimals: "0.00", "0.52", ..., "5.76".
        almRadians,
        /// Multiples of pi: "0", "p/6", ..., "11p/6", drawn in the "Symbol" font, so p shows as
        /// the Greek letter pi.
        almMultiPi,
        /// As almDegrees, angles above 180 less 360: "0", ..., "180", "-150", ..., "-30".
        almSymmDeg,
        /// As almRadians, angles above 180 degrees less a full turn.
        almSymmRad,
        /// As almMultiPi, angles above 180 degrees less a full turn: ..., "p", "-5p/6", ...
        almSymmMultiPi
    };
    Q_ENUM_NS(TpcAngLabelMode)

    /// Where the radial value labels go (LabelModeRadial): rlmNone nowhere; rlmVertLeft and
    /// rlmVertRight beside a vertical axis with ticks left or right of the circle (1.2 radii from
    /// the centre); rlmVertCenter centred on the vertical through the centre.
    enum class TpcRadLabelMode : uint8_t { rlmNone, rlmVertLeft, rlmVertCenter, rlmVertRight };
    Q_ENUM_NS(TpcRadLabelMode)

    /// The form of a crosshair: chOff hidden (and never picked by the mouse); chOrtho a horizontal
    /// and a vertical line through its point, across the chart area; chPolar a ray from the centre
    /// through its point (to the outer circle, or to the point beyond it) and a circle about the
    /// centre through it.
    enum class TpcCrossHMode : uint8_t { chOff, chOrtho, chPolar };
    Q_ENUM_NS(TpcCrossHMode)
} // namespace polchart_types

using polchart_types::TpcAngLabelMode;
using polchart_types::TpcBarLayer;
using polchart_types::TpcColorMap;
using polchart_types::TpcCrossHMode;
using polchart_types::TpcFill;
using polchart_types::TpcGridStyleAng;
using polchart_types::TpcGridStyleRad;
using polchart_types::TpcLegendCorner;
using polchart_types::TpcMarker;
using polchart_types::TpcRadialScale;
using polchart_types::TpcRadLabelMode;
using polchart_types::TpcRasterInterp;
using polchart_types::TpcRotationDir;
using polchart_types::TpcScaleKind;
using polchart_types::TpcTextBkg;

class TpcCrossHair;
class TpcTextLabel;
class TpcClassStyle;
class TpcLegend;
class TpcBars;
class TpcRaster;
class TpcSweep;
class TCustomPolChart;
class TpcChartRooms;

/// What lies between two polar points A and B, in the chart's units.
struct TpcMeasurement {
    /// The radial value of B less that of A.
    double DeltaRad = 0;
    /// The signed shortest turn from A's angle to B's, in (-180, 180] degrees or (-pi, pi]
    /// radians.
    double DeltaPhi = 0;
    /// The straight distance between the points placed at their radial values in the plane,
    /// sqrt(rA^2 + rB^2 - 2 rA rB cos(DeltaPhi)), in radial units. It is the same whatever the
    /// axis shows: on a logarithmic axis it is not the length drawn on the screen.
    double Distance = 0;
    /// The direction from A to B in that plane, as a data angle within 0 .. a full turn; NaN for
    /// equal points.
    double Bearing = 0;
};

/// The measurement from (radA, phiA) to (radB, phiB), angles in degrees when degrees is true, else
/// in radians.
TpcMeasurement MeasurePolar(double radA, double phiA, double radB, double phiB, bool degrees);

/// A view the history records: the centre and the magnification.
struct TpcView {
    /// CenterX.
    int32_t CenterX = 0;
    /// CenterY.
    int32_t CenterY = 0;
    /// MagFactor.
    double MagFactor = 1.0;
    /// Equal in all three.
    friend bool operator==(const TpcView&, const TpcView&) = default;
};

/// The pointer report: whether the pointer is in the chart area, the shift state, and the polar
/// position under the pointer (computed also outside the chart area).
using TpcMouseMoveInChartEvent
    = std::function<void(TObject* Sender, bool InChart, TShiftState Shift, double rad, double phi)>;
/// A scale label about to be drawn: the canvas of the chart image, the scale, the text (which the
/// handler may change; an empty text is not drawn) and the label's anchor pixel.
using TpcBeforeDrawScaleLabelEvent = std::function<void(TObject* Sender, TCanvas& Canvas,
    TpcScaleKind ScaleType, std::string& CurrentTickLabel, int ChartX, int ChartY)>;
/// The chart image after data and text labels: the handler may draw on Canvas; Top and Left are
/// 0.
using TpcRenderEvent = std::function<void(TObject* Sender, TCanvas& Canvas, int Top, int Left)>;
/// A crosshair moved by a mouse drag.
using TpcCrossHairMoveEvent = std::function<void(TObject* Sender, TpcCrossHair* WhichCrossHair)>;
/// A text label moved by a mouse drag.
using TpcTextLabelMoveEvent = std::function<void(TObject* Sender, TpcTextLabel* WhichTextLabel)>;
/// A click on a legend entry showed or hid the elements of a class.
using TpcLegendClickEvent = std::function<void(TObject* Sender, int ElemClass, bool Visible)>;

/// A crosshair: two lines marking one polar position, horizontal and vertical (chOrtho) or a ray
/// and a circle about the centre (chPolar). Every property write notifies OnChange, also when the
/// value is unchanged. The chart owns four of them; each getter and setter pair is also a Qt
/// property of the same name.
class TpcCrossHair : public QObject {
    Q_OBJECT
    Q_PROPERTY(double PosRad READ PosRad WRITE SetPosRad)
    Q_PROPERTY(double PosPhi READ PosPhi WRITE SetPosPhi)
    Q_PROPERTY(uint Color READ Color WRITE SetColor)
    Q_PROPERTY(znq::polchart_types::TpcCrossHMode Mode READ Mode WRITE SetMode)
    Q_PROPERTY(znq::platform_types::TPenStyle LineType READ LineType WRITE SetLineType)
    Q_PROPERTY(int LineWid READ LineWid WRITE SetLineWid)
    Q_PROPERTY(bool SnapToData READ SnapToData WRITE SetSnapToData)

public:
    /// A hidden (chOff) black, solid, 1-pixel crosshair at (0, 0).
    explicit TpcCrossHair(QObject* parent = nullptr);

    /// Radial position, in the chart's radial units.
    double PosRad() const { return m_posRad; }
    /// Sets the radial position and notifies.
    void SetPosRad(double value);
    /// Angular position, in the chart's angle unit.
    double PosPhi() const { return m_posPhi; }
    /// Sets the angular position and notifies.
    void SetPosPhi(double value);
    /// Colour of the lines.
    TColor Color() const { return m_color; }
    /// Sets the colour and notifies.
    void SetColor(TColor value);
    /// The form: chOff, chOrtho or chPolar.
    TpcCrossHMode Mode() const { return m_mode; }
    /// Sets the form and notifies.
    void SetMode(TpcCrossHMode value);
    /// Pen style of the lines.
    TPenStyle LineType() const { return m_lineType; }
    /// Sets the pen style and notifies.
    void SetLineType(TPenStyle value);
    /// Pen width of the lines in pixels.
    int32_t LineWid() const { return m_lineWid; }
    /// Sets the pen width and notifies.
    void SetLineWid(int32_t value);
    /// Both coordinates with a single notification. While SnapToData is true the crosshair goes
    /// to the drawn element nearest to (rad, phi) instead.
    void SetPosition(double rad, double phi);
    /// Whether SetPosition and the crosshair drag place the crosshair on the drawn element whose
    /// pixel is nearest (false by default).
    bool SnapToData() const { return m_snapToData; }
    /// Sets SnapToData and notifies; turning it on moves the crosshair onto the element nearest to
    /// its position.
    void SetSnapToData(bool value);
    /// The element the crosshair was last placed on by snapping; -1 when it was placed otherwise
    /// or no element is drawn.
    int32_t SnappedIndex() const { return m_snappedIndex; }

    /// Fires after every property write; the chart's handler shows the crosshairs again.
    TNotifyEvent OnChange;

private:
    friend class TCustomPolChart;
    friend class TpcChartRooms;
    friend class TpcNavigator;
    // Writes the position without notifying, for the chart's mouse dragging.
    void movePositionSilently(double rad, double phi);
    // Places the crosshair on the element nearest to the pixel (with SnapToData) without
    // notifying; false when SnapToData is off or nothing is drawn.
    bool snapSilentlyToPixel(TPoint pixel);
    // Copies the six published values from source without notifying.
    void copyValuesFrom(const TpcCrossHair& source);
    void changed();
    // Stores the value and notifies, also when it is unchanged.
    template <typename T> void store(T& field, T value);
    // Goes to the element with that index (-1: stays where it is), as snapping does.
    void placeOn(int32_t index);

    double m_posRad = 0;
    double m_posPhi = 0;
    TColor m_color = clBlack;
    TpcCrossHMode m_mode = TpcCrossHMode::chOff;
    TPenStyle m_lineType = TPenStyle::psSolid;
    int32_t m_lineWid = 1;
    bool m_snapToData = false;
    int32_t m_snappedIndex = -1;
    // The chart that owns the crosshair, which finds the elements; none for a free crosshair.
    TCustomPolChart* m_chart = nullptr;
};

/// A text label: a caption anchored at a polar position (AttachToData) or at a fixed pixel of the
/// chart image; the anchor is at the bottom edge of the text block. Every property write notifies
/// OnChange, also when the value is unchanged; changing the label's font object directly does not.
/// The chart owns twenty of them; each getter and setter pair is also a Qt property of the same
/// name.
class TpcTextLabel : public QObject {
    Q_OBJECT
    Q_PROPERTY(double PosRad READ PosRad WRITE SetPosRad)
    Q_PROPERTY(double PosPhi READ PosPhi WRITE SetPosPhi)
    Q_PROPERTY(int ShadowDx READ ShadowDx WRITE SetShadowDx)
    Q_PROPERTY(int ShadowDy READ ShadowDy WRITE SetShadowDy)
    Q_PROPERTY(uint ColorShadow READ ColorShadow WRITE SetColorShadow)
    Q_PROPERTY(znq::platform_types::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(bool AttachToData READ AttachToData WRITE SetAttachToData)
    Q_PROPERTY(uint ColorBkg READ ColorBkg WRITE SetColorBkg)
    Q_PROPERTY(uint ColorBorder READ ColorBorder WRITE SetColorBorder)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(QString Caption READ QCaption WRITE SetQCaption)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(znq::base_types::TTxtLblMode Mode READ Mode WRITE SetMode)

public:
    /// A free label (tlOff) with the defaults: anchored at (0, 0) to the data, centred, white box,
    /// black border, grey shadow 3 pixels down and right.
    explicit TpcTextLabel(QObject* parent = nullptr);

    /// With AttachToData: the anchor's radial position; without: its x in chart-image pixels.
    double PosRad() const { return m_posRad; }
    /// Sets PosRad and notifies.
    void SetPosRad(double value);
    /// With AttachToData: the anchor's angle; without: its y in chart-image pixels.
    double PosPhi() const { return m_posPhi; }
    /// Sets PosPhi and notifies.
    void SetPosPhi(double value);
    /// Horizontal offset of the shadow box in pixels (tlShadow).
    int32_t ShadowDx() const { return m_shadowDx; }
    /// Sets ShadowDx and notifies.
    void SetShadowDx(int32_t value);
    /// Vertical offset of the shadow box in pixels (tlShadow).
    int32_t ShadowDy() const { return m_shadowDy; }
    /// Sets ShadowDy and notifies.
    void SetShadowDy(int32_t value);
    /// Colour of the shadow box.
    TColor ColorShadow() const { return m_colorShadow; }
    /// Sets ColorShadow and notifies.
    void SetColorShadow(TColor value);
    /// Placement against the anchor: taLeftJustify starts the text there, taRightJustify ends it
    /// there, taCenter centres it on it.
    TAlignment Alignment() const { return m_alignment; }
    /// Sets Alignment and notifies.
    void SetAlignment(TAlignment value);
    /// true: the anchor is a polar position and moves with pan and zoom; false: a fixed pixel,
    /// PosRad and PosPhi rounded half to even.
    bool AttachToData() const { return m_attachToData; }
    /// Sets AttachToData (the position is not converted) and notifies.
    void SetAttachToData(bool value);
    /// Colour of the box behind the caption.
    TColor ColorBkg() const { return m_colorBkg; }
    /// Sets ColorBkg and notifies.
    void SetColorBkg(TColor value);
    /// Colour of the border (tlBox, tlShadow) and of the underline (tlUnderline).
    TColor ColorBorder() const { return m_colorBorder; }
    /// Sets ColorBorder and notifies.
    void SetColorBorder(TColor value);
    /// true: no box behind the caption in tlsimple and tlUnderline, an unfilled box in tlBox;
    /// tlShadow fills its boxes all the same.
    bool Transparent() const { return m_transparent; }
    /// Sets Transparent and notifies.
    void SetTransparent(bool value);
    /// The label's own font, a copy of the chart's Font when the chart was created.
    TFont& Font() { return *m_font; }
    /// The label's own font.
    const TFont& Font() const { return *m_font; }
    /// Copies the attributes of font into the label's own font, then notifies.
    void SetFont(const TFont& font);
    /// The text; a line feed starts a new line.
    const std::string& Caption() const { return m_caption; }
    /// Sets the text and notifies.
    void SetCaption(const std::string& value);
    /// Stored and notified only: drawing and the mouse do not ask it; tlOff hides a label.
    bool Visible() const { return m_visible; }
    /// Sets Visible and notifies.
    void SetVisible(bool value);
    /// The look; tlOff: not drawn, and the slot is free for AddTextLabel.
    TTxtLblMode Mode() const { return m_mode; }
    /// Sets the look and notifies.
    void SetMode(TTxtLblMode value);

    /// Fires after every property write; the chart's handler repaints it.
    TNotifyEvent OnChange;

private:
    friend class TCustomPolChart;
    friend class TpcChartRooms;
    friend class TpcNavigator;
    // Writes the position without notifying, for the chart's mouse dragging.
    void movePositionSilently(double rad, double phi);
    void changed();
    // Stores the value and notifies, also when it is unchanged.
    template <typename T> void store(T& field, T value);
    QString QCaption() const { return QString::fromStdString(m_caption); }
    void SetQCaption(const QString& value) { SetCaption(value.toStdString()); }

    double m_posRad = 0;
    double m_posPhi = 0;
    int32_t m_shadowDx = 3;
    int32_t m_shadowDy = 3;
    TColor m_colorShadow = clGray;
    TAlignment m_alignment = TAlignment::taCenter;
    bool m_attachToData = true;
    TColor m_colorBkg = clWhite;
    TColor m_colorBorder = clBlack;
    bool m_transparent = false;
    std::unique_ptr<TFont> m_font;
    std::string m_caption;
    bool m_visible = true;
    TTxtLblMode m_mode = TTxtLblMode::tlOff;
};

/// How the elements of one data class (0 .. 255) are drawn: their lines, a marker on each drawn
/// element, a filled area under the lines, colours from a map of the elements' values, and the
/// class's name in the legend. The defaults draw the lines alone, as a chart without styles does.
/// A write that changes a value emits changed() and fires OnChange; the chart then redraws. The
/// chart makes a class's style on the first ClassStyle(c) and owns it.
class TpcClassStyle : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Name READ QName WRITE SetQName NOTIFY changed)
    Q_PROPERTY(bool Lines READ Lines WRITE SetLines NOTIFY changed)
    Q_PROPERTY(znq::polchart_types::TpcMarker Marker READ Marker WRITE SetMarker NOTIFY changed)
    Q_PROPERTY(int MarkerSize READ MarkerSize WRITE SetMarkerSize NOTIFY changed)
    Q_PROPERTY(bool MarkerFilled READ MarkerFilled WRITE SetMarkerFilled NOTIFY changed)
    Q_PROPERTY(znq::polchart_types::TpcFill Fill READ Fill WRITE SetFill NOTIFY changed)
    Q_PROPERTY(uint FillColor READ FillColor WRITE SetFillColor NOTIFY changed)
    Q_PROPERTY(double FillOpacity READ FillOpacity WRITE SetFillOpacity NOTIFY changed)
    Q_PROPERTY(
        znq::polchart_types::TpcColorMap ColorMap READ ColorMap WRITE SetColorMap NOTIFY changed)
    Q_PROPERTY(double ValueLow READ ValueLow WRITE SetValueLow NOTIFY changed)
    Q_PROPERTY(double ValueHigh READ ValueHigh WRITE SetValueHigh NOTIFY changed)

public:
    /// The smallest MarkerSize.
    static constexpr int MinMarkerSize = 1;
    /// The largest MarkerSize.
    static constexpr int MaxMarkerSize = 64;

    /// The style of class elemClass with the defaults.
    explicit TpcClassStyle(int elemClass = 0, QObject* parent = nullptr);

    /// The class this style belongs to.
    int ElemClass() const { return m_class; }
    /// The class's entry in the legend; an empty name (the default) has none.
    const std::string& Name() const { return m_name; }
    /// Sets the name.
    void SetName(const std::string& value);
    /// Whether the line-tos of the class draw their lines (true).
    bool Lines() const { return m_lines; }
    /// Sets Lines.
    void SetLines(bool value);
    /// The marker on every drawn element of the class, move-tos included (mkNone).
    TpcMarker Marker() const { return m_marker; }
    /// Sets the marker.
    void SetMarker(TpcMarker value);
    /// The marker's size in pixels, 1 .. 64 (7); an even size is drawn as the next odd one, so
    /// that a marker is symmetric about its pixel. A dot is one pixel whatever the size.
    int MarkerSize() const { return m_markerSize; }
    /// Sets the size; EZNQPolChartError outside 1 .. 64.
    void SetMarkerSize(int value);
    /// Whether circles, squares, diamonds and triangles are filled (true) or outlined.
    bool MarkerFilled() const { return m_markerFilled; }
    /// Sets MarkerFilled.
    void SetMarkerFilled(bool value);
    /// The area filled under all lines and markers (flNone).
    TpcFill Fill() const { return m_fill; }
    /// Sets the fill.
    void SetFill(TpcFill value);
    /// The fill's colour (clBlue).
    TColor FillColor() const { return m_fillColor; }
    /// Sets the fill's colour.
    void SetFillColor(TColor value);
    /// The fill's opacity, 0 .. 1 (0.3).
    double FillOpacity() const { return m_fillOpacity; }
    /// Sets the opacity; EZNQPolChartError outside 0 .. 1.
    void SetFillOpacity(double value);
    /// The map that colours markers and lines by the elements' values (cmNone: their own colour).
    TpcColorMap ColorMap() const { return m_colorMap; }
    /// Sets the map.
    void SetColorMap(TpcColorMap value);
    /// The value at the map's low end (0).
    double ValueLow() const { return m_valueLow; }
    /// Sets ValueLow; EZNQPolChartError when it is not finite.
    void SetValueLow(double value);
    /// The value at the map's high end (1); below ValueLow the map runs backwards.
    double ValueHigh() const { return m_valueHigh; }
    /// Sets ValueHigh; EZNQPolChartError when it is not finite.
    void SetValueHigh(double value);
    /// Whether anything differs from the defaults but the name: the class is drawn otherwise than
    /// plain lines.
    bool Styled() const;

    /// Fires after every change of a value.
    TNotifyEvent OnChange;

Q_SIGNALS:
    /// A value changed.
    void changed();

private:
    template <typename T> void store(T& field, T value);
    QString QName() const { return QString::fromStdString(m_name); }
    void SetQName(const QString& value) { SetName(value.toStdString()); }

    int m_class = 0;
    std::string m_name;
    bool m_lines = true;
    TpcMarker m_marker = TpcMarker::mkNone;
    int m_markerSize = 7;
    bool m_markerFilled = true;
    TpcFill m_fill = TpcFill::flNone;
    TColor m_fillColor = clBlue;
    double m_fillOpacity = 0.3;
    TpcColorMap m_colorMap = TpcColorMap::cmNone;
    double m_valueLow = 0;
    double m_valueHigh = 1;
};

/// The chart's legend: a box in the chart image with an entry for every class that has a name and
/// at least one stored element (a line sample in the class's pen, its marker, a fill swatch and
/// the name), and a colour bar with the value range when a class uses a colour map. It sits in
/// Corner until the user drags it with the label-drag mouse action; a click on an entry shows or
/// hides the class. A write that changes a value emits changed() and the chart redraws.
class TpcLegend : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible NOTIFY changed)
    Q_PROPERTY(
        znq::polchart_types::TpcLegendCorner Corner READ Corner WRITE SetCorner NOTIFY changed)
    Q_PROPERTY(bool Placed READ Placed NOTIFY changed)
    Q_PROPERTY(int Left READ Left NOTIFY changed)
    Q_PROPERTY(int Top READ Top NOTIFY changed)
    Q_PROPERTY(uint ColorBkg READ ColorBkg WRITE SetColorBkg NOTIFY changed)
    Q_PROPERTY(uint ColorBorder READ ColorBorder WRITE SetColorBorder NOTIFY changed)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent NOTIFY changed)

public:
    /// A hidden legend in the top-right corner, white box, black border, in the chart's font.
    explicit TpcLegend(QObject* parent = nullptr);
    ~TpcLegend() override;

    /// Whether the legend is drawn (false).
    bool Visible() const { return m_visible; }
    /// Shows or hides the legend.
    void SetVisible(bool value);
    /// The corner of the chart image it sits in while not Placed (lcTopRight).
    TpcLegendCorner Corner() const { return m_corner; }
    /// Puts the legend into a corner (it is no longer Placed).
    void SetCorner(TpcLegendCorner value);
    /// Whether the legend sits at a position of its own (after a drag or SetPosition).
    bool Placed() const { return m_placed; }
    /// The left edge of the box in chart-image pixels, when Placed.
    int Left() const { return m_left; }
    /// The top edge of the box in chart-image pixels, when Placed.
    int Top() const { return m_top; }
    /// The farthest a placed box's corner lies from the chart image's origin, in either direction.
    static constexpr int MaxPosition = 1 << 29;
    /// Places the box's top-left corner at (left, top) of the chart image; each coordinate is
    /// clamped to -MaxPosition .. MaxPosition, which leaves room for the box's far edges.
    void SetPosition(int left, int top);
    /// The colour of the box.
    TColor ColorBkg() const { return m_colorBkg; }
    /// Sets ColorBkg.
    void SetColorBkg(TColor value);
    /// The colour of the frame.
    TColor ColorBorder() const { return m_colorBorder; }
    /// Sets ColorBorder.
    void SetColorBorder(TColor value);
    /// Whether the box is left unfilled (false).
    bool Transparent() const { return m_transparent; }
    /// Sets Transparent.
    void SetTransparent(bool value);
    /// The font of the names and values, with the text colour; a copy of the chart's font when the
    /// chart was made. Changing it directly does not redraw; SetFont does.
    TFont& Font() { return *m_font; }
    /// The font of the names and values.
    const TFont& Font() const { return *m_font; }
    /// Copies the attributes of font and redraws.
    void SetFont(const TFont& font);

Q_SIGNALS:
    /// A value changed.
    void changed();

private:
    friend class TpcNavigator;
    // Places the box without notifying, for the drag.
    void movePositionSilently(int left, int top);
    void notify();
    template <typename T> void store(T& field, T value);

    bool m_visible = false;
    TpcLegendCorner m_corner = TpcLegendCorner::lcTopRight;
    bool m_placed = false;
    int m_left = 0;
    int m_top = 0;
    TColor m_colorBkg = clWhite;
    TColor m_colorBorder = clBlack;
    bool m_transparent = false;
    std::unique_ptr<TFont> m_font;
};

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
    static constexpr int CrossHairCount = 4;
    /// Number of text label slots, indexed 1 .. 20.
    static constexpr int TextLabelCount = 20;
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
    static constexpr int ViewHistoryLimit = 100;
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

    // The signals of the rendering (dataRendered, beforeDrawScaleLabel) come inside a paint: a
    // chart changed from their slots is painted again once that paint is over, never inside it.
Q_SIGNALS:
    /// OnZoomPan's signal.
    void zoomPan();
    /// OnMouseMoveInChart's signal, with its values.
    void mouseMoveInChart(bool inChart, znq::TShiftState shift, double rad, double phi);
    /// OnBeforeDrawScaleLabel's signal; the label text may be changed through the pointer (an
    /// empty text draws no label).
    void beforeDrawScaleLabel(znq::TCanvas* canvas, znq::polchart_types::TpcScaleKind kind,
        std::string* text, int chartX, int chartY);
    /// OnDataRendered's signal, with the chart image's canvas.
    void dataRendered(znq::TCanvas* canvas, int top, int left);
    /// OnCrossHairMove's signal.
    void crossHairMove(znq::TpcCrossHair* crossHair);
    /// OnTextLabelMove's signal.
    void textLabelMove(znq::TpcTextLabel* label);
    /// OnLegendClick's signal.
    void legendClick(int elemClass, bool visible);
    /// The pointer moved onto another wedge (its index, -1 for none), while anything listens.
    void wedgeHovered(int index);
    /// The pointer moved: the raster layer's cell value under it (NaN where it has none), while
    /// anything listens.
    void rasterValueAtPointer(double value);

    ///@{
    /// The former names and forms of the signals above (the modifiers of the shift state, the
    /// crosshair's index 1 to 4, the label's index 1 to 20), emitted right after them; kept for
    /// one release.
    void zoomPanned();
    void mouseMovedInChart(bool inChart, Qt::KeyboardModifiers modifiers, double rad, double phi);
    void scaleLabelDrawing(znq::TCanvas* canvas, znq::polchart_types::TpcScaleKind kind,
        std::string* text, int chartX, int chartY);
    void crossHairMoved(int index);
    void textLabelMoved(int index);
    ///@}

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
    friend class TpcCrossHair;
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

#include "polchart_bars.h"
#include "polchart_raster.h"
#include "polchart_windrose.h"
