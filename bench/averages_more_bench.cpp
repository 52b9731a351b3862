// Cost of one `update` of every Hull, adaptive, window-weighted,
// volume-weighted and regression average over a random-walk series, built
// through the registry with customary parameters.
#include "family_bench.hpp"

namespace {

const std::vector<fendro::bench::Key> kKeys = {
    {"Hma", {20}},
    {"Ehma", {20}},
    {"Zlema", {20}},
    {"Kama", {10, 2, 30}},
    {"Frama", {16}},
    {"McGinleyDynamic", {14}},
    {"Jma", {7, 50, 2}},
    {"AdaptiveLaguerreFilter", {13}},
    {"GeneralizedDema", {5, 0.7}},
    {"HoltWinters", {0.3, 0.1}},
    {"Alma", {9, 0.85, 6}},
    {"SineWeightedMa", {14}},
    {"MedianMa", {20}},
    {"GeometricMa", {20}},
    {"Vwma", {20}},
    {"Evwma", {20}},
    {"Alligator", {13, 8, 5}},
    {"LinearRegression", {14}},
    {"LinRegSlope", {14}},
    {"LinRegAngle", {14}},
    {"LinRegIntercept", {14}},
    {"Tsf", {14}},
    {"TsfOscillator", {14}},
    {"CorrelationTrendIndicator", {20}},
    {"LinRegChannel", {20, 2}},
    // Window scans grow with the period.
    {"Kama", {200, 2, 30}},
    {"CorrelationTrendIndicator", {200}},
    {"LinRegChannel", {200, 2}},
};

const bool kRegistered = fendro::bench::register_family(kKeys);

}  // namespace

BENCHMARK_MAIN();
