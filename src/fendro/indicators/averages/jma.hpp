// Jurik-style adaptive filter: an adaptive average, a detrended error
// smoother and a phase-shifted final stage, with gain set by period and power.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/copies_so_far.hpp"
#include "fendro/indicators/windows/copy_run.hpp"
#include "fendro/indicators/windows/settled_step.hpp"

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
  double smooth(double x);  // one step of every stage and the value; the new value
  double kept(double x);    // smooth on the settled path: skipped where it was settled
  std::optional<double> value_;
  double beta_;
  double alpha_;        // beta to the power `power`
  double phase_ratio_;  // phase / 100 + 1.5, within [0.5, 2.5]
  double e0_ = 0.0;
  double det0_ = 0.0;
  double det1_ = 0.0;
  // The stages and the value, once a constant close has left them as they
  // were: both detrended stages have decayed into the subnormal numbers.
  SettledBlock<4> settled_;
  CopiesSoFar flat_;  // every close so far a copy of the first: the filter reads it
};

}  // namespace fendro
