#include "fendro/indicators/performance/tail_risk.hpp"

#include <cmath>

#include "fendro/indicators/windows/period.hpp"

namespace fendro::perf {
namespace {

constexpr std::string_view kConfidenceReason = "confidence must lie strictly between 0 and 1";

bool strictly_inside_unit(double c) { return std::isfinite(c) && c > 0.0 && c < 1.0; }

// max(-v, 0), a zero of either sign giving +0.0.
double loss_magnitude(double v) { return -v > 0.0 ? -v : 0.0; }

// q95 / |q05|, or nothing when q05 is 0.
std::optional<double> tail_ratio(const SortedWindow& w) {
  const double q05 = w.quantile(0.05);
  if (q05 == 0.0) return std::nullopt;
  return w.quantile(0.95) / std::abs(q05);
}

}  // namespace

Result<ValueAtRisk, IndicatorError> ValueAtRisk::create(std::uint64_t period, double confidence) {
  FENDRO_CHECK(check_period_min_first(period, 2, "value-at-risk needs period >= 2"));
  if (!strictly_inside_unit(confidence)) {
    return err(IndicatorError::invalid_period(kConfidenceReason));
  }
  return ValueAtRisk(period, confidence);
}

double ValueAtRisk::value(double) const {
  return loss_magnitude(window_.quantile(1.0 - confidence_));
}

Result<ConditionalValueAtRisk, IndicatorError> ConditionalValueAtRisk::create(std::uint64_t period,
                                                                              double confidence) {
  FENDRO_CHECK(check_period_min_first(period, 2, "conditional value-at-risk needs period >= 2"));
  if (!strictly_inside_unit(confidence)) {
    return err(IndicatorError::invalid_period(kConfidenceReason));
  }
  // 0 <= (1 - c) * n < n: the conversion cannot overflow.
  const double tail = std::floor((1.0 - confidence) * static_cast<double>(period));
  const std::uint64_t k = tail < 1.0 ? 1 : static_cast<std::uint64_t>(tail);
  return ConditionalValueAtRisk(period, k);
}

double ConditionalValueAtRisk::value(double) const {
  const double mean = stats::ordered_sum(window_.sorted().first(k_)) / static_cast<double>(k_);
  return loss_magnitude(mean);
}

Result<TailRatio, IndicatorError> TailRatio::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 2, "tail ratio needs period >= 2"));
  return TailRatio(period, SortedWindow(period));
}

double TailRatio::value(double) const { return tail_ratio(window_).value_or(0.0); }

Result<CommonSenseRatio, IndicatorError> CommonSenseRatio::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 2, "common sense ratio needs period >= 2"));
  return CommonSenseRatio(period, SortedWindow(period));
}

// The sorted list is kept current on every bar, which gives the same values
// as rebuilding it only when losses return.
double CommonSenseRatio::value(double) const {
  double gain = -0.0;
  double loss = -0.0;
  window_.ring().for_each([&](double r) {
    gain = gain + (r > 0.0 ? r : 0.0);
    loss = loss + loss_magnitude(r);
  });
  if (loss <= 0.0) return 0.0;
  const auto tail = tail_ratio(window_);
  return tail ? (gain / loss) * *tail : 0.0;
}

}  // namespace fendro::perf
