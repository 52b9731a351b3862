#include "fendro/util/math_mpfr.hpp"

#include <mpfr.h>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace fendro::cr::mpfr_path {
namespace {

// One set of variables per thread, made once: initialising MPFR numbers per
// call would cost an allocation each.
struct Scratch {
  mpfr_t a;
  mpfr_t b;
  mpfr_t r;
  Scratch() {
    mpfr_init2(a, 53);
    mpfr_init2(b, 53);
    mpfr_init2(r, 53);
  }
  ~Scratch() {
    mpfr_clear(a);
    mpfr_clear(b);
    mpfr_clear(r);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
};

Scratch& scratch() {
  thread_local Scratch s;
  return s;
}

// The double format's exponent range for the duration of one evaluation, so
// that overflow, underflow and subnormal rounding happen as for a double. The
// caller's range is put back: other MPFR users in the process keep theirs.
class DoubleRange {
 public:
  DoubleRange() : emin_(mpfr_get_emin()), emax_(mpfr_get_emax()) {
    mpfr_set_emin(-1073);
    mpfr_set_emax(1024);
  }
  ~DoubleRange() {
    mpfr_set_emin(emin_);
    mpfr_set_emax(emax_);
  }
  DoubleRange(const DoubleRange&) = delete;
  DoubleRange& operator=(const DoubleRange&) = delete;

 private:
  mpfr_exp_t emin_;
  mpfr_exp_t emax_;
};

using Unary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);

double unary(Unary f, double x) {
  Scratch& s = scratch();
  DoubleRange range;
  mpfr_set_d(s.a, x, MPFR_RNDN);  // exact: 53 bits hold every double
  int t = f(s.r, s.a, MPFR_RNDN);
  t = mpfr_subnormalize(s.r, t, MPFR_RNDN);
  return mpfr_get_d(s.r, MPFR_RNDN);  // exact: already a double
}

}  // namespace

double exp(double x) { return unary(mpfr_exp, x); }
double expm1(double x) { return unary(mpfr_expm1, x); }
double log(double x) { return unary(mpfr_log, x); }
double log1p(double x) { return unary(mpfr_log1p, x); }
double log2(double x) { return unary(mpfr_log2, x); }
double log10(double x) { return unary(mpfr_log10, x); }
double sin(double x) { return unary(mpfr_sin, x); }
double cos(double x) { return unary(mpfr_cos, x); }
double atan(double x) { return unary(mpfr_atan, x); }
double tanh(double x) { return unary(mpfr_tanh, x); }

double atan2(double y, double x) {
  Scratch& s = scratch();
  DoubleRange range;
  mpfr_set_d(s.a, y, MPFR_RNDN);
  mpfr_set_d(s.b, x, MPFR_RNDN);
  int t = mpfr_atan2(s.r, s.a, s.b, MPFR_RNDN);
  t = mpfr_subnormalize(s.r, t, MPFR_RNDN);
  return mpfr_get_d(s.r, MPFR_RNDN);
}

bool fast_path_available() {
#if defined(__x86_64__) || defined(__i386__)
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
  const bool fma = (ecx & (1u << 12)) != 0;
  const bool osxsave = (ecx & (1u << 27)) != 0;
  const bool avx = (ecx & (1u << 28)) != 0;
  if (!(fma && osxsave && avx)) return false;
  // The operating system must save the SSE and AVX registers (XCR0 bits 1, 2).
  unsigned lo = 0, hi = 0;
  __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
  return (lo & 6u) == 6u;
#else
  return true;
#endif
}

}  // namespace fendro::cr::mpfr_path
