// Registry entries of this family: one row per type key.
#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "fendro/indicators/momentum/candle_range.hpp"
#include "fendro/indicators/momentum/cci.hpp"
#include "fendro/indicators/momentum/macd.hpp"
#include "fendro/indicators/momentum/smoothed_momentum.hpp"
#include "fendro/indicators/momentum/stochastic.hpp"
#include "fendro/indicators/momentum/trend_cycle.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

// Reads counts 0 .. N - 1 in index order; the first failure is the answer.
template <std::size_t N>
Result<std::array<std::uint64_t, N>, StrategyError> read_counts(const Params& p) {
  std::array<std::uint64_t, N> out{};
  for (std::size_t i = 0; i < N; ++i) {
    FENDRO_TRY(n, p.usize(i));
    out[i] = n;
  }
  return out;
}

// Types built from N counts, passed to T::create in index order.
template <class T, std::size_t N>
BuildResult build_counts(const Params& p) {
  FENDRO_TRY(n, read_counts<N>(p));
  return [&]<std::size_t... I>(std::index_sequence<I...>) {
    return box<T>(p, T::create(n[I]...));
  }(std::make_index_sequence<N>{});
}

BuildResult build_macd_fix(const Params& p) {
  FENDRO_TRY(signal, p.usize(0));
  return box<MacdIndicator>(p, MacdIndicator::create_fixed(signal));
}

BuildResult build_kst(const Params& p) {
  FENDRO_TRY(n, read_counts<9>(p));
  return box<Kst>(p, Kst::create(n));
}

BuildResult build_stc(const Params& p) {
  FENDRO_TRY(n, read_counts<3>(p));
  FENDRO_TRY(factor, p.f64(3));
  return box<Stc>(p, Stc::create(n[0], n[1], n[2], factor));
}

static constexpr Entry kEntries[] = {
    {"MacdIndicator", Feed::Kline, build_counts<MacdIndicator, 3>, {12, 26, 9},
     {"fast [1, MAX] {below `slow`}; slow [1, MAX] {above `fast`}; signal [1, MAX]",
      "The MACD line: EMA(`fast`) - EMA(`slow`) of the close; the signal line (an EMA of "
      "`signal` bars of it) and the histogram are outputs.",
      "slow + signal - 1"}},
    {"MacdFix", Feed::Kline, build_macd_fix, {9},
     {"signal [1, MAX]",
      "The MACD line of the close from EMAs of fixed weights 0.15 (12 bars) and 0.075 (26 bars); "
      "the signal (an EMA of `signal` bars) and the histogram are outputs.",
      "26 + signal - 1"}},
    {"MacdHistogram", Feed::Kline, build_counts<MacdHistogram, 3>, {12, 26, 9},
     {"fast [1, MAX] {below `slow`}; slow [1, MAX] {above `fast`}; signal [1, MAX]",
      "The MACD histogram: the MACD line minus its signal line.",
      "slow + signal - 1"}},
    {"Apo", Feed::Kline, build_counts<Apo, 2>, {12, 26},
     {"fast [1, MAX] {below `slow`}; slow [1, MAX] {above `fast`}",
      "The absolute price oscillator: EMA(`fast`) - EMA(`slow`) of the close.",
      "slow"}},
    {"Ppo", Feed::Kline, build_counts<Ppo, 2>, {12, 26},
     {"fast [1, MAX] {below `slow`}; slow [1, MAX] {above `fast`}",
      "The percentage price oscillator: (EMA(`fast`) - EMA(`slow`)) / EMA(`slow`) * 100 of the "
      "close.",
      "slow"}},
    {"PpoHistogram", Feed::Kline, build_counts<PpoHistogram, 3>, {12, 26, 9},
     {"fast [1, MAX] {below `slow`}; slow [1, MAX] {above `fast`}; signal [1, MAX]",
      "The PPO minus its EMA over `signal` bars.",
      "slow + signal - 1"}},
    {"ZeroLagMacd", Feed::Kline, build_counts<ZeroLagMacd, 3>, {12, 26, 9},
     {"fast [1, MAX] {below `slow`}; slow [1, MAX] {above `fast`}; signal [1, MAX]",
      "The MACD line of zero-lag EMAs of the close, ZLEMA(`fast`) - ZLEMA(`slow`); the signal (a "
      "zero-lag EMA of `signal` bars of it) and the histogram are outputs.",
      "(slow + floor((slow - 1) / 2)) + (signal + floor((signal - 1) / 2)) - 1"}},
    {"VolumeWeightedMacd", Feed::Kline, build_counts<VolumeWeightedMacd, 3>, {12, 26, 9},
     {"fast [1, MAX] {below `slow`}; slow [1, MAX] {above `fast`}; signal [1, MAX]",
      "The MACD line of volume-weighted averages: VWMA(`fast`) - VWMA(`slow`); the signal (an "
      "EMA) and histogram are outputs.",
      "slow + signal - 1"}},
    {"Cci", Feed::Kline, build_counts<Cci, 1>, {20},
     {"period [1, MAX]",
      "The commodity channel index: (typical price - its SMA) / (0.015 * mean absolute deviation) "
      "over `period` bars, the typical price being (high + low + close)/3; 0 for a flat window "
      "or a window of copies.",
      "period"}},
    {"StochasticCci", Feed::Kline, build_counts<StochasticCci, 1>, {14},
     {"period [1, MAX]",
      "The stochastic of the CCI(`period`): its position between its lowest and highest of the "
      "last `period` values, 0 to 100.",
      "2 * period - 1"}},
    {"AdaptiveCci", Feed::Kline, build_counts<AdaptiveCci, 1>, {20},
     {"period [2, MAX]",
      "A CCI of the typical price over `period` bars whose centre is an adaptive average "
      "(efficiency-ratio weight from (2/31)^2 to (2/3)^2, seeded with the mean) instead of the "
      "SMA.",
      "period"}},
    {"Stochastic", Feed::Kline, build_counts<Stochastic, 2>, {14, 3},
     {"k_period [1, inf); d_period [1, MAX]",
      "The stochastic %K, 0 to 100, passing 100 by a unit in the last place when the close is the "
      "highest high and 100 times the range rounds up (a highest high of 1.11 over a lowest low of "
      "1.00): where the close lies between the lowest low and highest high of `k_period` bars (50 "
      "for a zero range); %D, its SMA over `d_period` bars, is the output `d`.",
      "k_period + d_period - 1"}},
    {"WilliamsR", Feed::Kline, build_counts<WilliamsR, 1>, {14},
     {"period [1, MAX]",
      "Williams %R, -100 to 0, passing -100 by a unit in the last place when the close is the "
      "lowest low and 100 times the range rounds up (a lowest low of 1.00 under a highest high of "
      "1.11): (highest high - close) / (highest high - lowest low) * -100 over `period` bars (-50 "
      "for a zero range).",
      "period"}},
    {"Smi", Feed::Kline, build_counts<Smi, 3>, {10, 3, 3},
     {"k_period [1, inf); first_smoothing [1, MAX]; second_smoothing [1, MAX]",
      "The stochastic momentum index, -100 to 100 in exact arithmetic: the close's distance from "
      "the middle of the `k_period` range, double-smoothed, over half that range double-smoothed. "
      "The distance and the half range are differences of prices, each rounded at the scale of "
      "the price: the ratio errs by up to about 100 times the price over the range, times 2^-52. "
      "Where that range is a unit or two in the last place of the price, at any price (candles "
      "one unit wide near 1, 1e4 or 1e9), the distance and the half range round by as much as "
      "they hold, and the ratio reads as far as -200 and 200; where it is a cent at 100 (closes "
      "stepping by whole cents at `k_period` 1 or 2), it passes either end by some 3e-10, tens of "
      "thousands of units in the last place. On a halt, once the window has held only the halt's "
      "price for `first_smoothing` + `second_smoothing` bars, both chains decay and the index "
      "moves one way toward its limit: it is held at the first bar it would turn back, or where "
      "its averages sink below normal. Elsewhere, on the bar where half the averaged range rounds "
      "to 0 (a range averaged down to 2^-1074) there is no value; from the next on, the averaged "
      "range being 0, the type gives its last value again.",
      "k_period + first_smoothing + second_smoothing - 2"}},
    {"KasePermissionStochastic", Feed::Kline, build_counts<KasePermissionStochastic, 2>, {10, 3},
     {"stochastic_period [1, MAX]; smoothing_period [1, MAX]",
      "Kase's permission stochastic: a fast line of the stochastic over `stochastic_period` "
      "bars smoothed by an EMA of `smoothing_period`; the slow line is an output.",
      "stochastic_period + 2 * smoothing_period - 2"}},
    {"Kst", Feed::Kline, build_kst, {10, 15, 20, 30, 10, 10, 10, 15, 9},
     {"roc_period_1 [1, MAX]; roc_period_2 [1, MAX]; roc_period_3 [1, MAX]; roc_period_4 [1, "
      "MAX]; sma_period_1 [1, MAX]; sma_period_2 [1, MAX]; sma_period_3 [1, MAX]; sma_period_4 "
      "[1, MAX]; signal_period [1, MAX]",
      "The know-sure-thing: the rates of change of the close in percent over `roc_period_1` to "
      "`roc_period_4` bars, each averaged by an SMA of `sma_period_1` to `sma_period_4`, weighted "
      "1 to 4 and summed; the signal (an SMA of `signal_period`) is an output. A window of zeros "
      "counts 0.",
      "max(roc_period_1 + sma_period_1, roc_period_2 + sma_period_2, roc_period_3 + sma_period_3, roc_period_4 + sma_period_4) + signal_period - 1"}},
    {"Coppock", Feed::Kline, build_counts<Coppock, 3>, {14, 11, 10},
     {"first_roc_period [1, MAX]; second_roc_period [1, MAX]; wma_period [1, MAX]",
      "The Coppock curve: a WMA over `wma_period` bars of the sum of the rates of change of the "
      "close, in percent, over `first_roc_period` and `second_roc_period` bars; a window of zeros "
      "counts 0.",
      "max(first_roc_period, second_roc_period) + wma_period"}},
    {"Pmo", Feed::Kline, build_counts<Pmo, 2>, {35, 20},
     {"first_smoothing [2, inf); second_smoothing [2, inf)",
      "The price momentum oscillator: the one-bar rate of change of the close in percent, smoothed "
      "by an average of weight 2/`first_smoothing`, times 10, then by one of weight "
      "2/`second_smoothing`.",
      "2"}},
    {"Trix", Feed::Kline, build_counts<Trix, 1>, {15},
     {"period [1, MAX]",
      "The one-bar rate of change, in percent, of a triple EMA(`period`) of the close.",
      "3 * period - 1"}},
    {"Tsi", Feed::Kline, build_counts<Tsi, 2>, {25, 13},
     {"first_smoothing [1, MAX]; second_smoothing [1, MAX]",
      "The true strength index, -100 to 100, passing -100 and 100 by a unit in the last place "
      "when every change in the averages went the same way: the double-smoothed one-bar change "
      "over the double-smoothed absolute change.",
      "first_smoothing + second_smoothing"}},
    {"Tii", Feed::Kline, build_counts<Tii, 2>, {30, 15},
     {"sma_period [1, MAX]; deviation_window [1, inf)",
      "The trend intensity index, 0 to 100: the positive deviations of the close from its "
      "SMA(`sma_period`) over all absolute deviations, summed over the last `deviation_window` "
      "bars (50 when none, 100 when none is below). A close whose SMA window holds only copies "
      "of it deviates by 0, and a window of zeros counts 0.",
      "sma_period + deviation_window - 1"}},
    {"Stc", Feed::Kline, build_stc, {23, 50, 10, 0.5},
     {"fast [1, MAX] {below `slow`}; slow [1, MAX] {above `fast`}; cycle_period [1, inf); "
      "factor (0, 1]",
      "The Schaff trend cycle, 0 to 100: a doubly applied stochastic over `cycle_period` bars "
      "of the MACD(`fast`, `slow`) line, smoothed by `factor`.",
      "slow + 2 * cycle_period - 2"}},
    {"UltimateOscillator", Feed::Kline, build_counts<UltimateOscillator, 3>, {7, 14, 28},
     {"short_period [1, inf); medium_period [1, inf); long_period [1, inf)",
      "The ultimate oscillator, 0 to 100 in exact arithmetic: buying pressure (close - true low) "
      "over true range, summed over `short_period`, `medium_period` and `long_period` bars (0.5 "
      "where the range is 0) and weighted 4, 2 and 1 in that order. The sums are running sums "
      "(the newest bar added, the oldest taken away), which keep the rounding of bars that have "
      "left the window; a window of zeros counts 0. Where the window's true ranges are a unit or two in the last place of the price, the kept rounding is as large as "
      "they are, and the value reads far outside (-271.9 and 415.8 on walks near 1e4).",
      "max(short_period, medium_period, long_period) + 1"}},
    {"Rvi", Feed::Kline, build_counts<Rvi, 1>, {10},
     {"period [1, MAX]",
      "The relative vigor index: close - open over high - low, each smoothed 1-2-2-1 over four "
      "bars and summed over `period` bars; the last value again while the sum of ranges is 0 (a "
      "window of zeros counts 0).",
      "period + 3"}},
    {"WaveTrend", Feed::Kline, build_counts<WaveTrend, 3>, {10, 21, 4},
     {"channel_period [1, MAX]; average_period [1, MAX]; signal_period [1, MAX]",
      "WaveTrend's wt1: the channel index of the typical price (EMAs of `channel_period`) smoothed "
      "by an EMA of `average_period`; wt2, its SMA over `signal_period` bars, is an output.",
      "2 * channel_period + average_period + signal_period - 3"}},
    {"Pgo", Feed::Kline, build_counts<Pgo, 1>, {14},
     {"period [1, MAX]",
      "The pretty good oscillator: (close - SMA(`period`)) over an EMA of the true range of "
      "`period` bars; the last value again while that EMA is 0. A close whose SMA window holds "
      "only copies of it is 0 from its average, so a halt reads 0.",
      "period"}},
    {"ProjectionOscillator", Feed::Kline, build_counts<ProjectionOscillator, 1>, {14},
     {"period [2, MAX]",
      "Where the close lies between the projection bands, 0 to 100, passing 100 by a unit in the "
      "last place when the close is on the upper band (50 for a zero width): the "
      "extremes of the last `period` highs and lows carried to this bar along their least-squares "
      "slopes.",
      "period"}},
    {"Inertia", Feed::Kline, build_counts<Inertia, 2>, {20, 14},
     {"rvi_period [2, MAX]; regression_period [2, MAX]",
      "The inertia: the least-squares line over `regression_period` bars, at this bar, of the "
      "relative volatility index (0 to 100) of the close over `rvi_period`.",
      "2 * rvi_period + regression_period - 2"}},
};

}  // namespace

std::span<const Entry> momentum_oscillator_entries() { return kEntries; }

}  // namespace fendro::registry
