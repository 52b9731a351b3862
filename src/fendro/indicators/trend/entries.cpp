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
    {"Adx", Feed::Kline, build<Adx, U>, {14}},
    {"Adxr", Feed::Kline, build<Adxr, U>, {14}},
    {"Dx", Feed::Kline, build<Dx, U>, {14}},
    {"PlusDi", Feed::Kline, build<PlusDi, U>, {14}},
    {"MinusDi", Feed::Kline, build<MinusDi, U>, {14}},
    {"PlusDm", Feed::Kline, build<PlusDm, U>, {14}},
    {"MinusDm", Feed::Kline, build<MinusDm, U>, {14}},
    {"Aroon", Feed::Kline, build<Aroon, U>, {25}},
    {"AroonOscillator", Feed::Kline, build<AroonOscillator, U>, {25}},
    {"Psar", Feed::Kline, build<Psar, F, F, F>, {0.02, 0.02, 0.2}},
    {"SarExt", Feed::Kline, build<SarExt, F, F, F, F, F, F, F, F>, {0, 0, 0.02, 0.02, 0.2, 0.02, 0.02, 0.2}},
    {"VerticalHorizontalFilter", Feed::Kline, build<VerticalHorizontalFilter, U>, {28}},
    {"TrendStrengthIndex", Feed::Kline, build<TrendStrengthIndex, U>, {14}},
    {"Rwi", Feed::Kline, build<Rwi, U>, {14}},
    {"Vortex", Feed::Kline, build<Vortex, U>, {14}},
    {"TtmTrend", Feed::Kline, build<TtmTrend, U>, {6}},
    {"PolarizedFractalEfficiency", Feed::Kline, build<PolarizedFractalEfficiency, U, U>, {10, 5}},
    {"ElderImpulse", Feed::Kline, build<ElderImpulse, U, U, U, U>, {13, 12, 26, 9}},
    {"HiLoActivator", Feed::Kline, build<HiLoActivator, U>, {3}},
    {"TimeBasedStop", Feed::Kline, build<TimeBasedStop, U>, {20}},
    {"PercentageTrailingStop", Feed::Kline, build<PercentageTrailingStop, F>, {5}},
    {"RenkoTrailingStop", Feed::Kline, build<RenkoTrailingStop, F>, {2}},
    {"StepTrailingStop", Feed::Kline, build<StepTrailingStop, F>, {2}},
    {"ZigZag", Feed::Kline, build<ZigZag, F>, {0.05}},
    {"AtrTrailingStop", Feed::Kline, build<AtrTrailingStop, U, F>, {14, 3}},
    {"SuperTrend", Feed::Kline, build<SuperTrend, U, F>, {10, 3}},
    {"VoltyStop", Feed::Kline, build<VoltyStop, U, F>, {14, 3}},
    {"YoyoExit", Feed::Kline, build<YoyoExit, U, F>, {14, 3}},
    {"AtrRatchet", Feed::Kline, build<AtrRatchet, U, F, F>, {14, 3, 0.05}},
    {"Nrtr", Feed::Kline, build<Nrtr, F>, {2}},
    {"ChandelierExit", Feed::Kline, build<ChandelierExit, U, F>, {22, 3}},
    {"ChandeKrollStop", Feed::Kline, build_chande_kroll, {10, 1, 9}},
    {"DonchianStop", Feed::Kline, build<DonchianStop, U>, {20}},
    {"ElderSafeZone", Feed::Kline, build<ElderSafeZone, U, F>, {10, 2.5}},
    {"KaseDevStop", Feed::Kline, build<KaseDevStop, U, F>, {30, 2}},
    {"ModifiedMaStop", Feed::Kline, build<ModifiedMaStop, U>, {14}},
};

}  // namespace

std::span<const Entry> trend_entries() { return kEntries; }

}  // namespace fendro::registry
