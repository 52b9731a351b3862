// Cost of one `update` of every volatility, band and channel type over a
// random-walk series, built through the registry with customary parameters.
#include "../tests/indicators/volatility/vol_keys.hpp"
#include "family_bench.hpp"

namespace {

const bool kRegistered = fendro::bench::register_family(fendro::testing::vol_keys());

}  // namespace

BENCHMARK_MAIN();
