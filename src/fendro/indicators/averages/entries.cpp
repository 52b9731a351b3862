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
    {"Hma", build<Hma, U>},
    {"Ehma", build<Ehma, U>},
    {"Zlema", build<Zlema, U>},
    {"AdaptiveLaguerreFilter", build<AdaptiveLaguerreFilter, U>},
    {"Frama", build<Frama, U>},
    {"McGinleyDynamic", build<McGinleyDynamic, U>},
    {"Kama", build<Kama, U, U, U>},
    {"Jma", build<Jma, U, F, U32>},
    {"GeneralizedDema", build<GeneralizedDema, U, F>},
    {"HoltWinters", build<HoltWinters, F, F>},
    {"GeometricMa", build<GeometricMa, U>},
    {"MedianMa", build<MedianMa, U>},
    {"SineWeightedMa", build<SineWeightedMa, U>},
    {"Alma", build<Alma, U, F, F>},
    {"Evwma", build<Evwma, U>},
    {"Vwma", build<Vwma, U>},
    {"Alligator", build<Alligator, U, U, U>},
    {"LinearRegression", build<LinearRegression, U>},
    {"LinRegAngle", build<LinRegAngle, U>},
    {"LinRegIntercept", build<LinRegIntercept, U>},
    {"LinRegSlope", build<LinRegSlope, U>},
    {"Tsf", build<Tsf, U>},
    {"TsfOscillator", build<TsfOscillator, U>},
    {"CorrelationTrendIndicator", build<CorrelationTrendIndicator, U>},
    {"LinRegChannel", build<LinRegChannel, U, F>},
};

}  // namespace

std::span<const Entry> average_entries() { return kEntries; }

}  // namespace fendro::registry
