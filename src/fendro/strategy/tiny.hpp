// The engine's zero: magnitudes below 2^-52 count as nothing (a divisor is
// zero, two values are equal); a position is open only above it.
#pragma once

#include <cmath>

namespace fendro {

inline constexpr double kTiny = 0x1p-52;  // 2.220446049250313e-16

inline bool is_tiny(double x) { return std::fabs(x) < kTiny; }
// Open position: |qty| > 2^-52 (exactly 2^-52 is flat).
inline bool holds_position(double qty) { return std::fabs(qty) > kTiny; }

}  // namespace fendro
