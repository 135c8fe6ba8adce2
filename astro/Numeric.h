// Number types and the checked real-to-integer conversions used everywhere.
//
// Reals are 80-bit extended precision on this machine. A real never becomes
// an integer through a plain cast: casting an out-of-range or NaN value is
// undefined behaviour, and the user can type any number. The helpers below
// saturate instead.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace astro {

using Real = long double;

// pi at full extended precision.
inline constexpr Real Pi = 3.141592653589793238462643383279502884L;

// 2 pi at full extended precision (the theories use rounded values of their own).
inline constexpr Real TwoPi = 2 * Pi;

// One degree in radians, and the two conversions. Angles are degrees at the
// user interface and in files, radians everywhere else.
inline constexpr Real Degree = Pi / 180;
constexpr Real DegreesToRadians(Real degrees) {
    return degrees * Degree;
}
constexpr Real RadiansToDegrees(Real radians) {
    return radians * (180 / Pi);
}

// Truncates toward zero and saturates into the signed 32-bit range.
// NaN gives 0.
constexpr std::int32_t TruncToInt32(Real x) {
    if (x != x) return 0;
    if (x >= static_cast<Real>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (x <= static_cast<Real>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(x);
}

// Saturates a 64-bit integer into the signed 32-bit range: pixel sums of two
// 32-bit values are formed in 64 bits and brought back through this.
constexpr std::int32_t SaturateToInt32(std::int64_t v) {
    if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

// Rounds to the nearest integer, ties to even, and saturates into the signed
// 32-bit range. NaN gives 0.
inline std::int32_t RoundToInt32(Real x) {
    return TruncToInt32(std::nearbyint(x));
}

} // namespace astro
