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
    {"Rsi", Feed::Kline, build<Rsi, U>, {14},
     {"period [1, MAX]",
      "Wilder's relative strength index of the close, 0 to 100, over `period` bars, passing 100 "
      "by a unit in the last place when the average loss is 0 or too small to change the sum of "
      "the averages; held through a halt.",
      "period + 1"}},
    {"FisherRsi", Feed::Kline, build<FisherRsi, U>, {9},
     {"period [1, MAX]",
      "The Fisher transform of the RSI of the close over `period` bars, rescaled to -1..1 first "
      "and held within -0.999..0.999 (so from -3.8002011672502 to 3.8002011672502).",
      "period + 1"}},
    {"StochRsi", Feed::Kline, build<StochRsi, U, U>, {14, 14},
     {"rsi_period [1, MAX]; stochastic_period [1, inf)",
      "The stochastic of the RSI: where the RSI(`rsi_period`) lies between its lowest and "
      "highest of the last `stochastic_period` values, 0 to 100, passing 100 by a unit in the last "
      "place when the RSI is at its highest; 50 where they are equal (a range of 0, as on candles "
      "that never moved). A range of a few units in the last place spans the whole scale all the "
      "same: in a halt's first bars the RSI's last digits can swing it end to end, until the RSI "
      "is held through the halt and its window holds copies of it (50).",
      "rsi_period + stochastic_period"}},
    {"DerivativeOscillator", Feed::Kline, build<DerivativeOscillator, U, U, U, U>, {14, 5, 3, 9},
     {"rsi_period [1, MAX]; first_ema_period [1, MAX]; second_ema_period [1, MAX]; "
      "signal_period [1, MAX]",
      "The RSI(`rsi_period`) of the close smoothed by an EMA(`first_ema_period`) then an "
      "EMA(`second_ema_period`), minus the SMA of that line over `signal_period` bars.",
      "rsi_period + first_ema_period + second_ema_period + signal_period - 2"}},
    {"Qqe", Feed::Kline, build<Qqe, U, U, F>, {14, 5, 4.236},
     {"rsi_period [1, 8388608]; smoothing_period [1, MAX]; factor (0, inf)",
      "The quantitative qualitative estimation: the RSI(`rsi_period`) smoothed by an EMA of "
      "`smoothing_period`; the trailing line `factor` smoothed RSI ranges away is the output "
      "`trailing_line`.",
      "rsi_period + smoothing_period + 2 * (2 * rsi_period - 1) - 1"}},
    {"ConnorsRsi", Feed::Kline, build<ConnorsRsi, U, U, U>, {3, 2, 100},
     {"rsi_period [1, MAX]; streak_period [1, MAX]; rank_period [1, inf)",
      "Connors RSI, 0 to 100: the mean of the RSI(`rsi_period`) of the close, the "
      "RSI(`streak_period`) of its signed up/down streak length and the percentile rank of the "
      "one-bar return among the last `rank_period`.",
      "max(rsi_period + 1, streak_period + 2, rank_period + 1)"}},
    {"Rmi", Feed::Kline, build<Rmi, U, U>, {14, 5},
     {"period [1, inf); momentum_lookback [1, inf)",
      "The relative momentum index, 0 to 100: an RSI over `period` bars of the close's change "
      "over `momentum_lookback` bars.",
      "period + momentum_lookback"}},
    {"AdaptiveRsi", Feed::Kline, build<AdaptiveRsi, U>, {14},
     {"period [1, MAX]",
      "An RSI of the close, 0 to 100, whose averages of gains and losses move by a factor from "
      "(2/31)^2 in noise to (2/3)^2 in a clean trend, set by the efficiency ratio of the last "
      "`period` changes.",
      "period + 1"}},
    {"Rsx", Feed::Kline, build<Rsx, U>, {14},
     {"period [1, MAX]",
      "A smoothed RSI of the close, 0 to 100, by six chained momentum filters of factor "
      "3/(`period` + 2).",
      "period + 1"}},
    {"AnchoredRsi", Feed::Kline, build_plain<AnchoredRsi>, {},
     {"",
      "The RSI of the close over every bar since the first, 0 to 100: cumulative up moves over "
      "all moves.",
      "2"}},
    {"LaguerreRsi", Feed::Kline, build<LaguerreRsi, F>, {0.5},
     {"gamma [0, 1]",
      "Ehlers' Laguerre RSI of the close, 0 to 100, from a four-element Laguerre filter with "
      "damping `gamma`.",
      "1"}},
    {"Cmo", Feed::Kline, build<Cmo, U>, {9},
     {"period [1, MAX]",
      "Chande's momentum oscillator, -100 to 100 in exact arithmetic: 100 (ups - downs) / (ups + "
      "downs) of the close's changes over `period` bars (0 when none moved). The sums are running "
      "sums never rebuilt (the newest change added, the oldest taken away), which keep the "
      "rounding of changes that have left the window; one whose window holds no change its way is "
      "exactly 0. Where the changes went one way or the other way's are too small to change the "
      "sums, it passes -100 or 100 by a unit or two in the last place; once changes some 1e16 "
      "times smaller follow larger ones (closes gapping down 12 orders of magnitude and more), it "
      "reads anywhere (see Running sums across scales).",
      "period + 1"}},
    {"Vidya", Feed::Kline, build<Vidya, U, U>, {14, 9},
     {"smoothing_period [1, inf); cmo_period [1, MAX]",
      "The variable index dynamic average of the close: an EMA of `smoothing_period` whose "
      "weight is scaled by |CMO(`cmo_period`)|/100.",
      "cmo_period + 1"}},
    {"DynamicMomentumIndex", Feed::Kline, build<DynamicMomentumIndex, U>, {14},
     {"period [1, MAX]",
      "The dynamic momentum index, 0 to 100: the up moves' share of the absolute moves among the "
      "last t close changes (summed, not smoothed), t = round(`period` * (10-bar mean of the "
      "5-close standard deviation) / that deviation), held in 5..30.",
      "31"}},
    {"IntradayMomentumIndex", Feed::Kline, build<IntradayMomentumIndex, U>, {14},
     {"period [1, MAX]",
      "The intraday momentum index, 0 to 100 in exact arithmetic: the sum of up bodies (close - "
      "open) over the sum of all absolute bodies, over `period` bars (50 when every body is 0; a "
      "window of zeros counts 0). Both are running sums never rebuilt: it passes 100 by a unit in "
      "the last place when no body in the window is down, and reads anywhere, below 0 too, once "
      "bodies some 1e16 times smaller follow larger ones (see Running sums across scales).",
      "period"}},
    {"Roc", Feed::Kline, build_lag<LagMeasure::Roc>, {10},
     {"period [1, MAX]",
      "The rate of change in percent: (close - the close `period` bars back) / that close * 100; 0 "
      "when that close is 0.",
      "period + 1"}},
    {"Rocp", Feed::Kline, build_lag<LagMeasure::Rocp>, {10},
     {"period [1, MAX]",
      "The rate of change as a fraction: (close - the close `period` bars back) / that close; 0 "
      "when that close is 0.",
      "period + 1"}},
    {"Rocr", Feed::Kline, build_lag<LagMeasure::Rocr>, {10},
     {"period [1, MAX]",
      "The ratio of the close to the close `period` bars back; 0 when that close is 0.",
      "period + 1"}},
    {"Rocr100", Feed::Kline, build_lag<LagMeasure::Rocr100>, {10},
     {"period [1, MAX]",
      "The ratio of the close to the close `period` bars back, times 100; 0 when that close is 0.",
      "period + 1"}},
    {"Mom", Feed::Kline, build_lag<LagMeasure::Mom>, {10},
     {"period [1, MAX]",
      "The momentum: close - the close `period` bars back.",
      "period + 1"}},
    {"Cfo", Feed::Kline, build<Cfo, U>, {14},
     {"period [2, MAX]",
      "Chande's forecast oscillator: (close - the least-squares line over `period` bars at this "
      "bar) / close * 100.",
      "period"}},
    {"Dpo", Feed::Kline, build<Dpo, U>, {20},
     {"period [1, MAX]",
      "The detrended price oscillator: the close floor(`period`/2) + 1 bars back minus the SMA "
      "of the last `period` closes.",
      "max(floor(period / 2) + 2, period)"}},
    {"DisparityIndex", Feed::Kline, build<DisparityIndex, U>, {14},
     {"period [1, MAX]",
      "The disparity index: (close - SMA(`period`)) / SMA * 100; 0 when the SMA is 0.",
      "period"}},
    {"FisherTransform", Feed::Kline, build<FisherTransform, U>, {10},
     {"period [1, MAX]",
      "Ehlers' Fisher transform of the close's position in the range of the last `period` closes "
      "(scaled to -1..1, smoothed 0.33 new / 0.67 old, held within -0.999..0.999), plus half the "
      "previous value.",
      "period"}},
    {"InverseFisherTransform", Feed::Kline, build<InverseFisherTransform, F>, {0.05},
     {"scale (0, inf)",
      "The inverse Fisher transform tanh(`scale` * close) of the raw close, -1 to 1.",
      "1"}},
    {"AwesomeOscillator", Feed::Kline, build<AwesomeOscillator, U, U>, {5, 34},
     {"fast [1, MAX] {below `slow`}; slow [1, MAX] {above `fast`}",
      "The awesome oscillator: SMA(`fast`) - SMA(`slow`) of the median price (high + low)/2.",
      "slow"}},
    {"AwesomeOscillatorHistogram", Feed::Kline, build<AwesomeOscillatorHistogram, U, U, U>, {5, 34, 3},
     {"fast [1, MAX] {below `slow`}; slow [1, MAX] {above `fast`}; lag [1, inf)",
      "The change of the awesome oscillator over `lag` bars.",
      "slow + lag"}},
    {"AcceleratorOscillator", Feed::Kline, build<AcceleratorOscillator, U, U, U>, {5, 34, 5},
     {"fast [1, MAX] {below `slow`}; slow [1, MAX] {above `fast`}; signal [1, MAX]",
      "The accelerator oscillator: the awesome oscillator minus its SMA over `signal` bars.",
      "slow + signal - 1"}},
    {"ElderRay", Feed::Kline, build<ElderRay, U>, {13},
     {"period [1, MAX]",
      "The bull power: high - EMA(`period`) of the close; the bear power, low - EMA, is an "
      "output.",
      "period"}},
    {"GatorOscillator", Feed::Kline, build<GatorOscillator, U, U, U>, {13, 8, 5},
     {"jaw [1, MAX]; teeth [1, MAX]; lips [1, MAX]",
      "The upper bar of the gator: |jaw - teeth| of the Alligator lines; the lower bar, -|teeth "
      "- lips|, is an output.",
      "max(jaw, teeth, lips)"}},
    {"BalanceOfPower", Feed::Kline, build_plain<BalanceOfPower>, {},
     {"",
      "The balance of power: (close - open) / (high - low), -1 to 1; 0 for a zero range.",
      "1"}},
    {"Qstick", Feed::Kline, build<Qstick, U>, {8},
     {"period [1, MAX]",
      "The SMA over `period` bars of close - open; a window of zeros counts 0.",
      "period"}},
};

}  // namespace

std::span<const Entry> momentum_entries() { return kEntries; }

}  // namespace fendro::registry
