// Sequential-style oscillators, the wave count and the bar signals.
#include <gtest/gtest.h>

#include <vector>

#include "indicators/chart/chart_testing.hpp"

namespace fendro::testing::chart {
namespace {

Candle ohlc(double o, double h, double l, double c) { return Candle{0, o, h, l, c, 1.0}; }

Values none_then(std::size_t n, double v) {
  Values out(n, kNone);
  out.push_back(v);
  return out;
}

TEST(TdOscillators, HandWorkedValues) {
  std::vector<Candle> rei_bars(8, flat(10));
  rei_bars.push_back(bar(12, 11, 11.5));  // overlaps nothing, but bar 2 ago reached
  expect_cases({
      {"TdDeMarker", {1}, {bar(10, 8, 9), bar(11, 9, 10)}, {kNone, 1.0}, "higher high"},
      {"TdDeMarker", {3}, flat_closes({10, 10, 10, 10, 10}), {kNone, kNone, kNone, 0.5, 0.5},
       "flat"},
      {"TdPressure",
       {2},
       {ohlcv(10, 12, 8, 11, 100), ohlcv(11, 11, 11, 11, 50)},
       {kNone, (25.0 / 2 * 100) / 75.0}},
      {"TdPressure", {1}, {ohlcv(10, 12, 8, 11, 0)}, {0.0}, "no volume"},
      {"TdRei", {1}, rei_bars, none_then(8, 100.0)},
      {"TdRei", {2}, flat_closes(std::vector<double>(10, 10.0)), none_then(9, 0.0), "flat"},
  });
}

TEST(TdDWave, CountsAlternatingPivotsOneToEight) {
  // A zigzag 0, 1, 2, 1, 0, ...: with period 2 every other bar confirms a
  // centre pivot, of alternating sides.
  std::vector<double> closes;
  for (int i = 0; i < 40; ++i) closes.push_back(10.0 + std::vector<int>{0, 1, 2, 1}[i % 4]);
  Values want(4, kNone);
  for (int i = 4; i < 40; ++i) want.push_back(((i - 4) / 2) % 8 + 1);
  expect_cases({{"TdDWave", {2}, flat_closes(closes), want, "zigzag"}});
  // A second high without a low between keeps the count; an equal high
  // elsewhere in the window is no pivot.
  expect_cases({
      {"TdDWave", {2}, flat_closes({0, 1, 5, 1, 1, 1, 6, 1, 1}),
       {kNone, kNone, kNone, kNone, 1.0, 1.0, 1.0, 1.0, 1.0}, "same side twice"},
      {"TdDWave", {2}, flat_closes({0, 5, 5, 1, 0}), Values(5, kNone), "equal highs"},
  });
}

TEST(TdBarSignals, RulesAgainstThePreviousBars) {
  const Candle p = bar(11, 9, 10);
  const Candle body = ohlc(10, 11, 8.5, 9);  // previous body 9 .. 10
  const Candle trap_q = bar(12, 8, 10);
  const Candle diff_q = bar(12.5, 11.5, 12);
  const Candle diff_p = bar(12.5, 10, 11);
  expect_cases({
      {"TdTrap", {}, {trap_q, p, bar(12, 10, 11.5)}, {kNone, kNone, 1.0}},
      {"TdTrap", {}, {trap_q, p, bar(10, 8, 8.5)}, {kNone, kNone, -1.0}},
      {"TdTrap", {}, {bar(11, 8, 10), p, bar(13, 10, 12.5)}, {kNone, kNone, 0.0}, "equal highs"},
      {"TdPropulsion", {}, {p, ohlc(10, 12, 9.5, 11.5)}, {kNone, 1.0}},
      {"TdPropulsion", {}, {p, ohlc(10, 10.5, 8, 8.5)}, {kNone, -1.0}},
      {"TdOpen", {}, {p, ohlc(8.5, 9.5, 8, 9)}, {kNone, 1.0}},
      {"TdOpen", {}, {p, ohlc(11.5, 12, 10.5, 11)}, {kNone, -1.0}},
      {"TdClop", {}, {body, ohlc(8.8, 10.5, 8.5, 10.2)}, {kNone, 1.0}},
      {"TdClop", {}, {body, ohlc(8.8, 10.5, 8.5, 10)}, {kNone, 0.0}, "close on the open"},
      {"TdClop", {}, {body, ohlc(10.2, 10.5, 8, 8.8)}, {kNone, -1.0}},
      {"TdClopwin", {}, {body, ohlc(9.2, 10, 9, 9.8)}, {kNone, 1.0}},
      {"TdClopwin", {}, {body, ohlc(9.8, 10, 9, 9.2)}, {kNone, -1.0}},
      {"TdClopwin", {}, {body, ohlc(9.5, 9.6, 9.4, 9.5)}, {kNone, 1.0}, "doji inside"},
      {"TdClopwin", {}, {body, ohlc(9, 10.5, 9, 10.4)}, {kNone, 0.0}, "close above"},
      {"TdCamouflage", {}, {p, ohlc(9.5, 10, 8.8, 9.8)}, {kNone, 1.0}},
      {"TdCamouflage", {}, {p, ohlc(10.8, 11.2, 10.2, 10.5)}, {kNone, -1.0}},
      {"TdDifferential", {}, {diff_q, diff_p, ohlc(10.8, 11.2, 9.5, 10.8)}, {kNone, kNone, 1.0}},
      {"TdDifferential", {}, {diff_q, diff_p, ohlc(10.8, 11.2, 9.5, 11)}, {kNone, kNone, 0.0},
       "equal close"},
  });
}

}  // namespace
}  // namespace fendro::testing::chart
