// Chart formations and harmonic patterns on hand-built swings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "indicators/chart/chart_testing.hpp"

namespace fendro::testing::chart {
namespace {

// None on the first n bars, then the listed values.
Values after_none(std::size_t n, Values tail) {
  Values v(n, kNone);
  v.insert(v.end(), tail.begin(), tail.end());
  return v;
}

TEST(SwingPatterns, FormationsOnHandBuiltSwings) {
  expect_cases({
      {"DoubleTopBottom",
       {},
       {bar(100, 99, 99.5), bar(99, 94, 96), bar(99, 96, 97), bar(102, 100, 101),
        bar(101, 96, 98), bar(100, 97, 98)},
       after_none(4, {-1.0, 0.0}),
       "worked example"},
      {"DoubleTopBottom", {}, swings({100, 90, 103}, 97), after_none(3, {-1.0}), "3% apart"},
      {"DoubleTopBottom", {}, swings({100, 90, 104}, 97), after_none(3, {0.0}), "4% apart"},
      {"TripleTopBottom", {}, swings({100, 90, 101, 91, 100.5}, 95), after_none(5, {-1.0})},
      {"HeadAndShoulders", {}, swings({100, 90, 110, 91, 101}, 95), after_none(5, {-1.0})},
      {"HeadAndShoulders",
       {},
       swings({100, 90, 100.5, 91, 101}, 95),
       after_none(5, {0.0}),
       "head not above both shoulders"},
      {"HeadAndShoulders",
       {},
       swings({120, 90, 100, 80, 101, 91}, 96),
       after_none(5, {0.0, 1.0}),
       "inverse"},
      {"RectangleRange", {}, swings({100, 90, 101, 90.5}, 96), after_none(4, {1.0})},
      {"CupAndHandle", {}, swings({100, 80, 101, 90}, 95), after_none(4, {1.0})},
      {"Triangle", {}, swings({110, 90, 110.5, 90 * 1.04}, 100), after_none(4, {1.0}),
       "ascending"},
      {"Triangle",
       {},
       swings({110, 90, 110.5, 90 * 1.03}, 100),
       after_none(4, {0.0}),
       "lows up by exactly 3%"},
      {"Triangle", {}, swings({110, 90, 100, 91}, 96), after_none(4, {-1.0}), "descending"},
      {"Triangle", {}, swings({110, 90, 100, 94.5}, 100), after_none(4, {1.0}), "symmetrical"},
      {"Wedge", {}, swings({100, 80, 104, 90}, 95), after_none(4, {-1.0}), "rising"},
      {"Wedge", {}, swings({120, 90, 100, 85}, 90), after_none(4, {1.0}), "falling"},
      {"FlagPennant", {}, swings({100, 80, 89}, 84), after_none(3, {-1.0}), "falling pole"},
      {"FlagPennant",
       {},
       swings({100, 80, 90}, 85),
       after_none(3, {0.0}),
       "pullback of exactly half the pole"},
      {"FlagPennant", {}, swings({120, 80, 100, 91}, 96), after_none(3, {0.0, 1.0}),
       "rising pole"},
  });
}

TEST(SwingPatterns, HarmonicRatios) {
  expect_cases({
      {"Gartley", {}, swings({210, 100, 200, 140, 176, 122}, 130), after_none(5, {0.0, 1.0})},
      {"Bat",
       {},
       swings({220, 100, 200, 155, 190, 107}, 113),
       after_none(5, {0.0, 1.0}),
       "AD/XA on the band's end"},
      {"Bat", {}, swings({220, 100, 200, 155, 190, 106.9}, 113), after_none(5, {0.0, 0.0}),
       "AD/XA just past it"},
      {"Cypher",
       {},
       swings({240, 100, 200, 150, 230, 126}, 133),
       after_none(5, {0.0, 1.0}),
       "BC/AB of 1.6 is not tested"},
      {"Gartley", {}, swings({240, 100, 200, 150, 230, 126}, 133), after_none(5, {0.0, 0.0})},
      {"Abcd", {}, swings({100, 90, 96, 85}, 90), after_none(4, {1.0})},
      {"Abcd", {}, swings({100, 90, 96, 84}, 89), after_none(4, {0.0}), "outer legs 20% apart"},
      {"ThreeDrives", {}, swings({100, 90, 105, 95, 110, 100, 115}, 109), after_none(7, {-1.0})},
      {"ThreeDrives",
       {},
       swings({100, 90, 105, 95, 119, 100, 115}, 109),
       after_none(7, {0.0}),
       "uneven drives"},
  });
}

// Pivots after a leading swing high: X, A, B, C, D, then a bar confirming D.
TEST(SwingPatterns, ButterflyCrabAndShark) {
  expect_cases({
      // AB/XA 0.8, BC/AB 0.6, CD/BC 2, AD/XA 1.28.
      {"Butterfly", {}, swings({210, 100, 200, 120, 168, 72}, 80), after_none(5, {0.0, 1.0})},
      {"Butterfly", {}, swings({210, 100, 200, 120, 168, 76}, 84), after_none(5, {0.0, 0.0}),
       "AD/XA 1.24 below its band"},
      // Mirrored: X a swing high, D a swing high.
      {"Butterfly", {}, swings({210, 90, 200, 100, 180, 132, 228}, 210),
       after_none(5, {0.0, 0.0, -1.0}), "bearish"},
      // AB/XA 0.5, BC/AB 0.88, CD/BC 3.5, AD/XA 1.6.
      {"Crab", {}, swings({210, 100, 200, 150, 194, 40}, 44), after_none(5, {0.0, 1.0})},
      {"Crab", {}, swings({210, 100, 200, 130, 194, 40}, 44), after_none(5, {0.0, 0.0}),
       "AB/XA 0.7 above its band"},
      // AB/XA 1.6, BC/AB 1.7, CD/BC 202/272, AD/XA 0.9.
      {"Shark", {}, swings({210, 100, 200, 40, 312, 110}, 118), after_none(5, {0.0, 1.0})},
      {"Shark", {}, swings({210, 100, 200, 40, 420, 110}, 118), after_none(5, {0.0, 0.0}),
       "BC/AB 2.375 above its band"},
  });
}

TEST(SwingPatterns, FirstValueOnTheWarmupBarAndZeroBetweenPivots) {
  const std::vector<std::string> keys = {
      "DoubleTopBottom", "FlagPennant", "RectangleRange", "CupAndHandle", "Triangle",
      "Wedge", "TripleTopBottom", "HeadAndShoulders", "Abcd", "Gartley", "Bat",
      "Butterfly", "Crab", "Shark", "Cypher", "ThreeDrives"};
  // Alternating swings of 20%, each confirmed on the next bar, then a bar
  // that confirms nothing.
  std::vector<double> prices;
  for (int k = 0; k < 8; ++k) prices.push_back(k % 2 == 0 ? 120.0 : 100.0);
  std::vector<Candle> bars = flat_closes(prices);
  bars.push_back(flat(102));
  for (const std::string& key : keys) {
    IndicatorPtr ind = make(key, {});
    ASSERT_TRUE(ind);
    const Values got = run(*ind, bars);
    const std::uint64_t warmup = ind->warmup_period();
    for (std::size_t i = 0; i + 1 < got.size(); ++i) {
      EXPECT_EQ(got[i].has_value(), i + 1 >= warmup) << key << " bar " << i;
    }
    ASSERT_TRUE(got.back().has_value()) << key;
    EXPECT_EQ(*got.back(), 0.0) << key;
  }
}

TEST(SwingPatterns, NoReversalMeansNoValue) {
  std::vector<double> rising;
  for (int i = 0; i < 300; ++i) rising.push_back(100.0 + i);
  for (const char* key : {"DoubleTopBottom", "Gartley", "ThreeDrives"}) {
    for (const auto& v : run_closes(key, {}, rising)) EXPECT_FALSE(v) << key;
  }
}

}  // namespace
}  // namespace fendro::testing::chart
