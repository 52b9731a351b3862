// The transcendental functions of the core. Every one returns the correctly
// rounded double (round to nearest, ties to even), so its result is one value
// fixed by IEEE 754 rather than by the platform's libm, the CPU or the
// compiler: a proof computed on one machine re-runs to the same bytes on any
// other. Nothing else in src/ may call the standard library's transcendental
// functions (scripts/check_math_calls.sh enforces it).
//
// Special values follow IEEE 754 / ISO C: signed zeros are kept where the
// function is odd, log(0) = -inf, log(x < 0) = NaN, atan(+-inf) = +-pi/2
// rounded, tanh(+-inf) = +-1, NaN in gives NaN out.
#pragma once

namespace fendro::cr {

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

// For test programs: with `on`, every call from now on takes the path of a CPU
// without AVX and FMA (MPFR for exp, expm1, log, log1p, log2, log10, sin and
// cos), so that one machine can check both paths give the same bits; without,
// the CPU's own path again. Not to be called while another thread computes.
void force_portable_path(bool on);
// Whether the AVX/FMA path is taken.
bool fast_path_in_use();

}  // namespace fendro::cr
