// The geometric mean of the last `period` closes, kept as a running sum of
// their logarithms that is rebuilt exactly once every `period` closes.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/copy_run.hpp"
#include "fendro/indicators/windows/ring_windows.hpp"

namespace fendro {

class GeometricMa final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<GeometricMa, IndicatorError> create(std::uint64_t period);

  // Closes that are not finite or not above 0 have no logarithm: rejected.
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return logs_.period; }

 private:
  explicit GeometricMa(RingWindowSums logs) : logs_(std::move(logs)) {}
  // ln of the last `period` closes; acc_a their running sum, rebuilt exactly
  // every `period` pushes, acc_b the pushes since the last rebuild.
  RingWindowSums logs_;
  CopyRun copies_;  // of the closes taken
};

}  // namespace fendro
