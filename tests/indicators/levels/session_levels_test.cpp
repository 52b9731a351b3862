// Session levels by local date and hour, and the opening range.
#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "fendro/registry/registry.hpp"
#include "indicators/levels/levels_testing.hpp"

namespace fendro::testing {
namespace {

struct Step {
  Candle bar;
  std::vector<double> want;  // the value, then any further outputs; empty: none
};

void expect_steps(const char* key, double param, const std::vector<Step>& steps) {
  SCOPED_TRACE(std::string(key) + " " + std::to_string(param));
  const std::vector<double> params = {param};
  auto built = build_indicator(key, params);
  ASSERT_TRUE(built.ok());
  Indicator& ind = *built.value();
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const auto v = step(ind, steps[i].bar);
    const auto& want = steps[i].want;
    if (want.empty()) {
      EXPECT_FALSE(v.has_value()) << "bar " << i;
      continue;
    }
    ASSERT_TRUE(v.has_value()) << "bar " << i;
    EXPECT_NEAR(*v, want[0], 1e-12) << "bar " << i;
    if (want.size() > 1) {
      const auto got = output_values(ind);
      ASSERT_EQ(got.size(), want.size()) << "bar " << i;
      for (std::size_t j = 0; j < want.size(); ++j) EXPECT_NEAR(got[j], want[j], 1e-12) << i;
    }
  }
}

TEST(SessionLevels, OvernightGapHoldsEachDatesGap) {
  expect_steps("OvernightGap", 0,
               {{at(0, 100, 101, 99, 101), {}},
                {at(kHour, 101, 103, 100, 102), {}},
                {at(kDay, 104, 105, 103, 105), {104.0 / 102 - 1}},
                {at(kDay + kHour, 105, 110, 104, 110), {104.0 / 102 - 1}},
                {at(2 * kDay, 99, 100, 98, 99), {99.0 / 110 - 1}}});
  // A previous close of zero gives a gap of zero.
  expect_steps("OvernightGap", 0,
               {{at(0, 0, 0, 0, 0), {}}, {at(kDay, 5, 5, 5, 5), {0.0}}});
  // With offset 60 the 23:30 UTC bar already opens the next local date.
  expect_steps("OvernightGap", 60,
               {{at(kHour, 100, 100, 100, 100), {}},
                {at(23 * kHour + 30 * kMinute, 110, 110, 110, 110), {0.1}}});
  expect_steps("OvernightGap", -60,
               {{at(kDay, 100, 100, 100, 100), {}},
                {at(kDay + 30 * kMinute, 90, 90, 90, 90), {}},
                {at(kDay + 61 * kMinute, 99, 99, 99, 99), {0.1}}});
}

TEST(SessionLevels, SessionHighLowResetsOnEveryNewDate) {
  expect_steps("SessionHighLow", 0,
               {{at(0, 9, 10, 8, 9), {10, 8}},
                {at(kHour, 11, 12, 9, 11), {12, 8}},
                {at(2 * kHour, 11, 11, 7, 8), {12, 7}},
                {at(kDay, 9, 9, 8, 8), {9, 8}},
                // Back to the first date: a new date as any other.
                {at(3 * kHour, 5, 6, 4, 5), {6, 4}},
                {at(-1, 3, 3, 3, 3), {3, 3}}});
}

TEST(SessionLevels, SessionRangeByLocalHour) {
  expect_steps("SessionRange", 0,
               {{at(9 * kHour, 10, 12, 9, 11), {0, 3, 0}},
                {at(17 * kHour, 10, 14, 9, 11), {0, 3, 5}},
                {at(15 * kHour, 10, 13, 8, 11), {0, 5, 5}},
                {at(kDay + 7 * kHour, 10, 11, 10, 11), {1, 0, 0}}});
  // Offset 60: a 23:30 UTC bar is at local hour 0 of the next date.
  expect_steps("SessionRange", 60,
               {{at(20 * kHour, 10, 12, 9, 11), {0, 0, 3}},
                {at(23 * kHour + 30 * kMinute, 10, 11, 9, 10), {2, 0, 0}}});
}

TEST(OpeningRange, FixedAfterTheFirstValidCandles) {
  Candle invalid = at(0, 10, 30, 1, 10);
  invalid.volume = -1;
  const std::vector<Step> balance = {{at(0, 9, 10, 8, 9), {10, 8}},
                                     {invalid, {}},
                                     {at(0, 9, 12, 9, 11), {12, 8}},
                                     {at(0, 9, 15, 5, 14), {12, 8}}};
  expect_steps("InitialBalance", 2, balance);
  expect_steps("OpeningRange", 2,
               {{at(0, 9, 10, 8, 9), {10, 8, 0}},
                {invalid, {}},
                {at(0, 9, 12, 9, 11), {12, 8, 1}},
                {at(0, 9, 15, 5, 14), {12, 8, 4}},
                {at(0, 9, 9, 6, 7), {12, 8, -3}}});
  expect_steps("InitialBalance", 1, {{at(0, 9, 10, 8, 9), {10, 8}}, {at(0, 9, 99, 1, 9), {10, 8}}});
}

}  // namespace
}  // namespace fendro::testing
