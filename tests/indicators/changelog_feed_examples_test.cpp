// The CHANGELOG's examples of types fed more than candles (a reference
// series, an order book, a funding rate), which its `series` blocks cannot
// describe: each is run here on the series the CHANGELOG gives, and each
// value the newest version names is checked bit for bit.
#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "indicators/orderflow/orderflow_testing.hpp"
#include "indicators/pairs/pairs_testing.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

using orderflow::Bar;
using orderflow::book_bar;
using orderflow::tick_bar;

struct Named {
  std::size_t first_bar;  // counted from 1
  std::size_t last_bar;
  double want;
};

void expect_bars(const Values& got, const std::vector<Named>& named, const std::string& what) {
  for (const Named& n : named) {
    for (std::size_t bar = n.first_bar; bar <= n.last_bar; ++bar) {
      ASSERT_LE(bar, got.size()) << what;
      EXPECT_TRUE(same_value(got[bar - 1], n.want))
          << what << " bar " << bar << ": got "
          << (got[bar - 1] ? ::testing::PrintToString(*got[bar - 1]) : std::string("none"));
    }
  }
}

// Closes 7.77 7.81 7.74 7.9 7.7 7.85, then 7.77; the reference 0.3 0.31
// 0.29 0.33 0.32 0.28, then 0.3; 21 bars in all.
TEST(ChangelogFeedExamples, PairTypesOnFlatSeries) {
  std::vector<double> closes = {7.77, 7.81, 7.74, 7.9, 7.7, 7.85};
  std::vector<double> refs = {0.3, 0.31, 0.29, 0.33, 0.32, 0.28};
  closes.resize(21, 7.77);
  refs.resize(21, 0.3);
  struct Row {
    const char* key;
    std::vector<double> params;
    std::vector<Named> named;
  };
  const Row rows[] = {
      {"Beta", {4}, {{10, 11, 0.0}}},
      {"Alpha", {4, 0}, {{10, 11, 7.7699999999999996}}},
      {"TreynorRatio", {4, 0}, {{10, 11, 0.0}}},
      {"PearsonCorrelation", {4}, {{10, 11, 0.0}}},
      {"PairwiseBeta", {5}, {{12, 15, 0.0}}},
      {"RollingCovariance", {5}, {{12, 15, 0.0}}},
      {"PairSpreadZScore", {5, 3}, {{11, 11, 1.4138373590881672}, {12, 12, 0.70710678118654657}, {15, 16, 0.0}}},
  };
  for (const Row& row : rows) {
    IndicatorPtr ind = make(row.key, row.params);
    ASSERT_TRUE(ind) << row.key;
    expect_bars(pairs::run_pair(*ind, closes, refs), row.named, row.key);
  }
}

// One level a side at bid 99 and ask 101, at six pairs of sizes, then the
// last book standing still.
TEST(ChangelogFeedExamples, OrderFlowImbalanceOnAStillBook) {
  const double sizes[][2] = {{0.37, 1.9}, {1.21, 0.61}, {0.503, 2.33}, {2.9, 0.4}, {0.77, 1.17}, {1.3, 0.9}};
  std::vector<Bar> bars;
  for (const auto& s : sizes) bars.push_back(book_bar({{99, s[0]}}, {{101, s[1]}}));
  bars.insert(bars.end(), 6, bars.back());
  expect_bars(orderflow::key_values("OrderFlowImbalance", {3}, bars), {{9, 9, 0.0}}, "OrderFlowImbalance");
}

// Eight rates, three times over, then 0.
TEST(ChangelogFeedExamples, FundingRateMeanOnceTheFeedStops) {
  const std::vector<double> eight = {0.0001, -0.00037, 0.00021, 0.00013, -0.00009, 0.0003, 0.00017, -0.00011};
  std::vector<Bar> bars;
  for (int round = 0; round < 3; ++round) {
    for (double r : eight) {
      DerivativesTick t;
      t.funding_rate = r;
      bars.push_back(tick_bar(t));
    }
  }
  for (int i = 0; i < 8; ++i) {
    DerivativesTick t;
    t.funding_rate = 0.0;
    bars.push_back(tick_bar(t));
  }
  expect_bars(orderflow::key_values("FundingRateMean", {5}, bars), {{29, 29, 0.0}}, "FundingRateMean");
}

}  // namespace
}  // namespace fendro::testing
