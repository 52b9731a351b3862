// Registry entries of this family: one row per type key.
#include "fendro/indicators/volatility/atr_envelopes.hpp"
#include "fendro/indicators/volatility/average_daily_range.hpp"
#include "fendro/indicators/volatility/average_envelopes.hpp"
#include "fendro/indicators/volatility/bollinger.hpp"
#include "fendro/indicators/volatility/close_dispersion.hpp"
#include "fendro/indicators/volatility/extreme_channels.hpp"
#include "fendro/indicators/volatility/ohlc_volatility.hpp"
#include "fendro/indicators/volatility/projection_bands.hpp"
#include "fendro/indicators/volatility/quantile_channels.hpp"
#include "fendro/indicators/volatility/range_averages.hpp"
#include "fendro/indicators/volatility/range_volatility.hpp"
#include "fendro/indicators/volatility/return_volatility.hpp"
#include "fendro/indicators/volatility/rvi_volatility.hpp"
#include "fendro/indicators/volatility/ttm_squeeze.hpp"
#include "fendro/registry/entry_builders.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

constexpr Entry kEntries[] = {
    {"Atr", build<Atr, U>},
    {"Natr", build<Natr, U>},
    {"VolatilityRatio", build<VolatilityRatio, U>},
    {"AtrBands", build<AtrBands, U, F>},
    {"EwmaVolatility", build<EwmaVolatility, F>},
    {"HighLowRange", build_plain<HighLowRange>},
    {"TrueRange", build_plain<TrueRange>},
    {"Donchian", build<Donchian, U>},
    {"FractalChaosBands", build<FractalChaosBands, U>},
    {"QuartileBands", build<QuartileBands, U>},
    {"RealizedVolatility", build<RealizedVolatility, U>},
    {"StdDev", build<StdDev, U>},
    {"UlcerIndex", build<UlcerIndex, U>},
    {"BipowerVariation", build<BipowerVariation, U>},
    {"RviVolatility", build<RviVolatility, U>},
    {"ChoppinessIndex", build<ChoppinessIndex, U>},
    {"DetrendedStdDev", build<DetrendedStdDev, U>},
    {"ProjectionBands", build<ProjectionBands, U>},
    {"BollingerBands", build<BollingerBands, U, F>},
    {"BollingerBandwidth", build<BollingerBandwidth, U, F>},
    {"PercentB", build<PercentB, U, F>},
    {"MedianChannel", build<MedianChannel, U, F>},
    {"HurstChannel", build<HurstChannel, U, F>},
    {"AccelerationBands", build<AccelerationBands, U, F>},
    {"MaEnvelope", build<MaEnvelope, U, F>},
    {"StandardErrorBands", build<StandardErrorBands, U, F>},
    {"BomarBands", build<BomarBands, U, F>},
    {"JumpIndicator", build<JumpIndicator, U, F>},
    {"DoubleBollinger", build<DoubleBollinger, U, F, F>},
    {"TtmSqueeze", build<TtmSqueeze, U, F, F>},
    {"Keltner", build<Keltner, U, U, F>},
    {"StarcBands", build<StarcBands, U, U, F>},
    {"ChaikinVolatility", build<ChaikinVolatility, U, U>},
    {"MassIndex", build<MassIndex, U, U>},
    {"WavePm", build<WavePm, U, U>},
    {"VolatilityOfVolatility", build<VolatilityOfVolatility, U, U>},
    {"GarmanKlassVolatility", build<GarmanKlassVolatility, U, U>},
    {"ParkinsonVolatility", build<ParkinsonVolatility, U, U>},
    {"RogersSatchellVolatility", build<RogersSatchellVolatility, U, U>},
    {"HistoricalVolatility", build<HistoricalVolatility, U, U>},
    {"YangZhangVolatility", build<YangZhangVolatility, U, U>},
    {"AverageDailyRange", build<AverageDailyRange, U, I>},
    {"Garch11", build<Garch11, F, F, F>},
};

}  // namespace

std::span<const Entry> volatility_entries() { return kEntries; }

}  // namespace fendro::registry
