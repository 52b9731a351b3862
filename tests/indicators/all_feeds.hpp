// A long series of bars that carry every feed: the candle, the reference
// value of pair types, trades, an order book, a derivatives tick and a
// cross-section. The fingerprint digests every key over it, and the
// indicator reference reads each type's named outputs off it; both run
// every key over the same walk halted.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "fendro/market/bar_snapshot.hpp"
#include "fendro/market/records.hpp"
#include "indicators/series.hpp"

namespace fendro::testing {

// Everything one bar carries, for every feed.
struct Bar {
  Candle candle;
  double reference = 0.0;
  std::vector<Trade> trades;
  OrderBook book;
  DerivativesTick derivatives;
  CrossSection cross;
};

// A random walk with regimes that reach the awkward paths: calm and wild
// stretches, runs of equal closes (ties, flat windows), zero volume, price
// levels from tiny to huge, session gaps, and a few candles every type must
// reject.
inline std::vector<Bar> make_bars(std::size_t n) {
  SplitMix rng(20261206);
  std::vector<Bar> bars(n);
  double price = 100.0;
  double ref = 50.0;
  std::int64_t time = 1'700'000'000'000;
  for (std::size_t i = 0; i < n; ++i) {
    Bar& b = bars[i];
    const std::size_t regime = (i / 997) % 6;
    const double vol = regime == 1 ? 0.05 : regime == 4 ? 0.002 : 0.01;
    const bool flat_run = regime == 2 && (i % 50) < 30;
    const double open = price;
    double close = flat_run ? open : open * (1.0 + (rng.unit() - 0.5) * 2.0 * vol);
    if (regime == 2 && !flat_run && rng.unit() < 0.5) close = open;  // step-like data
    const double hi_ext = flat_run ? 0.0 : rng.unit() * vol * 0.5;
    const double lo_ext = flat_run ? 0.0 : rng.unit() * vol * 0.5;
    double high = std::max(open, close) * (1.0 + hi_ext);
    double low = std::min(open, close) * (1.0 - lo_ext);
    double volume = regime == 3 && (i % 40) < 15 ? 0.0 : 100.0 + rng.unit() * 1000.0;
    time += (i % 500 == 499) ? 3 * 86'400'000 : 3'600'000;
    b.candle = Candle{time, open, high, low, close, volume};
    if (i % 1009 == 1008) b.candle.high = low * 0.5;          // high below low
    if (i % 1511 == 1510) b.candle.close = std::nan("");      // non-finite price
    if (i % 2003 == 2002) b.candle.volume = -1.0;             // negative volume
    price = close;
    if (regime == 5 && i % 997 == 0) price *= (rng.unit() < 0.5 ? 1e-6 : 1e6) / 1e3 + 1.0;

    ref *= 1.0 + (rng.unit() - 0.5) * 0.02;
    b.reference = 0.5 * ref + 0.5 * (ref * close / open);

    const std::size_t ntrades = static_cast<std::size_t>(rng.unit() * 6.0);
    for (std::size_t k = 0; k < ntrades; ++k) {
      const double p = low + (high - low) * rng.unit();
      b.trades.push_back(Trade{p, 0.01 + rng.unit() * 5.0,
                                       time + static_cast<std::int64_t>(k) * 1000,
                                       static_cast<std::uint8_t>(rng.next() & 1)});
    }
    const double mid = close;
    for (int k = 0; k < 5; ++k) {
      b.book.bids.push_back({mid * (1.0 - 0.0005 * (k + 1)), 1.0 + rng.unit() * 10.0});
      b.book.asks.push_back({mid * (1.0 + 0.0005 * (k + 1)), 1.0 + rng.unit() * 10.0});
    }
    DerivativesTick& d = b.derivatives;
    d.funding_rate = (rng.unit() - 0.5) * 0.001;
    d.mark_price = close * (1.0 + (rng.unit() - 0.5) * 0.001);
    d.index_price = close;
    d.future_price = close * (1.0 + rng.unit() * 0.01);
    d.open_interest = 1e6 * (1.0 + rng.unit());
    d.longs = 0.3 + rng.unit() * 0.4;
    d.shorts = 1.0 - d.longs;
    d.taker_buy_volume = rng.unit() * 500.0;
    d.taker_sell_volume = rng.unit() * 500.0;
    d.long_liquidations = rng.unit() < 0.1 ? rng.unit() * 1e4 : 0.0;
    d.short_liquidations = rng.unit() < 0.1 ? rng.unit() * 1e4 : 0.0;
    for (int k = 0; k < 20; ++k) {
      CrossSectionEntry e;
      e.change = (rng.unit() - 0.5) * 0.1;
      e.volume = rng.unit() * 1e5;
      e.new_high = rng.unit() < 0.1;
      e.new_low = rng.unit() < 0.1;
      e.above_ma = rng.unit() < 0.5;
      e.bullish = e.change > 0.0;
      b.cross.entries.push_back(e);
    }
  }
  return bars;
}

// A quiet bar at `price`: all four prices at it, volume 0, nothing traded
// (no prints, no taker volume, no liquidations); the book and the
// derivatives tick stand as they were on the last moving bar (`last`), and
// the reference and the cross-section are the walk's bar `i`'s.
inline Bar quiet_bar(const Bar& last, const Bar& other, std::int64_t time, double price) {
  Bar b = last;
  b.candle = Candle{time, price, price, price, price, 0.0};
  b.trades.clear();
  b.derivatives.taker_buy_volume = 0.0;
  b.derivatives.taker_sell_volume = 0.0;
  b.derivatives.long_liquidations = 0.0;
  b.derivatives.short_liquidations = 0.0;
  b.reference = other.reference;
  b.cross = other.cross;
  return b;
}

// The walk's first `moving` bars and the last finite close among them (100
// when there is none).
inline std::vector<Bar> moving_start(const std::vector<Bar>& walk, std::size_t moving, double& price) {
  std::vector<Bar> bars(walk.begin(), walk.begin() + static_cast<std::ptrdiff_t>(moving));
  price = 100.0;
  for (const Bar& b : bars) {
    if (std::isfinite(b.candle.close)) price = b.candle.close;
  }
  return bars;
}

// A market that stops: the walk's first `moving` bars, then `halted` bars of
// a halted market, every price the last finite close and volume 0. Nothing
// trades (no prints, no taker volume, no liquidations); the book and the
// derivatives tick stand as they were on the last moving bar; the reference
// and the cross-section (other instruments) are the walk's, bar for bar.
// Averages of true range, moves or volume decay towards 0 on the flat
// stretch, through the subnormal numbers down to the fixed point where a
// step gives back its own state.
inline std::vector<Bar> make_halted_bars(const std::vector<Bar>& walk, std::size_t moving,
                                         std::size_t halted) {
  double price = 0.0;
  std::vector<Bar> bars = moving_start(walk, moving, price);
  bars.reserve(moving + halted);
  const Bar last = bars.back();
  std::int64_t time = last.candle.time;
  for (std::size_t i = 0; i < halted; ++i) {
    time += 3'600'000;
    bars.push_back(quiet_bar(last, walk[(moving + i) % walk.size()], time, price));
  }
  return bars;
}

// The snapshot of a bar with every part it carries.
inline BarSnapshot snapshot_of(const Bar& b) {
  BarSnapshot snap;
  snap.candle = &b.candle;
  snap.reference = b.reference;
  snap.trades = b.trades;
  snap.order_book = &b.book;
  snap.derivatives = &b.derivatives;
  snap.cross_section = &b.cross;
  return snap;
}

}  // namespace fendro::testing
