#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/windows/sorted_window.hpp"
#include "fendro/indicators/windows/total_order.hpp"
#include "indicators/series.hpp"
#include "module/counting_interrupt.hpp"

namespace fendro {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

std::vector<double> ring_of(const SortedWindow& w) {
  std::vector<double> out;
  w.ring().for_each([&out](double x) { out.push_back(x); });
  return out;
}

TEST(TotalOrder, OrdersEveryValue) {
  const std::vector<double> ascending = {-kNaN, -kInf, -1e308, -1.0, -4.9e-324, -0.0,
                                         0.0,   4.9e-324, 1.0,  1e308, kInf,  kNaN};
  for (std::size_t i = 0; i < ascending.size(); ++i) {
    for (std::size_t j = 0; j < ascending.size(); ++j) {
      EXPECT_EQ(total_less(ascending[i], ascending[j]), i < j) << i << " " << j;
    }
  }
}

TEST(LowerBound, FirstPositionNotBelow) {
  const std::vector<double> s = {-1, -0.0, 0.0, 0.0, 2, 2, 5};
  struct Case {
    double x;
    std::size_t total, plain;
  };
  // Under the total order -0.0 sits before +0.0; under less-than they are equal.
  for (const Case& k : std::vector<Case>{{-5, 0, 0}, {-1, 0, 0}, {-0.0, 1, 1}, {0.0, 2, 1},
                                         {1, 4, 4},  {2, 4, 4}, {5, 6, 6},    {9, 7, 7}}) {
    EXPECT_EQ(lower_bound_total(s, k.x), k.total) << k.x;
    EXPECT_EQ(lower_bound_plain(s, k.x), k.plain) << k.x;
  }
  EXPECT_EQ(lower_bound_total({}, 1.0), 0u);
}

TEST(SortedWindow, KeepsRingAndSortedListInStep) {
  SortedWindow w(3);
  for (double x : {5.0, 1.0, 3.0, 2.0}) w.stop_after_push(x);
  EXPECT_EQ(ring_of(w), (std::vector<double>{1, 3, 2}));
  EXPECT_EQ(std::vector<double>(w.sorted().begin(), w.sorted().end()), (std::vector<double>{1, 2, 3}));
}

TEST(SortedWindow, SignedZerosKeepTheirPlace) {
  SortedWindow w(2);
  w.stop_after_push(0.0);
  w.stop_after_push(-0.0);
  ASSERT_EQ(w.sorted().size(), 2u);
  EXPECT_TRUE(std::signbit(w.sorted()[0]));
  EXPECT_FALSE(std::signbit(w.sorted()[1]));
  w.stop_after_push(1.0);  // evicts the +0.0
  EXPECT_TRUE(std::signbit(w.sorted()[0]));
  EXPECT_EQ(w.sorted()[1], 1.0);
}

TEST(SortedWindow, MatchesAFullSortAfterEveryPush) {
  testing::SplitMix rng(7);
  for (std::uint64_t n : {1u, 2u, 3u, 8u, 33u}) {
    SortedWindow w(n);
    for (int i = 0; i < 600; ++i) {
      // Few distinct values so duplicates, signed zeros and NaNs meet often.
      const double pool[] = {-0.0, 0.0, 1.0, -1.0, 2.5, kNaN, -kInf, 7.0};
      w.stop_after_push(pool[rng.next() % 8]);
      std::vector<double> want = ring_of(w);
      std::stable_sort(want.begin(), want.end(), total_less);
      ASSERT_EQ(w.sorted().size(), want.size());
      for (std::size_t k = 0; k < want.size(); ++k) {
        ASSERT_EQ(total_order_key(w.sorted()[k]), total_order_key(want[k])) << "n " << n << " i " << i;
      }
    }
  }
}

TEST(SortedQuantile, Interpolates) {
  struct Case {
    std::vector<double> s;
    double q, want;
  };
  const std::vector<Case> cases = {
      {{1, 2, 3, 4}, 0.5, 2.5}, {{1, 2, 3}, 1.0, 3.0}, {{1, 2, 3}, 0.0, 1.0},
      {{7}, 0.3, 7.0},          {{0, 10}, 0.25, 2.5},  {{1, 2, 3, 4, 5}, 0.9, 4.6},
  };
  for (const Case& k : cases) EXPECT_DOUBLE_EQ(sorted_quantile(k.s, k.q), k.want);
  SortedWindow w(4);
  for (double x : {4.0, 1.0, 3.0, 2.0}) w.stop_after_push(x);
  EXPECT_EQ(w.quantile(0.5), 2.5);
}

// Rising values: each push moves the whole list by one, a note of work once
// the window is long; a short window's pushes note nothing. The value goes
// in all the same when the push is told to stop.
TEST(SortedWindow, ALongShiftIsNotedAndMayBeToldToStop) {
  for (const std::size_t n : {std::size_t{1} << 10, std::size_t{1} << 17}) {
    testing::CountingInterrupt stop{.stop_at = 1};
    RunScope scope(stop.interrupt());
    SortedWindow w(n);
    double x = 0.0;
    for (std::size_t k = 0; k < n; ++k) ASSERT_FALSE(w.stop_after_push(x += 1.0));
    bool stopped = false;
    std::size_t pushes = 0;
    while (!stopped && pushes < 4 * n) {
      stopped = w.stop_after_push(x += 1.0);
      ++pushes;
    }
    EXPECT_EQ(stopped, n > 1024) << n;
    EXPECT_EQ(stop.asked, n > 1024 ? 1u : 0u) << n;
    EXPECT_EQ(w.sorted().back(), x) << n;
    EXPECT_EQ(w.sorted().front(), x - static_cast<double>(n - 1)) << n;
  }
}

// While a long window fills, a value below all the others moves every entry
// held: noted once that is a noted amount of work (kUnnotedSteps steps of
// four entries), whatever the window's length. The scope asks at every note.
TEST(SortedWindow, AFillingPushThatMovesManyEntriesIsNoted) {
  const std::uint64_t noted = 4 * kUnnotedSteps;
  struct Row {
    std::uint64_t window;
    std::uint64_t held;  // entries before the push
    bool asks;
  };
  const Row rows[] = {
      {2 * noted, noted - 1, false},
      {2 * noted, noted, true},
      {noted + 1, noted, true},
  };
  for (const Row& row : rows) {
    testing::CountingInterrupt stop{.stop_at = 1};
    RunScope scope(stop.interrupt(), kUnnotedSteps);
    SortedWindow w(row.window);
    for (std::uint64_t k = 1; k <= row.held; ++k) ASSERT_FALSE(w.stop_after_push(static_cast<double>(k)));
    EXPECT_EQ(w.stop_after_push(-1.0), row.asks) << row.window << " " << row.held;
    EXPECT_EQ(stop.asked, row.asks ? 1u : 0u) << row.window << " " << row.held;
    EXPECT_EQ(w.sorted().front(), -1.0);
    EXPECT_EQ(w.len(), row.held + 1);
  }
}

TEST(AbsDeviationsSorted, WalksOutwardFromTheCenter) {
  struct Case {
    std::vector<double> s;
    double c;
    std::vector<double> want;
  };
  const std::vector<Case> cases = {
      {{1, 2, 4, 8}, 3, {1, 1, 2, 5}},
      {{1, 2, 4, 8}, 0, {1, 2, 4, 8}},
      {{1, 2, 4, 8}, 9, {1, 5, 7, 8}},
      {{-3, -1, 0, 1, 3}, 0, {0, 1, 1, 3, 3}},
      {{}, 1, {}},
      {{5}, 5, {0}},
  };
  std::vector<double> out = {99, 99};  // emptied first
  for (const Case& k : cases) {
    EXPECT_EQ(abs_deviations_sorted(k.s, k.c, out), k.want.size());
    EXPECT_EQ(out, k.want);
  }
}

}  // namespace
}  // namespace fendro
