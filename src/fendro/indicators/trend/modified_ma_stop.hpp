// A stop that trails Wilder's smoothed average of the close, with a
// direction that flips when the close crosses it.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/averages/smma.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/copies_so_far.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// Trails Wilder's smoothed average of the close.
class ModifiedMaStop final : public Indicator {
 public:
  static Result<ModifiedMaStop, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return average_.period; }

 private:
  explicit ModifiedMaStop(std::uint64_t n) : average_(n) {}
  SmmaState average_;
  CopiesSoFar flat_;  // every close so far a copy of the first: the average reads it
  double direction_ = 0.0;
  double stop_ = 0.0;
  OutputList<2> out_{{"value", "direction"}};
};

}  // namespace fendro
