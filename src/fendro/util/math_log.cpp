// A fast, correctly rounded log: the value is computed as a double-double
// h + l with a relative error below 2^-67, then kept only when h + (l - e) and
// h + (l + e), e = 2^-64 |h|, round to the same double: then every value
// within e of h + l does (rounding is monotonic; the rounding of l +- e moves
// the ends by less than 2^-90 |h|), the exact log among them. Otherwise LLVM's
// correctly rounded log decides. log x is transcendental at every double
// x != 1, so no value lies exactly on a rounding boundary, and the fallback
// is rare (about one call in 2^10).
//
// Reduction: x = 2^k z with z in [z0, 2 z0), z0 = 0x1.6080000000000p-1; the
// top 8 bits of the bit pattern of x minus that of z0 pick one of 256
// intervals of z (width 2^-9 below 1, 2^-8 above). Entry i holds invc, the
// double nearest 1 / (centre of the interval), and -log(invc) from MPFR as
// logc_hi, a multiple of 2^-42 (so that k ln2_hi + logc_hi is exact), plus
// logc_lo within 2^-96. The interval around 1 is
// [1 - 2^-10, 1 + 2^-9) and gets invc = 1 exactly, so arguments near 1 suffer
// no cancellation against a table value. Then
//     log x = k ln 2 - log(invc) + log1p(r),   r = z invc - 1,
// r = rh + rl exactly, rh = RN(z invc) - 1 (exact by Sterbenz), rl the
// product's rounding error (an exact fused multiply-add), |rl| <= 2^-53, and
// |r| <= 2^-9, |rh| <= 2^-9 (1 + 2^-44) over every interval.
//
// Error budget, relative to y = log x. Three cases bound |rh| / |y|: near 1
// (k = 0, invc = 1) y = log1p(rh), |rh| <= 1.002 |y|, and rl = 0; k = 0
// elsewhere, |y| > 2^-10 so |rh| <= 2.01 |y|; k != 0, |y| > 0.32.
//  - k ln 2: ln2_hi has 42 bits, so k ln2_hi is exact for |k| <= 1075;
//    k ln2_lo + logc_lo is rounded once (below 2^-85) and ln2_hi + ln2_lo is
//    within 2^-96 of ln 2: below 2^-84 |y| (k != 0 only);
//  - -log(invc): below 2^-96, where |y| > 2^-10: below 2^-86 |y|;
//  - log1p(rh + rl) = log1p(rh) + rl (1 - rh + rh^2) with an error below
//    |rl| |rh|^3 + rl^2 < 2^-79.9, and only where invc != 1 (|y| > 2^-10):
//    below 2^-69.9 |y|;
//  - log1p(rh) = rh - rh^2/2 + rh^3 Q(rh), Q the Taylor series to the rh^8
//    term: truncation below |rh|^9 / 9 < 2^-75 |rh|; rh^2/2 is exact as q + ql
//    (fused multiply-add); rh^3 Q is rounded in about six steps, relative
//    error below 2^-50.4 of a value below 2^-19.5 |rh|: below 2^-69 |y|;
//  - the sums: k ln2_hi + logc_hi is exact (both multiples of 2^-42, below
//    2^10); adding rh and then -q/2 is exact by fast_two_sum, since
//    |k ln2_hi + logc_hi| >= |rh| (|logc| exceeds the half width of every
//    interval but the one around 1, where it is 0) and the head exceeds
//    2^-19 >= q/2 (or equals rh); the six small terms, each below 2^-40 |y|
//    but rh^3 Q, are summed in double: below 2^-71 |y|.
// Total below 2^-67.5 |y|.
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

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "fendro/util/math_dd.hpp"

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

struct Entry {
  double invc;     // 1 / (centre of the interval), rounded; 1 around 1
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

}  // namespace

void build_tables() {
  Tables& out = g_tables;
  mpfr_t v, tmp;
  mpfr_inits2(200, v, tmp, static_cast<mpfr_ptr>(nullptr));
  for (int i = 0; i < kEntries; ++i) {
    // The interval [a, b): a, b have few bits, so a + b is exact.
    const double a = std::bit_cast<double>(kZ0 + (static_cast<std::uint64_t>(i) << kShift));
    const double b = std::bit_cast<double>(kZ0 + (static_cast<std::uint64_t>(i + 1) << kShift));
    const double invc = (a <= 1.0 && 1.0 < b) ? 1.0 : 2.0 / (a + b);
    mpfr_set_d(v, invc, MPFR_RNDN);
    mpfr_log(v, v, MPFR_RNDN);
    mpfr_neg(v, v, MPFR_RNDN);
    const DD logc = split_42(v, tmp);
    out.entries[i] = {invc, logc.hi, logc.lo};
  }
  mpfr_const_log2(v, MPFR_RNDN);
  const DD ln2 = split_42(v, tmp);
  out.ln2_hi = ln2.hi;
  out.ln2_lo = ln2.lo;
  mpfr_clears(v, tmp, static_cast<mpfr_ptr>(nullptr));
}

namespace {

constexpr double kUndecided = std::numeric_limits<double>::quiet_NaN();

__attribute__((target("avx,fma"), always_inline)) inline double evaluate(double x) {
  std::uint64_t u = std::bit_cast<std::uint64_t>(x);
  int k_subnormal = 0;
  if (u - kMinNormal >= kInfinity - kMinNormal) {
    // Zero, subnormal, negative, infinite or NaN: only positive subnormals
    // stay here, scaled exactly into the normal range.
    if (u == 0 || u >= kMinNormal) return kUndecided;
    u = std::bit_cast<std::uint64_t>(x * 0x1p52);
    k_subnormal = -52;
  }
  const Tables& t = g_tables;
  const std::uint64_t off = u - kZ0;
  const Entry& e = t.entries[(off >> kShift) & (kEntries - 1)];
  const double k =
      static_cast<double>(static_cast<int>(static_cast<std::int64_t>(off) >> 52) + k_subnormal);
  const double z = std::bit_cast<double>(u - (off & kExponentMask));

  // r = z invc - 1 = rh + rl exactly.
  const double p = z * e.invc;
  const double rl = __builtin_fma(z, e.invc, -p);
  const double rh = p - 1.0;

  // The large parts, added exactly: k ln2_hi + logc_hi + rh - rh^2/2.
  const double q = rh * rh;
  const double ql = __builtin_fma(rh, rh, -q);
  const DD h = dd::fast_two_sum(k * t.ln2_hi + e.logc_hi, rh);
  const DD h2 = dd::fast_two_sum(h.hi, -0.5 * q);

  // rh^3 (1/3 - rh/4 + ... - rh^5/8), by Estrin's scheme.
  const double c34 = __builtin_fma(rh, -1.0 / 4, 1.0 / 3);
  const double c56 = __builtin_fma(rh, -1.0 / 6, 1.0 / 5);
  const double c78 = __builtin_fma(rh, -1.0 / 8, 1.0 / 7);
  const double poly = __builtin_fma(q, __builtin_fma(q, c78, c56), c34);
  const double cubic = (q * rh) * poly;

  const double rl_term = rl * ((1.0 - rh) + q);  // rl / (1 + rh)
  const double low = (((h.lo + h2.lo) + (__builtin_fma(k, t.ln2_lo, e.logc_lo))) +
                      (rl_term - 0.5 * ql)) +
                     cubic;
  const double margin = std::abs(h2.hi) * 0x1p-64;
  const double up = h2.hi + (low + margin);
  if (up != h2.hi + (low - margin)) return kUndecided;
  return up;
}

}  // namespace

__attribute__((target("avx,fma"))) double try_log(double x) { return evaluate(x); }

__attribute__((target("avx,fma"))) double log(double x) {
  const double r = evaluate(x);
  return r == r ? r : fendro_llvmlibc_log(x);
}

}  // namespace fendro::cr::log_fast
