#include "fendro/indicators/volatility/average_envelopes.hpp"

#include <cmath>

#include "fendro/indicators/common/fused.hpp"
#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {
using namespace vol;

// ---- AccelerationBands ----

Result<AccelerationBands, IndicatorError> AccelerationBands::create(std::uint64_t period,
                                                                    double factor) {
  FENDRO_CHECK(check_multiplier(factor));
  FENDRO_CHECK(check_period(period));
  return AccelerationBands(period, factor);
}

std::optional<double> AccelerationBands::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const double s = c->high + c->low;
  const double r = s == 0.0 ? 0.0 : (c->high - c->low) / s;
  const double widened = c->high * fused_mul_add(factor_, r, 1.0);
  const double narrowed = c->low * fused_mul_add(-factor_, r, 1.0);
  const auto upper = sma_update(highs_, widened);
  const auto middle = sma_update(closes_, c->close);
  const auto lower = sma_update(lows_, narrowed);
  if (!upper || !middle || !lower) return no_value();
  return value_out(out_.set(*upper, *middle, *lower));
}

// ---- MaEnvelope ----

Result<MaEnvelope, IndicatorError> MaEnvelope::create(std::uint64_t period, double fraction) {
  FENDRO_CHECK(check_multiplier(fraction));
  FENDRO_CHECK(check_period(period));
  return MaEnvelope(period, fraction);
}

std::optional<double> MaEnvelope::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  const auto sma = sma_update(sma_, close);
  if (!sma) return no_value();
  return value_out(out_.set(*sma * (1.0 + fraction_), *sma, *sma * (1.0 - fraction_)));
}

// ---- StandardErrorBands ----

Result<StandardErrorBands, IndicatorError> StandardErrorBands::create(std::uint64_t period,
                                                                      double multiplier) {
  FENDRO_CHECK(check_period_min_first(period, 3, "standard error bands need period >= 3"));
  FENDRO_CHECK(check_multiplier(multiplier));
  return StandardErrorBands(period, multiplier);
}

std::optional<double> StandardErrorBands::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  closes_.push(close);
  if (!closes_.is_full()) return no_value();
  // The mean, the line's sums and the residuals: about three steps a value.
  if (stop_before(3 * closes_.len())) return no_value();
  const double n = static_cast<double>(n_);
  const double mean = ring_sum(closes_) / n;
  const LineSums sums = line_sums(closes_, mean);
  const double slope = fit_slope(line_, sums.sy, sums.sxy);
  const double intercept = fit_intercept(line_, sums.sy, slope);
  const double se = std::sqrt(residual_squares(closes_, mean, intercept, slope) / (n - 2.0));
  const double middle = (n - 1.0) * slope + (mean + intercept);
  const double width = se * m_;
  return value_out(out_.set(middle + width, middle, middle - width));
}

}  // namespace fendro
