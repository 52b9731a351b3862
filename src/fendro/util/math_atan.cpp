// A fast, correctly rounded atan and atan2: the value is computed in
// double-double arithmetic with a relative error below 2^-70, then kept only
// when every value within 2^-64 of it (a margin of 64 times the error bound)
// rounds to the same double; otherwise MPFR decides. atan is transcendental at
// every non-zero double, so no value lies exactly on a rounding boundary and
// the fallback is rare (about one call in 2^11 at most).
//
// Error budget, relative to the result r = atan(u), u = |x| or 1/|x| in [0, 1]:
//  - u as a double-double (exact for |x| <= 1, reciprocal within 2^-100);
//  - atan(c), c = k/1024 the nearest table point, from MPFR to within 2^-106;
//  - v = (u - c) / (1 + u c) as a double-double within 2^-100 of v, |v| <= 2^-11;
//  - atan(v) = v + v q, q = -v^2/3 + v^4/5 - ... in double: |q| < 2^-23, so
//    its rounding costs at most 2^-22 * 2^-50 |v|, truncation after v^8
//    below 2^-110 |v|; |v| <= 2 r whatever k is;
//  - the final double-double sums below 2^-100 r; for |x| > 1 the result
//    pi/2 - atan(u) >= pi/4 >= atan(u) keeps the relative bound.
// Total below 2^-70 r. Every step is plain IEEE double arithmetic (exact
// products by splitting, no fused multiply-add), so it is the same on every
// CPU.
#include <mpfr.h>

#include <array>
#include <cmath>
#include <cstdint>

#include "fendro/util/math.hpp"
#include "fendro/util/math_dd.hpp"
#include "fendro/util/math_mpfr.hpp"

namespace fendro::cr {
namespace {

using dd::DD;
using dd::dd_div;
using dd::fast_two_sum;
using dd::split_mpfr;
using dd::two_prod;
using dd::two_sum;
using dd::decided;

constexpr int kSteps = 1024;

struct Tables {
  std::array<DD, kSteps + 1> atan_k;  // atan(k / 1024)
  DD half_pi;
  DD pi;
};

// Made once per process from MPFR (about a millisecond), so that no constant
// has to be trusted as typed.
const Tables& tables() {
  static const Tables t = [] {
    Tables out{};
    mpfr_t v, tmp;
    mpfr_inits2(200, v, tmp, static_cast<mpfr_ptr>(nullptr));
    for (int k = 0; k <= kSteps; ++k) {
      mpfr_set_si(v, k, MPFR_RNDN);
      mpfr_div_si(v, v, kSteps, MPFR_RNDN);
      mpfr_atan(v, v, MPFR_RNDN);
      out.atan_k[k] = split_mpfr(v, tmp);
    }
    mpfr_const_pi(v, MPFR_RNDN);
    out.pi = split_mpfr(v, tmp);
    mpfr_div_2ui(v, v, 1, MPFR_RNDN);
    out.half_pi = split_mpfr(v, tmp);
    mpfr_clears(v, tmp, static_cast<mpfr_ptr>(nullptr));
    return out;
  }();
  return t;
}

// atan(u) for a double-double u in [0, 1].
DD atan_unit(DD u, const Tables& t) {
  // The nearest table point, ties up: the fraction s - k is exact, whereas
  // adding 0.5 first could round up past a point and break the exact
  // difference below.
  const double scaled = u.hi * kSteps;  // exact; u.hi <= 1
  int k = static_cast<int>(scaled);
  if (scaled - k >= 0.5) ++k;
  const double c = static_cast<double>(k) / kSteps;  // exact
  // u.hi - c is exact (Sterbenz, or c = 0); 1 + u c from exact pieces.
  const DD num = two_sum(u.hi - c, u.lo);
  const DD uc = two_prod(u.hi, c);
  const DD one_uc = two_sum(1.0, uc.hi);
  const DD den = fast_two_sum(one_uc.hi, (one_uc.lo + uc.lo) + u.lo * c);
  const DD v = dd_div(num, den);
  const double v2 = v.hi * v.hi;
  const double q =
      v2 * (-1.0 / 3.0 + v2 * (1.0 / 5.0 + v2 * (-1.0 / 7.0 + v2 * (1.0 / 9.0))));
  const DD s = two_sum(t.atan_k[k].hi, v.hi);
  return fast_two_sum(s.hi, ((s.lo + t.atan_k[k].lo) + v.lo) + v.hi * q);
}

// atan(a) for a double-double a > 0 of moderate size.
DD atan_positive(DD a, const Tables& t) {
  if (a.hi <= 1.0) return atan_unit(a, t);
  const DD inv = dd_div({1.0, 0.0}, a);
  const DD r = atan_unit(inv, t);
  const DD d = two_sum(t.half_pi.hi, -r.hi);
  return fast_two_sum(d.hi, (d.lo + t.half_pi.lo) - r.lo);
}

}  // namespace

double atan(double x) {
  const double ax = std::abs(x);
  // Below 2^-28, atan(x) = x - x^3/3 + ... lies within a third of half an ulp
  // of x; above 2^54 it lies within half an ulp of the double nearest pi/2.
  // NaN and infinities, and those two ends, go to MPFR.
  if (!(ax >= 0x1p-28 && ax <= 0x1p54)) return mpfr_path::atan(x);
  double r;
  if (!decided(atan_positive({ax, 0.0}, tables()), r)) return mpfr_path::atan(x);
  return x < 0.0 ? -r : r;
}

double atan2(double y, double x) {
  const double ay = std::abs(y);
  const double ax = std::abs(x);
  // Moderate operands and quotients only: zeros, infinities, NaN and extreme
  // ranges (where the quotient or its pieces could overflow or underflow) go
  // to MPFR, as do quotients below 2^-28 or above 2^54.
  const bool moderate = ay >= 0x1p-900 && ay <= 0x1p900 && ax >= 0x1p-900 && ax <= 0x1p900;
  if (!moderate) return mpfr_path::atan2(y, x);
  const DD ratio = dd_div({ay, 0.0}, {ax, 0.0});
  if (!(ratio.hi >= 0x1p-28 && ratio.hi <= 0x1p54)) return mpfr_path::atan2(y, x);
  const Tables& t = tables();
  DD a = atan_positive(ratio, t);
  if (x < 0.0) {
    // pi - atan(|y/x|) >= pi/2: no cancellation.
    const DD d = two_sum(t.pi.hi, -a.hi);
    a = fast_two_sum(d.hi, (d.lo + t.pi.lo) - a.lo);
  }
  double r;
  if (!decided(a, r)) return mpfr_path::atan2(y, x);
  return y < 0.0 ? -r : r;
}

}  // namespace fendro::cr
