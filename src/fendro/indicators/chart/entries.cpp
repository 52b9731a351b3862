// Registry entries of this family: one row per type key.
#include "fendro/indicators/chart/heikin_ashi.hpp"
#include "fendro/indicators/chart/swing_patterns.hpp"
#include "fendro/indicators/chart/td_bar_signals.hpp"
#include "fendro/indicators/chart/td_levels.hpp"
#include "fendro/indicators/chart/td_oscillators.hpp"
#include "fendro/indicators/chart/td_sequential.hpp"
#include "fendro/indicators/chart/td_setup.hpp"
#include "fendro/indicators/chart/window_patterns.hpp"
#include "fendro/registry/entry_builders.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

using namespace fendro::chart;

constexpr Entry kEntries[] = {
    {"DoubleTopBottom", Feed::Kline, build_plain<DoubleTopBottom>, {},
     {"",
      "Double top or bottom in the newest 3 swing pivots (5% reversals of high/low; no value "
      "before 3 are confirmed), judged on the bar that confirms a pivot: -1 a double top (the "
      "two highs within 3%), +1 a double bottom (the two lows within 3%), 0 none or no new "
      "pivot.",
      "4"}},
    {"FlagPennant", Feed::Kline, build_plain<FlagPennant>, {},
     {"",
      "Flag in the newest 3 swing pivots (5% reversals of high/low; no value before 3 are "
      "confirmed), judged on the bar that confirms a pivot: a pullback under half the pole "
      "gives +1 after a rising pole, -1 after a falling one, 0 none or no new pivot.",
      "4"}},
    {"Abcd", Feed::Kline, build_plain<Abcd>, {},
     {"",
      "AB=CD pattern in the newest 4 swing pivots (5% reversals of high/low; no value before 4 "
      "are confirmed), judged on the bar that confirms a pivot: CD/BC in [1.13, 2.618], BC/AB "
      "in [0.382, 0.886], AB and CD equal within 10%; +1 when it completes at a swing low "
      "(bullish), -1 at a swing high (bearish), 0 none or no new pivot.",
      "5"}},
    {"CupAndHandle", Feed::Kline, build_plain<CupAndHandle>, {},
     {"",
      "Cup and handle in the newest 4 swing pivots (5% reversals of high/low; no value before 4 "
      "are confirmed), judged on the bar that confirms a pivot: rims within 3% and the handle "
      "between the cup's extreme and the newer rim; +1 at a handle low (bullish), -1 at a "
      "handle high (bearish), 0 none or no new pivot.",
      "5"}},
    {"RectangleRange", Feed::Kline, build_plain<RectangleRange>, {},
     {"",
      "Rectangle in the newest 4 swing pivots (5% reversals of high/low; no value before 4 are "
      "confirmed), judged on the bar that confirms a pivot: both highs and both lows within 3%; "
      "-1 when the newest pivot is the top, +1 when it is the bottom, 0 none or no new pivot.",
      "5"}},
    {"Triangle", Feed::Kline, build_plain<Triangle>, {},
     {"",
      "Triangle in the newest 4 swing pivots (5% reversals of high/low; no value before 4 are "
      "confirmed), judged on the bar that confirms a pivot: +1 ascending (flat top within 3%, "
      "lows rising over 3%), -1 descending (highs falling over 3%, flat bottom), a symmetrical "
      "one (highs falling and lows rising, each over 3%) +1 at a swing low and -1 at a swing "
      "high, 0 none or no new pivot.",
      "5"}},
    {"Wedge", Feed::Kline, build_plain<Wedge>, {},
     {"",
      "Wedge in the newest 4 swing pivots (5% reversals of high/low; no value before 4 are "
      "confirmed), judged on the bar that confirms a pivot: -1 a rising wedge (highs and lows "
      "rising, the lows faster), +1 a falling wedge (both falling, the highs faster), 0 none or "
      "no new pivot.",
      "5"}},
    {"Bat", Feed::Kline, build_plain<Bat>, {},
     {"",
      "Bat in the newest 5 swing pivots X, A, B, C, D (5% reversals of high/low; no value "
      "before 5 are confirmed), judged on the bar that confirms a pivot: AB/XA in [0.382, 0.5], "
      "BC/AB in [0.382, 0.886], CD/BC in [1.618, 2.618], AD/XA in [0.84, 0.93]; +1 when it "
      "completes at a swing low (bullish), -1 at a swing high (bearish), 0 none or no new "
      "pivot.",
      "6"}},
    {"Butterfly", Feed::Kline, build_plain<Butterfly>, {},
     {"",
      "Butterfly in the newest 5 swing pivots X, A, B, C, D (5% reversals of high/low; no value "
      "before 5 are confirmed), judged on the bar that confirms a pivot: AB/XA in [0.74, 0.84], "
      "BC/AB in [0.382, 0.886], CD/BC in [1.618, 2.618], AD/XA in [1.27, 1.618]; +1 when it "
      "completes at a swing low (bullish), -1 at a swing high (bearish), 0 none or no new "
      "pivot.",
      "6"}},
    {"Crab", Feed::Kline, build_plain<Crab>, {},
     {"",
      "Crab in the newest 5 swing pivots X, A, B, C, D (5% reversals of high/low; no value "
      "before 5 are confirmed), judged on the bar that confirms a pivot: AB/XA in [0.382, "
      "0.618], BC/AB in [0.382, 0.886], CD/BC in [2.24, 3.618], AD/XA in [1.55, 1.65]; +1 when "
      "it completes at a swing low (bullish), -1 at a swing high (bearish), 0 none or no new "
      "pivot.",
      "6"}},
    {"Cypher", Feed::Kline, build_plain<Cypher>, {},
     {"",
      "Cypher in the newest 5 swing pivots X, A, B, C, D (5% reversals of high/low; no value "
      "before 5 are confirmed), judged on the bar that confirms a pivot: AB/XA in [0.382, "
      "0.618], XC/XA in [1.272, 1.414], CD/XC in [0.74, 0.83]; +1 when it completes at a swing "
      "low (bullish), -1 at a swing high (bearish), 0 none or no new pivot.",
      "6"}},
    {"Gartley", Feed::Kline, build_plain<Gartley>, {},
     {"",
      "Gartley in the newest 5 swing pivots X, A, B, C, D (5% reversals of high/low; no value "
      "before 5 are confirmed), judged on the bar that confirms a pivot: AB/XA in [0.55, 0.7], "
      "BC/AB in [0.382, 0.886], CD/BC in [1.13, 1.618], AD/XA in [0.74, 0.84]; +1 when it "
      "completes at a swing low (bullish), -1 at a swing high (bearish), 0 none or no new "
      "pivot.",
      "6"}},
    {"HeadAndShoulders", Feed::Kline, build_plain<HeadAndShoulders>, {},
     {"",
      "Head and shoulders in the newest 5 swing pivots (5% reversals of high/low; no value "
      "before 5 are confirmed), judged on the bar that confirms a pivot: shoulders within 3%, "
      "neckline pivots within 3%, the head beyond both shoulders; -1 a top, +1 an inverse "
      "(bottom), 0 none or no new pivot.",
      "6"}},
    {"Shark", Feed::Kline, build_plain<Shark>, {},
     {"",
      "Shark in the newest 5 swing pivots X, A, B, C, D (5% reversals of high/low; no value "
      "before 5 are confirmed), judged on the bar that confirms a pivot: AB/XA in [1.13, "
      "1.618], BC/AB in [1.618, 2.24], CD/BC in [0.382, 0.886], AD/XA in [0.886, 1.13]; +1 when "
      "it completes at a swing low (bullish), -1 at a swing high (bearish), 0 none or no new "
      "pivot.",
      "6"}},
    {"TripleTopBottom", Feed::Kline, build_plain<TripleTopBottom>, {},
     {"",
      "Triple top or bottom in the newest 5 swing pivots (5% reversals of high/low; no value "
      "before 5 are confirmed), judged on the bar that confirms a pivot: -1 a triple top (each "
      "high within 3% of the next), +1 a triple bottom (the lows likewise), 0 none or no new "
      "pivot.",
      "6"}},
    {"ThreeDrives", Feed::Kline, build_plain<ThreeDrives>, {},
     {"",
      "Three drives in the newest 7 swing pivots (5% reversals of high/low; no value before 7 "
      "are confirmed), judged on the bar that confirms a pivot: each drive 1.13 to 1.75 times "
      "the correction before it, the drives equal within 20%, the corrections within 30%; +1 "
      "when it completes at a swing low (bullish), -1 at a swing high (bearish), 0 none or no "
      "new pivot.",
      "8"}},
    {"TdCamouflage", Feed::Kline, build_plain<TdCamouflage>, {},
     {"",
      "+1 when the close is below the previous close yet above the open with the low under the "
      "previous low, -1 when the close is below the open yet above the previous close with the "
      "high over the previous high, else 0.",
      "2"}},
    {"TdClop", Feed::Kline, build_plain<TdClop>, {},
     {"",
      "+1 when the open is below and the close above both the previous open and the previous "
      "close, -1 for the reverse, else 0.",
      "2"}},
    {"TdClopwin", Feed::Kline, build_plain<TdClopwin>, {},
     {"",
      "When the open and the close both lie within the previous bar's body (ends included): -1 "
      "for a close below the open, else +1; 0 when either lies outside.",
      "2"}},
    {"TdDifferential", Feed::Kline, build_plain<TdDifferential>, {},
     {"",
      "+1 on a second lower close with buying pressure (close - min(low, previous close)) "
      "rising and selling pressure (max(high, previous close) - close) falling, -1 on a second "
      "higher close with buying pressure falling and selling pressure rising, else 0.",
      "3"}},
    {"TdOpen", Feed::Kline, build_plain<TdOpen>, {},
     {"",
      "+1 when the bar opens below the previous low and its high trades back above it, -1 when "
      "it opens above the previous high and its low trades back below it, else 0.",
      "2"}},
    {"TdPropulsion", Feed::Kline, build_plain<TdPropulsion>, {},
     {"",
      "+1 when the open is at or above the previous close and the close above the previous "
      "high, -1 when the open is at or below the previous close and the close below the "
      "previous low, else 0.",
      "2"}},
    {"TdTrap", Feed::Kline, build_plain<TdTrap>, {},
     {"",
      "When the previous bar lies strictly inside the one before it: +1 for a close above the "
      "previous high, -1 for a close below the previous low; else 0.",
      "3"}},
    {"TdRangeProjection", Feed::Kline, build_plain<TdRangeProjection>, {},
     {"",
      "The next bar's projected high X / 2 - low, where X weights the close's side of the bar "
      "twice: close + high + 2 low after a down bar, close + 2 high + low after an up bar, high "
      "+ low + 2 close when close = open.",
      "1"}},
    {"TdDeMarker", Feed::Kline, build<TdDeMarker, U>, {13},
     {"period [1, MAX]",
      "The share of upward range extension over `period` bars, up / (up + down) with up the "
      "mean of max(high - previous high, 0) and down the mean of max(previous low - low, 0): 0 "
      "to 1 (0.5 when neither moves).",
      "period + 1"}},
    {"TdDWave", Feed::Kline, build<TdDWave, U>, {3},
     {"period [1, MAX]",
      "A wave count 1 to 8 (then 1 again), advanced by each pivot of the side other than the "
      "last counted one (the centre of the last 2 * `period` + 1 bars with the strictly highest "
      "high or lowest low) and held between pivots; no value before the first pivot.",
      "2 * period + 1"}},
    {"TdPressure", Feed::Kline, build<TdPressure, U>, {10},
     {"period [1, MAX]",
      "Buying pressure over `period` bars in percent: the mean of volume * (close - open) / "
      "(high - low) (0 for a bar with high = low) over the mean volume, times 100; -100 to 100, "
      "passing -100 and 100 by a unit in the last place when every candle of the window opens on "
      "one end and closes on the other and 100 times the mean volume rounds up (a mean volume of "
      "0.69); 0 when every volume in the window is 0.",
      "period"}},
    {"TdRei", Feed::Kline, build<TdRei, U>, {5},
     {"period [1, MAX]",
      "The range expansion index over `period` bars, -100 to 100: 100 times the sum of (high - "
      "high 2 bars ago) + (low - low 2 bars ago) over the bars that qualify (high at or above a "
      "low 5 or 6 bars ago and low at or below a high 5 or 6 bars ago, or the high 2 bars ago "
      "at or above a close 7 or 8 bars ago and the low 2 bars ago at or below one), over the "
      "sum of abs(high - high 2 bars ago) + abs(low - low 2 bars ago) over every bar (0 when "
      "that is 0).",
      "period + 8"}},
    {"TdSetup", Feed::Kline, build<TdSetup, U, U>, {4, 9},
     {"lookback [1, inf); count [1, inf)",
      "The signed setup count: consecutive closes below the close `lookback` bars earlier count "
      "up to +`count` (buy setup), closes above it down to -`count` (sell setup); an equal "
      "close gives 0.",
      "lookback + 1"}},
    {"TdLines", Feed::Kline, build<TdLines, U, U>, {4, 9},
     {"lookback [1, inf); count [1, inf)",
      "Resistance: the highest high of the latest down run (closes below the close `lookback` "
      "bars earlier) that reached `count` bars, rising with later higher highs of that run; NaN "
      "while only a support (the lowest low of such an up run) exists, no value before either.",
      "lookback + 1"}},
    {"TdRiskLevel", Feed::Kline, build<TdRiskLevel, U, U>, {4, 9},
     {"lookback [1, inf); count [1, inf)",
      "Buy risk: the lowest low of the latest down run (closes below the close `lookback` bars "
      "earlier) that reached `count` bars, less the true range of that low's bar (the earlier "
      "on ties); NaN while only a sell risk (an up run's highest high plus its true range) "
      "exists, no value before either.",
      "lookback + 1"}},
    {"TdMovingAverage", Feed::Kline, build<TdMovingAverage, U, U>, {3, 5},
     {"st1_period [1, 16777215] {below `st2_period`}; st2_period [2, MAX] {above `st1_period`}",
      "The simple average of the median price (high + low) / 2 over `st1_period` bars, given "
      "once the slower average over `st2_period` bars is also full.",
      "st2_period"}},
    {"TdCombo", Feed::Kline, build<TdCombo, U, U, U, U>, {4, 9, 2, 13},
     {"setup_lookback [1, inf); setup_count [1, inf); countdown_lookback [1, inf); "
      "countdown_count [1, inf)",
      "The signed combo countdown: from the bar completing a buy setup (`setup_count` closes in "
      "a row below the close `setup_lookback` bars earlier), bars closing at or below the low "
      "`countdown_lookback` bars earlier, below the previous close and with a low at or below "
      "the previous low count up to +`countdown_count` and hold there until a sell setup "
      "restarts the count; the sell side mirrors it in negative counts; 0 before the first "
      "setup.",
      "max(setup_lookback, countdown_lookback) + 1"}},
    {"TdCountdown", Feed::Kline, build<TdCountdown, U, U, U, U>, {4, 9, 2, 13},
     {"setup_lookback [1, inf); setup_count [1, inf); countdown_lookback [1, inf); "
      "countdown_count [1, inf)",
      "The signed countdown: from the bar completing a buy setup (`setup_count` closes in a row "
      "below the close `setup_lookback` bars earlier), bars closing at or below the low "
      "`countdown_lookback` bars earlier count up to +`countdown_count` (the last also needing "
      "a low at or below the close of countdown bar `countdown_count` - 5 when "
      "`countdown_count` >= 6) and hold there until a sell setup restarts the count; the sell "
      "side mirrors it in negative counts; 0 before the first setup.",
      "max(setup_lookback, countdown_lookback) + 1"}},
    {"TdSequential", Feed::Kline, build<TdSequential, U, U, U, U>, {4, 9, 2, 13},
     {"setup_lookback [1, inf); setup_count [1, inf); countdown_lookback [1, inf); "
      "countdown_count [1, inf)",
      "The signed setup count: closes in a row below the close `setup_lookback` bars earlier "
      "count up to +`setup_count`, closes above it down to -`setup_count`, an equal close gives "
      "0; the countdown (as `TdCountdown`) and the direction of the last completed setup (+1 "
      "buy, -1 sell, 0 before any) are further outputs.",
      "max(setup_lookback, countdown_lookback) + 1"}},
    {"HeikinAshi", Feed::Kline, build_plain<HeikinAshi>, {},
     {"",
      "The Heikin-Ashi open: the midpoint of the previous Heikin-Ashi open and close (of the "
      "bar's own open and close on the first bar).",
      "1"}},
    {"HeikinAshiOscillator", Feed::Kline, build<HeikinAshiOscillator, U>, {10},
     {"period [1, MAX]",
      "The exponential average over `period` bars (seeded with the mean of the first `period`) "
      "of the Heikin-Ashi close less the Heikin-Ashi open.",
      "period"}},
    {"SmoothedHeikinAshi", Feed::Kline, build<SmoothedHeikinAshi, U>, {10},
     {"period [1, MAX]",
      "The Heikin-Ashi open of candles whose open, high, low and close are each an exponential "
      "average over `period` bars (seeded with the mean of the first `period`).",
      "period"}},
    {"DumplingTop", Feed::Kline, build<DumplingTop, U>, {20},
     {"period [5, MAX]",
      "-1 when the close is below both the oldest and the highest of the last `period` closes "
      "and that peak (its first occurrence) lies outside the window's first and last "
      "floor(`period` / 4) closes, else 0.",
      "period"}},
    {"FryPanBottom", Feed::Kline, build<FryPanBottom, U>, {20},
     {"period [5, MAX]",
      "+1 when the close is above both the oldest and the lowest of the last `period` closes "
      "and that trough (its first occurrence) lies outside the window's first and last "
      "floor(`period` / 4) closes, else 0.",
      "period"}},
    {"NewPriceLines", Feed::Kline, build<NewPriceLines, U>, {3},
     {"count [2, MAX]",
      "-1 while a run of `count` or more closes, each above the one before, lasts (exhausted "
      "buying), +1 while such a run of lower closes lasts, else 0 (an equal close ends a run).",
      "2"}},
    {"PivotReversal", Feed::Kline, build<PivotReversal, U, U>, {3, 2},
     {"left [1, inf); right [1, inf)",
      "+1 when the close crosses above the last pivot high (a high strictly above those of the "
      "`left` bars before and the `right` bars after it) from at or below it, -1 when it "
      "crosses below the last pivot low from at or above it (-1 wins when both hold), else 0.",
      "left + right + 1"}},
    {"ThreeLineBreak", Feed::Kline, build<ThreeLineBreak, U>, {3},
     {"period [1, MAX]",
      "The direction of a line-break chart of the closes, +1 up or -1 down: a close beyond the "
      "last line continues it, one beyond the extreme of the last `period` lines the other way "
      "reverses it; no value until a close differs from the first.",
      "2"}},
};

}  // namespace

std::span<const Entry> chart_pattern_entries() { return kEntries; }

}  // namespace fendro::registry
