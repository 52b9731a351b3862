// Registry entries of this family: one row per type key.
#include "fendro/indicators/trend/aroon.hpp"
#include "fendro/indicators/trend/atr_stops.hpp"
#include "fendro/indicators/trend/channel_stops.hpp"
#include "fendro/indicators/trend/directional_movement.hpp"
#include "fendro/indicators/trend/elder_safezone.hpp"
#include "fendro/indicators/trend/kase_devstop.hpp"
#include "fendro/indicators/trend/modified_ma_stop.hpp"
#include "fendro/indicators/trend/parabolic_sar.hpp"
#include "fendro/indicators/trend/swing_stops.hpp"
#include "fendro/indicators/trend/trend_filters.hpp"
#include "fendro/registry/entry_builders.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

// The stop period (read third) goes to create before the multiplier.
BuildResult build_chande_kroll(const Params& p) {
  FENDRO_TRY(atr_period, p.usize(0));
  FENDRO_TRY(m, p.f64(1));
  FENDRO_TRY(stop_period, p.usize(2));
  return box<ChandeKrollStop>(p, ChandeKrollStop::create(atr_period, stop_period, m));
}

constexpr Entry kEntries[] = {
    {"Adx", Feed::Kline, build<Adx, U>, {14},
     {"period [1, MAX]",
      "The positive directional indicator +DI, 0 to 100, passing 100 by a unit in the last place "
      "when the smoothed +DM equals the smoothed true range, over `period` bars: not the ADX, "
      "which is the output `adx` (Wilder's smoothed DX).",
      "2 * period"}},
    {"Adxr", Feed::Kline, build<Adxr, U>, {14},
     {"period [1, MAX]",
      "The ADX rating: the mean of today's ADX and the ADX `period` - 1 bars ago, 0 to 100, "
      "passing 100 by a unit in the last place when the ADX values it averages do (after a DX of "
      "100 and a unit, read while one directional indicator is 0).",
      "3 * period - 1"}},
    {"Dx", Feed::Kline, build<Dx, U>, {14},
     {"period [1, MAX]",
      "The directional index, 0 to 100, passing 100 by a unit in the last place when one "
      "directional indicator is 0: 100 |+DI - -DI| / (+DI + -DI) of the directional "
      "indicators over `period` bars (0 when both are 0).",
      "period + 1"}},
    {"PlusDi", Feed::Kline, build<PlusDi, U>, {14},
     {"period [1, MAX]",
      "The positive directional indicator, 0 to 100, passing 100 by a unit in the last place "
      "when the two are equal: smoothed +DM over smoothed true range, over `period` bars.",
      "period + 1"}},
    {"MinusDi", Feed::Kline, build<MinusDi, U>, {14},
     {"period [1, MAX]",
      "The negative directional indicator, 0 to 100, passing 100 by a unit in the last place "
      "when the two are equal: smoothed -DM over smoothed true range, over `period` bars.",
      "period + 1"}},
    {"PlusDm", Feed::Kline, build<PlusDm, U>, {14},
     {"period [1, MAX]",
      "Wilder's running sum of the positive directional movement over `period` bars, in price "
      "units: about `period` times its mean, not an average.",
      "period + 1"}},
    {"MinusDm", Feed::Kline, build<MinusDm, U>, {14},
     {"period [1, MAX]",
      "Wilder's running sum of the negative directional movement over `period` bars, in price "
      "units: about `period` times its mean, not an average.",
      "period + 1"}},
    {"Aroon", Feed::Kline, build<Aroon, U>, {25},
     {"period [1, MAX]",
      "Aroon up, 0 to 100: how recently the highest high of the last `period` + 1 bars was made "
      "(100: on this bar).",
      "period + 1"}},
    {"AroonOscillator", Feed::Kline, build<AroonOscillator, U>, {25},
     {"period [1, MAX]",
      "Aroon up minus Aroon down, from -100 to 100.",
      "period + 1"}},
    {"Psar", Feed::Kline, build<Psar, F, F, F>, {0.02, 0.02, 0.2},
     {"af_start (0, inf) {at most `af_max`}; af_step (0, inf); af_max (0, inf) {at least "
      "`af_start`}",
      "Wilder's parabolic stop and reverse from the highs and lows: the stop level, below the "
      "price while long and above it while short, turning when a bar's range touches it.",
      "2"}},
    {"SarExt", Feed::Kline, build<SarExt, F, F, F, F, F, F, F, F>, {0, 0, 0.02, 0.02, 0.2, 0.02, 0.02, 0.2},
     {"start_value (-inf, inf); offset_on_reverse [0, inf); af_init_long (0, inf) {at most "
      "`af_max_long`}; af_step_long (0, inf); af_max_long (0, inf) {at least `af_init_long`}; "
      "af_init_short (0, inf) {at most `af_max_short`}; af_step_short (0, inf); af_max_short "
      "(0, inf) {at least `af_init_short`}",
      "The parabolic stop with separate long and short schedules, signed (the stop while long, "
      "minus the stop while short); `start_value` 0 picks the first side from the first two bars, "
      "above 0 starts long at that stop, below 0 short at its magnitude, and `offset_on_reverse` "
      "moves each new stop away from the price by that fraction of it.",
      "2"}},
    {"VerticalHorizontalFilter", Feed::Kline, build<VerticalHorizontalFilter, U>, {28},
     {"period [1, MAX]",
      "The vertical horizontal filter: (highest - lowest of the last `period` closes) over the sum "
      "of the last `period` absolute close-to-close changes (0 for a flat path; a window of zeros "
      "counts 0).",
      "period + 1"}},
    {"TrendStrengthIndex", Feed::Kline, build<TrendStrengthIndex, U>, {14},
     {"period [2, MAX]",
      "The signed coefficient of determination of a straight line through the last `period` "
      "closes, from -1 to 1 in exact arithmetic (sign of the slope). Where the closes lie on a "
      "straight line that decimals write exactly and binary does not (closes stepping by whole "
      "cents), the residual of the fit is a rounding of its sums, which grows with the window: "
      "the value passes -1 or 1 by a few units in the last place at `period` 14 and by some 45 "
      "at 1000.",
      "period"}},
    {"Rwi", Feed::Kline, build<Rwi, U>, {14},
     {"period [2, MAX]",
      "The random walk index of highs, at least 0: the largest, over look-backs j = 1 to `period` "
      "- 1 bars, of (this high - the low j bars back) / (mean true range of the last j bars * "
      "sqrt(j + 1)); the index of lows is the output `low`.",
      "period"}},
    {"Vortex", Feed::Kline, build<Vortex, U>, {14},
     {"period [1, MAX]",
      "The positive vortex line: the sum of |high - previous low| over the sum of true ranges, "
      "over `period` bars (0, and `minus` 0, while the sum of true ranges is 0; a window of zeros "
      "counts 0).",
      "period + 1"}},
    {"TtmTrend", Feed::Kline, build<TtmTrend, U>, {6},
     {"period [1, MAX]",
      "+1 when the close is above the average of the median price (high + low)/2 over `period` "
      "bars, else -1.",
      "period"}},
    {"PolarizedFractalEfficiency", Feed::Kline, build<PolarizedFractalEfficiency, U, U>, {10, 5},
     {"period [1, MAX]; smoothing_period [1, MAX]",
      "The polarized fractal efficiency, -100 to 100 in exact arithmetic: the straight-line "
      "distance over the path length (a bar counting as one price unit) of the close over the "
      "last `period` bars, signed by direction and smoothed by an EMA of `smoothing_period`. The "
      "path length is a running sum (the newest segment added, the oldest taken away), which "
      "keeps the rounding of segments that have left the window, at the scale of the largest of "
      "them: once the window's moves are small beside those before, the value passes either end "
      "by tens of units in the last place at prices near 1 (a few hundred on closes stepping by "
      "whole cents), by thousands near 1e4 (8,825) and by hundreds of millions near 1e9 "
      "(100.0000089, some 6.3e8 units).",
      "period + smoothing_period"}},
    {"ElderImpulse", Feed::Kline, build<ElderImpulse, U, U, U, U>, {13, 12, 26, 9},
     {"ema_period [1, MAX]; macd_fast [1, MAX] {below `macd_slow`}; macd_slow [1, MAX] {above "
      "`macd_fast`}; macd_signal [1, MAX]",
      "Elder's impulse: +1 when both the EMA of the close and the MACD histogram rose on this "
      "bar, -1 when both fell, else 0.",
      "max(macd_slow + macd_signal - 1, ema_period) + 1"}},
    {"HiLoActivator", Feed::Kline, build<HiLoActivator, U>, {3},
     {"period [1, MAX]",
      "The Gann high-low activator: the previous bar's average of the last `period` lows while "
      "long, of the highs while short; the side turns when the close breaks the other average.",
      "period + 1"}},
    {"TimeBasedStop", Feed::Kline, build<TimeBasedStop, U>, {20},
     {"period [1, MAX]",
      "The elapsed fraction of a holding period of `period` bars counted from the first bar fed "
      "(not from an entry): 1/`period`, 2/`period`, ... up to 1, then 1.",
      "1"}},
    {"PercentageTrailingStop", Feed::Kline, build<PercentageTrailingStop, F>, {5},
     {"percentage (0, inf)",
      "A stop `percentage` percent of the close below it while long (above while short) that only "
      "tightens; it starts long and turns when the close crosses it.",
      "1"}},
    {"RenkoTrailingStop", Feed::Kline, build<RenkoTrailingStop, F>, {2},
     {"brick_size (0, inf)",
      "A stop one brick of `brick_size` (price units) behind the last completed brick of the "
      "close; it starts long and turns when the close crosses it.",
      "1"}},
    {"StepTrailingStop", Feed::Kline, build<StepTrailingStop, F>, {2},
     {"step (0, inf)",
      "A stop on a grid of `step` price units, at least one step behind the close, that only "
      "tightens; the side turns when the close crosses it.",
      "1"}},
    {"ZigZag", Feed::Kline, build<ZigZag, F>, {0.05},
     {"threshold (0, 1)",
      "The price of a swing high (low), given only on the bar whose low (high) confirms it by "
      "retracing the fraction `threshold` from that extreme; no value on other bars.",
      "2"}},
    {"AtrTrailingStop", Feed::Kline, build<AtrTrailingStop, U, F>, {14, 3},
     {"period [1, MAX]; multiplier (0, inf)",
      "A stop `multiplier` Wilder ATRs(`period`) from the close, below it while the close stays "
      "above (tightening only) and above it while below, jumping sides when the close crosses it.",
      "period"}},
    {"SuperTrend", Feed::Kline, build<SuperTrend, U, F>, {10, 3},
     {"period [1, MAX]; multiplier (0, inf)",
      "The SuperTrend line: the band `multiplier` ATRs below the median price while up, above "
      "it while down, tightening only.",
      "period"}},
    {"VoltyStop", Feed::Kline, build<VoltyStop, U, F>, {14, 3},
     {"period [1, MAX]; multiplier (0, inf)",
      "A stop `multiplier` ATRs from the most extreme close of the current swing; the side "
      "turns when the close crosses it.",
      "period"}},
    {"YoyoExit", Feed::Kline, build<YoyoExit, U, F>, {14, 3},
     {"period [1, MAX]; multiplier (0, inf)",
      "A stop `multiplier` ATRs below the close that only rises; once a close falls below it, it "
      "stays put until a close more than `multiplier` ATRs above it re-arms it.",
      "period"}},
    {"AtrRatchet", Feed::Kline, build<AtrRatchet, U, F, F>, {14, 3, 0.05},
     {"period [1, MAX]; initial_multiplier (0, inf); step_multiplier (0, inf)",
      "A stop set `initial_multiplier` ATRs from the close that ratchets `step_multiplier` ATRs "
      "towards it on every bar; the side turns when the close crosses it.",
      "period"}},
    {"Nrtr", Feed::Kline, build<Nrtr, F>, {2},
     {"percentage (0, 100)",
      "The nick rypock trailing reverse: a stop `percentage` percent from the extreme close of the "
      "current swing; the side turns when the close crosses it.",
      "1"}},
    {"ChandelierExit", Feed::Kline, build<ChandelierExit, U, F>, {22, 3},
     {"period [1, MAX]; multiplier (0, inf)",
      "The long stop: the highest high of the last `period` bars minus `multiplier` ATRs.",
      "period"}},
    {"ChandeKrollStop", Feed::Kline, build_chande_kroll, {10, 1, 9},
     {"atr_period [1, MAX]; multiplier (0, inf); stop_period [1, MAX]",
      "`stop_long`, as the original formula names it: the lowest, over `stop_period` bars, of the "
      "lowest low of `atr_period` bars plus `multiplier` ATRs (`stop_short` is the highest of the "
      "highest high minus `multiplier` ATRs).",
      "atr_period + stop_period - 1"}},
    {"DonchianStop", Feed::Kline, build<DonchianStop, U>, {20},
     {"period [1, MAX]",
      "The long stop: the lowest low of the last `period` bars.",
      "period"}},
    {"ElderSafeZone", Feed::Kline, build<ElderSafeZone, U, F>, {10, 2.5},
     {"period [1, MAX]; multiplier (0, inf)",
      "Elder's safe-zone stop: while long, this bar's low minus `multiplier` times the mean "
      "downside penetration (previous low - low, averaged over the bars of the last `period` that "
      "had one), tightening only, mirrored above the high while short; the side turns when the "
      "close crosses it.",
      "period + 1"}},
    {"KaseDevStop", Feed::Kline, build<KaseDevStop, U, F>, {30, 2},
     {"period [2, MAX]; multiplier (0, inf)",
      "Kase's dev-stop: the swing's extreme high minus (extreme low plus, while short) the mean "
      "plus `multiplier` sample standard deviations of the two-bar range over `period` bars, "
      "tightening only; the side turns when the close crosses it.",
      "period + 1"}},
    {"ModifiedMaStop", Feed::Kline, build<ModifiedMaStop, U>, {14},
     {"period [1, MAX]",
      "A stop that trails the modified (Wilder) moving average of the close over `period` bars, "
      "tightening only; the side turns when the close crosses it.",
      "period"}},
};

}  // namespace

std::span<const Entry> trend_entries() { return kEntries; }

}  // namespace fendro::registry
