#include "fendro/indicators/volatility/quantile_channels.hpp"

#include <cmath>

#include "fendro/indicators/trend/checks.hpp"
#include "fendro/indicators/volatility/window_regression.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {
using namespace vol;

// ---- MedianChannel ----

Result<MedianChannel, IndicatorError> MedianChannel::create(std::uint64_t period,
                                                            double multiplier) {
  FENDRO_CHECK(check_period(period));
  FENDRO_CHECK(trend::check_multiplier(multiplier));
  return MedianChannel(period, multiplier);
}

std::optional<double> MedianChannel::update(const BarSnapshot& bar) {
  const auto close = trend::finite_close(bar);
  if (!close) return std::nullopt;
  window_.push(*close);
  if (!window_.is_full()) return std::nullopt;
  const double median = window_.quantile(0.5);
  abs_deviations_sorted(window_.sorted(), median, deviations_);
  const double width = sorted_quantile(deviations_, 0.5) * m_;
  return out_.set(median + width, median, median - width);
}

// ---- QuartileBands ----

Result<QuartileBands, IndicatorError> QuartileBands::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return QuartileBands(period);
}

std::optional<double> QuartileBands::update(const BarSnapshot& bar) {
  const auto close = trend::finite_close(bar);
  if (!close) return std::nullopt;
  window_.push(*close);
  if (!window_.is_full()) return std::nullopt;
  return out_.set(window_.quantile(0.75), window_.quantile(0.5), window_.quantile(0.25));
}

// ---- BomarBands ----

Result<BomarBands, IndicatorError> BomarBands::create(std::uint64_t period, double coverage) {
  FENDRO_CHECK(check_period(period));
  if (!(std::isfinite(coverage) && coverage > 0.0 && coverage <= 1.0)) {
    return err(IndicatorError::invalid_parameter(
        "bomar bands coverage must be a finite value in (0.0, 1.0]"));
  }
  return BomarBands(period, coverage);
}

std::optional<double> BomarBands::update(const BarSnapshot& bar) {
  const auto close = trend::finite_close(bar);
  if (!close) return std::nullopt;
  window_.push(*close);
  if (!window_.is_full()) return std::nullopt;
  const double mean = ring_mean(window_.ring(), static_cast<double>(window_.period()));
  const double a = std::abs(mean);
  double r = 0.0;  // every deviation counts as 0 about a zero mean
  if (mean != 0.0) {
    // |(x - mean) / a| is |x - mean| / a, and dividing by a > 0 keeps the
    // ascending order of the absolute deviations.
    abs_deviations_sorted(window_.sorted(), mean, deviations_);
    for (double& d : deviations_) d = d / a;
    r = sorted_quantile(deviations_, coverage_);
  }
  const double width = a * r;
  return out_.set(mean + width, mean, mean - width);
}

}  // namespace fendro
