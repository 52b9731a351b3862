// The harmonic rules: ratios between consecutive swing legs within bands.
#include <array>
#include <cmath>

#include "fendro/indicators/chart/swing_patterns.hpp"

namespace fendro::chart {
namespace {

struct Band {
  double lo, hi;
  // Both ends included; a NaN or infinite ratio (a zero leg below) lies in no band.
  bool holds(double r) const { return lo <= r && r <= hi; }
};

// X, A, B, C, D: the five newest pivots' prices, oldest first.
struct Xabcd {
  double x, a, b, c, d;
};

Xabcd points(const SwingTracker& t) {
  return {t.pivot(0).price, t.pivot(1).price, t.pivot(2).price, t.pivot(3).price,
          t.pivot(4).price};
}

// Bands of AB/XA, BC/AB, CD/BC and AD/XA, tested in that order.
double five_point(const SwingTracker& t, const std::array<Band, 4>& bands) {
  const Xabcd p = points(t);
  const double xa = p.a - p.x;
  const double ab = p.b - p.a;
  if (!bands[0].holds(std::abs(ab / xa))) return 0.0;
  const double bc = p.c - p.b;
  if (!bands[1].holds(std::abs(bc / ab))) return 0.0;
  if (!bands[2].holds(std::abs((p.d - p.c) / bc))) return 0.0;
  if (!bands[3].holds(std::abs((p.d - p.a) / xa))) return 0.0;
  return completes_at(t.from_newest(0));
}

}  // namespace

double GartleyRule::judge(const SwingTracker& t) {
  return five_point(t, {{{0.55, 0.7}, {0.382, 0.886}, {1.13, 1.618}, {0.74, 0.84}}});
}
double BatRule::judge(const SwingTracker& t) {
  return five_point(t, {{{0.382, 0.5}, {0.382, 0.886}, {1.618, 2.618}, {0.84, 0.93}}});
}
double ButterflyRule::judge(const SwingTracker& t) {
  return five_point(t, {{{0.74, 0.84}, {0.382, 0.886}, {1.618, 2.618}, {1.27, 1.618}}});
}
double CrabRule::judge(const SwingTracker& t) {
  return five_point(t, {{{0.382, 0.618}, {0.382, 0.886}, {2.24, 3.618}, {1.55, 1.65}}});
}
double SharkRule::judge(const SwingTracker& t) {
  return five_point(t, {{{1.13, 1.618}, {1.618, 2.24}, {0.382, 0.886}, {0.886, 1.13}}});
}

// AB/XA, XC/XA, CD/XC; no BC/AB test.
double CypherRule::judge(const SwingTracker& t) {
  const Xabcd p = points(t);
  const double xa = p.a - p.x;
  if (!Band{0.382, 0.618}.holds(std::abs((p.b - p.a) / xa))) return 0.0;
  const double xc = p.c - p.x;
  if (!Band{1.272, 1.414}.holds(std::abs(xc / xa))) return 0.0;
  if (!Band{0.74, 0.83}.holds(std::abs((p.d - p.c) / xc))) return 0.0;
  return completes_at(t.from_newest(0));
}

// Unsigned legs; the outer two equal within 10%.
double AbcdRule::judge(const SwingTracker& t) {
  const double ab = std::abs(t.pivot(1).price - t.pivot(0).price);
  const double bc = std::abs(t.pivot(2).price - t.pivot(1).price);
  const double cd = std::abs(t.pivot(3).price - t.pivot(2).price);
  const bool hold = Band{1.13, 2.618}.holds(cd / bc) && Band{0.382, 0.886}.holds(bc / ab) &&
                    within(ab, cd, 0.1);
  return hold ? completes_at(t.from_newest(0)) : 0.0;
}

// Legs l[0] .. l[5] between the seven pivots: drives l[1], l[3], l[5], each
// after its correction l[0], l[2], l[4].
double ThreeDrivesRule::judge(const SwingTracker& t) {
  std::array<double, 6> l{};
  for (std::size_t k = 0; k < l.size(); ++k) {
    l[k] = std::abs(t.pivot(k + 1).price - t.pivot(k).price);
  }
  constexpr Band kDrive{1.13, 1.75};
  const bool hold = kDrive.holds(l[1] / l[0]) && kDrive.holds(l[5] / l[4]) &&
                    kDrive.holds(l[3] / l[2]) && within(l[3], l[5], 0.2) &&
                    within(l[1], l[3], 0.2) && within(l[0], l[2], 0.3) && within(l[2], l[4], 0.3);
  return hold ? completes_at(t.from_newest(0)) : 0.0;
}

}  // namespace fendro::chart
