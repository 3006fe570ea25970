/// \file
/// The text of the numeric read-out label: the fifteen display types, the number notations they
/// use, the angle and date-time writers, and the pipeline that turns the label's value and settings
/// into the text that is drawn. Everything here is a pure function of its arguments; the locale
/// comes in as a TLocaleInfo and the text measurement as a function.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <string>

namespace znq {

struct TLocaleInfo;

/// The display types live in their own namespace so that Qt's meta-object system can read and
/// write them by identifier; they are re-exported into znq below.
namespace numctrl_types {
    Q_NAMESPACE

    /// How the numeric label writes its value; P is its Precision. The examples leave Comma and
    /// ForcePlusSign off.
    enum class TDisplay : uint8_t {
        /// General notation, max(P, 2) significant digits: 12345.678, P 4: "1.235E004".
        dtFloat,
        /// Fixed notation, P decimals: 3.14159, P 2: "3.14".
        dtFixP,
        /// Scientific notation, max(P, 2) significant digits: 1234.5, P 3: "1.23E+003".
        dtExp,
        /// Hexadecimal, the last min(P, 8) digits: 255, P 4: "00FF".
        dtHex,
        /// Decimal integer with at least P digits: 42, P 5: "00042".
        dtZeroInt,
        /// Decimal integer, rounded half to even: 3.5: "4".
        dtInt,
        /// Date and time by DTFormat, the value as days since 1899-12-30: 45000: "Mar-15, 2023".
        dtDateTime,
        /// StateText whatever the value: "undefined".
        dtState,
        /// Binary, the last min(P, 32) digits: 5, P 8: "00000101".
        dtBin,
        /// Octal, the last min(P, 12) digits: 8, P 3: "010".
        dtOct,
        /// Degrees with P decimals: 12.3456, P 2: "12.35°".
        dtDeg,
        /// Degrees and minutes with P decimals: 12.3456, P 2: "12° 20.74'".
        dtDegMin,
        /// Degrees, minutes and seconds with P decimals: 12.3456, P 1: 12° 20' 44.2&quot;
        dtDegMinSec,
        /// Engineering notation, SI prefix letter: 12345.678, P 4: "12.35k".
        dtEEng,
        /// Engineering notation, the prefix letter as the point: 12345.678, P 4: "12k35".
        dtEEngNoDP
    };
    Q_ENUM_NS(TDisplay)
} // namespace numctrl_types

using numctrl_types::TDisplay;

/// The three forms of FormatAngle: afDeg degrees, afDegMin degrees and minutes, afDegMinSec
/// degrees, minutes and seconds.
enum class TAngleForm : uint8_t { afDeg, afDegMin, afDegMinSec };

// The number notations below write the given decimal separator, a leading "-" for values below
// zero, and "NAN", "INF" and "-INF" for values that are not finite. All rounding to digits goes
// through the 18-significant-digit decimal text with halves away from zero (DecimalText).

/// General notation with max(precision, 2) significant digits (at most 18), trailing zeros dropped.
/// With E digits before the point, E > digits or E < -3 selects the scientific form: "1.235E004",
/// "1.5E-005", the exponent without a plus sign and with at least minExponentDigits digits.
/// Otherwise the fixed form: "0.0001235", "1200", "12.5". Zero gives "0".
std::string GeneralNotation(double value, int precision, char separator, int minExponentDigits = 3);

/// Fixed notation with precision decimals ("3.14", "-0.00" for -0.001). A magnitude of 10^18 or
/// more is written in general notation with 18 digits instead, its exponent with at least
/// precision digits when precision is at most 4 ("1E0020" for 1e20 with 4 decimals).
std::string FixedNotation(double value, int precision, char separator);

/// Scientific notation with max(precision, 2) significant digits (at most 18): one digit, the
/// separator, the further digits with trailing zeros kept, "E", the exponent's sign and at least
/// three exponent digits ("1.23E+003"). Zero gives "0.0E+000" with two digits.
std::string ScientificNotation(double value, int precision, char separator);

/// The count lowest octal digits of N (count limited to 1..11), most significant first, with
/// leading zeros.
std::string OctDigits(uint32_t N, uint8_t count);

/// The count lowest bits of N (count limited to 1..32) as "0" and "1", most significant first.
std::string BinDigits(uint32_t N, uint8_t count);

/// An angle in degrees with decimals (limited to 0..8) decimals in its last field:
/// "12.35°", "12° 20.74'", 12° 20' 44.2&quot; (ending in a double quote). Minutes and seconds are
/// first rounded to the last decimal (an exact half upward, toward plus infinity) and values
/// within 3e-12 of a whole degree or minute are snapped to it, so that 59.99999... never shows.
/// Between -1 and 0 the text starts with "-0". Values that are not finite give "NAN", "INF" and
/// "-INF".
std::string FormatAngle(TAngleForm form, int decimals, double value);

/// True when the date-time serial (days since 1899-12-30, the time of day as the fraction) lies in
/// the years 1 to 9999 once rounded to the millisecond. Outside that range, and for values that are
/// not finite, FormatDateTime returns an empty text.
bool IsValidDateTimeSerial(double serial);

/// The date-time serial written through a pattern. A negative serial counts whole days backwards
/// from 1899-12-30 while its fraction is still the time of day (-1.25 is 1899-12-29 06:00).
/// Pattern letters, without regard to case, and runs of them:
/// - d, dd: day, without and with a leading zero; ddd, dddd (or longer): short and long day name
/// - m, mm: month number; mmm, mmmm (or longer): short and long month name
/// - yy (or y): two-digit year; yyyy (or yyy and longer): four-digit year
/// - h, hh: hour; n, nn: minute; m, mm right after an hour (no other letter in between): minute
/// - s, ss: second; z: milliseconds; zzz (or zz): milliseconds with three digits
/// - am/pm: "am" or "pm" with the letter case of the pattern, and the preceding hours on the
///   twelve-hour clock; a/p likewise with one letter; ampm the locale's AM and PM texts
/// - / and : the locale's date and time separators; '...' and "..." copied without the quotes.
///
/// Every other character is copied as it stands.
std::string FormatDateTime(const std::string& pattern, double serial, const TLocaleInfo& locale);

/// What the numeric label's text depends on. The defaults are those of a new label.
struct TNumLabSettings {
    /// The number shown.
    double Value = 0.0;
    /// Selects the rule that writes Value.
    TDisplay DisplayType = TDisplay::dtFixP;
    /// Digits or decimals of the display type.
    int Precision = 2; // limited to 0..15
    /// true: "," as the decimal separator, false: ".".
    bool Comma = false;
    /// true: "+" before values above zero.
    bool ForcePlusSign = false;
    /// The date-time pattern of dtDateTime.
    std::string DTFormat = "mmm-dd, yyyy";
    /// The text of dtState.
    std::string StateText = "undefined";
    /// Shown instead of a value out of range or too wide for the box.
    std::string OverflowIndicator = "*********";
    /// Width of the value box in pixels; texts wider than LabelWidth - 6 overflow.
    int LabelWidth = 80;
};

/// The text the numeric label draws in its value box:
/// 1. the base text of the display type; dtHex, dtBin, dtOct and dtZeroInt outside their ranges,
///    dtInt beyond the 64-bit range, dtDateTime outside the years 1..9999 and every one of them for
///    NaN and infinities give the overflow indicator, as does an empty angle or engineering text;
/// 2. except for dtHex, dtDateTime, dtState and dtBin, every "." becomes "," with Comma set and
///    every "," becomes "." without;
/// 3. for the same types, ForcePlusSign puts "+" in front when Value > 0;
/// 4. beforeDisplay, when set, may rewrite the text;
/// 5. a text wider than LabelWidth - 6 by textWidth (when set) becomes the overflow indicator,
///    except for dtState.
/// NOTE: an overflow indicator of step 1 is left as it is by steps 2 and 3, so that it never shows
/// as "+*********".
std::string NumLabText(const TNumLabSettings& settings, const TLocaleInfo& locale,
    const std::function<void(std::string&)>& beforeDisplay,
    const std::function<int(const std::string&)>& textWidth);

} // namespace znq
