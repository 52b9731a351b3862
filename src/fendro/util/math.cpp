#include "fendro/util/math.hpp"

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

// Those objects are built for CPUs with AVX and FMA. Elsewhere MPFR gives the
// same correctly rounded values, only slower.
const bool kFast = mpfr_path::fast_path_available();

}  // namespace

#define FENDRO_CR_FAST(name)                                               \
  double name(double x) {                                                  \
    return kFast ? fendro_llvmlibc_##name(x) : mpfr_path::name(x);         \
  }
FENDRO_CR_FAST(exp)
FENDRO_CR_FAST(expm1)
FENDRO_CR_FAST(log)
FENDRO_CR_FAST(log1p)
FENDRO_CR_FAST(log2)
FENDRO_CR_FAST(log10)
FENDRO_CR_FAST(sin)
FENDRO_CR_FAST(cos)
#undef FENDRO_CR_FAST

// atan and atan2: math_atan.cpp; tanh: math_tanh.cpp.

}  // namespace fendro::cr
