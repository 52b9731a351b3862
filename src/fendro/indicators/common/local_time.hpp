// Local calendar time of a bar under a fixed UTC offset in minutes: the local
// hour and the proleptic Gregorian local date. Shared by the session levels
// and the calendar studies.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/common/local_day.hpp"

namespace fendro {

struct LocalDate {
  std::int64_t year = 0;
  std::uint32_t month = 0;  // 1 .. 12
  std::uint32_t day = 0;    // 1 .. 31
  friend constexpr bool operator==(const LocalDate&, const LocalDate&) = default;
};

struct LocalTime {
  LocalDate date;
  std::uint32_t hour = 0;  // 0 .. 23
};

// The civil date of a day number (day 0 = 1970-01-01), by the era-based
// conversion; valid for every day number a 64-bit millisecond time can give.
constexpr LocalDate civil_from_days(std::int64_t days) {
  const std::int64_t z = days + 719468;
  const std::int64_t era = vol::floor_div(z, 146097);
  const std::int64_t doe = z - era * 146097;  // 0 .. 146096
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const std::int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  return LocalDate{year, static_cast<std::uint32_t>(month), static_cast<std::uint32_t>(day)};
}

// Day number (days since 1970-01-01, local) and local hour of a time in
// milliseconds since the Unix epoch; times before 1970 round toward minus
// infinity (-1 ms is 23:59:59 on 1969-12-31). Two times share a local date
// exactly when their day numbers are equal.
struct LocalDayHour {
  std::int64_t day = 0;
  std::uint32_t hour = 0;  // 0 .. 23
};

constexpr LocalDayHour local_day_hour(std::int64_t time_ms, std::int32_t offset_minutes) {
  const std::int64_t seconds = vol::floor_div(time_ms, 1000) + std::int64_t{offset_minutes} * 60;
  const std::int64_t day = vol::floor_div(seconds, 86400);
  return LocalDayHour{day, static_cast<std::uint32_t>((seconds - day * 86400) / 3600)};
}

// Local hour and calendar date of a time.
constexpr LocalTime local_time(std::int64_t time_ms, std::int32_t offset_minutes) {
  const LocalDayHour t = local_day_hour(time_ms, offset_minutes);
  return LocalTime{civil_from_days(t.day), t.hour};
}

constexpr bool is_leap_year(std::int64_t year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

constexpr std::uint32_t days_in_month(std::int64_t year, std::uint32_t month) {
  constexpr std::uint32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && is_leap_year(year)) return 29;
  return (month >= 1 && month <= 12) ? kDays[month - 1] : 0;
}

// The local date a run of bars belongs to, by day number. A bar opens a new
// date when no date is held yet or when its date differs: only equality is
// tested, so a bar whose time falls back to an earlier date opens one too.
class LocalDateTracker {
 public:
  bool opens_new_date(std::int64_t day) const { return !day_ || *day_ != day; }
  // Stores `day` and tells whether it opened a new date.
  bool advance(std::int64_t day) {
    if (!opens_new_date(day)) return false;
    day_ = day;
    return true;
  }
  const std::optional<std::int64_t>& day() const { return day_; }

 private:
  std::optional<std::int64_t> day_;
};

}  // namespace fendro
