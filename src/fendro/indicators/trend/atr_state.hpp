// Wilder's average true range as a reusable state and step: embedded by the
// ATR stops here and by the volatility types that report or scale by the ATR.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "fendro/indicators/common/fused.hpp"
#include "fendro/indicators/windows/settled_step.hpp"
#include "fendro/market/records.hpp"

namespace fendro {

// The bar's range widened to reach the previous close, when there is one.
inline double true_range(double high, double low, std::optional<double> prev_close) {
  const double range = high - low;
  if (!prev_close) return range;
  const double pc = *prev_close;
  return std::max(std::max(range, std::abs(high - pc)), std::abs(low - pc));
}

struct AtrState {
  std::optional<double> prev_close;  // close of the last accepted candle
  std::uint64_t period;              // n >= 1, checked by the owner
  double n_minus_1;                  // (n - 1) as f64, formed from the integer
  double inv_n;                      // 1.0 / n
  double seed_sum = 0.0;
  std::uint64_t seed_count = 0;
  double atr = 0.0;
  bool seeded = false;
  SettledStep settled;  // the step skipped on an ATR that no longer moves
  SettledValue<2> times_kept;  // the last atr_times of an ATR below normal

  explicit AtrState(std::uint64_t n)
      : period(n),
        n_minus_1(static_cast<double>(n - 1)),
        inv_n(1.0 / static_cast<double>(n)) {}
};

// Wilder's smoothing of the ATR with a single rounding of ATR * (n - 1) + TR.
inline double atr_smooth(const AtrState& s, double atr, double tr) {
  return fused_mul_add(atr, s.n_minus_1, tr) * s.inv_n;
}

// One step with an accepted candle (the caller has run the candle check).
// The first n - 1 candles only seed; the n-th gives their mean true range,
// and every later one Wilder's smoothing with a single rounding of
// ATR * (n - 1) + TR.
inline std::optional<double> atr_update(AtrState& s, double high, double low, double close) {
  const double tr = true_range(high, low, s.prev_close);
  s.prev_close = close;
  if (!s.seeded) {
    s.seed_sum += tr;
    s.seed_count += 1;
    if (s.seed_count != s.period) return std::nullopt;
    s.atr = s.seed_sum / static_cast<double>(s.seed_count);
    s.seeded = true;
    return s.atr;
  }
  // Settled below normal, the step takes its settled path out of line.
  if (below_normal(s.atr)) [[unlikely]] {
    return settled_path(
        [](AtrState* a, double x) {
          const auto wilder = [a](double atr, double in) { return atr_smooth(*a, atr, in); };
          a->atr = kept_step(a->settled, a->atr, x, wilder);
          return a->atr;
        },
        &s, tr);
  }
  s.atr = atr_smooth(s, s.atr, tr);
  return s.atr;
}

inline std::optional<double> atr_update(AtrState& s, const Candle& c) {
  return atr_update(s, c.high, c.low, c.close);
}

// atr * m, the width that the ATR's bands and stops put around a price. An
// ATR settled below normal on a flat stretch gives the product last computed
// from the same bits, so that the owner's bar skips a multiplication on a
// subnormal as its average skips its step.
inline double atr_times(AtrState& s, double atr, double m) {
  return settled_times(s.times_kept, atr, m);
}

}  // namespace fendro
