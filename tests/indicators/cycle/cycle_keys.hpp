// Every key of the cycle family with customary parameters, shared by the
// tests and the benchmark.
#pragma once

#include <vector>

#include "../family_key.hpp"

namespace fendro::testing::cycle {

inline const std::vector<family::Key>& cycle_keys() {
  static const std::vector<family::Key> keys = {
      {"AutocorrelationPeriodogram", {10, 48}, true},
      {"BandpassFilter", {20, 0.3}, true},
      {"CenterOfGravity", {10}, true},
      {"EhlersStochastic", {20}, true},
      {"Reflex", {20}, true},
      {"Trendflex", {20}, true},
      {"CyberneticCycle", {10}, true},
      {"Decycler", {60}, true},
      {"HighpassFilter", {48}, true},
      {"DecyclerOscillator", {30, 60}, true},
      {"EmpiricalModeDecomposition", {20, 0.5}, true},
      {"EvenBetterSinewave", {40, 10}, true},
      {"Fama", {0.5, 0.05}, true},
      {"Mama", {0.5, 0.05}, true},
      {"InstantaneousTrendline", {20}, true},
      {"RoofingFilter", {10, 48}, true},
      {"SuperSmoother", {10}, true},
      {"UniversalOscillator", {20}, true},
      {"HtPhasor", {}, true},
      {"SineWave", {}, true},
      {"HtTrendMode", {}, true},
      {"HtDcPhase", {}, true},
      {"HilbertDominantCycle", {}, true},
      {"AdaptiveCycle", {}, true},
  };
  return keys;
}

}  // namespace fendro::testing::cycle
