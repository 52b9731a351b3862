// The least-squares family: hand values, flat windows, and the anchored
// running sums against a refit of the whole window.
#include <cmath>
#include <deque>

#include "fendro/indicators/common/regression_window.hpp"
#include "fendro/util/math.hpp"
#include "indicators/copies_after_walk.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

constexpr double kDeg = 57.29577951308232;

TEST(LinearRegression, HandValues) {
  check_close_cases({
      // Period 2: the line runs through both closes.
      {"LinearRegression", {2}, {4, 7}, {kNone, 7.0}},
      {"LinRegIntercept", {2}, {4, 7}, {kNone, 4.0}},
      {"LinRegSlope", {2}, {4, 7}, {kNone, 3.0}},
      {"Tsf", {2}, {4, 7}, {kNone, 10.0}},
      // 1, 3, 5 lie on a line of slope 2; then 7 continues it.
      {"LinearRegression", {3}, {1, 3, 5, 7}, {kNone, kNone, 5.0, 7.0}},
      {"LinRegIntercept", {3}, {1, 3, 5}, {kNone, kNone, 1.0}},
      {"LinRegSlope", {3}, {1, 3, 5}, {kNone, kNone, 2.0}},
      {"LinRegAngle", {3}, {1, 3, 5}, {kNone, kNone, cr::atan(2.0) * kDeg}},
      {"Tsf", {3}, {1, 3, 5, 7}, {kNone, kNone, 7.0, 9.0}},
      {"CorrelationTrendIndicator", {3}, {1, 3, 5, 1, 3}, {kNone, kNone, 1.0, -0.5, -0.5}},
      {"CorrelationTrendIndicator", {3}, {5, 3, 1}, {kNone, kNone, -1.0}},
      {"LinRegChannel", {3, 2}, {1, 3, 5}, {kNone, kNone, 5.0}},
      // 1, 3, 2: slope 0.5, middle 2.5, residuals -0.5, 1, -0.5.
      {"LinRegChannel", {3, 2}, {1, 3, 2}, {kNone, kNone, 2.5 + std::sqrt(2.0)}},
      // Forecast 3 for a close of 2; a close of 0 repeats the last value.
      {"TsfOscillator", {2}, {1, 2, 0, 4}, {kNone, -50.0, -50.0, -100.0}},
      {"TsfOscillator", {2}, {0, 0, 3}, {kNone, kNone, -100.0}},
  });
}

TEST(LinearRegression, FlatWindow) {
  const std::vector<double> xs(7, 0.1);
  const Values still = run_closes("LinRegSlope", {5}, xs);
  const Values angle = run_closes("LinRegAngle", {5}, xs);
  const Values cti = run_closes("CorrelationTrendIndicator", {5}, xs);
  for (std::size_t i = 4; i < xs.size(); ++i) {
    EXPECT_NEAR(*still[i], 0.0, 1e-15);
    EXPECT_NEAR(*angle[i], 0.0, 1e-13);
    EXPECT_EQ(cti[i], 0.0) << i;  // no correlation, and never NaN
  }
  for (const char* key : {"LinearRegression", "LinRegIntercept", "Tsf"}) {
    const Values v = run_closes(key, {5}, xs);
    for (std::size_t i = 4; i < xs.size(); ++i) EXPECT_DOUBLE_EQ(*v[i], 0.1) << key;
  }
  IndicatorPtr ch = make("LinRegChannel", {5, 2});
  for (double x : xs) step(*ch, flat(x));
  const auto outs = ch->outputs();
  ASSERT_EQ(outs.size(), 3u);
  EXPECT_EQ(outs[0].name, "upper");
  EXPECT_EQ(outs[1].name, "middle");
  EXPECT_EQ(outs[2].name, "lower");
  EXPECT_NEAR(outs[0].value, outs[1].value, 1e-15);
  EXPECT_NEAR(outs[2].value, outs[1].value, 1e-15);
}

// The running sums (removal, re-anchoring every `period` pushes) agree with
// a plain least-squares fit of the window (x = 0 for the oldest close) on
// every bar, far from zero too.
TEST(LinearRegression, RunningSumsMatchARefit) {
  for (std::uint64_t period : {2u, 3u, 17u, 64u}) {
    for (double level : {100.0, 1e7}) {
      const auto cs = random_walk(1000, period, level);
      RegressionWindow w = regression_window_new(period, "").value();
      std::deque<double> window;
      for (const Candle& c : cs) {
        const auto fit = regression_push(w, c.close);
        window.push_back(c.close);
        if (window.size() > period) window.pop_front();
        if (window.size() < period) {
          EXPECT_FALSE(fit);
          continue;
        }
        ASSERT_TRUE(fit);
        const double n = static_cast<double>(period);
        double mx = 0.0, my = 0.0;
        for (std::size_t i = 0; i < window.size(); ++i) {
          mx += static_cast<double>(i) / n;
          my += window[i] / n;
        }
        double sxy = 0.0, sxx = 0.0;
        for (std::size_t i = 0; i < window.size(); ++i) {
          sxy += (static_cast<double>(i) - mx) * (window[i] - my);
          sxx += (static_cast<double>(i) - mx) * (static_cast<double>(i) - mx);
        }
        const double slope = sxy / sxx;
        EXPECT_NEAR(fit->slope, slope, 1e-9 * level / n);
        EXPECT_NEAR(fit->intercept, my - slope * mx, 1e-12 * level);
      }
    }
  }
}

// Once the window holds only copies, the line is flat through the price,
// though the sums rebuilt about a rounded mean still hold a residue.
TEST(LinearRegression, CopiesAfterAWalkReadTheFlatLine) {
  std::vector<CopiesCase> cases;
  for (const double n : {20.0, 64.0}) {
    const auto held = static_cast<std::size_t>(n);
    for (const char* key : {"LinearRegression", "LinRegIntercept", "Tsf"}) {
      cases.push_back({key, {n}, held, FlatRead::Price});
    }
    for (const char* key : {"LinRegSlope", "LinRegAngle", "TsfOscillator"}) {
      cases.push_back({key, {n}, held, FlatRead::Zero});
    }
  }
  expect_copies_read_flat(cases);
}

}  // namespace
}  // namespace fendro::testing
