// Registry entries of this family: one row per type key.
#include "fendro/indicators/orderflow/book_readings.hpp"
#include "fendro/indicators/orderflow/derivatives_readings.hpp"
#include "fendro/indicators/orderflow/derivatives_windows.hpp"
#include "fendro/indicators/orderflow/order_flow_imbalance.hpp"
#include "fendro/indicators/orderflow/trade_flow.hpp"
#include "fendro/indicators/orderflow/trade_liquidity.hpp"
#include "fendro/registry/entry_builders.hpp"
#include "fendro/registry/families.hpp"

namespace fendro::registry {
namespace {

constexpr Entry kEntries[] = {
    // derivatives
    {"CalendarSpread", Feed::Derivatives, build_plain<CalendarSpread>, {}},
    {"FundingBasis", Feed::Derivatives, build_plain<FundingBasis>, {}},
    {"FundingRate", Feed::Derivatives, build_plain<FundingRate>, {}},
    {"LongShortRatio", Feed::Derivatives, build_plain<LongShortRatio>, {}},
    {"OiToVolumeRatio", Feed::Derivatives, build_plain<OiToVolumeRatio>, {}},
    {"PerpetualPremiumIndex", Feed::Derivatives, build_plain<PerpetualPremiumIndex>, {}},
    {"TakerBuySellRatio", Feed::Derivatives, build_plain<TakerBuySellRatio>, {}},
    {"TermStructureBasis", Feed::Derivatives, build_plain<TermStructureBasis>, {}},
    {"LiquidationFeatures", Feed::Derivatives, build_plain<LiquidationFeatures>, {}},
    {"OIWeighted", Feed::Derivatives, build_plain<OIWeighted>, {}},
    {"OpenInterestDelta", Feed::Derivatives, build_plain<OpenInterestDelta>, {}},
    {"FundingImpliedApr", Feed::Derivatives, build<FundingImpliedApr, F>, {1095}},
    {"FundingRateMean", Feed::Derivatives, build<FundingRateMean, U>, {8}},
    {"FundingRateZScore", Feed::Derivatives, build<FundingRateZScore, U>, {8}},
    {"OIPriceDivergence", Feed::Derivatives, build<OIPriceDivergence, U>, {8}},
    {"OpenInterestMomentum", Feed::Derivatives, build<OpenInterestMomentum, U>, {8}},
    // candles with a reference value
    {"EstimatedLeverageRatio", Feed::Kline, build_plain<EstimatedLeverageRatio>, {}},
    // order book
    {"DepthSlope", Feed::Orderbook, build_plain<DepthSlope>, {}},
    {"Microprice", Feed::Orderbook, build_plain<Microprice>, {}},
    {"OrderBookImbalanceFull", Feed::Orderbook, build_plain<OrderBookImbalanceFull>, {}},
    {"OrderBookImbalanceTop1", Feed::Orderbook, build_plain<OrderBookImbalanceTop1>, {}},
    {"QuotedSpread", Feed::Orderbook, build_plain<QuotedSpread>, {}},
    {"OrderBookImbalanceTopN", Feed::Orderbook, build<OrderBookImbalanceTopN, U>, {3}},
    {"OrderFlowImbalance", Feed::Orderbook, build<OrderFlowImbalance, U>, {8}},
    // trades
    {"SignedVolume", Feed::Trade, build_plain<SignedVolume>, {}},
    {"CumulativeVolumeDelta", Feed::Trade, build_plain<CumulativeVolumeDelta>, {}},
    {"AmihudIlliquidity", Feed::Trade, build<AmihudIlliquidity, U>, {8}},
    {"Pin", Feed::Trade, build<Pin, U>, {8}},
    {"TradeImbalance", Feed::Trade, build<TradeImbalance, U>, {8}},
    {"RollMeasure", Feed::Trade, build<RollMeasure, U>, {8}},
    {"TradeSignAutocorrelation", Feed::Trade, build<TradeSignAutocorrelation, U>, {8}},
    {"Vpin", Feed::Trade, build<Vpin, F, U>, {5, 8}},
    // trades with quotes
    {"EffectiveSpread", Feed::TradeQuote, build_plain<EffectiveSpread>, {}},
    {"RealizedSpread", Feed::TradeQuote, build<RealizedSpread, U>, {8}},
    {"KylesLambda", Feed::TradeQuote, build<KylesLambda, U>, {8}},
};

}  // namespace

std::span<const Entry> orderflow_entries() { return kEntries; }

}  // namespace fendro::registry
