#include "fendro/indicators/levels/fib_retracements.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/indicators/common/inputs.hpp"

namespace fendro {
namespace {

// Retracements of the leg from a (older end) to b (newer end).
std::array<double, 7> retracements(double a, double b) {
  const double d = a - b;
  return {b + d * 0.0, b + d * 0.236, b + d * 0.382, b + d * 0.5,
          b + d * 0.618, b + d * 0.786, b + d};
}

}  // namespace

std::array<double, 3> GoldenPocketRule::levels(const SwingTracker& t) {
  const double b = t.pivot(1).price;
  const double d = t.pivot(0).price - b;
  const double z1 = b + d * 0.618;
  const double z2 = b + d * 0.65;
  const double low = std::min(z1, z2);
  const double high = std::max(z1, z2);
  return {low, midpoint(low, high), high};
}

std::array<double, 7> FibRetracementRule::levels(const SwingTracker& t) {
  return retracements(t.pivot(0).price, t.pivot(1).price);
}

std::array<double, 7> AutoFibRule::levels(const SwingTracker& t) {
  // A later leg replaces the chosen one unless the chosen one is strictly
  // larger, so the newest of equal legs wins.
  std::size_t best = 0;
  double best_size = std::abs(t.pivot(0).price - t.pivot(1).price);
  for (std::size_t k = 1; k + 1 < t.count(); ++k) {
    const double size = std::abs(t.pivot(k).price - t.pivot(k + 1).price);
    if (!(best_size > size)) {
      best = k;
      best_size = size;
    }
  }
  return retracements(t.pivot(best).price, t.pivot(best + 1).price);
}

std::array<double, 5> FibExtensionRule::levels(const SwingTracker& t) {
  const double a = t.pivot(0).price;
  const double e = t.pivot(1).price - a;
  return {a + e * 1.272, a + e * 1.414, a + e * 1.618, a + (e + e), a + e * 2.618};
}

std::array<double, 4> FibProjectionRule::levels(const SwingTracker& t) {
  const double e = t.pivot(1).price - t.pivot(0).price;
  const double c = t.pivot(2).price;
  return {c + e * 0.618, c + e, c + e * 1.618, c + e * 2.618};
}

}  // namespace fendro
