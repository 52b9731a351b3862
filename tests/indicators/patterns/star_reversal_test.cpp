#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "indicators/patterns/candle_cases.hpp"

namespace fendro::testing::patterns {
namespace {

TEST(StarPatterns, Stars) {
  const Candle low_star = ohlc(7.5, 7.5, 7, 7);
  const Candle low_doji = ohlc(7.5, 7.7, 7.3, 7.5);
  const Candle high_doji = ohlc(10.5, 10.7, 10.3, 10.5);
  const Candle baby = ohlc(100, 100.1, 99.9, 100.05);  // doji within 0.1%
  const Candle first = ohlc(110, 110, 90, 100);
  const Candle second = ohlc(105, 106, 95, 101);
  expect_cases({
      {"MorningEveningStar", {kLongBear, low_star, ohlc(8, 9.5, 8, 9.5)}, 1.0},
      {"MorningEveningStar", {kLongBear, ohlc(7.5, 7.5, 6.5, 6.5), kLongBull}, 1.0,
       "star body exactly half of the outer bodies"},
      {"MorningEveningStar", {kLongBear, ohlc(7.5, 7.5, 6.4, 6.4), kLongBull}, 0.0,
       "star body too large"},
      {"MorningEveningStar", {kLongBear, low_star, ohlc(7.6, 8.6, 7.6, 8.6)}, 0.0,
       "third close not far enough into the first body"},
      {"MorningEveningStar", {kLongBear, low_star, flat(9.5)}, 0.0, "third without body"},
      {"MorningEveningStar", {kLongBull, ohlc(10.5, 11, 10.5, 11), ohlc(10, 10, 8.5, 8.5)}, -1.0},
      {"MorningEveningStar", {kLongBull, ohlc(10.5, 11, 10.5, 11), ohlc(10.5, 10.5, 9.4, 9.4)}, 0.0,
       "third close exactly at the penetration level"},
      {"MorningDojiStar", {kLongBear, low_doji, ohlc(8, 9, 8, 9)}, 1.0},
      {"MorningDojiStar", {kLongBear, low_doji, ohlc(8, 8.6, 8, 8.6)}, 0.0,
       "third close exactly at the penetration level"},
      {"MorningDojiStar", {kLongBear, low_doji, ohlc(7.5, 9, 7.5, 9)}, 0.0,
       "third body touches the star"},
      {"MorningDojiStar", {kLongBear, ohlc(7.5, 7.7, 7.3, 7.4), ohlc(8, 9, 8, 9)}, 0.0,
       "star not a doji"},
      {"MorningDojiStar", {kLongBull, low_doji, ohlc(8, 9, 8, 9)}, 0.0, "first bullish"},
      {"EveningDojiStar", {kLongBull, high_doji, ohlc(10, 10, 9, 9)}, -1.0},
      {"EveningDojiStar", {kLongBull, high_doji, ohlc(10, 10, 9.4, 9.4)}, 0.0,
       "third close exactly at the penetration level"},
      {"EveningDojiStar", {kLongBear, high_doji, ohlc(10, 10, 9, 9)}, 0.0, "first bearish"},
      {"AbandonedBaby", {ohlc(105, 105, 100.5, 101), baby, ohlc(101, 104, 100.5, 104)}, 1.0},
      {"AbandonedBaby", {ohlc(95, 99.5, 95, 99), baby, ohlc(99, 99.5, 96, 96)}, -1.0},
      {"AbandonedBaby",
       {ohlc(105, 105, 100.5, 101), ohlc(100, 100.3, 99.9, 100.2), ohlc(101, 104, 100.5, 104)},
       0.0,
       "middle not a doji"},
      {"AbandonedBaby", {ohlc(105, 105, 100, 101), baby, ohlc(101, 104, 100.5, 104)}, 0.0,
       "shadows overlap"},
      {"Tristar", {ohlc(10, 10.5, 9.5, 10), ohlc(11, 11.5, 10.5, 11), ohlc(11, 11.5, 10.5, 11)},
       0.0,
       "third top equal to the middle top"},
      {"Tristar",
       {ohlc(10, 10.5, 9.5, 10), ohlc(11, 11.5, 10.5, 11), ohlc(10.5, 11, 10, 10.5)},
       -1.0},
      {"Tristar", {ohlc(10, 10.5, 9.5, 10), ohlc(9, 9.5, 8.5, 9), ohlc(9.5, 10, 9, 9.5)}, 1.0},
      {"Tristar", {ohlc(10, 10.5, 9.5, 10), ohlc(9, 9.5, 8.5, 9), ohlc(9.5, 10, 9, 9.8)}, 0.0,
       "third not a doji"},
      {"ThreeStarsInSouth", {first, second, ohlc(102, 102, 101.5, 101.5)}, 1.0},
      {"ThreeStarsInSouth", {first, second, ohlc(101.95, 102, 101.5, 101.5)}, 1.0,
       "upper shadow within the tolerance"},
      {"ThreeStarsInSouth", {first, second, ohlc(101.8, 102, 101.5, 101.5)}, 0.0,
       "upper shadow 0.2 above the tolerance 0.102"},
      {"ThreeStarsInSouth", {ohlc(110, 110, 92, 100), second, ohlc(102, 102, 101.5, 101.5)}, 0.0,
       "first lower shadow shorter than its body"},
      {"TowerTopBottom", {kLongBear, flat(9), kLongBull}, 1.0},
      {"TowerTopBottom", {kLongBull, flat(9), kLongBear}, -1.0},
      {"TowerTopBottom", {kLongBear, ohlc(9, 9.6, 8.9, 9.5), kLongBull}, 0.0, "middle body large"},
      {"TowerTopBottom", {kLongBear, flat(9), ohlc(8, 10, 8, 8.9)}, 0.0, "third body short"},
      // The middle body against 0.3 of its range; the ratios are exact.
      {"TowerTopBottom", {kLongBear, ohlc(8.5, 9.5, 7.5, 9.0625), kLongBull}, 1.0,
       "middle body 0.28125 of its range"},
      {"TowerTopBottom", {kLongBull, ohlc(9.0625, 9.5, 7.5, 8.5), kLongBear}, -1.0,
       "middle body 0.28125 of its range"},
      {"TowerTopBottom", {kLongBear, ohlc(8.5, 9.75, 7.25, 9.25), kLongBull}, 1.0,
       "middle body exactly 0.3 of its range"},
      {"TowerTopBottom", {kLongBull, ohlc(9.25, 9.75, 7.25, 8.5), kLongBear}, -1.0,
       "middle body exactly 0.3 of its range"},
      {"TowerTopBottom",
       {kLongBear, ohlc(9, 10, 7.5, std::nextafter(9.75, 10.0)), kLongBull},
       0.0,
       "middle body a hair over 0.3 of its range"},
      {"TowerTopBottom", {kLongBear, ohlc(8.5, 9.5, 7.5, 9.125), kLongBull}, 0.0,
       "middle body 0.3125 of its range"},
  });
}

}  // namespace
}  // namespace fendro::testing::patterns
