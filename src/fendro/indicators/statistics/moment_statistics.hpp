// Moments of the last n closes from anchored running sums: variance, z-score,
// coefficient of variation, skewness, kurtosis, and the coefficient of
// determination of the least-squares line through the window. O(1) per bar
// apart from the exact re-sum every n pushes.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "fendro/indicators/common/anchored_moments.hpp"
#include "fendro/indicators/common/close_window.hpp"
#include "fendro/indicators/windows/ring_windows.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro::stats {

// Population variance (divisor n).
class Variance final : public CloseWindowStat<Variance, AnchoredMoments> {
 public:
  static Result<Variance, IndicatorError> create(std::uint64_t period);
  double value(double x) const;

 private:
  using CloseWindowStat::CloseWindowStat;
};

// (x - mean) / standard deviation; 0.0 on a flat window.
class ZScore final : public CloseWindowStat<ZScore, AnchoredMoments> {
 public:
  static Result<ZScore, IndicatorError> create(std::uint64_t period);
  double value(double x) const;

 private:
  using CloseWindowStat::CloseWindowStat;
};

// Standard deviation / mean (signed like the mean); 0.0 for a zero mean.
class CoefficientOfVariation final : public CloseWindowStat<CoefficientOfVariation, AnchoredMoments> {
 public:
  static Result<CoefficientOfVariation, IndicatorError> create(std::uint64_t period);
  double value(double x) const;

 private:
  using CloseWindowStat::CloseWindowStat;
};

// Population skewness; 0.0 on a flat window. Period >= 3.
class Skewness final : public CloseWindowStat<Skewness, AnchoredHigherMoments> {
 public:
  static Result<Skewness, IndicatorError> create(std::uint64_t period);
  double value(double x) const;

 private:
  using CloseWindowStat::CloseWindowStat;
};

// Population excess kurtosis; 0.0 on a flat window. Period >= 4.
class Kurtosis final : public CloseWindowStat<Kurtosis, AnchoredHigherMoments> {
 public:
  static Result<Kurtosis, IndicatorError> create(std::uint64_t period);
  double value(double x) const;

 private:
  using CloseWindowStat::CloseWindowStat;
};

// S1, S2 and P = sum of i * d_i over the positions i = 0 (oldest) .. len - 1.
struct PositionSums {
  double s1 = 0.0;
  double s2 = 0.0;
  double p = 0.0;

  void enter(double d, std::size_t position) {
    p = p + static_cast<double>(position) * d;
    s1 = s1 + d;
    s2 = s2 + d * d;
  }
  // Every remaining value moves down one position.
  void leave(double d) {
    p = p - s1 + d;
    s1 = s1 - d;
    s2 = s2 - d * d;
  }
};

using PositionMoments = AnchoredWindow<PositionSums, true>;

// R^2 of the least-squares line of the closes on their positions, clamped to
// [0, 1]; 1.0 on a flat window. Period >= 2.
class RSquared final : public CloseWindowStat<RSquared, PositionMoments> {
 public:
  static Result<RSquared, IndicatorError> create(std::uint64_t period);
  double value(double x) const;

 private:
  explicit RSquared(std::uint64_t n);
  double t_;  // sum of the positions, n(n - 1)/2
  double d_;  // n * (sum of squared positions) - t^2
};

// ln(close / the close n accepted bars earlier). Only finite closes above
// zero are accepted.
class LogReturn final : public Indicator {
 public:
  static Result<LogReturn, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return closes_.period + 1; }

 private:
  explicit LogReturn(LagRing closes) : closes_(std::move(closes)) {}
  LagRing closes_;  // the last n + 1 closes (its optional value stays unused)
};

}  // namespace fendro::stats
