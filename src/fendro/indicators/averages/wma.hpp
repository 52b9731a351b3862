// Linearly weighted moving average of the close (newest weighs n).
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/wma_window.hpp"

namespace fendro {

class Wma final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<Wma, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.period; }

 private:
  explicit Wma(WmaWindow w) : window_(std::move(w)) {}
  WmaWindow window_;
};

}  // namespace fendro
