// The fused multiply-add of the smoothing steps, a * b + c with one rounding.
//
// Built for the baseline x86-64 the compiler cannot use the processor's own
// instruction and calls the C library's `fma` through the PLT on every bar,
// which lengthens the chain that carries an average from bar to bar. When the
// processor has the instruction (checked once at start-up, along with the
// operating system's support for the registers it uses) it is issued
// directly. Both give the correctly rounded result, so the bytes never depend
// on which one ran; before the check has run the library is used.
#pragma once

#include <cmath>

namespace fendro {

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__FMA__)
namespace detail {
inline bool processor_has_fma() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("fma");
}
inline const bool kProcessorHasFma = processor_has_fma();
}  // namespace detail

inline double fused_mul_add(double a, double b, double c) {
  if (detail::kProcessorHasFma) [[likely]] {
    asm("vfmadd231sd %[b], %[a], %[c]" : [c] "+x"(c) : [a] "x"(a), [b] "x"(b));
    return c;
  }
  return std::fma(a, b, c);
}
#else
inline double fused_mul_add(double a, double b, double c) { return std::fma(a, b, c); }
#endif

}  // namespace fendro
