// Readings of one order book: depth imbalances over the best level, the
// first N levels and the whole book, the quoted spread, the microprice and
// the slope of cumulative depth. Levels are used as received (best first),
// unchecked. None keeps state; a snapshot without a book gives no value.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>

#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

namespace orderflow {

using BookFormula = double (*)(const OrderBook&);

// (B - A) / (B + A) over the sizes of the first `levels` levels of each side
// (an empty side adds nothing); 0 when B + A is not above zero.
double depth_imbalance(const OrderBook& book, std::uint64_t levels);

double top_imbalance(const OrderBook& book);
double full_imbalance(const OrderBook& book);
double quoted_spread_bps(const OrderBook& book);
double microprice(const OrderBook& book);
double depth_slope(const OrderBook& book);

// A value computed from the current book alone.
template <BookFormula Formula>
class BookReading final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override {
    if (bar.order_book == nullptr) return no_value();
    return value_out(Formula(*bar.order_book));
  }
  std::uint64_t warmup_period() const override { return 1; }
};

}  // namespace orderflow

// Best bid size against best ask size; 0 when a side is empty.
using OrderBookImbalanceTop1 = orderflow::BookReading<&orderflow::top_imbalance>;
// Depth imbalance over every level of both sides.
using OrderBookImbalanceFull = orderflow::BookReading<&orderflow::full_imbalance>;
// Best ask minus best bid in basis points of their midpoint; 0 when a side is empty.
using QuotedSpread = orderflow::BookReading<&orderflow::quoted_spread_bps>;
// The best prices weighted by the opposite side's best size; 0 when a side
// is empty, the midpoint when both best sizes are 0.
using Microprice = orderflow::BookReading<&orderflow::microprice>;
// Mean of the two sides' least-squares slopes of cumulative size against the
// distance from the midpoint; 0 when a side has fewer than two levels.
using DepthSlope = orderflow::BookReading<&orderflow::depth_slope>;

// Depth imbalance over the first N levels of each side.
class OrderBookImbalanceTopN final : public Indicator {
 public:
  static Result<OrderBookImbalanceTopN, IndicatorError> create(std::uint64_t levels);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  explicit OrderBookImbalanceTopN(std::uint64_t levels) : levels_(levels) {}
  std::uint64_t levels_;
};

}  // namespace fendro
