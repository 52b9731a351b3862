// Wilder's smoothed moving average of the close: seeded by the mean of the
// first n closes, then (x + value * (n - 1)) / n.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

class Smma final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<Smma, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return period_; }

 private:
  explicit Smma(std::uint64_t n) : period_(n) {}
  std::uint64_t period_;
  std::uint64_t seed_count_ = 0;
  double seed_sum_ = 0.0;
  std::optional<double> value_;
};

}  // namespace fendro
