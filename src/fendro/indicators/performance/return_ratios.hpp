// Performance ratios over a window of the last n closes, each close read as
// a one-bar return (0.01 = 1%) and pushed unchanged, under the close-only
// rule. Gains are values above 0, losses values below 0 (zeros are neither).
// Nothing is annualised.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/performance/return_windows.hpp"
#include "fendro/indicators/common/anchored_moments.hpp"
#include "fendro/indicators/common/close_window.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/ring_windows.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro::perf {

using Ring = BoundedRing<double>;

// The shared ring window of the ratios that rescan every value of their
// window on each bar and keep nothing alongside it.
struct ScannedWindow {
  RingWindow values;
  void push(double x) { values.ring.push(x); }
  bool is_full() const { return values.ring.is_full(); }
  const Ring& ring() const { return values.ring; }
};

// (mean - risk_free) / sample standard deviation; 0.0 on a flat window.
class SharpeRatio final : public stats::CloseWindowStat<SharpeRatio, stats::AnchoredMoments> {
 public:
  static Result<SharpeRatio, IndicatorError> create(std::uint64_t period, double risk_free);
  double value(double x) const;

 private:
  SharpeRatio(std::uint64_t n, double risk_free)
      : CloseWindowStat(n, stats::AnchoredMoments(n)), risk_free_(risk_free) {}
  double risk_free_;
};

// The Sharpe ratio rescaled to a benchmark's volatility:
// risk_free + benchmark_stddev * Sharpe; 0.0 on a flat window.
class M2Measure final : public stats::CloseWindowStat<M2Measure, stats::AnchoredMoments> {
 public:
  static Result<M2Measure, IndicatorError> create(std::uint64_t period, double risk_free,
                                                  double benchmark_stddev);
  double value(double x) const;

 private:
  M2Measure(std::uint64_t n, double risk_free, double benchmark_stddev)
      : CloseWindowStat(n, stats::AnchoredMoments(n)),
        risk_free_(risk_free),
        benchmark_stddev_(benchmark_stddev) {}
  double risk_free_;
  double benchmark_stddev_;
};

// (mean - target) / downside deviation below the target (divisor n).
class SortinoRatio final : public stats::CloseWindowStat<SortinoRatio, ResummedRing> {
 public:
  static Result<SortinoRatio, IndicatorError> create(std::uint64_t period, double target);
  double value(double x) const;
  // One pass of shortfalls: about a step a value.
  std::uint64_t value_steps() const { return period_; }

 private:
  SortinoRatio(std::uint64_t n, double target)
      : CloseWindowStat(n, ResummedRing(n)), target_(target) {}
  double target_;
};

// Running sums about a minimum acceptable return: U of the excesses above
// it, D of the squared shortfalls below it.
struct UpsideTally {
  double mar = 0.0;
  double upside = 0.0;
  double downside2 = 0.0;
  void enter(double r);
  void leave(double r);
};

// Mean excess over mar / root mean squared shortfall below it. Its sums are
// only adjusted, never rebuilt.
class UpsidePotentialRatio final
    : public stats::CloseWindowStat<UpsidePotentialRatio, TalliedRing<UpsideTally>> {
 public:
  static Result<UpsidePotentialRatio, IndicatorError> create(std::uint64_t period, double mar);
  double value(double x) const;

 private:
  using CloseWindowStat::CloseWindowStat;
};

// Gains over losses about a threshold; +inf without losses (1.0 when there
// are no gains either).
class OmegaRatio final : public stats::CloseWindowStat<OmegaRatio, Ring> {
 public:
  static Result<OmegaRatio, IndicatorError> create(std::uint64_t period, double threshold);
  double value(double x) const;
  // One pass about the threshold: about a step a value.
  std::uint64_t value_steps() const { return period_; }

 private:
  OmegaRatio(std::uint64_t n, double threshold) : CloseWindowStat(n, Ring(n)), threshold_(threshold) {}
  double threshold_;
};

// Kelly fraction p - (1 - p) / b from the window's win share p and payoff b.
class KellyCriterion final : public stats::CloseWindowStat<KellyCriterion, ScannedWindow> {
 public:
  static Result<KellyCriterion, IndicatorError> create(std::uint64_t period);
  double value(double x) const;
  // One pass counting and summing gains and losses: about three steps a value.
  std::uint64_t value_steps() const { return 3 * period_; }

 private:
  using CloseWindowStat::CloseWindowStat;
};

struct GainCount {
  std::uint64_t gains = 0;
  void enter(double r) { gains += r > 0.0 ? 1 : 0; }
  void leave(double r) { gains -= r > 0.0 ? 1 : 0; }
};

// Share of gains in the window, in [0, 1].
class WinRate final : public stats::CloseWindowStat<WinRate, TalliedRing<GainCount>> {
 public:
  static Result<WinRate, IndicatorError> create(std::uint64_t period);
  double value(double x) const;

 private:
  using CloseWindowStat::CloseWindowStat;
};

// Sum of gains over sum of loss magnitudes; +inf without losses (1.0 when
// there are no gains either).
class ProfitFactor final : public stats::CloseWindowStat<ProfitFactor, ScannedWindow> {
 public:
  static Result<ProfitFactor, IndicatorError> create(std::uint64_t period);
  double value(double x) const;
  // One pass summing gains and losses: about a step a value.
  std::uint64_t value_steps() const { return period_; }

 private:
  using CloseWindowStat::CloseWindowStat;
};

// Average gain over average loss; +inf without losses (1.0 when there are
// no gains either).
class GainLossRatio final : public stats::CloseWindowStat<GainLossRatio, ScannedWindow> {
 public:
  static Result<GainLossRatio, IndicatorError> create(std::uint64_t period);
  double value(double x) const;
  // One pass counting and summing gains and losses: about three steps a value.
  std::uint64_t value_steps() const { return 3 * period_; }

 private:
  using CloseWindowStat::CloseWindowStat;
};

// A return entering (leaving) the running sum of the returns and, when it is
// a loss, its magnitude entering (leaving) the running pain; true for a loss.
bool enter_return(double& sum, double& pain, double r);
bool leave_return(double& sum, double& pain, double r);

// Running sum of the values and of the loss magnitudes, and the count of
// losses.
struct LossTally {
  double sum = 0.0;
  double pain = 0.0;
  std::uint64_t losses = 0;
  void enter(double r);
  void leave(double r);
};

// Mean return in units of the average loss; 0.0 without losses. Its sums are
// only adjusted, never rebuilt.
class Expectancy final : public stats::CloseWindowStat<Expectancy, TalliedRing<LossTally>> {
 public:
  static Result<Expectancy, IndicatorError> create(std::uint64_t period);
  double value(double x) const;

 private:
  using CloseWindowStat::CloseWindowStat;
};

// The returns in the shared two-sum window: acc_a the running sum of the
// returns, acc_b that of the loss magnitudes (the pain).
struct PainWindow {
  RingWindowSums sums;
  void push(double r);
  bool is_full() const { return sums.ring.is_full(); }
};

// Sum of the returns over the sum of the loss magnitudes; 0.0 without
// losses. Its sums are only adjusted, never rebuilt.
class GainToPainRatio final : public stats::CloseWindowStat<GainToPainRatio, PainWindow> {
 public:
  static Result<GainToPainRatio, IndicatorError> create(std::uint64_t period);
  double value(double x) const;

 private:
  using CloseWindowStat::CloseWindowStat;
};

// (mean - excess_over) / sample standard deviation of a full anchored
// window, or nothing when that deviation is 0.
std::optional<double> mean_over_sample_stddev(const stats::AnchoredMoments& w, double excess_over);

}  // namespace fendro::perf
