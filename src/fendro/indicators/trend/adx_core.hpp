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
#include "fendro/indicators/windows/halt_hold.hpp"
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
//
// A bar's +DM and -DM never exceed its true range (the previous high and low
// bracket the previous close), and the sums keep that order: a true range
// below normal has both moves below normal too, so testing it alone tests
// all three (settled()). The owner then takes its settled path out of line:
// step_kept and the kept DIs.
//
// On a halt the true range and both moves are 0, so the three sums decay by
// one factor and each DI is a ratio held through the halt (HaltHold) once it
// has lasted the period; the sums keep their arithmetic.
struct DmSmoother {
  double prev_high = 0.0, prev_low = 0.0, prev_close = 0.0;
  bool has_prev = false;
  double tr = 0.0, plus_dm = 0.0, minus_dm = 0.0;  // smoothed, valid once `smoothed`
  std::array<SettledStep, 3> settled;  // their steps, skipped once settled
  SettledValue<2> plus_di_kept, minus_di_kept;  // the DIs of a true range below normal
  HaltHold plus_halt, minus_halt;               // the DIs, held through a halt
  bool smoothed = false;
  double seed_tr = 0.0, seed_plus = 0.0, seed_minus = 0.0;
  std::uint64_t seed_count = 0;
  std::uint64_t period;
  double n;  // period as f64

  explicit DmSmoother(std::uint64_t period_)
      : period(period_), n(static_cast<double>(period_)) {}

  // The sums smoothed and all three below normal: the next bar takes the
  // settled path (step_kept, kept_plus_di, kept_minus_di).
  bool is_settled() const { return below_normal(tr) && smoothed; }

  // The true range's sum below normal: settled, or still seeding (it is 0
  // until smoothed). False says the sums are smoothed (step_smoothed).
  bool below_or_seeding() const { return below_normal(tr); }

  // One accepted candle; true when the smoothed values hold this bar's.
  bool step(const Candle& c) {
    if (!has_prev) {
      prev_high = c.high;
      prev_low = c.low;
      prev_close = c.close;
      has_prev = true;
      return false;
    }
    if (smoothed) {
      step_smoothed(c);
      return true;
    }
    const Moves m = advance(c);
    seed_tr += m.range;
    seed_plus += m.plus;
    seed_minus += m.minus;
    seed_count += 1;
    if (seed_count < period) return false;
    tr = seed_tr;
    plus_dm = seed_plus;
    minus_dm = seed_minus;
    smoothed = true;
    return true;
  }

  // step once the sums are smoothed, as its owner knows when it has found
  // below_or_seeding() false.
  void step_smoothed(const Candle& c) {
    const Moves m = advance(c);
    tr = wilder_sum_step(tr, m.range, n);
    plus_dm = wilder_sum_step(plus_dm, m.plus, n);
    minus_dm = wilder_sum_step(minus_dm, m.minus, n);
  }

  // step once is_settled(): each sum's step through its record.
  void step_kept(const Candle& c) {
    const Moves m = advance(c);
    const double len = n;
    const auto wilder = [len](double sum, double x) { return wilder_sum_step(sum, x, len); };
    kept_steps(settled, wilder, SettledSlot{tr, m.range}, SettledSlot{plus_dm, m.plus},
               SettledSlot{minus_dm, m.minus});
  }

  // The DIs, read once a bar whose sums are smoothed (a halt holds them).
  double plus_di() { return plus_halt.read(directional_indicator(plus_dm, tr), period); }
  double minus_di() { return minus_halt.read(directional_indicator(minus_dm, tr), period); }
  // The DIs on the settled path, kept for the bits of the sums they read.
  double kept_plus_di() { return plus_halt.read(kept_apply(plus_di_kept, Di{}, plus_dm, tr), period); }
  double kept_minus_di() { return minus_halt.read(kept_apply(minus_di_kept, Di{}, minus_dm, tr), period); }

 private:
  struct Moves {
    double range, plus, minus;
  };
  struct Di {
    double operator()(double dm, double range) const { return directional_indicator(dm, range); }
  };

  // The bar's true range and directional moves against the previous
  // candle, which this one then becomes.
  Moves advance(const Candle& c) {
    const double up = c.high - prev_high;
    const double down = prev_low - c.low;
    const double pdm = kept_or_zero(up, (up > down) & (up > 0.0));
    const double mdm = kept_or_zero(down, (down > up) & (down > 0.0));
    const double bar_tr = true_range(c.high, c.low, prev_close);
    // A bar without a true range has neither move (each is at most it).
    plus_halt.push(bar_tr == 0.0);
    minus_halt.push(bar_tr == 0.0);
    prev_high = c.high;
    prev_low = c.low;
    prev_close = c.close;
    return {bar_tr, pdm, mdm};
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

// adx_update on the settled path: the sums, the DIs and the ADX's step
// through their records. With no directional move left the ADX decays too.
inline std::optional<AdxReading> adx_update_kept(AdxCore& s, const Candle& c) {
  s.dm.step_kept(c);
  const double pdi = s.dm.kept_plus_di();
  const double mdi = s.dm.kept_minus_di();
  const std::optional<double> adx = smma_update_kept(s.adx, directional_index(pdi, mdi));
  if (!adx) return std::nullopt;
  return AdxReading{pdi, mdi, *adx};
}

// One step of the core with an accepted candle (the caller has run the
// candle check). Smoothing and DI go on while the ADX seeds; only the
// result is withheld. The owner tests s.dm.is_settled() first, once an
// update, and takes adx_update_kept on its settled path out of line instead.
inline std::optional<AdxReading> adx_update(AdxCore& s, const Candle& c) {
  if (!s.dm.step(c)) return std::nullopt;
  const double pdi = s.dm.plus_di();
  const double mdi = s.dm.minus_di();
  const std::optional<double> adx = smma_update(s.adx, directional_index(pdi, mdi));
  if (!adx) return std::nullopt;
  return AdxReading{pdi, mdi, *adx};
}

}  // namespace fendro
