// Order-book measures: hand-computed values over small books.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "indicators/orderflow/orderflow_testing.hpp"

namespace fendro::testing::orderflow {
namespace {

const std::vector<BookLevel> kBids = {{99, 1}, {98, 2}, {97, 10}};
const std::vector<BookLevel> kAsks = {{101, 1}, {102, 3}};

TEST(BookReadings, ValuesOfOneBook) {
  struct Case {
    const char* what;
    const char* key;
    std::vector<double> params;
    Bar bar;
    double want;
  };
  const Case cases[] = {
      {"top1", "OrderBookImbalanceTop1", {}, book_bar({{99, 3}}, {{101, 1}}), 0.5},
      {"top1 no asks", "OrderBookImbalanceTop1", {}, book_bar({{99, 3}}, {}), 0.0},
      {"top1 zero sizes", "OrderBookImbalanceTop1", {}, book_bar({{99, 0}}, {{101, 0}}), 0.0},
      {"topN 2", "OrderBookImbalanceTopN", {2}, book_bar(kBids, kAsks), (3.0 - 4.0) / 7.0},
      {"topN past the book", "OrderBookImbalanceTopN", {10}, book_bar(kBids, kAsks), 9.0 / 17.0},
      {"topN no asks", "OrderBookImbalanceTopN", {2}, book_bar(kBids, {}), 1.0},
      {"topN empty", "OrderBookImbalanceTopN", {2}, book_bar({}, {}), 0.0},
      {"full", "OrderBookImbalanceFull", {}, book_bar(kBids, kAsks), 9.0 / 17.0},
      {"full no asks", "OrderBookImbalanceFull", {}, book_bar(kBids, {}), 1.0},
      {"spread", "QuotedSpread", {}, book_bar(kBids, kAsks), 200.0},
      {"spread no bids", "QuotedSpread", {}, book_bar({}, kAsks), 0.0},
      {"microprice", "Microprice", {}, book_bar({{99, 3}}, {{101, 1}}), 100.5},
      {"microprice zero sizes", "Microprice", {}, book_bar({{99, 0}}, {{102, 0}}), 100.5},
      {"microprice no asks", "Microprice", {}, book_bar(kBids, {}), 0.0},
      {"slope", "DepthSlope", {}, book_bar({{99, 1}, {98, 1}}, {{101, 1}, {102, 3}}), 2.0},
      {"slope one level", "DepthSlope", {}, book_bar({{99, 1}}, kAsks), 0.0},
      {"slope no asks", "DepthSlope", {}, book_bar(kBids, {}), 0.0},
      {"slope flat prices", "DepthSlope", {}, book_bar({{99, 1}, {99, 1}}, {{101, 1}, {101, 1}}),
       0.0},
  };
  for (const Case& c : cases) {
    expect_values(key_values(c.key, c.params, {c.bar, Bar{}}), {c.want, kNone}, c.what);
  }
}

TEST(OrderFlowImbalance, FlowAtTheBestQuotes) {
  const Bar b1 = book_bar({{99, 5}}, {{101, 4}});
  const Bar b2 = book_bar({{99, 7}}, {{101, 2}});   // unchanged prices: (7-5) - (2-4)
  const Bar b3 = book_bar({{100, 3}}, {{101, 2}});  // bid up: 3, ask unchanged: 0
  const Bar b4 = book_bar({{99, 1}}, {{100, 6}});   // bid down: -3, ask down: 6
  const Bar one_sided = book_bar({{50, 1}}, {});
  struct Case {
    const char* what;
    std::vector<double> params;
    std::vector<Bar> bars;
    Values want;
  };
  const Case cases[] = {
      {"period 1", {1}, {b1, b2, b3, b4}, {kNone, 4.0, 3.0, -9.0}},
      {"period 2", {2}, {b1, b2, b3, b4}, {kNone, kNone, 7.0, -6.0}},
      {"unusable books change nothing", {1}, {b1, one_sided, Bar{}, b2, one_sided, b3},
       {kNone, kNone, kNone, 4.0, kNone, 3.0}},
  };
  for (const Case& c : cases) {
    expect_values(key_values("OrderFlowImbalance", c.params, c.bars), c.want, c.what);
  }
}

// Books whose sizes change at uneven steps (flows whose running sum keeps a
// residue), `history` of them, then the same book over and over: a window of
// no flow sums to 0, also before the sum is next rebuilt.
TEST(OrderFlowImbalance, AStillBookSumsToZero) {
  for (const std::size_t history : {23u, 30u, 37u}) {
    std::vector<Bar> bars;
    for (std::size_t i = 0; i < history; ++i) {
      const double bid = 0.37 + 0.0113 * static_cast<double>(i % 7);
      const double ask = 1.9 - 0.0171 * static_cast<double>(i % 5);
      bars.push_back(book_bar({{99, bid}}, {{101, ask}}));
    }
    bars.insert(bars.end(), 45, book_bar({{99, 0.3}}, {{101, 7.77}}));
    const Values got = key_values("OrderFlowImbalance", {20}, bars);
    for (std::size_t i = history + 20; i < got.size(); ++i) {
      EXPECT_EQ(got[i], 0.0) << "after " << history << " books, bar " << i;
    }
  }
}

}  // namespace
}  // namespace fendro::testing::orderflow
