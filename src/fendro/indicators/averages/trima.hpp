// Triangular moving average: the simple average of a simple average, with
// lengths n - floor(n/2) and floor(n/2) + 1, so the first value comes on the
// n-th close.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/sma_window.hpp"

namespace fendro {

class Trima final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<Trima, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return period_; }

 private:
  explicit Trima(std::uint64_t n) : first_(n - n / 2), second_(n / 2 + 1), period_(n) {}
  SmaWindow first_;
  SmaWindow second_;
  std::uint64_t period_;
};

}  // namespace fendro
