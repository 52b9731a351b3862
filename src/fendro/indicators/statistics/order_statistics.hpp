// Order statistics of the last n closes: an interpolated quantile, the
// interquartile range, the median absolute deviation, the percentile rank of
// the newest close and its min-max scaling. The sorted window keeps the
// values ordered, so no sort runs per bar.
#pragma once

#include <cstdint>
#include <vector>

#include "fendro/indicators/common/close_window.hpp"
#include "fendro/indicators/windows/sorted_window.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro::stats {

// The q-quantile, q in [0, 1], interpolated between the closest ranks.
class RollingQuantile final : public CloseWindowStat<RollingQuantile, SortedWindow> {
 public:
  static Result<RollingQuantile, IndicatorError> create(std::uint64_t period, double quantile);
  double value(double x) const;

 private:
  RollingQuantile(std::uint64_t n, SortedWindow w, double q)
      : CloseWindowStat(n, std::move(w)), q_(q) {}
  double q_;
};

// Quantile 0.75 minus quantile 0.25.
class RollingIqr final : public CloseWindowStat<RollingIqr, SortedWindow> {
 public:
  static Result<RollingIqr, IndicatorError> create(std::uint64_t period);
  double value(double x) const;

 private:
  using CloseWindowStat::CloseWindowStat;
};

// The median of |v - median| over the window (no scale factor).
class MedianAbsoluteDeviation final : public CloseWindowStat<MedianAbsoluteDeviation, SortedWindow> {
 public:
  static Result<MedianAbsoluteDeviation, IndicatorError> create(std::uint64_t period);
  double value(double x);
  // The deviations walked out in order: about five steps a value.
  std::uint64_t value_steps() const { return 5 * period_; }

 private:
  using CloseWindowStat::CloseWindowStat;
  std::vector<double> deviations_;  // ascending, refilled every bar
};

// (below + equal / 2) / n * 100 for the newest close x: below counts the
// window values under x, equal those equal to it (x included).
class RollingPercentileRank final : public CloseWindowStat<RollingPercentileRank, BoundedRing<double>> {
 public:
  static Result<RollingPercentileRank, IndicatorError> create(std::uint64_t period);
  double value(double x) const;
  // One count over the window: about two steps a value.
  std::uint64_t value_steps() const { return 2 * period_; }

 private:
  using CloseWindowStat::CloseWindowStat;
};

// (x - lo) / (hi - lo) over the window's extremes; 0.5 on a flat window.
class RollingMinMaxScaler final : public CloseWindowStat<RollingMinMaxScaler, BoundedRing<double>> {
 public:
  static Result<RollingMinMaxScaler, IndicatorError> create(std::uint64_t period);
  double value(double x) const;
  // One pass for both extremes: about a step a value.
  std::uint64_t value_steps() const { return period_; }

 private:
  using CloseWindowStat::CloseWindowStat;
};

}  // namespace fendro::stats
