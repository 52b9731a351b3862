// Cost of one `update` of every MACD, CCI, stochastic, smoothed-momentum and
// candle-range oscillator over a random-walk series, built through the
// registry with customary parameters.
#include "../tests/indicators/momentum/oscillator_keys.hpp"
#include "family_bench.hpp"

namespace {

const bool kRegistered =
    fendro::bench::register_family(fendro::testing::momentum::oscillator_keys());

}  // namespace

BENCHMARK_MAIN();
