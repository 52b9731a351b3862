// Calendar effects in local time under a fixed UTC offset: a bar's return
// against the returns seen at the same local hour, and the mean daily return
// over the days around the turn of the month. Both validate the whole candle.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro::pairs {

// z-score of the bar's return against the earlier returns of its local hour
// (count, mean and squared deviations kept per hour, Welford style); a value
// once the hour has seen two returns.
class SeasonalZScore final : public Indicator {
 public:
  static Result<SeasonalZScore, IndicatorError> create(std::int32_t offset_minutes) {
    return SeasonalZScore(offset_minutes);
  }
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 2; }

 private:
  explicit SeasonalZScore(std::int32_t offset_minutes) : offset_(offset_minutes) {}

  struct Bucket {
    std::uint64_t count = 0;
    double mean = 0.0;
    double m2 = 0.0;
  };

  std::optional<double> prev_close_;
  std::array<Bucket, 24> buckets_{};
  std::int32_t offset_;
};

// Mean return of the turn-of-month days: a local date counts when its day of
// month is among the first `first_days` or the last `last_days` of its month.
// A date's return is its last close against the previous date's last close,
// so it is known when the next date opens.
class TurnOfMonth final : public Indicator {
 public:
  static Result<TurnOfMonth, IndicatorError> create(std::uint32_t first_days,
                                                    std::uint32_t last_days,
                                                    std::int32_t offset_minutes);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 2; }

 private:
  TurnOfMonth(std::uint32_t first_days, std::uint32_t last_days, std::int32_t offset_minutes)
      : first_days_(first_days), last_days_(last_days), offset_(offset_minutes) {}

  // Ends the held date: its return joins the mean when it is measurable and
  // the date is a turn-of-month day.
  void close_date();

  std::optional<std::int64_t> day_;  // local day number of the date being accumulated
  double day_close_ = 0.0;           // the last close seen on it
  std::optional<double> prev_close_;  // last close of the previous completed date
  double sum_ = 0.0;
  std::uint64_t count_ = 0;
  std::uint32_t first_days_;
  std::uint32_t last_days_;
  std::int32_t offset_;
};

}  // namespace fendro::pairs
