/// \file
/// The view of the chart as a value, and the viewport that alone writes it: the centre, the
/// magnification, the radial range and the angle set-up, with the scale derived from them.
#pragma once

#include "polchart_transform.h"

#include <cstdint>
#include <numbers>
#include <span>

namespace znq {

/// Limits of the view that more than one room applies.
namespace viewlimits {
    /// The smallest magnification a setter, the wheel and the keys leave.
    inline constexpr double MinMagFactor = 0.01;
    /// The largest magnification a setter, the wheel and the keys leave.
    inline constexpr double MaxMagFactor = 1000.0;
} // namespace viewlimits

/// Radians per degree: the angle unit while UseDegrees is true.
inline constexpr double RadiansPerDegree = std::numbers::pi / 180;

/// The view: everything the mapping between polar positions and pixels depends on besides the
/// control's area, as one value.
struct TpcViewState {
    /// Pixel column of the centre.
    int32_t CenterX = 120;
    /// Pixel row of the centre.
    int32_t CenterY = 80;
    /// The outer circle's diameter over the shorter side of the chart area.
    double MagFactor = 1.0;
    /// Radial value at the centre.
    double RangeLow = 0.0;
    /// Radial value on the outer circle.
    double RangeHigh = 1.0;
    /// Added to every angle, in the angle unit.
    double AngleOffset = 0.0;
    /// Radians per angle unit: pi/180 for degrees, 1 for radians.
    double AngleUnit = RadiansPerDegree;
    /// +1: angles grow clockwise on the screen; -1: counter-clockwise.
    int32_t RotationSign = 1;
    /// The radial axis is logarithmic (both bounds above 0).
    bool Logarithmic = false;
    /// The data angle where the shown sector starts, in the angle unit.
    double SectorStart = 0.0;
    /// The shown sector's extent in the angle unit, above 0 and at most a full turn (the whole
    /// circle).
    double SectorSpan = 360.0;
    /// The fraction of the outer radius where RangeLow sits, 0 .. 0.9.
    double HoleFraction = 0.0;
    /// Equal in every field.
    friend bool operator==(const TpcViewState&, const TpcViewState&) = default;
};

/// A full turn in an angle unit: 360 in degrees, 2 pi in radians.
inline double FullTurnIn(double angleUnit)
{
    return angleUnit == 1.0 ? 2 * std::numbers::pi : 360.0;
}

/// Whether a view shows the whole circle.
inline bool WholeTurn(const TpcViewState& view)
{
    return !(view.SectorSpan < FullTurnIn(view.AngleUnit));
}

/// The shown sector's extent in radians: exactly 2 pi for the whole circle.
inline double SectorSpanRadians(const TpcViewState& view)
{
    return WholeTurn(view) ? 2 * std::numbers::pi : view.SectorSpan * view.AngleUnit;
}

/// The control's area the scale is computed for.
struct TpcViewArea {
    /// The control's width.
    int32_t Width = 0;
    /// The control's height.
    int32_t Height = 0;
    /// The shadow band along the right and bottom edges.
    int32_t ShadowWidth = 0;
};

/// Something a partial sector shows, placed at R * U + K about the centre for an outer radius R,
/// with a half-extent: a corner of the sector's box (no K, no extent) or a label's centre.
struct TpcFitFeature {
    double Ux = 0, Uy = 0, Kx = 0, Ky = 0, HalfWidth = 0, HalfHeight = 0;
};

/// A box about the centre, in pixels.
struct TpcExtent {
    double Left = 0, Top = 0, Right = 0, Bottom = 0;
};

/// The box the features cover at outer radius r.
TpcExtent ExtentAt(std::span<const TpcFitFeature> features, double r);

/// The largest outer radius at which the features fit into width x height (0 when none does).
double FittingRadius(std::span<const TpcFitFeature> features, double width, double height);

/// Whether the ray at data angle theta (radians) lies in the view's sector, edges included.
bool RayInSector(const TpcViewState& view, double theta);

/// Who changes the view, which decides what follows the change.
enum class TpcViewCause : uint8_t {
    /// A property setter or centring: rescales.
    vcProperty,
    /// The direction of growing angles, which the mapping reads as it is: no rescale, only the
    /// change signal.
    vcDirection,
    /// One step of a view change by the user still going on (a drag, a burst of wheel steps).
    vcGesture,
    /// A complete view change by the user (a box zoom, a key, going home): recorded in the
    /// history.
    vcUserChange,
    /// A view taken back from the history: not recorded again.
    vcHistory
};

/// The fields of the view, each with a change signal.
enum class TpcViewField : uint8_t {
    vfMagFactor,
    vfCenterX,
    vfCenterY,
    vfAngleOffset,
    vfRangeLow,
    vfRangeHigh,
    vfAngleUnit,
    vfRotationSign,
    vfRadialScale,
    vfSectorStart,
    vfSectorSpan,
    vfHoleFraction
};

/// The room that owns the view. Apply is the only way to change it: it stores the new view, has
/// the scale computed again (through the observer, so that the chart's overridable rescale runs),
/// signals each changed field once and tells the observer what caused the change.
class TpcViewport {
public:
    /// What the viewport asks of its owner.
    class Observer {
    public:
        /// The area the scale is computed for, as it is now.
        virtual TpcViewArea ViewArea() const = 0;
        /// The outer circle's diameter at MagFactor 1 that fits the present partial sector, with
        /// what the owner draws around it, into the area; 0 fits the sector's box alone. Asked
        /// only while the view shows a partial sector.
        virtual double ViewSectorSide() const { return 0; }
        /// Computes the scale again; the owner's rescale ends by calling Rescale.
        virtual void ViewRescale() = 0;
        /// A field with a change signal differs from its last signalled value.
        virtual void ViewFieldChanged(TpcViewField field) = 0;
        /// A view was applied, with its cause.
        virtual void ViewApplied(TpcViewCause cause) = 0;

    protected:
        ~Observer() = default;
    };

    /// A viewport with the default view and no scale yet.
    explicit TpcViewport(Observer& observer);

    /// The present view.
    const TpcViewState& View() const { return m_view; }
    /// Stores the view and lets the change take its course by cause (see TpcViewCause). A view
    /// with a magnification, range bound or angle offset that is not finite is refused: false, and
    /// nothing changes.
    bool Apply(const TpcViewState& view, TpcViewCause cause);
    /// Computes the scale and the pixel origin from the view and the area, unless frozen (while
    /// the chart is loading), then signals the fields that changed since they were last signalled.
    void Rescale(bool frozen);

    /// The area the scale is computed for, as it is now.
    TpcViewArea Area() const { return m_observer.ViewArea(); }
    /// Pixels per radial unit, from the last Rescale (negative for an inverted range).
    long double Scale() const { return m_scale; }
    /// The mapping of the present view at the last scale.
    TpcTransform Transform() const
    {
        return TpcTransform(TpcTransformParams {
            .RangeLow = m_view.RangeLow,
            .RangeHigh = m_view.RangeHigh,
            .AngleOffset = m_view.AngleOffset,
            .AngleUnit = m_view.AngleUnit,
            .RotationSign = m_view.RotationSign,
            .Scale = m_scale,
            .OriginX = m_originX,
            .OriginY = m_originY,
            .Logarithmic = m_view.Logarithmic,
            .HoleFraction = m_view.HoleFraction,
            .SectorStart = m_view.SectorStart * m_view.AngleUnit,
            .SectorSpan = SectorSpanRadians(m_view),
        });
    }
    /// The pixels per radial unit that a view would have in the present area.
    long double ScaleOf(const TpcViewState& view) const;
    /// The radius of the outer circle in pixels: round(side * MagFactor / 2), where side is
    /// min(W - SW, H - SW) for the whole circle; a partial sector takes the observer's sector
    /// side, or the side that fits its box into the area.
    int32_t OuterRadius() const;
    /// The diameter of the outer circle at MagFactor 1 for a view in an area (see OuterRadius),
    /// with sectorSide the fitted side of a partial sector (0: its box alone).
    static long double FitSide(
        const TpcViewState& view, const TpcViewArea& area, double sectorSide = 0);
    /// The sector's box, in outer radii about the centre.
    static TpcSectorBox SectorBoxOf(const TpcViewState& view);

private:
    // FitSide in the present area, the partial sector's side asked of the observer.
    long double fitSide(const TpcViewState& view) const;

    // Each value is recorded just before its signal, so that a slot that changes the view again
    // sends its own signals and none goes out twice.
    void signalChanges();

    Observer& m_observer;
    TpcViewState m_view;
    long double m_scale = 0;
    long double m_originX = 0;
    long double m_originY = 0;
    // The values of the signalling fields as last signalled; none before the first Rescale.
    TpcViewState m_signalled { 0, 0, 0, 0, 0, 0, 0, 0 };
};

} // namespace znq
