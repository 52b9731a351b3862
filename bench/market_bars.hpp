// Bars for the indicator benchmarks: a random walk of candles where every bar
// also carries a reference value, 0 to 4 trade prints, a five-level order
// book, a derivatives tick and a cross-section of 100 instruments, so that
// every key, whatever it is fed, does its full work on every bar.
#pragma once

#include <cstdint>
#include <vector>

#include "fendro/market/bar_snapshot.hpp"
#include "fendro/market/records.hpp"

namespace fendro::bench {

struct Bar {
  Candle candle;
  double reference = 0.0;
  std::vector<Trade> trades;
  OrderBook book;
  DerivativesTick derivatives;
  CrossSection cross;

  BarSnapshot snapshot() const {
    BarSnapshot s;
    s.candle = &candle;
    s.reference = reference;
    s.trades = trades;
    s.order_book = &book;
    s.derivatives = &derivatives;
    s.cross_section = &cross;
    return s;
  }
};

// The least memory a bar of make_bars takes: itself, its cross-section and
// its snapshot (its book and trades left out).
constexpr double kLeastBarBytes = sizeof(Bar) + 100 * sizeof(CrossSectionEntry) + sizeof(BarSnapshot);

// splitmix64, uniform in [0, 1): the same bars on every platform.
class Uniform {
 public:
  explicit Uniform(std::uint64_t seed) : s_(seed) {}
  double operator()() {
    std::uint64_t z = (s_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return static_cast<double>((z ^ (z >> 31)) >> 11) * 0x1.0p-53;
  }

 private:
  std::uint64_t s_;
};

// Bar i of the walk into `b` (the price and the reference carried from bar
// to bar). With `whole` false only the candle is kept, from the same draws.
inline void next_bar(Uniform& u, double& price, double& ref, std::size_t i, Bar& b, bool whole) {
  const double open = price;
  const double close = open * (1.0 + (u() - 0.5) * 0.02);
  const double high = (open > close ? open : close) * (1.0 + u() * 0.005);
  const double low = (open < close ? open : close) * (1.0 - u() * 0.005);
  const std::int64_t time = static_cast<std::int64_t>(i) * 60'000;
  b.candle = Candle{time, open, high, low, close, 100.0 + u() * 1000.0};
  price = close;
  ref *= 1.0 + (u() - 0.5) * 0.02;
  b.reference = ref;
  const auto prints = static_cast<std::size_t>(u() * 5.0);
  for (std::size_t k = 0; k < prints; ++k) {
    const Trade t{low + (high - low) * u(), 0.01 + u() * 5.0, time + static_cast<std::int64_t>(k) * 1000,
                  static_cast<std::uint8_t>(u() < 0.5)};
    if (whole) b.trades.push_back(t);
  }
  for (int k = 1; k <= 5; ++k) {
    const double bid = 1.0 + u() * 10.0;
    const double ask = 1.0 + u() * 10.0;
    if (!whole) continue;
    b.book.bids.push_back({close * (1.0 - 0.0005 * k), bid});
    b.book.asks.push_back({close * (1.0 + 0.0005 * k), ask});
  }
  DerivativesTick& d = b.derivatives;
  d.funding_rate = (u() - 0.5) * 0.001;
  d.mark_price = close * (1.0 + (u() - 0.5) * 0.001);
  d.index_price = close;
  d.future_price = close * (1.0 + u() * 0.01);
  d.open_interest = 1e6 * (1.0 + u());
  d.longs = 0.3 + u() * 0.4;
  d.shorts = 1.0 - d.longs;
  d.taker_buy_volume = u() * 500.0;
  d.taker_sell_volume = u() * 500.0;
  d.long_liquidations = u() < 0.1 ? u() * 1e4 : 0.0;
  d.short_liquidations = u() < 0.1 ? u() * 1e4 : 0.0;
  for (int k = 0; k < 100; ++k) {
    CrossSectionEntry e;
    e.change = u() - 0.5;
    e.volume = u() * 1e4;
    e.new_high = u() < 0.25;
    e.new_low = u() < 0.25;
    e.above_ma = u() < 0.25;
    e.bullish = u() < 0.25;
    if (whole) b.cross.entries.push_back(e);
  }
}

inline std::vector<Bar> make_bars(std::size_t n, std::uint64_t seed) {
  Uniform u(seed);
  std::vector<Bar> bars(n);
  double price = 100.0;
  double ref = 50.0;
  for (std::size_t i = 0; i < n; ++i) next_bar(u, price, ref, i, bars[i], true);
  return bars;
}

// Candle i (from 0) of a market halted after `last`: every price at its
// close, volume 0, a minute apart.
inline Candle halted_candle(const Candle& last, std::size_t i) {
  const double p = last.close;
  return Candle{last.time + static_cast<std::int64_t>(i + 1) * 60'000, p, p, p, p, 0.0};
}

// The candles of make_bars(n, seed) alone, without the memory of the rest.
inline std::vector<Candle> make_candles(std::size_t n, std::uint64_t seed) {
  Uniform u(seed);
  std::vector<Candle> candles(n);
  double price = 100.0;
  double ref = 50.0;
  Bar b;
  for (std::size_t i = 0; i < n; ++i) {
    next_bar(u, price, ref, i, b, false);
    candles[i] = b.candle;
  }
  return candles;
}

}  // namespace fendro::bench
