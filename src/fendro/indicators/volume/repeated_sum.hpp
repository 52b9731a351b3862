// Adding one value to a running sum many times over, with the result of the
// plain loop (one rounding per addition) but in a few steps per power of two
// the sum passes through, however many additions are asked for.
#pragma once

#include <cstdint>
#include <limits>

namespace fendro::volume {

struct RepeatedSum {
  double sum;
  std::uint64_t additions;  // how many additions the loop made
};

// The loop `while (additions < k && t < stop) { t = t + v; ++additions; }`
// for t >= 0 and v >= 0. Within one binade of t every addition past the
// second adds the same exact amount, so long stretches are taken at once.
RepeatedSum add_repeatedly_long(double t, double v, std::uint64_t k, double stop);

// The same; a few additions are simply made.
inline RepeatedSum add_repeatedly(double t, double v, std::uint64_t k,
                                  double stop = std::numeric_limits<double>::infinity()) {
  if (k > 4) return add_repeatedly_long(t, v, k, stop);
  std::uint64_t n = 0;
  for (; n < k && t < stop; ++n) t = t + v;
  return {t, n};
}

}  // namespace fendro::volume
