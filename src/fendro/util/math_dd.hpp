// Double-double arithmetic for the math module's fast evaluations: a value
// is an unevaluated sum hi + lo of two doubles. Plain IEEE operations only
// (products split by Veltkamp, never a fused multiply-add), so every CPU gives
// the same bits. Internal to src/fendro/util/math_*.
#pragma once

#include <mpfr.h>

#include <cmath>

namespace fendro::cr::dd {

struct DD {
  double hi;
  double lo;
};

// Exact sum: hi + lo == a + b.
inline DD two_sum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  const double e = (a - (s - bb)) + (b - bb);
  return {s, e};
}

// Exact sum when |a| >= |b|.
inline DD fast_two_sum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

// Exact product by Veltkamp splitting (no FMA, so the same on every CPU);
// valid while the operands stay far from overflow and underflow.
inline DD two_prod(double a, double b) {
  constexpr double kSplit = 134217729.0;  // 2^27 + 1
  const double ca = kSplit * a;
  const double ah = ca - (ca - a);
  const double al = a - ah;
  const double cb = kSplit * b;
  const double bh = cb - (cb - b);
  const double bl = b - bh;
  const double p = a * b;
  const double e = ((ah * bh - p) + ah * bl + al * bh) + al * bl;
  return {p, e};
}

// n / d for double-doubles, within about 2^-100 relative.
inline DD dd_div(DD n, DD d) {
  const double q = n.hi / d.hi;
  const DD p = two_prod(q, d.hi);
  const double r = (((n.hi - p.hi) - p.lo) + n.lo) - q * d.lo;
  return fast_two_sum(q, r / d.hi);
}

// a * b for double-doubles, within about 2^-104 relative.
inline DD dd_mul(DD a, DD b) {
  const DD p = two_prod(a.hi, b.hi);
  return fast_two_sum(p.hi, (p.lo + a.hi * b.lo) + a.lo * b.hi);
}

// a + b for double-doubles whose sum is not much smaller than either (no
// large cancellation).
inline DD dd_add(DD a, DD b) {
  const DD s = two_sum(a.hi, b.hi);
  return fast_two_sum(s.hi, (s.lo + a.lo) + b.lo);
}

// The double-double nearest an MPFR value (tmp: scratch of the same precision).
inline DD split_mpfr(mpfr_t v, mpfr_t tmp) {
  const double hi = mpfr_get_d(v, MPFR_RNDN);
  mpfr_sub_d(tmp, v, hi, MPFR_RNDN);
  return {hi, mpfr_get_d(tmp, MPFR_RNDN)};
}

// The double nearest r when every value within 2^-64 |r| of r rounds to the
// same double: then, for an evaluation with relative error below 2^-70, it is
// the correctly rounded result (the rounding of the interval ends, below
// 2^-105 |r|, is far inside the margin).
inline bool decided(DD r, double& out) {
  const DD n = fast_two_sum(r.hi, r.lo);
  const double err = std::abs(n.hi) * 0x1p-64;
  const double up = n.hi + (n.lo + err);
  const double down = n.hi + (n.lo - err);
  if (up != down) return false;
  out = up;
  return true;
}

}  // namespace fendro::cr::dd
