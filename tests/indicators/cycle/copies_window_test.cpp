// One-price candles at prices whose copies do not sum exactly: a cycle of a
// market that never moved is 0, its smoothed path flat, and its dominant
// cycle phase the one a phasor of exactly 0 gives.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <vector>

#include "fendro/util/math.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing::cycle {
namespace {

TEST(CycleCopiesWindow, DetrendedCopiesReadZero) {
  expect_flat_cases({
      {"CenterOfGravity", {10}, 9, 0.0},
      {"CyberneticCycle", {10}, 0, 0.0},
      {"Reflex", {20}, 20, 0.0},
      {"Trendflex", {20}, 20, 0.0},
      {"HtPhasor", {}, 21, 0.0},
  });
}

// A phasor of 0 over a whole cycle takes the zero-phasor branch: 180 degrees
// (its real part is not below 0), plus 360 / the smoothed period, wrapped
// above 315; the sine wave is the sine of that phase.
TEST(CycleCopiesWindow, DominantCyclePhaseOfCopiesIsTheZeroPhasorCase) {
  std::vector<double> prices(std::begin(kUnevenPrices), std::end(kUnevenPrices));
  prices.insert(prices.end(), {1.0, 4.0});  // whose rounded phasor reads below 0
  for (const double p : prices) {
    const std::vector<Candle> flat = flat_closes(std::vector<double>(150, p));
    const Values period = key_values("HilbertDominantCycle", {}, flat);
    const Values phase = key_values("HtDcPhase", {}, flat);
    const Values sine = key_values("SineWave", {}, flat);
    for (std::size_t i = 49; i < flat.size(); ++i) {
      ASSERT_TRUE(period[i] && phase[i] && sine[i]) << p << ", bar " << i;
      double want = 360.0 / *period[i] + 180.0;
      if (want > 315.0) want -= 360.0;
      EXPECT_EQ(*phase[i], want) << p << ", bar " << i;
      EXPECT_NEAR(*sine[i], fendro::cr::sin(want * 0.017453292519943295), 1e-15) << p << ", bar " << i;
    }
  }
}

}  // namespace
}  // namespace fendro::testing::cycle
