#include "fendro/indicators/orderflow/book_readings.hpp"

#include <algorithm>
#include <span>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

namespace orderflow {
namespace {

double side_depth(std::span<const BookLevel> side, std::uint64_t levels) {
  const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(levels, side.size()));
  double sum = -0.0;
  for (std::size_t i = 0; i < n; ++i) sum = sum + side[i].size;
  return sum;
}

bool one_side_empty(const OrderBook& book) { return book.bids.empty() || book.asks.empty(); }

// Least-squares slope of cumulative size (y) against the distance of each
// level from the midpoint (x); `sign` +1 measures bids (mid - price), -1 asks.
double side_slope(std::span<const BookLevel> side, double mid, double sign) {
  double sx = 0.0;
  double sy = 0.0;
  double sxy = 0.0;
  double sxx = 0.0;
  double cumulative = 0.0;
  for (const BookLevel& level : side) {
    cumulative = cumulative + level.size;
    const double x = sign > 0.0 ? mid - level.price : level.price - mid;
    sx = sx + x;
    sy = sy + cumulative;
    sxy = sxy + x * cumulative;
    sxx = sxx + x * x;
  }
  const double n = static_cast<double>(side.size());
  const double denominator = n * sxx - sx * sx;
  if (denominator == 0.0) return 0.0;
  return (n * sxy - sx * sy) / denominator;
}

}  // namespace

double depth_imbalance(const OrderBook& book, std::uint64_t levels) {
  const double b = side_depth(book.bids, levels);
  const double a = side_depth(book.asks, levels);
  const double total = b + a;
  return total > 0.0 ? (b - a) / total : 0.0;
}

double top_imbalance(const OrderBook& book) {
  if (one_side_empty(book)) return 0.0;
  const double b = book.bids.front().size;
  const double a = book.asks.front().size;
  return b + a > 0.0 ? (b - a) / (b + a) : 0.0;
}

double full_imbalance(const OrderBook& book) {
  return depth_imbalance(book, std::numeric_limits<std::uint64_t>::max());
}

double quoted_spread_bps(const OrderBook& book) {
  if (one_side_empty(book)) return 0.0;
  const double bid = book.bids.front().price;
  const double ask = book.asks.front().price;
  return (ask - bid) / midpoint(bid, ask) * 10000.0;
}

double microprice(const OrderBook& book) {
  if (one_side_empty(book)) return 0.0;
  const BookLevel& bid = book.bids.front();
  const BookLevel& ask = book.asks.front();
  const double sizes = bid.size + ask.size;
  if (sizes > 0.0) return (bid.price * ask.size + ask.price * bid.size) / sizes;
  return midpoint(bid.price, ask.price);
}

double depth_slope(const OrderBook& book) {
  if (one_side_empty(book)) return 0.0;
  const double mid = midpoint(book.bids.front().price, book.asks.front().price);
  if (book.bids.size() == 1 || book.asks.size() == 1) return 0.0;
  return midpoint(side_slope(book.bids, mid, 1.0), side_slope(book.asks, mid, -1.0));
}

}  // namespace orderflow

Result<OrderBookImbalanceTopN, IndicatorError> OrderBookImbalanceTopN::create(
    std::uint64_t levels) {
  FENDRO_CHECK(check_period(levels));
  return OrderBookImbalanceTopN(levels);
}

std::optional<double> OrderBookImbalanceTopN::update(const BarSnapshot& bar) {
  if (bar.order_book == nullptr) return no_value();
  return value_out(orderflow::depth_imbalance(*bar.order_book, levels_));
}

}  // namespace fendro
