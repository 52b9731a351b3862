// T3 against a plain reading of its cascade of averages.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

#include "fendro/indicators/windows/ema_state.hpp"
#include "indicators/testing.hpp"

namespace fendro {
namespace {

using testing::kNone;
using testing::make;
using testing::run_closes;
using testing::Values;

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

}  // namespace
}  // namespace fendro
