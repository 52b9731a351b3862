// Small helpers for indicator tests: deterministic candle series and a way
// to step an indicator over them.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "fendro/indicators/indicator.hpp"
#include "fendro/market/bar_snapshot.hpp"
#include "fendro/market/records.hpp"

namespace fendro::testing {

// splitmix64: the same numbers on every platform (unlike <random>'s
// distributions).
class SplitMix {
 public:
  explicit SplitMix(std::uint64_t seed) : s_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (s_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

 private:
  std::uint64_t s_;
};

// A valid random-walk candle series around `start`: each close moves by up
// to 1% of the previous one; highs and lows reach beyond open and close.
inline std::vector<Candle> random_walk(std::size_t n, std::uint64_t seed = 1,
                                       double start = 100.0) {
  SplitMix rng(seed);
  std::vector<Candle> out;
  out.reserve(n);
  double prev = start;
  for (std::size_t i = 0; i < n; ++i) {
    const double open = prev;
    const double close = open * (1.0 + (rng.unit() - 0.5) * 0.02);
    const double high = std::max(open, close) * (1.0 + rng.unit() * 0.005);
    const double low = std::min(open, close) * (1.0 - rng.unit() * 0.005);
    const double volume = 1000.0 + rng.unit() * 1000.0;
    out.push_back(Candle{static_cast<std::int64_t>(i) * 60000, open, high, low, close, volume});
    prev = close;
  }
  return out;
}

// A candle with open = high = low = close = x.
inline Candle flat(double x) { return Candle{0, x, x, x, x, 1.0}; }

// Flat candles, one per close.
inline std::vector<Candle> flat_closes(const std::vector<double>& xs) {
  std::vector<Candle> out;
  out.reserve(xs.size());
  for (double x : xs) out.push_back(flat(x));
  return out;
}

// A candle from high, low, close (open at the close).
inline Candle hlc(double high, double low, double close) {
  return Candle{0, close, high, low, close, 1.0};
}

inline std::optional<double> step(Indicator& ind, const Candle& c) {
  BarSnapshot bar;
  bar.candle = &c;
  return ind.update(bar);
}

// The value of every bar, in order.
inline std::vector<std::optional<double>> run(Indicator& ind, const std::vector<Candle>& cs) {
  std::vector<std::optional<double>> out;
  out.reserve(cs.size());
  for (const Candle& c : cs) out.push_back(step(ind, c));
  return out;
}

// The bit pattern of x: tests compare values to the bit (the sign of zero too).
inline std::uint64_t bits(double x) { return std::bit_cast<std::uint64_t>(x); }

// Few distinct values, both zeros among them: ties on almost every push.
inline double tied_value(SplitMix& rng) {
  static constexpr double kValues[] = {-2.0, -1.0, -0.0, 0.0, 0.0, -0.0, 1.0, 2.0, 2.0};
  return kValues[rng.next() % std::size(kValues)];
}

// Parameters as the fingerprint prints them: "[14,2.5]", each to 17 digits.
inline std::string params_text(const std::vector<double>& p) {
  std::string s = "[";
  char buf[32];
  for (std::size_t k = 0; k < p.size(); ++k) {
    std::snprintf(buf, sizeof buf, "%s%.17g", k ? "," : "", p[k]);
    s += buf;
  }
  return s + "]";
}

}  // namespace fendro::testing
