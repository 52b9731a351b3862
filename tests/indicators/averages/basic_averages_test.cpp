// The simple, weighted and exponential averages, built through the registry:
// hand values and the bar of the first value at several lengths.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "indicators/testing.hpp"

namespace fendro {
namespace {

using testing::kNone;
using testing::make;
using testing::run_closes;
using testing::Values;

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
}

}  // namespace
}  // namespace fendro
