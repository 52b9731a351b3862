// Simple moving average of the close.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/sma_window.hpp"

namespace fendro {

class Sma final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<Sma, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  void update_candles(std::span<const Candle> candles, std::optional<double>* out) override;
  std::uint64_t warmup_period() const override { return window_.period; }

 private:
  explicit Sma(SmaWindow w) : window_(std::move(w)) {}
  SmaWindow window_;
};

}  // namespace fendro
