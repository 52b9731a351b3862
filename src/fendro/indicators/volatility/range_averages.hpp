// Measures built on exponential averages of the bar's high - low range: its
// rate of change and the mass index. The averages are seeded by the mean of
// their first e inputs.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/ema_state.hpp"
#include "fendro/indicators/windows/halt_hold.hpp"
#include "fendro/indicators/windows/running_sum.hpp"
#include "fendro/indicators/windows/settled_step.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro {

// Percentage change of the range's average over p bars (0 when the older
// average is 0).
class ChaikinVolatility final : public Indicator {
 public:
  static Result<ChaikinVolatility, IndicatorError> create(std::uint64_t ema_period,
                                                          std::uint64_t roc_period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return ema_.period + p_; }

 private:
  ChaikinVolatility(std::uint64_t e, std::uint64_t p)
      : ema_(EmaState::of_period(e)), averages_(p + 1), p_(p) {}
  EmaState ema_;
  BoundedRing<double> averages_;  // the last p + 1 averages
  std::uint64_t p_;
  // On a halt both averages of the ratio decay by one factor: the change is
  // held once the halt has outlasted the average and the lookback.
  HaltHold halt_;
};

// Sum of the last s ratios of the range's average to the average of that
// average.
class MassIndex final : public Indicator {
 public:
  static Result<MassIndex, IndicatorError> create(std::uint64_t ema_period,
                                                  std::uint64_t sum_period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override {
    return sat_add(2 * chain_[0].period - 2, ratios_.period());
  }

 private:
  // The averages of range h, their ratio and its sum: plain, or on the
  // settled path (Kept).
  template <bool Kept>
  [[gnu::always_inline]] inline std::optional<double> advance(double h);
  MassIndex(std::uint64_t e, std::uint64_t s)
      : chain_(ema_chain<2>(e)), ratios_(s, false) {}
  std::array<EmaState, 2> chain_;  // the range's average, then its average
  RunningSum ratios_;  // never rebuilt
  SettledValue<2> ratio_kept_;  // the ratio, kept for averages settled below normal
  // On a halt both averages decay together: the ratio is held once the halt
  // has outlasted both stages.
  HaltHold halt_;
};

}  // namespace fendro
