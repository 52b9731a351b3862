// Cost of one `update` of every statistics type over a random-walk series,
// built through the registry with customary parameters. Two-series types get
// a second random walk as their reference value.
#include "../tests/indicators/statistics/stats_testing.hpp"
#include "family_bench.hpp"

namespace {

const bool kRegistered =
    fendro::bench::register_pair_family(fendro::testing::statistics::stats_keys());

}  // namespace

BENCHMARK_MAIN();
