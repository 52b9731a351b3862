// Values read from exponential averages that move steadily toward a limit
// through a halt in exact arithmetic: a blend of averages of the price
// toward the price, a rate of change or a difference of averages toward 0,
// a window mean of an average decaying toward 0 with it. After a walk, every
// price stays at the last close with volume 0: from the bar the exact value
// has stopped turning, the value read never turns back, and it lands on its
// limit exactly; the bar after the halt reads the plain arithmetic.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fendro/indicators/windows/ema_state.hpp"
#include "indicators/testing.hpp"
#include "indicators/windows/walk_halt.hpp"

namespace fendro::testing {
namespace {

// What a value reads once it has landed: the halt's price, 0, or the type's
// own value (a window mean of it, once the window holds only its copies).
enum class Limit { Price, Zero, OwnValue };

struct LimitCase {
  std::string key;
  std::vector<double> params;
  std::string output;  // "" for the value, else a named output
  Limit limit;
  // The halt bar from which the exact value moves one way (its last turn
  // in exact arithmetic lies before it), and the bar by which it has landed.
  std::size_t steady_from;
  std::size_t landed_by;
  std::uint64_t seed = kHaltWalkSeed;  // of the walk before the halt
};

// Seeds 1 and 2 walk to halts that Trix approaches from above, where a
// change of one unit in the last place repeated over a falling average
// grows bar by bar; on seed 3 the MACD line reaches its band before its
// signal does.
const LimitCase kLimits[] = {
    {"T3", {5, 0.7}, "", Limit::Price, 60, 200},
    {"T3", {5, 0.7}, "", Limit::Price, 100, 200, 3},
    {"T3", {14, 0.7}, "", Limit::Price, 160, 600},
    {"Trix", {15}, "", Limit::Zero, 180, 4000, 1},
    {"Trix", {15}, "", Limit::Zero, 180, 4000, 2},
    {"Trix", {2}, "", Limit::Zero, 10, 100},
    {"ZeroLagMacd", {12, 26, 9}, "", Limit::Zero, 60, 500},
    {"ZeroLagMacd", {12, 26, 9}, "signal", Limit::Zero, 60, 500},
    {"ZeroLagMacd", {12, 26, 9}, "histogram", Limit::Zero, 60, 500},
    {"ZeroLagMacd", {12, 26, 9}, "histogram", Limit::Zero, 300, 600, 3},
    {"ZeroLagMacd", {5, 50, 20}, "histogram", Limit::Zero, 600, 1200, 3},
    // wt1's average distance counts as none from about halt bar 160 on.
    {"WaveTrend", {10, 21, 4}, "wt2", Limit::OwnValue, 170, 10000},
};

// The value, or the named output, bar by bar.
Values series_of(const LimitCase& row, const std::vector<Candle>& cs, Values* own) {
  IndicatorPtr ind = make(row.key, row.params);
  Values out;
  for (const Candle& c : cs) {
    const std::optional<double> v = step(*ind, c);
    if (own != nullptr) own->push_back(v);
    if (row.output.empty()) {
      out.push_back(v);
      continue;
    }
    std::optional<double> named;
    for (const auto& [name, x] : ind->outputs()) {
      if (name == row.output) named = x;
    }
    out.push_back(named);
  }
  return out;
}

TEST(HaltLimitUsers, MovesOneWayThenLandsOnItsLimit) {
  for (const LimitCase& row : kLimits) {
    SCOPED_TRACE(row.key + " " + row.output + " " + std::to_string(row.seed));
    const std::vector<Candle> cs = walk_halt_move(kLongHalt, row.seed);
    const double price = cs[kHaltWalk].close;
    Values own;
    const Values v = series_of(row, cs, &own);
    ASSERT_EQ(v.size(), cs.size());
    const std::optional<double> end = own[kHaltWalk + kLongHalt - 1];
    ASSERT_TRUE(end.has_value());
    const double limit = row.limit == Limit::Price ? price : (row.limit == Limit::Zero ? 0.0 : *end);
    EXPECT_EQ(first_turn_back(v, row.steady_from, kLongHalt), 0u) << "turns back";
    std::size_t off = 0;
    for (std::size_t bar = row.landed_by; bar <= kLongHalt && off == 0; ++bar) {
      const std::optional<double> x = v[kHaltWalk + bar - 1];
      if (std::bit_cast<std::uint64_t>(*x) != std::bit_cast<std::uint64_t>(limit)) off = bar;
    }
    EXPECT_EQ(off, 0u) << "reads " << *v[kHaltWalk + off - 1] << " at halt bar " << off << ", not " << limit;
  }
}

// The plain arithmetic replayed through the averages' public state: the bar
// after a long halt reads what it reads without the reads, so they touched
// no state.
TEST(HaltLimitUsers, FirstBarAfterTheHaltReadsThePlainArithmetic) {
  const std::vector<Candle>& cs = long_halt_series();
  std::array<EmaState, 6> t3 = ema_chain<6>(5);
  std::array<EmaState, 3> trix = ema_chain<3>(15);
  std::array<double, 6> e{};
  std::array<double, 3> f{};
  double trix_before = 0.0;
  for (const Candle& c : cs) {
    trix_before = trix[2].value;
    ema_chain_update(t3, c.close, e);
    ema_chain_update(trix, c.close, f);
  }
  const double v = 0.7, s = v * v, t = v * s;
  const double blend = ((e[5] * -t + e[4] * (3.0 * s + 3.0 * t)) + e[3] * (((-6.0 * s) - 3.0 * v) - 3.0 * t)) +
                       e[2] * (3.0 * s + ((3.0 * v + 1.0) + t));
  const double rate = ((f[2] - trix_before) * 100.0) / trix_before;
  expect_last_exactly(key_values("T3", {5, 0.7}, cs), blend, "T3");
  expect_last_exactly(key_values("Trix", {15}, cs), rate, "Trix");
}

}  // namespace
}  // namespace fendro::testing
