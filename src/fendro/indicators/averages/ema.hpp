// Exponential moving average of the close, seeded by the mean of the first n
// closes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/ema_state.hpp"

namespace fendro {

class Ema final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<Ema, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  void update_candles(std::span<const Candle> candles, std::optional<double>* out) override;
  std::uint64_t warmup_period() const override { return state_.period; }

 private:
  explicit Ema(const EmaState& s) : state_(s) {}
  EmaState state_;
};

}  // namespace fendro
