// The bar loop's shortcuts against the plain computations they stand for:
// the rule window's values written in place, and the drawdown taken once per
// peak rather than on every bar.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <deque>
#include <limits>
#include <optional>
#include <vector>

#include "fendro/strategy/report.hpp"
#include "fendro/strategy/rule_window.hpp"

namespace fendro {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The window against a plain list of the newest records, over capacities and
// key counts small enough to wrap many times; values are written before each
// push, some keys left absent, and every record read back after each push.
TEST(RuleWindowBlocks, MatchAListOfTheNewestRecords) {
  using Values = std::vector<std::optional<double>>;
  for (std::uint64_t capacity = 1; capacity <= 5; ++capacity) {
    for (std::size_t keys = 0; keys <= 3; ++keys) {
      RuleWindow window(capacity, keys);
      std::deque<std::pair<std::int64_t, Values>> model;
      for (std::int64_t bar = 0; bar < 23; ++bar) {
        Values written(keys);
        for (std::size_t k = 0; k < keys; ++k) {
          if ((bar + static_cast<std::int64_t>(k)) % 3 != 0) written[k] = static_cast<double>(bar * 10) + k;
        }
        // The oldest record is still whole while the next one's values are written.
        for (std::size_t k = 0; k < keys; ++k) {
          if (written[k]) window.next_values()[k] = *written[k];
        }
        if (!model.empty()) {
          ASSERT_EQ(window.record(0).candle.time, model.front().first);
          for (std::size_t k = 0; k < keys; ++k) ASSERT_EQ(window.value(0, k), model.front().second[k]);
        }
        window.push(Candle{bar, 0, 0, 0, 0, 0});
        model.emplace_back(bar, written);
        if (model.size() > capacity) model.pop_front();
        ASSERT_EQ(window.size(), model.size());
        for (std::uint64_t i = 0; i < model.size(); ++i) {
          const BarRecord r = window.record(i);
          ASSERT_EQ(r.candle.time, model[i].first) << "capacity " << capacity << " keys " << keys;
          for (std::size_t k = 0; k < keys; ++k) {
            ASSERT_EQ(r.values[k], model[i].second[k]) << "bar " << bar << " record " << i << " key " << k;
            ASSERT_EQ(window.values_at(i)[k], model[i].second[k]);
          }
        }
        for (const auto& v : window.next_values()) ASSERT_FALSE(v.has_value());
      }
    }
  }
}

// The drawdown as a plain walk computes it on every bar.
double plain_max_drawdown(const std::vector<double>& curve) {
  double peak = -kInf;
  double most = 0.0;
  for (double e : curve) {
    if (e > peak) peak = e;
    if (peak > 0.0) {
      const double d = ((peak - e) / peak) * 100.0;
      if (d > most) most = d;
    }
  }
  return most;
}

TEST(CurveWalk, DrawdownOncePerPeakMatchesEveryBar) {
  const std::vector<std::vector<double>> curves = {
      {},
      {100.0},
      {100.0, 90.0, 95.0, 80.0, 120.0, 60.0, 130.0},
      {100.0, kNaN, 50.0, kNaN, 200.0},
      {-5.0, -10.0, 0.0, -1.0, 3.0, 1.0},
      {0.0, -0.0, -3.0},
      {-kInf, 10.0, 5.0},
      {10.0, -kInf, 20.0},
      {10.0, kInf, 5.0, kInf},
      {1e308, -1e308, 1e-300, 1e308},
      {100.0, 100.0, 99.999999999999, 100.0, 99.0},
  };
  for (const auto& curve : curves) {
    CurveWalk walk;
    for (double e : curve) walk.add(e);
    const double want = plain_max_drawdown(curve);
    EXPECT_EQ(std::signbit(walk.max_drawdown()), std::signbit(want));
    if (std::isnan(want)) {
      EXPECT_TRUE(std::isnan(walk.max_drawdown()));
    } else {
      EXPECT_EQ(walk.max_drawdown(), want) << "curve of " << curve.size();
    }
  }
}

}  // namespace
}  // namespace fendro
