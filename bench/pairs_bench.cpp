// Cost of one `update` of every pair, spread, regime and calendar type over a
// random-walk series, built through the registry with customary parameters.
// Two-series types get a second random walk as their reference value.
#include "../tests/indicators/pairs/pairs_testing.hpp"
#include "family_bench.hpp"

namespace {

const bool kRegistered =
    fendro::bench::register_pair_family(fendro::testing::pairs::pair_keys());

}  // namespace

BENCHMARK_MAIN();
