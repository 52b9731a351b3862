// Registry entries of this family: one row per type key.
#include "fendro/indicators/volume/money_flow.hpp"
#include "fendro/indicators/volume/profile_features.hpp"
#include "fendro/indicators/volume/volume_candles.hpp"
#include "fendro/indicators/volume/volume_lines.hpp"
#include "fendro/indicators/volume/volume_oscillators.hpp"
#include "fendro/indicators/volume/volume_profiles.hpp"
#include "fendro/indicators/volume/vwap.hpp"
#include "fendro/registry/entry_builders.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

constexpr Entry kEntries[] = {
    {"Obv", build_plain<Obv>},
    {"Adl", build_plain<Adl>},
    {"AdOscillator", build_plain<AdOscillator>},
    {"Pvi", build_plain<Pvi>},
    {"Nvi", build_plain<Nvi>},
    {"VolumePriceTrend", build_plain<VolumePriceTrend>},
    {"Wad", build_plain<Wad>},
    {"TradeVolumeIndex", build<TradeVolumeIndex, F>},
    {"IntradayIntensity", build_plain<IntradayIntensity>},
    {"MarketFacilitationIndex", build_plain<MarketFacilitationIndex>},
    {"BetterVolume", build<BetterVolume, U>},
    {"ChaikinMoneyFlow", build<ChaikinMoneyFlow, U>},
    {"ChaikinOscillator", build<ChaikinOscillator, U, U>},
    {"DemandIndex", build<DemandIndex, U>},
    {"EaseOfMovement", build<EaseOfMovement, U>},
    {"ForceIndex", build<ForceIndex, U>},
    {"Kvo", build<Kvo, U, U>},
    {"Mfi", build<Mfi, U>},
    {"Tsv", build<Tsv, U>},
    {"TwiggsMoneyFlow", build<TwiggsMoneyFlow, U>},
    {"VolumeOscillator", build<VolumeOscillator, U, U>},
    {"VolumeRsi", build<VolumeRsi, U>},
    {"Vzo", build<Vzo, U>},
    {"CandleVolume", build<CandleVolume, U>},
    {"Equivolume", build<Equivolume, U>},
    {"Vwap", build_plain<Vwap>},
    {"AnchoredVwap", build_plain<AnchoredVwap>},
    {"SessionVwap", build<SessionVwap, I>},
    {"RollingVwap", build<RollingVwap, U>},
    {"VwapStdDevBands", build<VwapStdDevBands, F>},
    {"VolumeProfile", build<VolumeProfile, U, U>},
    {"TpoProfile", build<TpoProfile, U, U>},
    {"ValueArea", build<ValueArea, U, U, F>},
    {"CompositeProfile", build<CompositeProfile, U, U, F>},
    {"HighLowVolumeNodes", build<HighLowVolumeNodes, U, U>},
    {"NakedPoc", build<NakedPoc, U, U>},
    {"ProfileShape", build<ProfileShape, U, U>},
    {"SinglePrints", build<SinglePrints, U, U>},
};

}  // namespace

std::span<const Entry> volume_entries() { return kEntries; }

}  // namespace fendro::registry
