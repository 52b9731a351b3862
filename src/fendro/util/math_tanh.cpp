// A fast, correctly rounded tanh: tanh|x| = D / (D + 2) with D = expm1(2|x|),
// computed in double-double with a relative error below 2^-85 and kept when
// the rounding test of dd::decided (margin 2^-64) settles it; otherwise MPFR.
// tanh is transcendental at every non-zero double, so no value lies exactly on
// a rounding boundary.
//
// expm1(y), y = 2|x| in [2^-27, 44): y = n L + r with L = ln 2 / 1024 held in
// three parts (the first with 36 bits, so n L1 is exact for n < 2^17, and
// y - n L1 is exact by Sterbenz), |r| <= 2^-11.5 as a double-double within
// 2^-105; expm1(r) = r + r^2/2 + (r^3/6 + ... + r^7/5040), the first two terms
// in double-double, the rest in double (error below 2^-88 |r|, truncation
// below 2^-107); with n = 1024 m + j, e^y = 2^m 2^(j/1024) (1 + expm1(r)),
// 2^(j/1024) from MPFR within 2^-106. For n = 0, D = expm1(r) itself, relative
// error below 2^-88; for n >= 1, D >= 2^-11.6 while e^y carries an error
// below 2^-100 e^y, so D's relative error stays below 2^-86. The quotient adds
// less than 2^-100.
#include <mpfr.h>

#include <array>
#include <cmath>

#include "fendro/util/math.hpp"
#include "fendro/util/math_dd.hpp"
#include "fendro/util/math_mpfr.hpp"

namespace fendro::cr {
namespace {

using dd::DD;

constexpr int kSteps = 1024;

struct Tables {
  std::array<DD, kSteps> exp2_j;  // 2^(j / 1024)
  double l1, l2, l3;              // ln 2 / 1024 = l1 + l2 + l3, l1 with 36 bits
  double inv_l;                   // 1024 / ln 2, only to choose n
};

// Made once per process from MPFR, so that no constant has to be trusted as
// typed.
const Tables& tables() {
  static const Tables t = [] {
    Tables out{};
    mpfr_t v, tmp, l36;
    mpfr_inits2(200, v, tmp, static_cast<mpfr_ptr>(nullptr));
    mpfr_init2(l36, 36);
    for (int j = 0; j < kSteps; ++j) {
      mpfr_set_si(v, j, MPFR_RNDN);
      mpfr_div_si(v, v, kSteps, MPFR_RNDN);
      mpfr_exp2(v, v, MPFR_RNDN);
      out.exp2_j[j] = dd::split_mpfr(v, tmp);
    }
    mpfr_const_log2(v, MPFR_RNDN);
    mpfr_div_si(v, v, kSteps, MPFR_RNDN);
    mpfr_set(l36, v, MPFR_RNDN);
    out.l1 = mpfr_get_d(l36, MPFR_RNDN);  // exact: 36 bits
    mpfr_sub(v, v, l36, MPFR_RNDN);
    out.l2 = mpfr_get_d(v, MPFR_RNDN);
    mpfr_sub_d(v, v, out.l2, MPFR_RNDN);
    out.l3 = mpfr_get_d(v, MPFR_RNDN);
    mpfr_const_log2(v, MPFR_RNDN);
    mpfr_si_div(v, kSteps, v, MPFR_RNDN);
    out.inv_l = mpfr_get_d(v, MPFR_RNDN);
    mpfr_clears(v, tmp, l36, static_cast<mpfr_ptr>(nullptr));
    return out;
  }();
  return t;
}

// expm1(y) for y in [2^-27, 44) as a double-double.
DD expm1_dd(double y, const Tables& t) {
  const double scaled = y * t.inv_l;  // below 65000
  int n = static_cast<int>(scaled);
  if (scaled - n >= 0.5) ++n;  // exact fraction: no rounding past a step
  const double nd = static_cast<double>(n);
  const double a = y - nd * t.l1;  // both steps exact
  const DD p2 = dd::two_prod(nd, t.l2);
  const DD rs = dd::two_sum(a, -p2.hi);
  const DD r = dd::fast_two_sum(rs.hi, (rs.lo - p2.lo) - nd * t.l3);

  const DD sq = dd::two_prod(r.hi, r.hi);
  const DD half{sq.hi * 0.5, (sq.lo + 2.0 * r.hi * r.lo) * 0.5};
  const double rh = r.hi;
  const double tail =
      rh * sq.hi *
      (1.0 / 6 + rh * (1.0 / 24 + rh * (1.0 / 120 + rh * (1.0 / 720 + rh * (1.0 / 5040)))));
  const DD s1 = dd::two_sum(rh, half.hi);
  const DD p = dd::fast_two_sum(s1.hi, ((s1.lo + r.lo) + half.lo) + tail);
  if (n == 0) return p;

  const int m = n / kSteps;
  const DD& tj = t.exp2_j[n % kSteps];
  const DD e = dd::dd_add(tj, dd::dd_mul(tj, p));  // 2^(j/1024) e^r, near [1, 2)
  const double scale = std::ldexp(1.0, m);          // exact, m <= 63
  const DD d = dd::two_sum(e.hi * scale, -1.0);
  return dd::fast_two_sum(d.hi, d.lo + e.lo * scale);
}

}  // namespace

double tanh(double x) {
  const double ax = std::abs(x);
  if (ax != ax) return mpfr_path::tanh(x);  // NaN
  // Below 2^-28, tanh(x) = x - x^3/3 + ... lies within a third of half an ulp
  // of x; from 22 on, 1 - tanh|x| < 2 e^-44 is far below half an ulp of 1.
  if (ax < 0x1p-28) return x;
  if (ax >= 22.0) return std::copysign(1.0, x);
  const DD d = expm1_dd(ax + ax, tables());
  const DD q = dd::dd_div(d, dd::dd_add(d, {2.0, 0.0}));
  double r;
  if (!dd::decided(q, r)) return mpfr_path::tanh(x);
  return x < 0.0 ? -r : r;
}

}  // namespace fendro::cr
