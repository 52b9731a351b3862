// McGinley dynamic: an average whose speed follows the fourth power of the
// ratio of price to average, seeded by the mean of the first `period` closes.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/copies_so_far.hpp"
#include "fendro/indicators/windows/copy_run.hpp"
#include "fendro/indicators/windows/ring_windows.hpp"

namespace fendro {

class McGinleyDynamic final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<McGinleyDynamic, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return state_.period; }

 private:
  explicit McGinleyDynamic(RingWindowState state) : state_(std::move(state)) {}
  // last: the value once seeded; ring: the seed closes (only their number is
  // read); state: their sum.
  RingWindowState state_;
  CopiesSoFar flat_;  // every close so far a copy of the first: the average reads it
};

}  // namespace fendro
