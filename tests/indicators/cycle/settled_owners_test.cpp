// The cycle filters that test their blocks once an update, and step them on
// a settled path out of line below normal, give bar for bar and bit for bit
// what the blocks' plain steps give: through halts long enough for the
// blocks to settle in the subnormal numbers, a move between them, and halts
// at prices an ulp apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "fendro/indicators/cycle/filter_blocks.hpp"
#include "fendro/util/math.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

using fendro::cycle::BandpassStage;
using fendro::cycle::OnePoleHighpass;
using fendro::cycle::SuperSmootherStage;
using fendro::cycle::TwoPoleHighpass;

std::vector<double> halted_closes() {
  std::vector<double> xs = closes_of(random_walk(300, 5));
  const double p = xs.back();
  xs.insert(xs.end(), 15000, p);
  const std::vector<double> moved = closes_of(random_walk(25, 6, p));
  xs.insert(xs.end(), moved.begin(), moved.end());
  const double q = xs.back();
  for (const double r : {q, std::nextafter(q, 2.0 * q), q, std::nextafter(q, 0.0), q}) {
    xs.insert(xs.end(), r == q ? 15000 : 1, r);
  }
  return xs;
}

// The answer to one close from blocks stepped plainly, as each type composes
// them.
using Plain = std::function<std::optional<double>(double)>;

Plain roofing(double lp, double hp_period) {
  auto hp = OnePoleHighpass::of_period(static_cast<std::uint64_t>(hp_period));
  auto ss = SuperSmootherStage::of_length(lp);
  return [hp, ss](double x) mutable -> std::optional<double> {
    const double h = hp.step_as<false>(x);
    if (!std::isfinite(h)) return std::nullopt;
    return ss.step_as<false>(h);
  };
}

Plain decycler_oscillator(double fast, double slow) {
  TwoPoleHighpass f(static_cast<std::uint64_t>(fast)), s(static_cast<std::uint64_t>(slow));
  return [f, s](double x) mutable -> std::optional<double> {
    const double a = x - f.step_as<false>(x);
    return a - (x - s.step_as<false>(x));
  };
}

Plain bandpass(double period, double bandwidth) {
  BandpassStage bp(static_cast<std::uint64_t>(period), bandwidth);
  return [bp](double x) mutable -> std::optional<double> { return bp.step_as<false>(x); };
}

Plain even_better_sinewave(double duration, double smoothing) {
  const double w = fendro::cycle::kTwoPi / duration;
  const double a1 = (1.0 - cr::sin(w)) / cr::cos(w);
  auto hp = OnePoleHighpass::of_gains(a1, midpoint(a1, 1.0));
  auto ss = SuperSmootherStage::of_length(smoothing);
  std::vector<double> f;
  return [hp, ss, f](double x) mutable -> std::optional<double> {
    const double h = hp.step_as<false>(x);
    if (!std::isfinite(h)) return std::nullopt;
    f.push_back(ss.step_as<false>(h));
    const std::size_t n = f.size();
    if (n < 3) return std::nullopt;
    const double f0 = f[n - 1], f1 = f[n - 2], f2 = f[n - 3];
    const double mean = (f2 + (f0 + f1)) / 3.0;
    const double power = (f2 * f2 + (f0 * f0 + f1 * f1)) / 3.0;
    return power > 0.0 ? std::clamp(mean / std::sqrt(power), -1.0, 1.0) : 0.0;
  };
}

Plain universal_oscillator(double period) {
  auto ss = SuperSmootherStage::of_length(period, fendro::cycle::kStandaloneSmootherAngle);
  std::vector<double> closes;
  double peak = 0.0;
  return [ss, closes, peak](double x) mutable -> std::optional<double> {
    closes.push_back(x);
    const std::size_t n = closes.size();
    if (n < 3) return std::nullopt;
    const double f = ss.step_as<false>((x - closes[n - 3]) * 0.5);
    peak = std::max(std::abs(f), 0.991 * peak);
    return peak > 0.0 ? std::clamp(f / peak, -1.0, 1.0) : 0.0;
  };
}

TEST(SettledOwners, GiveWhatTheirBlocksPlainStepsGive) {
  const struct {
    const char* key;
    std::vector<double> params;
    std::function<Plain()> plain;
  } cases[] = {
      {"RoofingFilter", {10, 48}, [] { return roofing(10, 48); }},
      {"DecyclerOscillator", {30, 60}, [] { return decycler_oscillator(30, 60); }},
      {"BandpassFilter", {20, 0.3}, [] { return bandpass(20, 0.3); }},
      {"EvenBetterSinewave", {40, 10}, [] { return even_better_sinewave(40, 10); }},
      {"UniversalOscillator", {20}, [] { return universal_oscillator(20); }},
  };
  const std::vector<double> xs = halted_closes();
  for (const auto& c : cases) {
    const Values got = run_closes(c.key, c.params, xs);
    ASSERT_EQ(got.size(), xs.size()) << c.key;
    Plain plain = c.plain();
    for (std::size_t i = 0; i < xs.size(); ++i) {
      ASSERT_TRUE(same_value(got[i], plain(xs[i]))) << c.key << ", bar " << i;
    }
  }
}

}  // namespace
}  // namespace fendro::testing
