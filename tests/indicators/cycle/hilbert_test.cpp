// The Hilbert-transform engine and the types built on it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "fendro/indicators/cycle/hilbert_core.hpp"
#include "fendro/util/math.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing::cycle {
namespace {

using fendro::cycle::dc_period_clamp;
using fendro::cycle::dc_phasor_lookup;
using fendro::cycle::HilbertCycleState;
using fendro::cycle::hilbert_core_step;

TEST(HilbertCore, PeriodClimbsFromZeroTowardSix) {
  const auto closes = closes_of(random_walk(30, 4));
  HilbertCycleState s;
  std::vector<double> periods;
  for (double x : closes) {
    const bool reached = hilbert_core_step(s, x, nullptr);
    EXPECT_EQ(reached, s.bars >= 22) << s.bars;
    if (reached) periods.push_back(s.period);
  }
  ASSERT_GE(periods.size(), 5u);
  double p = 0.0;
  for (std::size_t i = 0; i < 5; ++i) {
    p = p * 0.8 + 6.0 * 0.2;
    EXPECT_EQ(periods[i], p) << i;
  }
  EXPECT_DOUBLE_EQ(periods[0], 1.2);
  EXPECT_DOUBLE_EQ(periods[1], 2.16);
}

TEST(HilbertCore, PeriodClamp) {
  struct Case {
    double sp;
    std::size_t available;
    std::size_t want;
  };
  const Case cases[] = {
      {2.5, 50, 3},  {2.49, 50, 2},  {0.2, 50, 1},  {0.0, 50, 1},
      {-7.0, 50, 1}, {80.0, 50, 50}, {20.0, 12, 12}, {std::nan(""), 50, 1},
      {1e300, 7, 7},
  };
  for (const Case& c : cases) EXPECT_EQ(dc_period_clamp(c.sp, c.available), c.want) << c.sp;
}

TEST(HilbertCore, PhasorTable) {
  EXPECT_TRUE(dc_phasor_lookup(0).empty());
  for (std::size_t n = 1; n <= 50; ++n) {
    const auto slice = dc_phasor_lookup(n);
    ASSERT_EQ(slice.size(), n);
    EXPECT_EQ(slice[0].sin, 0.0);
    EXPECT_EQ(slice[0].cos, 1.0);
    for (const auto& p : slice) EXPECT_NEAR(p.sin * p.sin + p.cos * p.cos, 1.0, 1e-15);
  }
  const auto quarter = dc_phasor_lookup(4);
  EXPECT_NEAR(quarter[1].sin, 1.0, 1e-15);
  EXPECT_NEAR(quarter[2].cos, -1.0, 1e-15);
  // One table for the whole process.
  EXPECT_EQ(dc_phasor_lookup(7).data(), dc_phasor_lookup(7).data());
}

TEST(HilbertTypes, ValueRanges) {
  const auto series = random_walk(2000, 31);
  for (const auto& v : key_values("AdaptiveCycle", {}, series)) {
    if (!v) continue;
    ASSERT_EQ(*v, std::round(*v));
    ASSERT_GE(*v, 3.0);
    ASSERT_LE(*v, 25.0);
  }
  for (const auto& v : key_values("SineWave", {}, series)) {
    if (v) {
      ASSERT_LE(std::abs(*v), 1.0);
    }
  }
  for (const auto& v : key_values("HtTrendMode", {}, series)) {
    if (v) {
      ASSERT_TRUE(*v == 0.0 || *v == 1.0);
    }
  }
  for (const auto& v : key_values("HtDcPhase", {}, series)) {
    if (v) {
      ASSERT_LE(*v, 315.0);
    }
  }
  for (const auto& v : key_values("HilbertDominantCycle", {}, series)) {
    if (v) {
      ASSERT_TRUE(*v > 0.0 && *v <= 50.0);
    }
  }
}

// The sine of the phase, and FAMA as the second output of MAMA, bit for bit.
TEST(HilbertTypes, SiblingsAgree) {
  const auto series = random_walk(300, 12);
  const Values phase = key_values("HtDcPhase", {}, series);
  const Values sine = key_values("SineWave", {}, series);
  Values want;
  for (const auto& p : phase) {
    want.push_back(p ? std::optional(cr::sin(*p * 0.017453292519943295)) : std::nullopt);
  }
  EXPECT_TRUE(same_bits(sine, want));

  auto mama = make("Mama", {0.5, 0.05});
  ASSERT_TRUE(mama);
  EXPECT_TRUE(same_bits(run_output(*mama, series, 1), key_values("Fama", {0.5, 0.05}, series)));

  const Values cycle = key_values("HilbertDominantCycle", {}, series);
  const Values half = key_values("AdaptiveCycle", {}, series);
  for (std::size_t i = 0; i < cycle.size(); ++i) {
    ASSERT_EQ(cycle[i].has_value(), half[i].has_value());
    if (cycle[i]) {
      EXPECT_EQ(*half[i], std::min(std::max(std::round(0.5 * *cycle[i]), 3.0), 25.0));
    }
  }
}

// A constant close keeps both averages on it; the 33rd close gives the first pair.
TEST(HilbertTypes, MamaOnConstantClose) {
  auto mama = make("Mama", {0.5, 0.05});
  ASSERT_TRUE(mama);
  const Values got = run(*mama, flat_closes(std::vector<double>(40, 7.25)));
  for (std::size_t i = 0; i < got.size(); ++i) {
    ASSERT_EQ(got[i].has_value(), i + 1 >= 33) << i;
    if (got[i]) {
      EXPECT_DOUBLE_EQ(*got[i], 7.25);
    }
  }
  ASSERT_EQ(mama->outputs().size(), 2u);
  EXPECT_DOUBLE_EQ(mama->outputs()[1].value, 7.25);
}

// A NaN close does not move the bar counter: values still start on the 50th
// finite close.
TEST(HilbertTypes, NanClosesDoNotCount) {
  auto series = random_walk(60, 2);
  Candle gap = series[5];
  gap.close = std::numeric_limits<double>::quiet_NaN();
  series.insert(series.begin() + 5, 3, gap);
  for (const char* key : {"HtDcPhase", "HtTrendMode", "HilbertDominantCycle"}) {
    const Values got = key_values(key, {}, series);
    for (std::size_t i = 0; i < got.size(); ++i) {
      ASSERT_EQ(got[i].has_value(), i + 1 >= 53) << key << " bar " << i + 1;
    }
  }
}

}  // namespace
}  // namespace fendro::testing::cycle
