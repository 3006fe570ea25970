// Basic value types of the toolkit layer: colours, pen and brush styles, font styles, alignment,
// mouse buttons and shift states, points and rectangles.
#pragma once

#include <QFlags>
#include <QObject>
#include <cstdint>

namespace znq {

// The root of the components' object tree.
using TObject = QObject;

// A colour, 0x00BBGGRR. A value whose top byte is 0xFF names a system colour by the index in its
// low byte; it is resolved through the application palette when it is drawn.
using TColor = uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;

inline constexpr TColor clWindowText = 0xFF000008;
inline constexpr TColor clBtnFace = 0xFF00000F;
inline constexpr TColor clBtnShadow = 0xFF000010;
inline constexpr TColor clGrayText = 0xFF000011;
inline constexpr TColor clBtnText = 0xFF000012;
inline constexpr TColor clBtnHighlight = 0xFF000014;
inline constexpr TColor clWindow = 0xFF000005;
inline constexpr TColor clHighlight = 0xFF00000D;
inline constexpr TColor clHighlightText = 0xFF00000E;
inline constexpr TColor cl3DDkShadow = 0xFF000015;
inline constexpr TColor cl3DLight = 0xFF000016;

// The enumerations of this layer live in their own namespace so that Qt's meta-object system can
// read and write them by identifier; they are re-exported into znq below.
namespace platform_types {
    Q_NAMESPACE

    enum class TPenStyle : uint8_t {
        psSolid,
        psDash,
        psDot,
        psDashDot,
        psDashDotDot,
        psClear,
        psInsideFrame
    };
    Q_ENUM_NS(TPenStyle)

    enum class TPenMode : uint8_t { pmCopy, pmXor };
    Q_ENUM_NS(TPenMode)

    enum class TBrushStyle : uint8_t { bsSolid, bsClear };
    Q_ENUM_NS(TBrushStyle)

    // How TCanvas::Draw combines a bitmap with the picture beneath.
    enum class TCopyMode : uint8_t { cmSrcCopy, cmSrcAnd };
    Q_ENUM_NS(TCopyMode)

    enum class TFontStyle : uint8_t {
        fsBold = 0x1,
        fsItalic = 0x2,
        fsUnderline = 0x4,
        fsStrikeOut = 0x8
    };
    Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
    Q_FLAG_NS(TFontStyles)

    enum class TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };
    Q_ENUM_NS(TAlignment)

    enum class TShiftStateFlag : uint8_t {
        ssShift = 0x01,
        ssAlt = 0x02,
        ssCtrl = 0x04,
        ssLeft = 0x08,
        ssRight = 0x10,
        ssMiddle = 0x20,
        ssDouble = 0x40
    };
    Q_DECLARE_FLAGS(TShiftState, TShiftStateFlag)
    Q_FLAG_NS(TShiftState)

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

// A pixel position on a canvas: x to the right, y downwards.
struct TPoint {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// A pixel rectangle; Right and Bottom are exclusive.
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect Rect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    return TRect { left, top, right, bottom };
}

} // namespace znq
