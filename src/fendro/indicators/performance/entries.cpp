// Registry entries of this family: one row per type key.
#include "fendro/indicators/performance/active_ratios.hpp"
#include "fendro/indicators/performance/drawdown_ratios.hpp"
#include "fendro/indicators/performance/return_ratios.hpp"
#include "fendro/indicators/performance/tail_risk.hpp"
#include "fendro/registry/entry_builders.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {

std::span<const Entry> performance_entries() {
  using namespace perf;
  static constexpr Entry kEntries[] = {
      {"MaxDrawdown", build<MaxDrawdown, U>},
      {"AverageDrawdown", build<AverageDrawdown, U>},
      {"PainIndex", build<PainIndex, U>},
      {"CalmarRatio", build<CalmarRatio, U>},
      {"BurkeRatio", build<BurkeRatio, U>},
      {"SterlingRatio", build<SterlingRatio, U>},
      {"MartinRatio", build<MartinRatio, U>},
      {"KRatio", build<KRatio, U>},
      {"RecoveryFactor", build_plain<RecoveryFactor>},
      {"SharpeRatio", build<SharpeRatio, U, F>},
      {"M2Measure", build<M2Measure, U, F, F>},
      {"SortinoRatio", build<SortinoRatio, U, F>},
      {"UpsidePotentialRatio", build<UpsidePotentialRatio, U, F>},
      {"OmegaRatio", build<OmegaRatio, U, F>},
      {"KellyCriterion", build<KellyCriterion, U>},
      {"WinRate", build<WinRate, U>},
      {"ProfitFactor", build<ProfitFactor, U>},
      {"GainLossRatio", build<GainLossRatio, U>},
      {"Expectancy", build<Expectancy, U>},
      {"GainToPainRatio", build<GainToPainRatio, U>},
      {"ValueAtRisk", build<ValueAtRisk, U, F>},
      {"ConditionalValueAtRisk", build<ConditionalValueAtRisk, U, F>},
      {"TailRatio", build<TailRatio, U>},
      {"CommonSenseRatio", build<CommonSenseRatio, U>},
      {"InformationRatio", build<InformationRatio, U>},
      {"TreynorRatio", build<TreynorRatio, U, F>},
  };
  return kEntries;
}

}  // namespace fendro::registry
