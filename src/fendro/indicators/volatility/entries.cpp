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
    {"Atr", Feed::Kline, build<Atr, U>, {14}},
    {"Natr", Feed::Kline, build<Natr, U>, {14}},
    {"VolatilityRatio", Feed::Kline, build<VolatilityRatio, U>, {14}},
    {"AtrBands", Feed::Kline, build<AtrBands, U, F>, {14, 2}},
    {"EwmaVolatility", Feed::Kline, build<EwmaVolatility, F>, {0.94}},
    {"HighLowRange", Feed::Kline, build_plain<HighLowRange>, {}},
    {"TrueRange", Feed::Kline, build_plain<TrueRange>, {}},
    {"Donchian", Feed::Kline, build<Donchian, U>, {20}},
    {"FractalChaosBands", Feed::Kline, build<FractalChaosBands, U>, {2}},
    {"QuartileBands", Feed::Kline, build<QuartileBands, U>, {20}},
    {"RealizedVolatility", Feed::Kline, build<RealizedVolatility, U>, {20}},
    {"StdDev", Feed::Kline, build<StdDev, U>, {20}},
    {"UlcerIndex", Feed::Kline, build<UlcerIndex, U>, {14}},
    {"BipowerVariation", Feed::Kline, build<BipowerVariation, U>, {20}},
    {"RviVolatility", Feed::Kline, build<RviVolatility, U>, {10}},
    {"ChoppinessIndex", Feed::Kline, build<ChoppinessIndex, U>, {14}},
    {"DetrendedStdDev", Feed::Kline, build<DetrendedStdDev, U>, {20}},
    {"ProjectionBands", Feed::Kline, build<ProjectionBands, U>, {14}},
    {"BollingerBands", Feed::Kline, build<BollingerBands, U, F>, {20, 2}},
    {"BollingerBandwidth", Feed::Kline, build<BollingerBandwidth, U, F>, {20, 2}},
    {"PercentB", Feed::Kline, build<PercentB, U, F>, {20, 2}},
    {"MedianChannel", Feed::Kline, build<MedianChannel, U, F>, {20, 2}},
    {"HurstChannel", Feed::Kline, build<HurstChannel, U, F>, {20, 1.5}},
    {"AccelerationBands", Feed::Kline, build<AccelerationBands, U, F>, {20, 4}},
    {"MaEnvelope", Feed::Kline, build<MaEnvelope, U, F>, {20, 0.025}},
    {"StandardErrorBands", Feed::Kline, build<StandardErrorBands, U, F>, {21, 2}},
    {"BomarBands", Feed::Kline, build<BomarBands, U, F>, {40, 0.85}},
    {"JumpIndicator", Feed::Kline, build<JumpIndicator, U, F>, {20, 3}},
    {"DoubleBollinger", Feed::Kline, build<DoubleBollinger, U, F, F>, {20, 1, 2}},
    {"TtmSqueeze", Feed::Kline, build<TtmSqueeze, U, F, F>, {20, 2, 1.5}},
    {"Keltner", Feed::Kline, build<Keltner, U, U, F>, {20, 10, 2}},
    {"StarcBands", Feed::Kline, build<StarcBands, U, U, F>, {6, 15, 2}},
    {"ChaikinVolatility", Feed::Kline, build<ChaikinVolatility, U, U>, {10, 10}},
    {"MassIndex", Feed::Kline, build<MassIndex, U, U>, {9, 25}},
    {"WavePm", Feed::Kline, build<WavePm, U, U>, {14, 10}},
    {"VolatilityOfVolatility", Feed::Kline, build<VolatilityOfVolatility, U, U>, {20, 20}},
    {"GarmanKlassVolatility", Feed::Kline, build<GarmanKlassVolatility, U, U>, {20, 252}},
    {"ParkinsonVolatility", Feed::Kline, build<ParkinsonVolatility, U, U>, {20, 252}},
    {"RogersSatchellVolatility", Feed::Kline, build<RogersSatchellVolatility, U, U>, {20, 252}},
    {"HistoricalVolatility", Feed::Kline, build<HistoricalVolatility, U, U>, {20, 252}},
    {"YangZhangVolatility", Feed::Kline, build<YangZhangVolatility, U, U>, {20, 252}},
    {"AverageDailyRange", Feed::Kline, build<AverageDailyRange, U, I>, {5, 0}},
    {"Garch11", Feed::Kline, build<Garch11, F, F, F>, {1e-6, 0.1, 0.85}},
};

}  // namespace

std::span<const Entry> volatility_entries() { return kEntries; }

}  // namespace fendro::registry
