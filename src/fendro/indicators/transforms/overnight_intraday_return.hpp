// The return of a local calendar date split in two: overnight (the date's
// first open against the previous date's last close) and intraday (each close
// against the date's first open), under a fixed UTC offset in minutes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/common/local_time.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// No value during the first date (there is no overnight return yet).
class OvernightIntradayReturn final : public Indicator {
 public:
  // Every offset is accepted.
  static Result<OvernightIntradayReturn, IndicatorError> create(std::int32_t offset_minutes) {
    return OvernightIntradayReturn(offset_minutes);
  }

  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return 2; }

 private:
  explicit OvernightIntradayReturn(std::int32_t offset) : offset_(offset) {}

  std::int32_t offset_;
  LocalDateTracker date_;
  std::optional<double> previous_close_;
  std::optional<double> overnight_;
  double date_open_ = 0.0;
  OutputList<2> out_{{"overnight", "intraday"}};
};

}  // namespace fendro
