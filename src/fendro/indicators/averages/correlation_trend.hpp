// Correlation trend indicator: the correlation of the last `period` closes
// with time (the bar index), from -1 (straight down) to 1 (straight up).
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/common/regression_window.hpp"
#include "fendro/indicators/indicator.hpp"

namespace fendro {

class CorrelationTrendIndicator final : public Indicator {
 public:
  // A period below 2 (0 included), then above MAX_PERIOD: InvalidPeriod.
  static Result<CorrelationTrendIndicator, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return closes_.capacity(); }

 private:
  explicit CorrelationTrendIndicator(std::uint64_t period)
      : closes_(period), k_(regression_constants(period)) {}
  BoundedRing<double> closes_;
  RegressionConstants k_;
};

}  // namespace fendro
