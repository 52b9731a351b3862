#include "fendro/indicators/momentum/candle_range.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/trend/atr_state.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro {

Result<UltimateOscillator, IndicatorError> UltimateOscillator::create(std::uint64_t short_period,
                                                                      std::uint64_t medium_period,
                                                                      std::uint64_t long_period) {
  if (short_period == 0 || medium_period == 0 || long_period == 0) {
    return err(IndicatorError::zero_period());
  }
  const std::uint64_t longest = std::max({short_period, medium_period, long_period});
  return UltimateOscillator({short_period, medium_period, long_period}, longest);
}

UltimateOscillator::UltimateOscillator(const std::array<std::uint64_t, 3>& periods,
                                       std::uint64_t longest)
    : pairs_(sat_add(longest, 1)),
      periods_(periods),
      longest_(longest),
      shortest_(std::min({periods[0], periods[1], periods[2]})) {}

std::uint64_t UltimateOscillator::warmup_period() const { return sat_add(longest_, 1); }

std::optional<double> UltimateOscillator::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  if (!prev_close_) {
    prev_close_ = c->close;
    return no_value();
  }
  const double true_low = std::min(c->low, *prev_close_);
  const double true_high = std::max(c->high, *prev_close_);
  const double pressure = c->close - true_low;
  const double range = true_high - true_low;
  prev_close_ = c->close;

  // The ring keeps longest + 1 pairs, so the pair that leaves each window
  // (w places before the newest) is still held.
  pairs_.push({pressure, range});
  pressure_zeros_.push(pressure);
  range_zeros_.push(range);
  const std::size_t held = pairs_.len();
  for (std::size_t i = 0; i < 3; ++i) {
    Sums& s = sums_[i];
    s.pressure = s.pressure + pressure;
    s.range = s.range + range;
    if (held > periods_[i]) {
      const auto& [old_pressure, old_range] = pairs_[held - 1 - periods_[i]];
      s.pressure = s.pressure - old_pressure;
      s.range = s.range - old_range;
    }
  }
  if (++pushed_ < longest_) return no_value();

  // No window holds only zeros while neither run reaches the shortest one;
  // else each is read with its own length: the shorter ones can hold only
  // zeros while the longest still holds a move.
  const bool zeros = pressure_zeros_.holds_only_zeros(shortest_) ||
                     range_zeros_.holds_only_zeros(shortest_);
  std::array<double, 3> a{};
  for (std::size_t i = 0; i < 3; ++i) {
    double range = sums_[i].range;
    double pressure = sums_[i].pressure;
    if (zeros) [[unlikely]] {
      range = range_zeros_.read(range, periods_[i]);
      pressure = pressure_zeros_.read(pressure, periods_[i]);
    }
    a[i] = range == 0.0 ? 0.5 : pressure / range;
  }
  return value_out((((4.0 * a[0] + (a[1] + a[1])) + a[2]) * 100.0) / 7.0);
}

Result<Rvi, IndicatorError> Rvi::create(std::uint64_t period) {
  FENDRO_TRY(w, pair_ring_window_new(period));
  return Rvi(std::move(w));
}

std::optional<double> Rvi::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  raw_.push({c->close - c->open, c->high - c->low});
  if (!raw_.is_full()) return no_value();
  // Weights 1, 2, 2, 1 from the oldest of the four.
  const auto& [b0, r0] = raw_[0];
  const auto& [b1, r1] = raw_[1];
  const auto& [b2, r2] = raw_[2];
  const auto& [b3, r3] = raw_[3];
  const double body = (b0 + ((b1 + b1) + ((b2 + b2) + b3))) / 6.0;
  const double range = (r0 + ((r1 + r1) + ((r2 + r2) + r3))) / 6.0;

  PairRingWindow& w = smoothed_;
  w.push(body, range);
  zeros_.push(body, range);
  if (!w.ring.is_full()) return no_value();
  const double ranges = zeros_.read_b(w);
  if (ranges > 0.0) {
    const double v = zeros_.read_a(w) / ranges;
    last_ = v;
    return value_out(v);
  }
  return returned(last_);
}

Result<WaveTrend, IndicatorError> WaveTrend::create(std::uint64_t channel, std::uint64_t average,
                                                    std::uint64_t signal) {
  if (channel == 0 || average == 0 || signal == 0) return err(IndicatorError::zero_period());
  if (channel > MAX_PERIOD || average > MAX_PERIOD) {
    return err(IndicatorError::invalid_period(kMaxPeriodReason));
  }
  FENDRO_TRY(sma, sma_window_new(signal));
  return WaveTrend(channel, average, std::move(sma));
}

std::optional<double> WaveTrend::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const double ap = typical_price(*c);
  if (!std::isfinite(ap)) return no_value();
  const auto esa = ema_update(esa_, ap);
  if (!esa) return no_value();
  const double diff = ap - *esa;
  if (!std::isfinite(diff)) return no_value();
  // Each average that can settle below normal takes its own test: on a halt
  // the distance's average may settle below normal long before the index's,
  // or stay normal while the index's decays (the price's average an ulp from
  // the price), and one test of either alone left the other stepping
  // subnormal numbers on every flat bar.
  const auto d = ema_update_settled(deviation_, std::abs(diff));
  if (!d) return no_value();
  // A deviation within rounding noise of the average counts as none.
  const double threshold = (std::max(std::abs(*esa), 1.0) * 16.0) * 2.220446049250313e-16;
  const bool still = !(*d > threshold);
  const double ci = still ? 0.0 : diff / (*d * 0.015);
  if (!std::isfinite(ci)) return no_value();
  const auto wt1 = ema_update_settled(index_, ci);
  if (!wt1) return no_value();
  const auto wt2 = sma_update_settled(signal_, signal_kept_, *wt1);
  if (!wt2) return no_value();
  if (kReadsCopies && still) [[unlikely]] return value_out(out_.set(*wt1, sma_exact_mean(signal_)));
  return value_out(out_.set(*wt1, *wt2));
}

Result<Pgo, IndicatorError> Pgo::create(std::uint64_t period) {
  FENDRO_TRY(sma, sma_window_new(period));
  return Pgo(std::move(sma));
}

std::optional<double> Pgo::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const double tr = true_range(c->high, c->low, prev_close_);
  prev_close_ = c->close;
  closes_.push(c->close);
  // One test an update, on the average range: settled below normal (or
  // seeding), the update takes the settled path out of line.
  if (below_normal(atr_.value)) [[unlikely]] {
    return settled_path(
        [](Pgo* p, double close, double range) { return p->advance<true>(close, range); }, this,
        c->close, tr);
  }
  return advance<false>(c->close, tr);
}

template <bool Kept>
std::optional<double> Pgo::advance(double close, double tr) {
  const auto s = sma_update(sma_, close);
  if (!std::isfinite(tr)) return no_value();
  const auto atr = ema_update_as<Kept>(atr_, tr);
  if (!atr || !s) return no_value();
  if (*atr > 0.0) {
    const auto over = [](double off, double range) { return off / range; };
    const double off = closes_.holds_only_copies(sma_.period) ? 0.0 : close - *s;
    const double v = Kept ? kept_apply(kept_, over, off, *atr) : over(off, *atr);
    last_ = v;
    return value_out(v);
  }
  return returned(last_);
}

Result<ProjectionOscillator, IndicatorError> ProjectionOscillator::create(std::uint64_t period) {
  FENDRO_TRY(s, ProjectionBandsState::create(period));
  return ProjectionOscillator(std::move(s));
}

std::optional<double> ProjectionOscillator::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const auto bands = projection_bands_update(bands_, c->high, c->low);
  if (!bands) return no_value();
  const double range = bands->upper - bands->lower;
  if (range == 0.0) return value_out(50.0);
  return value_out(((c->close - bands->lower) * 100.0) / range);
}

Result<Inertia, IndicatorError> Inertia::create(std::uint64_t rvi_period, std::uint64_t regression) {
  if (rvi_period == 0 || regression == 0) return err(IndicatorError::zero_period());
  FENDRO_TRY(rvi, RviVolatilityCore::create(rvi_period));
  FENDRO_TRY(line, regression_window_new(regression, "linear regression needs period >= 2"));
  return Inertia(std::move(rvi), std::move(line));
}

std::optional<double> Inertia::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const auto r = rvi_volatility_core(rvi_, c->close);
  if (!r) return no_value();
  return returned(linreg_update(line_, *r));
}

}  // namespace fendro
