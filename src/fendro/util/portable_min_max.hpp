// fmin / fmax with one answer on every platform. The standards let the library
// pick either zero when +0.0 and -0.0 meet; these keep the first operand on a
// tie, as the C library's fmin and fmax of the released module did (glibc on
// x86-64), so the sign of a zero that reaches an indicator's value does not
// depend on the machine or the compiler. A NaN operand gives the other one, as
// fmin and fmax do; two NaNs give a NaN.
#pragma once

#include <cmath>

namespace fendro {

inline double portable_fmin(double a, double b) {
  if (std::isnan(a)) return b;
  if (std::isnan(b)) return a;
  return b < a ? b : a;
}

inline double portable_fmax(double a, double b) {
  if (std::isnan(a)) return b;
  if (std::isnan(b)) return a;
  return b > a ? b : a;
}

}  // namespace fendro
