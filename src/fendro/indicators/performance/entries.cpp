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
      {"MaxDrawdown", Feed::Kline, build<MaxDrawdown, U>, {20}},
      {"AverageDrawdown", Feed::Kline, build<AverageDrawdown, U>, {20}},
      {"PainIndex", Feed::Kline, build<PainIndex, U>, {20}},
      {"CalmarRatio", Feed::Kline, build<CalmarRatio, U>, {20}},
      {"BurkeRatio", Feed::Kline, build<BurkeRatio, U>, {20}},
      {"SterlingRatio", Feed::Kline, build<SterlingRatio, U>, {20}},
      {"MartinRatio", Feed::Kline, build<MartinRatio, U>, {20}},
      {"KRatio", Feed::Kline, build<KRatio, U>, {20}},
      {"RecoveryFactor", Feed::Kline, build_plain<RecoveryFactor>, {}},
      {"SharpeRatio", Feed::Kline, build<SharpeRatio, U, F>, {20, 0.0}},
      {"M2Measure", Feed::Kline, build<M2Measure, U, F, F>, {20, 0.0001, 0.01}},
      {"SortinoRatio", Feed::Kline, build<SortinoRatio, U, F>, {20, 0.0}},
      {"UpsidePotentialRatio", Feed::Kline, build<UpsidePotentialRatio, U, F>, {20, 0.0}},
      {"OmegaRatio", Feed::Kline, build<OmegaRatio, U, F>, {20, 0.0}},
      {"KellyCriterion", Feed::Kline, build<KellyCriterion, U>, {20}},
      {"WinRate", Feed::Kline, build<WinRate, U>, {20}},
      {"ProfitFactor", Feed::Kline, build<ProfitFactor, U>, {20}},
      {"GainLossRatio", Feed::Kline, build<GainLossRatio, U>, {20}},
      {"Expectancy", Feed::Kline, build<Expectancy, U>, {20}},
      {"GainToPainRatio", Feed::Kline, build<GainToPainRatio, U>, {20}},
      {"ValueAtRisk", Feed::Kline, build<ValueAtRisk, U, F>, {20, 0.95}},
      {"ConditionalValueAtRisk", Feed::Kline, build<ConditionalValueAtRisk, U, F>, {20, 0.95}},
      {"TailRatio", Feed::Kline, build<TailRatio, U>, {20}},
      {"CommonSenseRatio", Feed::Kline, build<CommonSenseRatio, U>, {20}},
      {"InformationRatio", Feed::Kline, build<InformationRatio, U>, {20}},
      {"TreynorRatio", Feed::Kline, build<TreynorRatio, U, F>, {20, 0.0}},
  };
  return kEntries;
}

}  // namespace fendro::registry
