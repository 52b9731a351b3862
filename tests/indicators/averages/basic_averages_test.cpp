// The simple, weighted and exponential averages, built through the registry.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

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

// T3 written out: six EMAs of length n, each seeded on the mean of its first n
// inputs, alpha = 2 / (n + 1), blended as c1 e6 + c2 e5 + c3 e4 + c4 e3 with
// c1 = -v^3, c2 = 3v^2 + 3v^3, c3 = -6v^2 - 3v - 3v^3, c4 = 1 + 3v + v^3 + 3v^2.
Values textbook_t3(const std::vector<double>& xs, std::size_t n, double v) {
  struct Stage {
    std::vector<double> seed;
    std::optional<double> value;
  };
  const double alpha = 2.0 / (static_cast<double>(n) + 1.0);
  std::vector<Stage> stages(6);
  Values out;
  for (double x : xs) {
    std::optional<double> in = x;
    double e[6] = {};
    for (std::size_t k = 0; k < 6 && in; ++k) {
      Stage& s = stages[k];
      if (!s.value) {
        s.seed.push_back(*in);
        if (s.seed.size() == n) {
          double sum = 0.0;
          for (double y : s.seed) sum += y;
          s.value = sum / static_cast<double>(n);
        }
      } else {
        s.value = alpha * *in + (1.0 - alpha) * *s.value;
      }
      in = s.value;
      if (in) e[k] = *in;
    }
    if (!in) {
      out.push_back(kNone);
      continue;
    }
    const double c1 = -v * v * v, c2 = 3 * v * v + 3 * v * v * v;
    const double c3 = -6 * v * v - 3 * v - 3 * v * v * v, c4 = 1 + 3 * v + v * v * v + 3 * v * v;
    out.push_back(c1 * e[5] + c2 * e[4] + c3 * e[3] + c4 * e[2]);
  }
  return out;
}

TEST(BasicAverages, T3MatchesTheTextbookCascade) {
  const std::vector<Candle> walk = testing::random_walk(300, 5);
  std::vector<double> xs;
  for (const Candle& c : walk) xs.push_back(c.close);
  for (std::size_t n : {1u, 2u, 5u}) {
    for (double v : {0.0, 0.7, 1.0}) {
      const Values got = run_closes("T3", {static_cast<double>(n), v}, xs);
      const Values want = textbook_t3(xs, n, v);
      ASSERT_EQ(got.size(), want.size());
      for (std::size_t i = 0; i < got.size(); ++i) {
        ASSERT_EQ(got[i].has_value(), want[i].has_value()) << n << " " << v << " bar " << i;
        if (got[i]) {
          EXPECT_NEAR(*got[i], *want[i], 1e-9 * std::fabs(*want[i])) << n << " " << v;
        }
      }
      // First value on bar 6n - 5.
      EXPECT_EQ(make("T3", {static_cast<double>(n), v})->warmup_period(), 6 * n - 5);
    }
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

}  // namespace
}  // namespace fendro
