#include "fendro/indicators/averages/fixed_weight_averages.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/util/math.hpp"

namespace fendro {
namespace {

constexpr double kPi = 3.141592653589793;

// Steps of one weight (a correctly rounded exponential or sine), and how
// many weights are computed between two notes: a window of millions fills
// in parts of a few milliseconds.
constexpr std::uint64_t kWeightSteps = 16;
constexpr std::uint64_t kWeightsPerNote = std::uint64_t{1} << 16;

// Notes the weights from k on, a part at a time. True: stop now.
bool stop_before_weight(std::uint64_t k, std::uint64_t period) {
  if (k % kWeightsPerNote != 0) return false;
  return stop_before(kWeightSteps * std::min(kWeightsPerNote, period - k));
}

double sum_in_order(const std::vector<double>& v) {
  double s = 0.0;
  for (double x : v) s = s + x;
  return s;
}

// A Gaussian so narrow (sigma huge against the period) that every raw weight
// underflows to zero, or is 0/0 at m itself, would turn every value into
// NaN. Its limit is meant instead: equal weights on the position(s) nearest m.
[[gnu::cold]] std::vector<double> narrowest_gaussian(std::uint64_t period, double m) {
  std::vector<double> weights(period, 0.0);
  const double lo = std::floor(m);  // 0 <= m <= period - 1
  const double hi = std::ceil(m);
  const auto at = [&weights](double k) -> double& { return weights[static_cast<std::size_t>(k)]; };
  if (m - lo < hi - m) {
    at(lo) = 1.0;
  } else if (hi - m < m - lo || lo == hi) {
    at(hi) = 1.0;
  } else {
    at(lo) = 0.5;
    at(hi) = 0.5;
  }
  return weights;
}

// One weight per position, oldest first, normalised to sum 1; none when told
// to stop.
std::vector<double> alma_weights(std::uint64_t period, double offset, double sigma) {
  const double m = offset * (static_cast<double>(period) - 1.0);
  const double s = static_cast<double>(period) / sigma;
  const double spread = s * (s + s);
  std::vector<double> weights(period);
  for (std::uint64_t k = 0; k < period; ++k) {
    if (stop_before_weight(k, period)) return {};
    const double d = static_cast<double>(k) - m;
    weights[k] = cr::exp(-(d * d) / spread);
  }
  const double total = sum_in_order(weights);
  if (!(total > 0.0)) return narrowest_gaussian(period, m);
  for (double& w : weights) w = w / total;
  return weights;
}

// None when told to stop.
std::vector<double> half_sine_weights(std::uint64_t period) {
  const double arc = static_cast<double>(period) + 1.0;
  std::vector<double> weights(period);
  for (std::uint64_t k = 0; k < period; ++k) {
    if (stop_before_weight(k, period)) return {};
    weights[k] = cr::sin((static_cast<double>(k + 1) * kPi) / arc);
  }
  return weights;
}

}  // namespace

bool FixedWeightWindow::push(double x) {
  if (!std::isfinite(x)) return false;
  closes_.push(x);
  copies_.push(x);
  return closes_.is_full();
}

double FixedWeightWindow::weighted_sum(const std::vector<double>& weights) const {
  double sum = -0.0;
  const double* w = weights.data();
  for (double c : closes_.older()) sum = sum + *w++ * c;
  for (double c : closes_.newer()) sum = sum + *w++ * c;
  return sum;
}

Result<Alma, IndicatorError> Alma::create(std::uint64_t period, double offset, double sigma) {
  FENDRO_CHECK(check_period(period));
  if (!(offset >= 0.0 && offset <= 1.0)) {
    return err(IndicatorError::invalid_period("ALMA offset must be a finite value in [0, 1]"));
  }
  if (!(sigma > 0.0 && std::isfinite(sigma))) {
    return err(IndicatorError::invalid_period("ALMA sigma must be a finite positive value"));
  }
  return Alma(period, offset, sigma);
}

std::optional<double> Alma::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!window_.push(x)) return no_value();
  if (weights_.empty()) {
    weights_ = alma_weights(window_.period(), offset_, sigma_);
    if (weights_.empty()) return no_value();
  }
  // The weighted sum: about a step a value.
  if (stop_before(window_.period())) return no_value();
  if (window_.holds_only_copies()) return value_out(copy_read(x));
  // The weighted sum starts from +0.0: a window of -0.0 closes gives +0.0.
  return value_out(0.0 + window_.weighted_sum(weights_));
}

Result<SineWeightedMa, IndicatorError> SineWeightedMa::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return SineWeightedMa(period);
}

std::optional<double> SineWeightedMa::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!window_.push(x)) return no_value();
  if (weights_.empty()) {
    weights_ = half_sine_weights(window_.period());
    if (weights_.empty()) return no_value();
    weight_sum_ = sum_in_order(weights_);
  }
  // The weighted sum: about a step a value.
  if (stop_before(window_.period())) return no_value();
  if (window_.holds_only_copies()) return value_out(copy_read(x));
  return value_out(window_.weighted_sum(weights_) / weight_sum_);
}

}  // namespace fendro
