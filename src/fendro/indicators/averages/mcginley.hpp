// McGinley dynamic: an average whose speed follows the fourth power of the
// ratio of price to average, seeded by the mean of the first `period` closes.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"

namespace fendro {

class McGinleyDynamic final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<McGinleyDynamic, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return period_; }

 private:
  explicit McGinleyDynamic(std::uint64_t period) : period_(period) {}
  std::optional<double> value_;
  std::uint64_t period_;
  // Only the number of seed closes matters, so a count stands in for a ring.
  std::uint64_t seed_count_ = 0;
  double seed_sum_ = 0.0;
};

}  // namespace fendro
