// Cost of one `update` of every chart-pattern, sequential-count, window
// detector and Heikin-Ashi type over a random-walk series, built through the
// registry with customary parameters.
#include "../tests/indicators/chart/chart_keys.hpp"
#include "family_bench.hpp"

namespace {

const bool kRegistered = fendro::bench::register_family(fendro::testing::chart::chart_keys());

}  // namespace

BENCHMARK_MAIN();
