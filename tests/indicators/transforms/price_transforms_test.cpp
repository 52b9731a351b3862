// Candle price transforms and window midpoints.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "indicators/testing.hpp"
#include "indicators/transforms/transforms_testing.hpp"

namespace fendro::testing::transforms {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct PriceCase {
  const char* key;
  Candle bar;  // open, high, low, close
  double want;
};

TEST(PriceTransforms, ValuesOfOneCandle) {
  const std::vector<PriceCase> cases = {
      {"TypicalPrice", at(0, 2, 3, 1, 2), 2.0},
      {"WeightedClose", at(0, 2, 5, 1, 4), 3.5},
      {"AvgPrice", at(0, 2, 5, 1, 4), 3.0},
      {"MedianPrice", at(0, 2, 5, 1, 4), 3.0},
      // Near the largest doubles the halves are added: no overflow.
      {"MedianPrice", at(0, 1.65e308, 1.7e308, 1.6e308, 1.65e308), 1.65e308},
  };
  for (const PriceCase& c : cases) {
    auto ind = make(c.key, {});
    ASSERT_TRUE(ind);
    const auto v = step(*ind, c.bar);
    ASSERT_TRUE(v) << c.key;
    EXPECT_DOUBLE_EQ(*v, c.want) << c.key;
  }
}

TEST(PriceTransforms, TypicalPriceDividesByThree) {
  // 5 / 3 and 5 * (1 / 3) differ in the last bit.
  auto ind = make("TypicalPrice", {});
  ASSERT_TRUE(ind);
  const auto v = step(*ind, at(0, 1, 3, 1, 1));
  ASSERT_TRUE(v);
  EXPECT_EQ(*v, 1.6666666666666667);
  EXPECT_NE(*v, 5.0 * (1.0 / 3.0));
}

TEST(PriceTransforms, MidPointOfTheCloses) {
  check_close_cases({
      {"MidPoint", {3}, {5, 1, 3, 4, 6}, {kNone, kNone, 3.0, 2.5, 4.5}},
      {"MidPoint", {1}, {5, -1, 3}, {5.0, -1.0, 3.0}},
      {"MidPoint", {2}, {1.7e308, 1.6e308}, {kNone, 1.65e308}},
      {"MidPoint", {2}, {1, kNaN, kInf, 3}, {kNone, kNone, kNone, 2.0}},
  });
}

TEST(PriceTransforms, MidPriceOfHighsAndLows) {
  const std::vector<Candle> bars = {hlc(10, 8, 9), hlc(12, 9, 10), hlc(11, 7, 8), hlc(9, 8.5, 9),
                                    hlc(13, 10, 12), hlc(9.5, 9, 9)};
  expect_values(key_values("MidPrice", {3}, bars),
                {kNone, kNone, 9.5, 9.5, 10.0, 10.75}, "MidPrice");
}

TEST(PriceTransforms, MidPointReadsOnlyTheClose) {
  Candle odd = hlc(4, 2, 3);
  odd.high = kInf;  // fails the candle check, close still finite
  const Values got = key_values("MidPoint", {2}, {hlc(2, 1, 1), odd});
  expect_values(got, {kNone, 2.0}, "MidPoint");
  expect_values(key_values("MidPrice", {1}, {odd, hlc(2, 1, 1)}), {kNone, 1.5}, "MidPrice");
}

}  // namespace
}  // namespace fendro::testing::transforms
