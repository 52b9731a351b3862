// The minimum and maximum that pick between equal zeros, and around NaN, the
// same way on every machine: the first operand on a tie, the other operand
// when one is NaN.
#include "fendro/util/portable_min_max.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace fendro {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::uint64_t bits(double x) { return std::bit_cast<std::uint64_t>(x); }

struct Case {
  double a, b, min, max;
};

TEST(PortableMinMax, TiesNaNAndOrder) {
  const Case cases[] = {
      {0.0, -0.0, 0.0, 0.0},  // equal zeros: the first one, both ways
      {-0.0, 0.0, -0.0, -0.0},
      {0.0, 0.0, 0.0, 0.0},
      {-0.0, -0.0, -0.0, -0.0},
      {kNaN, 1.0, 1.0, 1.0},    // a NaN gives the other operand
      {1.0, kNaN, 1.0, 1.0},
      {kNaN, -0.0, -0.0, -0.0},
      {0.0, kNaN, 0.0, 0.0},
      {2.0, -1.0, -1.0, 2.0},
      {5e-324, -5e-324, -5e-324, 5e-324},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(bits(portable_fmin(c.a, c.b)), bits(c.min)) << c.a << " " << c.b;
    EXPECT_EQ(bits(portable_fmax(c.a, c.b)), bits(c.max)) << c.a << " " << c.b;
  }
  EXPECT_TRUE(std::isnan(portable_fmin(kNaN, kNaN)));
  EXPECT_TRUE(std::isnan(portable_fmax(kNaN, kNaN)));
}

// glibc's fmin and fmax on x86-64 keep their second operand on a tie (minsd,
// maxsd); the portable pair keeps its first, so it must agree to the bit with
// the library called with the operands swapped, on every pair, zeros and NaNs
// included (every NaN counted as one). The calls go through a volatile pointer
// with operands read from volatile storage, so the library itself answers at
// run time: a compiler folds fmin of constants by its own rule, and may pass
// the operands of a direct call in either order (it takes fmin to commute).
TEST(PortableMinMax, AgreesWithTheLibraryAtRunTime) {
#if defined(__x86_64__) && defined(__GLIBC__)
  double (*volatile lib_fmin)(double, double) = ::fmin;
  double (*volatile lib_fmax)(double, double) = ::fmax;
  volatile double values[] = {0.0, -0.0, 1.0, -1.0, kNaN, kInf, -kInf, 5e-324, -5e-324, 1e308};
  int zero_ties = 0;
  for (const volatile double& va : values) {
    for (const volatile double& vb : values) {
      const double a = va, b = vb;
      const double lib_min = lib_fmin(b, a), lib_max = lib_fmax(b, a);
      const double min = portable_fmin(a, b), max = portable_fmax(a, b);
      EXPECT_TRUE(std::isnan(lib_min) ? std::isnan(min) : bits(lib_min) == bits(min)) << a << " " << b;
      EXPECT_TRUE(std::isnan(lib_max) ? std::isnan(max) : bits(lib_max) == bits(max)) << a << " " << b;
      zero_ties += a == 0.0 && b == 0.0 && bits(a) != bits(b);
    }
  }
  EXPECT_EQ(zero_ties, 2);  // both orders of +0.0 and -0.0 were asked
#else
  GTEST_SKIP() << "the choice between equal zeros is the C library's";
#endif
}

}  // namespace
}  // namespace fendro
