#include "fendro/indicators/pairs/calendar_studies.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/local_time.hpp"
#include "fendro/indicators/common/returned.hpp"

namespace fendro::pairs {

std::optional<double> SeasonalZScore::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const std::optional<double> prev = prev_close_;
  prev_close_ = c->close;
  if (!prev) return no_value();
  const double ret = *prev == 0.0 ? 0.0 : c->close / *prev - 1.0;
  Bucket& b = buckets_[local_day_hour(c->time, offset_).hour];
  std::optional<double> z;
  if (b.count >= 2) {
    const double var = b.m2 / static_cast<double>(b.count - 1);
    // A variance that is not positive (NaN after an overflowing return
    // included) gives the neutral 0.
    z = var > 0.0 ? (ret - b.mean) / std::sqrt(var) : 0.0;
  }
  b.count += 1;
  const double d = ret - b.mean;
  b.mean = b.mean + d / static_cast<double>(b.count);
  b.m2 = b.m2 + d * (ret - b.mean);
  return returned(z);
}

Result<TurnOfMonth, IndicatorError> TurnOfMonth::create(std::uint32_t first_days,
                                                        std::uint32_t last_days,
                                                        std::int32_t offset_minutes) {
  if (first_days == 0 && last_days == 0) return err(IndicatorError::zero_period());
  return TurnOfMonth(first_days, last_days, offset_minutes);
}

void TurnOfMonth::close_date() {
  if (prev_close_) {
    const double ret = *prev_close_ == 0.0 ? 0.0 : day_close_ / *prev_close_ - 1.0;
    const LocalDate d = civil_from_days(*day_);
    const std::uint32_t dim = days_in_month(d.year, d.month);
    const std::uint32_t last_from = dim > last_days_ ? dim - last_days_ : 0;
    if (d.day <= first_days_ || d.day > last_from) {
      sum_ = sum_ + ret;
      count_ += 1;
    }
  }
  prev_close_ = day_close_;
}

std::optional<double> TurnOfMonth::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const std::int64_t day = local_day_hour(c->time, offset_).day;
  if (day_ && *day_ != day) close_date();
  day_ = day;
  day_close_ = c->close;
  if (count_ == 0) return no_value();
  return value_out(sum_ / static_cast<double>(count_));
}

}  // namespace fendro::pairs
