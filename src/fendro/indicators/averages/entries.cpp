// Registry entries of the Hull, adaptive, window-weighted, volume-weighted
// and regression averages and of the Alligator.
#include "fendro/indicators/averages/alligator.hpp"
#include "fendro/indicators/averages/correlation_trend.hpp"
#include "fendro/indicators/averages/evwma.hpp"
#include "fendro/indicators/averages/fixed_weight_averages.hpp"
#include "fendro/indicators/averages/frama.hpp"
#include "fendro/indicators/averages/generalized_dema.hpp"
#include "fendro/indicators/averages/geometric_ma.hpp"
#include "fendro/indicators/averages/holt_winters.hpp"
#include "fendro/indicators/averages/hull.hpp"
#include "fendro/indicators/averages/jma.hpp"
#include "fendro/indicators/averages/kama.hpp"
#include "fendro/indicators/averages/laguerre_filter.hpp"
#include "fendro/indicators/averages/linear_regression.hpp"
#include "fendro/indicators/averages/linreg_channel.hpp"
#include "fendro/indicators/averages/mcginley.hpp"
#include "fendro/indicators/averages/median_ma.hpp"
#include "fendro/indicators/averages/vwma.hpp"
#include "fendro/indicators/averages/zlema.hpp"
#include "fendro/registry/entry_builders.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

constexpr Entry kEntries[] = {
    {"Hma", Feed::Kline, build<Hma, U>, {20},
     {"period [1, MAX]",
      "Hull's average: a weighted average, over round(sqrt(`period`)) bars, of 2 "
      "WMA(`period`/2) - WMA(`period`) of the close.",
      "period + max(round(sqrt(period)), 1) - 1"}},
    {"Ehma", Feed::Kline, build<Ehma, U>, {20},
     {"period [1, MAX]",
      "The Hull construction over exponential averages: an EMA, over round(sqrt(`period`)) "
      "bars, of 2 EMA(`period`/2) - EMA(`period`) of the close.",
      "period + max(round(sqrt(period)), 1) - 1"}},
    {"Zlema", Feed::Kline, build<Zlema, U>, {20},
     {"period [1, MAX]",
      "The zero-lag EMA: an EMA(`period`) of the de-lagged close, close + (close - the close "
      "floor((`period` - 1)/2) bars back).",
      "period + floor((period - 1) / 2)"}},
    {"AdaptiveLaguerreFilter", Feed::Kline, build<AdaptiveLaguerreFilter, U>, {13},
     {"period [1, MAX]",
      "A four-term Laguerre filter of the close, (L0 + 2 L1 + 2 L2 + L3)/6, whose gain is the "
      "median of the last five tracking errors, each scaled to 0..1 between the smallest and "
      "largest error of the last `period` bars.",
      "period"}},
    {"Frama", Feed::Kline, build<Frama, U>, {16},
     {"period [2, MAX] {even}",
      "The fractal adaptive average of the close: an EMA whose weight follows the fractal "
      "dimension of the last `period` closes.",
      "period"}},
    {"McGinleyDynamic", Feed::Kline, build<McGinleyDynamic, U>, {14},
     {"period [1, MAX]",
      "McGinley's dynamic of the close: each bar it moves by (close - value) / (0.6 `period` "
      "(close / value)^4), seeded with the mean of the first `period` closes (held while a price "
      "is not above 0).",
      "period"}},
    {"Kama", Feed::Kline, build<Kama, U, U, U>, {10, 2, 30},
     {"period [1, inf); fast [1, inf) {below `slow`}; slow [1, inf) {above `fast`}",
      "Kaufman's adaptive average of the close: each bar it moves sc^2 of the way to the close, sc "
      "= 2/(`slow` + 1) + ER (2/(`fast` + 1) - 2/(`slow` + 1)), ER the efficiency ratio (net "
      "change over path, 0 to 1) of the last `period` changes.",
      "period + 1"}},
    {"Jma", Feed::Kline, build<Jma, U, F, U32>, {7, 50, 2},
     {"period [1, MAX]; phase (-inf, inf); power [1, 4]",
      "A three-stage adaptive filter of the close (Jurik style); `phase` shifts it between lag "
      "and overshoot (clamped to -100..100 in effect), `power` sets how fast it adapts.",
      "1"}},
    {"GeneralizedDema", Feed::Kline, build<GeneralizedDema, U, F>, {5, 0.7},
     {"period [1, MAX]; volume_factor [0, 1]",
      "The generalised double EMA of the close: (1 + `volume_factor`) EMA - `volume_factor` "
      "EMA(EMA).",
      "2 * period - 1"}},
    {"HoltWinters", Feed::Kline, build<HoltWinters, F, F>, {0.3, 0.1},
     {"alpha (0, 1]; beta (0, 1]",
      "Holt's linear smoothing of the close: level + trend, the forecast of the next close, the "
      "level smoothed by `alpha` and the trend by `beta`.",
      "2"}},
    {"GeometricMa", Feed::Kline, build<GeometricMa, U>, {20},
     {"period [1, MAX]",
      "The geometric mean of the last `period` closes (a close not above 0 is refused: no value, "
      "not counted).",
      "period"}},
    {"MedianMa", Feed::Kline, build<MedianMa, U>, {20},
     {"period [1, MAX]",
      "The median of the last `period` closes.",
      "period"}},
    {"SineWeightedMa", Feed::Kline, build<SineWeightedMa, U>, {14},
     {"period [1, MAX]",
      "The average of the last `period` closes weighted by a half sine wave, heaviest in the "
      "middle.",
      "period"}},
    {"Alma", Feed::Kline, build<Alma, U, F, F>, {9, 0.85, 6},
     {"period [1, MAX]; offset [0, 1]; sigma (0, inf)",
      "Arnaud Legoux's average of the last `period` closes: Gaussian weights centred at "
      "`offset` of the window (1 = the newest) with width `period`/`sigma`.",
      "period"}},
    {"Evwma", Feed::Kline, build<Evwma, U>, {20},
     {"period [1, MAX]",
      "The elastic volume-weighted average of the close: each bar moves it by the bar's share "
      "of the volume of the last `period` bars.",
      "period"}},
    {"Vwma", Feed::Kline, build<Vwma, U>, {20},
     {"period [1, MAX]",
      "The volume-weighted mean of the last `period` closes (their plain mean when the window "
      "traded no volume).",
      "period"}},
    {"Alligator", Feed::Kline, build<Alligator, U, U, U>, {13, 8, 5},
     {"jaw [1, MAX]; teeth [1, MAX]; lips [1, MAX]",
      "The jaw: a smoothed average of the median price (high + low)/2 over `jaw` bars; the "
      "teeth and lips are the same over their lengths.",
      "max(jaw, teeth, lips)"}},
    {"LinearRegression", Feed::Kline, build<LinearRegression, U>, {14},
     {"period [2, MAX]",
      "The least-squares line through the last `period` closes, at the newest bar.",
      "period"}},
    {"LinRegAngle", Feed::Kline, build<LinRegAngle, U>, {14},
     {"period [2, MAX]",
      "The arctangent, in degrees, of the least-squares slope of the last `period` closes in price "
      "per bar, so it depends on the price's scale.",
      "period"}},
    {"LinRegIntercept", Feed::Kline, build<LinRegIntercept, U>, {14},
     {"period [2, MAX]",
      "The least-squares line through the last `period` closes, at the oldest bar of the "
      "window.",
      "period"}},
    {"LinRegSlope", Feed::Kline, build<LinRegSlope, U>, {14},
     {"period [2, MAX]",
      "The slope of the least-squares line through the last `period` closes, in price per bar.",
      "period"}},
    {"Tsf", Feed::Kline, build<Tsf, U>, {14},
     {"period [2, MAX]",
      "The time-series forecast: the least-squares line through the last `period` closes, "
      "extended one bar past the newest.",
      "period"}},
    {"TsfOscillator", Feed::Kline, build<TsfOscillator, U>, {14},
     {"period [2, MAX]",
      "100 (close - forecast) / close, the forecast being the least-squares line through the last "
      "`period` closes (this one included) one bar past the newest; the last value again at a "
      "close of 0.",
      "period"}},
    {"CorrelationTrendIndicator", Feed::Kline, build<CorrelationTrendIndicator, U>, {20},
     {"period [2, MAX]",
      "The correlation of the last `period` closes with the bar index, from -1 to 1 (0 for a flat "
      "window).",
      "period"}},
    {"LinRegChannel", Feed::Kline, build<LinRegChannel, U, F>, {20, 2},
     {"period [2, MAX]; multiplier (0, inf)",
      "The upper band: the least-squares line through the last `period` closes at the newest bar "
      "plus `multiplier` times the root-mean-square residual about it (divisor `period`).",
      "period"}},
};

}  // namespace

std::span<const Entry> average_entries() { return kEntries; }

}  // namespace fendro::registry
