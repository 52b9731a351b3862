// The recursive cycle filters against their usual textbook forms, written
// plainly over a random walk: the high-passes, the super smoother and the
// measures built from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "fendro/util/math.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing::cycle {
namespace {

constexpr double kPi = 3.141592653589793;
const std::vector<double> kWalk = closes_of(random_walk(600, 37));

// Two-pole high-pass: (1 - a/2)^2 (x - 2 x1 + x2) + 2 (1 - a) hp1 - (1 - a)^2 hp2,
// with a from the angle 0.707 * 2 pi / P; 0 on the first two bars.
std::vector<double> two_pole_highpass(const std::vector<double>& x, double period) {
  const double w = 0.707 * 2 * kPi / period;
  const double a = (cr::cos(w) + cr::sin(w) - 1) / cr::cos(w);
  std::vector<double> hp(x.size(), 0.0);
  for (std::size_t i = 2; i < x.size(); ++i) {
    hp[i] = (1 - a / 2) * (1 - a / 2) * (x[i] - 2 * x[i - 1] + x[i - 2]) + 2 * (1 - a) * hp[i - 1] -
            (1 - a) * (1 - a) * hp[i - 2];
  }
  return hp;
}

// One-pole high-pass: (1 - a) hp1 + (1 - a/2) (x - x1), a from the angle 2 pi / P.
std::vector<double> one_pole_highpass(const std::vector<double>& x, double period) {
  const double w = 2 * kPi / period;
  const double a = (cr::cos(w) + cr::sin(w) - 1) / cr::cos(w);
  std::vector<double> hp(x.size(), 0.0);
  for (std::size_t i = 1; i < x.size(); ++i) {
    hp[i] = (1 - a) * hp[i - 1] + (1 - a / 2) * (x[i] - x[i - 1]);
  }
  return hp;
}

// The angle constant of the super smoother: sqrt(2) pi, except in the
// stand-alone smoother and the universal oscillator, which use their own.
constexpr double kSqrt2Pi = 1.4142135623730951 * kPi;
constexpr double kOwnAngle = 4.442882684838626;

// Super smoother of length L: c1 (u + u1) / 2 + c2 f1 + c3 f2, passing the
// input through until two outputs exist.
std::vector<double> super_smoother(const std::vector<double>& u, double length,
                                   double angle = kSqrt2Pi) {
  const double q = angle / length;
  const double a = cr::exp(-q);
  const double c2 = 2 * a * cr::cos(q), c3 = -a * a, c1 = 1 - c2 - c3;
  std::vector<double> f(u.size());
  for (std::size_t i = 0; i < u.size(); ++i) {
    f[i] = i < 2 ? u[i] : c1 * (u[i] + u[i - 1]) / 2 + c2 * f[i - 1] + c3 * f[i - 2];
  }
  return f;
}

Values all_of(const std::vector<double>& xs) { return Values(xs.begin(), xs.end()); }

void expect_reference(const char* key, const std::vector<double>& params, const Values& want,
                      double tol = 1e-8) {
  expect_near_values(run_closes(key, params, kWalk), want, tol, key);
}

TEST(CycleReference, HighPassAndDecyclers) {
  for (const double p : {10.0, 48.0}) {
    const std::vector<double> hp = two_pole_highpass(kWalk, p);
    std::vector<double> decycled(kWalk.size());
    for (std::size_t i = 0; i < kWalk.size(); ++i) decycled[i] = kWalk[i] - hp[i];
    expect_reference("HighpassFilter", {p}, all_of(hp));
    expect_reference("Decycler", {p}, all_of(decycled));
  }
  const std::vector<double> fast = two_pole_highpass(kWalk, 30), slow = two_pole_highpass(kWalk, 60);
  std::vector<double> osc(kWalk.size());
  for (std::size_t i = 0; i < kWalk.size(); ++i) osc[i] = (kWalk[i] - fast[i]) - (kWalk[i] - slow[i]);
  expect_reference("DecyclerOscillator", {30, 60}, all_of(osc));
}

TEST(CycleReference, SmootherAndRoofing) {
  expect_reference("SuperSmoother", {10}, all_of(super_smoother(kWalk, 10, kOwnAngle)));
  expect_reference("RoofingFilter", {10, 48},
                   all_of(super_smoother(one_pole_highpass(kWalk, 48), 10)));
}

// A window of `period` roofed closes: 2 (f - lo) / (hi - lo) - 1 (0 over a
// flat window), then the mean of it and the one before.
TEST(CycleReference, EhlersStochastic) {
  const std::size_t n = 20;
  const std::vector<double> f = super_smoother(one_pole_highpass(kWalk, 48), 10);
  Values want(f.size());
  double prev = 0.0;
  for (std::size_t i = n - 1; i < f.size(); ++i) {
    const auto [lo, hi] = std::minmax_element(f.begin() + (i + 1 - n), f.begin() + i + 1);
    const double raw = *hi - *lo > 0 ? 2 * (f[i] - *lo) / (*hi - *lo) - 1 : 0.0;
    want[i] = i == n - 1 ? raw : (raw + prev) / 2;
    prev = raw;
  }
  expect_reference("EhlersStochastic", {double(n)}, want);
}

// One-pole high-pass with a1 = (1 - sin w) / cos w, smoothed; the mean of
// the last three over their root mean square, within [-1, 1].
TEST(CycleReference, EvenBetterSinewave) {
  const double duration = 40, smoothing = 10;
  const double w = 2 * kPi / duration;
  const double a1 = (1 - cr::sin(w)) / cr::cos(w);
  std::vector<double> hp(kWalk.size(), 0.0);
  for (std::size_t i = 1; i < kWalk.size(); ++i) {
    hp[i] = a1 * hp[i - 1] + (1 + a1) / 2 * (kWalk[i] - kWalk[i - 1]);
  }
  const std::vector<double> f = super_smoother(hp, smoothing);
  Values want(f.size());
  for (std::size_t i = 2; i < f.size(); ++i) {
    const double wave = (f[i] + f[i - 1] + f[i - 2]) / 3;
    const double power = (f[i] * f[i] + f[i - 1] * f[i - 1] + f[i - 2] * f[i - 2]) / 3;
    want[i] = power > 0 ? std::clamp(wave / std::sqrt(power), -1.0, 1.0) : 0.0;
  }
  expect_reference("EvenBetterSinewave", {duration, smoothing}, want);
}

// Half the two-bar change, smoothed, over its decaying peak.
TEST(CycleReference, UniversalOscillator) {
  const std::size_t n = 20;
  std::vector<double> wn;
  for (std::size_t i = 2; i < kWalk.size(); ++i) wn.push_back((kWalk[i] - kWalk[i - 2]) / 2);
  const std::vector<double> f = super_smoother(wn, double(n), kOwnAngle);
  Values want(kWalk.size());
  double peak = 0.0;
  for (std::size_t k = 0; k < f.size(); ++k) {
    peak = std::max(std::fabs(f[k]), 0.991 * peak);
    want[k + 2] = peak > 0 ? std::clamp(f[k] / peak, -1.0, 1.0) : 0.0;
  }
  expect_reference("UniversalOscillator", {double(n)}, want);
}

// The smoothed close against the values n bars back (Reflex: against the line
// from the oldest to the newest), normalised by its running mean square.
TEST(CycleReference, ReflexAndTrendflex) {
  const std::size_t n = 20;
  const std::vector<double> f = super_smoother(kWalk, double(n) / 2);
  for (const bool reflex : {true, false}) {
    Values want(f.size());
    double ms = 0.0;
    for (std::size_t i = n; i < f.size(); ++i) {
      const double slope = (f[i - n] - f[i]) / double(n);
      double sum = 0.0;
      for (std::size_t k = 1; k <= n; ++k) {
        sum += reflex ? (f[i] + slope * double(k)) - f[i - k] : f[i] - f[i - k];
      }
      sum /= double(n);
      ms = 0.96 * ms + 0.04 * sum * sum;
      want[i] = ms > 0 ? sum / std::sqrt(ms) : 0.0;
    }
    expect_reference(reflex ? "Reflex" : "Trendflex", {double(n)}, want, 1e-7);
  }
}

// The mean of the last 2 * period band-pass values (bandwidth 0.1), from the
// 50th bar at the earliest.
TEST(CycleReference, EmpiricalModeDecomposition) {
  for (const std::size_t n : {std::size_t{10}, std::size_t{40}}) {
    const double b = cr::cos(2 * kPi / double(n)), g = 1 / cr::cos(4 * kPi * 0.1 / double(n));
    const double a = g - std::sqrt(g * g - 1);
    std::vector<double> bp(kWalk.size(), 0.0);
    for (std::size_t i = 2; i < kWalk.size(); ++i) {
      bp[i] = (1 - a) / 2 * (kWalk[i] - kWalk[i - 2]) + b * (1 + a) * bp[i - 1] - a * bp[i - 2];
    }
    Values want(kWalk.size());
    for (std::size_t i = std::max(2 * n, std::size_t{50}) - 1; i < kWalk.size(); ++i) {
      double sum = 0.0;
      for (std::size_t k = i + 1 - 2 * n; k <= i; ++k) sum += bp[k];
      want[i] = sum / double(2 * n);
    }
    expect_reference("EmpiricalModeDecomposition", {double(n), 0.5}, want, 1e-7);
  }
}

// The dominant cycle from the roofed closes: three-point correlations at
// every lag, their spectrum over the candidate periods smoothed bar to bar,
// and the power-weighted mean of the periods at half the peak power or more.
Values periodogram_reference(const std::vector<double>& x, std::size_t lo, std::size_t hi) {
  const std::vector<double> f = super_smoother(one_pole_highpass(x, double(hi)), 10);
  Values out(x.size());
  std::vector<double> r(hi + 1, 0.0), corr(hi + 1, 0.0);
  double maxpwr = 0.0;
  for (std::size_t i = hi + 2; i < f.size(); ++i) {
    for (std::size_t lag = 0; lag <= hi; ++lag) {
      double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
      for (std::size_t k = 0; k < 3; ++k) {
        const double a = f[i - k], b = f[i - lag - k];
        sx += a;
        sy += b;
        sxx += a * a;
        syy += b * b;
        sxy += a * b;
      }
      const double d = (3 * sxx - sx * sx) * (3 * syy - sy * sy);
      corr[lag] = d > 0 ? (3 * sxy - sx * sy) / std::sqrt(d) : 0.0;
    }
    maxpwr *= 0.995;
    for (std::size_t p = lo; p <= hi; ++p) {
      double c = 0, sn = 0;
      for (std::size_t n = 3; n <= hi; ++n) {
        const double angle = 2 * kPi * double(n) / double(p);
        c += corr[n] * cr::cos(angle);
        sn += corr[n] * cr::sin(angle);
      }
      const double q = c * c + sn * sn;
      r[p] = 0.2 * q * q + 0.8 * r[p];
      maxpwr = std::max(maxpwr, r[p]);
    }
    double spx = 0, sp = 0;
    for (std::size_t p = lo; maxpwr > 0 && p <= hi; ++p) {
      const double pwr = r[p] / maxpwr;
      if (pwr >= 0.5) {
        spx += pwr * double(p);
        sp += pwr;
      }
    }
    out[i] = sp > 0 ? std::clamp(spx / sp, double(lo), double(hi)) : double(lo);
  }
  return out;
}

TEST(CycleReference, AutocorrelationPeriodogram) {
  for (const auto& [lo, hi] : {std::pair{8, 48}, std::pair{4, 11}}) {
    expect_reference("AutocorrelationPeriodogram", {double(lo), double(hi)},
                     periodogram_reference(kWalk, lo, hi), 1e-7);
  }
}

}  // namespace
}  // namespace fendro::testing::cycle
