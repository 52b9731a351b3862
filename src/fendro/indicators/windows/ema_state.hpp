// Exponential average seeded by the plain mean of its first n inputs.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "fendro/indicators/common/fused.hpp"
#include "fendro/indicators/windows/settled_step.hpp"
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
  SettledStep settled;  // the step skipped on a value that no longer moves

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

// The seeded step: alpha * x + round(one_minus_alpha * value), with a single
// rounding of the sum (fused multiply-add).
inline double ema_step(double alpha, double one_minus_alpha, double value, double x) {
  const double kept = one_minus_alpha * value;
  return fused_mul_add(alpha, x, kept);
}

// ema_step with the factors of `s`, skipped once settled (see settled_step).
inline double ema_settled_step(const EmaState& s, SettledStep& settled, double value, double x) {
  return settled_step(settled, value, x, [&s](double v, double in) {
    return ema_step(s.alpha, s.one_minus_alpha, v, in);
  });
}

// x must be finite (callers check). No value until the n-th input, which
// yields the mean of the first n; then ema_step.
inline std::optional<double> ema_update(EmaState& s, double x) {
  if (s.seeded) [[likely]] {
    s.value = ema_settled_step(s, s.settled, s.value, x);
  } else if (!ema_seed(s, x)) {
    return std::nullopt;
  }
  return s.value;
}

// N averages of one length, each fed the value of the one before it.
template <std::size_t N>
std::array<EmaState, N> ema_chain(std::uint64_t n) {
  std::array<EmaState, N> stages;
  stages.fill(EmaState::of_period(n));
  return stages;
}

// Feeds finite x through the chain. Every stage but the last passes its value
// on only when it is finite (else no value; the later stages are untouched).
// True once the last stage has a value; `out` then holds every stage's value.
// Inlined into its owner as it was before the settled step's cold path made
// it look larger to the inliner: a call here costs more than the step.
template <std::size_t N>
[[gnu::always_inline]] inline bool ema_chain_update(std::array<EmaState, N>& stages, double x, std::array<double, N>& out) {
  double in = x;
  for (std::size_t k = 0; k < N; ++k) {
    const std::optional<double> v = ema_update(stages[k], in);
    if (!v) return false;
    if (k + 1 < N && !std::isfinite(*v)) return false;
    out[k] = in = *v;
  }
  return true;
}

}  // namespace fendro
