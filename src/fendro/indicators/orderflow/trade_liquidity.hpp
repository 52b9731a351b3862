// Liquidity and information measures over the bar's prints: Amihud
// illiquidity, the Roll spread estimate, Kyle's lambda, the realized spread
// and VPIN. Each print updates the state and has its own outcome; a bar
// answers the outcome of its last print. Windows count prints, not bars; a
// bar without prints (or, for the quote-based types, without a usable quote
// mid) gives no value and changes nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/common/anchored_pair_moments.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/ring_windows.hpp"
#include "fendro/indicators/windows/running_sum.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// Mean of |log return| / (price x size) over the last `period` print-to-print
// returns. A print of size 0 is skipped and repeats the last value given.
class AmihudIlliquidity final : public Indicator {
 public:
  static Result<AmihudIlliquidity, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return terms_.period + 1; }

 private:
  explicit AmihudIlliquidity(AnchoredRingWindow terms) : terms_(std::move(terms)) {}
  std::optional<double> on_trade(const Trade& t);

  // prev: the previous print's price; last: the last value given by any
  // print; ring: the last `period` terms; acc: their running sum, rebuilt
  // exactly every `period` pushes (counted in pushes).
  AnchoredRingWindow terms_;
};

// Roll's estimate: 2 sqrt(-cov) from the first-order autocovariance of the
// last `period` price changes; 0 when that covariance is not negative.
class RollMeasure final : public Indicator {
 public:
  static Result<RollMeasure, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return changes_.capacity() + 1; }

 private:
  explicit RollMeasure(std::uint64_t period) : changes_(period) {}
  std::optional<double> on_trade(const Trade& t);
  double estimate() const;

  std::optional<double> prev_price_;
  BoundedRing<double> changes_;
};

// Least-squares slope of the quote-mid change on the signed size over the
// last `window` prints.
class KylesLambda final : public Indicator {
 public:
  static Result<KylesLambda, IndicatorError> create(std::uint64_t window);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return pairs_.period() + 1; }

 private:
  explicit KylesLambda(std::uint64_t window) : pairs_(window) {}

  std::optional<double> prev_mid_;
  stats::AnchoredPairSums pairs_;  // (signed size, mid change)
};

// The spread of the print `period` prints back, realized against the current
// quote mid, in basis points of that print's own mid.
class RealizedSpread final : public Indicator {
 public:
  static Result<RealizedSpread, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return prints_.capacity() + 1; }

 private:
  struct Print {
    double sign;
    double price;
    double mid;
  };
  explicit RealizedSpread(std::uint64_t period) : prints_(period) {}
  BoundedRing<Print> prints_;  // the last `period` prints
};

// Volume-synchronised probability of informed trading: prints fill buckets of
// `bucket_volume`; the value is the mean |buy - sell| of the last n completed
// buckets over the bucket volume.
class Vpin final : public Indicator {
 public:
  static Result<Vpin, IndicatorError> create(double bucket_volume, std::uint64_t buckets);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  Vpin(double bucket_volume, std::uint64_t buckets)
      : volume_(bucket_volume), imbalances_(buckets, true) {}
  std::optional<double> on_trade(const Trade& t);

  double volume_;  // V, the volume of one bucket
  double buy_ = 0.0;
  double sell_ = 0.0;
  double filled_ = 0.0;
  RunningSum imbalances_;  // of completed buckets, rebuilt every n pushes
};

}  // namespace fendro
