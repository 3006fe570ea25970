/// \file
/// The polar chart's shared vocabulary: its enumerations, the events it fires, the measurement
/// between two polar points and a recorded view. Included by every public header of the chart.
#pragma once

#include "ZNQ_znqbase.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <string>

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
class TpcChartLink;

/// How many crosshairs (indexed 1 .. 4) and text label slots (1 .. 20) a chart has, and how many
/// views its history keeps: TCustomPolChart's CrossHairCount, TextLabelCount and
/// ViewHistoryLimit.
namespace chart_limits {
    /// Crosshairs.
    inline constexpr int CrossHairs = 4;
    /// Text label slots.
    inline constexpr int TextLabels = 20;
    /// Views in the history.
    inline constexpr int ViewHistory = 100;
} // namespace chart_limits

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

} // namespace znq
