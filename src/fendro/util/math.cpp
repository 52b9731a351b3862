#include "fendro/util/math.hpp"

#include "fendro/util/math_log.hpp"
#include "fendro/util/math_mpfr.hpp"

// The fast, correctly rounded exp/log/sin/cos family: LLVM's libc objects,
// linked one by one under names of our own (cmake/correct_math.cmake). Hidden
// here so that the module never exports them, whatever the link does.
#define FENDRO_LLVMLIBC(name) \
  extern "C" __attribute__((visibility("hidden"))) double fendro_llvmlibc_##name(double)
FENDRO_LLVMLIBC(exp);
FENDRO_LLVMLIBC(expm1);
FENDRO_LLVMLIBC(log);
FENDRO_LLVMLIBC(log1p);
FENDRO_LLVMLIBC(log2);
FENDRO_LLVMLIBC(log10);
FENDRO_LLVMLIBC(sin);
FENDRO_LLVMLIBC(cos);
#undef FENDRO_LLVMLIBC

namespace fendro::cr {
namespace {

// Those objects, and the fast log, are built for CPUs with AVX and FMA.
// Elsewhere MPFR gives the same correctly rounded values, only slower.
bool prepare_fast_path() {
  return mpfr_path::fast_path_available() && log_fast::build_tables();
}

// Until static initialisation reaches this line use_fast_path reads false, so a call
// made before then takes the MPFR path rather than an empty table.
const bool kCpuRunsFastPath = prepare_fast_path();
bool use_fast_path = kCpuRunsFastPath;

}  // namespace

void force_portable_path(bool on) { use_fast_path = !on && kCpuRunsFastPath; }

bool fast_path_in_use() { return use_fast_path; }

#define FENDRO_CR_FAST(name)                                               \
  double name(double x) {                                                  \
    return use_fast_path ? fendro_llvmlibc_##name(x) : mpfr_path::name(x);         \
  }
FENDRO_CR_FAST(exp)
FENDRO_CR_FAST(expm1)
FENDRO_CR_FAST(log1p)
FENDRO_CR_FAST(log2)
FENDRO_CR_FAST(log10)
FENDRO_CR_FAST(sin)
FENDRO_CR_FAST(cos)
#undef FENDRO_CR_FAST

// log: its own fast evaluation (math_log.cpp), and LLVM's when that cannot
// decide the rounding or x is not a positive finite number.
double log(double x) { return use_fast_path ? log_fast::log(x) : mpfr_path::log(x); }

// atan and atan2: math_atan.cpp; tanh: math_tanh.cpp.

}  // namespace fendro::cr
