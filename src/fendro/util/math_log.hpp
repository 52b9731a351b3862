// The fast evaluation behind cr::log (math_log.cpp). Internal to the math
// module; declared here so that the tests can check it on its own and count
// how often it leaves the decision to the other path.
#pragma once

namespace fendro::cr::log_fast {

// Computes the evaluation's tables (with MPFR) and checks the properties its
// error bound assumes of them; false if one fails (then the fast log must not
// be used). The math module calls it once during static initialisation,
// before anything can reach try_log.
bool build_tables();

// log(x), correctly rounded, when the fast evaluation can prove its rounding;
// NaN when it cannot, and for every x that is not a positive finite number
// (zero, negative, infinite, NaN): the caller then takes its other correctly
// rounded path. Uses AVX and FMA instructions: call it only when
// mpfr_path::fast_path_available(), and after build_tables().
double try_log(double x);

// log(x) correctly rounded for every x: try_log, or LLVM's log when it
// cannot decide. Same conditions as try_log.
double log(double x);

}  // namespace fendro::cr::log_fast
