// Cost of one call of the math module's log and exp against the paths they
// choose between (LLVM's correctly rounded functions, the MPFR path) and the
// platform's libm (not correctly rounded; for scale only), over the arguments
// the indicators give them: ratios of nearby prices (log near 1), prices, any
// positive double; small and moderate exponents.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "benchmark_main.hpp"
#include "fendro/util/math.hpp"
#include "fendro/util/math_mpfr.hpp"

extern "C" double fendro_llvmlibc_log(double);
extern "C" double fendro_llvmlibc_exp(double);

namespace {

std::vector<double> inputs(int range) {
  std::mt19937_64 g(7);
  std::vector<double> v(4096);
  for (double& x : v) {
    switch (range) {
      case 0:  // log near 1
        x = 1.0 + std::uniform_real_distribution<double>(-0.02, 0.02)(g);
        break;
      case 1:  // log of prices
        x = std::uniform_real_distribution<double>(1.0, 50000.0)(g);
        break;
      case 2:  // log of any positive normal double
        x = std::bit_cast<double>((g() >> 2) + 0x0010000000000000);
        break;
      case 3:  // exp of small arguments
        x = std::uniform_real_distribution<double>(-1.0, 1.0)(g);
        break;
      default:  // exp over its whole finite range
        x = std::uniform_real_distribution<double>(-700.0, 700.0)(g);
        break;
    }
  }
  return v;
}

// Independent calls: what a bar pays when its other work overlaps the call.
template <double (*F)(double)>
void BM_throughput(benchmark::State& state) {
  const auto v = inputs(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    double sum = 0.0;
    for (double x : v) sum += F(x);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(v.size()));
}

// The machine may be shared: the least time of several repetitions is the
// one least disturbed (run with --benchmark_repetitions=N).
double least(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

double libm_log(double x) { return std::log(x); }
double libm_exp(double x) { return std::exp(x); }

#define FENDRO_LOG_BENCH(f)                                                    \
  BENCHMARK(BM_throughput<f>)->Arg(0)->Arg(1)->Arg(2)->ArgName("near1_prices_any") \
      ->ComputeStatistics("min", least)
#define FENDRO_EXP_BENCH(f)                                                        \
  BENCHMARK(BM_throughput<f>)->Arg(3)->Arg(4)->ArgName("small_any")->ComputeStatistics( \
      "min", least)
FENDRO_LOG_BENCH(fendro::cr::log);
FENDRO_LOG_BENCH(fendro_llvmlibc_log);
FENDRO_LOG_BENCH(libm_log);
BENCHMARK(BM_throughput<fendro::cr::mpfr_path::log>)->Arg(0);
FENDRO_EXP_BENCH(fendro::cr::exp);
FENDRO_EXP_BENCH(fendro_llvmlibc_exp);
FENDRO_EXP_BENCH(libm_exp);

}  // namespace

int main(int argc, char** argv) { return fendro::bench::run_benchmarks(argc, argv); }
