// A settled scale and the value read against it give back exactly what the
// plain step and value give, bit for bit: a peak and a mean square that decay
// into the subnormal numbers and settle, then an input that moves again or
// only flips its sign.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

#include "fendro/indicators/cycle/filter_blocks.hpp"

namespace fendro::cycle {
namespace {

using Fn = std::function<double(double, double)>;

std::uint64_t bits(double x) { return std::bit_cast<std::uint64_t>(x); }

constexpr double kTiny = std::numeric_limits<double>::denorm_min();

struct ScaleCase {
  const char* name;
  Fn step;   // (scale, x) -> scale
  Fn value;  // (x, scale) -> value
};

std::vector<ScaleCase> scale_cases() {
  return {
      {"decaying peak", [](double peak, double f) { return std::max(std::abs(f), 0.991 * peak); },
       [](double f, double peak) { return peak > 0.0 ? std::clamp(f / peak, -1.0, 1.0) : 0.0; }},
      {"mean square", [](double ms, double s) { return ms * 0.96 + s * (s * 0.04); },
       [](double s, double ms) { return ms > 0.0 ? s / std::sqrt(ms) : 0.0; }},
  };
}

struct InputRun {
  double input;
  int count;
};

struct Script {
  const char* name;
  double start;
  std::vector<InputRun> runs;
  bool settles;  // some step must be skipped
};

std::vector<Script> scripts() {
  return {
      {"decays from normal and settles", 1e-300, {{0.0, 40000}}, true},
      {"settles on a small input", 1e-310, {{2 * kTiny, 5000}}, true},
      {"settled, then the input flips its sign", 1e-310,
       {{-2 * kTiny, 5000}, {2 * kTiny, 10}, {-2 * kTiny, 10}, {0.0, 10}, {-0.0, 10}}, true},
      {"settled, moved, settled again", 1e-310,
       {{0.0, 5000}, {1e-320, 5}, {0.0, 5000}, {1.0, 3}, {0.0, 90000}, {-3 * kTiny, 4}}, true},
      {"never below normal", 1.0, {{0.5, 50}, {-2.0, 50}}, false},
  };
}

TEST(SettledScale, GivesWhatThePlainStepAndValueGive) {
  for (const ScaleCase& sc : scale_cases()) {
    for (const Script& script : scripts()) {
      double plain = script.start, fast = script.start;
      SettledScale memo;
      std::size_t steps = 0, values = 0, bars = 0;
      const auto counted_step = [&](double s, double x) { return ++steps, sc.step(s, x); };
      const auto counted_value = [&](double x, double s) { return ++values, sc.value(x, s); };
      for (const InputRun& run : script.runs) {
        for (int k = 0; k < run.count; ++k, ++bars) {
          plain = sc.step(plain, run.input);
          const double want = sc.value(run.input, plain);
          const double got = scale_then_value(memo, fast, run.input, counted_step, counted_value);
          ASSERT_EQ(bits(fast), bits(plain)) << sc.name << ", " << script.name << ", bar " << bars;
          ASSERT_EQ(bits(got), bits(want)) << sc.name << ", " << script.name << ", bar " << bars;
        }
      }
      EXPECT_EQ(steps < bars, script.settles) << sc.name << ", " << script.name;
      EXPECT_EQ(values < bars, script.settles) << sc.name << ", " << script.name;
    }
  }
}

}  // namespace
}  // namespace fendro::cycle
