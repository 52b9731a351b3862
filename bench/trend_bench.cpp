// Cost of one `update` of every trend type over a random-walk series, built
// through the registry with customary parameters.
#include "family_bench.hpp"

namespace {

const std::vector<fendro::bench::Key> kKeys = {
    {"PlusDm", {14}},
    {"MinusDm", {14}},
    {"PlusDi", {14}},
    {"MinusDi", {14}},
    {"Dx", {14}},
    {"Adx", {14}},
    {"Adxr", {14}},
    {"Aroon", {25}},
    {"AroonOscillator", {25}},
    {"Psar", {0.02, 0.02, 0.2}},
    {"SarExt", {0, 0, 0.02, 0.02, 0.2, 0.02, 0.02, 0.2}},
    {"VerticalHorizontalFilter", {28}},
    {"PolarizedFractalEfficiency", {10, 5}},
    {"TrendStrengthIndex", {14}},
    {"ElderImpulse", {13, 12, 26, 9}},
    {"TtmTrend", {6}},
    {"Vortex", {14}},
    {"Rwi", {14}},
    {"ZigZag", {0.05}},
    {"HiLoActivator", {3}},
    {"TimeBasedStop", {20}},
    {"PercentageTrailingStop", {5}},
    {"RenkoTrailingStop", {2}},
    {"StepTrailingStop", {2}},
    {"AtrTrailingStop", {14, 3}},
    {"SuperTrend", {10, 3}},
    {"AtrRatchet", {14, 3, 0.05}},
    {"VoltyStop", {14, 3}},
    {"YoyoExit", {14, 3}},
    {"Nrtr", {2}},
    {"ChandelierExit", {22, 3}},
    {"ChandeKrollStop", {10, 1, 9}},
    {"DonchianStop", {20}},
    {"ElderSafeZone", {10, 2.5}},
    {"KaseDevStop", {30, 2}},
    {"ModifiedMaStop", {14}},
};

const bool kRegistered = fendro::bench::register_family(kKeys);

}  // namespace

BENCHMARK_MAIN();
