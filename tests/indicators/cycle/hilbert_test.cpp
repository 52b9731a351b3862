// The Hilbert-transform engine and the types built on it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <algorithm>
#include <vector>

#include "fendro/indicators/cycle/hilbert_core.hpp"
#include "fendro/util/math.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing::cycle {
namespace {

using fendro::cycle::dc_period_clamp;
using fendro::cycle::dc_phasor_lookup;
using fendro::cycle::HilbertCycleState;
using fendro::cycle::hilbert_core_step;

TEST(HilbertCore, PeriodClimbsFromZeroTowardSix) {
  const auto closes = closes_of(random_walk(30, 4));
  HilbertCycleState s;
  std::vector<double> periods;
  for (double x : closes) {
    const bool reached = hilbert_core_step(s, x, nullptr);
    EXPECT_EQ(reached, s.bars >= 22) << s.bars;
    if (reached) periods.push_back(s.period);
  }
  ASSERT_GE(periods.size(), 5u);
  double p = 0.0;
  for (std::size_t i = 0; i < 5; ++i) {
    p = p * 0.8 + 6.0 * 0.2;
    EXPECT_EQ(periods[i], p) << i;
  }
  EXPECT_DOUBLE_EQ(periods[0], 1.2);
  EXPECT_DOUBLE_EQ(periods[1], 2.16);
}

// Steps 1 to 11 of the cycle engine written out plainly: histories newest
// first, FIR(h) = ((h0 A + h2 B) - h4 B) - h6 A, no fused operations.
struct PlainPhasor {
  std::vector<double> price, smooth, detrender, q1, i1;
  double i2 = 0.0, q2 = 0.0, re = 0.0, im = 0.0, period = 0.0;

  static void insert(std::vector<double>& h, double x, std::size_t cap) {
    h.insert(h.begin(), x);
    if (h.size() > cap) h.pop_back();
  }
  static double fir(const std::vector<double>& h) {
    return ((h[0] * 0.0962 + h[2] * 0.5769) - h[4] * 0.5769) - h[6] * 0.0962;
  }
  // The (I1, Q1) pair once both histories hold seven values.
  std::optional<std::pair<double, double>> push(double x) {
    if (!std::isfinite(x)) return std::nullopt;
    insert(price, x, 4);
    if (price.size() < 4) return std::nullopt;
    insert(smooth, (price[3] + ((price[0] * 4 + price[1] * 3) + (price[2] + price[2]))) / 10, 7);
    if (smooth.size() < 7) return std::nullopt;
    const double f = std::min(std::max(period, 6.0), 50.0) * 0.075 + 0.54;
    insert(detrender, fir(smooth) * f, 7);
    if (detrender.size() < 7) return std::nullopt;
    const double q = fir(detrender) * f;
    const double i = detrender[3];
    insert(q1, q, 7);
    insert(i1, i, 7);
    if (q1.size() < 7 || i1.size() < 7) return std::nullopt;
    const double ji = f * fir(i1), jq = f * fir(q1);
    const double i2_prev = i2, q2_prev = q2;
    i2 = i2_prev * 0.8 + (i - jq) * 0.2;
    q2 = (q + ji) * 0.2 + q2_prev * 0.8;
    re = re * 0.8 + (i2 * i2_prev + q2 * q2_prev) * 0.2;
    im = im * 0.8 + (i2 * q2_prev - q2 * i2_prev) * 0.2;
    const double eps = 2.220446049250313e-16;
    double raw = std::fabs(im) > eps && std::fabs(re) > eps ? 6.283185307179586 / cr::atan2(im, re) : period;
    raw = std::min(raw, 1.5 * period);
    raw = std::max(raw, 0.67 * period);
    raw = std::max(raw, 6.0);
    raw = std::min(raw, 50.0);
    period = period * 0.8 + raw * 0.2;
    return std::make_pair(i, q);
  }
};

// HtPhasor gives I1 with the outputs inphase (I1) and quadrature (Q1), from
// the 22nd finite close, bit for bit the plain engine; NaN closes do not count.
TEST(HilbertTypes, HtPhasorMatchesThePlainEngine) {
  std::vector<double> closes = closes_of(random_walk(400, 8));
  closes[10] = std::numeric_limits<double>::quiet_NaN();
  closes[200] = std::numeric_limits<double>::infinity();
  IndicatorPtr ind = make("HtPhasor", {});
  EXPECT_EQ(ind->warmup_period(), 22u);
  PlainPhasor model;
  std::size_t values = 0;
  for (std::size_t b = 0; b < closes.size(); ++b) {
    const auto want = model.push(closes[b]);
    const auto got = step(*ind, flat(closes[b]));
    ASSERT_EQ(got.has_value(), want.has_value()) << "bar " << b + 1;
    if (!want) {
      if (values == 0) {
        EXPECT_TRUE(ind->outputs().empty());
      }
      continue;
    }
    ++values;
    EXPECT_EQ(*got, want->first) << "bar " << b + 1;
    const auto outs = ind->outputs();
    ASSERT_EQ(outs.size(), 2u);
    EXPECT_EQ(outs[0].name, "inphase");
    EXPECT_EQ(outs[0].value, want->first) << "bar " << b + 1;
    EXPECT_EQ(outs[1].name, "quadrature");
    EXPECT_EQ(outs[1].value, want->second) << "bar " << b + 1;
  }
  EXPECT_EQ(values, closes.size() - 2 - 21);
}

TEST(HilbertCore, PeriodClamp) {
  struct Case {
    double sp;
    std::size_t available;
    std::size_t want;
  };
  const Case cases[] = {
      {2.5, 50, 3},  {2.49, 50, 2},  {0.2, 50, 1},  {0.0, 50, 1},
      {-7.0, 50, 1}, {80.0, 50, 50}, {20.0, 12, 12}, {std::nan(""), 50, 1},
      {1e300, 7, 7},
  };
  for (const Case& c : cases) EXPECT_EQ(dc_period_clamp(c.sp, c.available), c.want) << c.sp;
}

TEST(HilbertCore, PhasorTable) {
  EXPECT_TRUE(dc_phasor_lookup(0).empty());
  for (std::size_t n = 1; n <= 50; ++n) {
    const auto slice = dc_phasor_lookup(n);
    ASSERT_EQ(slice.size(), n);
    EXPECT_EQ(slice[0].sin, 0.0);
    EXPECT_EQ(slice[0].cos, 1.0);
    for (const auto& p : slice) EXPECT_NEAR(p.sin * p.sin + p.cos * p.cos, 1.0, 1e-15);
  }
  const auto quarter = dc_phasor_lookup(4);
  EXPECT_NEAR(quarter[1].sin, 1.0, 1e-15);
  EXPECT_NEAR(quarter[2].cos, -1.0, 1e-15);
  // One table for the whole process.
  EXPECT_EQ(dc_phasor_lookup(7).data(), dc_phasor_lookup(7).data());
}

// The sine of the phase, and FAMA as the second output of MAMA, bit for bit.
// The trend mode is a label, 1 or 0, and both occur; the phase stays at or
// below 315 degrees and the dominant cycle within (0, 50].
TEST(HilbertTypes, ValueRanges) {
  const auto series = random_walk(2000, 31);
  std::set<double> modes;
  for (const auto& v : key_values("HtTrendMode", {}, series)) {
    if (v) modes.insert(*v);
  }
  EXPECT_EQ(modes, (std::set<double>{0.0, 1.0}));
  for (const auto& v : key_values("AdaptiveCycle", {}, series)) {
    if (!v) continue;
    ASSERT_EQ(*v, std::round(*v));
    ASSERT_GE(*v, 3.0);
    ASSERT_LE(*v, 25.0);
  }
  for (const auto& v : key_values("SineWave", {}, series)) {
    if (v) {
      ASSERT_LE(std::abs(*v), 1.0);
    }
  }
  for (const auto& v : key_values("HtDcPhase", {}, series)) {
    if (v) {
      ASSERT_LE(*v, 315.0);
    }
  }
  for (const auto& v : key_values("HilbertDominantCycle", {}, series)) {
    if (v) {
      ASSERT_TRUE(*v > 0.0 && *v <= 50.0);
    }
  }
}

TEST(HilbertTypes, SiblingsAgree) {
  const auto series = random_walk(300, 12);
  const Values phase = key_values("HtDcPhase", {}, series);
  const Values sine = key_values("SineWave", {}, series);
  Values want;
  for (const auto& p : phase) {
    want.push_back(p ? std::optional(cr::sin(*p * 0.017453292519943295)) : std::nullopt);
  }
  EXPECT_TRUE(same_bits(sine, want));

  auto mama = make("Mama", {0.5, 0.05});
  ASSERT_TRUE(mama);
  EXPECT_TRUE(same_bits(run_output(*mama, series, 1), key_values("Fama", {0.5, 0.05}, series)));

  const Values cycle = key_values("HilbertDominantCycle", {}, series);
  const Values half = key_values("AdaptiveCycle", {}, series);
  for (std::size_t i = 0; i < cycle.size(); ++i) {
    ASSERT_EQ(cycle[i].has_value(), half[i].has_value());
    if (cycle[i]) {
      EXPECT_EQ(*half[i], std::min(std::max(std::round(0.5 * *cycle[i]), 3.0), 25.0));
    }
  }
}

// A constant close keeps both averages on it; the 33rd close gives the first pair.
TEST(HilbertTypes, MamaOnConstantClose) {
  auto mama = make("Mama", {0.5, 0.05});
  ASSERT_TRUE(mama);
  const Values got = run(*mama, flat_closes(std::vector<double>(40, 7.25)));
  for (std::size_t i = 0; i < got.size(); ++i) {
    ASSERT_EQ(got[i].has_value(), i + 1 >= 33) << i;
    if (got[i]) {
      EXPECT_DOUBLE_EQ(*got[i], 7.25);
    }
  }
  ASSERT_EQ(mama->outputs().size(), 2u);
  EXPECT_DOUBLE_EQ(mama->outputs()[1].value, 7.25);
}

// A NaN close does not move the bar counter: values still start on the 50th
// finite close.
TEST(HilbertTypes, NanClosesDoNotCount) {
  auto series = random_walk(60, 2);
  Candle gap = series[5];
  gap.close = std::numeric_limits<double>::quiet_NaN();
  series.insert(series.begin() + 5, 3, gap);
  for (const char* key : {"HtDcPhase", "HtTrendMode", "HilbertDominantCycle"}) {
    const Values got = key_values(key, {}, series);
    for (std::size_t i = 0; i < got.size(); ++i) {
      ASSERT_EQ(got[i].has_value(), i + 1 >= 53) << key << " bar " << i + 1;
    }
  }
}

// The rest of the engine on top of the plain steps 1 to 11: the smoothed
// period, the DC phase over the 50 newest smoothed prices, the adaptive
// averages and the trend-mode label, as their steps read.
struct PlainCycle {
  PlainPhasor core;
  std::vector<double> smooth50, close50;
  std::size_t bars = 0;
  double sp = 0.0, phase = 0.0;
  bool reached = false;  // steps 1 to 11 ran on this bar
  // Adaptive averages.
  double fast_limit = 0.5, slow_limit = 0.05, mama = 0.0, fama = 0.0, mama_phase = 0.0;
  // Trend mode.
  double it1 = 0.0, it2 = 0.0, it3 = 0.0, prev_phase = 0.0, prev_sine = 0.0, prev_lead = 0.0;
  double days = 0.0, trend = 0.0;

  static constexpr double kPi = 3.141592653589793;

  void push(double x) {
    reached = false;
    if (!std::isfinite(x)) return;
    ++bars;
    PlainPhasor::insert(close50, x, 50);
    const auto pair = core.push(x);
    const bool smoothed = core.price.size() == 4;
    if (smoothed) PlainPhasor::insert(smooth50, core.smooth[0], 50);
    if (smoothed && core.smooth.size() < 7) mama = fama = core.smooth[0];
    if (!pair) return;
    reached = true;
    sp = sp * 0.67 + core.period * 0.33;
    const auto [i1, q1] = *pair;
    const double p = std::fabs(i1) > 2.220446049250313e-16 ? cr::atan(q1 / i1) * 57.29577951308232 : mama_phase;
    const double alpha = std::max(fast_limit / std::max(mama_phase - p, 1.0), slow_limit);
    mama = x * alpha + mama * (1 - alpha);
    fama = fama * (1 - alpha * 0.5) + (alpha * 0.5) * mama;
    mama_phase = p;
    std::size_t n = 0;
    phase = dc_phase(n);
    step_trend(n);
  }

  double dc_phase(std::size_t& n) const {
    n = std::min(static_cast<std::size_t>(sp + 0.5), smooth50.size());
    if (n == 0) n = 1;
    double real = 0.0, imag = 0.0;
    for (std::size_t k = 0; k < n; ++k) {
      const double a = (static_cast<double>(k + k) * kPi) / static_cast<double>(n);
      real += cr::sin(a) * smooth50[k];
      imag += cr::cos(a) * smooth50[k];
    }
    double ph = std::fabs(imag) > 0.001 ? cr::atan(real / imag) * 57.29577951308232 + 90
                                        : (real < 0 ? 0.0 : 180.0);
    ph = 360 / sp + ph;
    if (imag < 0) ph += 180;
    if (ph > 315) ph -= 360;
    return ph;
  }

  void step_trend(std::size_t n) {
    const double sine = cr::sin((phase * kPi) / 180), lead = cr::sin(((phase + 45) * kPi) / 180);
    double sum = 0.0;
    for (std::size_t k = 0; k < n; ++k) sum += close50[k];
    const double itrend = sum / static_cast<double>(n);
    const double trendline = (it3 + ((itrend * 4 + it1 * 3) + (it2 + it2))) / 10;
    it3 = it2;
    it2 = it1;
    it1 = itrend;
    trend = 1;
    if ((sine > lead && prev_sine <= prev_lead) || (sine < lead && prev_sine >= prev_lead)) {
      days = 0;
      trend = 0;
    }
    days += 1;
    const double delta = phase - prev_phase;
    if ((sp != 0 && 241.20000000000002 / sp < delta && delta < 540 / sp) || days < 0.5 * sp) trend = 0;
    if (trendline != 0 && std::fabs((core.smooth[0] - trendline) / trendline) >= 0.015) trend = 1;
    prev_phase = phase;
    prev_sine = sine;
    prev_lead = lead;
  }
};

// Every Hilbert type against the plain engine over a walk with a few NaN
// closes: the smoothed period, its halved and limited form, the phase, its
// sine, the trend label from the 50th finite close; MAMA and FAMA from the
// 33rd.
TEST(HilbertTypes, EveryTypeMatchesThePlainEngine) {
  std::vector<double> closes = closes_of(random_walk(1500, 21));
  closes[30] = std::numeric_limits<double>::quiet_NaN();
  closes[700] = -std::numeric_limits<double>::infinity();
  const char* keys[] = {"HilbertDominantCycle", "AdaptiveCycle", "HtDcPhase", "SineWave",
                        "HtTrendMode", "Mama", "Fama"};
  std::vector<IndicatorPtr> inds;
  for (const char* key : keys) inds.push_back(make(key, std::string(key) == "Mama" || std::string(key) == "Fama"
                                                            ? std::vector<double>{0.5, 0.05}
                                                            : std::vector<double>{}));
  PlainCycle model;
  std::set<double> modes;
  for (std::size_t b = 0; b < closes.size(); ++b) {
    model.push(closes[b]);
    const bool late = model.reached && model.bars >= 50;
    const bool averages = model.reached && model.bars >= 33;
    const std::optional<double> want[] = {
        late ? std::optional(model.sp) : std::nullopt,
        late ? std::optional(std::min(std::max(std::round(0.5 * model.sp), 3.0), 25.0)) : std::nullopt,
        late ? std::optional(model.phase) : std::nullopt,
        late ? std::optional(cr::sin(model.phase * 0.017453292519943295)) : std::nullopt,
        late ? std::optional(model.trend) : std::nullopt,
        averages ? std::optional(model.mama) : std::nullopt,
        averages ? std::optional(model.fama) : std::nullopt,
    };
    for (std::size_t k = 0; k < inds.size(); ++k) {
      const auto got = step(*inds[k], flat(closes[b]));
      ASSERT_EQ(got.has_value(), want[k].has_value()) << keys[k] << " bar " << b + 1;
      if (got) {
        EXPECT_NEAR(*got, *want[k], 1e-9 * std::max(1.0, std::fabs(*want[k]))) << keys[k] << " bar " << b + 1;
      }
    }
    if (late) modes.insert(model.trend);
  }
  // The walk is long enough for both labels.
  EXPECT_EQ(modes, (std::set<double>{0.0, 1.0}));
}

}  // namespace
}  // namespace fendro::testing::cycle
