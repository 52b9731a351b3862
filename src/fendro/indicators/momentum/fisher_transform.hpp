// Fisher transforms of the close: the position in its recent range mapped
// onto a near-Gaussian scale, and the hyperbolic tangent of the scaled close.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/common/rolling_extreme.hpp"
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
  std::uint64_t warmup_period() const override { return period_; }

 private:
  explicit FisherTransform(std::uint64_t n) : hi_(n), lo_(n), period_(n) {}
  vol::RollingMax hi_;
  vol::RollingMin lo_;
  std::uint64_t period_;
  double x_ = 0.0;
  double prev_ = 0.0;  // previous value; 0 before the first
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
