// Averages that weigh the last `period` closes with fixed weights: `Alma` (a
// normalised Gaussian placed by offset and width) and `SineWeightedMa` (a half
// sine wave). The weights are computed when the window first fills, not at
// construction, so a long window over few bars costs no more memory than the
// bars it has seen. Each bar costs one multiply-add per position: with weights
// that differ at every position, no running sum gives the same bits. A window
// of copies of one close reads that close: weights normalised by rounding
// sum to 1 only within a few units in the last place.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/copy_run.hpp"

namespace fendro {

// The last `period` closes, oldest first.
class FixedWeightWindow {
 public:
  explicit FixedWeightWindow(std::uint64_t period) : closes_(period) {}

  // Adds x; a non-finite x changes nothing. True once the window is full.
  bool push(double x);
  // The sum of weights[k] * close(k), oldest first from -0.0; full window
  // and one weight per position only.
  double weighted_sum(const std::vector<double>& weights) const;
  std::uint64_t period() const { return closes_.capacity(); }
  // Whether the window holds only copies of its newest close.
  bool holds_only_copies() const { return copies_.holds_only_copies(period()); }

 private:
  BoundedRing<double> closes_;
  CopyRun copies_;  // of the closes taken
};

class Alma final : public Indicator {
 public:
  // Period 0 gives ZeroPeriod, then MAX_PERIOD; then an offset outside
  // [0, 1] and a sigma not above 0 give InvalidPeriod.
  static Result<Alma, IndicatorError> create(std::uint64_t period, double offset, double sigma);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.period(); }

 private:
  Alma(std::uint64_t period, double offset, double sigma)
      : window_(period), offset_(offset), sigma_(sigma) {}
  FixedWeightWindow window_;
  double offset_;
  double sigma_;
  std::vector<double> weights_;  // empty until the window first fills
};

class SineWeightedMa final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<SineWeightedMa, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.period(); }

 private:
  explicit SineWeightedMa(std::uint64_t period) : window_(period) {}
  FixedWeightWindow window_;
  std::vector<double> weights_;  // empty until the window first fills
  double weight_sum_ = 0.0;
};

}  // namespace fendro
