#include "fendro/indicators/cycle/autocorrelation_periodogram.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/util/math.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro::cycle {
namespace {

// Correlation window length: the shortest period must exceed it.
constexpr std::uint64_t kAvgLength = 3;

// Steps of one lag's correlation; lags of a row of computed phasors between
// two notes (a row of a long spectrum takes tens of milliseconds).
constexpr std::uint64_t kCorrelationSteps = 16;
constexpr std::uint64_t kComputedLagsPerNote = 4096;

}  // namespace

AutocorrelationPeriodogram::AutocorrelationPeriodogram(std::uint64_t min_period,
                                                       std::uint64_t max_period,
                                                       std::uint64_t table_cells)
    : min_(min_period),
      max_(max_period),
      table_cells_(table_cells),
      hp_(OnePoleHighpass::of_period(max_period)),
      ss_(SuperSmootherStage::length_ten()),
      filtered_(sat_add(max_period, kAvgLength)) {}

Result<AutocorrelationPeriodogram, IndicatorError> AutocorrelationPeriodogram::create(
    std::uint64_t min_period, std::uint64_t max_period, std::uint64_t table_cells) {
  if (min_period == 0 || max_period == 0) return err(IndicatorError::zero_period());
  if (min_period <= kAvgLength || max_period <= min_period) {
    return err(IndicatorError::invalid_period(
        "autocorrelation periodogram needs AvgLength < min_period < max_period"));
  }
  if (max_period <= 10) {
    return err(IndicatorError::invalid_period("lp_period must be strictly less than hp_period"));
  }
  return AutocorrelationPeriodogram(min_period, max_period, table_cells);
}

void AutocorrelationPeriodogram::correlate() {
  // The filtered values newest first, in one contiguous run.
  const std::size_t len = filtered_.len();
  for (std::size_t i = 0; i < len; ++i) recent_[i] = filtered_[len - 1 - i];
  const double* f = recent_.data();
  for (std::size_t lag = 0; lag <= max_; ++lag) {
    double sx = 0.0, sy = 0.0, sxx = 0.0, syy = 0.0, sxy = 0.0;
    for (std::size_t k = 0; k < kAvgLength; ++k) {
      const double x = f[k];
      const double y = f[lag + k];
      sx = sx + x;
      sy = sy + y;
      sxx = sxx + x * x;
      syy = syy + y * y;
      sxy = sxy + x * y;
    }
    const double d = (3.0 * sxx - sx * sx) * (3.0 * syy - sy * sy);
    corr_[lag] = d > 0.0 ? (3.0 * sxy - sx * sy) / std::sqrt(d) : 0.0;
  }
}

void AutocorrelationPeriodogram::add_power(std::uint64_t period, double c, double s) {
  const double q = c * c + s * s;
  // On a flat stretch the powers decay into the subnormal numbers and settle.
  power_[period] = settled_step(settled_power_[period], power_[period], q,
                                [](double power, double in) { return in * (in * 0.2) + power * 0.8; });
  if (power_[period] > max_power_) max_power_ = power_[period];
}

bool AutocorrelationPeriodogram::take_table(InBarPacer& pacer) {
  if (phasor_cells(min_, max_) > table_cells_) return true;
  if (RunScope* scope = RunScope::current()) {
    auto found = scope->cache<PhasorTables>().obtain(min_, max_, pacer);
    if (found.stopped) return false;
    table_ = std::move(found.table);
  } else {
    table_ = build_phasor_table(min_, max_, pacer);
  }
  phasors_ = table_ ? table_->data() : nullptr;
  return true;
}

bool AutocorrelationPeriodogram::spectrum(InBarPacer& pacer) {
  const std::uint64_t row_steps = max_ - 2;
  std::uint64_t p = min_;
  if (phasors_ != nullptr) {
    // Four periods at a time: each keeps its own sums in increasing lag
    // order, and the four chains overlap in time.
    const std::size_t row = 2 * (max_ - 2);
    for (; p + 3 <= max_; p += 4) {
      const double* t0 = phasors_ + (p - min_) * row;
      const double* t1 = t0 + row;
      const double* t2 = t1 + row;
      const double* t3 = t2 + row;
      double c0 = 0.0, s0 = 0.0, c1 = 0.0, s1 = 0.0, c2 = 0.0, s2 = 0.0, c3 = 0.0, s3 = 0.0;
      for (std::uint64_t n = 3, j = 0; n <= max_; ++n, j += 2) {
        const double r = corr_[n];
        c0 = c0 + r * t0[j];
        s0 = s0 + r * t0[j + 1];
        c1 = c1 + r * t1[j];
        s1 = s1 + r * t1[j + 1];
        c2 = c2 + r * t2[j];
        s2 = s2 + r * t2[j + 1];
        c3 = c3 + r * t3[j];
        s3 = s3 + r * t3[j + 1];
      }
      add_power(p, c0, s0);
      add_power(p + 1, c1, s1);
      add_power(p + 2, c2, s2);
      add_power(p + 3, c3, s3);
      if (pacer.stop_after(4 * row_steps)) return false;
    }
  }
  for (; p <= max_; ++p) {
    double c = 0.0, s = 0.0;
    if (phasors_ != nullptr) {
      const double* t = phasors_ + (p - min_) * 2 * (max_ - 2);
      for (std::uint64_t n = 3, j = 0; n <= max_; ++n, j += 2) {
        c = c + corr_[n] * t[j];
        s = s + corr_[n] * t[j + 1];
      }
      if (pacer.stop_after(row_steps)) return false;
    } else {
      // A long row is noted a run of lags at a time: each of its phasors
      // is computed.
      for (std::uint64_t from = 3; from <= max_; from += kComputedLagsPerNote) {
        const std::uint64_t to = std::min(max_, from + (kComputedLagsPerNote - 1));
        for (std::uint64_t n = from; n <= to; ++n) {
          const double a = phasor_angle(n, p);
          c = c + corr_[n] * cr::cos(a);
          s = s + corr_[n] * cr::sin(a);
        }
        if (pacer.stop_after((to - from + 1) * kComputedCellSteps)) return false;
      }
    }
    add_power(p, c, s);
  }
  return true;
}

std::optional<double> AutocorrelationPeriodogram::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x)) return no_value();
  const double hp = hp_.step(x);
  if (!std::isfinite(hp)) return no_value();
  filtered_.push(ss_.step(hp));
  if (!filtered_.is_full()) return no_value();

  InBarPacer pacer;
  if (corr_.empty()) {
    // First full window: the ring already holds max_period + 3 values, so
    // these arrays cost a few times memory already in use.
    corr_.assign(max_ + 1, 0.0);
    recent_.assign(filtered_.capacity(), 0.0);
    power_.assign(max_ + 1, 0.0);
    settled_power_.assign(max_ + 1, SettledStep{});
    if (!take_table(pacer)) return no_value();
  }

  // The correlations of every lag: a square root and a division each.
  if (stop_before(kCorrelationSteps * max_)) return no_value();
  correlate();
  max_power_ = settled_step(settled_max_power_, max_power_, 0.0,
                            [](double power, double) { return power * 0.995; });
  if (!spectrum(pacer)) return no_value();

  const double lo = static_cast<double>(min_);
  const double hi = static_cast<double>(max_);
  if (!(max_power_ > 0.0)) return value_out(lo);
  double spx = 0.0, sp = 0.0;
  // A power below a quarter of the maximum has a ratio below 0.5 however it
  // rounds, so it needs no division (a slow one when the power is subnormal):
  // the quarter is exact for a maximum of at least 2^-1020, and none is
  // skipped for a smaller one.
  const double quarter = max_power_ >= 0x1p-1020 ? max_power_ * 0.25 : 0.0;
  for (std::uint64_t p = min_; p <= max_; ++p) {
    if (power_[p] < quarter) continue;
    const double pwr = power_[p] / max_power_;
    if (pwr >= 0.5) {
      spx = spx + pwr * static_cast<double>(p);
      sp = sp + pwr;
    }
  }
  if (!(sp > 0.0)) return value_out(lo);
  const double dc = spx / sp;
  if (dc < lo) return value_out(lo);
  if (dc > hi) return value_out(hi);
  return value_out(dc);
}

}  // namespace fendro::cycle
