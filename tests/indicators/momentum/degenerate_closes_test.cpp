// Zero, negative and repeated closes, which a random walk never reaches: the
// fixed answers the momentum types give there.
#include <gtest/gtest.h>

#include <vector>

#include "fendro/util/math.hpp"

#include "indicators/testing.hpp"
#include "indicators/copies_after_walk.hpp"

namespace fendro::testing {
namespace {

TEST(MomentumDegenerateCloses, HandValues) {
  check_close_cases({
      // Bar 3 looks back at 2, bar 4 at 4, bar 5 at 0 (the ratio forms give 0).
      {"Roc", {2}, {2, 4, 0, 3, 6}, {kNone, kNone, -100.0, -25.0, 0.0}},
      {"Rocp", {2}, {2, 4, 0, 3, 6}, {kNone, kNone, -1.0, -0.25, 0.0}},
      {"Rocr", {2}, {2, 4, 0, 3, 6}, {kNone, kNone, 0.0, 0.75, 0.0}},
      {"Rocr100", {2}, {2, 4, 0, 3, 6}, {kNone, kNone, 0.0, 75.0, 0.0}},
      {"Mom", {2}, {2, 4, 0, 3, 6}, {kNone, kNone, -2.0, -1.0, 6.0}},
      // Factors 2/2 = 1: each average is its input; 10 times the change.
      {"Pmo", {2, 2}, {100, 150, 225}, {kNone, 500.0, 500.0}},
      {"Pmo", {2, 2}, {0, 5, 5}, {kNone, 0.0, 0.0}},
      {"Trix", {2}, {5, 5, 5, 5, 5, 5}, {kNone, kNone, kNone, kNone, 0.0, 0.0}},
      {"Tsi", {2, 2}, {7, 7, 7, 7, 7}, {kNone, kNone, kNone, 0.0, 0.0}},
      {"Tii", {2, 2}, {5, 5, 5, 5}, {kNone, kNone, 50.0, 50.0}},
      // Coppock 1, 2 with a 1-bar average: the legs against a close of 0 are 0.
      {"Coppock", {1, 2, 1}, {0, 2, 4, 8}, {kNone, kNone, 100.0, 400.0}},
      // Rank period 2 over the newest two returns; after the close 0 no return
      // enters, so the rank still looks at the last one before it.
      {"ConnorsRsi", {1, 1, 2}, {1, 2, 3, 0, 5, 4}, {kNone, kNone, 200.0 / 3, 0.0, 200.0 / 3, 50.0 / 3}},
  });
}

// Closes that only rise or only fall hold the position at its clamp, +-0.999,
// so v = 0.5 ln((1 + x) / (1 - x)) + v / 2 settles at +-ln(1999).
TEST(MomentumDegenerateCloses, FisherTransformSettlesAtTheClamp) {
  for (const double step : {1.0, -1.0}) {
    std::vector<double> closes;
    for (int i = 0; i < 300; ++i) closes.push_back(400.0 + step * i);
    const Values got = run_closes("FisherTransform", {5}, closes);
    EXPECT_NEAR(*got.back(), step * cr::log(1999.0), 1e-12) << step;
  }
}

// A close on the flat line through a window of copies is 0% off it.
TEST(MomentumDegenerateCloses, CfoOnCopiesAfterAWalkIsZero) {
  expect_copies_read_flat({{"Cfo", {20}, 20, FlatRead::Zero}, {"Cfo", {64}, 64, FlatRead::Zero}});
}

}  // namespace
}  // namespace fendro::testing
