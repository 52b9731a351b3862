// What the trade-flow types take from a bar: the aggressor sign of a print,
// the quote midpoint (from the book, else the close) and the walk over the
// bar's prints in which every print updates the state.
#pragma once

#include <optional>
#include <span>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/market/bar_snapshot.hpp"
#include "fendro/market/records.hpp"

namespace fendro::orderflow {

// A sell when bit 0 of the side is set, else a buy.
inline bool is_sell(const Trade& t) { return (t.side & 1U) != 0; }

// +1 for a buy, -1 for a sell.
inline double trade_sign(const Trade& t) { return is_sell(t) ? -1.0 : 1.0; }

inline double signed_size(const Trade& t) { return trade_sign(t) * t.size; }

// The midpoint of the best bid and ask when the book has both sides, else
// the close; one mid serves every print of the bar. Usable only when finite
// and above zero.
inline std::optional<double> quote_mid(const BarSnapshot& bar) {
  double mid = 0.0;
  if (bar.order_book != nullptr && !bar.order_book->bids.empty() &&
      !bar.order_book->asks.empty()) {
    mid = midpoint(bar.order_book->bids.front().price, bar.order_book->asks.front().price);
  } else if (bar.candle != nullptr) {
    mid = bar.candle->close;
  }
  if (!positive_finite(mid)) return std::nullopt;
  return mid;
}

// 2 d (p - mid) / base in basis points: the spread a print of sign d at
// price p paid against `mid`.
inline double spread_bps(double d, double price, double mid, double base) {
  return 2.0 * d * (price - mid) / base * 10000.0;
}

// Feeds every print of the bar, oldest first, to `on_trade` (which returns
// the print's outcome) and answers the outcome of the last one; no prints,
// no value.
template <class F>
std::optional<double> each_trade(std::span<const Trade> trades, F&& on_trade) {
  std::optional<double> out;
  for (const Trade& t : trades) out = on_trade(t);
  return out;
}

}  // namespace fendro::orderflow
