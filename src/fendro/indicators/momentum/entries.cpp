// Registry entries of this family: one row per type key.
#include "fendro/indicators/momentum/candle_momentum.hpp"
#include "fendro/indicators/momentum/chande.hpp"
#include "fendro/indicators/momentum/detrended.hpp"
#include "fendro/indicators/momentum/fisher_transform.hpp"
#include "fendro/indicators/momentum/rate_of_change.hpp"
#include "fendro/indicators/momentum/rsi_family.hpp"
#include "fendro/indicators/momentum/rsi_variants.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

// Types built from one period.
template <class T>
BuildResult build_period(const Params& p) {
  FENDRO_TRY(n, p.usize(0));
  return box<T>(p, T::create(n));
}

// Types built from two counts.
template <class T>
BuildResult build_2(const Params& p) {
  FENDRO_TRY(a, p.usize(0));
  FENDRO_TRY(b, p.usize(1));
  return box<T>(p, T::create(a, b));
}

// Types built from three counts.
template <class T>
BuildResult build_3(const Params& p) {
  FENDRO_TRY(a, p.usize(0));
  FENDRO_TRY(b, p.usize(1));
  FENDRO_TRY(c, p.usize(2));
  return box<T>(p, T::create(a, b, c));
}

// Types built from one number.
template <class T>
BuildResult build_f64(const Params& p) {
  FENDRO_TRY(v, p.f64(0));
  return box<T>(p, T::create(v));
}

// Types without parameters (any list is accepted and ignored).
template <class T>
BuildResult build_plain(const Params&) {
  return IndicatorPtr(std::make_unique<T>());
}

template <LagMeasure K>
BuildResult build_lag(const Params& p) {
  FENDRO_TRY(n, p.usize(0));
  return box<RateOfChange>(p, RateOfChange::create(K, n));
}

BuildResult build_derivative_oscillator(const Params& p) {
  FENDRO_TRY(rsi, p.usize(0));
  FENDRO_TRY(e1, p.usize(1));
  FENDRO_TRY(e2, p.usize(2));
  FENDRO_TRY(sig, p.usize(3));
  return box<DerivativeOscillator>(p, DerivativeOscillator::create(rsi, e1, e2, sig));
}

BuildResult build_qqe(const Params& p) {
  FENDRO_TRY(rsi, p.usize(0));
  FENDRO_TRY(smoothing, p.usize(1));
  FENDRO_TRY(factor, p.f64(2));
  return box<Qqe>(p, Qqe::create(rsi, smoothing, factor));
}

static const Entry kEntries[] = {
    {"Rsi", build_period<Rsi>},
    {"FisherRsi", build_period<FisherRsi>},
    {"StochRsi", build_2<StochRsi>},
    {"DerivativeOscillator", build_derivative_oscillator},
    {"Qqe", build_qqe},
    {"ConnorsRsi", build_3<ConnorsRsi>},
    {"Rmi", build_2<Rmi>},
    {"AdaptiveRsi", build_period<AdaptiveRsi>},
    {"Rsx", build_period<Rsx>},
    {"AnchoredRsi", build_plain<AnchoredRsi>},
    {"LaguerreRsi", build_f64<LaguerreRsi>},
    {"Cmo", build_period<Cmo>},
    {"Vidya", build_2<Vidya>},
    {"DynamicMomentumIndex", build_period<DynamicMomentumIndex>},
    {"IntradayMomentumIndex", build_period<IntradayMomentumIndex>},
    {"Roc", build_lag<LagMeasure::Roc>},
    {"Rocp", build_lag<LagMeasure::Rocp>},
    {"Rocr", build_lag<LagMeasure::Rocr>},
    {"Rocr100", build_lag<LagMeasure::Rocr100>},
    {"Mom", build_lag<LagMeasure::Mom>},
    {"Cfo", build_period<Cfo>},
    {"Dpo", build_period<Dpo>},
    {"DisparityIndex", build_period<DisparityIndex>},
    {"FisherTransform", build_period<FisherTransform>},
    {"InverseFisherTransform", build_f64<InverseFisherTransform>},
    {"AwesomeOscillator", build_2<AwesomeOscillator>},
    {"AwesomeOscillatorHistogram", build_3<AwesomeOscillatorHistogram>},
    {"AcceleratorOscillator", build_3<AcceleratorOscillator>},
    {"ElderRay", build_period<ElderRay>},
    {"GatorOscillator", build_3<GatorOscillator>},
    {"BalanceOfPower", build_plain<BalanceOfPower>},
    {"Qstick", build_period<Qstick>},
};

}  // namespace

std::span<const Entry> momentum_entries() { return kEntries; }

}  // namespace fendro::registry
