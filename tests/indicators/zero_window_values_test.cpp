// Values read from windows that hold only zeros again. A running sum keeps
// the rounding of the entries that have left its window, so after a few
// ordinary candles and a halt (every price at the last close, volume 0) it
// holds a residue where its window holds nothing. The value must then be the
// type's own zero case, exactly, not a ratio or a root of residues; and a
// distance from an average of copies of one price is exactly 0.
#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

// (open, high, low, close, volume) in the order a person writes them.
Candle ohlcv(double o, double h, double l, double c, double v) { return Candle{0, o, h, l, c, v}; }

// `history`, then `flat` candles whose four prices are its last close, at volume 0.
std::vector<Candle> then_halt(std::vector<Candle> history, std::size_t flat) {
  const double x = history.back().close;
  for (std::size_t i = 0; i < flat; ++i) history.push_back(ohlcv(x, x, x, x, 0.0));
  return history;
}

// Candles of two magnitudes and fractional volumes: their sums leave a residue.
const std::vector<Candle> kMixed = {
    ohlcv(20410, 20550, 19120, 19180, 3.9940693), ohlcv(20380, 21020, 20370, 20990, 4.933509),
    ohlcv(19.06, 20.55, 19.01, 20.48, 3.255),     ohlcv(20830, 20930, 18900, 19070, 0.6537286),
    ohlcv(20.25, 20.88, 19.78, 20.48, 1.0),       ohlcv(20.48, 20.85, 20.25, 20.84, 1.0),
    ohlcv(20.89, 21.34, 20.24, 20.3, 1.0),        ohlcv(19.94, 20.21, 19.2, 19.49, 1.0),
};

// The named output `name` after the last update; none when there is no such output.
std::optional<double> output_named(const Indicator& ind, std::string_view name) {
  for (const NamedOutput& o : ind.outputs()) {
    if (o.name == name) return o.value;
  }
  return std::nullopt;
}

struct HaltCase {
  std::string key;
  std::vector<double> params;
  std::vector<Candle> history;
  std::size_t flat;
  double want;  // the value of the last bar, to the bit, and of every bar from `from_flat` on
  std::vector<std::pair<std::string, double>> outputs{};  // named outputs, to the bit
  std::size_t from_flat = 0;  // 1 for the first flat candle; 0: the last bar only
  // The zero case is the last value again: `want` is then the value of the
  // flat bar before `from_flat`, the last whose windows held a nonzero entry.
  bool holds_last = false;
};

TEST(ZeroWindows, AHaltReadsTheZeroCaseExactly) {
  const std::vector<HaltCase> cases = {
      // Sums of bodies and ranges: the last value again once the range sum is 0.
      {"Rvi", {2},
       {ohlcv(20.25, 20.88, 19.78, 20.48, 1), ohlcv(20.48, 20.85, 20.25, 20.84, 1),
        ohlcv(20.89, 21.34, 20.24, 20.3, 1), ohlcv(19.94, 20.21, 19.2, 19.49, 1)},
       12, -0.4455445544554472},
      {"Tsv", {2},
       {ohlcv(20.59, 21.03, 20.41, 20.88, 0.146), ohlcv(19.5, 19.53, 19.03, 19.1, 4.34236),
        ohlcv(20.15, 20.19, 18.97, 19.03, 4.58181051), ohlcv(20.52, 20.64, 19.05, 19.14, 0.66207203)},
       12, 0.0},
      {"Vortex", {2},
       {ohlcv(20.58, 20.67, 19.18, 19.21, 4.2238), ohlcv(20840, 20870, 20140, 20240, 4.8006966),
        ohlcv(19.96, 20.04, 19.55, 19.58, 1.885627)},
       12, 0.0, {{"plus", 0.0}, {"minus", 0.0}}},
      {"IntradayMomentumIndex", {2}, kMixed, 12, 50.0},
      {"IntradayMomentumIndex", {5}, kMixed, 12, 50.0},
      {"VolumeOscillator", {2, 3},
       {ohlcv(19430, 21130, 19370, 20960, 4.807428), ohlcv(20.25, 20.44, 19.32, 19.36, 4.82552)},
       12, 0.0},
      // The fast window of zeros, the slow one still holding a volume: -100.
      {"VolumeOscillator", {2, 5},
       {ohlcv(19430, 21130, 19370, 20960, 4.807428), ohlcv(20.25, 20.44, 19.32, 19.36, 4.82552),
        ohlcv(20.0, 20.1, 19.9, 20.0, 0.1), ohlcv(20.0, 20.1, 19.9, 20.0, 0.3)},
       2, -100.0},
      {"Qstick", {3}, kMixed, 12, 0.0},
      // The last value again once the average volume is 0.
      {"DemandIndex", {4}, kMixed, 12, 0.0, {}, 4, true},
      // Rates of change are exactly 0 on a halt.
      {"Coppock", {2, 3, 4}, kMixed, 20, 0.0, {}, 8},
      {"Kst", {1, 2, 3, 4, 2, 3, 4, 5, 3}, kMixed, 30, 0.0, {{"kst", 0.0}, {"signal", 0.0}}, 14},

      // Moves rebuilt every 5 bars: between rebuilds a window of zero moves
      // read the residue of a heavy bar's.
      {"EaseOfMovement", {5},
       {ohlcv(20000, 20044.96, 19977.51, 19977.91, 9.4236323000000013),
        ohlcv(19977.91, 20090.07, 19862.66, 19953.95, 0.33678932000000006),
        ohlcv(19953.95, 20005.81, 19952.21, 19953.26, 608342.17000000004),
        ohlcv(19953.26, 20050.76, 19835.18, 19941.87, 0.24146246000000002)},
       12, 0.0, {}, 5},
      // Windows of zero returns have no variance, whatever their moment sums hold.
      {"YangZhangVolatility", {5, 2}, kMixed, 12, 0.0, {}, 6},
      // Squared drawdowns, rebuilt every 5 bars: between rebuilds the residue
      // of a window of zeros came out below 0, and its root NaN.
      {"UlcerIndex", {5},
       {ohlcv(20, 21.45, 19.86, 20.31, 89.191317), ohlcv(20.31, 20.37, 18.88, 19.88, 90.071047),
        ohlcv(19.88, 20.74, 18.68, 19.59, 59.618878), ohlcv(19.59, 19.96, 18.47, 19.47, 30.400517)},
       14, 0.0, {}, 8},
      // Windows of zero returns have no variance, whatever their moment sums hold.

      {"Tii", {5, 4}, kMixed, 12, 50.0},
      // Distance from an average of copies of the close, over an average range
      // that decays on the halt: exactly 0, not a residue grown without bound.
      {"Pgo", {3}, kMixed, 3000, 0.0, {}, 3},
      {"Pgo", {14}, kMixed, 3000, 0.0, {}, 14},
  };
  for (const HaltCase& c : cases) {
    const std::string what = c.key + " " + ::testing::PrintToString(c.params);
    IndicatorPtr ind = make(c.key, c.params);
    ASSERT_TRUE(ind) << what;
    const Values got = run(*ind, then_halt(c.history, c.flat));
    double want = c.want;
    if (c.holds_last) {
      const auto& last = got[c.history.size() + c.from_flat - 2];
      ASSERT_TRUE(last.has_value()) << what;
      want = *last;
    }
    expect_last_exactly(got, want, what);
    // A rebuilt sum drops its residue at its next rebuild: every bar counts.
    for (std::size_t k = c.from_flat; k >= 1 && k <= c.flat; ++k) {
      EXPECT_TRUE(same_value(got[c.history.size() + k - 1], want)) << what << ", flat bar " << k;
    }
    for (const auto& [name, want] : c.outputs) {
      const auto out = output_named(*ind, name);
      EXPECT_TRUE(same_value(out, want)) << what << "." << name;
    }
  }
}

}  // namespace
}  // namespace fendro::testing
