/// \file
/// How the numeric input field reads its text: scanners for binary, octal, hexadecimal and decimal
/// integers and for reals, and TextToNumber, which picks a scanner by the input format and says
/// whether the whole text was understood. Plain functions of a string; the separator choice and the
/// locale's decimal separator are parameters.
///
/// The scanners take an in-out position counted from 1, as the field's caret is; on return it
/// designates the first character that was not consumed (the text's length plus one when all was).
#pragma once

#include "ZNQ_znqbase.h"

#include <QObject>
#include <cstdint>
#include <string>

namespace znq {

/// The input formats live in their own namespace so that Qt's meta-object system can read and
/// write them by identifier; they are re-exported into znq below.
namespace numio_types {
    Q_NAMESPACE

    /// What the numeric input field accepts. itDynamic chooses by the first character: "$"
    /// hexadecimal, "%" binary, "&" octal, anything else as itExp.
    enum class TInFormat : uint8_t {
        /// A real with optional exponent: "1.5e3" is 1500.
        itExp,
        /// A real without exponent: "-12.5" is -12.5; "1e5" is refused.
        itFloat,
        /// As itFloat; the field rewrites each accepted text with FixPointDecPlaces decimals.
        itFixPoint,
        /// A signed decimal integer: "+7" is 7; "1.5" is refused.
        itInt,
        /// Hexadecimal digits, optionally after "$", as a signed 32-bit number: "$ff" is 255,
        /// "ffffffff" is -1.
        itHex,
        /// Octal digits, optionally after "&": "&777" is 511.
        itOct,
        /// Binary digits, optionally after "%": "%101" is 5.
        itBin,
        /// By the first character: "$ff" is 255, "%101" is 5, "&17" is 15, "1e2" is 100.
        itDynamic
    };
    Q_ENUM_NS(TInFormat)
} // namespace numio_types

using numio_types::TInFormat;

/// The decimal separators ParseFloat accepts: smPoint ".", smComma "," or smBoth either.
enum class TSepMode : uint8_t { smPoint, smComma, smBoth };

/// dsDot and dsComma accept their character, dsBoth either, and dsSystem "," when the locale's
/// decimal separator is "," and "." otherwise.
TSepMode SepModeOf(TDecPSep sep, char localeDecimalSeparator);

/// Binary digits. The integer scanners skip spaces (not one in the last position of the text),
/// then read digits of their base, letters in either case, until the first other character.
/// Arithmetic is 32-bit and wraps silently. ParseHex also passes over a "$" at position 1 of the
/// text. A position below 1 counts as 1.
int32_t ParseBin(const std::string& s, int32_t& pos);
/// Octal digits, as ParseBin.
int32_t ParseOct(const std::string& s, int32_t& pos);
/// Hexadecimal digits, as ParseBin, and a "$" at position 1.
int32_t ParseHex(const std::string& s, int32_t& pos);
/// Decimal digits, as ParseBin. Also reads one "+" or "-" before the digits; an empty text gives
/// 0.
int32_t ParseInt(const std::string& s, int32_t& pos);

/// Reads a real: leading spaces, a sign, digits with one decimal separator of the mode, and, when
/// exponentAllowed, "E" with an optional sign and digits (letters in either case). The number ends
/// at the first character that cannot continue it (a space, a sign, a letter, ...), where pos is
/// left; a character that makes it malformed ("1.2.", "+-", "1E.") leaves pos on that character
/// and gives 0. A number without digits is worth 0 ("-", ".", "1." is 1). Once the exponent's
/// digits exceed 4200 the further ones are not taken ("1E5000" reads as 1E500). The value is
/// correctly rounded to extended precision, then limited to -1.7e308 .. 1.7e308.
long double ParseFloat(const std::string& s, bool exponentAllowed, TSepMode mode, int32_t& pos);

/// True when the whole text is a number, or the beginning of one, in the format: value then holds
/// it (0 for beginnings such as "-", "." or "$"). An empty text is invalid and leaves value alone;
/// otherwise value is 0 unless a number was read. Leading spaces are ignored, any other space makes
/// the text invalid, and a text of spaces only is 0. In itExp a trailing "e" or "e" with a sign
/// alone is left out ("1e-" reads as 1). Hexadecimal, octal and binary texts may start with "$",
/// "&" and "%" and are read as signed 32-bit numbers ("ffffffff" is -1). Reals are read as
/// ParseFloat does, but rounded once, straight to the nearest double.
bool TextToNumber(const std::string& text, double& value, TInFormat format, TDecPSep sep,
    char localeDecimalSeparator);

} // namespace znq
