// The overnight and intraday parts of each local date's return.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "indicators/testing.hpp"
#include "indicators/transforms/transforms_testing.hpp"

namespace fendro::testing::transforms {
namespace {

struct Step {
  Candle bar;
  std::vector<double> want;  // overnight, intraday; empty: no value
};

struct ReturnCase {
  const char* what;
  double offset;
  std::vector<Step> steps;
};

void expect_steps(const ReturnCase& c) {
  SCOPED_TRACE(c.what);
  auto ind = make("OvernightIntradayReturn", {c.offset});
  ASSERT_TRUE(ind);
  for (std::size_t i = 0; i < c.steps.size(); ++i) {
    const Step& s = c.steps[i];
    const auto v = step(*ind, s.bar);
    if (s.want.empty()) {
      EXPECT_FALSE(v) << "bar " << i;
      EXPECT_TRUE(ind->outputs().empty()) << "bar " << i;
      continue;
    }
    ASSERT_TRUE(v) << "bar " << i;
    const auto outs = ind->outputs();
    ASSERT_EQ(outs.size(), 2u);
    EXPECT_EQ(outs[0].name, "overnight");
    EXPECT_EQ(outs[1].name, "intraday");
    EXPECT_EQ(*v, outs[0].value);
    EXPECT_NEAR(outs[0].value, s.want[0], 1e-12) << "bar " << i;
    EXPECT_NEAR(outs[1].value, s.want[1], 1e-12) << "bar " << i;
  }
}

TEST(OvernightIntradayReturn, SplitsEachDatesReturn) {
  const std::vector<ReturnCase> cases = {
      {"two dates then a third",
       0,
       {{at(0, 100, 101, 99, 101), {}},
        {at(kHour, 101, 103, 100, 102), {}},
        {at(kDay, 104, 106, 103, 105), {104.0 / 102 - 1, 105.0 / 104 - 1}},
        {at(kDay + kHour, 105, 110, 104, 110), {104.0 / 102 - 1, 110.0 / 104 - 1}},
        {at(2 * kDay, 99, 100, 98, 99), {99.0 / 110 - 1, 0.0}}}},
      {"zero previous close and zero open",
       0,
       {{at(0, 0, 0, 0, 0), {}}, {at(kDay, 0, 2, 0, 2), {0.0, 0.0}}}},
      {"offset 60: 23:30 UTC is the next local date",
       60,
       {{at(kHour, 100, 100, 100, 100), {}},
        {at(23 * kHour + 30 * kMinute, 110, 121, 110, 121), {0.1, 0.1}}}},
      {"offset -60: 00:30 UTC is the previous local date",
       -60,
       {{at(kDay, 100, 100, 100, 100), {}},
        {at(kDay + 30 * kMinute, 90, 90, 90, 90), {}},
        {at(kDay + 61 * kMinute, 99, 99, 99, 99), {0.1, 0.0}}}},
      {"-1 ms lies on the date before 1970-01-01",
       0,
       {{at(0, 100, 100, 100, 100), {}}, {at(-1, 50, 60, 50, 60), {-0.5, 0.2}}}},
      {"a time back on an earlier date opens a new date",
       0,
       {{at(kDay, 100, 100, 100, 100), {}},
        {at(2 * kDay, 110, 110, 110, 110), {0.1, 0.0}},
        {at(kDay, 121, 121, 121, 121), {0.1, 0.0}}}},
  };
  for (const ReturnCase& c : cases) expect_steps(c);
}

TEST(OvernightIntradayReturn, InvalidCandleLeavesNoTrace) {
  Candle bad = at(kDay, 1, 1, 2, 1);  // high below low, on a new date
  auto ind = make("OvernightIntradayReturn", {0});
  ASSERT_TRUE(ind);
  EXPECT_FALSE(step(*ind, at(0, 100, 100, 100, 100)));
  EXPECT_FALSE(step(*ind, bad));
  // Still the first date: the bad bar neither opened a date nor set a close.
  EXPECT_FALSE(step(*ind, at(kHour, 100, 100, 100, 100)));
  const auto v = step(*ind, at(kDay, 90, 90, 90, 90));
  ASSERT_TRUE(v);
  EXPECT_NEAR(*v, -0.1, 1e-12);
}

}  // namespace
}  // namespace fendro::testing::transforms
