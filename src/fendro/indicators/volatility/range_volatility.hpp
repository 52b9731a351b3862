// Volatility from each bar's range: true range, Wilder's average true range
// and the measures built on them. Every update runs the candle check first; a
// candle that fails it changes nothing.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/trend/atr_state.hpp"
#include "fendro/indicators/common/rolling_extreme.hpp"
#include "fendro/indicators/windows/running_sum.hpp"
#include "fendro/indicators/windows/settled_step.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// Wilder's average true range.
class Atr final : public Indicator {
 public:
  static Result<Atr, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return atr_.period; }

 private:
  explicit Atr(std::uint64_t n) : atr_(n) {}
  AtrState atr_;
};

// The average true range as a percentage of the close (0 at a zero close).
class Natr final : public Indicator {
 public:
  static Result<Natr, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return atr_.period; }

 private:
  explicit Natr(std::uint64_t n) : atr_(n) {}
  // The ATR's step and the percentage: plain, or on the settled path (Kept).
  template <bool Kept>
  [[gnu::always_inline]] inline std::optional<double> advance(const Candle& c);
  AtrState atr_;
  SettledValue<2> kept_;  // the last value of an ATR settled below normal, with its close
};

// The bar's true range (its plain range on the first bar).
class TrueRange final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  std::optional<double> prev_close_;
};

// (high - low) / close, 0 at a zero close.
class HighLowRange final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }
};

// The bar's true range over the exponential average of the earlier ones.
class VolatilityRatio final : public Indicator {
 public:
  static Result<VolatilityRatio, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return n_ + 2; }

 private:
  explicit VolatilityRatio(std::uint64_t n)
      : n_(n), alpha_(2.0 / (static_cast<double>(n) + 1.0)) {}
  // The bar's true range against the average before it.
  static double over(double range, double average) {
    return average > 0.0 ? range / average : 0.0;
  }
  // The average after true range `range`.
  double step(double average, double range) const {
    return range * alpha_ + average * (1.0 - alpha_);
  }
  // The ratio and the step on the settled path: through their records.
  std::optional<double> kept(double tr);
  std::optional<double> prev_close_;
  std::optional<double> average_;
  double seed_sum_ = 0.0;
  std::uint64_t seed_count_ = 0;
  std::uint64_t n_;
  double alpha_;
  SettledStep settled_;         // the average's step, skipped once settled
  SettledValue<2> ratio_kept_;  // the ratio, kept for an average settled below normal
};

// 100 * log10(sum of n true ranges / n-bar range) / log10(n); 100 for a flat
// window.
class ChoppinessIndex final : public Indicator {
 public:
  static Result<ChoppinessIndex, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return n_; }

 private:
  explicit ChoppinessIndex(std::uint64_t n);
  std::optional<double> prev_close_;
  RunningSum ranges_;  // true ranges, never rebuilt
  vol::RollingMax highs_;
  vol::RollingMin lows_;
  std::uint64_t n_;
  double log_n_;
};

}  // namespace fendro
