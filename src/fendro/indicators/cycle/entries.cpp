// Registry entries of this family: one row per type key.
#include "fendro/indicators/cycle/autocorrelation_periodogram.hpp"
#include "fendro/indicators/cycle/ehlers_filters.hpp"
#include "fendro/indicators/cycle/hilbert.hpp"
#include "fendro/registry/entry_builders.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

using namespace fendro::cycle;

template <FlexOscillator::Kind K>
BuildResult build_flex(const Params& p) {
  FENDRO_TRY(period, p.usize(0));
  return box<FlexOscillator>(p, FlexOscillator::create(K, period));
}

static constexpr Entry kEntries[] = {
    {"AutocorrelationPeriodogram", build<AutocorrelationPeriodogram, U, U>},
    {"BandpassFilter", build<BandpassFilter, U, F>},
    {"CenterOfGravity", build<CenterOfGravity, U>},
    {"EhlersStochastic", build<EhlersStochastic, U>},
    {"Reflex", build_flex<FlexOscillator::Kind::Reflex>},
    {"Trendflex", build_flex<FlexOscillator::Kind::Trendflex>},
    {"CyberneticCycle", build<CyberneticCycle, U>},
    {"Decycler", build<Decycler, U>},
    {"HighpassFilter", build<HighpassFilter, U>},
    {"DecyclerOscillator", build<DecyclerOscillator, U, U>},
    {"EmpiricalModeDecomposition", build<EmpiricalModeDecomposition, U, F>},
    {"EvenBetterSinewave", build<EvenBetterSinewave, U, U>},
    {"Fama", build<Fama, F, F>},
    {"Mama", build<Mama, F, F>},
    {"InstantaneousTrendline", build<InstantaneousTrendline, U>},
    {"RoofingFilter", build<RoofingFilter, U, U>},
    {"SuperSmoother", build<SuperSmoother, U>},
    {"UniversalOscillator", build<UniversalOscillator, U>},
    {"HtPhasor", build_plain<HtPhasor>},
    {"SineWave", build_plain<SineWave>},
    {"HtTrendMode", build_plain<HtTrendMode>},
    {"HtDcPhase", build_plain<HtDcPhase>},
    {"HilbertDominantCycle", build_plain<HilbertDominantCycle>},
    {"AdaptiveCycle", build_plain<AdaptiveCycle>},
};

}  // namespace

std::span<const Entry> cycle_entries() { return kEntries; }

}  // namespace fendro::registry
