// Checks shared by the indicator tests of every family: building by key,
// running over plain closes, and comparing runs of values.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fendro/indicators/indicator.hpp"
#include "fendro/registry/registry.hpp"
#include "series.hpp"

namespace fendro::testing {

using Values = std::vector<std::optional<double>>;
inline constexpr std::nullopt_t kNone = std::nullopt;

// Built through the registry, as a strategy builds it; null (and a failure)
// when the parameters are refused.
inline IndicatorPtr make(std::string_view key, const std::vector<double>& params) {
  auto r = build_indicator(key, params);
  EXPECT_TRUE(r.ok()) << key << ": " << (r.ok() ? std::string() : r.error().display());
  return r.ok() ? std::move(r).value() : nullptr;
}

// The value of every bar of `key` built with `params`.
inline Values key_values(std::string_view key, const std::vector<double>& params,
                         const std::vector<Candle>& cs) {
  IndicatorPtr ind = make(key, params);
  return ind ? run(*ind, cs) : Values{};
}

// The values of `key` over flat candles with the given closes.
inline Values run_closes(std::string_view key, const std::vector<double>& params,
                         const std::vector<double>& closes) {
  return key_values(key, params, flat_closes(closes));
}

inline std::vector<double> closes_of(const std::vector<Candle>& cs) {
  std::vector<double> out;
  for (const Candle& c : cs) out.push_back(c.close);
  return out;
}

// Equal presence, and values within 4 ulps (exactness is checked separately
// where it matters), or within `tol` when it is given.
inline void expect_values(const Values& got, const Values& want, const std::string& what,
                          double tol = 0.0) {
  ASSERT_EQ(got.size(), want.size()) << what;
  for (std::size_t i = 0; i < got.size(); ++i) {
    ASSERT_EQ(got[i].has_value(), want[i].has_value()) << what << " bar " << i + 1;
    if (want[i] && tol == 0.0) {
      EXPECT_DOUBLE_EQ(*got[i], *want[i]) << what << " bar " << i + 1;
    } else if (want[i]) {
      EXPECT_NEAR(*got[i], *want[i], tol) << what << " bar " << i + 1;
    }
  }
}

// Equal presence and bits (NaN and the sign of zero included).
inline bool same_value(std::optional<double> a, std::optional<double> b) {
  return a.has_value() == b.has_value() && (!a || bits(*a) == bits(*b));
}

// The last bar has a value with exactly the bits of `want`.
inline void expect_last_exactly(const Values& got, double want, const std::string& what) {
  ASSERT_FALSE(got.empty()) << what;
  EXPECT_TRUE(same_value(got.back(), want))
      << what << ": got " << (got.back() ? ::testing::PrintToString(*got.back()) : "none");
}

// Two indicators fed the same bar: the same value, and the same bits in
// every output after it.
inline bool same_bar(std::optional<double> a, std::optional<double> b, const Indicator& x,
                     const Indicator& y) {
  const auto ox = x.outputs();
  const auto oy = y.outputs();
  if (!same_value(a, b) || ox.size() != oy.size()) return false;
  for (std::size_t j = 0; j < ox.size(); ++j) {
    if (bits(ox[j].value) != bits(oy[j].value)) return false;
  }
  return true;
}

// Values within `tol` (absolute), presence equal.
inline void expect_near_values(const Values& got, const Values& want, double tol,
                               const std::string& what) {
  expect_values(got, want, what, tol);
}

// The named output `k` after each bar that gave a value.
inline Values run_output(Indicator& ind, const std::vector<Candle>& cs, std::size_t k) {
  Values out;
  for (const Candle& c : cs) {
    const auto v = step(ind, c);
    if (!v) {
      out.push_back(std::nullopt);
      continue;
    }
    const auto outs = ind.outputs();
    EXPECT_GT(outs.size(), k);
    EXPECT_EQ(outs[0].value, *v);  // update returns the first output
    out.push_back(outs.size() > k ? std::optional<double>(outs[k].value) : std::nullopt);
  }
  return out;
}

// The values and named outputs of every bar, the outputs flattened.
struct Trace {
  Values values;
  std::vector<std::vector<double>> outputs;
};

inline Trace trace(Indicator& ind, const std::vector<Candle>& cs) {
  Trace t;
  for (const Candle& c : cs) {
    t.values.push_back(step(ind, c));
    std::vector<double> outs;
    for (const NamedOutput& o : ind.outputs()) outs.push_back(o.value);
    t.outputs.push_back(outs);
  }
  return t;
}

using TypeFactory = std::function<std::unique_ptr<Indicator>()>;

// A factory of a type built with its own checks from fixed arguments.
template <class T, class... A>
TypeFactory factory(A... args) {
  return [=] { return std::make_unique<T>(T::create(args...).value()); };
}

// Bit-for-bit equality, NaN and signed zeros included.
inline bool same_bits(const Values& a, const Values& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!same_value(a[i], b[i])) return false;
  }
  return true;
}

// The sample standard deviation (divisor n - 1), summed the plain way: the
// reference the volatility tests compare with.
inline double sample_sd(const std::vector<double>& xs) {
  double mean = 0.0;
  for (double x : xs) mean += x;
  mean /= static_cast<double>(xs.size());
  double ss = 0.0;
  for (double x : xs) ss += (x - mean) * (x - mean);
  return std::sqrt(ss / static_cast<double>(xs.size() - 1));
}

// One hand-worked run over flat candles with the given closes.
struct CloseCase {
  const char* key;
  std::vector<double> params;
  std::vector<double> closes;
  Values want;
};

// Each case to within 4 ulps, or to within `tol` when it is given.
inline void check_close_cases(const std::vector<CloseCase>& cases, double tol = 0.0) {
  for (const CloseCase& c : cases) {
    expect_values(run_closes(c.key, c.params, c.closes), c.want, c.key, tol);
  }
}

// Prices whose copies do not sum exactly in binary: a window of copies of
// one of them read through its rounded sum shows a residue.
inline constexpr double kUnevenPrices[] = {0.3, 7.77, 123.456, 30000.17, 0.00103};

// A key's value on one-price candles from bar `first` on.
struct FlatCase {
  std::string key;
  std::vector<double> params;
  std::size_t first;  // the first bar with a value
  double want;
};

// On one-price candles at each uneven price, every value and output from
// the case's first bar on is `want`, bit for bit (a zero as +0.0).
inline void expect_flat_cases(const std::vector<FlatCase>& cases) {
  for (const FlatCase& c : cases) {
    for (const double p : kUnevenPrices) {
      IndicatorPtr ind = make(c.key, c.params);
      ASSERT_TRUE(ind) << c.key;
      const Trace got = trace(*ind, flat_closes(std::vector<double>(c.first + 80, p)));
      for (std::size_t i = c.first; i < got.values.size(); ++i) {
        const std::string at = c.key + " at " + std::to_string(p) + ", bar " + std::to_string(i);
        ASSERT_TRUE(got.values[i].has_value()) << at;
        EXPECT_EQ(bits(*got.values[i]), bits(c.want)) << at << ": " << *got.values[i];
        for (const double o : got.outputs[i]) EXPECT_EQ(bits(o), bits(c.want)) << at;
      }
    }
  }
}

}  // namespace fendro::testing
