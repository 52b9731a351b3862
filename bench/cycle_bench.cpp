// Update cost per bar of every cycle key.
#include "../tests/indicators/cycle/cycle_keys.hpp"
#include "family_bench.hpp"

namespace {

const bool kRegistered = fendro::bench::register_family(fendro::testing::cycle::cycle_keys());

}  // namespace

BENCHMARK_MAIN();
