// The Hilbert-transform engine against a plain reading of its steps.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <utility>
#include <algorithm>
#include <vector>

#include "fendro/util/math.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing::cycle {
namespace {

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

}  // namespace
}  // namespace fendro::testing::cycle
