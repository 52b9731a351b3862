// Ratios of two averages that decay together, held through a halt: after a
// walk, every price stays at the last close with volume 0. In exact
// arithmetic each ratio keeps its value for as long as the halt lasts; the
// rule reads it as it stood on the bar its inputs had been 0 for the period,
// and the first bar after the halt reads the plain arithmetic again.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fendro/indicators/common/up_share_index.hpp"
#include "fendro/indicators/momentum/rsi_state.hpp"
#include "fendro/indicators/trend/adx_core.hpp"
#include "fendro/indicators/volatility/rvi_volatility.hpp"
#include "indicators/testing.hpp"
#include "indicators/windows/walk_halt.hpp"

namespace fendro::testing {
namespace {

constexpr std::size_t kWalk = kHaltWalk;
constexpr std::size_t kHalt = kLongHalt;

const std::vector<Candle>& series() { return long_halt_series(); }

// A halt past every period here, short enough that the averages it leaves
// still weigh on the next bar.
constexpr std::size_t kShortHalt = 60;

struct HeldCase {
  std::string key;
  std::vector<double> params;
  // The halt bar (1 = the first halt candle) on which the ratio's inputs
  // have been 0 for its period: the first 0 input's bar plus the period,
  // less one.
  std::size_t held_from;
};

// Row by row, the first halt bar with both inputs 0, and the period the rule
// counts: a one-bar change is 0 from halt bar 1; Rmi's change over 5 bars
// from bar 5; a volume change from bar 2 (bar 1 drops the walk's volume);
// Smi's 10-bar range from bar 10. Two smoothings count both periods.
const HeldCase kHeld[] = {
    {"Rsi", {14}, 1 + 14 - 1},
    {"PlusDi", {14}, 1 + 14 - 1},
    {"MinusDi", {14}, 1 + 14 - 1},
    {"Dx", {14}, 1 + 14 - 1},
    {"Adx", {14}, 1 + 14 - 1},  // its value is +DI
    {"Rmi", {14, 5}, 5 + 14 - 1},
    {"AdaptiveRsi", {14}, 1 + 14 - 1},
    {"VolumeRsi", {14}, 2 + 14 - 1},
    {"Vzo", {14}, 1 + 14 - 1},
    {"TwiggsMoneyFlow", {21}, 1 + 21 - 1},
    {"RviVolatility", {10}, 1 + 10 - 1},
    {"ChaikinVolatility", {10, 10}, 1 + 20 - 1},
    // Its window holds only copies once n - 1 prices repeated: the first
    // repeat is halt bar 2.
    {"AdaptiveCci", {20}, 2 + 19 - 1},
};

TEST(HaltHoldUsers, RatioKeepsTheValueOfTheBarItsRunReachedThePeriod) {
  const std::vector<Candle>& cs = series();
  for (const HeldCase& row : kHeld) {
    SCOPED_TRACE(row.key);
    const Values v = key_values(row.key, row.params, cs);
    ASSERT_EQ(v.size(), cs.size());
    const std::optional<double> held = v[kWalk + row.held_from - 1];
    ASSERT_TRUE(held.has_value());
    std::size_t off = 0;
    for (std::size_t bar = row.held_from + 1; bar <= kHalt; ++bar) {
      const std::optional<double> x = v[kWalk + bar - 1];
      if (!x || std::bit_cast<std::uint64_t>(*x) != std::bit_cast<std::uint64_t>(*held)) {
        off = bar;
        break;
      }
    }
    EXPECT_EQ(off, 0u) << "held " << *held << " left at halt bar " << off;
  }
}

// Ratios of two chains of averages (an average of an average): through a
// halt each moves steadily toward a limit in exact arithmetic. From the bar
// the rule counts from, the value never turns back, and it ends held: the
// last halt bars all read one value.
const HeldCase kSteady[] = {
    {"Rsx", {14}, 1 + 14 - 1},
    {"Tsi", {25, 13}, 1 + 38 - 1},
    {"Smi", {10, 3, 3}, 10 + 6 - 1},
    {"MassIndex", {9, 25}, 1 + 18 - 1},
};

TEST(HaltHoldUsers, ChainedRatioMovesOneWayThenHolds) {
  const std::vector<Candle>& cs = series();
  for (const HeldCase& row : kSteady) {
    SCOPED_TRACE(row.key);
    const Values v = key_values(row.key, row.params, cs);
    ASSERT_EQ(v.size(), cs.size());
    EXPECT_EQ(first_turn_back(v, row.held_from, kHalt), 0u) << "turns back";
    // Held well before the end: the last thousand halt bars read one value.
    const std::optional<double> end = v[kWalk + kHalt - 1];
    for (std::size_t bar = kHalt - 1000; bar <= kHalt; ++bar) {
      EXPECT_EQ(std::bit_cast<std::uint64_t>(*v[kWalk + bar - 1]), std::bit_cast<std::uint64_t>(*end))
          << "halt bar " << bar;
    }
  }
}

// The plain arithmetic of the shared cores, replayed through their public
// state: the bar after the halt reads what an instance without the hold
// reads, so the hold touched no state.
struct Replayed {
  double rsi, plus_di, minus_di, dx, rvi;
};

Replayed plain_after_halt(const std::vector<Candle>& cs) {
  RsiState rsi = RsiState::of_period(14);
  DmSmoother dm(14);
  RviVolatilityCore rvi = RviVolatilityCore::create(10).value();
  for (const Candle& c : cs) {
    rsi_wilder_update(rsi, c.close);
    dm.step(c);
    rvi_volatility_core(rvi, c.close);
  }
  const double p = directional_indicator(dm.plus_dm, dm.tr);
  const double m = directional_indicator(dm.minus_dm, dm.tr);
  return {up_share_index(rsi.avg_gain, rsi.avg_loss), p, m, directional_index(p, m),
          up_share_index(rvi.up_avg, rvi.down_avg)};
}

TEST(HaltHoldUsers, FirstBarAfterTheHaltReadsThePlainArithmetic) {
  const std::vector<Candle> cs = walk_halt_move(kShortHalt);
  const Replayed plain = plain_after_halt(cs);
  const struct {
    std::string key;
    std::vector<double> params;
    double expected;
  } rows[] = {
      {"Rsi", {14}, plain.rsi},
      {"PlusDi", {14}, plain.plus_di},
      {"MinusDi", {14}, plain.minus_di},
      {"Dx", {14}, plain.dx},
      {"RviVolatility", {10}, plain.rvi},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.key);
    const Values v = key_values(row.key, row.params, cs);
    ASSERT_TRUE(v.back().has_value());
    EXPECT_EQ(std::bit_cast<std::uint64_t>(*v.back()), std::bit_cast<std::uint64_t>(row.expected))
        << *v.back() << " for " << row.expected;
    // The held value is not what the plain arithmetic reads after the halt.
    EXPECT_NE(*v.back(), *v[kWalk + kShortHalt - 1]);
  }
}

}  // namespace
}  // namespace fendro::testing
