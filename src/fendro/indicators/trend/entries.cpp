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
#include "fendro/registry/entry_builders.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

// The stop period (read third) goes to create before the multiplier.
BuildResult build_chande_kroll(const Params& p) {
  FENDRO_TRY(atr_period, p.usize(0));
  FENDRO_TRY(m, p.f64(1));
  FENDRO_TRY(stop_period, p.usize(2));
  return box<ChandeKrollStop>(p, ChandeKrollStop::create(atr_period, stop_period, m));
}

constexpr Entry kEntries[] = {
    {"Adx", build<Adx, U>},
    {"Adxr", build<Adxr, U>},
    {"Dx", build<Dx, U>},
    {"PlusDi", build<PlusDi, U>},
    {"MinusDi", build<MinusDi, U>},
    {"PlusDm", build<PlusDm, U>},
    {"MinusDm", build<MinusDm, U>},
    {"Aroon", build<Aroon, U>},
    {"AroonOscillator", build<AroonOscillator, U>},
    {"Psar", build<Psar, F, F, F>},
    {"SarExt", build<SarExt, F, F, F, F, F, F, F, F>},
    {"VerticalHorizontalFilter", build<VerticalHorizontalFilter, U>},
    {"TrendStrengthIndex", build<TrendStrengthIndex, U>},
    {"Rwi", build<Rwi, U>},
    {"Vortex", build<Vortex, U>},
    {"TtmTrend", build<TtmTrend, U>},
    {"PolarizedFractalEfficiency", build<PolarizedFractalEfficiency, U, U>},
    {"ElderImpulse", build<ElderImpulse, U, U, U, U>},
    {"HiLoActivator", build<HiLoActivator, U>},
    {"TimeBasedStop", build<TimeBasedStop, U>},
    {"PercentageTrailingStop", build<PercentageTrailingStop, F>},
    {"RenkoTrailingStop", build<RenkoTrailingStop, F>},
    {"StepTrailingStop", build<StepTrailingStop, F>},
    {"ZigZag", build<ZigZag, F>},
    {"AtrTrailingStop", build<AtrTrailingStop, U, F>},
    {"SuperTrend", build<SuperTrend, U, F>},
    {"VoltyStop", build<VoltyStop, U, F>},
    {"YoyoExit", build<YoyoExit, U, F>},
    {"AtrRatchet", build<AtrRatchet, U, F, F>},
    {"Nrtr", build<Nrtr, F>},
    {"ChandelierExit", build<ChandelierExit, U, F>},
    {"ChandeKrollStop", build_chande_kroll},
    {"DonchianStop", build<DonchianStop, U>},
    {"ElderSafeZone", build<ElderSafeZone, U, F>},
    {"KaseDevStop", build<KaseDevStop, U, F>},
    {"ModifiedMaStop", build<ModifiedMaStop, U>},
};

}  // namespace

std::span<const Entry> trend_entries() { return kEntries; }

}  // namespace fendro::registry
