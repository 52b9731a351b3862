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
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

// The types whose only parameter is the period.
template <class T>
BuildResult build_period(const Params& p) {
  FENDRO_TRY(n, p.usize(0));
  return box<T>(p, T::create(n));
}

BuildResult build_kama(const Params& p) {
  FENDRO_TRY(period, p.usize(0));
  FENDRO_TRY(fast, p.usize(1));
  FENDRO_TRY(slow, p.usize(2));
  return box<Kama>(p, Kama::create(period, fast, slow));
}

BuildResult build_jma(const Params& p) {
  FENDRO_TRY(period, p.usize(0));
  FENDRO_TRY(phase, p.f64(1));
  FENDRO_TRY(power, p.u32(2));
  return box<Jma>(p, Jma::create(period, phase, power));
}

BuildResult build_generalized_dema(const Params& p) {
  FENDRO_TRY(period, p.usize(0));
  FENDRO_TRY(v, p.f64(1));
  return box<GeneralizedDema>(p, GeneralizedDema::create(period, v));
}

BuildResult build_holt_winters(const Params& p) {
  FENDRO_TRY(alpha, p.f64(0));
  FENDRO_TRY(beta, p.f64(1));
  return box<HoltWinters>(p, HoltWinters::create(alpha, beta));
}

BuildResult build_alma(const Params& p) {
  FENDRO_TRY(period, p.usize(0));
  FENDRO_TRY(offset, p.f64(1));
  FENDRO_TRY(sigma, p.f64(2));
  return box<Alma>(p, Alma::create(period, offset, sigma));
}

BuildResult build_alligator(const Params& p) {
  FENDRO_TRY(jaw, p.usize(0));
  FENDRO_TRY(teeth, p.usize(1));
  FENDRO_TRY(lips, p.usize(2));
  return box<Alligator>(p, Alligator::create(jaw, teeth, lips));
}

BuildResult build_linreg_channel(const Params& p) {
  FENDRO_TRY(period, p.usize(0));
  FENDRO_TRY(multiplier, p.f64(1));
  return box<LinRegChannel>(p, LinRegChannel::create(period, multiplier));
}

const Entry kEntries[] = {
    {"Hma", &build_period<Hma>},
    {"Ehma", &build_period<Ehma>},
    {"Zlema", &build_period<Zlema>},
    {"AdaptiveLaguerreFilter", &build_period<AdaptiveLaguerreFilter>},
    {"Frama", &build_period<Frama>},
    {"McGinleyDynamic", &build_period<McGinleyDynamic>},
    {"Kama", &build_kama},
    {"Jma", &build_jma},
    {"GeneralizedDema", &build_generalized_dema},
    {"HoltWinters", &build_holt_winters},
    {"GeometricMa", &build_period<GeometricMa>},
    {"MedianMa", &build_period<MedianMa>},
    {"SineWeightedMa", &build_period<SineWeightedMa>},
    {"Alma", &build_alma},
    {"Evwma", &build_period<Evwma>},
    {"Vwma", &build_period<Vwma>},
    {"Alligator", &build_alligator},
    {"LinearRegression", &build_period<LinearRegression>},
    {"LinRegAngle", &build_period<LinRegAngle>},
    {"LinRegIntercept", &build_period<LinRegIntercept>},
    {"LinRegSlope", &build_period<LinRegSlope>},
    {"Tsf", &build_period<Tsf>},
    {"TsfOscillator", &build_period<TsfOscillator>},
    {"CorrelationTrendIndicator", &build_period<CorrelationTrendIndicator>},
    {"LinRegChannel", &build_linreg_channel},
};

}  // namespace

std::span<const Entry> average_entries() { return kEntries; }

}  // namespace fendro::registry
