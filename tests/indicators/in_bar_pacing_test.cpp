// How long work inside a bar is noted with the command's scope: what is
// noted and when it asks, the long list work done in parts, and a stretch
// of bars that stops stepping once told to stop. Counted in asks, not time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "fendro/indicators/common/paced_lists.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/indicator.hpp"
#include "indicators/series.hpp"
#include "module/counting_interrupt.hpp"

namespace fendro {
namespace {

constexpr std::uint64_t kAsk = RunScope::kStepsPerAsk;

TEST(InBarPacing, ShortWorkIsNotNotedAndLongWorkAsksAsItsCountPassesAnAsk) {
  testing::CountingInterrupt never;
  RunScope scope(never.interrupt());
  // Below the threshold nothing adds up, however often.
  for (int k = 0; k < 1000; ++k) EXPECT_FALSE(stop_before(kUnnotedSteps - 1));
  EXPECT_EQ(never.asked, 0u);
  // Work that would take the count past an ask asks first, and starts the
  // next count: three notes of two thirds of an ask ask twice.
  EXPECT_FALSE(stop_before(2 * kAsk / 3));
  EXPECT_EQ(never.asked, 0u);
  EXPECT_FALSE(stop_before(2 * kAsk / 3));
  EXPECT_EQ(never.asked, 1u);
  EXPECT_FALSE(stop_before(2 * kAsk / 3));
  EXPECT_EQ(never.asked, 2u);
  // A note longer than an ask asks at once, and the next note again.
  EXPECT_FALSE(stop_before(3 * kAsk));
  EXPECT_EQ(never.asked, 3u);
  EXPECT_FALSE(stop_before(kUnnotedSteps));
  EXPECT_EQ(never.asked, 4u);
}

TEST(InBarPacing, ATallyNotesWhatAddsUpAndOnceStoppedStaysStopped) {
  testing::CountingInterrupt stop{.stop_at = 1};
  RunScope scope(stop.interrupt());
  StepTally tally;
  std::uint64_t added = 0;
  bool stopped = false;
  while (!stopped && added < 2 * kAsk) {
    stopped = tally.stop_after(3);
    added += 3;
  }
  EXPECT_TRUE(stopped);
  EXPECT_EQ(stop.asked, 1u);
  // The steps before the ask, not noted until they reached the threshold.
  EXPECT_GE(added, kAsk);
  EXPECT_LT(added, kAsk + kUnnotedSteps + 3);
  EXPECT_TRUE(stop_before(kUnnotedSteps));
  EXPECT_EQ(stop.asked, 1u);
}

TEST(InBarPacing, OutsideAnyScopeNothingStops) {
  EXPECT_FALSE(stop_before(100 * kAsk));
  StepTally tally;
  EXPECT_FALSE(tally.stop_after(100 * kAsk));
}

// Lists long enough for several runs and merge passes, and short ones.
TEST(InBarPacing, APacedSortSortsAndStopsWhenTold) {
  std::vector<std::uint64_t> scratch;
  for (const std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{1000}, kSortRun, kSortRun + 1,
                              5 * kSortRun + 123}) {
    testing::SplitMix rng(n + 1);
    std::vector<std::uint64_t> v(n);
    for (std::uint64_t& x : v) x = rng.next() % 5000;
    std::vector<std::uint64_t> want = v;
    std::sort(want.begin(), want.end());
    ASSERT_FALSE(stop_after_sort(v, scratch)) << n;
    EXPECT_EQ(v, want) << n;
  }
  // A list of a few asks' worth, told to stop at the first ask.
  testing::CountingInterrupt stop{.stop_at = 1};
  RunScope scope(stop.interrupt());
  std::vector<std::uint64_t> v(16 * kSortRun);
  testing::SplitMix rng(7);
  for (std::uint64_t& x : v) x = rng.next();
  EXPECT_TRUE(stop_after_sort(v, scratch));
  EXPECT_EQ(stop.asked, 1u);
}

TEST(InBarPacing, APacedAssignFillsAndStopsWhenTold) {
  std::vector<double> v = {1.0, 2.0};
  ASSERT_FALSE(stop_after_assign(v, 300'000, 0.5, 1));
  EXPECT_EQ(v, std::vector<double>(300'000, 0.5));
  ASSERT_FALSE(stop_after_assign(v, 3, -0.0, 1));
  EXPECT_EQ(v, std::vector<double>(3, -0.0));
  testing::CountingInterrupt stop{.stop_at = 1};
  RunScope scope(stop.interrupt());
  EXPECT_TRUE(stop_after_assign(v, 2 * kAsk, 1.0, 1));
  EXPECT_EQ(stop.asked, 1u);
  EXPECT_LT(v.size(), 2 * kAsk);
}

// Gives the close on every bar; on bar `long_bar` (from 0) it notes an ask's
// worth of work first, giving no value when told to stop.
class NotingBars final : public Indicator {
 public:
  explicit NotingBars(std::size_t long_bar) : long_bar_(long_bar) {}
  std::optional<double> update(const BarSnapshot& bar) override {
    const std::size_t i = stepped_++;
    if (i == long_bar_ && stop_before(kAsk)) return std::nullopt;
    if (i % 5 == 0) return std::nullopt;  // a bar without a value is not a stop
    return bar.candle->close;
  }
  std::uint64_t warmup_period() const override { return 1; }
  std::size_t stepped() const { return stepped_; }

 private:
  std::size_t long_bar_;
  std::size_t stepped_ = 0;
};

TEST(InBarPacing, AStretchStopsSteppingOnceItsBarIsToldToStop) {
  const std::vector<Candle> candles = testing::random_walk(128, 3);
  for (const std::size_t stop_at : {std::size_t{0}, std::size_t{1}}) {
    testing::CountingInterrupt interrupt{.stop_at = stop_at};
    RunScope scope(interrupt.interrupt());
    NotingBars ind(40);
    std::vector<std::optional<double>> out(candles.size(), 1.0);
    ind.update_candles(candles, out.data());
    EXPECT_EQ(interrupt.asked, 1u);
    for (std::size_t k = 0; k < candles.size(); ++k) {
      const bool value = k % 5 != 0 && (stop_at == 0 || k < 40);
      EXPECT_EQ(out[k].has_value(), value) << stop_at << " bar " << k;
      if (value) {
        EXPECT_EQ(*out[k], candles[k].close) << k;
      }
    }
    // Told to stop, the rest of the stretch is not stepped, but for the few
    // bars up to the loop's next look.
    if (stop_at == 0) {
      EXPECT_EQ(ind.stepped(), candles.size());
    } else {
      EXPECT_GE(ind.stepped(), 41u);
      EXPECT_LE(ind.stepped(), 48u);
    }
  }
}

}  // namespace
}  // namespace fendro
