// Update cost per bar of the three-candle run, continuation, five-candle and
// inside-bar patterns: every key of their registry table (none takes a
// parameter).
#include "family_bench.hpp"
#include "fendro/registry/families.hpp"

namespace {

const bool kRegistered =
    fendro::bench::register_table(fendro::registry::multi_candle_pattern_entries());

}  // namespace

BENCHMARK_MAIN();
