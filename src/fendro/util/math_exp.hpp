// The fast evaluation behind cr::exp (math_exp.cpp). Internal to the math
// module; declared here so that the tests can check it on its own and count
// how often it leaves the decision to the other path.
#pragma once

namespace fendro::cr::exp_fast {

// Computes the evaluation's table (with MPFR). The math module calls it once
// during static initialisation, before anything can reach try_exp.
void build_tables();

// exp(x), correctly rounded, when the fast evaluation can prove its rounding;
// NaN when it cannot, and for every x outside [-708, 709] (NaN included):
// the caller then takes its other correctly rounded path. Uses AVX and FMA
// instructions: call it only when mpfr_path::fast_path_available(), and after
// build_tables().
double try_exp(double x);

// exp(x) correctly rounded for every x: try_exp, or LLVM's exp when it cannot
// decide. Same conditions as try_exp.
double exp(double x);

}  // namespace fendro::cr::exp_fast
