// fmin / fmax with one answer on every platform. The standards let the library
// pick either zero when +0.0 and -0.0 meet; these pick as x86-64's minsd and
// maxsd do (the second operand on a tie), so the sign of a zero that reaches a
// proof does not depend on the machine. A NaN operand gives the other one, as
// fmin and fmax do; two NaNs give a NaN.
#pragma once

#include <cmath>

namespace fendro {

inline double portable_fmin(double a, double b) {
  if (std::isnan(a)) return b;
  if (std::isnan(b)) return a;
  return a < b ? a : b;
}

inline double portable_fmax(double a, double b) {
  if (std::isnan(a)) return b;
  if (std::isnan(b)) return a;
  return a > b ? a : b;
}

}  // namespace fendro
