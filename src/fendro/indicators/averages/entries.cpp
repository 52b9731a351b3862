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
    {"Hma", Feed::Kline, build<Hma, U>, {20}},
    {"Ehma", Feed::Kline, build<Ehma, U>, {20}},
    {"Zlema", Feed::Kline, build<Zlema, U>, {20}},
    {"AdaptiveLaguerreFilter", Feed::Kline, build<AdaptiveLaguerreFilter, U>, {13}},
    {"Frama", Feed::Kline, build<Frama, U>, {16}},
    {"McGinleyDynamic", Feed::Kline, build<McGinleyDynamic, U>, {14}},
    {"Kama", Feed::Kline, build<Kama, U, U, U>, {10, 2, 30}},
    {"Jma", Feed::Kline, build<Jma, U, F, U32>, {7, 50, 2}},
    {"GeneralizedDema", Feed::Kline, build<GeneralizedDema, U, F>, {5, 0.7}},
    {"HoltWinters", Feed::Kline, build<HoltWinters, F, F>, {0.3, 0.1}},
    {"GeometricMa", Feed::Kline, build<GeometricMa, U>, {20}},
    {"MedianMa", Feed::Kline, build<MedianMa, U>, {20}},
    {"SineWeightedMa", Feed::Kline, build<SineWeightedMa, U>, {14}},
    {"Alma", Feed::Kline, build<Alma, U, F, F>, {9, 0.85, 6}},
    {"Evwma", Feed::Kline, build<Evwma, U>, {20}},
    {"Vwma", Feed::Kline, build<Vwma, U>, {20}},
    {"Alligator", Feed::Kline, build<Alligator, U, U, U>, {13, 8, 5}},
    {"LinearRegression", Feed::Kline, build<LinearRegression, U>, {14}},
    {"LinRegAngle", Feed::Kline, build<LinRegAngle, U>, {14}},
    {"LinRegIntercept", Feed::Kline, build<LinRegIntercept, U>, {14}},
    {"LinRegSlope", Feed::Kline, build<LinRegSlope, U>, {14}},
    {"Tsf", Feed::Kline, build<Tsf, U>, {14}},
    {"TsfOscillator", Feed::Kline, build<TsfOscillator, U>, {14}},
    {"CorrelationTrendIndicator", Feed::Kline, build<CorrelationTrendIndicator, U>, {20}},
    {"LinRegChannel", Feed::Kline, build<LinRegChannel, U, F>, {20, 2}},
};

}  // namespace

std::span<const Entry> average_entries() { return kEntries; }

}  // namespace fendro::registry
