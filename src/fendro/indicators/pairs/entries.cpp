// Registry entries of this family: one row per type key.
#include "fendro/indicators/pairs/calendar_studies.hpp"
#include "fendro/indicators/pairs/pair_betas.hpp"
#include "fendro/indicators/pairs/pair_models.hpp"
#include "fendro/indicators/pairs/pair_trackers.hpp"
#include "fendro/indicators/pairs/regime_labels.hpp"
#include "fendro/indicators/pairs/spread_windows.hpp"
#include "fendro/registry/entry_builders.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {

std::span<const Entry> pair_regime_entries() {
  using namespace pairs;
  static constexpr Entry kEntries[] = {
      {"BetaNeutralSpread", Feed::Kline, build<BetaNeutralSpread, U>, {20}},
      {"DistanceSsd", Feed::Kline, build<DistanceSsd, U>, {20}},
      {"HasbrouckInformationShare", Feed::Kline, build<HasbrouckInformationShare, U>, {30}},
      {"OuHalfLife", Feed::Kline, build<OuHalfLife, U>, {20}},
      {"PairwiseBeta", Feed::Kline, build<PairwiseBeta, U>, {20}},
      {"SpreadAr1Coefficient", Feed::Kline, build<SpreadAr1Coefficient, U>, {20}},
      {"SpreadHurst", Feed::Kline, build<SpreadHurst, U>, {40}},
      {"TrendLabel", Feed::Kline, build<TrendLabel, U>, {20}},
      {"GrangerCausality", Feed::Kline, build<GrangerCausality, U, U>, {40, 2}},
      {"PairSpreadZScore", Feed::Kline, build<PairSpreadZScore, U, U>, {20, 20}},
      {"Cointegration", Feed::Kline, build<Cointegration, U, U>, {40, 1}},
      {"KalmanHedgeRatio", Feed::Kline, build<KalmanHedgeRatio, F, F>, {1e-4, 1e-3}},
      {"LeadLagCrossCorrelation", Feed::Kline, build<LeadLagCrossCorrelation, U, U>, {20, 5}},
      {"RelativeStrengthAB", Feed::Kline, build<RelativeStrengthAB, U, U>, {10, 14}},
      {"SpreadBollingerBands", Feed::Kline, build<SpreadBollingerBands, U, F>, {20, 2.0}},
      {"RegimeLabel", Feed::Kline, build<RegimeLabel, U, U>, {20, 50}},
      {"SeasonalZScore", Feed::Kline, build<SeasonalZScore, I>, {60}},
      {"TurnOfMonth", Feed::Kline, build<TurnOfMonth, U32, U32, I>, {2, 2, 0}},
      {"VolatilityCone", Feed::Kline, build<VolatilityCone, U, U>, {20, 50}},
  };
  return kEntries;
}

}  // namespace fendro::registry
