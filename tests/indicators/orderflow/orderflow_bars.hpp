// Bars carrying a derivatives tick, an order book, trade prints or a
// reference value, built by hand or generated at random, and stepping
// indicators over them.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "fendro/indicators/indicator.hpp"
#include "fendro/market/bar_snapshot.hpp"
#include "fendro/market/records.hpp"
#include "../series.hpp"

namespace fendro::testing::orderflow {

inline Trade buy(double price, double size) { return Trade{price, size, 0, 0}; }
inline Trade sell(double price, double size) { return Trade{price, size, 0, 1}; }

// One bar with owned parts; `snapshot` points into it, so keep it alive.
struct Bar {
  Candle candle = flat(100.0);
  std::optional<DerivativesTick> tick;
  std::optional<OrderBook> book;
  std::vector<Trade> trades;
  std::optional<double> reference;

  BarSnapshot snapshot() const {
    BarSnapshot s;
    s.candle = &candle;
    s.derivatives = tick ? &*tick : nullptr;
    s.order_book = book ? &*book : nullptr;
    s.trades = trades;
    s.reference = reference;
    return s;
  }
};

inline std::optional<double> step(Indicator& ind, const Bar& b) { return ind.update(b.snapshot()); }

inline Bar tick_bar(const DerivativesTick& t) {
  Bar b;
  b.tick = t;
  return b;
}

inline Bar book_bar(std::vector<BookLevel> bids, std::vector<BookLevel> asks) {
  Bar b;
  b.book = OrderBook{std::move(bids), std::move(asks)};
  return b;
}

// Prints with the close as the quote mid (no book).
inline Bar trade_bar(std::vector<Trade> trades, double close = 100.0) {
  Bar b;
  b.candle = flat(close);
  b.trades = std::move(trades);
  return b;
}

// Bars carrying every part at once: a tick, a book of 1 to 5 levels a side
// around a random-walk close, 0 to 4 prints (bars without prints included)
// and a reference value. Sizes and prices are positive.
inline std::vector<Bar> random_bars(std::size_t n, std::uint64_t seed) {
  SplitMix rng(seed);
  const std::vector<Candle> closes = random_walk(n, seed);
  std::vector<Bar> out(n);
  for (std::size_t i = 0; i < n; ++i) {
    Bar& b = out[i];
    b.candle = closes[i];
    const double c = closes[i].close;
    DerivativesTick t;
    t.funding_rate = (rng.unit() - 0.5) * 1e-3;
    t.mark_price = c * (1.0 + (rng.unit() - 0.5) * 1e-3);
    t.index_price = c;
    t.future_price = c * (1.0 + rng.unit() * 1e-2);
    t.open_interest = 1e5 + rng.unit() * 1e4;
    t.longs = 1.0 + rng.unit();
    t.shorts = 1.0 + rng.unit();
    t.taker_buy_volume = 10.0 + rng.unit() * 100.0;
    t.taker_sell_volume = 10.0 + rng.unit() * 100.0;
    t.long_liquidations = rng.unit() * 5.0;
    t.short_liquidations = rng.unit() * 5.0;
    b.tick = t;
    OrderBook book;
    const auto levels = [&] { return 1 + static_cast<int>(rng.unit() * 5.0); };
    const double spread = c * (1e-4 + rng.unit() * 1e-3);
    for (int k = levels(), j = 0; j < k; ++j) {
      book.bids.push_back({c - spread * (j + 1), 1.0 + rng.unit() * 10.0});
    }
    for (int k = levels(), j = 0; j < k; ++j) {
      book.asks.push_back({c + spread * (j + 1), 1.0 + rng.unit() * 10.0});
    }
    b.book = std::move(book);
    const int prints = static_cast<int>(rng.unit() * 5.0);
    for (int j = 0; j < prints; ++j) {
      const double price = c * (1.0 + (rng.unit() - 0.5) * 2e-3);
      b.trades.push_back(Trade{price, 0.1 + rng.unit() * 5.0, 0,
                               static_cast<std::uint8_t>(rng.unit() < 0.5 ? 0 : 1)});
    }
    b.reference = c * (0.5 + rng.unit());
  }
  return out;
}

}  // namespace fendro::testing::orderflow
