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
      {"BetaNeutralSpread", build<BetaNeutralSpread, U>},
      {"DistanceSsd", build<DistanceSsd, U>},
      {"HasbrouckInformationShare", build<HasbrouckInformationShare, U>},
      {"OuHalfLife", build<OuHalfLife, U>},
      {"PairwiseBeta", build<PairwiseBeta, U>},
      {"SpreadAr1Coefficient", build<SpreadAr1Coefficient, U>},
      {"SpreadHurst", build<SpreadHurst, U>},
      {"TrendLabel", build<TrendLabel, U>},
      {"GrangerCausality", build<GrangerCausality, U, U>},
      {"PairSpreadZScore", build<PairSpreadZScore, U, U>},
      {"Cointegration", build<Cointegration, U, U>},
      {"KalmanHedgeRatio", build<KalmanHedgeRatio, F, F>},
      {"LeadLagCrossCorrelation", build<LeadLagCrossCorrelation, U, U>},
      {"RelativeStrengthAB", build<RelativeStrengthAB, U, U>},
      {"SpreadBollingerBands", build<SpreadBollingerBands, U, F>},
      {"RegimeLabel", build<RegimeLabel, U, U>},
      {"SeasonalZScore", build<SeasonalZScore, I>},
      {"TurnOfMonth", build<TurnOfMonth, U32, U32, I>},
      {"VolatilityCone", build<VolatilityCone, U, U>},
  };
  return kEntries;
}

}  // namespace fendro::registry
