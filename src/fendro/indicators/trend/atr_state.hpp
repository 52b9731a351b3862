// Wilder's average true range as a reusable state and step: embedded by the
// ATR stops here and by the volatility types that report or scale by the ATR.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "fendro/indicators/common/fused.hpp"
#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
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
// ATR * (n - 1) + TR: the plain step, or on the owner's settled path
// (Kept) the step through its record.
template <bool Kept>
inline std::optional<double> atr_update_as(AtrState& s, const Candle& c) {
  const double tr = true_range(c.high, c.low, s.prev_close);
  s.prev_close = c.close;
  if (!s.seeded) {
    s.seed_sum += tr;
    s.seed_count += 1;
    if (s.seed_count != s.period) return std::nullopt;
    s.atr = s.seed_sum / static_cast<double>(s.seed_count);
    s.seeded = true;
    return s.atr;
  }
  if constexpr (Kept) {
    const auto wilder = [&s](double atr, double x) { return atr_smooth(s, atr, x); };
    s.atr = kept_step(s.settled, s.atr, tr, wilder);
  } else {
    s.atr = atr_smooth(s, s.atr, tr);
  }
  return s.atr;
}

// The ATR below normal: its owner's next bar takes the settled path. Also
// true while it seeds (0.0), which the settled path does as the plain one.
inline bool atr_settled(const AtrState& s) { return below_normal(s.atr); }

// The update of an owner of an ATR: the candle check, then one test (the ATR
// settled) choosing (owner->*plain)(candle) or, out of line, kept.
template <class Owner, class Advance>
[[gnu::always_inline]] inline std::optional<double> atr_owner_update(const BarSnapshot& bar,
                                                                     const AtrState& atr,
                                                                     Owner* owner, Advance plain,
                                                                     Advance kept) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const bool settled = atr_settled(atr);
  // The ATR is 0 until seeded: a normal one has been, and the plain step
  // need not ask.
  if (!settled && !atr.seeded) __builtin_unreachable();
  return plain_or_settled(settled, owner, plain, kept, *c);
}

// atr_update_as with its own test: settled below normal, the step takes its
// settled path out of line.
inline std::optional<double> atr_update(AtrState& s, const Candle& c) {
  if (atr_settled(s)) [[unlikely]] {
    return settled_path([](AtrState* a, const Candle* k) { return atr_update_as<true>(*a, *k); },
                        &s, &c);
  }
  return atr_update_as<false>(s, c);
}

// atr * m, the width that the ATR's bands and stops put around a price. An
// ATR settled below normal on a flat stretch gives the product last computed
// from the same bits, so that the owner's bar skips a multiplication on a
// subnormal as its average skips its step: the product kept for these bits
// on the owner's settled path (Kept), else the plain product.
template <bool Kept>
inline double atr_times_as(AtrState& s, double atr, double m) {
  if constexpr (Kept) {
    return kept_apply(s.times_kept, [](double a, double b) { return a * b; }, atr, m);
  } else {
    return atr * m;
  }
}

}  // namespace fendro
