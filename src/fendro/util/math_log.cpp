// A fast, correctly rounded log: the value is computed as a double-double
// h + l with a relative error below 2^-66.3, then kept only when h + (l - e)
// and h + (l + e), e = 2^-64 |h|, round to the same double: then every value
// within e - 2^-69 |h| of h + l does (rounding is monotonic; rounding l +- e,
// |l| < 2^-16.8 |h|, moves the ends by less than 2^-69 |h|), the exact log
// among them. Otherwise LLVM's correctly rounded log decides. log x is
// transcendental at every double x != 1, so no value lies exactly on a
// rounding boundary; the fallback takes about one call in 2^10, more among
// arguments 1 + n 2^-52 with small n.
//
// Reduction: x = 2^k z with z in [z0, 2 z0), z0 = 0x1.608p-1; the top 8 bits
// of the bit pattern of x minus that of z0 pick one of 256 intervals [a, b) of
// z (width 2^-9 below 1, 2^-8 above). The interval [1 - 2^-10, 1 + 2^-9)
// around 1 gets invc = 1, so arguments near 1 suffer no cancellation against
// a table value; every other one the multiple of 2^-8 (below 1) or 2^-9
// (above 1) next to 2 / (a + b) that keeps |z invc - 1| smaller. Then
//     log x = k ln 2 - log(invc) + log1p(r),   r = z invc - 1,
// and r is exact as one fused multiply-add: z invc is a multiple of 2^-61
// and |r| <= 2^-8.4 < 2^-8. -log(invc) comes from MPFR as logc_hi, a multiple
// of 2^-42 (so that k ln2_hi + logc_hi is exact), plus logc_lo within 2^-96.
// build_tables() checks the three properties of the table the bounds below
// rest on: |r| <= 2^-8.4; |logc| >= |r| where invc != 1; and |r| <= 3 |y|
// for k = 0 outside the interval around 1.
//
// Error budget, relative to y = log x. |r| <= 1.01 |y| where invc = 1 and
// k = 0 (then y = log1p(r)); |r| <= 3 |y| elsewhere for k = 0, where
// |y| > 2^-10; |y| > 0.32 for k != 0.
//  - k ln 2: ln2_hi has 42 bits, so k ln2_hi is exact for |k| <= 1075;
//    k ln2_lo + logc_lo is rounded once (below 2^-85) and ln2_hi + ln2_lo is
//    within 2^-96 of ln 2: below 2^-84 |y| (k != 0 only);
//  - -log(invc): below 2^-96, where |y| > 2^-10: below 2^-86 |y|;
//  - log1p(r) = r - r^2/2 + r^3 Q(r), Q the Taylor series to the r^8 term:
//    truncation below |r|^9 / 9 < 2^-70.5 |r|, so below 2^-68.9 |y|; r^2/2
//    is exact as q + ql (a fused multiply-add); r^3 Q, below 2^-18.4 |r|, is
//    rounded in about five steps, a relative error below 2^-50.4: below
//    2^-67.2 |y|;
//  - the sums: k ln2_hi + logc_hi is exact (multiples of 2^-42 below 2^10);
//    adding r and then -q/2 is exact by fast_two_sum, since
//    |k ln2_hi + logc_hi| >= |r| (or is 0) and the head exceeds
//    2^-17.8 >= q/2 (or is r itself); the small terms, each below 2^-30 |y|
//    but r^3 Q, are summed in double: below 2^-69.8 |y|.
// Total below 2^-66.3 |y|.
//
// Instruction set: this file's evaluation is compiled for AVX and FMA
// through a target attribute, never the whole build. That cannot change a
// single result: what it returns is the correctly rounded value, proven for
// the operations as written (the fused multiply-adds are explicit; with
// -ffp-contract=off the compiler adds none of its own). The math module calls
// it only after checking at run time that the CPU has AVX and FMA; other CPUs
// take the MPFR path, which gives the same correctly rounded values.
#include "fendro/util/math_log.hpp"

#include <mpfr.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "fendro/util/math_dd.hpp"
#include "fendro/util/math_mpfr.hpp"

extern "C" __attribute__((visibility("hidden"))) double fendro_llvmlibc_log(double);

namespace fendro::cr::log_fast {
namespace {

using dd::DD;

constexpr int kBits = 8;
constexpr int kEntries = 1 << kBits;
constexpr int kShift = 52 - kBits;
constexpr std::uint64_t kZ0 = 0x3fe6080000000000;  // 0x1.608p-1
constexpr std::uint64_t kExponentMask = 0xfff0000000000000;
constexpr std::uint64_t kMinNormal = 0x0010000000000000;
constexpr std::uint64_t kInfinity = 0x7ff0000000000000;
constexpr double kMaxR = 0x1.844p-9;  // 2^-8.4 rounded up

struct Entry {
  double invc;     // 1 around 1, else near 1 / (centre of the interval)
  double logc_hi;  // -log(invc) = logc_hi + logc_lo, logc_hi a multiple of 2^-42
  double logc_lo;
};

struct Tables {
  std::array<Entry, kEntries> entries;
  double ln2_hi;  // 42 bits
  double ln2_lo;
};

// Filled by build_tables() during static initialisation, before the math
// module lets try_log be called, so that the evaluation needs no guard.
Tables g_tables;

// v rounded to a multiple of 2^-42 (|v| < 1: at most 42 bits), and the rest.
DD split_42(mpfr_t v, mpfr_t tmp) {
  mpfr_mul_2si(tmp, v, 42, MPFR_RNDN);
  mpfr_rint(tmp, tmp, MPFR_RNDN);
  mpfr_mul_2si(tmp, tmp, -42, MPFR_RNDN);
  const double hi = mpfr_get_d(tmp, MPFR_RNDN);  // exact
  mpfr_sub(tmp, v, tmp, MPFR_RNDN);
  return {hi, mpfr_get_d(tmp, MPFR_RNDN)};
}

// The larger |z invc - 1| at the ends of [a, b] (exact: products of a few bits).
double worst_r(double a, double b, double invc) {
  return std::max(std::abs(a * invc - 1.0), std::abs(b * invc - 1.0));
}

}  // namespace

bool build_tables() {
  Tables& out = g_tables;
  bool sound = true;
  mpfr_t v, tmp;
  mpfr_inits2(200, v, tmp, static_cast<mpfr_ptr>(nullptr));
  for (int i = 0; i < kEntries; ++i) {
    // The interval [a, b): a, b have few bits, so the products below are exact.
    const double a = std::bit_cast<double>(kZ0 + (static_cast<std::uint64_t>(i) << kShift));
    const double b = std::bit_cast<double>(kZ0 + (static_cast<std::uint64_t>(i + 1) << kShift));
    const bool around_one = a <= 1.0 && 1.0 < b;
    double invc = 1.0;
    if (!around_one) {
      const double grid = a < 1.0 ? 0x1p-8 : 0x1p-9;
      const double below = std::floor(2.0 / (a + b) / grid) * grid;
      const double above = below + grid;
      invc = worst_r(a, b, below) <= worst_r(a, b, above) ? below : above;
    }
    mpfr_set_d(v, invc, MPFR_RNDN);
    mpfr_log(v, v, MPFR_RNDN);
    mpfr_neg(v, v, MPFR_RNDN);
    const DD logc = split_42(v, tmp);
    out.entries[i] = {invc, logc.hi, logc.lo};

    // The properties the error bound rests on.
    const double r = worst_r(a, b, invc);
    const double y_min = std::min(std::abs(mpfr_path::log(a)), std::abs(mpfr_path::log(b)));
    if (r > kMaxR) sound = false;
    if (invc != 1.0 && std::abs(logc.hi) < r) sound = false;
    if (!around_one && r > 3.0 * y_min) sound = false;
  }
  mpfr_const_log2(v, MPFR_RNDN);
  const DD ln2 = split_42(v, tmp);
  out.ln2_hi = ln2.hi;
  out.ln2_lo = ln2.lo;
  mpfr_clears(v, tmp, static_cast<mpfr_ptr>(nullptr));
  return sound;
}

namespace {

// log of the positive normal double with bit pattern u, times 2^k_scale, in
// out when the rounding is decided (true).
__attribute__((target("avx,fma"), always_inline)) inline bool evaluate_normal(std::uint64_t u,
                                                                              int k_scale,
                                                                              double& out) {
  const Tables& t = g_tables;
  const std::uint64_t off = u - kZ0;
  const Entry& e = t.entries[(off >> kShift) & (kEntries - 1)];
  const double k =
      static_cast<double>(static_cast<int>(static_cast<std::int64_t>(off) >> 52) + k_scale);
  const double z = std::bit_cast<double>(u - (off & kExponentMask));
  const double r = __builtin_fma(z, e.invc, -1.0);  // exact

  // The large parts, added exactly: k ln2_hi + logc_hi + r - r^2/2.
  const double q = r * r;
  const double ql = __builtin_fma(r, r, -q);
  const DD h = dd::fast_two_sum(__builtin_fma(k, t.ln2_hi, e.logc_hi), r);
  const DD h2 = dd::fast_two_sum(h.hi, -0.5 * q);

  // r^3 (1/3 - r/4 + ... - r^5/8), by Estrin's scheme, added last.
  const double c34 = __builtin_fma(r, -1.0 / 4, 1.0 / 3);
  const double c56 = __builtin_fma(r, -1.0 / 6, 1.0 / 5);
  const double c78 = __builtin_fma(r, -1.0 / 8, 1.0 / 7);
  const double poly = __builtin_fma(q, __builtin_fma(q, c78, c56), c34);
  const double small = __builtin_fma(-0.5, ql, (h.lo + h2.lo) + __builtin_fma(k, t.ln2_lo, e.logc_lo));
  const double low = __builtin_fma(q * r, poly, small);
  // The margin's sign does not matter: the two ends swap.
  const double margin = h2.hi * 0x1p-64;
  out = h2.hi + (low + margin);
  return out == h2.hi + (low - margin);
}

__attribute__((target("avx,fma"), always_inline)) inline bool evaluate(double x, double& out) {
  const std::uint64_t u = std::bit_cast<std::uint64_t>(x);
  if (u - kMinNormal < kInfinity - kMinNormal) return evaluate_normal(u, 0, out);
  // Zero, subnormal, negative, infinite or NaN: positive subnormals are
  // scaled exactly into the normal range, the rest left to the caller.
  if (u == 0 || u >= kMinNormal) return false;
  return evaluate_normal(std::bit_cast<std::uint64_t>(x * 0x1p52), -52, out);
}

}  // namespace

__attribute__((target("avx,fma"))) double try_log(double x) {
  double r;
  return evaluate(x, r) ? r : std::numeric_limits<double>::quiet_NaN();
}

__attribute__((target("avx,fma"))) double log(double x) {
  double r;
  return evaluate(x, r) ? r : fendro_llvmlibc_log(x);
}

}  // namespace fendro::cr::log_fast
