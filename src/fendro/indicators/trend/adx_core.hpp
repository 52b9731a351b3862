// Wilder's directional movement: the smoothed true range and directional
// moves, the directional indicators derived from them, and the average
// directional index. Shared by the directional-movement types here and by
// the momentum types that report the ADX.
#pragma once

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>

#include "fendro/indicators/averages/smma.hpp"
#include "fendro/indicators/trend/atr_state.hpp"
#include "fendro/indicators/windows/settled_step.hpp"
#include "fendro/market/records.hpp"

namespace fendro {

// Wilder's smoothing in sum form: the bar's value added last to the
// smoothed value minus its n-th part.
inline double wilder_sum_step(double smoothed, double x, double n) {
  return x + (smoothed - smoothed / n);
}

// x when `keep`, else +0.0, chosen by masking the bits: which move wins a
// bar is a coin toss a branch predictor cannot learn.
inline double kept_or_zero(double x, bool keep) {
  const std::uint64_t mask = std::uint64_t{0} - static_cast<std::uint64_t>(keep);
  return std::bit_cast<double>(std::bit_cast<std::uint64_t>(x) & mask);
}

// (dm * 100) / tr, or 0 when the smoothed true range is 0.
inline double directional_indicator(double smoothed_dm, double smoothed_tr) {
  return smoothed_tr == 0.0 ? 0.0 : (smoothed_dm * 100.0) / smoothed_tr;
}

// (|+DI - -DI| * 100) / (+DI + -DI), or 0 when the sum is 0.
inline double directional_index(double plus_di, double minus_di) {
  const double total = plus_di + minus_di;
  return total == 0.0 ? 0.0 : (std::abs(plus_di - minus_di) * 100.0) / total;
}

// The bar-to-bar stage: previous candle, then the seeded Wilder sums of TR,
// +DM and -DM. The first accepted candle only becomes the previous one; the
// next n seed the sums; every later one smooths them.
struct DmSmoother {
  double prev_high = 0.0, prev_low = 0.0, prev_close = 0.0;
  bool has_prev = false;
  double tr = 0.0, plus_dm = 0.0, minus_dm = 0.0;  // smoothed, valid once `smoothed`
  std::array<SettledStep, 3> settled;  // their steps, skipped once settled
  mutable SettledValue<2> plus_di_kept, minus_di_kept;  // the DIs of a true range below normal
  bool smoothed = false;
  double seed_tr = 0.0, seed_plus = 0.0, seed_minus = 0.0;
  std::uint64_t seed_count = 0;
  std::uint64_t period;
  double n;  // period as f64

  explicit DmSmoother(std::uint64_t period_)
      : period(period_), n(static_cast<double>(period_)) {}

  // One accepted candle; true when the smoothed values hold this bar's.
  bool step(const Candle& c) {
    if (!has_prev) {
      prev_high = c.high;
      prev_low = c.low;
      prev_close = c.close;
      has_prev = true;
      return false;
    }
    const double up = c.high - prev_high;
    const double down = prev_low - c.low;
    const double pdm = kept_or_zero(up, (up > down) & (up > 0.0));
    const double mdm = kept_or_zero(down, (down > up) & (down > 0.0));
    const double bar_tr = true_range(c.high, c.low, prev_close);
    prev_high = c.high;
    prev_low = c.low;
    prev_close = c.close;
    if (smoothed) {
      // One test for the three sums; settled below normal, they take the
      // settled path out of line.
      if (all_below_normal(tr, plus_dm, minus_dm)) [[unlikely]] {
        settled_path(
            [](DmSmoother* s, double range, double up, double down) {
              const double len = s->n;
              const auto wilder = [len](double sum, double x) { return wilder_sum_step(sum, x, len); };
              kept_steps(s->settled, wilder, SettledSlot{s->tr, range}, SettledSlot{s->plus_dm, up},
                         SettledSlot{s->minus_dm, down});
            },
            this, bar_tr, pdm, mdm);
        return true;
      }
      tr = wilder_sum_step(tr, bar_tr, n);
      plus_dm = wilder_sum_step(plus_dm, pdm, n);
      minus_dm = wilder_sum_step(minus_dm, mdm, n);
      return true;
    }
    seed_tr += bar_tr;
    seed_plus += pdm;
    seed_minus += mdm;
    seed_count += 1;
    if (seed_count < period) return false;
    tr = seed_tr;
    plus_dm = seed_plus;
    minus_dm = seed_minus;
    smoothed = true;
    return true;
  }

  double plus_di() const {
    const auto di = [](double dm, double range) { return directional_indicator(dm, range); };
    return settled_apply(plus_di_kept, below_normal(tr), di, plus_dm, tr);
  }
  double minus_di() const {
    const auto di = [](double dm, double range) { return directional_indicator(dm, range); };
    return settled_apply(minus_di_kept, below_normal(tr), di, minus_dm, tr);
  }
};

struct AdxReading {
  double plus_di;
  double minus_di;
  double adx;
};

// The ADX is Wilder's smoothed average of DX: the mean of its first n
// values, then (DX + (n - 1) * ADX) / n.
struct AdxCore {
  DmSmoother dm;
  SmmaState adx;

  explicit AdxCore(std::uint64_t period) : dm(period), adx(period) {}
  std::uint64_t period() const { return dm.period; }
};

// One step of the core with an accepted candle (the caller has run the
// candle check). Smoothing and DI go on while the ADX seeds; only the
// result is withheld.
inline std::optional<AdxReading> adx_update(AdxCore& s, const Candle& c) {
  if (!s.dm.step(c)) return std::nullopt;
  const double pdi = s.dm.plus_di();
  const double mdi = s.dm.minus_di();
  const std::optional<double> adx = smma_update_settled(s.adx, directional_index(pdi, mdi));
  if (!adx) return std::nullopt;
  return AdxReading{pdi, mdi, *adx};
}

}  // namespace fendro
