// Fractal adaptive average: the smoothing factor follows the fractal
// dimension estimated from the ranges of the window and of its two halves.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"

namespace fendro {

class Frama final : public Indicator {
 public:
  // Plain order (0, MAX_PERIOD, at least 2), then the period must be even.
  static Result<Frama, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return period_; }

 private:
  explicit Frama(std::uint64_t period) : closes_(period), period_(period), half_(period / 2) {}
  std::optional<double> value_;
  BoundedRing<double> closes_;  // the last `period` closes
  std::uint64_t period_;
  std::uint64_t half_;
};

}  // namespace fendro
