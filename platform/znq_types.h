/// \file
/// Basic value types of the toolkit layer: colours, pen and brush styles, font styles, alignment,
/// mouse buttons and shift states, points and rectangles.
#pragma once

#include <QFlags>
#include <QObject>
#include <cstdint>
#include <functional>
#include <type_traits>

/// Everything of the component library: the chart, the numeric controls, their base and the
/// toolkit layer over Qt.
namespace znq {

/// The root of the components' object tree.
using TObject = QObject;

/// An event with the firing component as its only parameter; an empty function is unassigned.
using TNotifyEvent = std::function<void(TObject* Sender)>;

/// A colour, 0x00BBGGRR. A value whose top byte is 0xFF names a system colour by the index in its
/// low byte; it is resolved through the application palette when it is drawn.
using TColor = uint32_t;

/// Black, 0x000000.
inline constexpr TColor clBlack = 0x000000;
/// Maroon, 0x000080.
inline constexpr TColor clMaroon = 0x000080;
/// Green, 0x008000.
inline constexpr TColor clGreen = 0x008000;
/// Olive, 0x008080.
inline constexpr TColor clOlive = 0x008080;
/// Navy, 0x800000.
inline constexpr TColor clNavy = 0x800000;
/// Purple, 0x800080.
inline constexpr TColor clPurple = 0x800080;
/// Teal, 0x808000.
inline constexpr TColor clTeal = 0x808000;
/// Grey, 0x808080.
inline constexpr TColor clGray = 0x808080;
/// Silver, 0xC0C0C0.
inline constexpr TColor clSilver = 0xC0C0C0;
/// Red, 0x0000FF.
inline constexpr TColor clRed = 0x0000FF;
/// Lime, 0x00FF00.
inline constexpr TColor clLime = 0x00FF00;
/// Yellow, 0x00FFFF.
inline constexpr TColor clYellow = 0x00FFFF;
/// Blue, 0xFF0000.
inline constexpr TColor clBlue = 0xFF0000;
/// Fuchsia, 0xFF00FF.
inline constexpr TColor clFuchsia = 0xFF00FF;
/// Aqua, 0xFFFF00.
inline constexpr TColor clAqua = 0xFFFF00;
/// White, 0xFFFFFF.
inline constexpr TColor clWhite = 0xFFFFFF;

/// System colour: the palette's window text.
inline constexpr TColor clWindowText = 0xFF000008;
/// System colour: the palette's button face.
inline constexpr TColor clBtnFace = 0xFF00000F;
/// System colour: the palette's dark shade (button shadow).
inline constexpr TColor clBtnShadow = 0xFF000010;
/// System colour: the palette's disabled text.
inline constexpr TColor clGrayText = 0xFF000011;
/// System colour: the palette's button text.
inline constexpr TColor clBtnText = 0xFF000012;
/// System colour: the palette's light shade (button highlight).
inline constexpr TColor clBtnHighlight = 0xFF000014;
/// System colour: the palette's base (the background of entry fields).
inline constexpr TColor clWindow = 0xFF000005;
/// System colour: the palette's selection background.
inline constexpr TColor clHighlight = 0xFF00000D;
/// System colour: the palette's selected text.
inline constexpr TColor clHighlightText = 0xFF00000E;
/// System colour: the palette's shadow.
inline constexpr TColor cl3DDkShadow = 0xFF000015;
/// System colour: the palette's midlight.
inline constexpr TColor cl3DLight = 0xFF000016;

/// The enumerations of this layer live in their own namespace so that Qt's meta-object system can
/// read and write them by identifier; they are re-exported into znq below.
namespace platform_types {
    Q_NAMESPACE

    /// The pattern a pen draws lines with, stepped once per pixel.
    enum class TPenStyle : uint8_t {
        /// Continuous.
        psSolid,
        /// Dashes: 18 pixels on, 6 off.
        psDash,
        /// Dots: 3 pixels on, 3 off.
        psDot,
        /// Dash and dot: 9 on, 6 off, 3 on, 6 off.
        psDashDot,
        /// Dash and two dots: 9 on, 3 off, 3 on, 3 off, 3 on, 3 off.
        psDashDotDot,
        /// No line at all.
        psClear,
        /// Continuous, as psSolid.
        psInsideFrame
    };
    Q_ENUM_NS(TPenStyle)

    /// How a pen combines with the picture: pmCopy paints its colour, pmXor exclusive-ors it in, so
    /// that the same figure drawn twice restores the picture.
    enum class TPenMode : uint8_t { pmCopy, pmXor };
    Q_ENUM_NS(TPenMode)

    /// Whether a brush fills (bsSolid) or leaves interiors and text cells alone (bsClear).
    enum class TBrushStyle : uint8_t { bsSolid, bsClear };
    Q_ENUM_NS(TBrushStyle)

    /// How TCanvas::Draw combines a bitmap with the picture beneath: cmSrcCopy copies it, cmSrcAnd
    /// combines both by bitwise AND.
    enum class TCopyMode : uint8_t { cmSrcCopy, cmSrcAnd };
    Q_ENUM_NS(TCopyMode)

    /// One font style; TFontStyles is a set of them.
    enum class TFontStyle : uint8_t {
        /// Bold.
        fsBold = 0x1,
        /// Italic.
        fsItalic = 0x2,
        /// Underlined.
        fsUnderline = 0x4,
        /// Struck out.
        fsStrikeOut = 0x8
    };
    /// A set of font styles; empty for a plain font.
    Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
    Q_FLAG_NS(TFontStyles)

    /// Horizontal placement of a text: taLeftJustify, taRightJustify or taCenter.
    enum class TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };
    Q_ENUM_NS(TAlignment)

    /// One element of a shift state: a modifier key, a mouse button held, or a double click.
    enum class TShiftStateFlag : uint8_t {
        /// Shift key.
        ssShift = 0x01,
        /// Alt key.
        ssAlt = 0x02,
        /// Ctrl key.
        ssCtrl = 0x04,
        /// Left mouse button held.
        ssLeft = 0x08,
        /// Right mouse button held.
        ssRight = 0x10,
        /// Middle mouse button held.
        ssMiddle = 0x20,
        /// A double click.
        ssDouble = 0x40
    };
    /// The modifier keys and mouse buttons of a mouse notification.
    Q_DECLARE_FLAGS(TShiftState, TShiftStateFlag)
    Q_FLAG_NS(TShiftState)

    /// A mouse button: mbLeft, mbRight or mbMiddle.
    enum class TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };
    Q_ENUM_NS(TMouseButton)

    Q_DECLARE_OPERATORS_FOR_FLAGS(TFontStyles)
    Q_DECLARE_OPERATORS_FOR_FLAGS(TShiftState)
} // namespace platform_types

using platform_types::TAlignment;
using platform_types::TBrushStyle;
using platform_types::TCopyMode;
using platform_types::TFontStyle;
using platform_types::TFontStyles;
using platform_types::TMouseButton;
using platform_types::TPenMode;
using platform_types::TPenStyle;
using platform_types::TShiftState;
using platform_types::TShiftStateFlag;

/// A pixel position on a canvas: x to the right, y downwards.
struct TPoint {
    /// Column.
    int32_t x = 0;
    /// Row.
    int32_t y = 0;
    /// Equal when both coordinates are.
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

/// A pixel rectangle; Right and Bottom are exclusive.
struct TRect {
    /// First column.
    int32_t Left = 0;
    /// First row.
    int32_t Top = 0;
    /// One past the last column.
    int32_t Right = 0;
    /// One past the last row.
    int32_t Bottom = 0;
    /// Right - Left.
    int32_t Width() const { return Right - Left; }
    /// Bottom - Top.
    int32_t Height() const { return Bottom - Top; }
    /// Equal when all four sides are.
    friend bool operator==(const TRect&, const TRect&) = default;
};

/// The rectangle with these sides (right and bottom exclusive).
inline TRect Rect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    return TRect { left, top, right, bottom };
}

/// Whether two values of a property are the same: equal, or both NaN (a NaN written over a NaN
/// changes nothing).
template <typename T> bool SameValue(const T& a, const T& b)
{
    if constexpr (std::is_floating_point_v<T>)
        return a == b || (a != a && b != b);
    else
        return a == b;
}

/// A property's change signal: emits signal on object when the property's value now differs from
/// the one last notified (seen), and remembers it. Objects keep the values they last notified and
/// call this for each property after any change, so each change is told once, whichever way it
/// came.
template <typename Object, typename T>
void NotifyIfChanged(Object& object, T& seen, const T& now, void (Object::*signal)())
{
    if (SameValue(seen, now))
        return;
    seen = now;
    (object.*signal)();
}

} // namespace znq
