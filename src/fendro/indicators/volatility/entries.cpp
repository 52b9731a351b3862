// Registry entries of this family: one row per type key.
#include "fendro/indicators/volatility/atr_envelopes.hpp"
#include "fendro/indicators/volatility/average_daily_range.hpp"
#include "fendro/indicators/volatility/average_envelopes.hpp"
#include "fendro/indicators/volatility/bollinger.hpp"
#include "fendro/indicators/volatility/close_dispersion.hpp"
#include "fendro/indicators/volatility/extreme_channels.hpp"
#include "fendro/indicators/volatility/ohlc_volatility.hpp"
#include "fendro/indicators/volatility/projection_bands.hpp"
#include "fendro/indicators/volatility/quantile_channels.hpp"
#include "fendro/indicators/volatility/range_averages.hpp"
#include "fendro/indicators/volatility/range_volatility.hpp"
#include "fendro/indicators/volatility/return_volatility.hpp"
#include "fendro/indicators/volatility/rvi_volatility.hpp"
#include "fendro/indicators/volatility/ttm_squeeze.hpp"
#include "fendro/registry/entry_builders.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

constexpr Entry kEntries[] = {
    {"Atr", Feed::Kline, build<Atr, U>, {14},
     {"period [1, MAX]",
      "Wilder's average true range over `period` bars, seeded with the mean of the first `period` "
      "true ranges, in price units.",
      "period"}},
    {"Natr", Feed::Kline, build<Natr, U>, {14},
     {"period [1, MAX]",
      "The average true range over `period` bars (as `Atr`) in percent of the close (0 when the "
      "close is 0).",
      "period"}},
    {"VolatilityRatio", Feed::Kline, build<VolatilityRatio, U>, {14},
     {"period [1, MAX]",
      "The bar's true range divided by the exponential average (alpha = 2 / (`period` + 1)) of "
      "the earlier true ranges, taken before this bar enters it (0 while that average is 0).",
      "period + 2"}},
    {"AtrBands", Feed::Kline, build<AtrBands, U, F>, {14, 2},
     {"period [1, MAX]; multiplier (0, inf)",
      "The upper band: the close plus `multiplier` times the average true range over `period` "
      "bars (the middle is the close itself).",
      "period"}},
    {"EwmaVolatility", Feed::Kline, build<EwmaVolatility, F>, {0.94},
     {"lambda (0, 1)",
      "The square root of an exponentially weighted mean of the close's squared log returns, "
      "variance = `lambda` x previous + (1 - `lambda`) x squared return, seeded with the first "
      "squared return (closes not above 0 are skipped); per bar, not annualised.",
      "2"}},
    {"HighLowRange", Feed::Kline, build_plain<HighLowRange>, {},
     {"",
      "The bar's high - low divided by its close, as a fraction (0 when the close is 0).",
      "1"}},
    {"TrueRange", Feed::Kline, build_plain<TrueRange>, {},
     {"",
      "The bar's true range: the largest of high - low and the distances of the high and the low "
      "from the previous close (high - low on the first bar).",
      "1"}},
    {"Donchian", Feed::Kline, build<Donchian, U>, {20},
     {"period [1, MAX]",
      "The upper channel line: the highest high of the last `period` bars (the lower line is the "
      "lowest low, the middle halfway between).",
      "period"}},
    {"FractalChaosBands", Feed::Kline, build<FractalChaosBands, U>, {2},
     {"period [1, MAX]",
      "The upper band: the high of the latest fractal high (a bar whose high is strictly above "
      "those of the `period` bars on either side, known `period` bars after it), held until the "
      "next; no value until both a fractal high and a fractal low have been seen.",
      "2 * period + 1"}},
    {"QuartileBands", Feed::Kline, build<QuartileBands, U>, {20},
     {"period [1, MAX]",
      "The upper band: the 75th percentile of the last `period` closes, linearly interpolated "
      "(the middle is the median, the lower band the 25th percentile).",
      "period"}},
    {"RealizedVolatility", Feed::Kline, build<RealizedVolatility, U>, {20},
     {"period [1, MAX]",
      "The square root of the sum of the squared log returns of the close over the last `period` "
      "returns (closes not above 0 are skipped); not annualised.",
      "period + 1"}},
    {"StdDev", Feed::Kline, build<StdDev, U>, {20},
     {"period [1, MAX]",
      "The population standard deviation of the last `period` closes.",
      "period"}},
    {"UlcerIndex", Feed::Kline, build<UlcerIndex, U>, {14},
     {"period [1, MAX]",
      "The root mean square, over the last `period` bars, of the close's percent drawdown below "
      "its highest close of the last `period` closes; a window of zeros counts 0.",
      "2 * period - 1"}},
    {"BipowerVariation", Feed::Kline, build<BipowerVariation, U>, {20},
     {"period [2, MAX]",
      "The bipower variation of the close's log returns, a variance (not rooted): pi / 2 times "
      "the sum of the absolute products of adjacent returns among the last `period` returns "
      "(closes not above 0 are skipped).",
      "period + 1"}},
    {"RviVolatility", Feed::Kline, build<RviVolatility, U>, {10},
     {"period [2, MAX]",
      "The relative volatility index, 0 to 100: 100 up / (up + down), up and down being the "
      "Wilder averages (over `period`) of the `period`-close population standard deviation taken "
      "on rising and on falling closes respectively (0 otherwise); 50 when both are 0; passing "
      "100 by a unit in the last place when down is 0 or too small to change the sum.",
      "2 * period - 1"}},
    {"ChoppinessIndex", Feed::Kline, build<ChoppinessIndex, U>, {14},
     {"period [2, MAX]",
      "The choppiness index (high: sideways, low: trending): 100 log10(sum of the last `period` "
      "true ranges / (highest high - lowest low)) / log10(`period`); 100 for a zero range. Mostly "
      "between 0 and 100, yet bounded by neither: the window's first true range reaches back to "
      "the close before it, so a gap wider than the window's range lifts the value above 100 "
      "without limit, and the sum of true ranges is a running sum whose rounding can put it a "
      "little below 0.",
      "period"}},
    {"DetrendedStdDev", Feed::Kline, build<DetrendedStdDev, U>, {20},
     {"period [2, MAX]",
      "The population standard deviation of the residuals of the least-squares line through the "
      "last `period` closes.",
      "period"}},
    {"ProjectionBands", Feed::Kline, build<ProjectionBands, U>, {14},
     {"period [2, MAX]",
      "The upper band: the highest of the last `period` highs, each projected to the current bar "
      "along the least-squares slope of those highs (the lower band likewise from the lows).",
      "period"}},
    {"BollingerBands", Feed::Kline, build<BollingerBands, U, F>, {20, 2},
     {"period [1, MAX]; band_multiplier (0, inf)",
      "The upper band: the mean of the last `period` closes plus `band_multiplier` population "
      "standard deviations of them.",
      "period"}},
    {"BollingerBandwidth", Feed::Kline, build<BollingerBandwidth, U, F>, {20, 2},
     {"period [1, MAX]; band_multiplier (0, inf)",
      "The width of the Bollinger bands relative to their middle, (upper - lower) / middle, as a "
      "ratio, not in percent (0 when the middle is 0).",
      "period"}},
    {"PercentB", Feed::Kline, build<PercentB, U, F>, {20, 2},
     {"period [1, MAX]; band_multiplier (0, inf)",
      "The close's place within the Bollinger bands, (close - lower) / (upper - lower): 0 at the "
      "lower band, 1 at the upper (0.5 when the bands meet).",
      "period"}},
    {"MedianChannel", Feed::Kline, build<MedianChannel, U, F>, {20, 2},
     {"period [1, MAX]; band_multiplier (0, inf)",
      "The upper band: the median of the last `period` closes plus `band_multiplier` times their "
      "median absolute deviation from it (unscaled).",
      "period"}},
    {"HurstChannel", Feed::Kline, build<HurstChannel, U, F>, {20, 1.5},
     {"period [1, MAX]; band_multiplier (0, inf)",
      "The upper band: the simple average of the last `period` closes plus `band_multiplier` "
      "times the range (highest high - lowest low) of those bars.",
      "period"}},
    {"AccelerationBands", Feed::Kline, build<AccelerationBands, U, F>, {20, 4},
     {"period [1, MAX]; band_factor (0, inf)",
      "The upper band: the simple average over `period` bars of high x (1 + `band_factor` x "
      "(high - low) / (high + low)) (the middle is the simple average of the close).",
      "period"}},
    {"MaEnvelope", Feed::Kline, build<MaEnvelope, U, F>, {20, 0.025},
     {"period [1, MAX]; band_offset (0, inf)",
      "The upper band: the simple average of the last `period` closes times (1 + `band_offset`), "
      "the offset a fraction (0.025 is 2.5 %).",
      "period"}},
    {"StandardErrorBands", Feed::Kline, build<StandardErrorBands, U, F>, {21, 2},
     {"period [3, MAX]; multiplier (0, inf)",
      "The upper band: the least-squares line of the last `period` closes at the newest bar plus "
      "`multiplier` standard errors of its residuals (divisor `period` - 2).",
      "period"}},
    {"BomarBands", Feed::Kline, build<BomarBands, U, F>, {40, 0.85},
     {"period [1, MAX]; coverage (0, 1]",
      "The upper band: the mean of the last `period` closes plus the `coverage` quantile "
      "(interpolated) of the closes' absolute deviations from that mean, so that about that "
      "fraction of them lies within the bands (the bands meet when the mean is 0).",
      "period"}},
    {"JumpIndicator", Feed::Kline, build<JumpIndicator, U, F>, {20, 3},
     {"period [2, MAX]; threshold (0, inf)",
      "+1 when the close's log return lies more than `threshold` sample standard deviations "
      "above the mean of the `period` returns before it, -1 when as far below, else 0 (also when "
      "those returns do not vary; closes not above 0 are skipped).",
      "period + 2"}},
    {"DoubleBollinger", Feed::Kline, build<DoubleBollinger, U, F, F>, {20, 1, 2},
     {"period [1, MAX]; k_inner (0, inf) {below `k_outer`}; k_outer (0, inf) {above `k_inner`}",
      "The outer upper band: the mean of the last `period` closes plus `k_outer` population "
      "standard deviations (the inner bands lie `k_inner` deviations out).",
      "period"}},
    {"TtmSqueeze", Feed::Kline, build<TtmSqueeze, U, F, F>, {20, 2, 1.5},
     {"period [2, MAX]; bollinger_multiplier (0, inf); keltner_multiplier (0, inf)",
      "1 when the Bollinger bands (`bollinger_multiplier` deviations) lie within the Keltner "
      "channel (simple average of the close plus or minus `keltner_multiplier` average true "
      "ranges), both over `period` bars, else 0.",
      "period"}},
    {"Keltner", Feed::Kline, build<Keltner, U, U, F>, {20, 10, 2},
     {"ema_period [1, MAX]; atr_period [1, MAX]; multiplier (0, inf)",
      "The upper band: the exponential average of the close over `ema_period` plus `multiplier` "
      "times the average true range over `atr_period`.",
      "max(ema_period, atr_period)"}},
    {"StarcBands", Feed::Kline, build<StarcBands, U, U, F>, {6, 15, 2},
     {"sma_period [1, MAX]; atr_period [1, MAX]; multiplier (0, inf)",
      "The upper band: the simple average of the close over `sma_period` plus `multiplier` times "
      "the average true range over `atr_period`.",
      "max(sma_period, atr_period)"}},
    {"ChaikinVolatility", Feed::Kline, build<ChaikinVolatility, U, U>, {10, 10},
     {"ema_period [1, MAX]; roc_period [1, MAX]",
      "The percent change over `roc_period` bars of the exponential average (over `ema_period`) "
      "of high - low (0 when the earlier average is 0).",
      "ema_period + roc_period"}},
    {"MassIndex", Feed::Kline, build<MassIndex, U, U>, {9, 25},
     {"ema_period [1, MAX]; sum_period [1, inf)",
      "The sum over the last `sum_period` bars of the ratio of the exponential average of "
      "high - low to the exponential average of that average, both over `ema_period`.",
      "2 * ema_period + sum_period - 2"}},
    {"WavePm", Feed::Kline, build<WavePm, U, U>, {14, 10},
     {"period [1, MAX]; smoothing_period [1, MAX]",
      "0 to 100: 100 times the exponential average over `smoothing_period` of 1 - exp(-d^2 / (2 "
      "m)), d being the close's change over `period` bars and m the exponential average of d^2 "
      "over `period` (the term is 0 while m is 0). The term rounds to 1 only where d^2 / (2 m) "
      "passes about 37.4, which m's weight on d^2 allows only at `period` 75 and more: there a "
      "step after a flat stretch reads 100 where `smoothing_period` is 1.",
      "2 * period + smoothing_period - 1"}},
    {"VolatilityOfVolatility", Feed::Kline, build<VolatilityOfVolatility, U, U>, {20, 20},
     {"returns_window [2, inf); vols_window [2, inf)",
      "The sample standard deviation of the last `vols_window` values of the sample standard "
      "deviation of the last `returns_window` log returns of the close (closes not above 0 are "
      "skipped); not annualised.",
      "returns_window + vols_window"}},
    {"GarmanKlassVolatility", Feed::Kline, build<GarmanKlassVolatility, U, U>, {20, 252},
     {"period [1, inf); annualisation_periods [1, inf)",
      "The Garman-Klass volatility from open, high, low and close over `period` bars, scaled by "
      "sqrt(`annualisation_periods`), in percent.",
      "period"}},
    {"ParkinsonVolatility", Feed::Kline, build<ParkinsonVolatility, U, U>, {20, 252},
     {"period [1, inf); annualisation_periods [1, inf)",
      "The Parkinson volatility from the log high/low ranges over `period` bars, scaled by "
      "sqrt(`annualisation_periods`), in percent.",
      "period"}},
    {"RogersSatchellVolatility", Feed::Kline, build<RogersSatchellVolatility, U, U>, {20, 252},
     {"period [1, inf); annualisation_periods [1, inf)",
      "The Rogers-Satchell (drift-free) volatility from open, high, low and close over `period` "
      "bars, scaled by sqrt(`annualisation_periods`), in percent.",
      "period"}},
    {"HistoricalVolatility", Feed::Kline, build<HistoricalVolatility, U, U>, {20, 252},
     {"period [2, MAX]; annualisation_periods [1, inf)",
      "The sample standard deviation of the last `period` log returns of the close, scaled by "
      "sqrt(`annualisation_periods`), in percent (closes not above 0 are skipped).",
      "period + 1"}},
    {"YangZhangVolatility", Feed::Kline, build<YangZhangVolatility, U, U>, {20, 252},
     {"period [2, MAX]; annualisation_periods [1, inf)",
      "The Yang-Zhang volatility (overnight, open-to-close and Rogers-Satchell variances "
      "combined) over `period` bars, scaled by sqrt(`annualisation_periods`), in percent; a window "
      "of zeros counts 0, so a flat market reads 0.",
      "period + 1"}},
    {"AverageDailyRange", Feed::Kline, build<AverageDailyRange, U, I>, {5, 0},
     {"period [1, MAX]; utc_offset_minutes [-2147483648, 2147483647]",
      "The mean high - low range of the completed local days, the last `period` of them (fewer "
      "at first), the current day left out; local time is UTC plus `utc_offset_minutes`, and "
      "values start on the second day.",
      "period"}},
    {"Garch11", Feed::Kline, build<Garch11, F, F, F>, {1e-6, 0.1, 0.85},
     {"omega (0, inf); alpha [0, 1) {`alpha` + `beta` below 1}; "
      "beta [0, 1) {`alpha` + `beta` below 1}",
      "The GARCH(1,1) conditional standard deviation of the close's log return, a fraction per "
      "bar: sqrt(`omega` + `alpha` x previous squared return + `beta` x previous variance), and "
      "sqrt(`omega` / (1 - `alpha` - `beta`)) on the first value (closes not above 0 are "
      "skipped).",
      "2"}},
};

}  // namespace

std::span<const Entry> volatility_entries() { return kEntries; }

}  // namespace fendro::registry
