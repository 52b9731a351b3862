// Cost of one call of the math module's log against the paths it chooses
// between (LLVM's correctly rounded log, the MPFR path) and the platform's
// libm (not correctly rounded; for scale only), over the arguments the
// indicators give it: ratios of nearby prices (near 1), prices, and any
// positive double.
#include <benchmark/benchmark.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "fendro/util/math.hpp"
#include "fendro/util/math_mpfr.hpp"

extern "C" double fendro_llvmlibc_log(double);

namespace {

enum class Range { kNearOne, kPrices, kAnyPositive };

std::vector<double> inputs(Range range) {
  std::mt19937_64 g(7);
  std::vector<double> v(4096);
  for (double& x : v) {
    switch (range) {
      case Range::kNearOne:
        x = 1.0 + std::uniform_real_distribution<double>(-0.02, 0.02)(g);
        break;
      case Range::kPrices:
        x = std::uniform_real_distribution<double>(1.0, 50000.0)(g);
        break;
      case Range::kAnyPositive:
        x = std::bit_cast<double>((g() >> 2) + 0x0010000000000000);
        break;
    }
  }
  return v;
}

template <double (*F)(double)>
void BM_log(benchmark::State& state) {
  const auto v = inputs(static_cast<Range>(state.range(0)));
  for (auto _ : state) {
    double sum = 0.0;
    for (double x : v) sum += F(x);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(v.size()));
}

double libm_log(double x) { return std::log(x); }

#define FENDRO_LOG_BENCH(f) \
  BENCHMARK(BM_log<f>)->Arg(0)->Arg(1)->Arg(2)->ArgName("near1_prices_any")
FENDRO_LOG_BENCH(fendro::cr::log);
FENDRO_LOG_BENCH(fendro_llvmlibc_log);
FENDRO_LOG_BENCH(libm_log);
BENCHMARK(BM_log<fendro::cr::mpfr_path::log>)->Arg(0);

}  // namespace

BENCHMARK_MAIN();
