// The types that rescan whole windows on every bar note each scan with the
// command's scope before it. With a scope that asks at every note of a long
// window's work, the asks of a bar count its scans; told to stop at any of
// them, the bar gives no value. Counted in asks, not time.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "fendro/util/run_scope.hpp"
#include "indicators/testing.hpp"
#include "module/counting_interrupt.hpp"

namespace fendro {
namespace {

// The shortest window whose scan is noted.
constexpr double kLong = static_cast<double>(kUnnotedSteps);
constexpr std::uint64_t kLongBars = kUnnotedSteps;

struct ScanRow {
  const char* key;
  std::vector<double> params;
  // From this bar on (from 1) each bar scans one noted window, from the
  // second bar on two; 0 when it never comes.
  std::uint64_t one_scan_from;
  std::uint64_t two_scans_from;
};

const ScanRow kScanRows[] = {
    // MACD from bar 3; its window full after kLong values, the window of the
    // first stochastics after kLong more.
    {"Stc", {2, 3, kLong, 0.5}, 3 + kLongBars - 1, 3 + 2 * kLongBars - 2},
    // The highs and lows, scanned together once the ATR and they are full.
    {"ChandelierExit", {kLong, 3}, kLongBars, 0},
    // The candle windows from bar p, the stop windows q - 1 bars later.
    {"ChandeKrollStop", {kLong, 1, kLong}, kLongBars, 2 * kLongBars - 1},
};

std::uint64_t scans_on(const ScanRow& row, std::uint64_t bar) {
  if (row.two_scans_from != 0 && bar >= row.two_scans_from) return 2;
  return bar >= row.one_scan_from ? 1 : 0;
}

TEST(WindowScanNotes, EveryScanOfALongWindowAsksAndAStopAtAnyGivesNoValue) {
  for (const ScanRow& row : kScanRows) {
    const std::uint64_t last = row.two_scans_from != 0 ? row.two_scans_from : row.one_scan_from;
    const std::vector<Candle> bars = testing::random_walk(last, 9);
    // Asked at every note: the asks made by each bar are its scans.
    testing::CountingInterrupt never;
    std::uint64_t asks_before_last = 0;
    {
      RunScope scope(never.interrupt(), kUnnotedSteps);
      IndicatorPtr ind = testing::make(row.key, row.params);
      ASSERT_NE(ind, nullptr) << row.key;
      for (std::uint64_t bar = 1; bar <= last; ++bar) {
        const std::size_t before = never.asked;
        const auto v = testing::step(*ind, bars[bar - 1]);
        ASSERT_EQ(never.asked - before, scans_on(row, bar)) << row.key << " bar " << bar;
        if (bar == last) {
          EXPECT_TRUE(v.has_value()) << row.key;
          asks_before_last = before;
        }
      }
    }
    // Told to stop at each ask of the last bar: that bar gives no value,
    // and asks nothing more.
    for (std::uint64_t k = 1; k <= scans_on(row, last); ++k) {
      testing::CountingInterrupt stop{.stop_at = asks_before_last + k};
      RunScope scope(stop.interrupt(), kUnnotedSteps);
      IndicatorPtr ind = testing::make(row.key, row.params);
      std::optional<double> v;
      for (const Candle& c : bars) v = testing::step(*ind, c);
      EXPECT_TRUE(scope.stopped()) << row.key << " ask " << k;
      EXPECT_FALSE(v.has_value()) << row.key << " ask " << k;
      EXPECT_EQ(stop.asked, stop.stop_at) << row.key << " ask " << k;
    }
  }
}

}  // namespace
}  // namespace fendro
