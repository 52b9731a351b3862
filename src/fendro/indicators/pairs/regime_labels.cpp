#include "fendro/indicators/pairs/regime_labels.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/common/sorted_quantile.hpp"
#include "fendro/indicators/common/variance_values.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/util/math.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro::pairs {

Result<TrendLabel, IndicatorError> TrendLabel::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 2, "trend label needs period >= 2"));
  return TrendLabel(period);
}

double TrendLabel::value(double) const {
  const double n = static_cast<double>(period_);
  const double y_mean = ring_sum(window_) / n;
  const double i_mean = (n - 1.0) * 0.5;
  double sxy = -0.0;
  double i = 0.0;
  window_.for_each([&](double y) {
    sxy = sxy + (i - i_mean) * (y - y_mean);
    i = i + 1.0;
  });
  if (sxy > 0.0) return 1.0;
  if (sxy < 0.0) return -1.0;
  return 0.0;
}

std::optional<double> ReturnVolatility::next(double close) {
  const std::optional<double> prev = prev_;
  prev_ = close;
  if (!prev) return std::nullopt;
  returns_.push(cr::log(close / *prev));
  if (!returns_.is_full()) return std::nullopt;
  return vol::sample_stddev(returns_);
}

Result<RegimeLabel, IndicatorError> RegimeLabel::create(std::uint64_t vol_period,
                                                        std::uint64_t lookback) {
  FENDRO_CHECK(check_period_min_first(vol_period, 2, "regime label needs vol_period >= 2"));
  FENDRO_CHECK(check_period_min_first(lookback, 2, "regime label needs lookback >= 2"));
  return RegimeLabel(vol_period, lookback);
}

std::optional<double> RegimeLabel::update(const BarSnapshot& bar) {
  const auto close = finite_close(bar);
  if (!close || !(*close > 0.0)) return no_value();
  const auto vol = vol_.next(*close);
  if (!vol) return no_value();
  if (history_.stop_after_push(*vol) || !history_.is_full()) return no_value();
  const auto s = history_.sorted();
  if (*vol < sorted_quantile(s, 0.25)) return value_out(-1.0);
  if (*vol > sorted_quantile(s, 0.75)) return value_out(1.0);
  return value_out(0.0);
}

Result<VolatilityCone, IndicatorError> VolatilityCone::create(std::uint64_t window,
                                                              std::uint64_t lookback) {
  if (window == 0 || lookback == 0) return err(IndicatorError::zero_period());
  if (window < 2 || lookback < 2) {
    return err(IndicatorError::invalid_period(
        "volatility cone window and lookback must both be >= 2"));
  }
  return VolatilityCone(window, lookback);
}

// No upper bound on the lengths: both windows grow with the bars seen.
VolatilityCone::VolatilityCone(std::uint64_t window, std::uint64_t lookback)
    : vol_(window), history_(lookback), warmup_(sat_add(window, lookback)) {}

std::optional<double> VolatilityCone::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  if (!(c->close > 0.0)) return returned(last_);
  const auto vol = vol_.next(c->close);
  if (!vol) return no_value();
  if (history_.stop_after_push(*vol) || !history_.is_full()) return no_value();
  const auto s = history_.sorted();
  // Volatilities are never NaN, so the plain order agrees with the sorted one.
  const auto at_most = std::upper_bound(s.begin(), s.end(), *vol) - s.begin();
  const double percentile =
      static_cast<double>(at_most) / static_cast<double>(history_.period()) * 100.0;
  last_ = outputs_.set(*vol, s.front(), stats::sorted_median(s), s.back(), percentile);
  return returned(last_);
}

}  // namespace fendro::pairs
