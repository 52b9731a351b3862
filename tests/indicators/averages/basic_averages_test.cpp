// The simple, weighted and exponential averages, built through the registry.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "fendro/indicators/windows/ema_state.hpp"
#include "fendro/registry/registry.hpp"
#include "indicators/testing.hpp"

namespace fendro {
namespace {

using testing::kNone;
using testing::make;
using testing::run_closes;
using testing::Values;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(BasicAverages, HandValues) {
  const std::vector<testing::CloseCase> cases = {
      {"Sma", {3}, {1, 2, 3, 4}, {kNone, kNone, 2.0, 3.0}},
      {"Sma", {1}, {5, -2, 7.5}, {5.0, -2.0, 7.5}},
      {"Wma", {3}, {1, 2, 3, 4}, {kNone, kNone, 14.0 / 6, 20.0 / 6}},
      {"Trima", {4}, {1, 2, 3, 4, 5}, {kNone, kNone, kNone, 2.5, 3.5}},
      {"Trima", {1}, {4, 6}, {4.0, 6.0}},
      {"Ema", {3}, {1, 2, 3, 4}, {kNone, kNone, 2.0, 3.0}},
      {"Ema", {1}, {3, -1}, {3.0, -1.0}},
      {"Dema", {2}, {1, 2, 3}, {kNone, kNone, 3.0}},
      {"Tema", {1}, {3, -1}, {3.0, -1.0}},
      {"Smma", {3}, {1, 2, 3, 6}, {kNone, kNone, 2.0, 10.0 / 3}},
      {"T3", {1, 0.7}, {3, -1}, {3.0, -1.0}},
  };
  for (const auto& k : cases) EXPECT_EQ(run_closes(k.key, k.params, k.closes), k.want) << k.key;
}

// With v = 0 only the third stage counts (c4 = 1); with v = 1 the weights are
// -1, 6, -12, 8 on stages six to three.
TEST(BasicAverages, T3BlendsItsLastFourStages) {
  const std::vector<double> xs = {10, 11, 9, 12, 14, 13, 15, 16, 14, 18, 17, 19};
  for (double v : {0.0, 1.0}) {
    std::vector<EmaState> stages(6, EmaState::of_period(2));
    Values want;
    for (double x : xs) {
      std::optional<double> e[6];
      double in = x;
      bool ok = true;
      for (int k = 0; k < 6 && ok; ++k) {
        e[k] = ema_update(stages[static_cast<std::size_t>(k)], in);
        ok = e[k].has_value();
        if (ok) in = *e[k];
      }
      if (!ok) {
        want.push_back(kNone);
      } else if (v == 0.0) {
        want.push_back(*e[2]);
      } else {
        want.push_back(((*e[5] * -1.0 + *e[4] * 6.0) + *e[3] * -12.0) + *e[2] * 8.0);
      }
    }
    EXPECT_EQ(run_closes("T3", {2, v}, xs), want) << v;
  }
}

TEST(BasicAverages, FirstValueOnTheWarmupBar) {
  const std::vector<Candle> series = testing::random_walk(200, 5);
  for (const char* key : {"Sma", "Wma", "Trima", "Ema", "Dema", "Tema", "Smma"}) {
    for (double n : {1.0, 2.0, 3.0, 7.0, 10.0}) {
      IndicatorPtr ind = make(key, {n, 0.7});
      ASSERT_TRUE(ind);
      const Values v = testing::run(*ind, series);
      std::size_t first = 0;
      while (first < v.size() && !v[first]) ++first;
      EXPECT_EQ(first + 1, ind->warmup_period()) << key << " " << n;
      for (std::size_t i = first; i < v.size(); ++i) ASSERT_TRUE(v[i] && std::isfinite(*v[i])) << key;
    }
  }
  for (double n : {1.0, 2.0, 5.0}) {
    IndicatorPtr ind = make("T3", {n, 0.7});
    const Values v = testing::run(*ind, series);
    std::size_t first = 0;
    while (first < v.size() && !v[first]) ++first;
    EXPECT_EQ(first + 1, ind->warmup_period()) << "T3 " << n;
    EXPECT_EQ(ind->warmup_period(), static_cast<std::uint64_t>(6 * n - 5));
  }
}

// A bar whose close is not finite leaves every average as if it had not come.
TEST(BasicAverages, NonFiniteCloseLeavesStateUntouched) {
  const std::vector<Candle> clean = testing::random_walk(120, 9);
  std::vector<Candle> dirty;
  std::vector<bool> inserted;
  for (std::size_t i = 0; i < clean.size(); ++i) {
    if (i % 7 == 3) {
      Candle bad = clean[i];
      bad.close = (i % 2 == 0) ? kNaN : -std::numeric_limits<double>::infinity();
      dirty.push_back(bad);
      inserted.push_back(true);
    }
    dirty.push_back(clean[i]);
    inserted.push_back(false);
  }
  for (const char* key : {"Sma", "Wma", "Trima", "Ema", "Dema", "Tema", "T3", "Smma"}) {
    IndicatorPtr a = make(key, {4, 0.5});
    IndicatorPtr b = make(key, {4, 0.5});
    const Values want = testing::run(*a, clean);
    const Values got = testing::run(*b, dirty);
    Values kept;
    for (std::size_t i = 0; i < got.size(); ++i) {
      if (inserted[i]) {
        EXPECT_FALSE(got[i]) << key;
      } else {
        kept.push_back(got[i]);
      }
    }
    EXPECT_EQ(kept, want) << key;
    EXPECT_TRUE(b->outputs().empty());
  }
}

TEST(BasicAverages, ConstructionFailures) {
  const std::string max_text =
      "invalid period: period exceeds the maximum supported window length (see MAX_PERIOD)";
  const std::string t3_text = "invalid period: T3 volume factor must be a finite value in [0.0, 1.0]";
  struct Case {
    const char* key;
    std::vector<double> params;
    std::string want;  // the reason after "invalid parameters for indicator <key>: "
  };
  std::vector<Case> cases;
  for (const char* key : {"Sma", "Wma", "Trima", "Ema", "Dema", "Tema", "Smma"}) {
    cases.push_back({key, {1e-20}, "period must be greater than zero"});
    cases.push_back({key, {16777217}, max_text});
    cases.push_back({key, {1e300}, max_text});
  }
  cases.push_back({"T3", {1e-20, 2}, "period must be greater than zero"});
  cases.push_back({"T3", {16777217, kNaN}, "parameter #1 must be finite"});
  cases.push_back({"T3", {16777217, 0.5}, max_text});
  cases.push_back({"T3", {5, 1.5}, t3_text});
  cases.push_back({"T3", {5, -0.1}, t3_text});
  cases.push_back({"T3", {5}, "missing parameter #1"});
  for (const Case& k : cases) {
    auto r = build_indicator(k.key, k.params);
    ASSERT_FALSE(r.ok()) << k.key;
    EXPECT_EQ(r.error().display(), "invalid parameters for indicator " + std::string(k.key) + ": " + k.want);
  }
  for (const char* key : {"Sma", "Wma", "Trima", "Ema", "Dema", "Tema", "Smma"}) {
    IndicatorPtr ind = make(key, {16777216});
    ASSERT_TRUE(ind);
  }
  for (double v : {0.0, -0.0, 1.0}) EXPECT_TRUE(make("T3", {3, v}));
}

}  // namespace
}  // namespace fendro
