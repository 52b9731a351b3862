// Holt's linear smoothing of the close: a level and a trend, each smoothed
// with its own factor; the value is the one-bar forecast level + trend.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/copies_so_far.hpp"
#include "fendro/indicators/windows/copy_run.hpp"
#include "fendro/indicators/windows/settled_step.hpp"

namespace fendro {

class HoltWinters final : public Indicator {
 public:
  // alpha, then beta, must lie in (0, 1]; else InvalidPeriod.
  static Result<HoltWinters, IndicatorError> create(double alpha, double beta);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 2; }

 private:
  HoltWinters(double alpha, double beta) : alpha_(alpha), beta_(beta) {}
  double smooth(double x);  // one step of level and trend; the forecast
  bool ready_ = false;  // level and trend are set (from the second close on)
  double level_ = 0.0;
  double trend_ = 0.0;
  std::optional<double> first_close_;
  double alpha_;
  double beta_;
  // Level and trend, once a constant close has left them as they were: the
  // trend has decayed into the subnormal numbers and the level sits on a
  // fixed point of its step.
  SettledBlock<2> settled_;
  CopiesSoFar flat_;  // every close so far a copy of the first: the forecast reads it
};

}  // namespace fendro
