#include "fendro/indicators/volatility/close_dispersion.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/common/variance_values.hpp"
#include "fendro/indicators/common/window_regression.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/util/math.hpp"

namespace fendro {
using namespace vol;

// ---- StdDev ----

Result<StdDev, IndicatorError> StdDev::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return StdDev(period);
}

std::optional<double> StdDev::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  window_.push(close);
  if (!window_.is_full()) return no_value();
  return value_out(population_stddev(window_));
}

// ---- DetrendedStdDev ----

Result<DetrendedStdDev, IndicatorError> DetrendedStdDev::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 2, "detrended stddev needs period >= 2"));
  return DetrendedStdDev(period);
}

DetrendedStdDev::DetrendedStdDev(std::uint64_t n)
    : closes_(n), n_(n), sxx_(regression_constants(n).d / static_cast<double>(n)) {}

std::optional<double> DetrendedStdDev::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  closes_.push(close);
  if (!closes_.is_full()) return no_value();
  // Three passes over the window: about three steps a value.
  if (stop_before(3 * closes_.len())) return no_value();
  // Closes are taken relative to the oldest one, times as 0 (oldest) to n - 1
  // centred on their mean.
  const double n = static_cast<double>(n_);
  const double t_mean = (n - 1.0) * 0.5;
  const double x0 = closes_.front();
  double sum = 0.0;
  closes_.for_each([&](double x) { sum = sum + (x - x0); });
  const double m = sum / n;
  double sxy = 0.0;
  double t = 0.0;
  closes_.for_each([&](double x) {
    sxy = sxy + (t - t_mean) * ((x - x0) - m);
    t += 1.0;
  });
  const double b = sxy / sxx_;
  double ssr = 0.0;
  t = 0.0;
  closes_.for_each([&](double x) {
    const double e = ((x - x0) - m) - b * (t - t_mean);
    ssr = ssr + e * e;
    t += 1.0;
  });
  return value_out(std::sqrt(ssr / n));
}

// ---- UlcerIndex ----

Result<UlcerIndex, IndicatorError> UlcerIndex::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return UlcerIndex(period);
}

std::optional<double> UlcerIndex::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  max_.push(close);
  if (max_.count() < n_) return no_value();
  const double top = max_.value();
  double q = 0.0;
  if (top != 0.0) {
    const double pct = ((close - top) * 100.0) / top;
    q = pct * pct;
  }
  terms_.push(q);
  if (!terms_.is_full()) return no_value();
  // The running sum is rooted as it stands.
  return value_out(std::sqrt(terms_.sum() / static_cast<double>(n_)));
}

// ---- WavePm ----

Result<WavePm, IndicatorError> WavePm::create(std::uint64_t period, std::uint64_t smoothing) {
  FENDRO_CHECK(check_period(period));
  FENDRO_CHECK(check_period(smoothing));
  return WavePm(period, smoothing);
}

std::optional<double> WavePm::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  closes_.push(close);
  if (!closes_.is_full()) return no_value();
  const double d = close - closes_.front();
  const double e = d * d;
  if (!std::isfinite(e)) return no_value();
  // A flat stretch makes every change 0, the weight 0, and both averages
  // decay into the subnormal numbers. One test an update, on the weight's
  // average, the faster of the two at the usual lengths: below normal (or
  // seeding), the averages and the values read off them take the settled
  // path out of line.
  if (below_normal(weight_avg_.value)) [[unlikely]] {
    return settled_path([](WavePm* p, double sq) { return p->advance<true>(sq); }, this, e);
  }
  return advance<false>(e);
}

template <bool Kept>
std::optional<double> WavePm::advance(double e) {
  const auto ms = ema_update_as<Kept>(square_avg_, e);
  if (!ms) return no_value();
  // Dividing by a mean square below normal is as slow as its step.
  const double s = *ms;
  const auto weight = [](double sq, double mean) {
    return mean > 0.0 ? 1.0 - cr::exp(-sq / (mean + mean)) : 0.0;
  };
  const double w = Kept ? kept_apply(weight_kept_, weight, e, s) : weight(e, s);
  if (!std::isfinite(w)) return no_value();
  const auto a = ema_update_as<Kept>(weight_avg_, w);
  if (!a) return no_value();
  const auto times = [](double x, double m) { return x * m; };
  return value_out(Kept ? kept_apply(value_kept_, times, *a, 100.0) : times(*a, 100.0));
}

}  // namespace fendro
