// Linear regression channel: the least-squares line of the last `period`
// closes at the newest bar, with bands `multiplier` standard errors away.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/common/regression_window.hpp"
#include "fendro/indicators/indicator.hpp"

namespace fendro {

class LinRegChannel final : public Indicator {
 public:
  // A period below 2 (0 included), then above MAX_PERIOD: InvalidPeriod; then
  // a multiplier not above 0: NonPositiveMultiplier.
  static Result<LinRegChannel, IndicatorError> create(std::uint64_t period, double multiplier);

  // Returns the upper band; outputs `upper`, `middle`, `lower`.
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return outputs_.view(); }
  std::uint64_t warmup_period() const override { return closes_.capacity(); }

 private:
  LinRegChannel(std::uint64_t period, double multiplier)
      : closes_(period), multiplier_(multiplier), k_(regression_constants(period)) {}
  BoundedRing<double> closes_;
  double multiplier_;
  RegressionConstants k_;
  OutputList<3> outputs_{{"upper", "middle", "lower"}};
};

}  // namespace fendro
