// Trade-flow measures over the bar's prints: signed volume and its running
// total, the effective spread, and the buy/sell imbalance, buy share and
// sign persistence over the last prints. The windows count prints, not
// bars; a bar without prints gives no value and changes nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/ring_windows.hpp"
#include "fendro/indicators/windows/zero_run.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// The signed size of the bar's last print.
class SignedVolume final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }
};

// Running total of signed sizes since construction.
class CumulativeVolumeDelta final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  double total_ = 0.0;
};

// Spread paid by the bar's last print against the quote mid, in basis points.
class EffectiveSpread final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }
};

// (buy - sell) / (buy + sell) volume over the last `period` prints.
class TradeImbalance final : public Indicator {
 public:
  static Result<TradeImbalance, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.period; }

 private:
  explicit TradeImbalance(PairRingWindow w) : window_(std::move(w)) {}
  PairRingWindow window_;  // (buy size, sell size); running sums in acc_a, acc_b
  ZeroRunPair zeros_;  // a side's sum reads exactly 0 while its window holds no size
};

// |buys - sells| / period over the last `period` prints.
class Pin final : public Indicator {
 public:
  static Result<Pin, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return period_; }

 private:
  explicit Pin(std::uint64_t period) : buys_ring_(period), period_(period) {}
  BoundedRing<std::uint8_t> buys_ring_;  // 1 buy, 0 sell
  std::uint64_t buys_ = 0;
  std::uint64_t period_;
};

// Mean product of consecutive trade signs over the last `period` prints.
class TradeSignAutocorrelation final : public Indicator {
 public:
  static Result<TradeSignAutocorrelation, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return period_; }

 private:
  explicit TradeSignAutocorrelation(std::uint64_t period) : signs_(period), period_(period) {}
  BoundedRing<std::int8_t> signs_;
  // Sum of the products of neighbouring signs in the window: a sum of +-1
  // terms, so keeping it as an integer gives the exact sum of any order.
  std::int64_t neighbours_ = 0;
  std::uint64_t period_;
};

}  // namespace fendro
