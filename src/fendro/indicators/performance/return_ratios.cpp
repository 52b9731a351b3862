#include "fendro/indicators/performance/return_ratios.hpp"

#include <cmath>
#include <limits>

#include "fendro/indicators/common/variance_values.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro::perf {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Gains and losses of a window: counts, and sums (from -0.0, oldest first)
// of the gains and of the loss magnitudes.
struct GainsLosses {
  std::uint64_t wins = 0;
  std::uint64_t losses = 0;
  double gain = -0.0;
  double loss = -0.0;
};

GainsLosses gains_losses(const Ring& window) {
  GainsLosses g;
  window.for_each([&g](double r) {
    if (r > 0.0) {
      ++g.wins;
      g.gain = g.gain + r;
    } else if (r < 0.0) {
      ++g.losses;
      g.loss = g.loss + -r;
    }
  });
  return g;
}

// a / b for a ratio of gains to losses; without losses +inf, or 1.0 when
// there are no gains either.
double gain_ratio(double a, double b, bool has_gains, bool has_losses) {
  if (!has_losses) return has_gains ? kInf : 1.0;
  return a / b;
}

}  // namespace

std::optional<double> mean_over_sample_stddev(const stats::AnchoredMoments& w, double excess_over) {
  const double s2 = vol::clamp_variance(vol::sample_variance_raw(w));
  if (s2 == 0.0) return std::nullopt;
  return (vol::window_mean(w) - excess_over) / std::sqrt(s2);
}

// ---- Moment ratios ----

Result<SharpeRatio, IndicatorError> SharpeRatio::create(std::uint64_t period, double risk_free) {
  FENDRO_CHECK(check_period_min_first(period, 2, "sharpe ratio needs period >= 2"));
  return SharpeRatio(period, risk_free);
}

double SharpeRatio::value(double) const {
  return mean_over_sample_stddev(window_, risk_free_).value_or(0.0);
}

Result<M2Measure, IndicatorError> M2Measure::create(std::uint64_t period, double risk_free,
                                                    double benchmark_stddev) {
  FENDRO_CHECK(check_period_min_first(period, 2, "m2 measure needs period >= 2"));
  if (!std::isfinite(risk_free) || !std::isfinite(benchmark_stddev) || benchmark_stddev < 0.0) {
    return err(IndicatorError::invalid_parameter(
        "risk_free must be finite and benchmark_stddev finite and non-negative"));
  }
  return M2Measure(period, risk_free, benchmark_stddev);
}

double M2Measure::value(double) const {
  const auto sharpe = mean_over_sample_stddev(window_, risk_free_);
  return sharpe ? risk_free_ + benchmark_stddev_ * *sharpe : 0.0;
}

Result<SortinoRatio, IndicatorError> SortinoRatio::create(std::uint64_t period, double target) {
  FENDRO_CHECK(check_period_min_first(period, 2, "sortino ratio needs period >= 2"));
  return SortinoRatio(period, target);
}

double SortinoRatio::value(double) const {
  const double n = static_cast<double>(period_);
  double shortfalls = -0.0;
  window_.ring().for_each([&](double r) {
    const double d = r - target_;
    if (d < 0.0) shortfalls = shortfalls + d * d;
  });
  const double dd = shortfalls / n;
  if (dd == 0.0) return 0.0;
  return (window_.sum() / n - target_) / std::sqrt(dd);
}

// ---- Running-sum ratios ----

void UpsideTally::enter(double r) {
  const double d = r - mar;
  upside = upside + (d > 0.0 ? d : 0.0);
  const double shortfall = d < 0.0 ? d : 0.0;
  downside2 = downside2 + shortfall * shortfall;
}

void UpsideTally::leave(double r) {
  const double d = r - mar;
  upside = upside - (d > 0.0 ? d : 0.0);
  const double shortfall = d < 0.0 ? d : 0.0;
  downside2 = downside2 - shortfall * shortfall;
}

Result<UpsidePotentialRatio, IndicatorError> UpsidePotentialRatio::create(std::uint64_t period,
                                                                          double mar) {
  FENDRO_CHECK(check_period_min_first(period, 2, "upside potential ratio needs period >= 2"));
  if (!std::isfinite(mar)) return err(IndicatorError::invalid_parameter("mar must be finite"));
  return UpsidePotentialRatio(period, TalliedRing<UpsideTally>(period, UpsideTally{mar}));
}

double UpsidePotentialRatio::value(double) const {
  const double n = static_cast<double>(period_);
  const UpsideTally& t = window_.tally();
  const double downside = t.downside2 / n;
  if (downside <= 0.0) return 0.0;
  return (t.upside / n) / std::sqrt(downside);
}

Result<WinRate, IndicatorError> WinRate::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return WinRate(period, TalliedRing<GainCount>(period, GainCount{}));
}

double WinRate::value(double) const {
  return static_cast<double>(window_.tally().gains) / static_cast<double>(period_);
}

bool enter_return(double& sum, double& pain, double r) {
  sum = sum + r;
  if (!(r < 0.0)) return false;
  pain = pain + -r;
  return true;
}

bool leave_return(double& sum, double& pain, double r) {
  sum = sum - r;
  if (!(r < 0.0)) return false;
  pain = pain - -r;
  return true;
}

void LossTally::enter(double r) {
  if (enter_return(sum, pain, r)) ++losses;
}

void LossTally::leave(double r) {
  if (leave_return(sum, pain, r)) --losses;
}

void PainWindow::push(double r) {
  if (auto evicted = sums.ring.push(r)) leave_return(sums.acc_a, sums.acc_b, *evicted);
  enter_return(sums.acc_a, sums.acc_b, r);
}

Result<Expectancy, IndicatorError> Expectancy::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return Expectancy(period, TalliedRing<LossTally>(period, LossTally{}));
}

double Expectancy::value(double) const {
  const LossTally& t = window_.tally();
  if (t.losses == 0) return 0.0;
  return (t.sum / static_cast<double>(period_)) / (t.pain / static_cast<double>(t.losses));
}

Result<GainToPainRatio, IndicatorError> GainToPainRatio::create(std::uint64_t period) {
  FENDRO_TRY(sums, ring_window_sums_new(period));
  return GainToPainRatio(period, PainWindow{std::move(sums)});
}

double GainToPainRatio::value(double) const {
  const RingWindowSums& w = window_.sums;
  if (w.acc_b <= 0.0) return 0.0;
  return w.acc_a / w.acc_b;
}

// ---- Scanning ratios ----

Result<OmegaRatio, IndicatorError> OmegaRatio::create(std::uint64_t period, double threshold) {
  FENDRO_CHECK(check_period(period));
  return OmegaRatio(period, threshold);
}

double OmegaRatio::value(double) const {
  double gain = -0.0;
  double loss = -0.0;
  window_.for_each([&](double r) {
    const double d = r - threshold_;
    if (d >= 0.0) {
      gain = gain + d;
    } else {
      loss = loss + -d;
    }
  });
  if (loss == 0.0) return gain == 0.0 ? 1.0 : kInf;
  return gain / loss;
}

Result<KellyCriterion, IndicatorError> KellyCriterion::create(std::uint64_t period) {
  FENDRO_TRY(w, ring_window_new(period));
  return KellyCriterion(period, ScannedWindow{std::move(w)});
}

double KellyCriterion::value(double) const {
  const GainsLosses g = gains_losses(window_.ring());
  const double p = static_cast<double>(g.wins) / static_cast<double>(period_);
  if (g.losses == 0) return p;
  if (g.wins == 0) return -1.0;
  const double b = (g.gain / static_cast<double>(g.wins)) / (g.loss / static_cast<double>(g.losses));
  return p - (1.0 - p) / b;
}

Result<ProfitFactor, IndicatorError> ProfitFactor::create(std::uint64_t period) {
  FENDRO_TRY(w, ring_window_new(period));
  return ProfitFactor(period, ScannedWindow{std::move(w)});
}

// A sum of gains (or of loss magnitudes) is 0 exactly when there are none.
double ProfitFactor::value(double) const {
  const GainsLosses g = gains_losses(window_.ring());
  return gain_ratio(g.gain, g.loss, g.gain != 0.0, g.loss != 0.0);
}

Result<GainLossRatio, IndicatorError> GainLossRatio::create(std::uint64_t period) {
  FENDRO_TRY(w, ring_window_new(period));
  return GainLossRatio(period, ScannedWindow{std::move(w)});
}

double GainLossRatio::value(double) const {
  const GainsLosses g = gains_losses(window_.ring());
  const double avg_gain = g.wins == 0 ? 0.0 : g.gain / static_cast<double>(g.wins);
  const double avg_loss = g.losses == 0 ? 0.0 : g.loss / static_cast<double>(g.losses);
  return gain_ratio(avg_gain, avg_loss, g.wins != 0, g.losses != 0);
}

}  // namespace fendro::perf
