// Shared checks of the trend tests.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fendro/indicators/indicator.hpp"
#include "indicators/series.hpp"

namespace fendro::testing {

using Values = std::vector<std::optional<double>>;
inline constexpr std::nullopt_t kNone = std::nullopt;

// Equal presence, and values within 4 ulps (exactness is checked separately
// where it matters).
inline void expect_values(const Values& got, const Values& want, const std::string& what) {
  ASSERT_EQ(got.size(), want.size()) << what;
  for (std::size_t i = 0; i < got.size(); ++i) {
    ASSERT_EQ(got[i].has_value(), want[i].has_value()) << what << " bar " << i + 1;
    if (want[i]) {
      EXPECT_DOUBLE_EQ(*got[i], *want[i]) << what << " bar " << i + 1;
    }
  }
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
    if (a[i].has_value() != b[i].has_value()) return false;
    if (a[i] && std::memcmp(&*a[i], &*b[i], sizeof(double)) != 0) return false;
  }
  return true;
}

}  // namespace fendro::testing
