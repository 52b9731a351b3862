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
      "A four-stage Laguerre filter of the close whose gain adapts to the median of its recent "
      "normalised errors over `period` bars.",
      "period"}},
    {"Frama", Feed::Kline, build<Frama, U>, {16},
     {"period [2, MAX] {even}",
      "The fractal adaptive average of the close: an EMA whose weight follows the fractal "
      "dimension of the last `period` closes.",
      "period"}},
    {"McGinleyDynamic", Feed::Kline, build<McGinleyDynamic, U>, {14},
     {"period [1, MAX]",
      "McGinley's dynamic: an average of the close whose speed follows the ratio of the close "
      "to the average, seeded with the mean of the first `period` closes.",
      "period"}},
    {"Kama", Feed::Kline, build<Kama, U, U, U>, {10, 2, 30},
     {"period [1, inf); fast [1, inf) {below `slow`}; slow [1, inf) {above `fast`}",
      "Kaufman's adaptive average of the close: its weight moves between 2/(`slow` + 1) and "
      "2/(`fast` + 1) with the efficiency ratio of the last `period` changes.",
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
      "Holt's double exponential smoothing of the close: the level, smoothed by `alpha`, with a "
      "trend smoothed by `beta`.",
      "2"}},
    {"GeometricMa", Feed::Kline, build<GeometricMa, U>, {20},
     {"period [1, MAX]",
      "The geometric mean of the last `period` closes.",
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
      "The volume-weighted mean of the last `period` closes.",
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
      "The slope of the least-squares line through the last `period` closes, as an angle in "
      "degrees (price units per bar).",
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
      "The distance of the close from the time-series forecast, in percent of the close.",
      "period"}},
    {"CorrelationTrendIndicator", Feed::Kline, build<CorrelationTrendIndicator, U>, {20},
     {"period [2, MAX]",
      "The correlation of the last `period` closes with the bar index, from -1 to 1.",
      "period"}},
    {"LinRegChannel", Feed::Kline, build<LinRegChannel, U, F>, {20, 2},
     {"period [2, MAX]; multiplier (0, inf)",
      "The upper band: the least-squares line at the newest bar plus `multiplier` standard "
      "errors of the last `period` closes.",
      "period"}},
};

}  // namespace

std::span<const Entry> average_entries() { return kEntries; }

}  // namespace fendro::registry
