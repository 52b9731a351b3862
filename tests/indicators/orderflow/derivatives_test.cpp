// Derivatives-tick measures and the leverage estimate: hand-computed values.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <cstddef>
#include <string>
#include <vector>

#include "indicators/orderflow/orderflow_testing.hpp"

namespace fendro::testing::orderflow {
namespace {

DerivativesTick base_tick() {
  DerivativesTick t;
  t.funding_rate = 0.0001;
  t.mark_price = 101.0;
  t.index_price = 100.0;
  t.future_price = 102.0;
  t.open_interest = 500.0;
  t.longs = 3.0;
  t.shorts = 2.0;
  t.taker_buy_volume = 30.0;
  t.taker_sell_volume = 20.0;
  return t;
}

TEST(DerivativesReadings, ValuesOfOneTick) {
  DerivativesTick no_sellers = base_tick();
  no_sellers.taker_sell_volume = 0.0;
  no_sellers.shorts = 0.0;
  DerivativesTick no_volume = base_tick();
  no_volume.taker_buy_volume = 0.0;
  no_volume.taker_sell_volume = 0.0;
  struct Case {
    const char* key;
    std::vector<double> params;
    DerivativesTick tick;
    double want;
  };
  const Case cases[] = {
      {"FundingRate", {}, base_tick(), 0.0001},
      {"FundingImpliedApr", {1095.0}, base_tick(), 0.1095},
      {"PerpetualPremiumIndex", {}, base_tick(), 0.01},
      {"FundingBasis", {}, base_tick(), 0.01},
      {"TermStructureBasis", {}, base_tick(), 0.02},
      {"CalendarSpread", {}, base_tick(), 1.0 / 101.0},
      {"TakerBuySellRatio", {}, base_tick(), 1.5},
      {"TakerBuySellRatio", {}, no_sellers, 0.0},
      {"LongShortRatio", {}, base_tick(), 1.5},
      {"LongShortRatio", {}, no_sellers, 0.0},
      {"OiToVolumeRatio", {}, base_tick(), 10.0},
      {"OiToVolumeRatio", {}, no_volume, 0.0},
  };
  for (const Case& c : cases) {
    expect_values(key_values(c.key, c.params, {tick_bar(c.tick), Bar{}}), {c.want, kNone}, c.key);
  }
}

TEST(DerivativesReadings, UnguardedDivisionIsReturned) {
  DerivativesTick t = base_tick();
  t.index_price = 0.0;
  const auto v = key_values("PerpetualPremiumIndex", {}, {tick_bar(t)});
  ASSERT_TRUE(v[0]);
  EXPECT_TRUE(std::isinf(*v[0]));
}

TEST(EstimatedLeverageRatio, CloseOverReference) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double close;
    std::optional<double> reference;
    std::optional<double> want;
  };
  const Case cases[] = {
      {50.0, 25.0, 2.0},     {50.0, 0.0, 0.0},  {50.0, -1.0, 0.0},
      {50.0, kNone, kNone},  {50.0, std::nan(""), kNone}, {inf, 25.0, kNone},
  };
  for (const Case& c : cases) {
    Bar b;
    b.candle = flat(c.close);
    b.candle.high = 1.0;  // the candle itself is not checked
    b.reference = c.reference;
    expect_values(key_values("EstimatedLeverageRatio", {}, {b}), {c.want}, "leverage");
  }
}

std::vector<Bar> oi_bars(const std::vector<double>& oi, const std::vector<double>& mark = {}) {
  std::vector<Bar> out;
  for (std::size_t i = 0; i < oi.size(); ++i) {
    DerivativesTick t = base_tick();
    t.open_interest = oi[i];
    if (!mark.empty()) t.mark_price = mark[i];
    out.push_back(tick_bar(t));
  }
  return out;
}

std::vector<Bar> funding_bars(const std::vector<double>& rates) {
  std::vector<Bar> out;
  for (double r : rates) {
    DerivativesTick t = base_tick();
    t.funding_rate = r;
    out.push_back(tick_bar(t));
  }
  return out;
}

TEST(DerivativesWindows, SequencesOfTicks) {
  const double z = 1.0 / std::sqrt(2.0 / 3.0);
  check_bar_cases({
      {"delta", "OpenInterestDelta", {}, oi_bars({100, 110, 105}), {kNone, 10.0, -5.0}},
      {"weighted", "OIWeighted", {}, oi_bars({0, 2, 2}, {50, 10, 20}), {50.0, 10.0, 15.0}},
      {"momentum", "OpenInterestMomentum", {1}, oi_bars({100, 110, 0, 50, -5, 10}),
       {kNone, 10.0, -100.0, 0.0, -110.0, 0.0}},
      {"momentum 2", "OpenInterestMomentum", {2}, oi_bars({100, 50, 150}), {kNone, kNone, 50.0}},
      {"divergence", "OIPriceDivergence", {1}, oi_bars({100, 110, 0, 5}, {10, 11, 10, 12}),
       {kNone, 0.0, -1.0 + 1.0 / 11.0, -0.2}},
      {"mean", "FundingRateMean", {2}, funding_bars({1, 2, 3, 5}), {kNone, 1.5, 2.5, 4.0}},
      {"z flat", "FundingRateZScore", {3}, funding_bars({1, 1, 1}), {kNone, kNone, 0.0}},
      {"z", "FundingRateZScore", {3}, funding_bars({7, 1, 2, 3}), {kNone, kNone, -0.5080005080007621, z}},
  });
}

TEST(DerivativesWindows, FundingMeanStaysExactOverLongRuns) {
  // Many rebuilds of the running sum: the mean of a constant is the constant.
  std::vector<double> rates(1000, 0.1);
  const Values got = key_values("FundingRateMean", {7}, funding_bars(rates));
  for (std::size_t i = 6; i < got.size(); ++i) {
    ASSERT_TRUE(got[i]);
    EXPECT_NEAR(*got[i], 0.1, 1e-16) << i;
  }
}

// Rates at uneven steps leave a residue in the running sum; a window of
// copies of one rate (zeros, once the feed stops) reads that rate on every
// bar, also before the sum is next rebuilt.
TEST(DerivativesWindows, FundingMeanOfCopiesIsTheRate) {
  for (const double copy : {0.0, 0.0003, -0.0171}) {
    for (const std::size_t history : {23u, 30u, 37u}) {
      std::vector<double> rates;
      for (std::size_t i = 0; i < history; ++i) rates.push_back(0.0001 * static_cast<double>(i % 7) - 0.00037);
      rates.insert(rates.end(), 45, copy);
      const Values got = key_values("FundingRateMean", {20}, funding_bars(rates));
      for (std::size_t i = history + 19; i < got.size(); ++i) {
        EXPECT_EQ(got[i], copy) << copy << " after " << history << " rates, bar " << i;
      }
    }
  }
}

TEST(LiquidationFeatures, OutputsInOrder) {
  IndicatorPtr ind = make("LiquidationFeatures", {});
  ASSERT_TRUE(ind);
  EXPECT_TRUE(ind->outputs().empty());
  DerivativesTick t = base_tick();
  t.long_liquidations = 3.0;
  t.short_liquidations = 1.0;
  EXPECT_EQ(step(*ind, tick_bar(t)), 3.0);
  const std::vector<std::string> names = {"long", "short", "net", "total", "imbalance"};
  const std::vector<double> values = {3.0, 1.0, 2.0, 4.0, 0.5};
  auto check = [&](const std::vector<double>& want) {
    const auto out = ind->outputs();
    ASSERT_EQ(out.size(), names.size());
    for (std::size_t k = 0; k < names.size(); ++k) {
      EXPECT_EQ(out[k].name, names[k]);
      EXPECT_EQ(out[k].value, want[k]) << names[k];
    }
  };
  check(values);
  EXPECT_EQ(step(*ind, Bar{}), kNone);  // no tick: outputs kept
  check(values);
  t.long_liquidations = 0.0;
  t.short_liquidations = 0.0;
  EXPECT_EQ(step(*ind, tick_bar(t)), 0.0);
  check({0.0, 0.0, 0.0, 0.0, 0.0});
}

}  // namespace
}  // namespace fendro::testing::orderflow
