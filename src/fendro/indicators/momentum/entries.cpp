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
    {"Rsi", Feed::Kline, build<Rsi, U>, {14}},
    {"FisherRsi", Feed::Kline, build<FisherRsi, U>, {9}},
    {"StochRsi", Feed::Kline, build<StochRsi, U, U>, {14, 14}},
    {"DerivativeOscillator", Feed::Kline, build<DerivativeOscillator, U, U, U, U>, {14, 5, 3, 9}},
    {"Qqe", Feed::Kline, build<Qqe, U, U, F>, {14, 5, 4.236}},
    {"ConnorsRsi", Feed::Kline, build<ConnorsRsi, U, U, U>, {3, 2, 100}},
    {"Rmi", Feed::Kline, build<Rmi, U, U>, {14, 5}},
    {"AdaptiveRsi", Feed::Kline, build<AdaptiveRsi, U>, {14}},
    {"Rsx", Feed::Kline, build<Rsx, U>, {14}},
    {"AnchoredRsi", Feed::Kline, build_plain<AnchoredRsi>, {}},
    {"LaguerreRsi", Feed::Kline, build<LaguerreRsi, F>, {0.5}},
    {"Cmo", Feed::Kline, build<Cmo, U>, {9}},
    {"Vidya", Feed::Kline, build<Vidya, U, U>, {14, 9}},
    {"DynamicMomentumIndex", Feed::Kline, build<DynamicMomentumIndex, U>, {14}},
    {"IntradayMomentumIndex", Feed::Kline, build<IntradayMomentumIndex, U>, {14}},
    {"Roc", Feed::Kline, build_lag<LagMeasure::Roc>, {10}},
    {"Rocp", Feed::Kline, build_lag<LagMeasure::Rocp>, {10}},
    {"Rocr", Feed::Kline, build_lag<LagMeasure::Rocr>, {10}},
    {"Rocr100", Feed::Kline, build_lag<LagMeasure::Rocr100>, {10}},
    {"Mom", Feed::Kline, build_lag<LagMeasure::Mom>, {10}},
    {"Cfo", Feed::Kline, build<Cfo, U>, {14}},
    {"Dpo", Feed::Kline, build<Dpo, U>, {20}},
    {"DisparityIndex", Feed::Kline, build<DisparityIndex, U>, {14}},
    {"FisherTransform", Feed::Kline, build<FisherTransform, U>, {10}},
    {"InverseFisherTransform", Feed::Kline, build<InverseFisherTransform, F>, {0.05}},
    {"AwesomeOscillator", Feed::Kline, build<AwesomeOscillator, U, U>, {5, 34}},
    {"AwesomeOscillatorHistogram", Feed::Kline, build<AwesomeOscillatorHistogram, U, U, U>, {5, 34, 3}},
    {"AcceleratorOscillator", Feed::Kline, build<AcceleratorOscillator, U, U, U>, {5, 34, 5}},
    {"ElderRay", Feed::Kline, build<ElderRay, U>, {13}},
    {"GatorOscillator", Feed::Kline, build<GatorOscillator, U, U, U>, {13, 8, 5}},
    {"BalanceOfPower", Feed::Kline, build_plain<BalanceOfPower>, {}},
    {"Qstick", Feed::Kline, build<Qstick, U>, {8}},
};

}  // namespace

std::span<const Entry> momentum_entries() { return kEntries; }

}  // namespace fendro::registry
