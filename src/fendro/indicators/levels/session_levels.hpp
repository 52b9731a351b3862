// Levels grouped by local calendar date under a fixed UTC offset in minutes:
// the gap from the previous date's last close to the date's first open, the
// date's running high and low, and the ranges of three eight-hour sessions.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <span>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/common/local_time.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

inline constexpr double kNoHigh = -std::numeric_limits<double>::infinity();
inline constexpr double kNoLow = std::numeric_limits<double>::infinity();

// open / previous close - 1, or 0.0 when the previous close is 0.0.
double overnight_return(double open, double previous_close);

// Each date's gap is held for all its bars; the first date yields nothing.
class OvernightGap final : public Indicator {
 public:
  static Result<OvernightGap, IndicatorError> create(std::int32_t offset_minutes) {
    return OvernightGap(offset_minutes);
  }

  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 2; }

 private:
  explicit OvernightGap(std::int32_t offset) : offset_(offset) {}

  std::int32_t offset_;
  LocalDateTracker date_;
  std::optional<double> previous_close_;
  std::optional<double> gap_;
};

class SessionHighLow final : public Indicator {
 public:
  static Result<SessionHighLow, IndicatorError> create(std::int32_t offset_minutes) {
    return SessionHighLow(offset_minutes);
  }

  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return 1; }

 private:
  explicit SessionHighLow(std::int32_t offset) : offset_(offset) {}

  std::int32_t offset_;
  LocalDateTracker date_;
  double high_ = kNoHigh;
  double low_ = kNoLow;
  OutputList<2> out_{{"high", "low"}};
};

// Sessions by local hour: asia 0-7, eu 8-15, us 16-23; a session without
// candles on the date reports a range of 0.0.
class SessionRange final : public Indicator {
 public:
  static Result<SessionRange, IndicatorError> create(std::int32_t offset_minutes) {
    return SessionRange(offset_minutes);
  }

  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return 1; }

 private:
  struct Session {
    double high = kNoHigh;
    double low = kNoLow;
  };

  explicit SessionRange(std::int32_t offset) : offset_(offset) {}

  std::int32_t offset_;
  LocalDateTracker date_;
  Session sessions_[3];
  OutputList<3> out_{{"asia", "eu", "us"}};
};

}  // namespace fendro
