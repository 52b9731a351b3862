// Every order-flow key through the registry: the family table and feeds,
// construction checks in their order, warm-ups, bars lacking the consumed
// part, and long runs.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "fendro/registry/families.hpp"
#include "indicators/family_checks.hpp"
#include "indicators/orderflow/orderflow_bars.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing::orderflow {
namespace {

family::Table keys() { return registry::orderflow_entries(); }

TEST(OrderflowRegistry, ConstructionChecksInOrder) {
  family::expect_period_checks({"OrderBookImbalanceTopN", "FundingRateMean",
                                "FundingRateZScore", "OpenInterestMomentum",
                                "OrderFlowImbalance", "AmihudIlliquidity", "Pin",
                                "TradeImbalance", "RealizedSpread"});
  const std::string apr = "invalid parameter: intervals_per_year must be finite and positive";
  const std::string vpin = "invalid parameter: VPIN bucket_volume must be finite and positive";
  const std::string roll = "invalid period: Roll measure needs period >= 3";
  const std::string kyle = "invalid period: kyle's lambda needs window >= 2";
  const std::string sign = "invalid period: trade-sign autocorrelation needs period >= 2";
  family::expect_build_reasons({
      {"FundingImpliedApr", {1095.0}, ""},
      {"FundingImpliedApr", {0.0}, apr},
      {"FundingImpliedApr", {-0.0}, apr},
      {"FundingImpliedApr", {-3.0}, apr},
      {"FundingImpliedApr", {5e-324}, ""},
      {"FundingImpliedApr", {}, "missing parameter #0"},
      {"FundingImpliedApr", {std::nan("")}, "parameter #0 must be finite"},
      {"OIPriceDivergence", {1e30}, kMax},
      {"RollMeasure", {2}, roll},
      {"RollMeasure", {1e-20}, roll},
      {"RollMeasure", {3}, ""},
      {"RollMeasure", {16777217}, kMax},
      {"KylesLambda", {1}, kyle},
      {"KylesLambda", {2}, ""},
      {"KylesLambda", {16777217}, kMax},
      {"TradeSignAutocorrelation", {1}, sign},
      {"TradeSignAutocorrelation", {1e-20}, sign},
      {"TradeSignAutocorrelation", {16777217}, kMax},
      {"Vpin", {1000.0, 50}, ""},
      {"Vpin", {0.0, 50}, vpin},
      {"Vpin", {0.0, 1e-20}, kZero},  // the window is tested first
      {"Vpin", {0.0, 16777217}, kMax},
      {"Vpin", {1000.0}, "missing parameter #1"},
      {"Vpin", {0.0}, "missing parameter #1"},  // both read before any test
      {"Pin", {2.5}, "parameter #0 must be a positive integer, got 2.5"},
      {"SignedVolume", {}, ""},
      {"DepthSlope", {1, -2, std::nan("")}, ""},  // extra values ignored
  });
}

// Bars that a type of the given feed must ignore entirely.
std::vector<Bar> lacking_bars(Feed feed) {
  Bar no_parts;  // a plain candle only
  switch (feed) {
    case Feed::Derivatives:
    case Feed::Orderbook:
    case Feed::Trade:
      return {no_parts};
    case Feed::TradeQuote:
      return {no_parts, trade_bar({buy(100, 1)}, 0.0), trade_bar({buy(100, 1)}, std::nan(""))};
    default: {
      Bar nan_reference;
      nan_reference.reference = std::nan("");
      return {no_parts, nan_reference};
    }
  }
}

TEST(OrderflowRegistry, BarsLackingThePartLeaveNoTrace) {
  const std::vector<Bar> bars = random_bars(400, 7);
  for (const registry::Entry& k : keys()) {
    std::vector<Bar> lacking = lacking_bars(k.feed);
    if (std::string(k.key) == "OrderFlowImbalance") {
      lacking.push_back(book_bar({{99, 1}}, {}));
      lacking.push_back(book_bar({}, {{101, 1}}));
    }
    IndicatorPtr clean = family::build(k);
    IndicatorPtr dirty = family::build(k);
    ASSERT_TRUE(clean && dirty);
    for (std::size_t i = 0; i < bars.size(); ++i) {
      if (i % 23 == 1) {
        for (const Bar& b : lacking) {
          EXPECT_FALSE(step(*dirty, b)) << k.key;
        }
      }
      const auto want = step(*clean, bars[i]);
      const auto got = step(*dirty, bars[i]);
      ASSERT_TRUE(same_bar(want, got, *clean, *dirty)) << k.key << " bar " << i;
    }
  }
}

TEST(OrderflowRegistry, FirstValueOnTheWarmupBar) {
  // One print per bar, so windows of prints and of bars agree.
  std::vector<Bar> bars = random_bars(200, 3);
  for (Bar& b : bars) {
    b.trades.resize(1, Trade{b.candle.close, 1.0, 0, 0});
  }
  for (const registry::Entry& k : keys()) {
    if (std::string(k.key) == "Vpin") continue;  // values follow volume, not bars
    IndicatorPtr ind = family::build(k);
    ASSERT_TRUE(ind);
    const std::uint64_t warmup = ind->warmup_period();
    for (std::size_t i = 0; i < bars.size(); ++i) {
      ASSERT_EQ(step(*ind, bars[i]).has_value(), i + 1 >= warmup)
          << k.key << " bar " << i + 1 << " warm-up " << warmup;
    }
  }
}

TEST(OrderflowRegistry, LongRunsStayFinite) {
  const std::vector<Bar> bars = random_bars(10000, 11);
  for (const registry::Entry& k : keys()) {
    IndicatorPtr ind = family::build(k);
    ASSERT_TRUE(ind);
    std::size_t values = 0;
    for (const Bar& b : bars) {
      const auto v = step(*ind, b);
      if (!v) continue;
      ++values;
      ASSERT_TRUE(std::isfinite(*v)) << k.key;
      for (const NamedOutput& o : ind->outputs()) ASSERT_TRUE(std::isfinite(o.value)) << k.key;
    }
    EXPECT_GT(values, 5000u) << k.key;
  }
}

}  // namespace
}  // namespace fendro::testing::orderflow
