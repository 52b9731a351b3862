#include "fendro/indicators/chart/swing_patterns.hpp"

#include <algorithm>
#include <cmath>

namespace fendro::chart {
namespace {

double price(const SwingTracker& t, std::size_t k) { return t.pivot(k).price; }
bool is_high(const SwingTracker& t, std::size_t k) { return t.pivot(k).kind > 0.0; }
const SwingPivot& newest(const SwingTracker& t) { return t.from_newest(0); }

// Four pivots as their older and newer swing highs and lows.
struct HighsLows {
  double h1, h2, l1, l2;
};

HighsLows highs_lows(const SwingTracker& t) {
  if (is_high(t, 3)) return {price(t, 1), price(t, 3), price(t, 0), price(t, 2)};
  return {price(t, 0), price(t, 2), price(t, 1), price(t, 3)};
}

}  // namespace

bool within(double a, double b, double fraction) {
  constexpr double kSmallestNormal = 2.2250738585072014e-308;
  return std::abs(a - b) <= fraction * std::max({std::abs(a), std::abs(b), kSmallestNormal});
}

double DoubleTopBottomRule::judge(const SwingTracker& t) {
  return level(price(t, 0), price(t, 2)) ? completes_at(newest(t)) : 0.0;
}

double TripleTopBottomRule::judge(const SwingTracker& t) {
  const bool hold = level(price(t, 0), price(t, 2)) && level(price(t, 2), price(t, 4));
  return hold ? completes_at(newest(t)) : 0.0;
}

// Shoulders P1 and P5, head P3, neckline P2 and P4.
double HeadAndShouldersRule::judge(const SwingTracker& t) {
  const double p1 = price(t, 0), p3 = price(t, 2), p5 = price(t, 4);
  if (!level(p1, p5) || !level(price(t, 1), price(t, 3))) return 0.0;
  if (is_high(t, 4)) return p3 > p1 && p3 > p5 ? -1.0 : 0.0;
  return p3 < p1 && p3 < p5 ? 1.0 : 0.0;
}

double RectangleRangeRule::judge(const SwingTracker& t) {
  const bool hold = level(price(t, 0), price(t, 2)) && level(price(t, 1), price(t, 3));
  return hold ? completes_at(newest(t)) : 0.0;
}

// Rims P1 and P3, cup extreme P2, handle P4.
double CupAndHandleRule::judge(const SwingTracker& t) {
  const double p2 = price(t, 1), p3 = price(t, 2), p4 = price(t, 3);
  const bool rims = level(price(t, 0), p3);
  if (!is_high(t, 3)) return p4 > p2 && p4 < p3 && rims ? 1.0 : 0.0;
  return p4 < p2 && p4 > p3 && rims ? -1.0 : 0.0;
}

double TriangleRule::judge(const SwingTracker& t) {
  const HighsLows p = highs_lows(t);
  if (level(p.h1, p.h2)) {  // flat top
    if (p.l2 > p.l1 * 1.03) return 1.0;
    return p.h2 < p.h1 * 0.97 && level(p.l1, p.l2) ? -1.0 : 0.0;
  }
  if (p.h2 < p.h1 * 0.97) {  // falling highs
    if (level(p.l1, p.l2)) return -1.0;
    if (p.l2 > p.l1 * 1.03) return completes_at(newest(t));  // symmetrical
  }
  return 0.0;
}

double WedgeRule::judge(const SwingTracker& t) {
  const HighsLows p = highs_lows(t);
  const double dh = p.h2 - p.h1;
  const double dl = p.l2 - p.l1;
  if (dl > dh && dl > 0.0 && dh > 0.0) return -1.0;  // rising, lows faster
  if (dh < 0.0 && dl < 0.0 && dl > dh) return 1.0;   // falling, highs faster
  return 0.0;
}

// Pole from P1 to P2, flag from P2 to P3.
double FlagPennantRule::judge(const SwingTracker& t) {
  const double pole = price(t, 1) - price(t, 0);
  if (pole == 0.0) return 0.0;
  if (!(std::abs(price(t, 2) - price(t, 1)) < 0.5 * std::abs(pole))) return 0.0;
  return is_high(t, 1) ? 1.0 : -1.0;
}

}  // namespace fendro::chart
