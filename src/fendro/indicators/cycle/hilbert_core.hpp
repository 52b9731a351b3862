// The Hilbert-transform cycle engine: smooths the close, removes its trend,
// splits it into in-phase and quadrature parts and tracks the dominant cycle
// period from the phase advance of a homodyne product. The DC-phase step
// reads the cycle phase from the last `period` smoothed prices against a
// process-wide table of unit phasors. No fused multiply-add anywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "fendro/indicators/cycle/recent_values.hpp"

namespace fendro::cycle {

struct SinCos {
  double sin;
  double cos;
};

// Slice n (0..50) of the unit-phasor table: the n pairs of the angles
// 2 pi k / n, k = 0..n-1 (slice 0 is empty). Built once, on first use.
std::span<const SinCos> dc_phasor_lookup(std::size_t n);

inline constexpr std::size_t kPhaseDepth = 50;

struct HilbertCycleState {
  std::uint64_t bars = 0;  // finite inputs seen
  RecentValues<4> price;
  RecentValues<7> smooth;
  RecentValues<7> detrender;
  RecentValues<7> q1;
  RecentValues<7> i1;
  double i2 = 0.0, q2 = 0.0, re = 0.0, im = 0.0;
  double period = 0.0;
  double smooth_period = 0.0;
};

// The core steps for a finite input x, up to the period update. `deep`, when
// given, also receives every smoothed price. True when this bar reached the
// period update (I1 and Q1 hold seven values).
bool hilbert_core_step(HilbertCycleState& s, double x, RecentValues<kPhaseDepth>* deep);

// The period update followed by the smoothed period.
bool hilbert_smoothed_step(HilbertCycleState& s, double x, RecentValues<kPhaseDepth>* deep);

// The phasor slice for smoothed period sp over `available` smoothed prices:
// trunc(sp + 0.5) (saturating, NaN as 0), at most `available`, at least 1.
std::size_t dc_period_clamp(double sp, std::size_t available);

// The DC phase in degrees over the newest n smoothed prices.
double dc_phase(const RecentValues<kPhaseDepth>& smooth, std::size_t n, double sp);

// The smoothed period once 50 finite inputs were seen (x must be finite).
std::optional<double> ht_dominant_cycle_update(HilbertCycleState& s, double x);

struct DcPhaseState {
  HilbertCycleState core;
  RecentValues<kPhaseDepth> deep;
};

// The DC phase once 50 finite inputs were seen (x must be finite).
std::optional<double> ht_dcphase_update(DcPhaseState& s, double x);

}  // namespace fendro::cycle
