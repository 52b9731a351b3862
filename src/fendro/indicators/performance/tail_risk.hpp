// Tail-risk measures over a window of the last n closes, each read as a
// one-bar return (0.01 = 1%) under the close-only rule, kept in a sorted
// window for the quantiles. Losses are reported as positive numbers.
#pragma once

#include <cstdint>

#include "fendro/indicators/common/close_window.hpp"
#include "fendro/indicators/windows/sorted_window.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro::perf {

// The negated (1 - confidence) quantile of the returns, at least 0.
class ValueAtRisk final : public stats::CloseWindowStat<ValueAtRisk, SortedWindow> {
 public:
  static Result<ValueAtRisk, IndicatorError> create(std::uint64_t period, double confidence);
  double value(double x) const;

 private:
  ValueAtRisk(std::uint64_t n, double confidence)
      : CloseWindowStat(n, SortedWindow(n)), confidence_(confidence) {}
  double confidence_;
};

// The negated mean of the floor((1 - confidence) * n) smallest returns (at
// least one of them), at least 0.
class ConditionalValueAtRisk final
    : public stats::CloseWindowStat<ConditionalValueAtRisk, SortedWindow> {
 public:
  static Result<ConditionalValueAtRisk, IndicatorError> create(std::uint64_t period,
                                                               double confidence);
  double value(double x) const;
  // The sum of the k smallest returns: about a step each.
  std::uint64_t value_steps() const { return k_; }

 private:
  ConditionalValueAtRisk(std::uint64_t n, std::uint64_t k)
      : CloseWindowStat(n, SortedWindow(n)), k_(k) {}
  std::uint64_t k_;  // returns averaged, 1..n
};

// The 95% quantile over the magnitude of the 5% quantile; 0.0 when the
// latter is 0.
class TailRatio final : public stats::CloseWindowStat<TailRatio, SortedWindow> {
 public:
  static Result<TailRatio, IndicatorError> create(std::uint64_t period);
  double value(double x) const;

 private:
  using CloseWindowStat::CloseWindowStat;
};

// Profit factor times tail ratio; 0.0 without losses or when the 5%
// quantile is 0.
class CommonSenseRatio final : public stats::CloseWindowStat<CommonSenseRatio, SortedWindow> {
 public:
  static Result<CommonSenseRatio, IndicatorError> create(std::uint64_t period);
  double value(double x) const;
  // One pass summing gains and losses: about a step a value.
  std::uint64_t value_steps() const { return period_; }

 private:
  using CloseWindowStat::CloseWindowStat;
};

}  // namespace fendro::perf
