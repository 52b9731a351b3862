#include "fendro/indicators/common/swing_tracker.hpp"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace fendro {
namespace {

struct Step {
  double high;
  double low;
  bool confirms;
};

std::vector<SwingPivot> pivots_of(const SwingTracker& t) {
  std::vector<SwingPivot> out;
  for (std::size_t k = 0; k < t.count(); ++k) out.push_back(t.pivot(k));
  return out;
}

void expect_pivots(const SwingTracker& t, const std::vector<SwingPivot>& want) {
  const auto got = pivots_of(t);
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t k = 0; k < want.size(); ++k) {
    EXPECT_EQ(got[k].price, want[k].price) << k;
    EXPECT_EQ(got[k].kind, want[k].kind) << k;
    EXPECT_EQ(got[k].bar, want[k].bar) << k;
  }
}

TEST(SwingTracker, ConfirmsByFivePercentReversal) {
  struct Case {
    const char* name;
    std::vector<Step> steps;
    std::vector<SwingPivot> pivots;
    double leg_extreme;
    std::uint64_t leg_bar;
  };
  const Case cases[] = {
      {"first bar starts a rising leg", {{100, 90, false}}, {}, 100, 0},
      {"rising highs never confirm",
       {{100, 90, false}, {101, 50, false}, {102, 10, false}},
       {},
       102,
       2},
      {"equal high keeps the earlier bar and is tested",
       {{100, 99, false}, {100, 95, true}},
       {{100, 1.0, 0}},
       95,
       1},
      {"threshold reached exactly on both sides",
       {{100, 98, false}, {99, 95, true}, {99.75, 96, true}},
       {{100, 1.0, 0}, {95, -1.0, 1}},
       99.75,
       2},
      {"just short of the threshold",
       {{100, 98, false}, {99, 95.0000001, false}},
       {},
       100,
       0},
      {"a new extreme never confirms on its own bar",
       {{100, 99, false}, {95, 90, true}, {96, 80, false}, {200, 85, true}},
       {{100, 1.0, 0}, {80, -1.0, 2}},
       200,
       3},
      {"equal low keeps the earlier bar",
       {{100, 99, false}, {95, 90, true}, {91, 90, false}, {94.5, 92, true}},
       {{100, 1.0, 0}, {90, -1.0, 1}},
       94.5,
       3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SwingTracker t(7);
    for (const Step& s : c.steps) EXPECT_EQ(t.update(s.high, s.low), s.confirms);
    expect_pivots(t, c.pivots);
    EXPECT_EQ(t.bars_seen(), c.steps.size());
    EXPECT_EQ(t.leg_extreme(), c.leg_extreme);
    EXPECT_EQ(t.leg_extreme_bar(), c.leg_bar);
  }
}

TEST(SwingTracker, KeepsTheNewestPivotsOldestFirst) {
  SwingTracker t(2);
  // Alternating 10% swings: each bar confirms the previous bar's extreme.
  const std::pair<double, double> bars[] = {{100, 99}, {95, 90}, {100, 98}, {95, 89}};
  for (const auto& [h, l] : bars) fib_swing_update(t, h, l);
  expect_pivots(t, {{90, -1.0, 1}, {100, 1.0, 2}});
  EXPECT_EQ(t.from_newest(0).bar, 2u);
}

TEST(SwingTracker, MaxPivotsIsClampedToCapacity) {
  EXPECT_EQ(SwingTracker(0).max_pivots(), 1u);
  EXPECT_EQ(SwingTracker(99).max_pivots(), SwingTracker::kCapacity);
  SwingTracker one(0);
  for (int i = 0; i < 40; ++i) one.update(i % 2 == 0 ? 100 : 80, i % 2 == 0 ? 99 : 70);
  EXPECT_EQ(one.count(), 1u);
  SwingTracker t(99);
  for (int i = 0; i < 40; ++i) t.update(i % 2 == 0 ? 100 : 80, i % 2 == 0 ? 99 : 70);
  EXPECT_EQ(t.count(), SwingTracker::kCapacity);
}

}  // namespace
}  // namespace fendro
