// Size arithmetic on unbounded parameters: saturate instead of wrapping, so a
// huge request fails to allocate (and the build reports it) rather than
// wrapping to a small window.
#pragma once

#include <cstdint>
#include <limits>

namespace fendro {

inline constexpr std::uint64_t kU64Max = std::numeric_limits<std::uint64_t>::max();

constexpr std::uint64_t sat_add(std::uint64_t a, std::uint64_t b) {
  return a > kU64Max - b ? kU64Max : a + b;
}
constexpr std::uint64_t sat_mul(std::uint64_t a, std::uint64_t b) {
  return (a != 0 && b > kU64Max / a) ? kU64Max : a * b;
}
constexpr std::uint64_t sat_sub(std::uint64_t a, std::uint64_t b) { return a > b ? a - b : 0; }

}  // namespace fendro
