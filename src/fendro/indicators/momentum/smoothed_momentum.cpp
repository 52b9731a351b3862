#include "fendro/indicators/momentum/smoothed_momentum.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/momentum/rate_of_change.hpp"
#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

std::optional<double> roc_stage_update(LagRing& stage, double x) {
  stage.ring.push(x);
  if (!stage.ring.is_full()) return std::nullopt;
  return lag_measure(LagMeasure::Roc, x, stage.ring.front());
}

Result<Kst, IndicatorError> Kst::create(const std::array<std::uint64_t, 9>& periods) {
  for (const std::uint64_t n : periods) {
    if (n == 0) return err(IndicatorError::zero_period());
  }
  Kst k;
  std::uint64_t longest = 0;  // the slowest rate of change with its average
  for (std::size_t i = 0; i < 4; ++i) {
    FENDRO_TRY(roc, lag_ring_new(periods[i]));
    k.rocs_[i] = std::move(roc);
  }
  for (std::size_t i = 0; i < 4; ++i) {
    FENDRO_TRY(sma, sma_window_new(periods[4 + i]));
    k.smas_[i] = std::move(sma);
    longest = std::max(longest, periods[i] + periods[4 + i]);
  }
  FENDRO_TRY(signal, sma_window_new(periods[8]));
  k.signal_ = std::move(signal);
  k.warmup_ = longest + periods[8] - 1;
  return k;
}

std::optional<double> Kst::update(const BarSnapshot& bar) {
  const double c = bar_close(bar);
  if (!std::isfinite(c)) return no_value();
  std::array<std::optional<double>, 4> roc;
  for (std::size_t i = 0; i < 4; ++i) roc[i] = roc_stage_update(rocs_[i], c);
  // An average is stepped only when its rate of change has a value; all four
  // must give one on this bar.
  std::array<double, 4> avg{};
  bool ready = true;
  for (std::size_t i = 0; i < 4; ++i) {
    const auto a = roc[i] ? sma_update_reading_zeros(smas_[i], roc_zeros_[i], *roc[i]) : std::nullopt;
    if (a) {
      avg[i] = *a;
    } else {
      ready = false;
    }
  }
  if (!ready) return no_value();
  const double kst = ((avg[0] + (avg[1] + avg[1])) + 3.0 * avg[2]) + 4.0 * avg[3];
  const auto signal = sma_update_reading_zeros(signal_, kst_zeros_, kst);
  if (!signal) return no_value();
  return value_out(out_.set(kst, *signal));
}

Result<Coppock, IndicatorError> Coppock::create(std::uint64_t first, std::uint64_t second,
                                                std::uint64_t wma_period) {
  if (first == 0 || second == 0 || wma_period == 0) return err(IndicatorError::zero_period());
  FENDRO_TRY(a, lag_ring_new(first));
  FENDRO_TRY(b, lag_ring_new(second));
  FENDRO_TRY(w, wma_window_new(wma_period));
  return Coppock(std::move(a), std::move(b), std::move(w));
}

std::uint64_t Coppock::warmup_period() const {
  return std::max(first_.period, second_.period) + wma_.period;
}

std::optional<double> Coppock::update(const BarSnapshot& bar) {
  const double c = bar_close(bar);
  if (!std::isfinite(c)) return no_value();
  const auto a = roc_stage_update(first_, c);
  const auto b = roc_stage_update(second_, c);
  if (!a || !b) return no_value();
  const double x = *a + *b;
  if (std::isfinite(x)) zeros_.push(x);
  const auto v = wma_update(wma_, x);
  if (!v) return no_value();
  return value_out(zeros_.read(*v, wma_.period));
}

Result<Pmo, IndicatorError> Pmo::create(std::uint64_t first, std::uint64_t second) {
  if (first == 0 || second == 0) return err(IndicatorError::zero_period());
  if (first < 2 || second < 2) {
    return err(IndicatorError::invalid_period("PMO smoothing periods must be >= 2"));
  }
  // Length 1: each average starts from its first input. The factors 2 / n
  // lie in (0, 1] for every n >= 2.
  return Pmo(EmaState::with_alpha(1, 2.0 / static_cast<double>(first)),
             EmaState::with_alpha(1, 2.0 / static_cast<double>(second)));
}

std::optional<double> Pmo::update(const BarSnapshot& bar) {
  const double c = bar_close(bar);
  if (!std::isfinite(c)) return no_value();
  if (!prev_) {
    prev_ = c;
    return no_value();
  }
  const double roc = *prev_ == 0.0 ? 0.0 : ((c / *prev_) + -1.0) * 100.0;
  prev_ = c;
  if (!std::isfinite(roc)) return no_value();
  // One test an update, on the second average, which settles after the
  // first: settled below normal (or seeding), the update takes the settled
  // path out of line.
  if (below_normal(second_.value)) [[unlikely]] {
    return settled_path([](Pmo* p, double r) { return p->advance<true>(r); }, this, roc);
  }
  return advance<false>(roc);
}

template <bool Kept>
std::optional<double> Pmo::advance(double roc) {
  const auto times = [](double a, double b) { return a * b; };
  if constexpr (Kept) {
    const double first = *ema_update_kept(first_, roc);
    const double x = kept_apply(scaled_kept_, times, first, 10.0);
    if (!std::isfinite(x)) return no_value();
    return returned(ema_update_kept(second_, x));
  } else {
    // The second average is normal, so both have been seeded.
    const double x = times(ema_seeded_update(first_, roc), 10.0);
    if (!std::isfinite(x)) return no_value();
    return value_out(ema_seeded_update(second_, x));
  }
}

Result<Trix, IndicatorError> Trix::create(std::uint64_t period) {
  FENDRO_TRY(e, ema_state_new(period));
  return Trix(e);
}

std::optional<double> Trix::update(const BarSnapshot& bar) {
  const double c = bar_close(bar);
  if (!std::isfinite(c)) return no_value();
  closes_.push(c);
  // A halt past the period: the closes have repeated for `period` bars.
  const bool repeat = closes_.holds_only_copies(e1_.period + 1);
  double e1;
  double e2;
  double e3;
  if (!ema_update_to(e1_, c, e1) || !std::isfinite(e1)) return no_value();
  if (!ema_update_to(e2_, e1, e2) || !std::isfinite(e2)) return no_value();
  if (!ema_update_to(e3_, e2, e3)) return no_value();
  const std::optional<double> prev = std::exchange(prev_, e3);
  if (!prev) return no_value();
  const double rate = *prev == 0.0 ? 0.0 : ((e3 - *prev) * 100.0) / *prev;
  return value_out(limit_read(repeat, rate, 0.0, band_, 1.0));
}

Result<Tsi, IndicatorError> Tsi::create(std::uint64_t first, std::uint64_t second) {
  if (first == 0 || second == 0) return err(IndicatorError::zero_period());
  if (first > MAX_PERIOD || second > MAX_PERIOD) {
    return err(IndicatorError::invalid_period(kMaxPeriodReason));
  }
  return Tsi(EmaState::of_period(first), EmaState::of_period(second));
}

std::optional<double> Tsi::update(const BarSnapshot& bar) {
  const double c = bar_close(bar);
  if (!std::isfinite(c)) return no_value();
  if (!prev_) {
    prev_ = c;
    return no_value();
  }
  const double m = c - *prev_;
  prev_ = c;
  if (!std::isfinite(m)) return no_value();
  halt_.push(m == 0.0);
  std::optional<double> num;
  if (const auto num1 = ema_update_settled(u1_, m); num1 && std::isfinite(*num1)) {
    num = ema_update_settled(u2_, *num1);
  }
  const auto den1 = ema_update_settled(d1_, std::abs(m));
  if (!den1 || !std::isfinite(*den1)) return no_value();
  const auto den = ema_update_settled(d2_, *den1);
  if (!den || !num) return no_value();
  // Both averages decay into the subnormal numbers on a flat stretch, where
  // their ratio is as slow as their steps.
  const double n = *num;
  const double d = *den;
  const auto index = [](double num, double den) { return den == 0.0 ? 0.0 : (num * 100.0) / den; };
  const bool sunk = below_normal(d);
  return value_out(halt_.read_steady(settled_apply(index_kept_, sunk, index, n, d), warmup_period(),
                                   sunk || below_normal(n)));
}

}  // namespace fendro
