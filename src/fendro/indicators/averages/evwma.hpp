// Elastic volume-weighted average: each bar moves the average toward the
// close by the bar's share of the volume of the last `period` bars.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/copies_so_far.hpp"
#include "fendro/indicators/windows/copy_run.hpp"

namespace fendro {

class Evwma final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<Evwma, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return period_; }

 private:
  explicit Evwma(std::uint64_t period) : volumes_(period), period_(period) {}
  std::optional<double> value_;
  BoundedRing<double> volumes_;  // the last `period` volumes
  std::uint64_t period_;
  CopiesSoFar flat_;  // every close so far a copy of the first: the average reads it
  double volume_sum_ = 0.0;  // running, never rebuilt
};

}  // namespace fendro
