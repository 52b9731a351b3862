#include "fendro/indicators/pairs/pair_models.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro::pairs {
namespace {

// Windows longer than MAX_PERIOD are refused like every other window length.
Status<IndicatorError> check_max(std::uint64_t n) {
  if (n > MAX_PERIOD) return err(IndicatorError::invalid_period(kMaxPeriodReason));
  return Unit{};
}

}  // namespace

Result<Cointegration, IndicatorError> Cointegration::create(std::uint64_t period,
                                                            std::uint64_t adf_lags) {
  if (period < sat_add(sat_mul(2, adf_lags), 4)) {
    return err(IndicatorError::invalid_period("cointegration needs period >= 2*adf_lags + 4"));
  }
  FENDRO_CHECK(check_max(period));
  return Cointegration(period, adf_lags);
}

std::optional<double> Cointegration::update(const BarSnapshot& bar) {
  const auto in = stats::two_series_input(bar);
  if (!in) return no_value();
  window_.push(in->a, in->b);
  if (!window_.is_full()) return no_value();
  const stats::PairMoments m = window_.moments();
  const double beta = stats::pair_beta(m);
  const double intercept = m.mean_a - beta * m.mean_b;
  residuals_.clear();
  window_.ring().for_each([&](const std::pair<double, double>& p) {
    residuals_.push_back(p.first - (intercept + beta * p.second));
  });
  const double spread = residuals_.back();
  return value_out(outputs_.set(beta, spread, adf_statistic()));
}

// Rows t = k .. n - 1 (k = lags + 1): the change e[t] - e[t-1] on the level
// e[t-1] and the lagged changes e[t-i] - e[t-i-1], i = 1 .. lags, no constant.
double Cointegration::adf_statistic() {
  const std::span<const double> e = residuals_;
  const std::size_t n = e.size();
  const std::size_t k = lags_ + 1;
  if (n <= k || n - k <= k) return 0.0;
  const auto fill = [&](std::size_t r, std::span<double> row) {
    const std::size_t t = r + k;
    row[0] = e[t - 1];
    for (std::size_t i = 1; i < k; ++i) row[i] = e[t - i] - e[t - i - 1];
    return e[t] - e[t - 1];
  };
  const auto ssr = ols_.rss(k, n - k, fill);
  if (!ssr) return 0.0;
  const double gamma = ols_.coefficients()[0];
  const double s2 = *ssr / static_cast<double>((n - k) - k);
  const auto inv00 = ols_.inverse_first_diagonal();
  if (!inv00) return 0.0;  // not reached: the fit's pivots were usable
  const double var_gamma = s2 * *inv00;
  if (var_gamma <= 0.0) return 0.0;
  return gamma / std::sqrt(var_gamma);
}

Result<GrangerCausality, IndicatorError> GrangerCausality::create(std::uint64_t period,
                                                                  std::uint64_t lag) {
  if (lag < 1) return err(IndicatorError::invalid_period("granger causality needs lag >= 1"));
  FENDRO_CHECK(check_max(lag));
  if (period < 3 * lag + 2) {
    return err(IndicatorError::invalid_period("granger causality needs period >= 3*lag + 2"));
  }
  FENDRO_CHECK(check_max(period));
  return GrangerCausality(period, lag);
}

std::optional<double> GrangerCausality::update(const BarSnapshot& bar) {
  const auto in = stats::two_series_input(bar);
  if (!in) return no_value();
  ring_.push(*in);
  if (!ring_.is_full()) return no_value();
  a_.clear();
  b_.clear();
  ring_.for_each([&](const stats::PairInput& p) {
    a_.push_back(p.a);
    b_.push_back(p.b);
  });
  return value_out(f_statistic());
}

// Target A[t], t = p .. n - 1; the restricted rows are [1, A[t-1] .. A[t-p]],
// the unrestricted ones add B[t-1] .. B[t-p].
double GrangerCausality::f_statistic() {
  const std::size_t p = lag_;
  const std::size_t rows = a_.size() - p;
  const auto restricted = [&](std::size_t r, std::span<double> row) {
    const std::size_t t = r + p;
    row[0] = 1.0;
    for (std::size_t i = 1; i <= p; ++i) row[i] = a_[t - i];
    return a_[t];
  };
  const auto unrestricted = [&](std::size_t r, std::span<double> row) {
    const double y = restricted(r, row);
    const std::size_t t = r + p;
    for (std::size_t i = 1; i <= p; ++i) row[p + i] = b_[t - i];
    return y;
  };
  const auto rss_r = ols_.rss(p + 1, rows, restricted);
  if (!rss_r) return 0.0;
  const auto rss_u = ols_.rss(2 * p + 1, rows, unrestricted);
  if (!rss_u) return 0.0;
  const double f = ((*rss_r - *rss_u) / static_cast<double>(p)) /
                   (*rss_u / static_cast<double>(rows - (2 * p + 1)));
  return f > 0.0 ? f : 0.0;  // NaN included
}

Result<HasbrouckInformationShare, IndicatorError> HasbrouckInformationShare::create(
    std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 6, "information share needs period >= 6"));
  return HasbrouckInformationShare(period);
}

std::optional<double> HasbrouckInformationShare::update(const BarSnapshot& bar) {
  const auto in = stats::two_series_input(bar);
  if (!in) return no_value();
  if (held_ == 2) {
    const stats::PairInput older = prices_[0];
    const stats::PairInput prev = prices_[1];
    observations_.push(Observation{in->a - prev.a, in->b - prev.b, prev.a - prev.b,
                                   prev.a - older.a, prev.b - older.b});
    prices_[0] = prev;
    prices_[1] = *in;
  } else {
    prices_[held_++] = *in;
  }
  if (!observations_.is_full()) return no_value();
  return value_out(share());
}

double HasbrouckInformationShare::share() const {
  constexpr double kNoInformation = 0.5;
  // Normal equations of dA and dB on (1, z, lagA, lagB).
  std::array<double, 16> normal{};
  std::array<double, 4> rhs_a{};
  std::array<double, 4> rhs_b{};
  observations_.for_each([&](const Observation& o) {
    const std::array<double, 4> x = {1.0, o.z, o.lag_a, o.lag_b};
    for (std::size_t i = 0; i < 4; ++i) {
      for (std::size_t j = i; j < 4; ++j) normal[i * 4 + j] = normal[i * 4 + j] + x[i] * x[j];
      rhs_a[i] = rhs_a[i] + x[i] * o.da;
      rhs_b[i] = rhs_b[i] + x[i] * o.db;
    }
  });
  mirror_upper(normal, 4);
  std::array<double, 4> ca{};
  std::array<double, 4> cb{};
  std::array<double, 16> work = normal;
  if (!solve4_pivoting(work, rhs_a, ca)) return kNoInformation;
  work = normal;
  if (!solve4_pivoting(work, rhs_b, cb)) return kNoInformation;

  double saa = 0.0;
  double sbb = 0.0;
  double sab = 0.0;
  observations_.for_each([&](const Observation& o) {
    const double ea = o.da - (((ca[0] + ca[1] * o.z) + ca[2] * o.lag_a) + ca[3] * o.lag_b);
    const double eb = o.db - (((cb[0] + cb[1] * o.z) + cb[2] * o.lag_a) + cb[3] * o.lag_b);
    saa = saa + ea * ea;
    sbb = sbb + eb * eb;
    sab = sab + ea * eb;
  });
  const double n = static_cast<double>(observations_.len());
  const double var_a = saa / n;
  const double var_b = sbb / n;
  const double cov = sab / n;
  if (var_b <= 0.0 || var_a <= 0.0) return kNoInformation;

  const double alpha_a = ca[1];
  const double alpha_b = cb[1];
  const double total =
      (alpha_b * alpha_b * var_a - (2.0 * alpha_b * alpha_a) * cov) + alpha_a * alpha_a * var_b;
  if (total <= 0.0) return kNoInformation;
  const double sd_a = std::sqrt(var_a);
  const double sd_b = std::sqrt(var_b);
  const double up = alpha_b * sd_a - alpha_a * cov / sd_a;
  const double upper = std::min(up * up / total, 1.0);
  const double low = alpha_b * cov / sd_b - alpha_a * sd_b;
  const double lower = std::clamp(1.0 - low * low / total, 0.0, 1.0);
  const double mid = midpoint(upper, lower);
  return std::isfinite(mid) ? mid : kNoInformation;
}

}  // namespace fendro::pairs
