// The curve metrics are walked in stretches between asks of the interrupt;
// they must come out bit for bit as the formulas give them taken one bar
// after another, whatever the curve's length against the stretch and whatever
// it holds (zeros, infinities, nan, flat stretches).
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "fendro/strategy/report.hpp"
#include "fendro/strategy/tiny.hpp"

namespace fendro {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

struct CurveMetrics {
  double max_drawdown = 0.0, sharpe = 0.0, sortino = 0.0;
};

// The formulas, one bar at a time.
CurveMetrics bar_by_bar(const std::vector<EquityPoint>& eq) {
  const auto r = [&](std::size_t k) {
    const double e0 = eq[k].equity;
    return is_tiny(e0) ? 0.0 : (eq[k + 1].equity / e0) + (-1.0);
  };
  CurveMetrics m;
  const std::size_t n = eq.size();
  double sum = -0.0;
  double peak = -kInf;
  for (std::size_t k = 0; k < n; ++k) {
    if (k != 0) sum += r(k - 1);
    const double e = eq[k].equity;
    if (e > peak) peak = e;
    if (peak > 0.0) {
      const double d = ((peak - e) / peak) * 100.0;
      if (d > m.max_drawdown) m.max_drawdown = d;
    }
  }
  if (n >= 2) {
    const double steps = static_cast<double>(n - 1);
    const double mean = sum / steps;
    double dev = -0.0, down = -0.0;
    for (std::size_t k = 0; k + 1 < n; ++k) {
      const double rk = r(k);
      const double d = rk - mean;
      dev += d * d;
      const double neg = std::isnan(rk) ? 0.0 : (rk < 0.0 ? rk : 0.0);
      down += neg * neg;
    }
    const double sd = std::sqrt(dev / steps);
    m.sharpe = is_tiny(sd) ? 0.0 : mean / sd;
    const double dd = std::sqrt(down / steps);
    m.sortino = is_tiny(dd) ? 0.0 : (sum / steps) / dd;
  }
  return m;
}

std::uint64_t bits(double x) { return std::bit_cast<std::uint64_t>(x); }

// A walk whose steps are not round numbers, so that any change in the order
// of the additions shows in the last bits; `special` is put at a few bars.
std::vector<EquityPoint> walk(std::size_t n, double special) {
  std::vector<EquityPoint> eq(n);
  double e = 10000.0;
  std::uint64_t s = 0x9E3779B97F4A7C15ULL;
  for (std::size_t k = 0; k < n; ++k) {
    s = s * 6364136223846793005ULL + 1442695040888963407ULL;
    const double u = static_cast<double>(s >> 11) * 0x1.0p-53;
    if (k % 700 >= 600) {
      // flat: no position open
    } else {
      e *= 1.0 + (u - 0.5) * 0.03;
    }
    eq[k] = {static_cast<std::int64_t>(k), e};
  }
  if (n > 10) {
    eq[n / 2].equity = special;
    eq[n - 3].equity = special;
  }
  return eq;
}

TEST(MetricsStretches, SameBitsAsBarByBar) {
  const std::size_t per = kMetricsBarsPerAsk;
  const std::vector<std::size_t> lengths = {0, 1, 2, 3, 1000, per - 1, per, per + 1, per + 2, 2 * per + 7};
  const std::vector<double> specials = {12'000.0, 0.0, -0.0, 1e-17, -50.0, kInf, -kInf, kNan, 1e300};
  for (std::size_t n : lengths) {
    for (double special : specials) {
      const std::vector<EquityPoint> eq = walk(n, special);
      const Metrics got = compute_metrics(eq, {}, 10000.0);
      const CurveMetrics want = bar_by_bar(eq);
      EXPECT_EQ(bits(got.max_drawdown), bits(want.max_drawdown)) << n << " " << special;
      EXPECT_EQ(bits(got.sharpe), bits(want.sharpe)) << n << " " << special;
      EXPECT_EQ(bits(got.sortino), bits(want.sortino)) << n << " " << special;
    }
  }
}

// The returns are divided a few at a time before they are summed: every
// length of a partial last block, and the special value inside a block.
TEST(MetricsStretches, SameBitsWhateverTheLastBlockHolds) {
  for (std::size_t n = 4; n <= 40; ++n) {
    for (double special : {0.0, kInf, kNan, -50.0}) {
      const std::vector<EquityPoint> eq = walk(n, special);
      const Metrics got = compute_metrics(eq, {}, 10000.0);
      const CurveMetrics want = bar_by_bar(eq);
      EXPECT_EQ(bits(got.sharpe), bits(want.sharpe)) << n << " " << special;
      EXPECT_EQ(bits(got.sortino), bits(want.sortino)) << n << " " << special;
    }
  }
}

TEST(MetricsStretches, PeakAtOrBelowZeroGivesNoDrawdown) {
  // The peak stays <= 0 until the last bar: only the drops after it count.
  const std::vector<double> values = {-5.0, -10.0, 0.0, -1.0, 200.0, 100.0};
  std::vector<EquityPoint> eq;
  for (std::size_t k = 0; k < values.size(); ++k) eq.push_back({static_cast<std::int64_t>(k), values[k]});
  EXPECT_EQ(compute_metrics(eq, {}, 10000.0).max_drawdown, 50.0);
}

}  // namespace
}  // namespace fendro
