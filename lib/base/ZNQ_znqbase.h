/// \file
/// The base unit of the component library: the enumerations that several components share, the
/// chart's zoom-and-pan event type, the library's error classes and the frame drawing routines.
#pragma once

#include "znq_graphics.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace znq {

/// The shared enumerations live in their own namespace so that Qt's meta-object system can read
/// and write them by identifier; they are re-exported into znq below.
namespace base_types {
    Q_NAMESPACE

    /// The pair of frame colours a numeric label stores: csBWG grey and white, csSystem the
    /// palette's button shadow and highlight.
    enum class TColorScheme : uint8_t { csBWG, csSystem };
    Q_ENUM_NS(TColorScheme)

    /// Which decimal separator the numeric input accepts: dsSystem the locale's ("," when it is
    /// ",", else "."), dsDot ".", dsComma ",", dsBoth either.
    enum class TDecPSep : uint8_t { dsSystem, dsDot, dsComma, dsBoth };
    Q_ENUM_NS(TDecPSep)

    /// The chart's shadow band: ssFlying starts the bands away from the corners, leaving
    /// background-coloured corners; ssBox runs them into the corners with black edges.
    enum class TShadowStyle : uint8_t { ssFlying, ssBox };
    Q_ENUM_NS(TShadowStyle)

    /// The frame of a numeric label's value box (see DrawFrame).
    enum class TFrameStyle : uint8_t {
        /// No frame.
        fsNone,
        /// A one-pixel outline.
        fsSimple,
        /// A two-pixel bevel, sunken.
        fsLowered,
        /// A two-pixel bevel, raised.
        fsRaised,
        /// A two-pixel ridge.
        fsEmbossed,
        /// A two-pixel groove.
        fsEngraved
    };
    Q_ENUM_NS(TFrameStyle)

    /// The look of a chart text label; tlOff also marks its slot as free. tlOff: not drawn;
    /// tlsimple: the caption on a box of its background colour; tlBox: the box with a border;
    /// tlUnderline: the caption underlined; tlShadow: a bordered box over a shadow box.
    enum class TTxtLblMode : uint8_t { tlOff, tlsimple, tlBox, tlUnderline, tlShadow };
    Q_ENUM_NS(TTxtLblMode)

    /// What dragging the mouse over the chart does; values the chart does not act on make it
    /// ignore drags.
    enum class TMouseActMode : uint8_t {
        /// Dragging does nothing.
        maNone,
        /// A left drag moves the chart's centre with the pointer.
        maPan,
        /// A left drag moves the centre horizontally only.
        maPanHoriz,
        /// A left drag moves the centre vertically only.
        maPanVert,
        /// Not acted on by the chart.
        maPanGrid,
        /// Not acted on by the chart.
        maRubberBand,
        /// Not acted on by the chart.
        maZoom,
        /// A left drag spans a square zoom box; releasing the left button zooms into it.
        maZoomWind,
        /// As maZoomWind.
        maZoomWindPos,
        /// A left drag upwards magnifies, downwards shrinks.
        maZoomDrag,
        /// A left drag moves the crosshair nearest to the pointer.
        maDragCrossH,
        /// A left drag moves the text label whose anchor is nearest to the pointer.
        maDragLabel,
        /// Not acted on by the chart.
        maRotate,
        /// Not acted on by the chart.
        maRotAndZoom,
        /// Not acted on by the chart.
        maRotXOnly,
        /// Not acted on by the chart.
        maRotZOnly,
        /// Not acted on by the chart.
        maSelectRect,
        /// Not acted on by the chart.
        maDrawMTrace,
        /// Not acted on by the chart.
        maZoomPanColors
    };
    Q_ENUM_NS(TMouseActMode)
} // namespace base_types

using base_types::TColorScheme;
using base_types::TDecPSep;
using base_types::TFrameStyle;
using base_types::TMouseActMode;
using base_types::TShadowStyle;
using base_types::TTxtLblMode;

/// The chart's notification after a pan or zoom with the mouse.
using TZoomPanEvent = std::function<void(TObject* Sender)>;

/// The base of the library's errors.
class EZNQError : public std::runtime_error {
public:
    /// An error with the message text.
    explicit EZNQError(const std::string& message)
        : std::runtime_error(message)
    {
    }

    /// The message of a component's error: Component "Name" followed by the description.
    static std::string ComponentMessage(
        const std::string& componentName, const std::string& description)
    {
        return "Component \"" + componentName + "\"" + description;
    }
};

/// An error of the polar chart, such as an index outside the text-label table.
class EZNQPolChartError : public EZNQError {
public:
    /// The message is ComponentMessage(componentName, description).
    EZNQPolChartError(const std::string& componentName, const std::string& description)
        : EZNQError(ComponentMessage(componentName, description))
    {
    }
};

/// The border of the rectangle whose outermost lines are left, top, right and bottom (both edges
/// included), in a frame style: nothing, a one-pixel outline, or a two-pixel bevel. Lines use the
/// canvas's pen width and style; the pen colour is left at the last colour used.
void DrawFrame(TCanvas& canvas, TFrameStyle style, int left, int top, int right, int bottom,
    TColor highlight, TColor light, TColor shadow, TColor darkShadow, TColor outline);

/// Two rings: c1 on the outer top and left, c2 on the outer bottom and right, c3 and c4 likewise on
/// the inner ring. The bottom-left corner pixel is c2, the top-right one c1.
void DrawBevel(TCanvas& canvas, int left, int top, int right, int bottom, TColor c1, TColor c2,
    TColor c3, TColor c4);

/// A one-pixel outline through all four corners.
void DrawBox(TCanvas& canvas, int left, int top, int right, int bottom, TColor outline);

} // namespace znq
