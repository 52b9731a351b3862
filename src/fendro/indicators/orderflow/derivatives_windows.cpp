#include "fendro/indicators/orderflow/derivatives_windows.hpp"

#include <cmath>

#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/common/variance_values.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

std::optional<double> OpenInterestDelta::update(const BarSnapshot& bar) {
  if (bar.derivatives == nullptr) return no_value();
  const double oi = bar.derivatives->open_interest;
  std::optional<double> out;
  if (prev_) out = oi - *prev_;
  prev_ = oi;
  return returned(out);
}

std::optional<double> OIWeighted::update(const BarSnapshot& bar) {
  if (bar.derivatives == nullptr) return no_value();
  const DerivativesTick& t = *bar.derivatives;
  weighted_ = weighted_ + t.open_interest * t.mark_price;
  interest_ = interest_ + t.open_interest;
  return value_out(interest_ == 0.0 ? t.mark_price : weighted_ / interest_);
}

std::optional<double> LiquidationFeatures::update(const BarSnapshot& bar) {
  if (bar.derivatives == nullptr) return no_value();
  const double l = bar.derivatives->long_liquidations;
  const double s = bar.derivatives->short_liquidations;
  const double total = l + s;
  const double imbalance = total == 0.0 ? 0.0 : (l - s) / total;
  return value_out(outputs_.set(l, s, l - s, total, imbalance));
}

Result<OpenInterestMomentum, IndicatorError> OpenInterestMomentum::create(std::uint64_t period) {
  FENDRO_TRY(lag, lag_ring_new(period));
  return OpenInterestMomentum(std::move(lag));
}

std::optional<double> OpenInterestMomentum::update(const BarSnapshot& bar) {
  if (bar.derivatives == nullptr) return no_value();
  const double oi = bar.derivatives->open_interest;
  lag_.ring.push(oi);
  if (!lag_.ring.is_full()) return no_value();
  const double oldest = lag_.ring.front();
  return value_out(oldest > 0.0 ? (oi - oldest) * 100.0 / oldest : 0.0);
}

Result<OIPriceDivergence, IndicatorError> OIPriceDivergence::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return OIPriceDivergence(period);
}

std::optional<double> OIPriceDivergence::update(const BarSnapshot& bar) {
  if (bar.derivatives == nullptr) return no_value();
  ring_.push({bar.derivatives->open_interest, bar.derivatives->mark_price});
  if (!ring_.is_full()) return no_value();
  const auto [o0, m0] = ring_.front();
  const auto [o1, m1] = ring_.back();
  const double oi_change = o0 == 0.0 ? 0.0 : (o1 - o0) / o0;
  const double price_change = (m1 - m0) / m0;
  return value_out(oi_change - price_change);
}

Result<FundingRateMean, IndicatorError> FundingRateMean::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return FundingRateMean(period);
}

std::optional<double> FundingRateMean::update(const BarSnapshot& bar) {
  if (bar.derivatives == nullptr) return no_value();
  const double x = bar.derivatives->funding_rate;
  // The ring keeps `period` rates; the one that leaves is held aside so that
  // a rebuild still sees it, as the oldest term, before it is taken out.
  const std::optional<double> leaving = ring_.push(x);
  sum_ = sum_ + x;
  if (++pushes_ == period_) {
    double s = -0.0;
    if (leaving) s = s + *leaving;
    ring_.for_each([&s](double v) { s = s + v; });
    sum_ = s;
    pushes_ = 0;
  }
  if (leaving) sum_ = sum_ - *leaving;
  copies_.push(x);
  if (!ring_.is_full()) return no_value();
  if (copies_.holds_only_copies(period_) && std::isfinite(x)) [[unlikely]] return value_out(copy_read(x));
  return value_out(sum_ / static_cast<double>(period_));
}

Result<FundingRateZScore, IndicatorError> FundingRateZScore::create(std::uint64_t period) {
  FENDRO_TRY(window, rolling_variance_new(period));
  return FundingRateZScore(std::move(window));
}

std::optional<double> FundingRateZScore::update(const BarSnapshot& bar) {
  if (bar.derivatives == nullptr) return no_value();
  const double x = bar.derivatives->funding_rate;
  window_.push(x);
  if (!window_.is_full()) return no_value();
  const double variance = vol::clamp_variance(vol::population_variance_raw(window_));
  if (variance == 0.0) return value_out(0.0);
  return value_out((x - vol::window_mean(window_)) / std::sqrt(variance));
}

}  // namespace fendro
