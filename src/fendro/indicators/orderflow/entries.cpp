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
    {"CalendarSpread", build_plain<CalendarSpread>},
    {"FundingBasis", build_plain<FundingBasis>},
    {"FundingRate", build_plain<FundingRate>},
    {"LongShortRatio", build_plain<LongShortRatio>},
    {"OiToVolumeRatio", build_plain<OiToVolumeRatio>},
    {"PerpetualPremiumIndex", build_plain<PerpetualPremiumIndex>},
    {"TakerBuySellRatio", build_plain<TakerBuySellRatio>},
    {"TermStructureBasis", build_plain<TermStructureBasis>},
    {"LiquidationFeatures", build_plain<LiquidationFeatures>},
    {"OIWeighted", build_plain<OIWeighted>},
    {"OpenInterestDelta", build_plain<OpenInterestDelta>},
    {"FundingImpliedApr", build<FundingImpliedApr, F>},
    {"FundingRateMean", build<FundingRateMean, U>},
    {"FundingRateZScore", build<FundingRateZScore, U>},
    {"OIPriceDivergence", build<OIPriceDivergence, U>},
    {"OpenInterestMomentum", build<OpenInterestMomentum, U>},
    // candles with a reference value
    {"EstimatedLeverageRatio", build_plain<EstimatedLeverageRatio>},
    // order book
    {"DepthSlope", build_plain<DepthSlope>},
    {"Microprice", build_plain<Microprice>},
    {"OrderBookImbalanceFull", build_plain<OrderBookImbalanceFull>},
    {"OrderBookImbalanceTop1", build_plain<OrderBookImbalanceTop1>},
    {"QuotedSpread", build_plain<QuotedSpread>},
    {"OrderBookImbalanceTopN", build<OrderBookImbalanceTopN, U>},
    {"OrderFlowImbalance", build<OrderFlowImbalance, U>},
    // trades
    {"SignedVolume", build_plain<SignedVolume>},
    {"CumulativeVolumeDelta", build_plain<CumulativeVolumeDelta>},
    {"AmihudIlliquidity", build<AmihudIlliquidity, U>},
    {"Pin", build<Pin, U>},
    {"TradeImbalance", build<TradeImbalance, U>},
    {"RollMeasure", build<RollMeasure, U>},
    {"TradeSignAutocorrelation", build<TradeSignAutocorrelation, U>},
    {"Vpin", build<Vpin, F, U>},
    // trades with quotes
    {"EffectiveSpread", build_plain<EffectiveSpread>},
    {"RealizedSpread", build<RealizedSpread, U>},
    {"KylesLambda", build<KylesLambda, U>},
};

}  // namespace

std::span<const Entry> orderflow_entries() { return kEntries; }

}  // namespace fendro::registry
