/// \file
/// The mapping between polar coordinates (radial value, angle) and the pixels of the chart image,
/// and the number texts of the scales.
#pragma once

#include "znq_types.h"

#include <cstdint>
#include <string>

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
    /// Equal in every parameter.
    friend bool operator==(const TpcTransformParams&, const TpcTransformParams&) = default;
};

/// Pixels from polar positions and back. A small value object: it never touches a widget.
class TpcTransform {
public:
    /// The transform of these parameters.
    explicit TpcTransform(const TpcTransformParams& params)
        : m_p(params)
    {
    }

    /// Radial values below RangeLow (above it for an inverted range) land on the centre; there is
    /// no limit outwards. The result is clamped to the 32-bit range and rounded half to even. A
    /// coordinate that is not a number (from NaN data, or infinity times zero) maps to the pixel
    /// origin, so that no NaN ever reaches an integer conversion.
    TPoint PolarToPixel(double rad, double phi) const;

    /// The pixels of count elements, each clamped by ClipCoordinates: out[i] is exactly what
    /// PolarToPixel and ClipCoordinates give for elements[i]. Made for whole chunks of stored data:
    /// the factors are worked out once, and the sine and cosine come from polynomials whose result
    /// is used only where it cannot round to another pixel than the library's sine and cosine;
    /// every other element takes the per-element path.
    void DataPixels(const TpcDataElement* elements, int32_t count, TPoint* out) const;

    /// The polar position of a pixel, the angle normalised into 0 .. 2 pi / AngleUnit (both ends
    /// possible). With a scale of 0 (no drawing area) every pixel reads as RangeLow at angle 0.
    TpcPolarPoint PixelToPolar(int32_t x, int32_t y) const;

    /// The pixels per radial unit for a drawing area: MagFactor * min(w, h) / range / 2, where w
    /// and h are the control's size less the shadow (an area below zero counts as empty).
    static long double ScaleFor(double magFactor, int32_t width, int32_t height,
        int32_t shadowWidth, double rangeLow, double rangeHigh);

    /// The parameters.
    const TpcTransformParams& Params() const { return m_p; }

private:
    TpcTransformParams m_p;
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
