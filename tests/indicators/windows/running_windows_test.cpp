#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "fendro/indicators/windows/ema_state.hpp"
#include "fendro/indicators/windows/rolling_variance.hpp"
#include "fendro/indicators/windows/running_sum.hpp"
#include "fendro/indicators/windows/sma_window.hpp"
#include "fendro/indicators/windows/wma_window.hpp"
#include "fendro/indicators/windows/zero_run.hpp"
#include "indicators/series.hpp"

namespace fendro {
namespace {

using Values = std::vector<std::optional<double>>;

template <class W, class Step>
Values feed(W& w, Step step, const std::vector<double>& xs) {
  Values out;
  for (double x : xs) out.push_back(step(w, x));
  return out;
}

// 1e16 + 1 rounds to 1e16, so after the big input leaves, the running sum
// misses 1 until the exact re-summation at the 16n-th input repairs it. The
// inputs after it alternate 1 and 3, so the window never holds only copies.
TEST(SmaWindow, ExactResummationAtTheSixteenNthInput) {
  const std::uint64_t n = 2;
  SmaWindow w(n);
  std::vector<double> xs = {1e16};
  for (std::size_t i = 1; i < 16 * n + 2; ++i) xs.push_back(i % 2 == 1 ? 1.0 : 3.0);
  const Values v = feed(w, sma_update, xs);
  EXPECT_EQ(v[2], 1.5);             // drifted: true mean 2
  EXPECT_EQ(v[16 * n - 2], 1.5);    // input 16n - 1
  EXPECT_EQ(v[16 * n - 1], 2.0);    // input 16n: rebuilt
  EXPECT_EQ(v[16 * n], 2.0);
  EXPECT_EQ(w.pushes, 2u);
}

// The same drift on a window of copies is not read: n copies of 1 average 1.
TEST(SmaWindow, WindowOfCopiesReadsTheCopiedValue) {
  SmaWindow w(2);
  const Values v = feed(w, sma_update, {1e16, 1.0, 1.0, 1.0});
  EXPECT_EQ(w.sum, 1.0);  // the lost 1 the read leaves aside: true sum 2
  EXPECT_EQ(v[2], 1.0);
  EXPECT_EQ(v[3], 1.0);
}

// The mean from the window's own entries: free of the residue the running
// sum keeps of a dropped entry, a window of copies the copied value (14
// copies of 0.3 sum to 4.1999999999999993), a zero +0.0.
TEST(SmaWindow, ExactMeanReadsTheWindowsOwnEntries) {
  const struct {
    std::uint64_t n;
    std::vector<double> inputs;
    double mean;
  } rows[] = {
      {2, {1e16, 1.0, 3.0}, 2.0},                       // the running sum lost the 1: it reads 1.5
      {14, std::vector<double>(14, 0.3), 0.3},          // copies, whatever their sum
      {3, {0.1, 0.2, 0.4}, ((0.1 + 0.2) + 0.4) / 3.0},  // summed oldest to newest
      {2, {-0.0, -0.0}, 0.0},                           // a zero reads +0.0
  };
  for (const auto& row : rows) {
    SmaWindow w(row.n);
    feed(w, sma_update, row.inputs);
    const double mean = sma_exact_mean(w);
    EXPECT_EQ(mean, row.mean) << "window of " << row.n;
    EXPECT_FALSE(std::signbit(mean));
  }
}

// The rebuilt sum starts from -0.0, so a window of -0.0 sums to -0.0; its
// mean, a window of copies of 0, reads +0.0 as a fresh sum of zeros does.
TEST(SmaWindow, ResummationStartsFromNegativeZero) {
  SmaWindow w(1);
  std::optional<double> last;
  for (int i = 0; i < 16; ++i) last = sma_update(w, -0.0);
  ASSERT_TRUE(last);
  EXPECT_TRUE(std::signbit(w.sum));
  EXPECT_FALSE(std::signbit(*last));
}

// The drift grows by one per input until the first exact re-summation at
// input 17n (the turn completed while filling is not counted). The window
// then holds only copies of 1, so every value reads 1 exactly: the drift is
// seen in the sums, which keep their arithmetic.
TEST(WmaWindow, ExactResummationAfterSixteenTurns) {
  const std::uint64_t n = 2;
  std::vector<double> xs = {1e16};
  xs.resize(17 * n + 1, 1.0);
  const auto mean_after = [&xs](std::size_t inputs) {
    WmaWindow part(n);
    feed(part, wma_update, std::vector<double>(xs.begin(), xs.begin() + inputs));
    return part.weighted_sum / part.denominator;
  };
  EXPECT_EQ(mean_after(3), 4.0 / 3);            // true value 1
  EXPECT_EQ(mean_after(17 * n - 1), 34.0 / 3);  // input 17n - 1, still drifting
  EXPECT_EQ(mean_after(17 * n), 1.0);           // input 17n: rebuilt
  WmaWindow w(n);
  const Values v = feed(w, wma_update, xs);
  EXPECT_EQ(v[2], 1.0);  // a window of copies of 1 reads 1, whatever the sums hold
  EXPECT_EQ(v[17 * n - 2], 1.0);
  EXPECT_EQ(v[17 * n - 1], 1.0);
  EXPECT_EQ(v[17 * n], 1.0);
  EXPECT_EQ(w.turns, 0u);
}

// fma(alpha, x, round(oma * value)) rounds once; a separately rounded sum
// differs for these operands.
TEST(EmaState, StepIsOneFusedMultiplyAdd) {
  EmaState s = EmaState::with_alpha(1, 0.1);
  ASSERT_TRUE(ema_update(s, 1.0 / 4));
  const double kept = s.one_minus_alpha * s.value;
  const double x = 1.0 / 8.5;
  const double fused = std::fma(0.1, x, kept);
  ASSERT_NE(fused, 0.1 * x + kept) << "operands chosen so the roundings differ";
  EXPECT_EQ(*ema_update(s, x), fused);
}

TEST(RollingVariance, PopulationVarianceOfTheWindow) {
  RollingVariance v(2);
  v.push(1);
  v.push(3);
  EXPECT_EQ(v.population_variance(), 1.0);
  v.push(5);
  EXPECT_EQ(v.population_variance(), 1.0);
}

TEST(RollingVariance, TracksADirectComputation) {
  testing::SplitMix rng(3);
  for (std::uint64_t n : {1u, 2u, 5u, 20u}) {
    RollingVariance v(n);
    std::vector<double> all;
    for (int i = 0; i < 500; ++i) {
      const double x = 1e6 + rng.unit() * 10.0;
      v.push(x);
      all.push_back(x);
      if (all.size() < n) continue;
      double mean = 0.0;
      for (std::size_t k = all.size() - n; k < all.size(); ++k) mean += all[k];
      mean /= static_cast<double>(n);
      double ss = 0.0;
      for (std::size_t k = all.size() - n; k < all.size(); ++k) ss += (all[k] - mean) * (all[k] - mean);
      EXPECT_NEAR(v.population_variance(), ss / static_cast<double>(n), 1e-6) << n << " " << i;
    }
  }
}

TEST(RollingVariance, ReanchorsEveryNPushes) {
  RollingVariance v(3);
  for (double x : {2.0, 4.0}) v.push(x);
  EXPECT_EQ(v.anchor, 2.0);
  v.push(9.0);  // third push: K becomes the mean 5, sums rebuilt about it
  EXPECT_EQ(v.anchor, 5.0);
  EXPECT_EQ(v.s1, 0.0);
  EXPECT_EQ(v.s2, 9.0 + 1.0 + 16.0);
  EXPECT_EQ(v.pushes, 0u);
}

// 1e16 + 1 rounds to 1e16, so once the big term leaves, an adjusted sum
// misses 1 for good; a re-summed one is exact again at its next rebuild,
// every n pushes, whichever type counts them. A RunningSum does the one or
// the other as it was asked.
TEST(RunningSums, AdjustedDriftsResummedIsRebuiltEveryNPushes) {
  const std::vector<double> terms = {1e16, 1, 1, 1, 1};
  struct Sums {
    std::vector<double> adjusted, counted, counted_as_double, kept, rebuilt;
  } got;
  BoundedRing<double> a(2), b(2), c(2);
  double sa = 0.0, sb = 0.0, sc = 0.0;
  std::uint64_t pb = 0;
  double pc = 0.0;
  RunningSum kept(2, false), rebuilt(2, true);
  for (double t : terms) {
    push_adjusting_sum(a, sa, t);
    push_resumming(b, sb, pb, t);
    push_resumming(c, sc, pc, t);
    kept.push(t);
    rebuilt.push(t);
    got.adjusted.push_back(sa);
    got.counted.push_back(sb);
    got.counted_as_double.push_back(sc);
    got.kept.push_back(kept.sum());
    got.rebuilt.push_back(rebuilt.sum());
  }
  EXPECT_EQ(got.adjusted, (std::vector<double>{1e16, 1e16, 1, 1, 1}));
  // Rebuilt at pushes 2 and 4: 1e16 + 1 is still 1e16, then 1 + 1.
  EXPECT_EQ(got.counted, (std::vector<double>{1e16, 1e16, 1, 2, 2}));
  EXPECT_EQ(got.counted_as_double, got.counted);
  EXPECT_EQ(got.kept, got.adjusted);
  EXPECT_EQ(got.rebuilt, got.counted);
  EXPECT_EQ(pb, 1u);
  EXPECT_EQ(pc, 1.0);
}

// A rebuilt sum starts from -0.0, so a window of -0.0 keeps its sign.
TEST(RunningSums, RebuildStartsFromNegativeZero) {
  BoundedRing<double> ring(1);
  double sum = 0.0;
  std::uint64_t pushes = 0;
  push_resumming(ring, sum, pushes, -0.0);
  EXPECT_TRUE(std::signbit(sum));
}

// Whether the last n of the first k terms are all zeros (either sign).
bool window_of_zeros(const std::vector<double>& terms, std::size_t k, std::uint64_t n) {
  if (k < n) return false;
  for (std::size_t i = k - n; i < k; ++i) {
    if (terms[i] != 0.0) return false;
  }
  return true;
}

// 0.1 + 0.2, less 0.1, less 0.2, leaves 2.8e-17 in a running sum whose window
// holds only zeros again. The zero-reading sum reads exactly +0.0 there (from a
// window of -0.0 too), kept or rebuilt; on every other push, those after the
// zeros included, it reads the plain sum's bits, residue and all.
TEST(RunningSums, ZeroReadingSumReadsZeroOnlyForAWindowOfZeros) {
  const struct {
    const char* what;
    std::uint64_t n;
    bool rebuild;
    std::vector<double> terms;
  } cases[] = {
      {"kept", 2, false, {0.1, 0.2, 0.0, 0.0, 0.5, 0.0, 0.25}},
      {"kept, negative zeros", 2, false, {0.1, 0.2, -0.0, -0.0, 0.5, -0.0, -0.0}},
      // Rebuilt on the third push, which still holds 0.1 and 0.2.
      {"rebuilt", 3, true, {0.1, 0.2, 0.0, 0.0, 0.0, 0.7}},
      {"rebuilt, negative zeros", 3, true, {0.1, 0.2, -0.0, -0.0, -0.0, 0.7, 0.0}},
      {"one term", 1, false, {0.3, -0.0, 0.1, 0.0}},
  };
  for (const auto& c : cases) {
    RunningSum plain(c.n, c.rebuild);
    ZeroReadingSum reading(c.n, c.rebuild);
    bool saw_residue = false;
    for (std::size_t i = 0; i < c.terms.size(); ++i) {
      plain.push(c.terms[i]);
      reading.push(c.terms[i]);
      if (window_of_zeros(c.terms, i + 1, c.n)) {
        saw_residue = saw_residue || plain.sum() != 0.0;
        EXPECT_EQ(testing::bits(reading.sum()), testing::bits(0.0)) << c.what << " push " << i;
      } else {
        EXPECT_EQ(testing::bits(reading.sum()), testing::bits(plain.sum())) << c.what << " push " << i;
      }
    }
    if (c.n > 1) {
      EXPECT_TRUE(saw_residue) << c.what << ": the case leaves no residue to hide";
    }
  }
}

// While the window holds a nonzero term, reading changes no bit: a walk of
// terms with zeros among them, never n in a row.
TEST(RunningSums, ZeroReadingSumIsThePlainSumWhileATermIsHeld) {
  for (const bool rebuild : {false, true}) {
    RunningSum plain(4, rebuild);
    ZeroReadingSum reading(4, rebuild);
    for (int i = 0; i < 400; ++i) {
      const double t = i % 3 == 2 ? 0.0 : 0.1 * static_cast<double>(i % 7) + 0.3;
      plain.push(t);
      reading.push(t);
      ASSERT_EQ(testing::bits(reading.sum()), testing::bits(plain.sum())) << "push " << i << (rebuild ? ", rebuilt" : "");
    }
  }
}

// A run of copies: the window of the last n values holds only copies of the
// newest from the (n - 1)th repeat on; a change, NaN or infinity breaks it.
TEST(RepeatRuns, CountCopiesOfTheNewestValue) {
  const struct {
    const char* what;
    std::vector<double> values;
    std::uint64_t n;
    std::vector<bool> copies;  // after each push
  } cases[] = {
      {"one value is its own window", {5.0, 6.0}, 1, {true, true}},
      {"a first value alone is not two copies", {5.0, 5.0, 5.0}, 2, {false, true, true}},
      {"a change starts again", {5.0, 5.0, 5.0, 4.0, 4.0, 4.0}, 3, {false, false, true, false, false, true}},
      {"zeros of both signs are copies", {0.0, -0.0, 0.0}, 3, {false, false, true}},
      {"NaN repeats nothing", {1.0, NAN, NAN, 1.0}, 2, {false, false, false, false}},
      {"infinities repeat nothing", {INFINITY, INFINITY}, 2, {false, false}},
  };
  for (const auto& c : cases) {
    RepeatRun run;
    for (std::size_t i = 0; i < c.values.size(); ++i) {
      run.push(c.values[i]);
      EXPECT_EQ(run.holds_only_copies(c.n), c.copies[i]) << c.what << ", push " << i;
    }
  }
}

// Two averages of the same inputs share one run, each read with its own length:
// the short window of zeros averages to exactly 0 while the long one still
// holds a volume, and a refused input is not counted.
TEST(SmaWindow, WindowsOfUnequalLengthReadTheirOwnZeros) {
  SmaWindow short_w(2);
  SmaWindow long_w(4);
  SmaWindow plain_long(4);
  ZeroRun zeros;
  std::optional<double> s, l, p;
  for (const double x : std::vector<double>{0.1, 0.2, 0.0, NAN, 0.0}) {
    if (std::isfinite(x)) zeros.push(x);
    s = sma_step_reading_zeros(short_w, zeros, x);
    l = sma_step_reading_zeros(long_w, zeros, x);
    p = sma_update(plain_long, x);
  }
  ASSERT_TRUE(s && l && p);
  EXPECT_EQ(testing::bits(*s), testing::bits(0.0));
  EXPECT_EQ(testing::bits(*l), testing::bits(*p));
  EXPECT_NE(*l, 0.0);

  SmaWindow one(2);
  ZeroRun own;
  std::optional<double> m;
  for (const double x : std::vector<double>{0.1, 0.2, 0.0, INFINITY, 0.0}) m = sma_update_reading_zeros(one, own, x);
  ASSERT_TRUE(m);
  EXPECT_EQ(testing::bits(*m), testing::bits(0.0));
}

}  // namespace
}  // namespace fendro
