#include "fendro/indicators/momentum/stochastic.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro {

Result<Stochastic, IndicatorError> Stochastic::create(std::uint64_t k, std::uint64_t d) {
  if (k == 0 || d == 0) return err(IndicatorError::zero_period());
  FENDRO_TRY(sma, sma_window_new(d));
  return Stochastic(k, std::move(sma));
}

std::uint64_t Stochastic::warmup_period() const {
  return sat_sub(sat_add(range_.period, d_.period), 1);
}

std::optional<double> Stochastic::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr || !range_.push(*c)) return no_value();
  const double hh = range_.highest();
  const double ll = range_.lowest();
  const double range = hh - ll;
  const double k = range == 0.0 ? 50.0 : ((c->close - ll) * 100.0) / range;
  double d;
  if (!sma_update_to(d_, k, d)) return no_value();
  return value_out(out_.set(k, d));
}

Result<WilliamsR, IndicatorError> WilliamsR::create(std::uint64_t period) {
  FENDRO_TRY(range, OldestCandleRange::create(period));
  return WilliamsR(std::move(range));
}

std::optional<double> WilliamsR::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr || !range_.push(*c)) return no_value();
  const double hh = range_.highest();
  const double range = hh - range_.lowest();
  if (range == 0.0) return value_out(-50.0);
  return value_out(((hh - c->close) * -100.0) / range);
}

Result<Smi, IndicatorError> Smi::create(std::uint64_t k, std::uint64_t first,
                                        std::uint64_t second) {
  if (k == 0 || first == 0 || second == 0) return err(IndicatorError::zero_period());
  if (first > MAX_PERIOD || second > MAX_PERIOD) {
    return err(IndicatorError::invalid_period(kMaxPeriodReason));
  }
  return Smi(k, first, second);
}

std::uint64_t Smi::warmup_period() const {
  return sat_sub(sat_add(sat_add(range_.period, num1_.period), num2_.period), 2);
}

std::optional<double> Smi::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr || !range_.push(*c)) return no_value();
  const double hh = range_.highest();
  const double ll = range_.lowest();
  const double distance = c->close - midpoint(hh, ll);
  const double range = hh - ll;
  halt_.push((distance == 0.0) & (range == 0.0));
  // One test an update, on the last average of the range: no average of the
  // distance (at most half the range) is larger, and it settles after the
  // first. Settled below normal (or seeding), the update takes the settled
  // path out of line.
  if (below_normal(den2_.value)) [[unlikely]] {
    return settled_path([](Smi* s, double d, double r) { return s->advance<true>(d, r); }, this,
                        distance, range);
  }
  return advance<false>(distance, range);
}

template <bool Kept>
std::optional<double> Smi::advance(double distance, double range) {
  // Each chain advances only on finite input; both must be ready this bar.
  // On the plain path the range's averages have been seeded: the last is
  // normal, and it is 0 until seeded.
  const auto range_step = [](EmaState& s, double x) -> std::optional<double> {
    if constexpr (Kept) return ema_update_kept(s, x);
    return ema_seeded_update(s, x);
  };
  std::optional<double> num1;
  std::optional<double> den1;
  if (std::isfinite(distance)) num1 = ema_update_as<Kept>(num1_, distance);
  if (std::isfinite(range)) den1 = range_step(den1_, range);
  std::optional<double> num2;
  if (num1 && std::isfinite(*num1)) num2 = ema_update_as<Kept>(num2_, *num1);
  if (!den1 || !std::isfinite(*den1)) return no_value();
  const auto den2 = range_step(den2_, *den1);
  if (!den2 || !num2) return no_value();

  // On a halt the window's range and distance are 0 once it holds only the
  // halt's price, and both chains decay: the index is held once that has
  // lasted both smoothings (the last value kept stays the plain one).
  const std::uint64_t held_after = num1_.period + num2_.period;
  if (*den2 > 0.0) {
    // Half of a range averaged down to the least subnormal number rounds to
    // 0: the quotient is then infinite or NaN, which is no value.
    const double v = (*num2 * 100.0) / (*den2 * 0.5);
    const bool sunk = Kept || below_normal(*num2);
    if (std::isfinite(v)) {
      last_ = v;
    } else if (!halt_.holding_steady()) {
      return no_value();
    }
    return value_out(halt_.read_steady(v, held_after, sunk));
  }
  if (!last_) return no_value();
  return value_out(halt_.read_steady(*last_, held_after, true));
}

Result<KasePermissionStochastic, IndicatorError> KasePermissionStochastic::create(
    std::uint64_t period, std::uint64_t smoothing) {
  FENDRO_CHECK(check_period(period));
  FENDRO_CHECK(check_period(smoothing));
  return KasePermissionStochastic(period, smoothing);
}

std::optional<double> KasePermissionStochastic::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr || !range_.push(*c)) return no_value();
  const double hh = range_.highest();
  const double ll = range_.lowest();
  const double raw = hh > ll ? ((c->close - ll) * 100.0) / (hh - ll) : 50.0;
  if (!std::isfinite(raw)) return no_value();
  double fast;
  double slow;
  if (!ema_update_to(fast_, raw, fast) || !std::isfinite(fast)) return no_value();
  if (!ema_update_to(slow_, fast, slow)) return no_value();
  return value_out(out_.set(fast, slow));
}

}  // namespace fendro
