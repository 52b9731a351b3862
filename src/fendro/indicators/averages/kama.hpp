// Kaufman's adaptive average: the smoothing constant moves between a fast and
// a slow one with the efficiency ratio (net move / summed bar-to-bar moves)
// of the last `period` + 1 closes.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"

namespace fendro {

class Kama final : public Indicator {
 public:
  // Any length 0 gives ZeroPeriod; fast >= slow InvalidPeriod. The period has
  // no upper limit: its ring grows with the closes actually seen.
  static Result<Kama, IndicatorError> create(std::uint64_t period, std::uint64_t fast,
                                             std::uint64_t slow);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override;

 private:
  Kama(std::uint64_t period, std::uint64_t fast, std::uint64_t slow);
  std::optional<double> value_;
  BoundedRing<double> closes_;  // the last period + 1 closes
  std::uint64_t period_;
  double fast_;  // 2 / (fast + 1)
  double slow_;  // 2 / (slow + 1)
};

}  // namespace fendro
