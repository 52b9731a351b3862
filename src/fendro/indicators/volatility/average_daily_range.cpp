#include "fendro/indicators/volatility/average_daily_range.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/local_day.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {
using namespace vol;

Result<AverageDailyRange, IndicatorError> AverageDailyRange::create(
    std::uint64_t period, std::int32_t utc_offset_minutes) {
  FENDRO_CHECK(check_period(period));
  return AverageDailyRange(period, utc_offset_minutes);
}

std::optional<double> AverageDailyRange::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const std::int64_t today = local_day(c->time, offset_);
  if (!day_) {
    day_ = Day{today, c->high, c->low};
  } else if (day_->number == today) {
    if (c->high > day_->high) day_->high = c->high;
    if (c->low < day_->low) day_->low = c->low;
  } else {
    // A change of date either way closes the current day. The new range is
    // added before the one leaving the window is taken out.
    const double range = day_->high - day_->low;
    sum_ = range + sum_;
    if (ranges_.is_full()) {
      sum_ = sum_ - ranges_.replace_oldest(range);
    } else {
      ranges_.push(range);
    }
    day_ = Day{today, c->high, c->low};
  }
  if (ranges_.empty()) return no_value();
  return value_out(sum_ / static_cast<double>(ranges_.len()));
}

}  // namespace fendro
