// Cost of one `update` of every level type over a random-walk series, built
// through the registry with customary parameters.
#include "../tests/indicators/levels/levels_keys.hpp"
#include "family_bench.hpp"

namespace {

const bool kRegistered = fendro::bench::register_family(fendro::testing::levels::level_keys());

}  // namespace

BENCHMARK_MAIN();
