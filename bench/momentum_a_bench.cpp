// Cost of one `update` of every RSI, Chande, rate-of-change, Fisher and
// candle-momentum type over a random-walk series, built through the registry
// with customary parameters.
#include "../tests/indicators/momentum/momentum_a_keys.hpp"
#include "family_bench.hpp"

namespace {

const bool kRegistered =
    fendro::bench::register_family(fendro::testing::momentum::momentum_a_keys());

}  // namespace

BENCHMARK_MAIN();
