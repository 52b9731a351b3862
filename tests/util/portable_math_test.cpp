// The two evaluation paths of the math module on one machine: the AVX/FMA
// path this CPU takes and the one a CPU without AVX and FMA takes (forced
// here) give the same bits for every function over many inputs.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "fendro/util/math.hpp"
#include "indicators/series.hpp"

namespace fendro {
namespace {

using testing::SplitMix;

constexpr std::size_t kInputs = 200000;  // per function

// The path is forced for the guard's life only.
class PortablePath {
 public:
  PortablePath() { cr::force_portable_path(true); }
  ~PortablePath() { cr::force_portable_path(false); }
  PortablePath(const PortablePath&) = delete;
  PortablePath& operator=(const PortablePath&) = delete;
};

// Every NaN counts as one: its payload never reaches a proof.
std::uint64_t bits(double x) { return std::isnan(x) ? 0x7ff8000000000000ULL : std::bit_cast<std::uint64_t>(x); }

// Random bit patterns, values near the functions' awkward places (0, 1, large
// arguments of sin and cos, the overflow edges of exp) and plain ranges.
double any_input(SplitMix& rng) {
  static const double kEdges[] = {0.0, -0.0, 1.0, -1.0, 709.782712893384, -745.1332191019412, 1e22,
                                  -1e22, 5e-324, 2.2250738585072014e-308, 1.7976931348623157e308,
                                  INFINITY, -INFINITY, NAN, 0.5, 2.0, 10.0, 3.141592653589793};
  switch (rng.next() % 5) {
    case 0: return kEdges[rng.next() % std::size(kEdges)];
    case 1: return std::bit_cast<double>(rng.next());
    case 2: return 1.0 + (rng.unit() - 0.5) * 1e-6;
    case 3: return (rng.unit() - 0.5) * 1500.0;
    default: return std::ldexp(rng.unit(), static_cast<int>(rng.next() % 200) - 100);
  }
}

struct Unary {
  const char* name;
  double (*f)(double);
};

const Unary kUnary[] = {{"exp", cr::exp},     {"expm1", cr::expm1}, {"log", cr::log},   {"log1p", cr::log1p},
                        {"log2", cr::log2},   {"log10", cr::log10}, {"sin", cr::sin},   {"cos", cr::cos},
                        {"atan", cr::atan},   {"tanh", cr::tanh}};

TEST(PortableMath, ForcingTakesThePathOfACpuWithoutAvxAndFma) {
  const bool cpu_path = cr::fast_path_in_use();
  {
    PortablePath portable;
    EXPECT_FALSE(cr::fast_path_in_use());
  }
  EXPECT_EQ(cr::fast_path_in_use(), cpu_path);
}

TEST(PortableMath, BothPathsGiveTheSameBits) {
  if (!cr::fast_path_in_use()) GTEST_SKIP() << "this CPU takes the portable path already";
  SplitMix rng(77);
  std::vector<double> xs(kInputs), ys(kInputs);
  for (std::size_t k = 0; k < kInputs; ++k) {
    xs[k] = any_input(rng);
    ys[k] = any_input(rng);
  }
  for (const Unary& u : kUnary) {
    std::vector<double> fast(kInputs);
    for (std::size_t k = 0; k < kInputs; ++k) fast[k] = u.f(xs[k]);
    PortablePath portable;
    int shown = 0;
    for (std::size_t k = 0; k < kInputs && shown < 5; ++k) {
      const double slow = u.f(xs[k]);
      if (bits(slow) != bits(fast[k])) {
        ADD_FAILURE() << u.name << "(" << std::hexfloat << xs[k] << "): fast " << fast[k] << ", portable "
                      << slow;
        ++shown;
      }
    }
  }
  std::vector<double> fast(kInputs);
  for (std::size_t k = 0; k < kInputs; ++k) fast[k] = cr::atan2(ys[k], xs[k]);
  PortablePath portable;
  for (std::size_t k = 0; k < kInputs; ++k) {
    ASSERT_EQ(bits(cr::atan2(ys[k], xs[k])), bits(fast[k])) << std::hexfloat << ys[k] << ", " << xs[k];
  }
}

}  // namespace
}  // namespace fendro
