// Statistics of the last n closes recomputed from the window on every bar:
// the Jarque-Bera normality statistic, the standard error of the
// least-squares line and the autocorrelation at a lag. O(n) per bar.
#pragma once

#include <cstdint>
#include <vector>

#include "fendro/indicators/common/close_window.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro::stats {

// (n / 6) * (S^2 + K^2 / 4) from the window's skewness S and excess kurtosis
// K; 0.0 on a flat window. Period >= 4.
class JarqueBera final : public CloseWindowStat<JarqueBera, BoundedRing<double>> {
 public:
  static Result<JarqueBera, IndicatorError> create(std::uint64_t period);
  double value(double x) const;
  // The mean and three sums of powers: about two steps a value.
  std::uint64_t value_steps() const { return 2 * period_; }

 private:
  using CloseWindowStat::CloseWindowStat;
};

// sqrt(RSS / (n - 2)) of the least-squares line of the closes on their
// positions 0 (oldest) .. n - 1. Period >= 3.
class StandardError final : public CloseWindowStat<StandardError, BoundedRing<double>> {
 public:
  static Result<StandardError, IndicatorError> create(std::uint64_t period);
  double value(double x) const;
  // Three passes over the window: about three steps a value.
  std::uint64_t value_steps() const { return 3 * period_; }

 private:
  explicit StandardError(std::uint64_t n);
  double sxx_;  // sum of (i - mean position)^2
};

// Lag-L autocorrelation of the window about its mean; 0.0 on a flat window.
// The period has no upper bound of its own: the window grows with the bars
// actually seen.
class Autocorrelation final : public CloseWindowStat<Autocorrelation, BoundedRing<double>> {
 public:
  static Result<Autocorrelation, IndicatorError> create(std::uint64_t period, std::uint64_t lag);
  double value(double x);
  // A copy, the centred sums and the lagged products: about three steps a value.
  std::uint64_t value_steps() const { return 3 * period_; }

 private:
  Autocorrelation(std::uint64_t n, std::uint64_t lag)
      : CloseWindowStat(n, BoundedRing<double>(n)), lag_(lag) {}
  std::uint64_t lag_;
  std::vector<double> values_;  // scratch: the window, oldest first
};

}  // namespace fendro::stats
