/// \file
/// Pixel geometry that the painting layers and the navigator both need: the rounding to pixels,
/// the chart area, and where a text label is anchored. Pure functions; nothing here knows a widget.
#pragma once

#include "polchart_transform.h"

#include <cstdint>

namespace znq::geometry {

/// Nearest integer, halves to the even one, saturated to the 32-bit range (NaN gives 0).
int32_t RoundPixel(double value);
/// The value saturated to the 32-bit range.
int32_t Saturate(int64_t value);

/// The chart area: 0 <= x <= width - shadowWidth and 0 <= y <= height - shadowWidth, the pixels of
/// the chart image.
bool InChartArea(int32_t x, int32_t y, int32_t width, int32_t height, int32_t shadowWidth);

/// The anchor pixel of a text label: its polar position mapped by the transform when it is
/// attached to the data, else its two positions rounded as pixel coordinates.
TPoint LabelAnchor(const TpcTransform& transform, bool attachToData, double posRad, double posPhi);

} // namespace znq::geometry
