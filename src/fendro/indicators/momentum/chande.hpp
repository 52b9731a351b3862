// Chande's momentum oscillator and its relatives: the variable-index average
// it drives, the dynamic momentum index (an RSI over a window that shortens
// as volatility rises) and the intraday momentum index over candle bodies.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/momentum/cmo_state.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/ring_windows.hpp"
#include "fendro/indicators/windows/rolling_variance.hpp"
#include "fendro/indicators/windows/sma_window.hpp"
#include "fendro/indicators/windows/zero_run.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// In [-100, 100]; 0 when nothing moved.
class Cmo final : public Indicator {
 public:
  static Result<Cmo, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return cmo_.period + 1; }

 private:
  explicit Cmo(CmoState s) : cmo_(std::move(s)) {}
  CmoState cmo_;
};

// An exponential average of the close whose factor is scaled by |CMO| / 100;
// its first value is the close itself.
class Vidya final : public Indicator {
 public:
  static Result<Vidya, IndicatorError> create(std::uint64_t smoothing, std::uint64_t cmo_period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return cmo_.period + 1; }

 private:
  Vidya(CmoState s, double alpha) : cmo_(std::move(s)), alpha_(alpha) {}
  CmoState cmo_;
  double alpha_;
  std::optional<double> average_;
};

// Up moves against all moves over the newest 5 to 30 close-to-close changes;
// the count is period scaled down by the 5-close deviation against its
// 10-bar average. 50 when nothing moved.
class DynamicMomentumIndex final : public Indicator {
 public:
  static constexpr std::uint64_t kChanges = 30;
  static Result<DynamicMomentumIndex, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return kChanges + 1; }

 private:
  explicit DynamicMomentumIndex(std::uint64_t n)
      : deviation_(5), deviation_avg_(10), changes_(kChanges), period_(n) {}
  RollingVariance deviation_;
  SmaWindow deviation_avg_;
  std::optional<double> prev_;
  BoundedRing<double> changes_;
  std::optional<double> last_dev_;
  std::optional<double> last_dev_avg_;
  std::uint64_t period_;
};

// Candle bodies instead of close-to-close moves: up bodies against all bodies
// over the last `period` candles; 50 when every body was empty.
class IntradayMomentumIndex final : public Indicator {
 public:
  static Result<IntradayMomentumIndex, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return bodies_.period; }

 private:
  explicit IntradayMomentumIndex(PairRingWindow w) : bodies_(std::move(w)) {}
  // (up body, down body) pairs; acc_a and acc_b their running sums, only
  // ever adjusted, never rebuilt.
  PairRingWindow bodies_;
  ZeroRunPair zeros_;  // a side's sum is read as 0 while its window holds no body that way
};

}  // namespace fendro
