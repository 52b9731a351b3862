// A fast, correctly rounded exp, built like the fast log (math_log.cpp): a
// double-double h + l with a relative error below 2^-67, kept only when
// h + (l - e) and h + (l + e), e = 2^-64 |h|, round to the same double;
// otherwise LLVM's correctly rounded exp decides. exp x is transcendental at
// every double x != 0, so no value lies exactly on a rounding boundary.
//
// Range: x in [-708, 709], where every result and every intermediate scale
// 2^m is a normal double; the rest (overflow, subnormal results, infinities,
// NaN) goes to the other path.
//
// Reduction: n = round(x 128 / ln 2) (|n| < 2^17), n = 128 m + j, j in
// [0, 128); L = ln 2 / 128 = L1 + L2 with L1 of 36 bits, so n L1 is exact, and
// x - n L1 is exact too (a multiple of 2^-61 below 2^-8, or x itself for
// n = 0). r = x - n L1 - n L2 = rh + rl: n L2 = p + pe exactly (fused
// multiply-add), x - n L1 - p by two_sum; |r| <= L (1/2 + 2^-35) < 2^-8.5,
// |rl| < 2^-61, and L1 + L2 lies within 2^-97 of L, so r is within 2^-80 of
// x - n L. Then
//     exp x = 2^m T_j e^r,   T_j = 2^(j/128) from MPFR as a double-double
// within 2^-106, e^r = 1 + rh + rh^2 P(rh) + rl (1 + rh) with P the Taylor
// series to the rh^6 term (truncation below 2^-72).
//
// Error budget, relative to the result (T_j e^r >= 0.99): the reduced
// argument 2^-80; T_j 2^-106; truncation 2^-72; rl^2 and rl rh^2 below 2^-77;
// T_hi + T_hi rh is added exactly (fused multiply-add, fast_two_sum); every
// other term is below 2^-17 of the result and rounded a few times with a
// relative error below 2^-50: below 2^-67 in all. Scaling by 2^m is exact.
//
// Instruction set: as for the log, only this evaluation is compiled for AVX
// and FMA (a target attribute), and it is reached only after the run-time
// check of the CPU; its result is the correctly rounded value by the bound
// above, so the instructions chosen cannot change it.
#include "fendro/util/math_exp.hpp"

#include <mpfr.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "fendro/util/math_dd.hpp"

extern "C" __attribute__((visibility("hidden"))) double fendro_llvmlibc_exp(double);

namespace fendro::cr::exp_fast {
namespace {

using dd::DD;

constexpr int kSteps = 128;
constexpr double kShifter = 0x1.8p52;  // adding it rounds to an integer

struct Tables {
  std::array<DD, kSteps> exp2_j;  // 2^(j / 128)
  double inv_l;                   // 128 / ln 2, only to choose n
  double l1, l2;                  // ln 2 / 128 = l1 + l2, l1 with 36 bits
};

// Filled by build_tables() during static initialisation, before the math
// module lets try_exp be called.
Tables g_tables;

constexpr double kUndecided = std::numeric_limits<double>::quiet_NaN();

__attribute__((target("avx,fma"), always_inline)) inline double evaluate(double x) {
  if (!(x >= -708.0 && x <= 709.0)) return kUndecided;  // NaN too
  const Tables& t = g_tables;
  const double shifted = x * t.inv_l + kShifter;
  const double nd = shifted - kShifter;  // exact: the nearest integer
  const std::int64_t n = static_cast<std::int64_t>(nd);
  const DD& tj = t.exp2_j[n & (kSteps - 1)];
  const std::int64_t m = n >> 7;  // floor(n / 128)

  // r = x - n L = rh + rl.
  const double a = __builtin_fma(-nd, t.l1, x);  // exact
  const double p = nd * t.l2;
  const double pe = __builtin_fma(nd, t.l2, -p);
  const DD rs = dd::two_sum(a, -p);
  const double rh = rs.hi;
  const double rl = rs.lo - pe;

  // e^rh - 1 - rh = rh^2 (1/2 + rh/6 + rh^2/24 + rh^3/120 + rh^4/720).
  const double q = rh * rh;
  const double c23 = __builtin_fma(rh, 1.0 / 6, 0.5);
  const double c45 = __builtin_fma(rh, 1.0 / 120, 1.0 / 24);
  const double poly = q * __builtin_fma(q, __builtin_fma(q, 1.0 / 720, c45), c23);

  // T e^r = T_hi + T_hi rh + [T_hi (poly + rl (1 + rh)) + T_lo (1 + rh + ...)].
  const double ph = tj.hi * rh;
  const double pl = __builtin_fma(tj.hi, rh, -ph);
  const DD h = dd::fast_two_sum(tj.hi, ph);
  const double rest = __builtin_fma(tj.hi, poly + __builtin_fma(rl, rh, rl),
                                    __builtin_fma(tj.lo, rh, tj.lo));
  const double low = h.lo + (pl + rest);
  const double margin = h.hi * 0x1p-64;  // h.hi > 0
  const double up = h.hi + (low + margin);
  if (up != h.hi + (low - margin)) return kUndecided;
  const double scale = std::bit_cast<double>(static_cast<std::uint64_t>(1023 + m) << 52);
  return up * scale;  // exact: a normal result
}

}  // namespace

void build_tables() {
  Tables& out = g_tables;
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
  mpfr_const_log2(v, MPFR_RNDN);
  mpfr_si_div(v, kSteps, v, MPFR_RNDN);
  out.inv_l = mpfr_get_d(v, MPFR_RNDN);
  mpfr_clears(v, tmp, l36, static_cast<mpfr_ptr>(nullptr));
}

__attribute__((target("avx,fma"))) double try_exp(double x) { return evaluate(x); }

__attribute__((target("avx,fma"))) double exp(double x) {
  const double r = evaluate(x);
  return r == r ? r : fendro_llvmlibc_exp(x);
}

}  // namespace fendro::cr::exp_fast
