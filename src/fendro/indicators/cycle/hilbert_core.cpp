#include "fendro/indicators/cycle/hilbert_core.hpp"
#include "fendro/indicators/common/close_window.hpp"
#include "fendro/util/math.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace fendro::cycle {
namespace {

constexpr double kA = 0.0962;
constexpr double kB = 0.5769;
constexpr double kEps = 2.220446049250313e-16;
constexpr std::uint64_t kFirstOutputBar = 50;

// The engine's FIR over a seven-deep history, formed left to right.
double fir(const RecentValues<7>& h) { return ((h[0] * kA + h[2] * kB) - h[4] * kB) - h[6] * kA; }

constexpr std::size_t kSlices = kPhaseDepth + 1;
constexpr std::size_t kPairs = kPhaseDepth * (kPhaseDepth + 1) / 2;

struct PhasorTable {
  std::array<SinCos, kPairs> pairs;
  std::array<std::size_t, kSlices> start;
};

PhasorTable build_phasor_table() {
  PhasorTable t{};
  std::size_t at = 0;
  for (std::size_t n = 0; n < kSlices; ++n) {
    t.start[n] = at;
    for (std::size_t k = 0; k < n; ++k) {
      const double a = (static_cast<double>(k + k) * 3.141592653589793) / static_cast<double>(n);
      t.pairs[at++] = SinCos{cr::sin(a), cr::cos(a)};
    }
  }
  return t;
}

}  // namespace

std::span<const SinCos> dc_phasor_lookup(std::size_t n) {
  // A function-local static: built once, thread-safe on first use, read-only after.
  static const PhasorTable table = build_phasor_table();
  return std::span<const SinCos>(table.pairs).subspan(table.start[n], n);
}

bool hilbert_core_step(HilbertCycleState& s, double x, RecentValues<kPhaseDepth>* deep) {
  s.bars += 1;
  s.price.push(x);
  if (s.price.len() < 4) return false;
  const RecentValues<4>& p = s.price;
  const double smooth = (p[3] + ((p[0] * 4.0 + p[1] * 3.0) + (p[2] + p[2]))) / 10.0;
  s.smooth.push(smooth);
  if (deep != nullptr) deep->push(smooth);
  if (s.smooth.len() < 7) return false;

  // The band factor follows the period of the previous bar.
  const double f = std::min(std::max(s.period, 6.0), 50.0) * 0.075 + 0.54;
  s.detrender.push(fir(s.smooth) * f);
  if (s.detrender.len() < 7) return false;
  const double q1 = fir(s.detrender) * f;
  const double i1 = s.detrender[3];
  s.q1.push(q1);
  s.i1.push(i1);
  if (s.q1.len() < 7 || s.i1.len() < 7) return false;

  const double ji = f * fir(s.i1);
  const double jq = f * fir(s.q1);
  const double i2_prev = s.i2;
  const double q2_prev = s.q2;
  s.i2 = i2_prev * 0.8 + (i1 - jq) * 0.2;
  s.q2 = (q1 + ji) * 0.2 + q2_prev * 0.8;
  s.re = s.re * 0.8 + (s.i2 * i2_prev + s.q2 * q2_prev) * 0.2;
  s.im = s.im * 0.8 + (s.i2 * q2_prev - s.q2 * i2_prev) * 0.2;

  const double prev = s.period;
  double raw = prev;
  if (std::abs(s.im) > kEps && std::abs(s.re) > kEps) raw = 6.283185307179586 / cr::atan2(s.im, s.re);
  raw = std::min(raw, 1.5 * prev);
  raw = std::max(raw, 0.67 * prev);
  raw = std::max(raw, 6.0);
  raw = std::min(raw, 50.0);
  s.period = prev * 0.8 + raw * 0.2;
  return true;
}

bool hilbert_smoothed_step(HilbertCycleState& s, double x, RecentValues<kPhaseDepth>* deep) {
  if (!hilbert_core_step(s, x, deep)) return false;
  s.smooth_period = s.smooth_period * 0.67 + s.period * 0.33;
  return true;
}

std::size_t dc_period_clamp(double sp, std::size_t available) {
  const double t = std::trunc(sp + 0.5);
  std::size_t n = 0;
  if (t >= static_cast<double>(kPhaseDepth)) {
    n = kPhaseDepth;
  } else if (t > 0.0) {
    n = static_cast<std::size_t>(t);
  }
  n = std::min(n, available);
  return n == 0 ? 1 : n;
}

namespace {

// Out of line: a moving market answers at the first pair that differs.
[[gnu::cold]] [[gnu::noinline]] bool copies_over(std::span<const double> values) {
  return stats::only_copies(values);
}

}  // namespace

double dc_phase(const RecentValues<kPhaseDepth>& smooth, std::size_t n, double sp) {
  const std::span<const SinCos> ph = dc_phasor_lookup(n);
  const std::span<const double> s = smooth.newest_first();
  double real = 0.0;
  double imag = 0.0;
  // Copies of one price over a whole cycle of two or more bars have no
  // phasor: the sines and the cosines of a full turn each sum to 0, which
  // their rounded table values miss by a residue whose sign would pick the
  // phase.
  const bool copies = n >= 2 && s[1] == s[0] && copies_over(s.first(n));
  for (std::size_t k = 0; k < (copies ? 0 : n); ++k) {
    real = real + ph[k].sin * s[k];
    imag = imag + ph[k].cos * s[k];
  }
  double phase;
  if (std::abs(imag) > 0.001) {
    phase = cr::atan(real / imag) * 57.29577951308232 + 90.0;
  } else {
    phase = real < 0.0 ? 0.0 : 180.0;
  }
  phase = 360.0 / sp + phase;
  if (imag < 0.0) phase += 180.0;
  if (phase > 315.0) phase -= 360.0;
  return phase;
}

std::optional<double> ht_dominant_cycle_update(HilbertCycleState& s, double x) {
  if (!hilbert_smoothed_step(s, x, nullptr) || s.bars < kFirstOutputBar) return std::nullopt;
  return s.smooth_period;
}

std::optional<double> ht_dcphase_update(DcPhaseState& s, double x) {
  if (!hilbert_smoothed_step(s.core, x, &s.deep) || s.core.bars < kFirstOutputBar) {
    return std::nullopt;
  }
  const double sp = s.core.smooth_period;
  return dc_phase(s.deep, dc_period_clamp(sp, s.deep.len()), sp);
}

}  // namespace fendro::cycle
