// Hand-worked values of the pair, spread, regime and calendar types, and the
// degenerate windows that must give their fixed neutral values.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fendro/indicators/pairs/pair_solvers.hpp"
#include "fendro/util/math.hpp"
#include "indicators/pairs/pairs_testing.hpp"
#include "indicators/statistics/stats_testing.hpp"

namespace fendro::testing::pairs {
namespace {

TEST(PairValues, LastValueOfHandWorkedWindows) {
  const std::vector<double> zeros5(5, 0.0);
  const std::vector<double> halving = {16, 8, 4, 2, 1};
  const std::vector<double> rising = {1, 2, 3, 4, 5};
  const std::vector<double> flat5(5, 7.0);
  statistics::expect_pair_values({
      {"SpreadAr1Coefficient", {5}, halving, zeros5, 0.5, 0},
      {"OuHalfLife", {5}, halving, zeros5, 0.6931471805599453 / 0.5, 0},
      {"SpreadAr1Coefficient", {5}, rising, zeros5, 1.0, 0},
      {"OuHalfLife", {5}, rising, zeros5, 0.0, 0},  // constant steps: slope 0
      {"SpreadAr1Coefficient", {5}, flat5, zeros5, 0.0, 0},
      {"OuHalfLife", {5}, flat5, zeros5, 0.0, 0},
      {"SpreadHurst", {8}, std::vector<double>(8, 3.0), std::vector<double>(8, 1.0), 0.5, 0},
      // A straight line: the mean squared change grows as the lag squared.
      {"SpreadHurst", {16}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
       std::vector<double>(16, 0.0), 1.0, 1e-12},
      // Alternating: no growth with the lag at all.
      {"SpreadHurst", {16}, {0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1},
       std::vector<double>(16, 0.0), 0.0, 0},
      {"DistanceSsd", {3}, {2, 4, 6}, {1, 2, 3}, 0.0, 0},
      {"DistanceSsd", {3}, {1, 2, 3}, {1, 1, 1}, 5.0, 0},
      {"DistanceSsd", {3}, {0, 2, 3}, {1, 1, 1}, 0.0, 0},
      {"BetaNeutralSpread", {4}, {3, 5, 7, 9}, {1, 2, 3, 4}, 0.0, 0},
      {"BetaNeutralSpread", {4}, {1, 2, 4, 5}, {3, 3, 3, 3}, 5.0 - 3.0, 0},
      // ln A = 2 ln B: the log returns of A are twice those of B.
      {"PairwiseBeta", {3}, {1, 4, 9, 4}, {1, 2, 3, 2}, 2.0, 1e-12},
      {"PairwiseBeta", {2}, {1, 2, 3}, {5, 5, 5}, 0.0, 0},
      // B flat: hedge ratio 0, spread = A - mean A.
      {"Cointegration", {6, 1}, {1, 2, 4, 3, 5, 6}, std::vector<double>(6, 2.0), 0.0, 0},
      {"Cointegration", {6, 1}, {3, 5, 9, 7, 11, 13}, {1, 2, 4, 3, 5, 6}, 2.0, 1e-12},
      // A and B equal: no error-correction term to estimate, an even split.
      {"HasbrouckInformationShare", {6}, {1, 3, 2, 5, 4, 6, 9, 7}, {1, 3, 2, 5, 4, 6, 9, 7}, 0.5, 0},
  });
}

// The named outputs after the last bar.
std::vector<double> last_outputs(const std::string& key, const std::vector<double>& params,
                                 const std::vector<double>& a, const std::vector<double>& b) {
  IndicatorPtr ind = make(key, params);
  if (!ind) return {};
  run_pair(*ind, a, b);
  std::vector<double> out;
  for (const NamedOutput& o : ind->outputs()) out.push_back(o.value);
  return out;
}

TEST(PairValues, OutputsOfHandWorkedWindows) {
  struct Case {
    const char* key;
    std::vector<double> params;
    std::vector<double> a;
    std::vector<double> b;
    std::vector<double> want;  // the first outputs
  };
  const Case cases[] = {
      {"SpreadBollingerBands", {2, 1.0}, {2, 4}, {1, 1}, {2, 3, 1, 1}},
      {"SpreadBollingerBands", {3, 2.0}, {5, 6, 7}, {2, 3, 4}, {3, 3, 3, 0.5}},
      {"Cointegration", {6, 1}, {1, 2, 4, 3, 5, 6}, std::vector<double>(6, 2.0),
       {0.0, 6.0 - 3.5}},
      {"KalmanHedgeRatio", {0.5, 1.0}, {7}, {3}, {0, 0, 7}},
      {"RelativeStrengthAB", {2, 1}, {2, 6, 4}, {1, 2, 1}, {4, 3.5, 100}},
  };
  for (const Case& c : cases) {
    const auto got = last_outputs(c.key, c.params, c.a, c.b);
    ASSERT_GE(got.size(), c.want.size()) << c.key;
    for (std::size_t i = 0; i < c.want.size(); ++i) {
      EXPECT_NEAR(got[i], c.want[i], 1e-12) << c.key << " output " << i;
    }
  }
}

TEST(PairValues, CointegrationOfAnExactLinearCopy) {
  const auto b = reference_walk(60, 9);
  std::vector<double> a;
  for (double x : b) a.push_back(2.0 * x + 1.0);
  const auto out = last_outputs("Cointegration", {30, 2}, a, b);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_NEAR(out[0], 2.0, 1e-9);
  EXPECT_NEAR(out[1], 0.0, 1e-9);
  EXPECT_EQ(out[2], 0.0);  // vanishing residuals: no usable pivot
}

TEST(PairValues, CointegrationRejectsAWanderingSpreadLessThanAMeanRevertingOne) {
  const auto b = reference_walk(200, 21);
  SplitMix rng(5);
  std::vector<double> reverting;
  std::vector<double> wandering;
  double walk = 0.0;
  for (double x : b) {
    const double noise = rng.unit() - 0.5;
    walk = walk + noise;
    reverting.push_back(x + noise);
    wandering.push_back(x + walk);
  }
  const auto rev = last_outputs("Cointegration", {100, 1}, reverting, b);
  const auto wan = last_outputs("Cointegration", {100, 1}, wandering, b);
  ASSERT_EQ(rev.size(), 3u);
  ASSERT_EQ(wan.size(), 3u);
  EXPECT_LT(rev[2], -4.0);  // strongly mean reverting
  EXPECT_GT(wan[2], rev[2]);
}

TEST(PairValues, GrangerSeesALeadingSeriesAndIgnoresNoise) {
  const auto b = reference_walk(120, 31);
  SplitMix rng(8);
  std::vector<double> led;    // A follows B one bar later
  std::vector<double> noise;  // A unrelated to B
  double prev_b = b[0];
  for (double x : b) {
    led.push_back(prev_b + (rng.unit() - 0.5) * 0.01);
    noise.push_back(50.0 + rng.unit());
    prev_b = x;
  }
  const auto f_led = last_pair_value("GrangerCausality", {60, 2}, led, b);
  const auto f_noise = last_pair_value("GrangerCausality", {60, 2}, noise, b);
  ASSERT_TRUE(f_led && f_noise);
  EXPECT_GT(*f_led, 100.0);
  EXPECT_GE(*f_noise, 0.0);
  EXPECT_LT(*f_noise, 10.0);
}

TEST(PairValues, KalmanHedgeRatioLearnsAProportionalPair) {
  const auto b = reference_walk(400, 4);
  IndicatorPtr ind = make("KalmanHedgeRatio", {1e-3, 1e-2});
  ASSERT_TRUE(ind);
  // The first bar moves nothing: it reports the close as the spread.
  const auto first = step_pair(*ind, 2.0 * b[0], b[0]);
  ASSERT_TRUE(first);
  EXPECT_EQ(*first, 0.0);
  EXPECT_EQ(ind->outputs()[2].value, 2.0 * b[0]);
  for (std::size_t i = 1; i < b.size(); ++i) step_pair(*ind, 2.0 * b[i], b[i]);
  EXPECT_NEAR(ind->outputs()[0].value, 2.0, 0.05);
  EXPECT_LT(std::abs(ind->outputs()[2].value), 0.5);
}

TEST(PairValues, LeadLagFindsADelayedCopy) {
  const auto a = reference_walk(60, 12);
  std::vector<double> b(3, a[0]);
  b.insert(b.end(), a.begin(), a.end() - 3);  // B = A three bars late
  IndicatorPtr ind = make("LeadLagCrossCorrelation", {20, 4});
  ASSERT_TRUE(ind);
  const auto values = run_pair(*ind, a, b);
  EXPECT_FALSE(values[26].has_value());
  ASSERT_TRUE(values[27].has_value());  // window + 2 * max_lag = 28th bar
  EXPECT_NEAR(*values.back(), 1.0, 1e-12);
  // Mirrored: B three bars early.
  const auto mirrored = last_pair_value("LeadLagCrossCorrelation", {20, 4}, b, a);
  ASSERT_TRUE(mirrored);
  EXPECT_NEAR(*mirrored, 1.0, 1e-12);
}

TEST(PairValues, LeadLagOfAnOppositeSeriesIsMinusOne) {
  const auto a = reference_walk(40, 13);
  std::vector<double> b;
  for (double x : a) b.push_back(-3.0 * x);
  const auto v = last_pair_value("LeadLagCrossCorrelation", {10, 2}, a, b);
  ASSERT_TRUE(v);
  EXPECT_NEAR(*v, -1.0, 1e-12);
  // A flat B gives no correlation at any shift.
  const auto flat_b = last_pair_value("LeadLagCrossCorrelation", {10, 2}, a,
                                      std::vector<double>(40, 5.0));
  EXPECT_EQ(flat_b, 0.0);
}

TEST(PairValues, RelativeStrengthTimingAndReferenceRule) {
  IndicatorPtr ind = make("RelativeStrengthAB", {5, 14});
  ASSERT_TRUE(ind);
  EXPECT_EQ(ind->warmup_period(), 15u);
  const auto a = reference_walk(20, 2);
  for (std::size_t i = 0; i < 14; ++i) EXPECT_FALSE(step_pair(*ind, a[i], 10.0)) << i;
  EXPECT_FALSE(step_pair(*ind, a[14], 0.0));  // a zero reference is ignored
  const auto v = step_pair(*ind, a[14], -10.0);  // a negative one is accepted
  ASSERT_TRUE(v);
  EXPECT_EQ(*v, a[14] / -10.0);
  // A ratio that overflows is refused by both states: nothing changes.
  EXPECT_FALSE(step_pair(*ind, 1e300, 1e-300));
}

TEST(PairValues, PairSpreadZScoreTimingAndSign) {
  // B flat: beta 0, the log spread is ln A; with a window of two spreads the
  // z-score is +1 when the spread rose and -1 when it fell.
  IndicatorPtr ind = make("PairSpreadZScore", {3, 2});
  ASSERT_TRUE(ind);
  EXPECT_EQ(ind->warmup_period(), 4u);
  const std::vector<double> a = {1, 2, 3, 5, 4};
  std::vector<std::optional<double>> got;
  for (std::size_t i = 0; i < a.size(); ++i) {
    got.push_back(step_pair(*ind, a[i], cr::exp(1.0)));
    EXPECT_FALSE(step_pair(*ind, 0.0, 2.0));  // a zero close is ignored entirely
  }
  EXPECT_FALSE(got[2].has_value());
  ASSERT_TRUE(got[3] && got[4]);
  EXPECT_NEAR(*got[3], 1.0, 1e-9);
  EXPECT_NEAR(*got[4], -1.0, 1e-9);
}

TEST(PairValues, PairwiseBetaKeepsThePreviousPairOverDroppedBars) {
  const std::vector<double> a = {1, 4, 9, 16, 25};
  const std::vector<double> b = {1, 2, 3, 4, 5};
  IndicatorPtr clean = make("PairwiseBeta", {3});
  IndicatorPtr dirty = make("PairwiseBeta", {3});
  ASSERT_TRUE(clean && dirty);
  for (std::size_t i = 0; i < a.size(); ++i) {
    EXPECT_FALSE(step_pair(*dirty, a[i], -1.0));
    EXPECT_FALSE(step_pair(*dirty, 0.0, b[i]));
    const auto want = step_pair(*clean, a[i], b[i]);
    EXPECT_EQ(step_pair(*dirty, a[i], b[i]), want);
  }
  EXPECT_EQ(clean->warmup_period(), 4u);
}

TEST(PairSolvers, EliminationWithAndWithoutPivoting) {
  // [[2, 1], [1, 3]] x = [3, 5] -> x = (0.8, 1.4).
  std::vector<double> m = {2, 1, 1, 3};
  std::vector<double> r = {3, 5};
  std::vector<double> x(2);
  ASSERT_TRUE(fendro::pairs::solve_in_order(m, r, 2, x));
  EXPECT_NEAR(x[0], 0.8, 1e-15);
  EXPECT_NEAR(x[1], 1.4, 1e-15);
  // A zero leading pivot fails without row exchange.
  std::vector<double> swapped = {0, 1, 1, 0};
  std::vector<double> r2 = {1, 2};
  EXPECT_FALSE(fendro::pairs::solve_in_order(swapped, r2, 2, x));
  // The same system with pivoting: rows exchanged, solved.
  std::array<double, 16> m4 = {0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 4};
  std::array<double, 4> r4 = {1, 2, 6, 8};
  std::array<double, 4> x4{};
  ASSERT_TRUE(fendro::pairs::solve4_pivoting(m4, r4, x4));
  EXPECT_EQ(x4, (std::array<double, 4>{2, 1, 3, 2}));
  std::array<double, 16> singular = {1, 2, 0, 0, 2, 4, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  EXPECT_FALSE(fendro::pairs::solve4_pivoting(singular, r4, x4));
}

// --- candle-fed regime and calendar types ---

std::vector<std::optional<double>> run_closes_of(const std::string& key,
                                                 const std::vector<double>& params,
                                                 const std::vector<double>& closes) {
  IndicatorPtr ind = make(key, params);
  std::vector<std::optional<double>> out;
  if (!ind) return out;
  for (double c : closes) out.push_back(step(*ind, flat(c)));
  return out;
}

TEST(RegimeValues, TrendLabelSigns) {
  struct Case {
    std::vector<double> closes;
    double want;
  };
  const Case cases[] = {
      {{1, 2, 3}, 1.0}, {{3, 2, 1}, -1.0}, {{2, 2, 2}, 0.0}, {{3, 1, 3}, 0.0}, {{1, 5, 2}, 1.0},
  };
  for (const Case& c : cases) {
    const auto v = run_closes_of("TrendLabel", {3}, c.closes);
    ASSERT_TRUE(v.back()) << ::testing::PrintToString(c.closes);
    EXPECT_EQ(*v.back(), c.want) << ::testing::PrintToString(c.closes);
  }
}

TEST(RegimeValues, RegimeLabelFlagsAVolatilityBurst) {
  // Doubling closes: every log return equal, the volatility 0 throughout.
  std::vector<double> closes = {1, 2, 4, 8, 16, 32, 64};
  auto v = run_closes_of("RegimeLabel", {2, 4}, closes);
  for (std::size_t i = 0; i < 5; ++i) EXPECT_FALSE(v[i]) << i;  // vol_period + lookback - 1
  ASSERT_TRUE(v[5] && v[6]);
  EXPECT_EQ(*v[6], 0.0);
  closes.push_back(1.0);  // a crash: the volatility jumps above its upper quartile
  v = run_closes_of("RegimeLabel", {2, 4}, closes);
  EXPECT_EQ(v.back(), 1.0);
  closes.push_back(0.0);  // not positive: dropped
  v = run_closes_of("RegimeLabel", {2, 4}, closes);
  EXPECT_FALSE(v.back());
}

TEST(RegimeValues, VolatilityConeOutputsAndRepeatOnZeroClose) {
  IndicatorPtr ind = make("VolatilityCone", {2, 2});
  ASSERT_TRUE(ind);
  EXPECT_EQ(ind->warmup_period(), 4u);
  const std::vector<double> closes = {1, 2, 4, 8};
  std::optional<double> last;
  for (double c : closes) last = step(*ind, flat(c));
  ASSERT_TRUE(last);
  std::vector<double> outs;
  for (const NamedOutput& o : ind->outputs()) outs.push_back(o.value);
  EXPECT_EQ(outs, (std::vector<double>{0, 0, 0, 0, 100}));
  // A valid candle with a zero close repeats the last result.
  EXPECT_EQ(step(*ind, flat(0.0)), last);
  // Back to 1 from 8: a volatility above the earlier one.
  const auto v = step(*ind, flat(1.0));
  ASSERT_TRUE(v);
  const auto o = ind->outputs();
  EXPECT_GT(o[0].value, 0.0);                 // current
  EXPECT_EQ(o[1].value, 0.0);                 // min
  EXPECT_EQ(o[2].value, o[0].value * 0.5);    // median of {0, current}
  EXPECT_EQ(o[3].value, o[0].value);          // max
  EXPECT_EQ(o[4].value, 100.0);               // percentile
}

Candle at(std::int64_t time_ms, double close) {
  Candle c = flat(close);
  c.time = time_ms;
  return c;
}

constexpr std::int64_t kHour = 3600000;
constexpr std::int64_t kDay = 24 * kHour;

TEST(CalendarValues, SeasonalZScoreUsesTheBucketBeforeTheReturn) {
  IndicatorPtr ind = make("SeasonalZScore", {0});
  ASSERT_TRUE(ind);
  // Returns 1, 2, -0.5 at the same hour: the third is judged against {1, 2}.
  const std::vector<double> closes = {1, 2, 6, 3};
  std::vector<std::optional<double>> got;
  for (std::size_t i = 0; i < closes.size(); ++i) {
    got.push_back(step(*ind, at(static_cast<std::int64_t>(i) * kDay + 5 * kHour, closes[i])));
  }
  EXPECT_FALSE(got[0] || got[1] || got[2]);
  ASSERT_TRUE(got[3]);
  EXPECT_DOUBLE_EQ(*got[3], (-0.5 - 1.5) / std::sqrt(0.5));
  // Equal earlier returns: zero variance gives 0.
  IndicatorPtr flat_var = make("SeasonalZScore", {0});
  std::optional<double> v;
  const std::vector<double> doubling = {1, 2, 4, 2};
  for (std::size_t i = 0; i < doubling.size(); ++i) {
    v = step(*flat_var, at(static_cast<std::int64_t>(i) * kDay, doubling[i]));
  }
  EXPECT_EQ(v, 0.0);
}

TEST(CalendarValues, SeasonalZScoreBucketsByLocalHour) {
  // 23:30 and 00:10 UTC alternate: distinct hours at offset 0, both in local
  // hour 0 at offset +30 minutes.
  const std::int64_t base = 1710113400000;  // 2024-03-10 23:30 UTC
  const std::vector<Candle> bars = {at(base, 1), at(base + 40 * 60000, 2),
                                    at(base + kDay, 6), at(base + kDay + 40 * 60000, 3)};
  IndicatorPtr utc = make("SeasonalZScore", {0});
  IndicatorPtr shifted = make("SeasonalZScore", {30});
  std::optional<double> u;
  std::optional<double> s;
  for (const Candle& c : bars) {
    u = step(*utc, c);
    s = step(*shifted, c);
  }
  EXPECT_FALSE(u);
  ASSERT_TRUE(s);
  EXPECT_DOUBLE_EQ(*s, (-0.5 - 1.5) / std::sqrt(0.5));
}

TEST(CalendarValues, TurnOfMonthCountsFirstAndLastDays) {
  const std::int64_t jan30 = 1706616000000;  // 2024-01-30 12:00 UTC
  IndicatorPtr ind = make("TurnOfMonth", {1, 1, 0});
  ASSERT_TRUE(ind);
  std::vector<std::optional<double>> got;
  got.push_back(step(*ind, at(jan30, 1)));             // Jan 30 opens
  got.push_back(step(*ind, at(jan30 + kDay, 9)));      // Jan 31 (first measured date)
  got.push_back(step(*ind, at(jan30 + kDay + kHour, 2)));  // same date: replaces the close
  got.push_back(step(*ind, at(jan30 + 2 * kDay, 3)));  // Feb 1: Jan 31 counted, return 1
  got.push_back(step(*ind, at(jan30 + 2 * kDay + kHour, 7)));  // same date: same mean
  got.push_back(step(*ind, at(jan30 + 3 * kDay, 5)));  // Feb 2: Feb 1 counted, 7/2 - 1
  got.push_back(step(*ind, at(jan30 + 4 * kDay, 5)));  // Feb 3: Feb 2 not counted
  EXPECT_FALSE(got[0] || got[1] || got[2]);
  EXPECT_EQ(got[3], 1.0);
  EXPECT_EQ(got[4], 1.0);
  EXPECT_EQ(got[5], (1.0 + 2.5) / 2.0);
  EXPECT_EQ(got[6], (1.0 + 2.5) / 2.0);
}

TEST(CalendarValues, TurnOfMonthKnowsLeapYearsAndLongCounts) {
  struct Case {
    std::int64_t first_day;  // noon UTC of the first of three consecutive dates
    std::vector<double> params;
    std::optional<double> want;  // on the third date
  };
  const std::int64_t feb27 = 1709035200000;  // 2024-02-27
  const std::int64_t feb28 = 1709121600000;  // 2024-02-28
  const Case cases[] = {
      {feb28, {0, 1, 0}, 1.0},           // Feb 29 2024 is the last day
      {feb27, {0, 1, 0}, std::nullopt},  // Feb 28 2024 is not
      {feb27, {0, 40, 0}, 1.0},          // more last days than the month has: all count
      {feb28, {0, 1, -13 * 60}, std::nullopt},  // local dates a day earlier: Feb 28 measured
  };
  for (const Case& c : cases) {
    IndicatorPtr ind = make("TurnOfMonth", c.params);
    ASSERT_TRUE(ind);
    step(*ind, at(c.first_day, 1));
    step(*ind, at(c.first_day + kDay, 2));
    EXPECT_EQ(step(*ind, at(c.first_day + 2 * kDay, 4)), c.want)
        << ::testing::PrintToString(c.params);
  }
}

}  // namespace
}  // namespace fendro::testing::pairs
