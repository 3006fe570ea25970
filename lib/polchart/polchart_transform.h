/// \file
/// The mapping between polar coordinates (radial value, angle) and the pixels of the chart image,
/// and the number texts of the scales.
#pragma once

#include "znq_types.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace znq {

struct TpcDataElement;

/// A position in polar coordinates: radial units, and the chart's angle unit.
struct TpcPolarPoint {
    /// Radial value.
    double Rad = 0;
    /// Angle.
    double Phi = 0;
};

/// The transform's inputs, copied from the chart: ranges, angle set-up and the scale state that
/// UpdateScaling derives.
struct TpcTransformParams {
    /// Radial value at the centre.
    double RangeLow = 0;
    /// Radial value on the outer circle.
    double RangeHigh = 1;
    /// Added to every angle, in the angle unit.
    double AngleOffset = 0;
    /// Radians per angle unit: pi/180 for degrees, 1 for radians.
    double AngleUnit = 1;
    /// +1: angles grow clockwise on the screen; -1: counter-clockwise.
    int32_t RotationSign = 1;
    /// Pixels per radial unit, negative for an inverted range, 0 for an empty drawing area.
    long double Scale = 0;
    /// Pixel column of the centre.
    long double OriginX = 0;
    /// Pixel row of the centre.
    long double OriginY = 0;
    /// Radial values map by their common logarithm: the radius grows linearly with log10(rad)
    /// between log10(RangeLow) and log10(RangeHigh), both bounds above 0.
    bool Logarithmic = false;
    /// The fraction of the outer radius where RangeLow sits, 0 .. 0.9: the view is an annulus.
    double HoleFraction = 0;
    /// The data angle where the view's sector starts, in radians.
    double SectorStart = 0;
    /// The sector's extent in radians of growing data angle, 0 .. 2 pi; 2 pi is the whole circle.
    double SectorSpan = 2 * 3.14159265358979323846;
    /// Equal in every parameter.
    friend bool operator==(const TpcTransformParams&, const TpcTransformParams&) = default;
};

/// The part of the plane a view shows, in pixels: an annular sector about the centre. A point is
/// in it when its distance from the centre lies between the hole's and the outer radius and its
/// direction lies in the sector (both edges included). A view of the whole circle has no outer
/// limit (data beyond RangeHigh is shown, as ever); without a hole it holds every point.
class TpcViewRegion {
public:
    /// The region of a view: centre, radii in pixels, and the sector's edges as unit vectors on
    /// the screen (y downwards), start first, sweeping through spanRadians.
    TpcViewRegion(double centerX, double centerY, double outerRadius, double holeRadius,
        double startX, double startY, double endX, double endY, double spanRadians, bool mirrored);
    /// The region of everything.
    TpcViewRegion() = default;

    /// Whether every point is in the region: no test needed.
    bool Everything() const { return m_everything; }
    /// Whether the point is in the region.
    bool Contains(double x, double y) const
    {
        if (m_everything)
            return true;
        const double dx = x - m_cx, dy = y - m_cy;
        const double d2 = dx * dx + dy * dy;
        if (d2 < m_hole2 || (m_bounded && d2 > m_outer2))
            return false;
        return inSector(dx, dy);
    }
    /// Whether the segment between two points surely misses the region: both ends lie beyond one
    /// edge of a sector of at most half a turn, or both in the gap of a wider one. False says
    /// nothing.
    bool Misses(double ax, double ay, double bx, double by) const
    {
        if (m_wholeTurn)
            return false;
        const double pax = ax - m_cx, pay = (ay - m_cy) * m_flip;
        const double pbx = bx - m_cx, pby = (by - m_cy) * m_flip;
        const bool beyondStart = m_ax * pay - m_ay * pax < 0 && m_ax * pby - m_ay * pbx < 0;
        const bool beyondEnd = pax * m_by - pay * m_bx < 0 && pbx * m_by - pby * m_bx < 0;
        return m_reflex ? (beyondStart && beyondEnd) : (beyondStart || beyondEnd);
    }
    /// Whether a segment between two points in the region stays in it: a sector of at most half
    /// a turn without a hole.
    bool Convex() const { return !m_reflex && m_hole2 == 0; }
    /// The parts of the segment from a to b inside the region, as parameters 0 <= t0 < t1 <= 1
    /// along it (at most three parts); returns their number.
    int Clip(double ax, double ay, double bx, double by, double (&parts)[3][2]) const;
    /// The region's edge as a polygon in pixels (odd-even rule), its arcs as chords of about two
    /// pixels (at most 4096 per arc); an unbounded region reaches out to reach pixels from the
    /// centre. Empty for the region of everything.
    std::vector<TPoint> Outline(double reach) const;

private:
    bool inSector(double dx, double dy) const
    {
        if (m_wholeTurn)
            return true;
        dy *= m_flip;
        const double fromStart = m_ax * dy - m_ay * dx;
        const double toEnd = dx * m_by - dy * m_bx;
        return m_reflex ? (fromStart >= 0 || toEnd >= 0) : (fromStart >= 0 && toEnd >= 0);
    }

    bool m_everything = true;
    double m_cx = 0, m_cy = 0;
    double m_outer2 = 0, m_hole2 = 0;
    bool m_bounded = false;
    bool m_wholeTurn = true;
    bool m_reflex = false;
    // The edges, with rows mirrored back for a counter-clockwise view.
    double m_ax = 1, m_ay = 0, m_bx = 1, m_by = 0;
    double m_flip = 1;
    double m_span = 0;
};

/// The box about the centre that a sector of the unit circle with a hole covers, in outer radii,
/// screen directions (y downwards): left, top, right, bottom.
struct TpcSectorBox {
    /// The leftmost column.
    double Left = -1;
    /// The topmost row.
    double Top = -1;
    /// The rightmost column.
    double Right = 1;
    /// The bottom row.
    double Bottom = 1;
};

/// Pixels from polar positions and back. A small value object: it never touches a widget.
class TpcTransform {
public:
    /// The transform of these parameters.
    explicit TpcTransform(const TpcTransformParams& params);

    /// Radial values below RangeLow (above it for an inverted range) land on the centre (on the
    /// hole's edge for a view with a hole); there is no limit outwards. The result is clamped to
    /// the 32-bit range and rounded half to even. A coordinate that is not a number (from NaN
    /// data, or infinity times zero), and on a logarithmic scale a radial value of 0 or below,
    /// maps to the pixel origin, so that no NaN ever reaches an integer conversion.
    TPoint PolarToPixel(double rad, double phi) const;

    /// Whether a datum has a place on the chart: both coordinates finite and, on a logarithmic
    /// scale, the radial value above 0. Data without one is a gap in its line.
    bool HasPlace(double rad, double phi) const
    {
        return std::isfinite(rad) && std::isfinite(phi) && rad > m_radFloor;
    }

    /// The pixels of count elements, each clamped by ClipCoordinates: out[i] is exactly what
    /// PolarToPixel and ClipCoordinates give for elements[i]. Made for whole chunks of stored data:
    /// the factors are worked out once, and the sine and cosine come from polynomials whose result
    /// is used only where it cannot round to another pixel than the library's sine and cosine;
    /// every other element takes the per-element path. With continues, continues[i] is also set
    /// to non-zero exactly when elements[i] has a place (HasPlace) and the same pixel, Color,
    /// PenStyle, LineWidth, ElemClass and Kind as elements[i - 1]: the elements that only
    /// lengthen a polyline by nothing. continues[0] is 0.
    void DataPixels(const TpcDataElement* elements, int32_t count, TPoint* out,
        uint8_t* continues = nullptr) const;
    /// The instruction sets DataPixels can use on this processor, widest first: "avx512",
    /// "avx2", "basic" (always there). Each gives the same pixels; the widest is the fastest and
    /// the one used unless UseDataPixelsInstructionSet chose another.
    static std::vector<std::string> DataPixelsInstructionSets();
    /// Makes DataPixels use the named one of DataPixelsInstructionSets from now on, in every
    /// transform of the process: for comparisons and measurements. Returns false and changes
    /// nothing for a name that is not in that list.
    static bool UseDataPixelsInstructionSet(const std::string& name);

    /// The polar position of a pixel, the angle normalised into 0 .. 2 pi / AngleUnit (both ends
    /// possible). With a scale of 0 (no drawing area) every pixel reads as RangeLow at angle 0.
    /// Inside a hole the radial value continues below RangeLow (above it for an inverted range).
    TpcPolarPoint PixelToPolar(int32_t x, int32_t y) const;

    /// The pixels per unit of the radial axis (per decade on a logarithmic scale) for an outer
    /// circle of MagFactor * side / 2 pixels: the axis from axisLow to axisHigh spans the part of
    /// the radius outside the hole. Zero when the result would not be finite.
    static long double ScaleFor(
        double magFactor, long double side, double axisLow, double axisHigh, double holeFraction);

    /// A radial value's place on the radial axis: log10(rad) on a logarithmic scale (NaN for 0
    /// and below), else rad itself.
    double AxisValue(double rad) const;
    /// The radial value at a place on the axis: the inverse of AxisValue.
    double RadialValue(double axis) const;
    /// The distance from the centre, in pixels, of a radial value (clamped at RangeLow).
    double RadiusOf(double rad) const;
    /// The region this view shows.
    const TpcViewRegion& Region() const { return m_region; }
    /// Whether the pixel lies in the region the view shows.
    bool InView(int32_t x, int32_t y) const
    {
        return m_region.Everything() || m_region.Contains(x, y);
    }

    /// The box a sector of the unit circle covers, for a sector from start over span (radians of
    /// data angle), turned by offsetRadians, sweeping clockwise on the screen for sign +1.
    static TpcSectorBox SectorBox(
        double startRadians, double spanRadians, double offsetRadians, int32_t sign, double hole);

    /// The parameters.
    const TpcTransformParams& Params() const { return m_p; }

private:
    TpcTransformParams m_p;
    // The bounds on the radial axis, the hole in axis units (signed like the range) and the
    // smallest radial value with a place, all derived from the parameters.
    double m_axisLow = 0, m_axisHigh = 1, m_holeUnits = 0;
    double m_radFloor = -HUGE_VAL;
    TpcViewRegion m_region;
};

/// Clears the upper halves of the wide vector registers (on processors that have them), which code
/// run before may have left in use. Non-vector code, and the math library's own wide code, run
/// much slower in that state on some processors; loops over every element call this first.
void ClearUpperVectorState();

/// The largest magnitude of a pixel coordinate that the chart hands to drawing operations: a
/// range every one of them handles.
inline constexpr int32_t ClipLimit = 30000;

/// Clamps each coordinate to -ClipLimit .. ClipLimit.
void ClipCoordinates(int32_t& x, int32_t& y);

/// The scales' number text, right-aligned in width characters. decimals >= 0: fixed notation;
/// -1: scientific with a two-digit exponent (" 1.5E+01"), asterisks when the exponent needs
/// three; below -1: scientific with a four-digit exponent (" 1.5E+0001").
std::string FormatScaleNumber(int width, int decimals, double value);

} // namespace znq
