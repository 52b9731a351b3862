// Growing a long vector asks once per stretch of the copy, keeps every
// element when never stopped, and leaves the vector as it was when stopped;
// the rule window grows that way ahead of the bars that would grow it. A
// large map is emptied from the front a stretch at a time, asking after each.
#include "fendro/util/paced_grow.hpp"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "fendro/market/records.hpp"
#include "fendro/strategy/rule_window.hpp"
#include "module/counting_interrupt.hpp"

namespace fendro {
namespace {

using fendro::testing::CountingInterrupt;

// Records per stretch of the copy: one ask after each whole stretch.
constexpr std::size_t kPerStretch = (kCopyStretchBytes + sizeof(Candle) - 1) / sizeof(Candle);

std::vector<Candle> candles(std::size_t n) {
  std::vector<Candle> v;
  for (std::size_t i = 0; i < n; ++i) {
    const double x = static_cast<double>(i);
    v.push_back(Candle{static_cast<std::int64_t>(i), x, x + 2, x - 1, x + 1, x * 0.5});
  }
  return v;
}

bool same(const std::vector<Candle>& a, const std::vector<Candle>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].time != b[i].time || a[i].close != b[i].close || a[i].volume != b[i].volume) return false;
  }
  return true;
}

TEST(ReservePaced, OneAskPerStretchAndNothingLostOrChangedWhenStopped) {
  struct Case {
    std::size_t held;
    std::size_t asks;
  };
  for (const Case c : {Case{0, 0}, {kPerStretch / 2, 0}, {2 * kPerStretch + 5, 2}, {4 * kPerStretch, 4}}) {
    const std::vector<Candle> want = candles(c.held);
    std::vector<Candle> v = want;
    CountingInterrupt never;
    ASSERT_TRUE(reserve_paced(v, 3 * c.held + 100, never.interrupt())) << c.held;
    EXPECT_GE(v.capacity(), 3 * c.held + 100);
    EXPECT_TRUE(same(v, want)) << c.held;
    EXPECT_EQ(never.asked, c.asks) << c.held;
    for (std::size_t k = 1; k <= c.asks; ++k) {
      std::vector<Candle> kept = want;
      const Candle* storage = kept.data();
      CountingInterrupt stop{.stop_at = k};
      EXPECT_FALSE(reserve_paced(kept, 3 * c.held + 100, stop.interrupt())) << c.held << " at " << k;
      EXPECT_EQ(stop.asked, k);
      EXPECT_EQ(kept.data(), storage);
      EXPECT_TRUE(same(kept, want));
    }
  }
}

TEST(ShrinkToFitPaced, OneAskPerStretchAndTheRoomCutToTheSize) {
  for (const std::size_t held : {kPerStretch / 2, 2 * kPerStretch + 5, 4 * kPerStretch}) {
    const std::vector<Candle> want = candles(held);
    std::vector<Candle> v = want;
    v.reserve(3 * held);
    // One ask per stretch copied, then one per 16 MiB of the old room given back.
    const std::size_t copied = held > kPerStretch ? held / kPerStretch : 0;
    const std::size_t given_back = held > kPerStretch ? (v.capacity() * sizeof(Candle) - 1) / kGiveBackStretchBytes : 0;
    CountingInterrupt never;
    ASSERT_TRUE(shrink_to_fit_paced(v, never.interrupt())) << held;
    EXPECT_EQ(v.capacity(), held);
    EXPECT_TRUE(same(v, want)) << held;
    EXPECT_EQ(never.asked, copied + given_back) << held;
    for (std::size_t k = 1; k <= never.asked; ++k) {
      std::vector<Candle> kept = want;
      kept.reserve(3 * held);
      CountingInterrupt stop{.stop_at = k};
      EXPECT_FALSE(shrink_to_fit_paced(kept, stop.interrupt())) << held << " at " << k;
      EXPECT_EQ(stop.asked, k);
      EXPECT_TRUE(same(kept, want));
    }
  }
}

TEST(ReservePaced, RoomEnoughAsksNothing) {
  std::vector<Candle> v = candles(3 * kPerStretch);
  CountingInterrupt stop{.stop_at = 1};
  EXPECT_TRUE(reserve_paced(v, v.size(), stop.interrupt()));
  EXPECT_EQ(stop.asked, 0u);
}

// A window whose storage is full after several stretches of records: made
// room for the next bars, it asks while it copies, then takes them without
// growing, and holds the same records as one that grew bar by bar.
TEST(RuleWindowRoom, GrowsAheadOfTheBarsWithAsks) {
  const std::size_t first = std::size_t{1} << 17;  // storage doubles from 16: full here
  const std::vector<Candle> bars = candles(first + 300);
  RuleWindow plain(1'000'000, 2);
  RuleWindow roomy(1'000'000, 2);
  for (std::size_t i = 0; i < first; ++i) {
    plain.next_values()[1] = static_cast<double>(i);
    plain.push(bars[i]);
    roomy.next_values()[1] = static_cast<double>(i);
    roomy.push(bars[i]);
  }
  ASSERT_EQ(roomy.reserved(), first);
  CountingInterrupt stop{.stop_at = 1};
  const std::size_t reserved = roomy.reserved();
  EXPECT_FALSE(roomy.make_room(300, stop.interrupt()));
  EXPECT_EQ(roomy.reserved(), reserved);
  CountingInterrupt never;
  ASSERT_TRUE(roomy.make_room(300, never.interrupt()));
  EXPECT_GE(never.asked, 2u);
  const std::size_t grown = roomy.reserved();
  EXPECT_GE(grown, first + 300);
  for (std::size_t i = first; i < bars.size(); ++i) {
    plain.next_values()[1] = static_cast<double>(i);
    plain.push(bars[i]);
    roomy.next_values()[1] = static_cast<double>(i);
    roomy.push(bars[i]);
  }
  EXPECT_EQ(roomy.reserved(), grown);
  ASSERT_EQ(roomy.size(), plain.size());
  for (std::uint64_t i = 0; i < plain.size(); ++i) {
    ASSERT_EQ(roomy.record(i).candle.time, plain.record(i).candle.time);
    ASSERT_EQ(roomy.value(i, 1), plain.value(i, 1));
    ASSERT_EQ(roomy.value(i, 0), plain.value(i, 0));
  }
}

TEST(ShrinkPaced, FreesAStretchPerAskFromTheFrontAndStopsAtTheAskThatSaysSo) {
  struct Row {
    std::size_t entries;
    std::size_t stop_at;  // 0: never
    std::size_t asks;     // asked in all
    std::size_t left;     // entries left
  };
  const Row rows[] = {
      {kEraseStretch, 0, 0, kEraseStretch},  // a stretch or less: nothing to free here
      {3 * kEraseStretch + 5, 0, 3, 5},
      {3 * kEraseStretch + 5, 1, 1, 2 * kEraseStretch + 5},
      {3 * kEraseStretch + 5, 3, 3, 5},
  };
  for (const Row& row : rows) {
    std::map<std::size_t, std::size_t> map;
    for (std::size_t k = 0; k < row.entries; ++k) map.emplace(k, k);
    CountingInterrupt check{.stop_at = row.stop_at};
    EXPECT_EQ(shrink_paced(map, check.interrupt()), row.stop_at == 0) << row.entries << " " << row.stop_at;
    EXPECT_EQ(check.asked, row.asks);
    ASSERT_EQ(map.size(), row.left);
    // The last entries are the ones kept.
    EXPECT_EQ(map.begin()->first, row.entries - row.left);
  }
}

}  // namespace
}  // namespace fendro
