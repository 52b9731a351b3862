// The two evaluation paths of the math module on one machine: the AVX/FMA
// path this CPU takes and the one a CPU without AVX and FMA takes (forced
// here) give the same bits for every function over many inputs.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "fendro/util/math.hpp"
#include "indicators/series.hpp"

namespace fendro {
namespace {

// Every NaN counts as one: its payload never reaches a proof.
std::uint64_t bits(double x) { return std::isnan(x) ? 0x7ff8000000000000ULL : std::bit_cast<std::uint64_t>(x); }

// Bit patterns, the awkward places (zeros, 1, huge sin/cos arguments, the
// overflow edges of exp) and plain ranges.
double any_input(testing::SplitMix& rng) {
  static const double kEdges[] = {0.0, -0.0, 1.0, -1.0, 709.782712893384, -745.1332191019412, 1e22, 5e-324,
                                  1.7976931348623157e308, INFINITY, -INFINITY, NAN, 3.141592653589793};
  switch (rng.next() % 5) {
    case 0: return kEdges[rng.next() % std::size(kEdges)];
    case 1: return std::bit_cast<double>(rng.next());
    case 2: return 1.0 + (rng.unit() - 0.5) * 1e-6;
    case 3: return (rng.unit() - 0.5) * 1500.0;
    default: return std::ldexp(rng.unit(), static_cast<int>(rng.next() % 200) - 100);
  }
}

struct Function {
  const char* name;
  double (*f)(double x, double y);  // the unary ones ignore y
};

const Function kFunctions[] = {
    {"exp", [](double x, double) { return cr::exp(x); }},
    {"expm1", [](double x, double) { return cr::expm1(x); }},
    {"log", [](double x, double) { return cr::log(x); }},
    {"log1p", [](double x, double) { return cr::log1p(x); }},
    {"log2", [](double x, double) { return cr::log2(x); }},
    {"log10", [](double x, double) { return cr::log10(x); }},
    {"sin", [](double x, double) { return cr::sin(x); }},
    {"cos", [](double x, double) { return cr::cos(x); }},
    {"atan", [](double x, double) { return cr::atan(x); }},
    {"tanh", [](double x, double) { return cr::tanh(x); }},
    {"atan2", [](double x, double y) { return cr::atan2(y, x); }},
};

TEST(PortableMath, BothPathsGiveTheSameBits) {
  const bool cpu_path = cr::fast_path_in_use();
  if (!cpu_path) GTEST_SKIP() << "this CPU takes the portable path already";
  constexpr std::size_t kInputs = 200000;  // per function
  testing::SplitMix rng(77);
  std::vector<double> xs(kInputs), ys(kInputs), fast(kInputs);
  for (std::size_t k = 0; k < kInputs; ++k) xs[k] = any_input(rng), ys[k] = any_input(rng);
  for (const Function& fn : kFunctions) {
    for (std::size_t k = 0; k < kInputs; ++k) fast[k] = fn.f(xs[k], ys[k]);
    cr::force_portable_path(true);
    EXPECT_FALSE(cr::fast_path_in_use());
    std::size_t differ = 0;
    for (std::size_t k = 0; k < kInputs; ++k) {
      const double portable = fn.f(xs[k], ys[k]);
      if (bits(portable) != bits(fast[k]) && ++differ <= 3) {
        ADD_FAILURE() << fn.name << "(" << std::hexfloat << xs[k] << ", " << ys[k] << "): fast " << fast[k]
                      << ", portable " << portable;
      }
    }
    cr::force_portable_path(false);
    EXPECT_EQ(cr::fast_path_in_use(), cpu_path);
  }
}

}  // namespace
}  // namespace fendro
