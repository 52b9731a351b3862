// The mean high - low range of the last n completed local days.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

class AverageDailyRange final : public Indicator {
 public:
  // period in days; the offset (minutes east of UTC) places the day bounds.
  static Result<AverageDailyRange, IndicatorError> create(std::uint64_t period,
                                                          std::int32_t utc_offset_minutes);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return ranges_.capacity(); }

 private:
  AverageDailyRange(std::uint64_t n, std::int32_t offset) : ranges_(n), offset_(offset) {}
  struct Day {
    std::int64_t number;
    double high;
    double low;
  };
  std::optional<Day> day_;        // the current, unfinished day
  BoundedRing<double> ranges_;    // ranges of the last n completed days
  double sum_ = 0.0;              // never rebuilt from the ring
  std::int32_t offset_;
};

}  // namespace fendro
