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
    {"Obv", Feed::Kline, build_plain<Obv>, {}},
    {"Adl", Feed::Kline, build_plain<Adl>, {}},
    {"AdOscillator", Feed::Kline, build_plain<AdOscillator>, {}},
    {"Pvi", Feed::Kline, build_plain<Pvi>, {}},
    {"Nvi", Feed::Kline, build_plain<Nvi>, {}},
    {"VolumePriceTrend", Feed::Kline, build_plain<VolumePriceTrend>, {}},
    {"Wad", Feed::Kline, build_plain<Wad>, {}},
    {"TradeVolumeIndex", Feed::Kline, build<TradeVolumeIndex, F>, {0.01}},
    {"IntradayIntensity", Feed::Kline, build_plain<IntradayIntensity>, {}},
    {"MarketFacilitationIndex", Feed::Kline, build_plain<MarketFacilitationIndex>, {}},
    {"BetterVolume", Feed::Kline, build<BetterVolume, U>, {20}},
    {"ChaikinMoneyFlow", Feed::Kline, build<ChaikinMoneyFlow, U>, {20}},
    {"ChaikinOscillator", Feed::Kline, build<ChaikinOscillator, U, U>, {3, 10}},
    {"DemandIndex", Feed::Kline, build<DemandIndex, U>, {10}},
    {"EaseOfMovement", Feed::Kline, build<EaseOfMovement, U>, {14}},
    {"ForceIndex", Feed::Kline, build<ForceIndex, U>, {13}},
    {"Kvo", Feed::Kline, build<Kvo, U, U>, {34, 55}},
    {"Mfi", Feed::Kline, build<Mfi, U>, {14}},
    {"Tsv", Feed::Kline, build<Tsv, U>, {13}},
    {"TwiggsMoneyFlow", Feed::Kline, build<TwiggsMoneyFlow, U>, {21}},
    {"VolumeOscillator", Feed::Kline, build<VolumeOscillator, U, U>, {5, 10}},
    {"VolumeRsi", Feed::Kline, build<VolumeRsi, U>, {14}},
    {"Vzo", Feed::Kline, build<Vzo, U>, {14}},
    {"CandleVolume", Feed::Kline, build<CandleVolume, U>, {20}},
    {"Equivolume", Feed::Kline, build<Equivolume, U>, {20}},
    {"Vwap", Feed::Kline, build_plain<Vwap>, {}},
    {"AnchoredVwap", Feed::Kline, build_plain<AnchoredVwap>, {}},
    {"SessionVwap", Feed::Kline, build<SessionVwap, I>, {0}},
    {"RollingVwap", Feed::Kline, build<RollingVwap, U>, {20}},
    {"VwapStdDevBands", Feed::Kline, build<VwapStdDevBands, F>, {2}},
    {"VolumeProfile", Feed::Kline, build<VolumeProfile, U, U>, {20, 24}},
    {"TpoProfile", Feed::Kline, build<TpoProfile, U, U>, {20, 24}},
    {"ValueArea", Feed::Kline, build<ValueArea, U, U, F>, {20, 24, 0.7}},
    {"CompositeProfile", Feed::Kline, build<CompositeProfile, U, U, F>, {20, 24, 0.7}},
    {"HighLowVolumeNodes", Feed::Kline, build<HighLowVolumeNodes, U, U>, {20, 24}},
    {"NakedPoc", Feed::Kline, build<NakedPoc, U, U>, {20, 24}},
    {"ProfileShape", Feed::Kline, build<ProfileShape, U, U>, {20, 24}},
    {"SinglePrints", Feed::Kline, build<SinglePrints, U, U>, {20, 24}},
};

}  // namespace

std::span<const Entry> volume_entries() { return kEntries; }

}  // namespace fendro::registry
