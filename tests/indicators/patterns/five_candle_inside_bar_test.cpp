#include <gtest/gtest.h>

#include <vector>

#include "indicators/patterns/candle_cases.hpp"

namespace fendro::testing::patterns {
namespace {

TEST(LongWindowPatterns, Breakaway) {
  const std::vector<Candle> falling = {ohlc(20, 20, 18, 18), ohlc(17, 17.2, 15.5, 16),
                                       ohlc(15.8, 16, 15, 15.2), ohlc(15, 15.5, 14, 14.3)};
  const std::vector<Candle> rising = {ohlc(10, 12, 10, 12), ohlc(13, 14.5, 12.8, 14),
                                      ohlc(14.2, 15, 14, 14.8), ohlc(15, 16, 14.5, 15.7)};
  const auto with = [](std::vector<Candle> run, const Candle& last) {
    run.push_back(last);
    return run;
  };
  std::vector<Candle> white_third = falling;
  white_third[2] = ohlc(15.1, 16, 15, 15.8);
  expect_cases({
      {"Breakaway", with(falling, ohlc(14.5, 17.5, 14.5, 17.5)), 1.0},
      {"Breakaway", with(falling, ohlc(14.5, 17, 14.5, 17)), 0.0,
       "fifth closes at the second open"},
      {"Breakaway", with(falling, ohlc(14.5, 18, 14.5, 18)), 0.0,
       "fifth closes at the first close"},
      {"Breakaway", with(white_third, ohlc(14.5, 17.5, 14.5, 17.5)), 1.0,
       "colour of the third candle not tested"},
      {"Breakaway", with(rising, ohlc(15.5, 15.5, 12.5, 12.5)), -1.0},
      {"Breakaway", with(rising, ohlc(15.5, 15.5, 13, 13)), 0.0, "fifth closes at the second open"},
  });
}

TEST(LongWindowPatterns, LadderBottom) {
  const std::vector<Candle> ladder = {ohlc(20, 20.5, 18.5, 19), ohlc(19.5, 19.6, 17.5, 18),
                                      ohlc(18.5, 18.6, 16.5, 17)};
  const auto with = [&](const Candle& c4, const Candle& c5) {
    std::vector<Candle> run = ladder;
    run.push_back(c4);
    run.push_back(c5);
    return run;
  };
  const Candle c4 = ohlc(17, 17.5, 15.5, 16);
  expect_cases({
      {"LadderBottom", with(c4, ohlc(17.2, 18, 17.1, 17.8)), 1.0},
      {"LadderBottom", with(ohlc(17, 17, 15.5, 16), ohlc(17.2, 18, 17.1, 17.8)), 0.0,
       "fourth high equal to its open"},
      {"LadderBottom", with(c4, ohlc(17.2, 18, 17.1, 17.5)), 0.0,
       "fifth closes at the fourth high"},
      {"LadderBottom", with(c4, ohlc(17, 18, 17, 17.8)), 0.0, "fifth opens at the fourth open"},
      {"LadderBottom", with(ohlc(17, 17.5, 15.5, 17.2), ohlc(17.2, 18, 17.1, 17.8)), 0.0,
       "fourth white"},
      {"LadderBottom", {ladder[0], ladder[1], ohlc(16.5, 18.6, 16.5, 17), c4,
                        ohlc(17.2, 18, 17.1, 17.8)},
       0.0,
       "third white"},
      {"LadderBottom", {ladder[0], ladder[1], ohlc(18.5, 18.6, 16.5, 18), c4,
                        ohlc(17.2, 18, 17.1, 17.8)},
       0.0,
       "third closes at the second close"},
      {"LadderBottom", {ladder[0], ohlc(19.5, 19.6, 17.5, 19), ladder[2], c4,
                        ohlc(17.2, 18, 17.1, 17.8)},
       0.0,
       "second closes at the first close"},
  });
}

TEST(LongWindowPatterns, ConcealingBabySwallowAndHikkake) {
  const Candle m1 = ohlc(20, 20, 18, 18);
  const Candle m2 = ohlc(18, 18, 16, 16);
  const Candle c3 = ohlc(15.5, 16.5, 14.5, 15);
  const Candle c4 = ohlc(17, 17, 14, 14.2);
  // Ranges of 20: shadows of exactly 0.05 of the range are 1.
  const Candle s1 = ohlc(39, 40, 20, 21);
  const Candle s2 = ohlc(19, 20, 0, 1);
  const Candle mother = ohlc(10, 12, 8, 11);
  const Candle inside = ohlc(10, 11, 9, 10.5);
  expect_cases({
      {"ConcealingBabySwallow", {m1, m2, c3, c4}, 1.0},
      {"ConcealingBabySwallow", {s1, s2, ohlc(0.8, 1.5, 0.2, 0.5), ohlc(2, 2, 0.1, 0.1)}, 1.0,
       "shadows of exactly 0.05 of the range"},
      {"ConcealingBabySwallow", {ohlc(38.9, 40, 20, 21), s2, ohlc(0.8, 1.5, 0.2, 0.5),
                                 ohlc(2, 2, 0.1, 0.1)},
       0.0,
       "first upper shadow longer"},
      {"ConcealingBabySwallow", {s1, ohlc(19, 20, 0, 1.1), ohlc(0.8, 1.5, 0.2, 0.5),
                                 ohlc(2, 2, 0.1, 0.1)},
       0.0,
       "second lower shadow longer"},
      {"ConcealingBabySwallow", {m1, m2, ohlc(15.5, 16, 14.5, 15), c4}, 0.0,
       "third high at the second close"},
      {"ConcealingBabySwallow", {m1, m2, c3, ohlc(16.5, 16.5, 14, 14.2)}, 0.0,
       "fourth opens at the third high"},
      {"ConcealingBabySwallow", {m1, m2, c3, ohlc(17, 17, 14.5, 14.5)}, 0.0,
       "fourth closes at the third low"},
      {"Hikkake", {mother, inside, ohlc(9.5, 10.5, 8.5, 9)}, 1.0, "break downward"},
      {"Hikkake", {mother, inside, ohlc(10.5, 11.5, 9.5, 11)}, -1.0, "break upward"},
      {"Hikkake", {mother, inside, ohlc(10, 11.5, 8.5, 10)}, 0.0, "outside bar"},
      {"Hikkake", {mother, ohlc(10, 12, 9, 10.5), ohlc(9.5, 10.5, 8.5, 9)}, 0.0,
       "second shares the first high"},
      {"Hikkake", {mother, inside, ohlc(10, 11, 8.5, 10)}, 0.0, "third shares the second high"},
  });
}

TEST(LongWindowPatterns, HikkakeModified) {
  const Candle mother = ohlc(10, 20, 0, 10);
  const Candle low_close = ohlc(8, 15, 5, 7);  // 5 + 10 * 0.2 = 7 exactly
  const Candle high_close = ohlc(12, 15, 5, 13);
  const Candle third = ohlc(8, 14, 6, 9);
  const Candle down = ohlc(7, 9, 5.5, 6);
  const Candle up = ohlc(10, 14.5, 7, 14);
  expect_cases({
      {"HikkakeModified", {mother, low_close, third, down}, 1.0,
       "second close exactly a fifth of its range above its low"},
      {"HikkakeModified", {mother, high_close, third, up}, -1.0},
      {"HikkakeModified", {mother, low_close, third, up}, 0.0, "break against the close"},
      {"HikkakeModified", {mother, ohlc(10, 15, 5, 10), third, down}, 0.0, "close mid-range"},
      {"HikkakeModified", {mother, low_close, third, ohlc(7, 14.5, 5.5, 6)}, 0.0, "outside bar"},
      {"HikkakeModified", {mother, low_close, ohlc(8, 15, 6, 9), down}, 0.0,
       "third shares the second high"},
      {"HikkakeModified", {ohlc(10, 15, 0, 10), low_close, third, down}, 0.0,
       "second shares the first high"},
  });
}

}  // namespace
}  // namespace fendro::testing::patterns
