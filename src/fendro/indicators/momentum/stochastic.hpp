// Where the close sits within the high-low range of the last N candles: the
// stochastic oscillator with its %D signal, Williams' %R, the stochastic
// momentum index (distance from the range midpoint, double-smoothed) and
// Kase's permission stochastic (a raw stochastic smoothed twice).
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "fendro/indicators/common/candle_range.hpp"
#include "fendro/indicators/common/high_low_window.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/ema_state.hpp"
#include "fendro/indicators/windows/halt_hold.hpp"
#include "fendro/indicators/windows/sma_window.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/market/records.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// Named outputs k (%K) and d (%D, the SMA of %K); the value is %K.
class Stochastic final : public Indicator {
 public:
  // Either length 0 gives ZeroPeriod, then d above MAX_PERIOD InvalidPeriod;
  // k has no upper bound.
  static Result<Stochastic, IndicatorError> create(std::uint64_t k, std::uint64_t d);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override;

 private:
  Stochastic(std::uint64_t k, SmaWindow d) : range_(k), d_(std::move(d)) {}
  NewestHighLow range_;
  SmaWindow d_;
  OutputList<2> out_{{"k", "d"}};
};

// 0 at the highest high, -100 at the lowest low; -50 on a flat window.
class WilliamsR final : public Indicator {
 public:
  static Result<WilliamsR, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return range_.period(); }

 private:
  explicit WilliamsR(OldestCandleRange range) : range_(std::move(range)) {}
  OldestCandleRange range_;
};

// 100 * (double-smoothed distance from the range midpoint) over (half the
// double-smoothed range); the last value again while that range is not positive.
class Smi final : public Indicator {
 public:
  // Any length 0 gives ZeroPeriod, then either smoothing above MAX_PERIOD;
  // k has no upper bound.
  static Result<Smi, IndicatorError> create(std::uint64_t k, std::uint64_t first,
                                            std::uint64_t second);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override;

 private:
  // The averages and the index: plain, or on the settled path (Kept).
  template <bool Kept>
  [[gnu::always_inline]] inline std::optional<double> advance(double distance, double range);
  Smi(std::uint64_t k, std::uint64_t first, std::uint64_t second)
      : range_(k),
        num1_(EmaState::of_period(first)),
        num2_(EmaState::of_period(second)),
        den1_(EmaState::of_period(first)),
        den2_(EmaState::of_period(second)) {}
  OldestHighLow range_;
  EmaState num1_, num2_;  // distance from the midpoint
  EmaState den1_, den2_;  // range
  std::optional<double> last_;
  HaltHold halt_;  // the index, held through a halt
};

// Named outputs fast (the raw stochastic's average) and slow (the average of
// fast); the value is fast.
class KasePermissionStochastic final : public Indicator {
 public:
  static Result<KasePermissionStochastic, IndicatorError> create(std::uint64_t period,
                                                                 std::uint64_t smoothing);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override {
    return range_.period + 2 * fast_.period - 2;
  }

 private:
  KasePermissionStochastic(std::uint64_t n, std::uint64_t smoothing)
      : range_(n), fast_(EmaState::of_period(smoothing)), slow_(EmaState::of_period(smoothing)) {}
  OldestHighLow range_;
  EmaState fast_;
  EmaState slow_;
  OutputList<2> out_{{"fast", "slow"}};
};

}  // namespace fendro
