// Registry entries of this family: one row per type key.
#include "fendro/indicators/momentum/candle_momentum.hpp"
#include "fendro/indicators/momentum/chande.hpp"
#include "fendro/indicators/momentum/detrended.hpp"
#include "fendro/indicators/momentum/fisher_transform.hpp"
#include "fendro/indicators/momentum/rate_of_change.hpp"
#include "fendro/indicators/momentum/rsi_family.hpp"
#include "fendro/indicators/momentum/rsi_variants.hpp"
#include "fendro/registry/entry_builders.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

// The rate-of-change types share one state, told apart by the measure.
template <LagMeasure K>
BuildResult build_lag(const Params& p) {
  FENDRO_TRY(n, p.usize(0));
  return box<RateOfChange>(p, RateOfChange::create(K, n));
}

static constexpr Entry kEntries[] = {
    {"Rsi", build<Rsi, U>},
    {"FisherRsi", build<FisherRsi, U>},
    {"StochRsi", build<StochRsi, U, U>},
    {"DerivativeOscillator", build<DerivativeOscillator, U, U, U, U>},
    {"Qqe", build<Qqe, U, U, F>},
    {"ConnorsRsi", build<ConnorsRsi, U, U, U>},
    {"Rmi", build<Rmi, U, U>},
    {"AdaptiveRsi", build<AdaptiveRsi, U>},
    {"Rsx", build<Rsx, U>},
    {"AnchoredRsi", build_plain<AnchoredRsi>},
    {"LaguerreRsi", build<LaguerreRsi, F>},
    {"Cmo", build<Cmo, U>},
    {"Vidya", build<Vidya, U, U>},
    {"DynamicMomentumIndex", build<DynamicMomentumIndex, U>},
    {"IntradayMomentumIndex", build<IntradayMomentumIndex, U>},
    {"Roc", build_lag<LagMeasure::Roc>},
    {"Rocp", build_lag<LagMeasure::Rocp>},
    {"Rocr", build_lag<LagMeasure::Rocr>},
    {"Rocr100", build_lag<LagMeasure::Rocr100>},
    {"Mom", build_lag<LagMeasure::Mom>},
    {"Cfo", build<Cfo, U>},
    {"Dpo", build<Dpo, U>},
    {"DisparityIndex", build<DisparityIndex, U>},
    {"FisherTransform", build<FisherTransform, U>},
    {"InverseFisherTransform", build<InverseFisherTransform, F>},
    {"AwesomeOscillator", build<AwesomeOscillator, U, U>},
    {"AwesomeOscillatorHistogram", build<AwesomeOscillatorHistogram, U, U, U>},
    {"AcceleratorOscillator", build<AcceleratorOscillator, U, U, U>},
    {"ElderRay", build<ElderRay, U>},
    {"GatorOscillator", build<GatorOscillator, U, U, U>},
    {"BalanceOfPower", build_plain<BalanceOfPower>},
    {"Qstick", build<Qstick, U>},
};

}  // namespace

std::span<const Entry> momentum_entries() { return kEntries; }

}  // namespace fendro::registry
