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
    {"CalendarSpread", Feed::Derivatives, build_plain<CalendarSpread>, {},
     {"",
      "The future price's premium over the mark price, (future - mark) / mark, as a fraction.",
      "1"}},
    {"FundingBasis", Feed::Derivatives, build_plain<FundingBasis>, {},
     {"",
      "The mark price's premium over the index price, (mark - index) / index, as a fraction "
      "(the same values as `PerpetualPremiumIndex`).",
      "1"}},
    {"FundingRate", Feed::Derivatives, build_plain<FundingRate>, {},
     {"",
      "The tick's funding rate.",
      "1"}},
    {"LongShortRatio", Feed::Derivatives, build_plain<LongShortRatio>, {},
     {"",
      "Longs divided by shorts (0 when shorts are 0).",
      "1"}},
    {"OiToVolumeRatio", Feed::Derivatives, build_plain<OiToVolumeRatio>, {},
     {"",
      "Open interest divided by taker buy plus taker sell volume (0 without volume).",
      "1"}},
    {"PerpetualPremiumIndex", Feed::Derivatives, build_plain<PerpetualPremiumIndex>, {},
     {"",
      "The mark price's premium over the index price, (mark - index) / index, as a fraction.",
      "1"}},
    {"TakerBuySellRatio", Feed::Derivatives, build_plain<TakerBuySellRatio>, {},
     {"",
      "Taker buy volume divided by taker sell volume (0 when the sell volume is 0).",
      "1"}},
    {"TermStructureBasis", Feed::Derivatives, build_plain<TermStructureBasis>, {},
     {"",
      "The future price's premium over the index price, (future - index) / index, as a fraction.",
      "1"}},
    {"LiquidationFeatures", Feed::Derivatives, build_plain<LiquidationFeatures>, {},
     {"",
      "The tick's long liquidation volume; the other outputs set it against the short "
      "liquidations.",
      "1"}},
    {"OIWeighted", Feed::Derivatives, build_plain<OIWeighted>, {},
     {"",
      "The open-interest-weighted mean mark price over every tick so far (the tick's mark price "
      "while the open interest adds up to 0).",
      "1"}},
    {"OpenInterestDelta", Feed::Derivatives, build_plain<OpenInterestDelta>, {},
     {"",
      "The change of open interest since the previous tick.",
      "2"}},
    {"FundingImpliedApr", Feed::Derivatives, build<FundingImpliedApr, F>, {1095},
     {"intervals_per_year (0, inf)",
      "The funding rate annualised, funding rate x `intervals_per_year`, as a fraction (not in "
      "percent).",
      "1"}},
    {"FundingRateMean", Feed::Derivatives, build<FundingRateMean, U>, {8},
     {"period [1, MAX]",
      "The mean funding rate of the last `period` ticks.",
      "period"}},
    {"FundingRateZScore", Feed::Derivatives, build<FundingRateZScore, U>, {8},
     {"period [1, MAX]",
      "The z-score of the tick's funding rate against the mean and population standard deviation "
      "of the last `period` rates, its own included (0 when they are all equal).",
      "period"}},
    {"OIPriceDivergence", Feed::Derivatives, build<OIPriceDivergence, U>, {8},
     {"period [1, MAX]",
      "The relative change of open interest over `period` ticks (0 when the earlier value is 0) "
      "minus the relative change of the mark price over them, as fractions.",
      "period + 1"}},
    {"OpenInterestMomentum", Feed::Derivatives, build<OpenInterestMomentum, U>, {8},
     {"period [1, MAX]",
      "The percent change of open interest over `period` ticks (0 when the earlier value is not "
      "positive).",
      "period + 1"}},
    // candles with a reference value
    {"EstimatedLeverageRatio", Feed::Kline, build_plain<EstimatedLeverageRatio>, {},
     {"",
      "The close divided by the bar's reference value (0 when the reference is not positive).",
      "1"}},
    // order book
    {"DepthSlope", Feed::Orderbook, build_plain<DepthSlope>, {},
     {"",
      "The mean of the bid and the ask side's least-squares slope of cumulative size against "
      "distance from the mid price over all their levels, in size per unit of price (0 when a "
      "side has fewer than two levels).",
      "1"}},
    {"Microprice", Feed::Orderbook, build_plain<Microprice>, {},
     {"",
      "The best quotes' prices weighted by the opposite sizes, (bid x ask size + ask x bid size) "
      "/ (bid size + ask size) (the mid when both sizes are 0, and 0 when a side is empty).",
      "1"}},
    {"OrderBookImbalanceFull", Feed::Orderbook, build_plain<OrderBookImbalanceFull>, {},
     {"",
      "(bid size - ask size) / (bid size + ask size) over every level of the book, -1 to 1 (an "
      "empty side counts as size 0; 0 for an empty book).",
      "1"}},
    {"OrderBookImbalanceTop1", Feed::Orderbook, build_plain<OrderBookImbalanceTop1>, {},
     {"",
      "(bid size - ask size) / (bid size + ask size) at the best quotes, -1 to 1 (0 when a side "
      "is empty).",
      "1"}},
    {"QuotedSpread", Feed::Orderbook, build_plain<QuotedSpread>, {},
     {"",
      "The best ask minus the best bid relative to their midpoint, in basis points (0 when a "
      "side is empty).",
      "1"}},
    {"OrderBookImbalanceTopN", Feed::Orderbook, build<OrderBookImbalanceTopN, U>, {3},
     {"book_levels [1, MAX]",
      "(bid size - ask size) / (bid size + ask size) over the first `book_levels` levels of each "
      "side, -1 to 1 (an empty side counts as size 0; 0 for an empty book).",
      "1"}},
    {"OrderFlowImbalance", Feed::Orderbook, build<OrderFlowImbalance, U>, {8},
     {"period [1, MAX]",
      "The order-flow imbalance of the best quotes summed over the last `period` book-to-book "
      "steps: each step adds the bid's size change (new size if the bid did not fall, less old "
      "size if it did not rise) and subtracts the ask's (new size if the ask did not rise, less "
      "old size if it did not fall); books with an empty side are skipped.",
      "period + 1"}},
    // trades
    {"SignedVolume", Feed::Trade, build_plain<SignedVolume>, {},
     {"",
      "The size of the bar's last trade, positive for a buy, negative for a sell.",
      "1"}},
    {"CumulativeVolumeDelta", Feed::Trade, build_plain<CumulativeVolumeDelta>, {},
     {"",
      "The running total of buy volume minus sell volume over every trade so far.",
      "1"}},
    {"AmihudIlliquidity", Feed::Trade, build<AmihudIlliquidity, U>, {8},
     {"period [1, MAX]",
      "Amihud illiquidity: the mean over the last `period` trade-to-trade steps of |log price "
      "change| / (price x size) of the later trade (trades of size 0 are skipped).",
      "period + 1"}},
    {"Pin", Feed::Trade, build<Pin, U>, {8},
     {"period [1, MAX]",
      "|number of buys - number of sells| / `period` over the last `period` trades, 0 to 1 "
      "(sizes are not used): a proxy of informed trading.",
      "period"}},
    {"TradeImbalance", Feed::Trade, build<TradeImbalance, U>, {8},
     {"period [1, MAX]",
      "(buy volume - sell volume) / (buy volume + sell volume) over the last `period` trades, "
      "-1 to 1 in exact arithmetic. The volumes are running sums (the newest trade added, the "
      "oldest taken away), which keep the rounding of trades that have left the window: after "
      "large trades, small ones can read past either end. A side without a trade in the window "
      "counts exactly 0, so trades of one side only read -1 or 1.",
      "period"}},
    {"RollMeasure", Feed::Trade, build<RollMeasure, U>, {8},
     {"period [3, MAX]",
      "Roll's spread estimate from the last `period` trade price changes, 2 sqrt(-autocovariance) "
      "(0 when the autocovariance is not negative), in price units.",
      "period + 1"}},
    {"TradeSignAutocorrelation", Feed::Trade, build<TradeSignAutocorrelation, U>, {8},
     {"period [2, MAX]",
      "The mean product of consecutive trade signs (+1 buy, -1 sell) over the last `period` "
      "trades, -1 to 1.",
      "period"}},
    {"Vpin", Feed::Trade, build<Vpin, F, U>, {5, 8},
     {"bucket_volume (0, inf); bucket_window [1, MAX]",
      "VPIN, 0 to 1, passing 1 by a unit in the last place when every bucket of the window is "
      "one-sided and their sum rounds up (at `bucket_window` 150 on trades some 1e18 times apart "
      "in size): the mean |buy - sell| volume of the last `bucket_window` completed buckets of "
      "`bucket_volume` each, divided by `bucket_volume`.",
      "1"}},
    // trades with quotes
    {"EffectiveSpread", Feed::TradeQuote, build_plain<EffectiveSpread>, {},
     {"",
      "Twice the signed distance of the bar's last trade price from the quote mid (the close "
      "without a book), relative to the mid, in basis points.",
      "1"}},
    {"RealizedSpread", Feed::TradeQuote, build<RealizedSpread, U>, {8},
     {"period [1, MAX]",
      "The realized spread of the trade `period` trades back: twice its signed distance from the "
      "current mid, relative to the mid at its time, in basis points (mids from the bar's best "
      "bid and ask, else its close).",
      "period + 1"}},
    {"KylesLambda", Feed::TradeQuote, build<KylesLambda, U>, {8},
     {"window [2, MAX]",
      "Kyle's lambda: the least-squares slope of the quote-mid change on the signed trade size "
      "over the last `window` trades, the mid being the bar's (best bid and ask, else the "
      "close), so only a bar's first trade sees it move (0 when the sizes do not vary).",
      "window + 1"}},
};

}  // namespace

std::span<const Entry> orderflow_entries() { return kEntries; }

}  // namespace fendro::registry
