// T3: a weighted blend of the last four stages of a chain of six exponential
// averages, the weights set by the volume factor v.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/copy_run.hpp"
#include "fendro/indicators/windows/ema_state.hpp"

namespace fendro {

class T3 final : public Indicator {
 public:
  // Period checks (0, then MAX_PERIOD) first; then v must be finite and in
  // [0.0, 1.0], else InvalidPeriod.
  static Result<T3, IndicatorError> create(std::uint64_t period, double volume_factor);

  std::optional<double> update(const BarSnapshot& bar) override;
  // Six chained stages: 6n - 5 closes.
  std::uint64_t warmup_period() const override { return 6 * period_ - 5; }

 private:
  T3(std::uint64_t n, double v);
  std::array<EmaState, 6> stages_;
  std::uint64_t period_;
  double c1_, c2_, c3_, c4_;  // weights of stages six, five, four and three
  // On a halt the blend reads the price once within the stages' rounding of
  // it (limit_read): the close before, and the band per unit of price.
  CopyRun closes_;  // the closes: a halt is a run of repeats
  double band_;
};

}  // namespace fendro
