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
    {"AutocorrelationPeriodogram", Feed::Kline, build<AutocorrelationPeriodogram, U, U>, {10, 48}},
    {"BandpassFilter", Feed::Kline, build<BandpassFilter, U, F>, {20, 0.3}},
    {"CenterOfGravity", Feed::Kline, build<CenterOfGravity, U>, {10}},
    {"EhlersStochastic", Feed::Kline, build<EhlersStochastic, U>, {20}},
    {"Reflex", Feed::Kline, build_flex<FlexOscillator::Kind::Reflex>, {20}},
    {"Trendflex", Feed::Kline, build_flex<FlexOscillator::Kind::Trendflex>, {20}},
    {"CyberneticCycle", Feed::Kline, build<CyberneticCycle, U>, {10}},
    {"Decycler", Feed::Kline, build<Decycler, U>, {60}},
    {"HighpassFilter", Feed::Kline, build<HighpassFilter, U>, {48}},
    {"DecyclerOscillator", Feed::Kline, build<DecyclerOscillator, U, U>, {30, 60}},
    {"EmpiricalModeDecomposition", Feed::Kline, build<EmpiricalModeDecomposition, U, F>, {20, 0.5}},
    {"EvenBetterSinewave", Feed::Kline, build<EvenBetterSinewave, U, U>, {40, 10}},
    {"Fama", Feed::Kline, build<Fama, F, F>, {0.5, 0.05}},
    {"Mama", Feed::Kline, build<Mama, F, F>, {0.5, 0.05}},
    {"InstantaneousTrendline", Feed::Kline, build<InstantaneousTrendline, U>, {20}},
    {"RoofingFilter", Feed::Kline, build<RoofingFilter, U, U>, {10, 48}},
    {"SuperSmoother", Feed::Kline, build<SuperSmoother, U>, {10}},
    {"UniversalOscillator", Feed::Kline, build<UniversalOscillator, U>, {20}},
    {"HtPhasor", Feed::Kline, build_plain<HtPhasor>, {}},
    {"SineWave", Feed::Kline, build_plain<SineWave>, {}},
    {"HtTrendMode", Feed::Kline, build_plain<HtTrendMode>, {}},
    {"HtDcPhase", Feed::Kline, build_plain<HtDcPhase>, {}},
    {"HilbertDominantCycle", Feed::Kline, build_plain<HilbertDominantCycle>, {}},
    {"AdaptiveCycle", Feed::Kline, build_plain<AdaptiveCycle>, {}},
};

}  // namespace

std::span<const Entry> cycle_entries() { return kEntries; }

}  // namespace fendro::registry
