// Cost of one `update` of every MACD, CCI, stochastic, smoothed-momentum and
// candle-range oscillator over a random-walk series, built through the
// registry with customary parameters.
#include "family_bench.hpp"

namespace {

using fendro::bench::Key;

const std::vector<Key> kKeys = {
    {"MacdIndicator", {12, 26, 9}},
    {"MacdFix", {9}},
    {"MacdHistogram", {12, 26, 9}},
    {"Apo", {12, 26}},
    {"Ppo", {12, 26}},
    {"PpoHistogram", {12, 26, 9}},
    {"ZeroLagMacd", {12, 26, 9}},
    {"VolumeWeightedMacd", {12, 26, 9}},
    {"Cci", {20}},
    {"StochasticCci", {14}},
    {"AdaptiveCci", {20}},
    {"Stochastic", {14, 3}},
    {"WilliamsR", {14}},
    {"Smi", {10, 3, 3}},
    {"KasePermissionStochastic", {10, 3}},
    {"Kst", {10, 15, 20, 30, 10, 10, 10, 15, 9}},
    {"Coppock", {14, 11, 10}},
    {"Pmo", {35, 20}},
    {"Trix", {15}},
    {"Tsi", {25, 13}},
    {"Tii", {30, 15}},
    {"Stc", {23, 50, 10, 0.5}},
    {"UltimateOscillator", {7, 14, 28}},
    {"Rvi", {10}},
    {"WaveTrend", {10, 21, 4}},
    {"Pgo", {14}},
    {"ProjectionOscillator", {14}},
    {"Inertia", {20, 14}},
};

const bool kRegistered = fendro::bench::register_family(kKeys);

}  // namespace

BENCHMARK_MAIN();
