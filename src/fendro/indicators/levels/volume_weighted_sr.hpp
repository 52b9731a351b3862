// Volume-weighted support and resistance: the volume-weighted average low
// and high of the last n bars, or their plain averages when the window
// holds no volume.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/copy_run.hpp"
#include "fendro/indicators/windows/running_sum.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

class VolumeWeightedSr final : public Indicator {
 public:
  static Result<VolumeWeightedSr, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return period_; }

 private:
  explicit VolumeWeightedSr(std::uint64_t period)
      : period_(period),
        high_volume_(period, true),
        low_volume_(period, true),
        volume_(period, true),
        high_(period, true),
        low_(period, true) {}

  std::uint64_t period_;
  // Running sums over the window, each rebuilt from its terms every n pushes.
  RunningSum high_volume_;
  RunningSum low_volume_;
  RunningSum volume_;
  RunningSum high_;
  RunningSum low_;
  // A side whose window holds only copies of one price reads that price.
  CopyRun high_copies_;
  CopyRun low_copies_;
  // A window of no volume reads the plain means, whatever residue the
  // volume's sum holds until it is next rebuilt.
  ZeroRun no_volume_;
  OutputList<2> out_{{"support", "resistance"}};
};

}  // namespace fendro
