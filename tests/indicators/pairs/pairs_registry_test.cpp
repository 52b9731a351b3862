// The pair and regime family through the registry: the table, construction
// messages in check order, warm-up timing, dropped bars, named outputs and a
// long run over random walks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "fendro/registry/families.hpp"
#include "indicators/family_checks.hpp"
#include "indicators/two_series.hpp"

namespace fendro::testing::pairs {
namespace {

const std::vector<TwoSeriesKey>& pair_keys() {
  static const std::vector<TwoSeriesKey> keys = two_series_keys(registry::pair_regime_entries());
  return keys;
}

TEST(PairsRegistry, ConstructionMessagesInCheckOrder) {
  family::expect_build_reasons({
      {"BetaNeutralSpread", {1}, "invalid period: beta-neutral spread needs period >= 2"},
      {"BetaNeutralSpread", {kOver}, kMax},
      {"BetaNeutralSpread", {2}, ""},
      {"DistanceSsd", {1}, "invalid period: distance SSD needs period >= 2"},
      {"HasbrouckInformationShare", {5}, "invalid period: information share needs period >= 6"},
      {"HasbrouckInformationShare", {kOver}, kMax},
      {"OuHalfLife", {2}, "invalid period: OU half-life needs period >= 3"},
      {"PairwiseBeta", {1}, "invalid period: pairwise beta needs period >= 2"},
      {"SpreadAr1Coefficient", {2}, "invalid period: AR(1) spread coefficient needs period >= 3"},
      {"SpreadHurst", {7}, "invalid period: spread Hurst needs period >= 8"},
      {"SpreadHurst", {8}, ""},
      {"TrendLabel", {1}, "invalid period: trend label needs period >= 2"},
      {"TrendLabel", {kOver}, kMax},
      {"GrangerCausality", {4, 1}, "invalid period: granger causality needs period >= 3*lag + 2"},
      {"GrangerCausality", {5, 1}, ""},
      {"GrangerCausality", {5, kOver}, kMax},
      {"GrangerCausality", {kOver, 1}, kMax},
      {"PairSpreadZScore", {1, 1}, "invalid period: pair spread z-score needs beta_period >= 2"},
      {"PairSpreadZScore", {kOver, 1}, kMax},
      {"PairSpreadZScore", {2, 1}, "invalid period: pair spread z-score needs z_period >= 2"},
      {"PairSpreadZScore", {2, kOver}, kMax},
      {"Cointegration", {5, 1}, "invalid period: cointegration needs period >= 2*adf_lags + 4"},
      {"Cointegration", {6, 1}, ""},
      {"Cointegration", {kOver, 1}, kMax},
      // 2 * adf_lags + 4 must not wrap around for a huge lag count.
      {"Cointegration", {10, 1e30}, "invalid period: cointegration needs period >= 2*adf_lags + 4"},
      {"KalmanHedgeRatio", {1.0, 1.0}, "invalid parameter: kalman hedge ratio needs delta in (0, 1)"},
      {"KalmanHedgeRatio", {0.5, 0.0}, "invalid parameter: kalman hedge ratio needs observation_var > 0"},
      {"KalmanHedgeRatio", {0.0, 0.0}, "invalid parameter: kalman hedge ratio needs delta in (0, 1)"},
      {"KalmanHedgeRatio", {-0.0, 1.0}, "invalid parameter: kalman hedge ratio needs delta in (0, 1)"},
      {"KalmanHedgeRatio", {0.5, -1.0}, "invalid parameter: kalman hedge ratio needs observation_var > 0"},
      {"KalmanHedgeRatio", {2.0}, "missing parameter #1"},
      {"LeadLagCrossCorrelation", {1, 1}, "invalid period: lead-lag cross-correlation needs window >= 2"},
      {"LeadLagCrossCorrelation", {kOver, 1}, kMax},
      {"LeadLagCrossCorrelation", {2, kOver}, kMax},
      {"RelativeStrengthAB", {kOver, 14}, kMax},
      {"RelativeStrengthAB", {5, kOver}, kMax},
      {"SpreadBollingerBands", {1, 2.0}, "invalid period: spread bollinger bands needs period >= 2"},
      {"SpreadBollingerBands", {kOver, 2.0}, kMax},
      {"SpreadBollingerBands", {2, 0.0}, "invalid parameter: spread bollinger bands needs num_std > 0"},
      {"SpreadBollingerBands", {2, -1.0}, "invalid parameter: spread bollinger bands needs num_std > 0"},
      {"RegimeLabel", {1, 1}, "invalid period: regime label needs vol_period >= 2"},
      {"RegimeLabel", {kOver, 1}, kMax},
      {"RegimeLabel", {2, 1}, "invalid period: regime label needs lookback >= 2"},
      {"RegimeLabel", {2, kOver}, kMax},
      {"SeasonalZScore", {-720}, ""},
      {"SeasonalZScore", {0.5}, "parameter #0 must be an i32, got 0.5"},
      {"TurnOfMonth", {0, 0, 0}, "period must be greater than zero"},
      {"TurnOfMonth", {0, 3, 0}, ""},
      {"TurnOfMonth", {3, 0, 0}, ""},
      {"TurnOfMonth", {-1, 3, 0}, "parameter #0 must be a u32, got -1"},
      {"VolatilityCone", {1, 5}, "invalid period: volatility cone window and lookback must both be >= 2"},
      {"VolatilityCone", {5, 1}, "invalid period: volatility cone window and lookback must both be >= 2"},
      // No upper bound: both windows grow only with the bars seen.
      {"VolatilityCone", {kOver, kOver}, ""},
  });
}

// Bars with a reference from a second random walk (the time advances one
// hour per bar, so the calendar types see many hours and dates).
struct PairSeries {
  std::vector<Candle> candles;
  std::vector<double> reference;
};

PairSeries pair_series(std::size_t n, std::uint64_t seed) {
  PairSeries s{random_walk(n, seed), reference_walk(n, seed + 100)};
  for (std::size_t i = 0; i < n; ++i) s.candles[i].time = static_cast<std::int64_t>(i) * 3600000;
  return s;
}

// A dropped bar leaves everything as if it had never come: every later value
// and output matches a run without it, bit for bit.
TEST(PairsRegistry, DroppedBarsChangeNothing) {
  const PairSeries s = pair_series(300, 5);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  Candle nan_close = s.candles[10];
  nan_close.close = nan;
  Candle inverted = s.candles[10];  // finite close, high below low
  std::swap(inverted.high, inverted.low);
  struct Bad {
    const char* what;
    Candle candle;
    std::optional<double> reference;
  };
  const Bad bads[] = {
      {"no reference", s.candles[10], std::nullopt},
      {"NaN reference", s.candles[10], nan},
      {"infinite reference", s.candles[10], std::numeric_limits<double>::infinity()},
      {"NaN close", nan_close, 50.0},
      {"inverted candle", inverted, 50.0},
      {"negative close", flat(-3.0), 50.0},
  };
  // The bad bars each kind of key drops (the others are ordinary input).
  const std::map<std::string, std::vector<std::string>> dropped_by = {
      {"two-series", {"no reference", "NaN reference", "infinite reference", "NaN close"}},
      {"TrendLabel", {"NaN close"}},
      {"RegimeLabel", {"NaN close", "negative close"}},
      {"SeasonalZScore", {"NaN close", "inverted candle"}},
      {"TurnOfMonth", {"NaN close", "inverted candle"}},
      {"VolatilityCone", {"NaN close", "inverted candle"}},
  };
  for (const TwoSeriesKey& k : pair_keys()) {
    const auto& drops = dropped_by.at(k.two_series ? "two-series" : k.key);
    for (const Bad& bad : bads) {
      if (std::find(drops.begin(), drops.end(), bad.what) == drops.end()) continue;
      IndicatorPtr clean = make(k.key, k.params);
      IndicatorPtr dirty = make(k.key, k.params);
      ASSERT_TRUE(clean && dirty);
      for (std::size_t i = 0; i < s.candles.size(); ++i) {
        if (i % 37 == 0 || i == 1) {
          EXPECT_FALSE(step_pair(*dirty, bad.candle, bad.reference)) << k.key << " " << bad.what;
        }
        const auto want = step_pair(*clean, s.candles[i], s.reference[i]);
        const auto got = step_pair(*dirty, s.candles[i], s.reference[i]);
        ASSERT_TRUE(same_bar(want, got, *clean, *dirty)) << k.key << " " << bad.what << " bar " << i;
      }
    }
  }
}

// Over 10,000 bars: the first value on the warm-up bar, no outputs before
// it, then the listed names in order with the value first; every value and
// output finite, and the bounded statistics in their ranges.
TEST(PairsRegistry, LongRandomWalk) {
  const std::map<std::string, std::vector<std::string>> named = {
      {"VolatilityCone", {"current", "min", "median", "max", "percentile"}},
      {"SpreadBollingerBands", {"middle", "upper", "lower", "percent_b"}},
      {"Cointegration", {"hedge_ratio", "spread", "adf_stat"}},
      {"KalmanHedgeRatio", {"hedge_ratio", "intercept", "spread"}},
      {"LeadLagCrossCorrelation", {"correlation"}},
      {"RelativeStrengthAB", {"ratio", "ratio_ma", "ratio_rsi"}},
  };
  const std::map<std::string, std::pair<double, double>> ranges = {
      {"HasbrouckInformationShare", {0.0, 1.0}}, {"SpreadHurst", {0.0, 1.0}},
      {"LeadLagCrossCorrelation", {-1.0, 1.0}},  {"TrendLabel", {-1.0, 1.0}},
      {"RegimeLabel", {-1.0, 1.0}},             {"GrangerCausality", {0.0, 1e300}},
  };
  const PairSeries s = pair_series(10000, 11);
  for (const TwoSeriesKey& k : pair_keys()) {
    IndicatorPtr ind = make(k.key, k.params);
    ASSERT_TRUE(ind);
    EXPECT_TRUE(ind->outputs().empty()) << k.key;
    // The calendar studies give values only once a bucket or a turn-of-month
    // day has been seen; their warm-up is a lower bound.
    const bool exact = std::string(k.key) != "SeasonalZScore" && std::string(k.key) != "TurnOfMonth";
    const std::uint64_t warmup = ind->warmup_period();
    std::vector<std::string> names;
    std::size_t values = 0;
    for (std::size_t i = 0; i < s.candles.size(); ++i) {
      const auto v = step_pair(*ind, s.candles[i], s.reference[i]);
      if (exact) {
        ASSERT_EQ(v.has_value(), i + 1 >= warmup) << k.key << " bar " << i + 1 << " warm-up " << warmup;
      } else if (v && values == 0) {
        EXPECT_GE(i + 1, warmup) << k.key;
      }
      if (!v) continue;
      ++values;
      ASSERT_TRUE(std::isfinite(*v)) << k.key << " bar " << i;
      names.clear();
      for (const NamedOutput& o : ind->outputs()) {
        ASSERT_TRUE(std::isfinite(o.value)) << k.key;
        names.emplace_back(o.name);
      }
      if (!names.empty()) {
        ASSERT_EQ(ind->outputs()[0].value, *v) << k.key;
      }
      const auto r = ranges.find(k.key);
      if (r != ranges.end()) {
        ASSERT_GE(*v, r->second.first) << k.key;
        ASSERT_LE(*v, r->second.second) << k.key;
      }
    }
    EXPECT_GT(values, 50u) << k.key;  // the calendar studies too
    const auto it = named.find(k.key);
    EXPECT_EQ(names, it == named.end() ? std::vector<std::string>{} : it->second) << k.key;
  }
}

}  // namespace
}  // namespace fendro::testing::pairs
