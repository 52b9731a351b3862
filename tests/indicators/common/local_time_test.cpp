#include "fendro/indicators/common/local_time.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace fendro {
namespace {

constexpr std::int64_t kHourMs = 3'600'000;
constexpr std::int64_t kDayMs = 24 * kHourMs;

TEST(LocalTime, DateAndHourUnderOffset) {
  struct Case {
    std::int64_t time_ms;
    std::int32_t offset;
    LocalDate date;
    std::uint32_t hour;
  };
  const Case cases[] = {
      {0, 0, {1970, 1, 1}, 0},
      {-1, 0, {1969, 12, 31}, 23},
      {-999, 0, {1969, 12, 31}, 23},
      {-1000, 0, {1969, 12, 31}, 23},
      {23 * kHourMs + 30 * 60'000, 60, {1970, 1, 2}, 0},
      {30 * 60'000, -60, {1969, 12, 31}, 23},
      {951782400000, 0, {2000, 2, 29}, 0},   // leap day of a 400-year leap
      {4107542400000, 0, {2100, 3, 1}, 0},   // 2100 is not a leap year
      {1700000000000, 0, {2023, 11, 14}, 22},
      {1700000000000, 120, {2023, 11, 15}, 0},
      {1700000000000, -1380, {2023, 11, 13}, 23},
      {-62135596800000, 0, {1, 1, 1}, 0},
      {-62135596800001, 0, {0, 12, 31}, 23},  // proleptic year 0
      {kDayMs - 1, 0, {1970, 1, 1}, 23},
  };
  for (const Case& c : cases) {
    const LocalTime t = local_time(c.time_ms, c.offset);
    EXPECT_EQ(t.date, c.date) << c.time_ms << " " << c.offset << ": " << t.date.year << "-"
                              << t.date.month << "-" << t.date.day;
    EXPECT_EQ(t.hour, c.hour) << c.time_ms << " " << c.offset;
  }
}

TEST(LocalTime, ConsecutiveDaysWalkTheCalendar) {
  // Every day number over 800 years maps to the next calendar day.
  LocalDate prev = civil_from_days(-200 * 365);
  for (std::int64_t d = -200 * 365 + 1; d < 600 * 365; ++d) {
    const LocalDate cur = civil_from_days(d);
    if (cur.day == 1) {
      ASSERT_EQ(prev.day, days_in_month(prev.year, prev.month)) << d;
      ASSERT_EQ(cur.month, prev.month == 12 ? 1u : prev.month + 1) << d;
      ASSERT_EQ(cur.year, prev.month == 12 ? prev.year + 1 : prev.year) << d;
    } else {
      ASSERT_EQ(cur.day, prev.day + 1) << d;
      ASSERT_EQ(cur.month, prev.month) << d;
    }
    prev = cur;
  }
}

TEST(LocalTime, ExtremeTimesAndOffsetsStayInRange) {
  for (std::int64_t t : {std::numeric_limits<std::int64_t>::min(),
                         std::numeric_limits<std::int64_t>::max()}) {
    for (std::int32_t m : {std::numeric_limits<std::int32_t>::min(), 0,
                           std::numeric_limits<std::int32_t>::max()}) {
      const LocalTime lt = local_time(t, m);
      EXPECT_LT(lt.hour, 24u);
      EXPECT_GE(lt.date.month, 1u);
      EXPECT_LE(lt.date.month, 12u);
      EXPECT_GE(lt.date.day, 1u);
      EXPECT_LE(lt.date.day, days_in_month(lt.date.year, lt.date.month));
    }
  }
}

TEST(LocalTime, DaysInMonth) {
  struct Case {
    std::int64_t year;
    std::uint32_t month;
    std::uint32_t days;
  };
  const Case cases[] = {{2023, 1, 31}, {2023, 2, 28}, {2024, 2, 29}, {1900, 2, 28},
                        {2000, 2, 29}, {2023, 4, 30}, {2023, 12, 31}, {-4, 2, 29}};
  for (const Case& c : cases) EXPECT_EQ(days_in_month(c.year, c.month), c.days) << c.year;
}

TEST(LocalTime, TrackerOpensADateOnAnyChange) {
  LocalDateTracker t;
  EXPECT_TRUE(t.advance(19725));
  EXPECT_FALSE(t.advance(19725));
  EXPECT_TRUE(t.advance(19724));  // back in time is a new date too
  EXPECT_TRUE(t.opens_new_date(19726));
  EXPECT_EQ(*t.day(), 19724);
}

}  // namespace
}  // namespace fendro
