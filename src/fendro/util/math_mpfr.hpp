// The multiple-precision path of the math module: each function computed by
// MPFR at 53 bits in the double exponent range, subnormals rounded once, so
// the result is the correctly rounded double by construction. tanh always
// takes it, atan and atan2 when their fast evaluation cannot decide the
// rounding, the others on a CPU that cannot run the fast objects (no AVX/FMA).
// Declared here so that the tests can hold both paths to the same reference.
#pragma once

namespace fendro::cr::mpfr_path {

double exp(double x);
double expm1(double x);
double log(double x);
double log1p(double x);
double log2(double x);
double log10(double x);
double sin(double x);
double cos(double x);
double atan(double x);
double atan2(double y, double x);
double tanh(double x);

// Whether this CPU runs the fast objects (x86-64: AVX and FMA, enabled by the
// operating system); elsewhere always true.
bool fast_path_available();

}  // namespace fendro::cr::mpfr_path
