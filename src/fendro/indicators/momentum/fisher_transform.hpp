// Fisher transforms of the close: the position in its recent range mapped
// onto a near-Gaussian scale, and the hyperbolic tangent of the scaled close.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "fendro/indicators/common/high_low_window.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/ring_windows.hpp"
#include "fendro/indicators/windows/settled_step.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// The position in the range of the last `period` closes, smoothed and held
// inside (-1, 1), through 0.5 ln((1 + x) / (1 - x)), plus half the previous
// value.
class FisherTransform final : public Indicator {
 public:
  static Result<FisherTransform, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return state_.period; }

 private:
  explicit FisherTransform(RingWindowState state)
      : state_(std::move(state)), range_(state_.period) {}
  // The smoothed position and the value off the close c, its range
  // updated: plain, or on the settled path (Kept).
  template <bool Kept>
  [[gnu::always_inline]] inline double advance(double c);
  // last: the previous value (absent before the first, read as 0); ring: the
  // last `period` closes; state: the smoothed position in their range.
  RingWindowState state_;
  HighLowExtremes<false> range_;  // of the closes in the ring
  SettledStep settled_;  // the smoothing step of the position, skipped once settled
};

// tanh(close * scale), from the first bar; in [-1, 1].
class InverseFisherTransform final : public Indicator {
 public:
  static Result<InverseFisherTransform, IndicatorError> create(double scale);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  explicit InverseFisherTransform(double scale) : scale_(scale) {}
  double scale_;
};

}  // namespace fendro
