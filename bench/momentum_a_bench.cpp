// Cost of one `update` of every RSI, Chande, rate-of-change, Fisher and
// candle-momentum type over a random-walk series, built through the registry
// with customary parameters.
#include "family_bench.hpp"

namespace {

using fendro::bench::Key;

const std::vector<Key> kKeys = {
    {"Rsi", {14}},
    {"FisherRsi", {14}},
    {"StochRsi", {14, 14}},
    {"DerivativeOscillator", {14, 5, 3, 9}},
    {"Qqe", {14, 5, 4.236}},
    {"ConnorsRsi", {3, 2, 100}},
    {"Rmi", {14, 5}},
    {"AdaptiveRsi", {14}},
    {"Rsx", {14}},
    {"AnchoredRsi", {}},
    {"LaguerreRsi", {0.5}},
    {"Cmo", {14}},
    {"Vidya", {14, 9}},
    {"DynamicMomentumIndex", {14}},
    {"IntradayMomentumIndex", {14}},
    {"Roc", {10}},
    {"Rocp", {10}},
    {"Rocr", {10}},
    {"Rocr100", {10}},
    {"Mom", {10}},
    {"Cfo", {14}},
    {"Dpo", {20}},
    {"DisparityIndex", {14}},
    {"FisherTransform", {10}},
    {"InverseFisherTransform", {0.1}},
    {"AwesomeOscillator", {5, 34}},
    {"AwesomeOscillatorHistogram", {5, 34, 1}},
    {"AcceleratorOscillator", {5, 34, 5}},
    {"ElderRay", {13}},
    {"GatorOscillator", {13, 8, 5}},
    {"BalanceOfPower", {}},
    {"Qstick", {8}},
};

const bool kRegistered = fendro::bench::register_family(kKeys);

}  // namespace

BENCHMARK_MAIN();
