// Averages that weigh the last `period` closes with weights fixed at
// construction: `Alma` (a normalised Gaussian placed by offset and width) and
// `SineWeightedMa` (a half sine wave).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"

namespace fendro {

// The last `period` closes and one weight per position, oldest first.
class FixedWeightWindow {
 public:
  explicit FixedWeightWindow(std::vector<double> weights)
      : closes_(weights.size()), weights_(std::move(weights)) {}

  // The sum of weight(k) * close(k), oldest first from -0.0, once the window
  // is full; no value for a non-finite x (nothing changes) or before.
  std::optional<double> push(double x);
  std::uint64_t period() const { return closes_.capacity(); }

 private:
  BoundedRing<double> closes_;
  std::vector<double> weights_;
};

class Alma final : public Indicator {
 public:
  // Period 0 gives ZeroPeriod, then MAX_PERIOD; then an offset outside
  // [0, 1] and a sigma not above 0 give InvalidPeriod.
  static Result<Alma, IndicatorError> create(std::uint64_t period, double offset, double sigma);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.period(); }

 private:
  explicit Alma(FixedWeightWindow w) : window_(std::move(w)) {}
  FixedWeightWindow window_;
};

class SineWeightedMa final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<SineWeightedMa, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.period(); }

 private:
  SineWeightedMa(FixedWeightWindow w, double weight_sum)
      : window_(std::move(w)), weight_sum_(weight_sum) {}
  FixedWeightWindow window_;
  double weight_sum_;
};

}  // namespace fendro
