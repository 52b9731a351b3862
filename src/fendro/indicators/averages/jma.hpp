// Jurik-style adaptive filter: an adaptive average, a detrended error
// smoother and a phase-shifted final stage, with gain set by period and power.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"

namespace fendro {

class Jma final : public Indicator {
 public:
  // Period 0 gives ZeroPeriod, then MAX_PERIOD; a non-finite phase and a
  // power outside 1..=4 give InvalidPeriod.
  static Result<Jma, IndicatorError> create(std::uint64_t period, double phase,
                                            std::uint32_t power);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  Jma(std::uint64_t period, double phase, std::uint32_t power);
  std::optional<double> value_;
  double beta_;
  double alpha_;        // beta to the power `power`
  double phase_ratio_;  // phase / 100 + 1.5, within [0.5, 2.5]
  double e0_ = 0.0;
  double det0_ = 0.0;
  double det1_ = 0.0;
};

}  // namespace fendro
