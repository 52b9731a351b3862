// Performance measures built on drawdowns, over a window of the last n
// closes read under the close-only rule. Level types read each close as a
// level of an equity or price curve; return types read it as a one-bar
// return (0.01 = 1%) and compound the curve 1.0 * (1 + r) * ... from it.
// Nothing is annualised and no risk-free rate is subtracted.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/performance/return_ratios.hpp"
#include "fendro/indicators/performance/return_windows.hpp"
#include "fendro/indicators/common/close_window.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro::perf {

using Ring = BoundedRing<double>;

// Largest peak-relative drawdown of the levels (peaks above 0 only).
class MaxDrawdown final : public stats::CloseWindowStat<MaxDrawdown, Ring> {
 public:
  static Result<MaxDrawdown, IndicatorError> create(std::uint64_t period);
  double value(double x) const;
  // One pass along the running peak: about two steps a value.
  std::uint64_t value_steps() const { return 2 * period_; }

 private:
  using CloseWindowStat::CloseWindowStat;
};

// Mean depth of the drawdown episodes of the levels (open one included).
class AverageDrawdown final : public stats::CloseWindowStat<AverageDrawdown, ScannedWindow> {
 public:
  static Result<AverageDrawdown, IndicatorError> create(std::uint64_t period);
  double value(double x) const;
  // One pass through the episodes: about a step a value.
  std::uint64_t value_steps() const { return period_; }

 private:
  using CloseWindowStat::CloseWindowStat;
};

// Mean peak-relative drawdown of the levels over the window.
class PainIndex final : public stats::CloseWindowStat<PainIndex, ScannedWindow> {
 public:
  static Result<PainIndex, IndicatorError> create(std::uint64_t period);
  double value(double x) const;
  // One pass along the running peak: about two steps a value.
  std::uint64_t value_steps() const { return 2 * period_; }

 private:
  using CloseWindowStat::CloseWindowStat;
};

// Mean return over the largest drawdown of the compounded curve.
class CalmarRatio final : public stats::CloseWindowStat<CalmarRatio, ResummedRing> {
 public:
  static Result<CalmarRatio, IndicatorError> create(std::uint64_t period);
  double value(double x) const;
  // One pass along the compounded curve: about two steps a value.
  std::uint64_t value_steps() const { return 2 * period_; }

 private:
  using CloseWindowStat::CloseWindowStat;
};

// Mean return over the root of the summed squared episode depths.
class BurkeRatio final : public stats::CloseWindowStat<BurkeRatio, Ring> {
 public:
  static Result<BurkeRatio, IndicatorError> create(std::uint64_t period);
  double value(double x) const;
  // The sum and a pass through the episodes: about two steps a value.
  std::uint64_t value_steps() const { return 2 * period_; }

 private:
  using CloseWindowStat::CloseWindowStat;
};

// Mean return over the mean episode depth.
class SterlingRatio final : public stats::CloseWindowStat<SterlingRatio, Ring> {
 public:
  static Result<SterlingRatio, IndicatorError> create(std::uint64_t period);
  double value(double x) const;
  // The sum and a pass through the episodes: about two steps a value.
  std::uint64_t value_steps() const { return 2 * period_; }

 private:
  using CloseWindowStat::CloseWindowStat;
};

// Mean return over the Ulcer index (drawdowns in percent).
class MartinRatio final : public stats::CloseWindowStat<MartinRatio, Ring> {
 public:
  static Result<MartinRatio, IndicatorError> create(std::uint64_t period);
  double value(double x) const;
  // The curve and the sum: about three steps a value.
  std::uint64_t value_steps() const { return 3 * period_; }

 private:
  using CloseWindowStat::CloseWindowStat;
};

// Slope of the cumulative returns over its standard error.
class KRatio final : public stats::CloseWindowStat<KRatio, Ring> {
 public:
  static Result<KRatio, IndicatorError> create(std::uint64_t period);
  double value(double x);
  // Three passes over the cumulative returns: about three steps a value.
  std::uint64_t value_steps() const { return 3 * period_; }

 private:
  KRatio(std::uint64_t n);
  double t_mean_;  // (n + 1) / 2
  // Sum of (t - t_mean)^2 over t = 1..n, worked out when the window first
  // fills: a long period over few candles then costs nothing to build.
  std::optional<double> sxx_;
};

// Return since the first close over the largest drawdown of the whole run
// (no window). No value while the first close is 0.
class RecoveryFactor final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  double first_ = 0.0;
  double peak_ = -std::numeric_limits<double>::infinity();
  double max_drawdown_ = 0.0;
  bool started_ = false;
};

}  // namespace fendro::perf
