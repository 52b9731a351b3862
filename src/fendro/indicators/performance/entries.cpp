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
      "With each close read as a per-bar return (0.01 = 1%, not a price): their mean over the "
      "largest drawdown of their compounded curve over `period` bars, not annualised (0 without a "
      "drawdown).",
      "period"}},
      {"BurkeRatio", Feed::Kline, build<BurkeRatio, U>, {20},
     {"period [2, MAX]",
      "With each close read as a per-bar return (0.01 = 1%, not a price): their mean over the "
      "square root of the summed squared drawdown-episode depths of their compounded curve over "
      "`period` bars (0 without a drawdown).",
      "period"}},
      {"SterlingRatio", Feed::Kline, build<SterlingRatio, U>, {20},
     {"period [2, MAX]",
      "With each close read as a per-bar return (0.01 = 1%, not a price): their mean over the mean "
      "drawdown-episode depth of their compounded curve over `period` bars (0 without a drawdown).",
      "period"}},
      {"MartinRatio", Feed::Kline, build<MartinRatio, U>, {20},
     {"period [2, MAX]",
      "With each close read as a per-bar return (0.01 = 1%, not a price): their mean over the "
      "Ulcer index, in percent, of their compounded curve over `period` bars (0 without a "
      "drawdown).",
      "period"}},
      {"KRatio", Feed::Kline, build<KRatio, U>, {20},
     {"period [3, MAX]",
      "With each close read as a per-bar return (0.01 = 1%, not a price): the least-squares slope "
      "of their cumulative sum over its standard error, over `period` bars.",
      "period"}},
      {"RecoveryFactor", Feed::Kline, build_plain<RecoveryFactor>, {},
     {"",
      "The return since the first close (close / first - 1) over the largest drawdown, a fraction, "
      "of all closes so far, the closes read as an equity curve; 0 before any drawdown.",
      "1"}},
      {"SharpeRatio", Feed::Kline, build<SharpeRatio, U, F>, {20, 0.0},
     {"period [2, MAX]; risk_free (-inf, inf)",
      "With each close read as a per-bar return (0.01 = 1%, not a price): (mean - `risk_free`) / "
      "sample standard deviation over `period` bars, not annualised (0 for a flat window).",
      "period"}},
      {"M2Measure", Feed::Kline, build<M2Measure, U, F, F>, {20, 0.0001, 0.01},
     {"period [2, MAX]; risk_free (-inf, inf); benchmark_stddev [0, inf)",
      "With each close read as a per-bar return (0.01 = 1%, not a price): the Modigliani measure, "
      "`risk_free` + `benchmark_stddev` times their Sharpe ratio over `period` bars.",
      "period"}},
      {"SortinoRatio", Feed::Kline, build<SortinoRatio, U, F>, {20, 0.0},
     {"period [2, MAX]; target (-inf, inf)",
      "With each close read as a per-bar return (0.01 = 1%, not a price): (mean - `target`) / "
      "downside deviation below `target` (root mean square over all `period` bars), not "
      "annualised; 0 without a shortfall.",
      "period"}},
      {"UpsidePotentialRatio", Feed::Kline, build<UpsidePotentialRatio, U, F>, {20, 0.0},
     {"period [2, MAX]; mar (-inf, inf)",
      "With each close read as a per-bar return (0.01 = 1%, not a price): the mean excess above "
      "`mar` over the downside deviation below it, over `period` bars; 0 without a shortfall.",
      "period"}},
      {"OmegaRatio", Feed::Kline, build<OmegaRatio, U, F>, {20, 0.0},
     {"period [1, MAX]; threshold (-inf, inf)",
      "With each close read as a per-bar return (0.01 = 1%, not a price): the summed excesses "
      "above `threshold` over the summed shortfalls below it, over `period` bars (infinite with no "
      "shortfall, 1 with neither).",
      "period"}},
      {"KellyCriterion", Feed::Kline, build<KellyCriterion, U>, {20},
     {"period [1, MAX]",
      "With each close read as a per-bar return (0.01 = 1%, not a price): the Kelly fraction p - "
      "(1 - p) / b over `period` bars, p the share of gains and b the mean gain over the mean loss "
      "(p with no losses, -1 with no gains).",
      "period"}},
      {"WinRate", Feed::Kline, build<WinRate, U>, {20},
     {"period [1, MAX]",
      "With each close read as a per-bar return (0.01 = 1%, not a price): the share of them above "
      "0 over `period` bars, 0 to 1.",
      "period"}},
      {"ProfitFactor", Feed::Kline, build<ProfitFactor, U>, {20},
     {"period [1, MAX]",
      "With each close read as a per-bar return (0.01 = 1%, not a price): the sum of gains over "
      "the sum of losses over `period` bars (infinite with no losses, 1 with neither).",
      "period"}},
      {"GainLossRatio", Feed::Kline, build<GainLossRatio, U>, {20},
     {"period [1, MAX]",
      "With each close read as a per-bar return (0.01 = 1%, not a price): the mean gain over the "
      "mean loss over `period` bars (infinite with no losses, 1 with neither).",
      "period"}},
      {"Expectancy", Feed::Kline, build<Expectancy, U>, {20},
     {"period [1, MAX]",
      "With each close read as a per-bar return (0.01 = 1%, not a price): their mean in units of "
      "the mean loss over `period` bars; 0 with no losses.",
      "period"}},
      {"GainToPainRatio", Feed::Kline, build<GainToPainRatio, U>, {20},
     {"period [1, MAX]",
      "With each close read as a per-bar return (0.01 = 1%, not a price): their sum over the sum "
      "of the losses over `period` bars; 0 with no losses.",
      "period"}},
      {"ValueAtRisk", Feed::Kline, build<ValueAtRisk, U, F>, {20, 0.95},
     {"period [2, MAX]; confidence (0, 1)",
      "With each close read as a per-bar return (0.01 = 1%, not a price): the loss at the 1 - "
      "`confidence` quantile of the last `period`, as a positive number (0 when that quantile is a "
      "gain).",
      "period"}},
      {"ConditionalValueAtRisk", Feed::Kline, build<ConditionalValueAtRisk, U, F>, {20, 0.95},
     {"period [2, MAX]; confidence (0, 1)",
      "With each close read as a per-bar return (0.01 = 1%, not a price): minus the mean of the "
      "floor((1 - `confidence`) `period`) smallest of the last `period` (at least one), as a "
      "positive loss (0 when a gain).",
      "period"}},
      {"TailRatio", Feed::Kline, build<TailRatio, U>, {20},
     {"period [2, MAX]",
      "With each close read as a per-bar return (0.01 = 1%, not a price): the 0.95 quantile over "
      "the absolute 0.05 quantile of the last `period` (0 when the latter is 0).",
      "period"}},
      {"CommonSenseRatio", Feed::Kline, build<CommonSenseRatio, U>, {20},
     {"period [2, MAX]",
      "With each close read as a per-bar return (0.01 = 1%, not a price): the profit factor times "
      "the tail ratio of the last `period` (0 with no losses).",
      "period"}},
      {"InformationRatio", Feed::Kline, build<InformationRatio, U>, {20},
     {"period [2, MAX]",
      "With the close and the reference read as per-bar returns: the mean of close - reference "
      "over its sample standard deviation, over `period` bars (0 when that difference is flat).",
      "period"}},
      {"TreynorRatio", Feed::Kline, build<TreynorRatio, U, F>, {20, 0.0},
     {"period [2, MAX]; risk_free (-inf, inf)",
      "With the close and the reference read as per-bar returns: (mean close - `risk_free`) / beta "
      "of the close on the reference, over `period` bars (0 when the beta is 0 or the reference "
      "flat).",
      "period"}},
  };
  return kEntries;
}

}  // namespace fendro::registry
