/// \file
/// Small mathematical helpers shared by the components: the runtime's math error, a base-10
/// logarithm, the integer floor and rounding, and the exchange of two integers.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace znq {

/// The runtime's math error, raised by the numeric helpers for an argument outside their domain.
class EMathError : public std::runtime_error {
public:
    /// An error with the message text.
    explicit EMathError(const std::string& message)
        : std::runtime_error(message)
    {
    }
};

/// Base-10 logarithm in extended precision. Exact powers of ten give exact integers
/// (Log10(1000) == 3). +infinity gives +infinity; zero, negative values and NaN raise EMathError
/// "logarithm: invalid argument".
long double Log10(double x);

/// Nearest integer with exact halves to the even one (2.5 gives 2, -2.5 gives -2). NaN gives 0;
/// values beyond the 64-bit range saturate to INT64_MIN or INT64_MAX.
int64_t RoundHalfEven(long double x);

/// Largest integer not above x (-2.5 gives -3, 2.5 gives 2). NaN gives 0; values beyond the 32-bit
/// range, infinities included, saturate to INT32_MIN or INT32_MAX.
int32_t FloorInt(double x);

/// Exchanges a and b.
void SwapInts(int32_t& a, int32_t& b);

} // namespace znq
