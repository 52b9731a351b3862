#include "fendro/indicators/orderflow/order_flow_imbalance.hpp"

#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {
namespace {

// 1 when the condition holds, else 0, as a factor: the sizes are unchecked,
// so the product (not a choice between size and 0) keeps their NaN and sign.
double indicator(bool c) { return c ? 1.0 : 0.0; }

}  // namespace

Result<OrderFlowImbalance, IndicatorError> OrderFlowImbalance::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return OrderFlowImbalance(period);
}

std::optional<double> OrderFlowImbalance::update(const BarSnapshot& bar) {
  const OrderBook* book = bar.order_book;
  if (book == nullptr || book->bids.empty() || book->asks.empty()) return no_value();
  const Quotes now{book->bids.front(), book->asks.front()};
  if (!prev_) {
    prev_ = now;
    return no_value();
  }
  const Quotes was = *prev_;
  prev_ = now;
  const double e_bid = now.bid.size * indicator(now.bid.price >= was.bid.price) -
                       was.bid.size * indicator(now.bid.price <= was.bid.price);
  const double e_ask = now.ask.size * indicator(now.ask.price <= was.ask.price) -
                       was.ask.size * indicator(now.ask.price >= was.ask.price);
  const double flow = e_bid - e_ask;
  flows_.push(flow);
  no_flow_.push(flow);
  if (!flows_.is_full()) return no_value();
  if (no_flow_.holds_only_zero_copies(flows_.period())) [[unlikely]] return value_out(0.0);
  return value_out(flows_.sum());
}

}  // namespace fendro
