#include "fendro/indicators/volume/repeated_sum.hpp"

#include <cmath>

#include "fendro/util/portable_min_max.hpp"

namespace fendro::volume {
namespace {

// The end of the stretch of doubles that shares x's spacing: the next power
// of two above x (the largest double in the top binade, the smallest normal
// number for the subnormals, which share one spacing).
double spacing_limit(double x) {
  constexpr double kMinNormal = std::numeric_limits<double>::min();
  if (x < kMinNormal) return kMinNormal;
  const int e = std::ilogb(x);
  if (e >= std::numeric_limits<double>::max_exponent - 1) return std::numeric_limits<double>::max();
  return std::ldexp(1.0, e + 1);
}

}  // namespace

RepeatedSum add_repeatedly_long(double t, double v, std::uint64_t k, double stop) {
  std::uint64_t done = 0;
  while (done < k && t < stop) {
    // Two plain additions. When the start and both results share one
    // spacing, the second increment is the increment of every further
    // addition that stays below the spacing's end. (With v exactly half a
    // spacing off the grid, rounding to even can make the first increment
    // differ; every one after it agrees.)
    const double t0 = t;
    t = t + v;
    ++done;
    if (t == t0) return {t, k};  // stuck: every further addition leaves t as it is
    if (done == k || !(t < stop)) break;
    const double t1 = t;
    t = t + v;
    ++done;
    if (done == k || !(t < stop) || !std::isfinite(t)) continue;
    const double limit = spacing_limit(t);
    if (spacing_limit(t0) != limit || spacing_limit(t1) != limit) continue;
    const double d = t - t1;  // exact: both lie in one spacing
    // Additions that surely keep t below the limit and below stop; the
    // margin covers the rounding of the quotients.
    double room = std::floor((limit - t) / d);
    if (stop < limit) room = portable_fmin(room, std::floor((stop - t) / d));
    room -= 2.0;
    if (!(room >= 1.0)) continue;
    const std::uint64_t left = k - done;
    const std::uint64_t s =
        room >= static_cast<double>(left) ? left : static_cast<std::uint64_t>(room);
    t = t + static_cast<double>(s) * d;  // exact: a multiple of the spacing below the limit
    done += s;
  }
  return {t, done};
}

}  // namespace fendro::volume
