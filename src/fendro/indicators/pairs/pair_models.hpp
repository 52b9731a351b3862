// Least-squares models refitted every bar over a window of (A, B) pairs, A
// the close and B the bar's reference value: Engle-Granger cointegration
// (hedge regression, then an augmented Dickey-Fuller test of its residuals),
// the Granger F statistic of lagged B in a forecast of A, and Hasbrouck's
// information share of A in a two-price error-correction model.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/pairs/pair_solvers.hpp"
#include "fendro/indicators/common/anchored_pair_moments.hpp"
#include "fendro/indicators/common/two_series.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro::pairs {

// Outputs hedge_ratio (slope of A on B over the window), spread (the newest
// residual of that line) and adf_stat (t statistic of the level term of the
// residuals' Dickey-Fuller regression with `adf_lags` lagged changes; 0 when
// the regression is singular). `update` returns the hedge ratio.
class Cointegration final : public Indicator {
 public:
  static Result<Cointegration, IndicatorError> create(std::uint64_t period,
                                                      std::uint64_t adf_lags);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return outputs_.view(); }
  std::uint64_t warmup_period() const override { return window_.period(); }

 private:
  Cointegration(std::uint64_t period, std::uint64_t adf_lags)
      : window_(period), lags_(adf_lags), ols_(adf_lags + 1) {}

  double adf_statistic();

  stats::AnchoredPairMoments window_;
  std::size_t lags_;
  OlsWork ols_;
  std::vector<double> residuals_;  // reused between bars
  OutputList<3> outputs_{{"hedge_ratio", "spread", "adf_stat"}};
};

// F statistic of adding B's last `lag` values to an autoregression of A on
// its own last `lag` values (with constant); never negative, 0 when either
// fit is singular.
class GrangerCausality final : public Indicator {
 public:
  static Result<GrangerCausality, IndicatorError> create(std::uint64_t period, std::uint64_t lag);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return ring_.capacity(); }

 private:
  GrangerCausality(std::uint64_t period, std::uint64_t lag)
      : ring_(period), lag_(lag), ols_(2 * lag + 1) {}

  double f_statistic();

  BoundedRing<stats::PairInput> ring_;
  std::size_t lag_;
  OlsWork ols_;
  std::vector<double> a_;  // the window's values, oldest first (reused)
  std::vector<double> b_;
};

// The midpoint of the upper and lower bounds of A's share of price
// discovery, in [0, 1]; 0.5 (an even split) when the model cannot be fitted.
class HasbrouckInformationShare final : public Indicator {
 public:
  static Result<HasbrouckInformationShare, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return observations_.capacity() + 2; }

 private:
  explicit HasbrouckInformationShare(std::uint64_t period) : observations_(period) {}

  // One step of both prices with its regressors.
  struct Observation {
    double da = 0.0;     // A - previous A
    double db = 0.0;     // B - previous B
    double z = 0.0;      // previous A - previous B (the error-correction term)
    double lag_a = 0.0;  // the previous step of A
    double lag_b = 0.0;  // the previous step of B
  };

  double share() const;

  std::array<stats::PairInput, 2> prices_{};  // the last accepted pairs, older first
  std::size_t held_ = 0;
  BoundedRing<Observation> observations_;
};

}  // namespace fendro::pairs
