/// \file
/// Text helpers shared by the components: the decimal text of a real, fixed-width number text,
/// engineering notation with an SI prefix letter, and the search for the n-th occurrence of a
/// substring. None of them reads or changes the C locale: the decimal separator is always ".".
#pragma once

#include <cstdint>
#include <string>

namespace znq {

/// The decimal text of a real, right-aligned by leading spaces in a field of the given width (a
/// longer text is not cut). The magnitude is first reduced to 18 significant digits.
/// - decimals >= 0: fixed notation rounded at that decimal, halves away from zero, at least one
///   integer digit, "." as separator, no grouping. A value below zero keeps its "-" when it rounds
///   to zero (-0.001 with 2 decimals gives "-0.00"); negative zero is zero and has no sign.
/// - decimals < 0: scientific notation, a sign character ("-" or a space), one digit, ".", further
///   digits, "E", the exponent's sign and four exponent digits (" 1.5E+0001"); width - 8 mantissa
///   digits, limited to 2..18, so the text fills the field exactly from width 10 to 26.
/// NaN and infinities are written "NAN", "INF" and "-INF" in both notations.
std::string DecimalText(long double value, int width, int decimals);

/// The value in |width| characters: decimals -2 selects scientific notation with a two-digit
/// exponent, where an exponent of 100 or more turns the text into asterisks; any other negative
/// decimals give the scientific text unchanged, others fixed notation. A negative width pads with
/// zeros after the sign instead of spaces ("-00012.5"). "NAN", "INF" and "-INF" are always padded
/// with spaces.
std::string FormatFixed(int width, int decimals, long double value);

/// The value with a mantissa from 1 to below 1000 and an SI prefix letter ("afpnum kMGT", micro as
/// "u"); |a| (limited to 9) is the number of significant digits once it exceeds the integer digits
/// of the mantissa. A negative a puts the prefix letter in place of the decimal point ("12k35").
/// Mantissas are not renormalised after rounding ("1000k") and grow beyond the tera and atto
/// ranges ("2200T", "0.0100a"). NaN gives "NAN", infinities "INF" and "-INF".
std::string FormatEngineering(int a, double value);

/// The 1-based position in s of the n-th non-overlapping occurrence of sub, searching from the
/// 1-based position start (below 1 counts as 1); 0 when there are fewer than n occurrences, when
/// n <= 0 or when sub is empty. ignoreCase folds the ASCII letters only, so positions are byte
/// positions in s.
int32_t NthPos(
    const std::string& sub, const std::string& s, int32_t start, bool ignoreCase, int32_t n);

} // namespace znq
