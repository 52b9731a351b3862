// put_canonical_float's shortcut against the direct writer, byte for byte,
// over generated values with every boundary of the shortcut among them. The
// run is long with FENDRO_FLOAT_CHECKS=<count> (e.g. 100000000); ctest runs
// a subset.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <string_view>

#include "fendro/market/records.hpp"
#include "fendro/proof/canonical.hpp"
#include "fendro/proof/inputs.hpp"

namespace fendro {
namespace {

constexpr double kShortestFrom = 45035996.27370496;

std::uint64_t check_count() {
  const char* text = std::getenv("FENDRO_FLOAT_CHECKS");
  return text != nullptr ? std::strtoull(text, nullptr, 10) : 3'000'000;
}

// One value of kind k % 10, both signs.
double generated(std::uint64_t k, std::mt19937_64& rng) {
  const std::uint64_t r = rng();
  const double sign = (r & 1) != 0 ? -1.0 : 1.0;
  switch (k % 10) {
    case 0:  // any finite bit pattern
      for (;;) {
        const double x = std::bit_cast<double>(rng());
        if (std::isfinite(x)) return x;
      }
    case 1:  // any magnitude up to 2^54, subnormals included
      return sign * std::ldexp(static_cast<double>(r >> 11), static_cast<int>(rng() % 1130) - 1128);
    case 2: {  // exact ties at the 8th decimal (odd multiples of 2^-9) and their neighbours
      const double tie = static_cast<double>(2 * (rng() % 11529215046ULL) + 1) / 512.0;
      const int step = static_cast<int>(rng() % 5) - 2;
      double x = tie;
      for (int i = 0; i < std::abs(step); ++i) x = std::nextafter(x, step < 0 ? 0.0 : 1e300);
      return sign * x;
    }
    case 3: {  // nearest doubles to decimal halves (m + 1/2) x 10^-8, and neighbours
      const double x = (static_cast<double>(rng() % 9007199254740992ULL) + 0.5) / 1e8;
      return sign * ((r & 2) != 0 ? std::nextafter(x, 0.0) : (r & 4) != 0 ? std::nextafter(x, 1e300) : x);
    }
    case 4: {  // within 2^20 units in the last place of 45035996.27370496
      const auto bits = std::bit_cast<std::uint64_t>(kShortestFrom);
      return sign * std::bit_cast<double>(bits + (rng() % (1u << 21)) - (1u << 20));
    }
    case 5:  // integers up to 2^53
      return sign * static_cast<double>(rng() % 9007199254740993ULL);
    case 6:  // integers of every size, powers of two among them
      return sign * static_cast<double>(rng() >> (rng() % 64)) * ((r & 2) != 0 ? 1.0 : 0.5);
    case 7: {  // prices: up to 8 decimals, parsed as a reader would
      static constexpr double kTens[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
      const int decimals = static_cast<int>(rng() % 9);
      return sign * static_cast<double>(rng() % 4503599627370496ULL) / kTens[decimals];
    }
    case 8: {  // subnormals, the smallest normals, zeros
      const std::uint64_t low = rng() % (std::uint64_t{1} << 53);
      return sign * std::bit_cast<double>(low);
    }
    default: {  // tiny values around half a unit of the 8th decimal
      return sign * std::ldexp(1.0 + static_cast<double>(r >> 12) * 0x1p-52, -28 + static_cast<int>(rng() % 4));
    }
  }
}

std::string_view text_of(char* buf, char* end) { return {buf, static_cast<std::size_t>(end - buf)}; }

TEST(CanonicalFloatShortcut, AgreesWithTheDirectWriter) {
  const double fixed[] = {0.0,
                          -0.0,
                          std::numeric_limits<double>::denorm_min(),
                          -std::numeric_limits<double>::denorm_min(),
                          std::numeric_limits<double>::min(),
                          std::numeric_limits<double>::max(),
                          std::numeric_limits<double>::lowest(),
                          kShortestFrom,
                          std::nextafter(kShortestFrom, 0.0),
                          std::nextafter(kShortestFrom, 1e300),
                          -std::nextafter(kShortestFrom, 0.0),
                          4503599627370496.0 / 1e8,
                          0x1p53,
                          0x1p53 - 1,
                          0.000000005,
                          0.000000015,
                          0.000000025,
                          -0.000000005,
                          0.001953125,
                          1.0 / 512,
                          -3.0 / 512,
                          std::nextafter(0.000000005, 0.0),
                          std::nextafter(0.000000005, 1.0),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(),
                          std::numeric_limits<double>::quiet_NaN()};
  char a[kFloatTextMax + 16];
  char b[kFloatTextMax + 16];
  for (const double x : fixed) {
    ASSERT_EQ(text_of(a, put_canonical_float(a, x)), text_of(b, put_canonical_float_general(b, x)))
        << std::hexfloat << x;
  }
  std::mt19937_64 rng(20240614);
  const std::uint64_t n = check_count();
  for (std::uint64_t k = 0; k < n; ++k) {
    const double x = generated(k, rng);
    const std::string_view fast = text_of(a, put_canonical_float(a, x));
    const std::string_view general = text_of(b, put_canonical_float_general(b, x));
    if (fast != general) FAIL() << std::hexfloat << x << ": " << fast << " != " << general;
  }
}

TEST(CanonicalFloatShortcut, EveryTieAndHalfwayNeighbourBelowOneHundred) {
  // Every exact tie k / 512 (k odd) below 100, one unit either side of it,
  // and every decimal with two places below 100.
  char a[kFloatTextMax + 16];
  char b[kFloatTextMax + 16];
  for (int k = 1; k < 100 * 512; k += 2) {
    const double tie = k / 512.0;
    for (const double x : {tie, std::nextafter(tie, 0.0), std::nextafter(tie, 1e9), -tie}) {
      ASSERT_EQ(text_of(a, put_canonical_float(a, x)), text_of(b, put_canonical_float_general(b, x)))
          << std::hexfloat << x;
    }
  }
  for (int cents = 0; cents < 10000; ++cents) {
    const double x = cents / 100.0;
    ASSERT_EQ(text_of(a, put_canonical_float(a, x)), text_of(b, put_canonical_float_general(b, x))) << x;
  }
}

}  // namespace
}  // namespace fendro
