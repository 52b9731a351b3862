#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "fendro/indicators/common/fused.hpp"
#include "indicators/series.hpp"

namespace fendro {
namespace {

using testing::bits;

// Cases where one rounding and two differ, signed zeros, overflow in the
// product only, subnormal results.
TEST(FusedMulAdd, SameBitsAsTheLibraryOnEdgeCases) {
  constexpr double kMax = std::numeric_limits<double>::max();
  constexpr double kTiny = std::numeric_limits<double>::denorm_min();
  const double cases[][3] = {
      {1.0 + 0x1p-52, 1.0 - 0x1p-52, -1.0},  // exact product below 1: -2^-104
      {0.1, 10.0, -1.0},
      {-0.0, 1.0, 0.0},
      {0.0, -1.0, -0.0},
      {kMax, 2.0, -kMax},
      {kTiny, 0.5, 0.0},
      {0x1p-1022, 0x1p-30, -0x1p-1052},
      {std::numeric_limits<double>::infinity(), 0.0, 1.0},
      {13.0 / 14.0, 13.0, 0.123456789},
  };
  for (const auto& c : cases) {
    const double want = std::fma(c[0], c[1], c[2]);
    const double got = fused_mul_add(c[0], c[1], c[2]);
    if (std::isnan(want)) {
      EXPECT_TRUE(std::isnan(got));
    } else {
      EXPECT_EQ(bits(got), bits(want)) << c[0] << " * " << c[1] << " + " << c[2];
    }
  }
}

TEST(FusedMulAdd, SameBitsAsTheLibraryOnRandomOperands) {
  testing::SplitMix rng(9);
  for (int i = 0; i < 1000000; ++i) {
    const double a = (rng.unit() - 0.5) * 1e3;
    const double b = rng.unit() * 64.0;
    const double c = -(a * b) * (1.0 + (rng.unit() - 0.5) * 1e-12);  // heavy cancellation
    ASSERT_EQ(bits(fused_mul_add(a, b, c)), bits(std::fma(a, b, c))) << a << ' ' << b << ' ' << c;
  }
}

}  // namespace
}  // namespace fendro
