// The minimum and maximum that pick between equal zeros, and around NaN, the
// same way on every machine: the second operand on a tie, the other operand
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
      {0.0, -0.0, -0.0, -0.0},  // equal zeros: the second one, both ways
      {-0.0, 0.0, 0.0, 0.0},
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

// Where the library's fmin and fmax are the x86-64 ones (GCC calls glibc's),
// the two agree to the bit on every pair, zeros and NaNs included (every NaN
// counted as one). Clang expands the calls inline and picks another zero on a
// tie: the very difference the portable pair removes.
TEST(PortableMinMax, AgreesWithTheLibraryOnX86) {
#if defined(__x86_64__) && !defined(__clang__)
  const double values[] = {0.0, -0.0, 1.0, -1.0, kNaN, kInf, -kInf, 5e-324, -5e-324, 1e308};
  for (double a : values) {
    for (double b : values) {
      const double lib_min = std::fmin(a, b), lib_max = std::fmax(a, b);
      const double min = portable_fmin(a, b), max = portable_fmax(a, b);
      EXPECT_TRUE(std::isnan(lib_min) ? std::isnan(min) : bits(lib_min) == bits(min)) << a << " " << b;
      EXPECT_TRUE(std::isnan(lib_max) ? std::isnan(max) : bits(lib_max) == bits(max)) << a << " " << b;
    }
  }
#else
  GTEST_SKIP() << "the choice between equal zeros is the compiler's and the platform's";
#endif
}

}  // namespace
}  // namespace fendro
