// Trade-flow measures: hand-computed values over short runs of prints.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "fendro/util/math.hpp"
#include "indicators/orderflow/orderflow_testing.hpp"

namespace fendro::testing::orderflow {
namespace {

Bar quoted(std::vector<Trade> trades, double bid, double ask) {
  Bar b = trade_bar(std::move(trades), 1.0);  // the close is not the mid here
  b.book = OrderBook{{{bid, 1}}, {{ask, 1}}};
  return b;
}

// One print per bar, the close as the mid.
std::vector<Bar> prints(const std::vector<Trade>& ts) {
  std::vector<Bar> out;
  for (const Trade& t : ts) out.push_back(trade_bar({t}));
  return out;
}

TEST(TradeFlow, PerBarMeasures) {
  check_bar_cases({
      {"signed volume: last print", "SignedVolume", {}, {trade_bar({buy(1, 5), sell(1, 2)}), Bar{}},
       {-2.0, kNone}},
      {"cumulative delta", "CumulativeVolumeDelta", {},
       {trade_bar({buy(1, 5), sell(1, 2)}), Bar{}, trade_bar({sell(1, 4)})}, {3.0, kNone, -1.0}},
      {"effective spread on the close", "EffectiveSpread", {},
       {trade_bar({buy(101, 1)}), trade_bar({buy(99, 1), sell(101, 1)})}, {200.0, -200.0}},
      {"effective spread on the book", "EffectiveSpread", {}, {quoted({buy(101, 1)}, 97, 101)},
       {40000.0 / 99.0}},
      {"effective spread, close 0", "EffectiveSpread", {}, {trade_bar({buy(101, 1)}, 0.0)},
       {kNone}},
      {"effective spread, book with no asks", "EffectiveSpread", {},
       {[] {
         Bar b = trade_bar({buy(101, 1)});
         b.book = OrderBook{{{99, 1}}, {}};
         return b;
       }()},
       {200.0}},
  });
}

TEST(TradeFlow, PrintWindows) {
  check_bar_cases({
      {"imbalance", "TradeImbalance", {2}, prints({buy(1, 3), sell(1, 1), buy(1, 1), sell(1, 1)}),
       {kNone, 0.5, 0.0, 0.0}},
      {"imbalance of zero sizes", "TradeImbalance", {2}, {trade_bar({buy(1, 0), sell(1, 0)})},
       {0.0}},
      {"imbalance counts prints", "TradeImbalance", {3},
       {trade_bar({buy(1, 1), buy(1, 1)}), trade_bar({sell(1, 2), sell(1, 6)})}, {kNone, -7.0 / 9.0}},
      {"pin", "Pin", {4}, {trade_bar({buy(1, 1), buy(1, 1), sell(1, 1), buy(1, 1)})}, {0.5}},
      {"pin slides", "Pin", {2}, prints({buy(1, 1), buy(1, 1), sell(1, 1), sell(1, 1)}),
       {kNone, 1.0, 0.0, 1.0}},
      {"sign autocorrelation", "TradeSignAutocorrelation", {3},
       prints({buy(1, 1), buy(1, 1), sell(1, 1), buy(1, 1), buy(1, 1), buy(1, 1)}),
       {kNone, kNone, 0.0, -1.0, 0.0, 1.0}},
  });
}

// Buys of 0.1 and 0.2 leave the window to two sells of 1e-17: the buy sum,
// 0.1 + 0.2 less 0.1 less 0.2, is a residue larger than the sells and read
// about 0.16; a window of sells only reads -1.
TEST(TradeFlow, ImbalanceOfOneSideOnlyIsWhole) {
  const struct {
    const char* what;
    std::vector<Trade> prints;
    double want;
  } cases[] = {{"buys gone", {buy(1, 0.1), buy(1, 0.2), sell(1, 1e-17), sell(1, 1e-17)}, -1.0},
               {"sells gone", {sell(1, 0.1), sell(1, 0.2), buy(1, 1e-17), buy(1, 1e-17)}, 1.0}};
  for (const auto& c : cases) {
    expect_last_exactly(key_values("TradeImbalance", {2}, prints(c.prints)), c.want, c.what);
  }
}

TEST(TradeFlow, LiquidityMeasures) {
  const double amihud = cr::log(1.1) / 220.0;
  check_bar_cases({
      {"amihud", "AmihudIlliquidity", {1},
       {trade_bar({buy(100, 1), buy(110, 2)}), trade_bar({buy(110, 0)}), Bar{},
        trade_bar({buy(110, 5), sell(100, 0)})},
       {amihud, amihud, kNone, 0.0}},
      {"amihud zero size before any value", "AmihudIlliquidity", {1},
       {trade_bar({buy(100, 0)}), trade_bar({buy(100, 1)}), trade_bar({buy(100, 0)})},
       {kNone, kNone, kNone}},
      {"roll, equal steps", "RollMeasure", {3}, prints({buy(1, 1), buy(2, 1), buy(3, 1), buy(4, 1)}),
       {kNone, kNone, kNone, 0.0}},
      {"roll, bounce", "RollMeasure", {3},
       prints({buy(10, 1), sell(11, 1), buy(10, 1), sell(11, 1)}),
       {kNone, kNone, kNone, 2.0 * std::sqrt(8.0 / 9.0)}},
      {"kyle", "KylesLambda", {2},
       {quoted({buy(1, 1)}, 99, 101), quoted({buy(1, 1)}, 100, 102), quoted({buy(1, 3)}, 102, 104)},
       {kNone, kNone, 0.5}},
      {"kyle, equal sizes", "KylesLambda", {2},
       {quoted({buy(1, 2)}, 99, 101), quoted({buy(1, 2)}, 100, 102), quoted({buy(1, 2)}, 102, 104)},
       {kNone, kNone, 0.0}},
      {"kyle, later prints of a bar move no mid", "KylesLambda", {2},
       {quoted({buy(1, 1)}, 99, 101), quoted({buy(1, 1), sell(1, 1)}, 101, 103)}, {kNone, 1.0}},
      {"realized spread", "RealizedSpread", {1},
       {trade_bar({buy(101, 1)}, 100.0), trade_bar({sell(101, 1)}, 102.0)}, {kNone, -200.0}},
      {"realized spread, unusable mid", "RealizedSpread", {1},
       {trade_bar({buy(101, 1)}, 100.0), trade_bar({sell(101, 1)}, 0.0),
        trade_bar({sell(101, 1)}, 102.0)},
       {kNone, kNone, -200.0}},
  });
}

TEST(Vpin, BucketsOfVolume) {
  check_bar_cases({
      {"n buckets at once", "Vpin", {10, 2}, {trade_bar({buy(1, 20)})}, {1.0}},
      {"balanced bucket", "Vpin", {10, 2}, {trade_bar({buy(1, 20)}), trade_bar({buy(1, 5), sell(1, 5)})},
       {1.0, 0.5}},
      {"filling", "Vpin", {10, 2}, {trade_bar({buy(1, 15)}), trade_bar({sell(1, 4)}), trade_bar({sell(1, 1)})},
       {kNone, kNone, 0.5}},
      {"huge print keeps its remainder", "Vpin", {1, 2},
       {trade_bar({buy(1, 1000000.5)}), trade_bar({sell(1, 0.5)})}, {1.0, 0.5}},
  });
}

TEST(Vpin, InfinitePrintFillsTheWindow) {
  // The snapshot filter drops such prints; the step still handles one.
  const double inf = std::numeric_limits<double>::infinity();
  check_bar_cases({
      {"+inf", "Vpin", {1, 2}, {trade_bar({buy(1, inf)}), trade_bar({sell(1, 0.5)})}, {1.0, 1.0}},
      {"-inf", "Vpin", {1, 2}, {trade_bar({buy(1, -inf)})}, {kNone}},
  });
}

}  // namespace
}  // namespace fendro::testing::orderflow
