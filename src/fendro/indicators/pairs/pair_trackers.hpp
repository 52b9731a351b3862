// Pair relationships tracked bar by bar between the close (series A) and the
// bar's reference value (series B): a Kalman filter of the hedge ratio, the
// strongest correlation of A with B shifted either way, and the ratio A / B
// with its moving average and its Wilder RSI.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/momentum/rsi_state.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/sma_window.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro::pairs {

// State (beta, alpha) of A = beta * B + alpha as a random walk with process
// noise delta / (1 - delta) on each state and observation variance
// `observation_var`. Outputs hedge_ratio, intercept and spread (the
// innovation before the step); a value on every accepted bar.
class KalmanHedgeRatio final : public Indicator {
 public:
  static Result<KalmanHedgeRatio, IndicatorError> create(double delta, double observation_var);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return outputs_.view(); }
  std::uint64_t warmup_period() const override { return 1; }

 private:
  KalmanHedgeRatio(double delta, double observation_var)
      : q_(delta / (1.0 - delta)), r_(observation_var) {}

  double beta_ = 0.0;
  double alpha_ = 0.0;
  // Covariance of (beta, alpha); the off-diagonal pair is stepped as two
  // separate numbers.
  double p00_ = 0.0;
  double p01_ = 0.0;
  double p10_ = 0.0;
  double p11_ = 0.0;
  double q_;
  double r_;
  std::uint64_t updates_ = 0;
  OutputList<3> outputs_{{"hedge_ratio", "intercept", "spread"}};
};

// The correlation of `window` values of A with `window` values of B shifted
// by up to `max_lag` bars either way that is largest in magnitude (signed);
// ties keep the smaller shift, B leading before B lagging.
class LeadLagCrossCorrelation final : public Indicator {
 public:
  static Result<LeadLagCrossCorrelation, IndicatorError> create(std::uint64_t window,
                                                                std::uint64_t max_lag);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return outputs_.view(); }
  std::uint64_t warmup_period() const override { return a_.capacity(); }

 private:
  LeadLagCrossCorrelation(std::uint64_t window, std::uint64_t max_lag);

  double best_correlation();

  BoundedRing<double> a_;
  BoundedRing<double> b_;
  std::size_t window_;
  std::size_t max_lag_;
  std::vector<double> a_flat_;  // the rings' values, oldest first (reused)
  std::vector<double> b_flat_;
  OutputList<1> outputs_{{"correlation"}};
};

// The ratio A / B (B non-zero, either sign) with its simple moving average
// and its Wilder RSI; outputs ratio, ratio_ma, ratio_rsi once both have a
// value.
class RelativeStrengthAB final : public Indicator {
 public:
  static Result<RelativeStrengthAB, IndicatorError> create(std::uint64_t ma_period,
                                                           std::uint64_t rsi_period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return outputs_.view(); }
  std::uint64_t warmup_period() const override;

 private:
  RelativeStrengthAB(SmaWindow ma, RsiState rsi) : ma_(std::move(ma)), rsi_(rsi) {}

  SmaWindow ma_;
  RsiState rsi_;
  OutputList<3> outputs_{{"ratio", "ratio_ma", "ratio_rsi"}};
};

}  // namespace fendro::pairs
