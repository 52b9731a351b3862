#include "fendro/indicators/cycle/autocorrelation_periodogram.hpp"

#include <cmath>

#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro::cycle {
namespace {

// Correlation window length: the shortest period must exceed it.
constexpr std::uint64_t kAvgLength = 3;

double phasor_angle(std::uint64_t lag, std::uint64_t period) {
  return (static_cast<double>(lag) * kTwoPi) / static_cast<double>(period);
}

}  // namespace

AutocorrelationPeriodogram::AutocorrelationPeriodogram(std::uint64_t min_period,
                                                       std::uint64_t max_period,
                                                       std::uint64_t table_cells)
    : min_(min_period),
      max_(max_period),
      table_cells_(table_cells),
      hp_(OnePoleHighpass::of_period(max_period)),
      ss_(SuperSmootherStage::length_ten()),
      filtered_(sat_add(max_period, kAvgLength)) {}

Result<AutocorrelationPeriodogram, IndicatorError> AutocorrelationPeriodogram::create(
    std::uint64_t min_period, std::uint64_t max_period, std::uint64_t table_cells) {
  if (min_period == 0 || max_period == 0) return err(IndicatorError::zero_period());
  if (min_period <= kAvgLength || max_period <= min_period) {
    return err(IndicatorError::invalid_period(
        "autocorrelation periodogram needs AvgLength < min_period < max_period"));
  }
  if (max_period <= 10) {
    return err(IndicatorError::invalid_period("lp_period must be strictly less than hp_period"));
  }
  return AutocorrelationPeriodogram(min_period, max_period, table_cells);
}

void AutocorrelationPeriodogram::correlate() {
  const std::size_t newest = filtered_.len() - 1;
  const auto f = [&](std::size_t back) { return filtered_[newest - back]; };
  for (std::size_t lag = 0; lag <= max_; ++lag) {
    double sx = 0.0, sy = 0.0, sxx = 0.0, syy = 0.0, sxy = 0.0;
    for (std::size_t k = 0; k < kAvgLength; ++k) {
      const double x = f(k);
      const double y = f(lag + k);
      sx = sx + x;
      sy = sy + y;
      sxx = sxx + x * x;
      syy = syy + y * y;
      sxy = sxy + x * y;
    }
    const double d = (3.0 * sxx - sx * sx) * (3.0 * syy - sy * sy);
    corr_[lag] = d > 0.0 ? (3.0 * sxy - sx * sy) / std::sqrt(d) : 0.0;
  }
}

void AutocorrelationPeriodogram::fourier(std::uint64_t period, double& c, double& s) const {
  c = 0.0;
  s = 0.0;
  if (!phasors_.empty()) {
    const double* ph = phasors_.data() + 2 * (period - min_) * (max_ - 2);
    for (std::uint64_t n = 3; n <= max_; ++n, ph += 2) {
      c = c + corr_[n] * ph[0];
      s = s + corr_[n] * ph[1];
    }
    return;
  }
  for (std::uint64_t n = 3; n <= max_; ++n) {
    const double a = phasor_angle(n, period);
    c = c + corr_[n] * std::cos(a);
    s = s + corr_[n] * std::sin(a);
  }
}

std::optional<double> AutocorrelationPeriodogram::update(const BarSnapshot& bar) {
  const double x = bar_close(bar);
  if (!std::isfinite(x)) return std::nullopt;
  const double hp = hp_.step(x);
  if (!std::isfinite(hp)) return std::nullopt;
  filtered_.push(ss_.step(hp));
  if (!filtered_.is_full()) return std::nullopt;

  if (corr_.empty()) {
    // First full window: the ring already holds max_period + 3 values, so
    // these arrays cost no more than memory already in use.
    corr_.assign(max_ + 1, 0.0);
    power_.assign(max_ + 1, 0.0);
    if (sat_mul(max_ - 2, max_ - min_ + 1) <= table_cells_) {
      phasors_.reserve(2 * (max_ - 2) * (max_ - min_ + 1));
      for (std::uint64_t p = min_; p <= max_; ++p) {
        for (std::uint64_t n = 3; n <= max_; ++n) {
          const double a = phasor_angle(n, p);
          phasors_.push_back(std::cos(a));
          phasors_.push_back(std::sin(a));
        }
      }
    }
  }

  correlate();
  max_power_ = max_power_ * 0.995;
  for (std::uint64_t p = min_; p <= max_; ++p) {
    double c, s;
    fourier(p, c, s);
    const double q = c * c + s * s;
    power_[p] = q * (q * 0.2) + power_[p] * 0.8;
    if (power_[p] > max_power_) max_power_ = power_[p];
  }

  const double lo = static_cast<double>(min_);
  const double hi = static_cast<double>(max_);
  if (!(max_power_ > 0.0)) return lo;
  double spx = 0.0, sp = 0.0;
  for (std::uint64_t p = min_; p <= max_; ++p) {
    const double pwr = power_[p] / max_power_;
    if (pwr >= 0.5) {
      spx = spx + pwr * static_cast<double>(p);
      sp = sp + pwr;
    }
  }
  if (!(sp > 0.0)) return lo;
  const double dc = spx / sp;
  if (dc < lo) return lo;
  if (dc > hi) return hi;
  return dc;
}

}  // namespace fendro::cycle
