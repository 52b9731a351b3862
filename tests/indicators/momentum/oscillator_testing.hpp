// Shared helpers of the MACD, CCI, stochastic, smoothed-momentum and
// candle-range oscillator tests: runs through the registry and plain
// reference loops written from the usual definitions (plain arithmetic, no
// fused steps), which ours must match within rounding.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "indicators/testing.hpp"

namespace fendro::testing::osc {

// Named output k of every bar, built through the registry.
inline Values run_key_output(const std::string& key, const std::vector<double>& params,
                             const std::vector<Candle>& cs, std::size_t k) {
  auto ind = make(key, params);
  if (!ind) return {};
  return run_output(*ind, cs, k);
}

inline Values present(const std::vector<double>& xs) { return Values(xs.begin(), xs.end()); }

// Exponential average over the present entries, seeded by the mean of the
// first n; alpha 2 / (n + 1) unless given.
inline Values ema(const Values& x, std::size_t n, double alpha = 0.0) {
  if (alpha == 0.0) alpha = 2.0 / (static_cast<double>(n) + 1.0);
  Values out(x.size());
  double sum = 0.0, avg = 0.0;
  std::size_t seen = 0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (!x[i]) continue;
    if (++seen <= n) {
      sum += *x[i];
      if (seen < n) continue;
      avg = sum / static_cast<double>(n);
    } else {
      avg = alpha * *x[i] + (1.0 - alpha) * avg;
    }
    out[i] = avg;
  }
  return out;
}

// Mean of the last n present entries.
inline Values sma(const Values& x, std::size_t n) {
  Values out(x.size());
  std::vector<double> seen;
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (!x[i]) continue;
    seen.push_back(*x[i]);
    if (seen.size() < n) continue;
    double s = 0.0;
    for (std::size_t k = seen.size() - n; k < seen.size(); ++k) s += seen[k];
    out[i] = s / static_cast<double>(n);
  }
  return out;
}

// f(a, b) where both are present.
template <class F>
Values zip(const Values& a, const Values& b, F f) {
  Values out(a.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] && b[i]) out[i] = f(*a[i], *b[i]);
  }
  return out;
}

inline Values minus(const Values& a, const Values& b) {
  return zip(a, b, [](double x, double y) { return x - y; });
}

// a where b is present (a multi-output type gives its first output only
// once the last one has a value).
inline Values masked(const Values& a, const Values& b) {
  return zip(a, b, [](double x, double) { return x; });
}

// Highest high and lowest low of the last n candles (none before n).
struct Extremes {
  std::vector<std::optional<double>> hh, ll;
};
inline Extremes extremes(const std::vector<Candle>& cs, std::size_t n) {
  Extremes e{std::vector<std::optional<double>>(cs.size()),
             std::vector<std::optional<double>>(cs.size())};
  for (std::size_t i = n - 1; i < cs.size(); ++i) {
    double hh = cs[i].high, ll = cs[i].low;
    for (std::size_t k = i + 1 - n; k <= i; ++k) {
      hh = std::max(hh, cs[k].high);
      ll = std::min(ll, cs[k].low);
    }
    e.hh[i] = hh;
    e.ll[i] = ll;
  }
  return e;
}

// Relative tolerance for comparing against a reference loop.
inline void expect_close_to(const Values& got, const Values& want, double rel,
                            const std::string& what) {
  ASSERT_EQ(got.size(), want.size()) << what;
  for (std::size_t i = 0; i < got.size(); ++i) {
    ASSERT_EQ(got[i].has_value(), want[i].has_value()) << what << " bar " << i + 1;
    if (want[i]) {
      EXPECT_NEAR(*got[i], *want[i], rel * std::max(1.0, std::abs(*want[i])))
          << what << " bar " << i + 1;
    }
  }
}

}  // namespace fendro::testing::osc
