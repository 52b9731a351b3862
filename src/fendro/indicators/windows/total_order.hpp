// A total order over every f64 (NaNs and signed zeros included) and the one
// binary search that sorted windows use.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>

namespace fendro {

// The bit pattern as a signed integer, with the 63 low bits inverted when the
// sign bit is set: -NaN < -inf < ... < -0.0 < +0.0 < ... < +inf < +NaN.
inline std::int64_t total_order_key(double x) {
  const auto bits = std::bit_cast<std::int64_t>(x);
  return bits ^ static_cast<std::int64_t>(static_cast<std::uint64_t>(bits >> 63) >> 1);
}

inline bool total_less(double a, double b) { return total_order_key(a) < total_order_key(b); }

// First position of `s` whose entry is not below the target, where
// `below(entry)` says whether an entry is below it. Halving search: the
// result on an unsorted list is that of this exact sequence of probes.
template <class Below>
std::size_t lower_bound_by(std::span<const double> s, Below below) {
  if (s.empty()) return 0;
  std::size_t base = 0;
  std::size_t size = s.size();
  while (size > 1) {
    const std::size_t half = size / 2;
    const std::size_t mid = base + half;
    if (below(s[mid])) base = mid;
    size -= half;
  }
  return base + (below(s[base]) ? 1 : 0);
}

// Lower bound of x under the total order (before any equal values).
inline std::size_t lower_bound_total(std::span<const double> s, double x) {
  const std::int64_t k = total_order_key(x);
  return lower_bound_by(s, [k](double v) { return total_order_key(v) < k; });
}

// Lower bound of x under the ordinary less-than.
inline std::size_t lower_bound_plain(std::span<const double> s, double x) {
  return lower_bound_by(s, [x](double v) { return v < x; });
}

}  // namespace fendro
