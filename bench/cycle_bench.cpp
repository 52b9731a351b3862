// Update cost per bar of every cycle key.
#include "family_bench.hpp"

namespace {

const std::vector<fendro::bench::Key> kKeys = {
    {"AutocorrelationPeriodogram", {10, 48}},
    {"BandpassFilter", {20, 0.3}},
    {"CenterOfGravity", {10}},
    {"EhlersStochastic", {20}},
    {"Reflex", {20}},
    {"Trendflex", {20}},
    {"CyberneticCycle", {10}},
    {"Decycler", {60}},
    {"HighpassFilter", {48}},
    {"DecyclerOscillator", {30, 60}},
    {"EmpiricalModeDecomposition", {20, 0.5}},
    {"EvenBetterSinewave", {40, 10}},
    {"Fama", {0.5, 0.05}},
    {"Mama", {0.5, 0.05}},
    {"InstantaneousTrendline", {20}},
    {"RoofingFilter", {10, 48}},
    {"SuperSmoother", {10}},
    {"UniversalOscillator", {20}},
    {"HtPhasor", {}},
    {"SineWave", {}},
    {"HtTrendMode", {}},
    {"HtDcPhase", {}},
    {"HilbertDominantCycle", {}},
    {"AdaptiveCycle", {}},
};
const bool kRegistered = fendro::bench::register_family(kKeys);

}  // namespace

BENCHMARK_MAIN();
