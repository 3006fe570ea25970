/// \file
/// The chart's settings that say how it looks and what new elements are appended with, as one
/// value that the façade's properties write and the painting layers read.
#pragma once

#include "polchart_types.h"

namespace znq {

/// The look of the grid, the scales and the shadow, the attributes of elements appended from now
/// on, and the text settings that are stored only.
struct TpcChartStyle {
    /// Colour of rays and circles.
    TColor GridColor = clBlack;
    /// The rays.
    TpcGridStyleAng GridStyleAngular = TpcGridStyleAng::gsAngDots;
    /// The circles.
    TpcGridStyleRad GridStyleRadial = TpcGridStyleRad::gsRadBothDots;
    /// Colour of the scale label texts.
    TColor ScaleColor = clBlack;
    /// Background of the chart image.
    TColor ChartColor = clWhite;
    /// The angle labels.
    TpcAngLabelMode LabelModeAngular = TpcAngLabelMode::almDegrees;
    /// The radial labels.
    TpcRadLabelMode LabelModeRadial = TpcRadLabelMode::rlmVertCenter;
    /// Decimals of the radial labels (negative: scientific notation).
    int32_t DecPlaceRad = 2;
    /// Decimals of the angle labels in radians.
    int32_t DecPlacePhi = 2;
    /// Whether the crosshair layer shows the measurement from crosshair 1 to crosshair 2.
    bool ShowMeasurement = false;
    /// The angle between neighbouring rays, in degrees.
    double AngleBtwRays = 30.0;
    /// Width of the shadow along the right and bottom edges.
    int32_t ShadowWidth = 0;
    /// The shape of the shadow band.
    TShadowStyle ShadowStyle = TShadowStyle::ssFlying;
    /// Colour of the shadow band.
    TColor ShadowColor = clGrayText;
    /// Colour of the corners beside the shadow band.
    TColor ShadowBakColor = clBtnFace;
    /// Line colour of elements appended from now on.
    TColor DataColor = clBlack;
    /// Line pattern of elements appended from now on.
    TPenStyle PenStyle = TPenStyle::psSolid;
    /// Line width of elements appended from now on; also the data pen's width before the first
    /// element.
    uint8_t LineWidth = 1;
    /// Class of elements appended from now on.
    uint8_t ClassDefault = 0;
    /// Stored only.
    TColor FillColor = clSilver;
    /// Stored only.
    TFontStyles TextFontStyle;
    /// Stored only.
    TpcTextBkg TextBkStyle = TpcTextBkg::tbClear;
    /// Stored only.
    TColor TextBkColor = clWhite;
    /// Stored only.
    TAlignment TextAlignment = TAlignment::taCenter;
};

} // namespace znq
