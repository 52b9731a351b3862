// Exponential average seeded by the plain mean of its first n inputs.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

struct EmaState {
  std::uint64_t period = 0;
  double alpha = 0.0;
  double one_minus_alpha = 0.0;
  double value = 0.0;      // the current average; 0.0 until seeded
  double seed_sum = -0.0;  // sum of the first inputs
  std::uint64_t seed_count = 0;
  bool seeded = false;

  // alpha = 2 / (n + 1); unchecked (callers refuse 0 and lengths above MAX_PERIOD).
  static EmaState of_period(std::uint64_t n) {
    return with_alpha(n, 2.0 / (static_cast<double>(n) + 1.0));
  }
  // A fixed smoothing factor, still seeded by the mean of the first n inputs.
  static EmaState with_alpha(std::uint64_t n, double alpha) {
    EmaState s;
    s.period = n;
    s.alpha = alpha;
    s.one_minus_alpha = 1.0 - alpha;
    return s;
  }
};

// Period checks (0, then MAX_PERIOD), then `EmaState::of_period(n)`.
Result<EmaState, IndicatorError> ema_state_new(std::uint64_t n);

// One seeding input: true when it is the n-th, which sets the value to the
// mean of the first n.
[[gnu::cold]] bool ema_seed(EmaState& s, double x);

// x must be finite (callers check). No value until the n-th input, which
// yields the mean of the first n; then alpha * x + round(one_minus_alpha * value)
// with a single rounding of the sum (fused multiply-add).
inline std::optional<double> ema_update(EmaState& s, double x) {
  if (s.seeded) [[likely]] {
    const double kept = s.one_minus_alpha * s.value;
    s.value = std::fma(s.alpha, x, kept);
  } else if (!ema_seed(s, x)) {
    return std::nullopt;
  }
  return s.value;
}

}  // namespace fendro
