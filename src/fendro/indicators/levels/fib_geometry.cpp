#include "fendro/indicators/levels/fib_geometry.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "fendro/util/saturating.hpp"

namespace fendro {
namespace {

// Bar distances are unsigned differences, converted before any division.
double bars_between(std::uint64_t from, std::uint64_t to) {
  return static_cast<double>(to - from);
}

std::uint64_t current_bar(const SwingTracker& t) { return t.bars_seen() - 1; }

}  // namespace

FibZone fib_time_zone(std::uint64_t e) {
  std::uint64_t a = 1;
  std::uint64_t b = 2;
  FibZone z;
  while (a <= e) {
    if (a == e) z.on_zone = true;
    const std::uint64_t c = sat_add(a, b);
    a = b;
    b = c;
    if (a == kU64Max) break;  // no larger zone number exists
  }
  z.next = a;
  return z;
}

std::array<double, 2> FibTimeZonesRule::levels(const SwingTracker& t) {
  const std::uint64_t e = current_bar(t) - t.from_newest(0).bar;
  const FibZone z = fib_time_zone(e);
  return {z.on_zone ? 1.0 : 0.0, static_cast<double>(z.next - e)};
}

std::array<double, 3> FibFanRule::levels(const SwingTracker& t) {
  const SwingPivot& a = t.pivot(0);
  const SwingPivot& b = t.pivot(1);
  const double time = bars_between(a.bar, current_bar(t)) / bars_between(a.bar, b.bar);
  const double r = b.price - a.price;
  return {a.price + (r * 0.618) * time, a.price + (r * 0.5) * time,
          a.price + (r * 0.382) * time};
}

std::array<double, 3> FibArcsRule::levels(const SwingTracker& t) {
  const SwingPivot& a = t.pivot(0);
  const SwingPivot& b = t.pivot(1);
  const double q = bars_between(b.bar, current_bar(t)) / bars_between(a.bar, b.bar);
  const double k = std::sqrt(std::max(1.0 - q * q, 0.0));
  const double d = a.price - b.price;
  return {b.price + (d * 0.382) * k, b.price + (d * 0.5) * k, b.price + (d * 0.618) * k};
}

std::array<double, 4> FibChannelRule::levels(const SwingTracker& t) {
  const SwingPivot& a = t.pivot(0);
  const SwingPivot& b = t.pivot(1);
  const SwingPivot& c = t.pivot(2);
  const double slope = (c.price - a.price) / bars_between(a.bar, c.bar);
  const double base = a.price + slope * bars_between(a.bar, current_bar(t));
  const double w = b.price - (a.price + slope * bars_between(a.bar, b.bar));
  return {base, base + w * 0.618, w + base, base + w * 1.618};
}

FibCluster fib_confluence_cluster(const double* levels, std::size_t n, std::size_t at) {
  constexpr double kMinNormal = std::numeric_limits<double>::min();
  const double x = levels[at];
  FibCluster c;
  for (std::size_t j = 0; j < n; ++j) {
    const double l = levels[j];
    if (std::abs(l - x) <= 0.03 * std::max({std::abs(l), std::abs(x), kMinNormal})) {
      ++c.count;
      c.sum += l;
    }
  }
  return c;
}

std::array<double, 2> FibConfluenceRule::levels(const SwingTracker& t) {
  // Three retracements per leg, oldest leg first; at most five legs.
  std::array<double, 3 * (SwingTracker::kCapacity - 1)> list{};
  std::size_t n = 0;
  for (std::size_t k = 0; k + 1 < t.count(); ++k) {
    const double b = t.pivot(k + 1).price;
    const double d = t.pivot(k).price - b;
    list[n++] = b + d * 0.382;
    list[n++] = b + d * 0.5;
    list[n++] = b + d * 0.618;
  }
  // A later cluster replaces the best unless the best is strictly larger.
  FibCluster best = fib_confluence_cluster(list.data(), n, 0);
  for (std::size_t i = 1; i < n; ++i) {
    const FibCluster c = fib_confluence_cluster(list.data(), n, i);
    if (!(best.count > c.count)) best = c;
  }
  return {best.sum / static_cast<double>(best.count), static_cast<double>(best.count)};
}

}  // namespace fendro
