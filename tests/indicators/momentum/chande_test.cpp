#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

// Chande's oscillator as usually written, summed afresh on every bar.
Values textbook_cmo(const std::vector<double>& x, std::size_t n) {
  Values out(x.size());
  for (std::size_t i = n; i < x.size(); ++i) {
    double up = 0.0, down = 0.0;
    for (std::size_t k = i + 1 - n; k <= i; ++k) {
      const double ch = x[k] - x[k - 1];
      up += std::max(ch, 0.0);
      down += std::max(-ch, 0.0);
    }
    out[i] = up + down == 0.0 ? 0.0 : 100.0 * (up - down) / (up + down);
  }
  return out;
}

TEST(Chande, CmoMatchesTheTextbookSums) {
  const auto x = closes_of(random_walk(1500, 41));
  for (std::size_t n : {1u, 9u, 30u}) {
    expect_near_values(run_closes("Cmo", {double(n)}, x), textbook_cmo(x, n), 1e-8,
                       "Cmo " + std::to_string(n));
  }
}

TEST(Chande, HandValues) {
  check_close_cases({
      // Unlike the RSI family a still window gives 0.
      {"Cmo", {2}, {4, 4, 4, 4}, {kNone, kNone, 0.0, 0.0}},
      {"Cmo", {2}, {1, 2, 4, 3}, {kNone, kNone, 100.0, 100.0 / 3.0}},
      // Smoothing 3 (alpha 0.5), CMO over 2 moves: the first value is the
      // close; then k = |CMO| / 100 * 0.5.
      {"Vidya", {3, 2}, {10, 11, 12, 11, 14}, {kNone, kNone, 12.0, 12.0, 12.5}},
  });
}

// Up moves 2.6 and 6.6 and then level closes: the up sum, 2.6 + 6.6 less
// 2.6 less 6.6, leaves a residue that read 100; a window without moves
// reads 0. Falling closes leave the down sum's residue the same way.
TEST(Chande, CmoBackToLevelClosesGives0) {
  const struct {
    const char* what;
    std::vector<double> closes;
  } cases[] = {{"up moves gone", {1.1, 3.7, 10.3, 10.3, 10.3}},
               {"down moves gone", {10.3, 3.7, 1.1, 1.1, 1.1}}};
  for (const auto& c : cases) expect_last_exactly(run_closes("Cmo", {2}, c.closes), 0.0, c.what);
}

// 12 falling unit steps then 18 rising ones: every 5-close window of the
// last 14 closes is a straight ramp, so the deviation equals its average and
// the window length is the period itself, held in [5, 30].
TEST(Chande, DynamicMomentumWindowFollowsThePeriod) {
  std::vector<double> closes = {100.0};
  for (int i = 0; i < 12; ++i) closes.push_back(closes.back() - 1.0);
  for (int i = 0; i < 18; ++i) closes.push_back(closes.back() + 1.0);
  ASSERT_EQ(closes.size(), 31u);
  struct Case {
    double period;
    double want;
  };
  const Case cases[] = {
      {1, 100.0},                   // at least the newest 5 changes, all up
      {10, 100.0},                  // newest 10, all up
      {25, (18.0 / 25.0) * 100.0},  // 18 up, 7 down
      {30, (18.0 / 30.0) * 100.0},
      {16777216, (18.0 / 30.0) * 100.0},  // never more than 30
  };
  for (const Case& c : cases) {
    const Values got = run_closes("DynamicMomentumIndex", {c.period}, closes);
    for (std::size_t i = 0; i + 1 < got.size(); ++i) ASSERT_FALSE(got[i]) << "bar " << i + 1;
    ASSERT_TRUE(got.back()) << c.period;
    EXPECT_DOUBLE_EQ(*got.back(), c.want) << c.period;
  }
}

TEST(Chande, DynamicMomentumIndexNeeds31ClosesAndGives50WhenStill) {
  for (double period : {1.0, 14.0, 1000.0}) {
    const Values got = run_closes("DynamicMomentumIndex", {period}, std::vector<double>(40, 3.0));
    for (std::size_t i = 0; i < got.size(); ++i) {
      ASSERT_EQ(got[i].has_value(), i >= 30) << "bar " << i + 1;
      if (got[i]) {
        EXPECT_EQ(*got[i], 50.0);
      }
    }
  }
}

TEST(Chande, IntradayMomentumCountsBodiesOnly) {
  const std::vector<Candle> bodies = {
      {0, 10, 12, 10, 12, 1},  // up 2
      {0, 12, 12, 11, 11, 1},  // down 1
      {0, 11, 11, 11, 11, 1},  // empty
      {0, 11, 11, 11, 11, 1},  // empty
  };
  // The same bodies after gaps: close-to-close moves do not count.
  std::vector<Candle> gapped = bodies;
  for (std::size_t i = 0; i < gapped.size(); ++i) {
    const double shift = 50.0 * static_cast<double>(i);
    for (double* v : {&gapped[i].open, &gapped[i].high, &gapped[i].low, &gapped[i].close}) {
      *v += shift;
    }
  }
  const Values want = {kNone, 200.0 / 3.0, 0.0, 50.0};
  expect_values(run(*make("IntradayMomentumIndex", {2}), bodies), want, "bodies");
  expect_values(run(*make("IntradayMomentumIndex", {2}), gapped), want, "gapped");
}

}  // namespace
}  // namespace fendro::testing
