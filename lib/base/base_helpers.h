/// \file
/// Small helpers that the number texts of every unit share: ASCII letter case and digits, the
/// texts of values that are not finite, and the exact powers of ten; and the check of an
/// enumeration's values. Internal; not installed.
#pragma once

#include "ZNQ_znqbase.h"

#include <QMetaEnum>

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace znq::helpers {

/// The upper-case letter of an ASCII lower-case one; any other character as it is.
constexpr char UpperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

/// Whether c is one of the ASCII digits 0 to 9.
constexpr bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

/// "NAN", "INF" or "-INF" for a value that is not finite.
inline std::string NonFiniteText(long double value)
{
    if (std::isnan(value))
        return "NAN";
    return value < 0 ? "-INF" : "INF";
}

/// The shortest text that reads back as value ("0.95", "1e+300", "nan"), for error messages.
inline std::string ShortestText(double value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

/// 10^0 to 10^22: the powers of ten that a double holds exactly (and so does a long double).
inline constexpr std::array<long double, 23> PowersOfTen
    = { 1e0L, 1e1L, 1e2L, 1e3L, 1e4L, 1e5L, 1e6L, 1e7L, 1e8L, 1e9L, 1e10L, 1e11L, 1e12L, 1e13L,
          1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L, 1e22L };

/// value in single precision; a value beyond its range becomes infinity of its sign (the
/// conversion itself would be undefined), NaN stays NaN.
inline float ToSingle(double value)
{
    constexpr double largest = std::numeric_limits<float>::max();
    if (std::fabs(value) > largest)
        return std::copysign(std::numeric_limits<float>::infinity(), float(value > 0 ? 1 : -1));
    return static_cast<float>(value);
}

/// Whether value is one of the named values of its enumeration (by its Q_ENUM table): a cast or
/// the property system can hand a setter any number of the underlying type.
template <typename E> bool KnownEnumValue(E value)
{
    return QMetaEnum::fromType<E>().valueToKey(static_cast<int>(value)) != nullptr;
}

/// The refusal of an enumeration value that is none of its type's: "Marker cannot be 200: its
/// values are mkNone .. mkStar".
template <typename E> std::string UnknownEnumText(const std::string& what, E value)
{
    const QMetaEnum type = QMetaEnum::fromType<E>();
    return what + " cannot be " + std::to_string(static_cast<int>(value)) + ": its values are "
        + type.key(0) + " .. " + type.key(type.keyCount() - 1);
}

/// Raises EZNQError naming the component unless value is one of its enumeration's values.
template <typename E>
void RequireKnownEnum(const std::string& component, const std::string& what, E value)
{
    if (!KnownEnumValue(value))
        throw EZNQError(
            EZNQError::ComponentMessage(component, ": " + UnknownEnumText(what, value)));
}

} // namespace znq::helpers
