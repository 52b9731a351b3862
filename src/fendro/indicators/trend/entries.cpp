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
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

// Types built from one period.
template <class T>
BuildResult build_period(const Params& p) {
  FENDRO_TRY(n, p.usize(0));
  return box<T>(p, T::create(n));
}

// Types built from one f64.
template <class T>
BuildResult build_f64(const Params& p) {
  FENDRO_TRY(v, p.f64(0));
  return box<T>(p, T::create(v));
}

// Types built from a period and a multiplier.
template <class T>
BuildResult build_period_multiplier(const Params& p) {
  FENDRO_TRY(n, p.usize(0));
  FENDRO_TRY(m, p.f64(1));
  return box<T>(p, T::create(n, m));
}

BuildResult build_psar(const Params& p) {
  FENDRO_TRY(start, p.f64(0));
  FENDRO_TRY(step, p.f64(1));
  FENDRO_TRY(max, p.f64(2));
  return box<Psar>(p, Psar::create(start, step, max));
}

BuildResult build_sar_ext(const Params& p) {
  double v[8];
  for (std::size_t i = 0; i < 8; ++i) {
    FENDRO_TRY(x, p.f64(i));
    v[i] = x;
  }
  return box<SarExt>(p, SarExt::create(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]));
}

BuildResult build_pfe(const Params& p) {
  FENDRO_TRY(n, p.usize(0));
  FENDRO_TRY(s, p.usize(1));
  return box<PolarizedFractalEfficiency>(p, PolarizedFractalEfficiency::create(n, s));
}

BuildResult build_elder_impulse(const Params& p) {
  FENDRO_TRY(e, p.usize(0));
  FENDRO_TRY(fast, p.usize(1));
  FENDRO_TRY(slow, p.usize(2));
  FENDRO_TRY(signal, p.usize(3));
  return box<ElderImpulse>(p, ElderImpulse::create(e, fast, slow, signal));
}

BuildResult build_atr_ratchet(const Params& p) {
  FENDRO_TRY(n, p.usize(0));
  FENDRO_TRY(m0, p.f64(1));
  FENDRO_TRY(ms, p.f64(2));
  return box<AtrRatchet>(p, AtrRatchet::create(n, m0, ms));
}

BuildResult build_chande_kroll(const Params& p) {
  FENDRO_TRY(atr_period, p.usize(0));
  FENDRO_TRY(m, p.f64(1));
  FENDRO_TRY(stop_period, p.usize(2));
  return box<ChandeKrollStop>(p, ChandeKrollStop::create(atr_period, stop_period, m));
}

const Entry kEntries[] = {
    {"Adx", &build_period<Adx>},
    {"Adxr", &build_period<Adxr>},
    {"Dx", &build_period<Dx>},
    {"PlusDi", &build_period<PlusDi>},
    {"MinusDi", &build_period<MinusDi>},
    {"PlusDm", &build_period<PlusDm>},
    {"MinusDm", &build_period<MinusDm>},
    {"Aroon", &build_period<Aroon>},
    {"AroonOscillator", &build_period<AroonOscillator>},
    {"Psar", &build_psar},
    {"SarExt", &build_sar_ext},
    {"VerticalHorizontalFilter", &build_period<VerticalHorizontalFilter>},
    {"TrendStrengthIndex", &build_period<TrendStrengthIndex>},
    {"Rwi", &build_period<Rwi>},
    {"Vortex", &build_period<Vortex>},
    {"TtmTrend", &build_period<TtmTrend>},
    {"PolarizedFractalEfficiency", &build_pfe},
    {"ElderImpulse", &build_elder_impulse},
    {"HiLoActivator", &build_period<HiLoActivator>},
    {"TimeBasedStop", &build_period<TimeBasedStop>},
    {"PercentageTrailingStop", &build_f64<PercentageTrailingStop>},
    {"RenkoTrailingStop", &build_f64<RenkoTrailingStop>},
    {"StepTrailingStop", &build_f64<StepTrailingStop>},
    {"ZigZag", &build_f64<ZigZag>},
    {"AtrTrailingStop", &build_period_multiplier<AtrTrailingStop>},
    {"SuperTrend", &build_period_multiplier<SuperTrend>},
    {"VoltyStop", &build_period_multiplier<VoltyStop>},
    {"YoyoExit", &build_period_multiplier<YoyoExit>},
    {"AtrRatchet", &build_atr_ratchet},
    {"Nrtr", &build_f64<Nrtr>},
    {"ChandelierExit", &build_period_multiplier<ChandelierExit>},
    {"ChandeKrollStop", &build_chande_kroll},
    {"DonchianStop", &build_period<DonchianStop>},
    {"ElderSafeZone", &build_period_multiplier<ElderSafeZone>},
    {"KaseDevStop", &build_period_multiplier<KaseDevStop>},
    {"ModifiedMaStop", &build_period<ModifiedMaStop>},
};

}  // namespace

std::span<const Entry> trend_entries() { return kEntries; }

}  // namespace fendro::registry
