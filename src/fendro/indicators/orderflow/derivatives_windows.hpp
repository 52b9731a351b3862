// Derivatives measures carried from tick to tick: open-interest change and
// momentum, the open-interest weighted mark price, liquidation features, the
// open-interest/price divergence and the mean and z-score of the funding
// rate. A snapshot without a tick gives no value and changes nothing, so
// windows count ticks, not bars.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/copy_run.hpp"
#include "fendro/indicators/windows/ring_windows.hpp"
#include "fendro/indicators/windows/rolling_variance.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// Open interest minus that of the previous tick.
class OpenInterestDelta final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 2; }

 private:
  std::optional<double> prev_;
};

// The mark price weighted by open interest over every tick seen; the current
// mark price while the open interest seen sums to 0.
class OIWeighted final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  double weighted_ = 0.0;  // sum of open interest x mark price
  double interest_ = 0.0;  // sum of open interest
};

// Long and short liquidations with their difference, total and imbalance;
// the value is the long liquidations.
class LiquidationFeatures final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return outputs_.view(); }
  std::uint64_t warmup_period() const override { return 1; }

 private:
  OutputList<5> outputs_{{"long", "short", "net", "total", "imbalance"}};
};

// Percentage change of open interest over `period` ticks; 0 when the older
// open interest is not above zero.
class OpenInterestMomentum final : public Indicator {
 public:
  static Result<OpenInterestMomentum, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return lag_.period + 1; }

 private:
  explicit OpenInterestMomentum(LagRing lag) : lag_(std::move(lag)) {}
  LagRing lag_;
};

// Relative change of open interest minus relative change of the mark price,
// both over `period` ticks.
class OIPriceDivergence final : public Indicator {
 public:
  static Result<OIPriceDivergence, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return ring_.capacity(); }

 private:
  explicit OIPriceDivergence(std::uint64_t period) : ring_(period + 1) {}
  BoundedRing<std::pair<double, double>> ring_;  // (open interest, mark price)
};

// Mean funding rate of the last `period` ticks. The running sum is rebuilt
// every `period` pushes, before the oldest rate leaves it. A window of copies
// of one finite rate (zeros, once the feed has stopped) reads that rate, which
// the sum misses by its residue until it is next rebuilt.
class FundingRateMean final : public Indicator {
 public:
  static Result<FundingRateMean, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return period_; }

 private:
  explicit FundingRateMean(std::uint64_t period) : ring_(period), period_(period) {}
  BoundedRing<double> ring_;
  double sum_ = 0.0;
  std::uint64_t pushes_ = 0;
  std::uint64_t period_;
  CopyRun copies_;
};

// Z-score of the funding rate within its last `period` ticks (population
// deviation); 0 over a window without spread.
class FundingRateZScore final : public Indicator {
 public:
  static Result<FundingRateZScore, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.period; }

 private:
  explicit FundingRateZScore(RollingVariance window) : window_(std::move(window)) {}
  RollingVariance window_;
};

}  // namespace fendro
