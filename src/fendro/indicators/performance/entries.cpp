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
      {"MaxDrawdown", Feed::Kline, build<MaxDrawdown, U>, {20},
     {"period [1, MAX]",
      "The largest drawdown, (peak - close) / peak, a fraction, of the closes as a curve over "
      "the last `period` bars.",
      "period"}},
      {"AverageDrawdown", Feed::Kline, build<AverageDrawdown, U>, {20},
     {"period [1, MAX]",
      "The mean depth, a fraction, of the drawdown episodes of the closes as a curve over the "
      "last `period` bars.",
      "period"}},
      {"PainIndex", Feed::Kline, build<PainIndex, U>, {20},
     {"period [1, MAX]",
      "The mean drawdown from the running peak, a fraction, of the closes as a curve over the "
      "last `period` bars.",
      "period"}},
      {"CalmarRatio", Feed::Kline, build<CalmarRatio, U>, {20},
     {"period [2, MAX]",
      "Reads each close as a per-bar return, a fraction (0.01 = 1%), not a price: feed it "
      "returns. Their mean over the largest drawdown of the compounded curve, over `period` "
      "bars; not annualised.",
      "period"}},
      {"BurkeRatio", Feed::Kline, build<BurkeRatio, U>, {20},
     {"period [2, MAX]",
      "Reads each close as a per-bar return, a fraction (0.01 = 1%), not a price: feed it "
      "returns. Their mean over the square root of the summed squared drawdown depths of the "
      "compounded curve, over `period` bars.",
      "period"}},
      {"SterlingRatio", Feed::Kline, build<SterlingRatio, U>, {20},
     {"period [2, MAX]",
      "Reads each close as a per-bar return, a fraction (0.01 = 1%), not a price: feed it "
      "returns. Their mean over the mean drawdown depth of the compounded curve, over `period` "
      "bars.",
      "period"}},
      {"MartinRatio", Feed::Kline, build<MartinRatio, U>, {20},
     {"period [2, MAX]",
      "Reads each close as a per-bar return, a fraction (0.01 = 1%), not a price: feed it "
      "returns. Their mean over the Ulcer index (in percent) of the compounded curve, over "
      "`period` bars.",
      "period"}},
      {"KRatio", Feed::Kline, build<KRatio, U>, {20},
     {"period [3, MAX]",
      "Reads each close as a per-bar return, a fraction (0.01 = 1%), not a price: feed it "
      "returns. The slope of their cumulative sum over its standard error, over `period` bars.",
      "period"}},
      {"RecoveryFactor", Feed::Kline, build_plain<RecoveryFactor>, {},
     {"",
      "The gain of the close since the first one over the largest drawdown so far, the closes "
      "read as an equity curve.",
      "1"}},
      {"SharpeRatio", Feed::Kline, build<SharpeRatio, U, F>, {20, 0.0},
     {"period [2, MAX]; risk_free (-inf, inf)",
      "Reads each close as a per-bar return, a fraction (0.01 = 1%), not a price: feed it "
      "returns. (mean - `risk_free`) / sample standard deviation over `period` bars; not "
      "annualised.",
      "period"}},
      {"M2Measure", Feed::Kline, build<M2Measure, U, F, F>, {20, 0.0001, 0.01},
     {"period [2, MAX]; risk_free (-inf, inf); benchmark_stddev [0, inf)",
      "Reads each close as a per-bar return, a fraction (0.01 = 1%), not a price: feed it "
      "returns. The Modigliani measure: `risk_free` + `benchmark_stddev` times their Sharpe "
      "ratio over `period` bars.",
      "period"}},
      {"SortinoRatio", Feed::Kline, build<SortinoRatio, U, F>, {20, 0.0},
     {"period [2, MAX]; target (-inf, inf)",
      "Reads each close as a per-bar return, a fraction (0.01 = 1%), not a price: feed it "
      "returns. (mean - `target`) / downside deviation below `target` over `period` bars; not "
      "annualised.",
      "period"}},
      {"UpsidePotentialRatio", Feed::Kline, build<UpsidePotentialRatio, U, F>, {20, 0.0},
     {"period [2, MAX]; mar (-inf, inf)",
      "Reads each close as a per-bar return, a fraction (0.01 = 1%), not a price: feed it "
      "returns. The mean gain above `mar` over the downside deviation below it, over `period` "
      "bars.",
      "period"}},
      {"OmegaRatio", Feed::Kline, build<OmegaRatio, U, F>, {20, 0.0},
     {"period [1, MAX]; threshold (-inf, inf)",
      "Reads each close as a per-bar return, a fraction (0.01 = 1%), not a price: feed it "
      "returns. The sum of gains above `threshold` over the sum of losses below it, over "
      "`period` bars (infinite with no losses).",
      "period"}},
      {"KellyCriterion", Feed::Kline, build<KellyCriterion, U>, {20},
     {"period [1, MAX]",
      "Reads each close as a per-bar return, a fraction (0.01 = 1%), not a price: feed it "
      "returns. The Kelly fraction p - (1 - p) / b over `period` bars: p the share of gains, b "
      "the mean gain over the mean loss.",
      "period"}},
      {"WinRate", Feed::Kline, build<WinRate, U>, {20},
     {"period [1, MAX]",
      "Reads each close as a per-bar return, a fraction (0.01 = 1%), not a price: feed it "
      "returns. The share of them above 0 over `period` bars, 0 to 1.",
      "period"}},
      {"ProfitFactor", Feed::Kline, build<ProfitFactor, U>, {20},
     {"period [1, MAX]",
      "Reads each close as a per-bar return, a fraction (0.01 = 1%), not a price: feed it "
      "returns. The sum of gains over the sum of losses over `period` bars (infinite with no "
      "losses).",
      "period"}},
      {"GainLossRatio", Feed::Kline, build<GainLossRatio, U>, {20},
     {"period [1, MAX]",
      "Reads each close as a per-bar return, a fraction (0.01 = 1%), not a price: feed it "
      "returns. The mean gain over the mean loss over `period` bars (infinite with no losses).",
      "period"}},
      {"Expectancy", Feed::Kline, build<Expectancy, U>, {20},
     {"period [1, MAX]",
      "Reads each close as a per-bar return, a fraction (0.01 = 1%), not a price: feed it "
      "returns. Their mean in units of the mean loss over `period` bars; 0 with no losses.",
      "period"}},
      {"GainToPainRatio", Feed::Kline, build<GainToPainRatio, U>, {20},
     {"period [1, MAX]",
      "Reads each close as a per-bar return, a fraction (0.01 = 1%), not a price: feed it "
      "returns. Their sum over the sum of the losses over `period` bars; 0 with no losses.",
      "period"}},
      {"ValueAtRisk", Feed::Kline, build<ValueAtRisk, U, F>, {20, 0.95},
     {"period [2, MAX]; confidence (0, 1)",
      "Reads each close as a per-bar return, a fraction (0.01 = 1%), not a price: feed it "
      "returns. The loss at the 1 - `confidence` quantile of the last `period`, as a positive "
      "number (0 when that quantile is a gain).",
      "period"}},
      {"ConditionalValueAtRisk", Feed::Kline, build<ConditionalValueAtRisk, U, F>, {20, 0.95},
     {"period [2, MAX]; confidence (0, 1)",
      "Reads each close as a per-bar return, a fraction (0.01 = 1%), not a price: feed it "
      "returns. The mean of the worst (1 - `confidence`) share of the last `period`, as a "
      "positive loss (0 when a gain).",
      "period"}},
      {"TailRatio", Feed::Kline, build<TailRatio, U>, {20},
     {"period [2, MAX]",
      "Reads each close as a per-bar return, a fraction (0.01 = 1%), not a price: feed it "
      "returns. The 0.95 quantile over the absolute 0.05 quantile of the last `period`.",
      "period"}},
      {"CommonSenseRatio", Feed::Kline, build<CommonSenseRatio, U>, {20},
     {"period [2, MAX]",
      "Reads each close as a per-bar return, a fraction (0.01 = 1%), not a price: feed it "
      "returns. The profit factor times the tail ratio of the last `period`.",
      "period"}},
      {"InformationRatio", Feed::Kline, build<InformationRatio, U>, {20},
     {"period [2, MAX]",
      "The mean of close - reference over its sample standard deviation, over `period` bars.",
      "period"}},
      {"TreynorRatio", Feed::Kline, build<TreynorRatio, U, F>, {20, 0.0},
     {"period [2, MAX]; risk_free (-inf, inf)",
      "(mean close - `risk_free`) / beta of the close on the reference series, over `period` "
      "bars.",
      "period"}},
  };
  return kEntries;
}

}  // namespace fendro::registry
