// The profile histogram kept as runs of equal bins, and the repeated sum it
// relies on, against plain bin-by-bin and addition-by-addition loops.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "fendro/indicators/volume/price_profile.hpp"
#include "fendro/indicators/volume/repeated_sum.hpp"
#include "indicators/series.hpp"

namespace fendro::volume {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

RepeatedSum plain_loop(double t, double v, std::uint64_t k, double stop) {
  std::uint64_t n = 0;
  while (n < k && t < stop) {
    t = t + v;
    ++n;
  }
  return {t, n};
}

TEST(RepeatedSum, MatchesThePlainLoop) {
  struct Case {
    double t;
    double v;
    std::uint64_t k;
    double stop;
  };
  const double ulp1 = 0x1p-52;  // spacing of the doubles in [1, 2)
  const Case cases[] = {
      {0.0, 0.1, 1000000, kInf},
      {0.0, 0.1, 1000000, 1000.0},
      {0.0, 0.1, 3, kInf},
      {1.0, ulp1 / 2, 100000, kInf},         // half a spacing from an even sum: stuck
      {1.0 + ulp1, ulp1 / 2, 100000, kInf},  // from an odd sum: one step to even, then stuck
      {1.0, ulp1 * 1.5, 1000000, kInf},      // ties that alternate the rounding
      {1.0 + ulp1, ulp1 * 1.5, 1000000, kInf},
      {1.0, ulp1 * 2.5, 1000000, kInf},
      {1.0, ulp1 * 1.25, 1000000, kInf},
      {1.0, ulp1 * 0.75, 1000000, kInf},
      {0.0, 5e-324, 1000000, kInf},  // subnormal steps
      {0.0, 3e-310, 1000000, kInf},  // through the subnormals into the normals
      {1e308, 1e303, 1000000, kInf}, // overflows to infinity, then stays
      {5.0, 0.0, 1000000, kInf},     // no change: every addition still counts
      {5.0, 1.0, 1000000, 5.0},      // already at the stop: none
      {2.0, 1.0 / 3.0, 3000000, 700000.0},
      {0.0, 1e-3, 2000000, 999.999},
  };
  for (const Case& c : cases) {
    const RepeatedSum want = plain_loop(c.t, c.v, c.k, c.stop);
    const RepeatedSum got = add_repeatedly(c.t, c.v, c.k, c.stop);
    EXPECT_EQ(testing::bits(got.sum), testing::bits(want.sum))
        << c.t << " + " << c.v << " x " << c.k << ": " << got.sum << " vs " << want.sum;
    EXPECT_EQ(got.additions, want.additions) << c.t << " + " << c.v << " x " << c.k;
  }
}

TEST(RepeatedSum, MatchesThePlainLoopOnRandomSums) {
  testing::SplitMix rng(99);
  for (int i = 0; i < 300; ++i) {
    const double t = rng.unit() < 0.2 ? 0.0 : rng.unit() * std::ldexp(1.0, static_cast<int>(rng.next() % 80) - 40);
    const double v = rng.unit() * std::ldexp(1.0, static_cast<int>(rng.next() % 80) - 60);
    const std::uint64_t k = rng.next() % 400000;
    const double stop = rng.unit() < 0.5 ? kInf : t + rng.unit() * v * static_cast<double>(k);
    const RepeatedSum want = plain_loop(t, v, k, stop);
    const RepeatedSum got = add_repeatedly(t, v, k, stop);
    ASSERT_EQ(testing::bits(got.sum), testing::bits(want.sum))
        << i << ": " << t << " + " << v << " x " << k;
    ASSERT_EQ(got.additions, want.additions) << i;
  }
}

// The histogram bin by bin, as the runs must reproduce it.
struct DenseProfile {
  std::vector<double> volume;
  std::vector<std::uint64_t> cover;
};

DenseProfile dense(const BinGrid& g, const std::vector<ProfileBar>& bars) {
  DenseProfile d{std::vector<double>(g.bins, 0.0), std::vector<std::uint64_t>(g.bins, 0)};
  for (const ProfileBar& b : bars) {
    const std::uint64_t lo = g.index(b.low);
    const std::uint64_t hi = g.index(b.high);
    for (std::uint64_t i = lo; i <= hi; ++i) {
      ++d.cover[i];
      if (b.volume != 0.0) d.volume[i] = d.volume[i] + b.volume / static_cast<double>(hi - lo + 1);
    }
  }
  return d;
}

ValueAreaBins dense_value_area(const std::vector<double>& vol, std::uint64_t poc, double fraction) {
  double total = 0.0;
  for (const double v : vol) total = total + v;
  const double target = total * fraction;
  double area = vol[poc];
  ValueAreaBins e{poc, poc};
  while (area < target) {
    const bool up = e.high + 1 < vol.size();
    const bool down = e.low > 0;
    if (!up && !down) break;
    if (up && (!down || vol[e.high + 1] >= vol[e.low - 1])) {
      area = area + vol[++e.high];
    } else {
      area = area + vol[--e.low];
    }
  }
  return e;
}

TEST(PriceProfile, RunsReproduceTheBinByBinHistogram) {
  testing::SplitMix rng(7);
  const double fractions[] = {0.1, 0.5, 0.7, 0.99, 1.0};
  BinRuns runs;  // reused, as the indicators do
  for (int trial = 0; trial < 2000; ++trial) {
    // Prices on a coarse grid so that bars share edges and bins tie.
    std::vector<ProfileBar> bars(1 + rng.next() % 25);
    for (ProfileBar& b : bars) {
      const double a = static_cast<double>(rng.next() % 40) * 0.25;
      const double c = static_cast<double>(rng.next() % 40) * 0.25;
      const std::uint64_t pick = rng.next() % 4;
      b = {std::min(a, c), std::max(a, c), pick == 0 ? 0.0 : static_cast<double>(pick) * 1.5};
    }
    // Few bins fill one run per bin; many (beyond 2 per bar + 64) make true runs.
    const std::uint64_t bins = trial % 2 == 0 ? 1 + rng.next() % 40 : 120 + rng.next() % 200;
    const ProfileBars view = ProfileBars::of(bars);
    const BinGrid grid = *BinGrid::of(view, bins);
    if (grid.flat()) continue;
    ASSERT_FALSE(runs.stop_after_build(grid, view));
    const DenseProfile want = dense(grid, bars);

    std::uint64_t poc = 0;
    std::uint64_t lvn = bins;
    std::uint64_t singles = 0;
    for (std::uint64_t i = 0; i < bins; ++i) {
      const std::size_t j = runs.run_of(i);
      ASSERT_TRUE(runs.start(j) <= i && i < runs.end(j)) << trial;
      ASSERT_EQ(testing::bits(runs.volume(j)), testing::bits(want.volume[i]))
          << trial << " bin " << i;
      ASSERT_EQ(runs.cover(j), want.cover[i]) << trial << " bin " << i;
      if (want.volume[i] > want.volume[poc]) poc = i;
      if (want.volume[i] > 0.0 && (lvn == bins || want.volume[i] < want.volume[lvn])) lvn = i;
      if (want.cover[i] == 1) ++singles;
    }
    ASSERT_EQ(point_of_control(runs), poc) << trial;
    ASSERT_EQ(low_volume_node(runs, poc), lvn == bins ? poc : lvn) << trial;
    ASSERT_EQ(single_print_bins(runs), singles) << trial;
    for (const double f : fractions) {
      const std::optional<ValueAreaBins> got = value_area(runs, poc, f);
      const ValueAreaBins exp = dense_value_area(want.volume, poc, f);
      ASSERT_TRUE(got.has_value()) << trial;
      ASSERT_EQ(got->low, exp.low) << trial << " fraction " << f;
      ASSERT_EQ(got->high, exp.high) << trial << " fraction " << f;
    }
  }
}

TEST(PriceProfile, BinIndexIsClampedInFloatingPoint) {
  struct Case {
    double low;
    double high;
    std::uint64_t bins;
    double price;
    std::uint64_t want;
  };
  const Case cases[] = {
      {0, 10, 4, 0, 0},       {0, 10, 4, 2.5, 1},   {0, 10, 4, 10, 3},  // the high: top bin
      {0, 10, 4, -5, 0},      {0, 10, 4, 1e300, 3}, {0, 5e-324, 3, 0, 0},  // 0 / 0
      {0, 5e-324, 3, 5e-324, 2},                                          // x / 0
      {-1e308, 1e308, 5, 1e308, 0},                                       // inf / inf
      {0, 10, std::numeric_limits<std::uint64_t>::max(), 10, std::numeric_limits<std::uint64_t>::max() - 1},
  };
  for (const Case& c : cases) {
    const std::vector<ProfileBar> bars = {{c.low, c.high, 1.0}};
    const BinGrid g = *BinGrid::of(ProfileBars::of(bars), c.bins);
    EXPECT_EQ(g.index(c.price), c.want) << c.low << ".." << c.high << " / " << c.bins << " at " << c.price;
  }
}

}  // namespace
}  // namespace fendro::volume
