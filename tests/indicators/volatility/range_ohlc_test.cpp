// Volatility from bar ranges and from open, high, low and close: hand-worked
// values, the local-date rule of the daily range, and the re-sum cadence of
// the term windows.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <deque>
#include <limits>
#include <vector>

#include "fendro/indicators/common/local_day.hpp"
#include "fendro/util/math.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

Candle ohlc(double open, double high, double low, double close) {
  return Candle{0, open, high, low, close, 1.0};
}

TEST(VolRange, HandWorkedValues) {
  const std::vector<Candle> same(5, flat(50));
  const double a = cr::log(12.0 / 10.0);
  const double parkinson_one = std::sqrt(a * a * 0.3606737602222412) * 100.0;
  // True ranges 2, 3 (12 - 9), 4 (11 - 7 reaching the close 11), 5 (13 - 8).
  const std::vector<Candle> bars = {hlc(10, 8, 9), hlc(12, 9, 11), hlc(11, 7, 8), hlc(13, 10, 12)};
  const double gk_a = cr::log(12.0 / 9.0);
  const double gk_b = cr::log(11.0 / 10.0);
  const double gk_one = std::sqrt(gk_a * (gk_a * 0.5) + gk_b * (gk_b * -0.3862943611198906)) * 100.0;
  const double rs_one =
      std::sqrt(std::fma(cr::log(12.0 / 11.0), cr::log(12.0 / 10.0),
                         cr::log(9.0 / 11.0) * cr::log(9.0 / 10.0))) * 100.0;
  const double third = 1.0 / 3.0;
  const double vr_avg = (3.0 + 4.0) / 2.0;  // seeded on bars 2 and 3
  const double mass_e1 = std::fma(2.0 / 3.0, 6.0, (1.0 - 2.0 / 3.0) * 5.0);
  const double mass_e2 = std::fma(2.0 / 3.0, mass_e1, (1.0 - 2.0 / 3.0) * 4.0);
  struct Case {
    const char* key;
    std::vector<double> params;
    std::vector<Candle> bars;
    Values want;
  };
  const Case cases[] = {
      {"TrueRange", {}, bars, {2.0, 3.0, 4.0, 5.0}},
      // A gap below the previous close: previous close - low.
      {"TrueRange", {}, {hlc(10, 8, 9), hlc(7, 5, 6)}, {2.0, 4.0}},
      {"Atr", {1}, bars, {2.0, 3.0, 4.0, 5.0}},
      {"Atr", {3}, bars, {kNone, kNone, 3.0, std::fma(3.0, 2.0, 5.0) * third}},
      {"Natr", {1}, {hlc(10, 8, 9), hlc(1, -1, 0)}, {200.0 / 9.0, 0.0}},
      {"HighLowRange", {}, {hlc(10, 8, 9), hlc(1, -1, 0)}, {2.0 / 9.0, 0.0}},
      // Bar 1 keeps its close, bars 2 and 3 seed, bar 4 gives 5 / 3.5.
      {"VolatilityRatio", {2}, {bars[0], bars[1], bars[2], bars[3], hlc(13, 10, 12)},
       {kNone, kNone, kNone, 5.0 / vr_avg,
        3.0 / (5.0 * (2.0 / 3.0) + vr_avg * (1.0 - 2.0 / 3.0))}},
      {"ChoppinessIndex", {2}, {hlc(10, 8, 9), hlc(12, 9, 11)},
       {kNone, cr::log10(5.0 / 4.0) * 100.0 / cr::log10(2.0)}},
      {"ChoppinessIndex", {3}, {flat(5), flat(5), flat(5), flat(5)}, {kNone, kNone, 100.0, 100.0}},
      // Period-1 averages follow the range: changes of +50%, -100%, then 0
      // against a zero range.
      {"ChaikinVolatility", {1, 1}, {hlc(10, 8, 9), hlc(12, 9, 10), flat(10), hlc(12, 8, 10)},
       {kNone, 50.0, -100.0, 0.0}},
      // Ratios of equal averages are 1, a zero second average counts as 1.
      {"MassIndex", {1, 2}, {hlc(10, 8, 9), flat(9), hlc(12, 8, 10)}, {kNone, 2.0, 2.0}},
      // Ranges 2, 4, 6, 6: averages seeded at 3 and 4, first ratio 5 / 4.
      {"MassIndex", {2, 2}, {hlc(10, 8, 9), hlc(12, 8, 10), hlc(14, 8, 10), hlc(14, 8, 10)},
       {kNone, kNone, kNone, 1.25 + mass_e1 / mass_e2}},
      {"GarmanKlassVolatility", {3, 252}, same, {kNone, kNone, 0.0, 0.0, 0.0}},
      {"ParkinsonVolatility", {3, 252}, same, {kNone, kNone, 0.0, 0.0, 0.0}},
      {"RogersSatchellVolatility", {3, 252}, same, {kNone, kNone, 0.0, 0.0, 0.0}},
      {"YangZhangVolatility", {3, 252}, same, {kNone, kNone, kNone, 0.0, 0.0}},
      {"ParkinsonVolatility", {1, 1}, {ohlc(11, 12, 10, 11)}, {parkinson_one}},
      // With close = open only the range term is left.
      {"GarmanKlassVolatility", {2, 4}, {ohlc(11, 12, 10, 11), ohlc(11, 12, 10, 11)},
       {kNone, std::sqrt(0.5 * a * a) * 2.0 * 100.0}},
      // Close at the high and open at the low: a zero term.
      {"RogersSatchellVolatility", {1, 1}, {ohlc(10, 12, 10, 12)}, {0.0}},
      // Open 10, high 12, low 9, close 11: every log term counts.
      {"GarmanKlassVolatility", {1, 1}, {ohlc(10, 12, 9, 11)}, {gk_one}},
      {"RogersSatchellVolatility", {1, 1}, {ohlc(10, 12, 9, 11)}, {rs_one}},
  };
  for (const Case& c : cases) {
    IndicatorPtr ind = make(c.key, c.params);
    expect_values(run(*ind, c.bars), c.want, c.key);
  }
}

TEST(VolRange, LocalDayRule) {
  struct Case {
    std::int64_t time;
    std::int32_t offset;
    std::int64_t day;
  };
  constexpr std::int64_t kDay = 86400000;
  const Case cases[] = {
      {0, 0, 0},
      {kDay - 1, 0, 0},
      {kDay, 0, 1},
      {-1, 0, -1},  // floor division before 1970
      {-kDay, 0, -1},
      {-kDay - 1, 0, -2},
      {kDay - 1800000, 60, 1},  // 23:30 UTC is 00:30 the next local day
      {1800000, -60, -1},       // 00:30 UTC is 23:30 the previous local day
      {0, 2147483647, 1491308},  // offset * 60 beyond 32 bits
      {0, -2147483647 - 1, -1491309},
      {std::numeric_limits<std::int64_t>::min(), -2147483647 - 1, -106753482476},
      {std::numeric_limits<std::int64_t>::max(), 2147483647, 106753482475},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vol::local_day(c.time, c.offset), c.day) << c.time << " " << c.offset;
  }
}

TEST(VolRange, AverageDailyRangeFollowsLocalDates) {
  constexpr std::int64_t kHour = 3600000;
  auto bar = [](std::int64_t t, double h, double l) { return Candle{t, l, h, l, l, 1.0}; };
  const std::vector<Candle> bars = {
      bar(0, 10, 8),                   // day 0
      bar(22 * kHour + kHour / 2, 11, 9),  // 22:30 UTC, still day 0 (range 3)
      bar(23 * kHour + kHour / 2, 20, 15), // 23:30 UTC: day 1 at +60, day 0 at 0
      bar(kHour, 5, 4),                // back to day 0: closes day 1 like a later date
      bar(50 * kHour, 7, 7),           // day 2
  };
  // Offset +60: ranges 3, then 5, then 1 (the window of 2 keeps 5 and 1).
  IndicatorPtr east = make("AverageDailyRange", {2, 60});
  expect_values(run(*east, bars), {kNone, kNone, 3.0, 4.0, 3.0}, "offset 60");
  // Offset 0: bars 1 to 4 share day 0 (range 20 - 4).
  IndicatorPtr utc = make("AverageDailyRange", {2, 0});
  expect_values(run(*utc, bars), {kNone, kNone, kNone, kNone, 16.0}, "offset 0");
}

TEST(VolOhlc, YangZhangWeighsItsThreeParts) {
  const std::vector<Candle> bars = {ohlc(10, 11, 9, 10), ohlc(10.5, 12, 10, 11),
                                    ohlc(10.8, 11.5, 10.2, 11.2)};
  IndicatorPtr ind = make("YangZhangVolatility", {2, 1});
  const Values got = run(*ind, bars);
  auto rs = [](const Candle& c) {
    return cr::log(c.high / c.close) * cr::log(c.high / c.open) +
           cr::log(c.low / c.close) * cr::log(c.low / c.open);
  };
  auto var2 = [](double x, double y) { return (x - y) * (x - y) / 2.0; };  // sample, n = 2
  const double o1 = cr::log(10.5 / 10.0), o2 = cr::log(10.8 / 11.0);
  const double c1 = cr::log(11.0 / 10.5), c2 = cr::log(11.2 / 10.8);
  const double k = 0.34 / (3.0 + 1.34);
  const double var = (var2(o1, o2) + k * var2(c1, c2)) + (rs(bars[1]) + rs(bars[2])) / 2.0 * (1.0 - k);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_FALSE(got[1].has_value());
  ASSERT_TRUE(got[2].has_value());
  EXPECT_NEAR(*got[2], std::sqrt(var) * 100.0, 1e-12);
}

TEST(VolOhlc, TermSumsAreRebuiltEveryNPushes) {
  // Terms of very different sizes: a sum kept only by adding and removing
  // drifts away from the exact sum of the window.
  std::vector<Candle> bars;
  SplitMix rng(4);
  for (int i = 0; i < 300; ++i) {
    const double spread = i % 5 == 0 ? 0.5 : 1e-7;
    const double low = 100.0;
    const double high = low * (1.0 + spread * (0.5 + rng.unit()));
    bars.push_back(Candle{0, low, high, low, high, 1.0});
  }
  const std::size_t n = 4;
  std::deque<double> ring;
  double sum = 0.0;
  std::size_t pushes = 0;
  Values want;
  for (const Candle& c : bars) {
    const double t = cr::log(c.high / c.low) * cr::log(c.high / c.low);
    if (ring.size() == n) sum = sum - ring.front(), ring.pop_front();
    ring.push_back(t);
    sum = t + sum;
    if (++pushes >= n) {
      sum = -0.0;
      for (double v : ring) sum = sum + v;
      pushes = 0;
    }
    const double var = (sum * 0.3606737602222412) / double(n);
    want.push_back(ring.size() == n ? std::optional(std::sqrt(var > 0 ? var : 0.0) * 1.0 * 100.0)
                                    : std::nullopt);
  }
  IndicatorPtr ind = make("ParkinsonVolatility", {double(n), 1});
  EXPECT_TRUE(same_bits(run(*ind, bars), want));
}

}  // namespace
}  // namespace fendro::testing
