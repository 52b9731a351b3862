// Volume-shaped candles: each bar as a box whose height comes from price and
// whose width is the bar's volume over the average volume of the last n bars.
// `CandleVolume` takes the body (close - open) as height, `Equivolume` the
// range (high - low).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <utility>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/sma_window.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// Outputs: the height ("body" or "height"), then "width" (0 while the average
// volume is 0).
template <bool Body>
class VolumeBox final : public Indicator {
 public:
  static Result<VolumeBox, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return outputs_.view(); }
  std::uint64_t warmup_period() const override { return volumes_.period; }

 private:
  explicit VolumeBox(SmaWindow w) : volumes_(std::move(w)) {}
  SmaWindow volumes_;
  OutputList<2> outputs_{{Body ? "body" : "height", "width"}};
};
using CandleVolume = VolumeBox<true>;
using Equivolume = VolumeBox<false>;

}  // namespace fendro
