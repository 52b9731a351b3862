#include "reference/zero_stretches.hpp"

#include <algorithm>
#include <cmath>

namespace fendro::reference {
namespace {

constexpr std::int64_t kHour = 3'600'000;

// Powers of ten, exact, for the places a price or a size is quoted to.
constexpr double kTens[] = {1.0, 10.0, 100.0, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};

// x rounded to `decimals` places (cents and finer, up to 8), as prices and sizes are quoted.
double quoted(double x, int decimals) {
  const double scale = kTens[decimals];
  return std::round(x * scale) / scale;
}

// A price's places: mostly cents, now and then a tenth or a hundredth of one;
// whole tens near 20000 now and then, as a quote there often is.
int price_places(testing::SplitMix& rng, double level) {
  const double u = rng.unit();
  if (level > 1000.0 && u < 0.3) return -1;
  return u < 0.6 ? 2 : u < 0.8 ? 3 : 4;
}

// A size of 2 to 8 decimals, about `scale`.
double size_of(testing::SplitMix& rng, double scale) {
  const int places = 2 + static_cast<int>(rng.next() % 7);
  const double drawn = rng.unit() * scale;
  return std::max(quoted(drawn, places), 1.0 / kTens[places]);
}

// The book around `mid`: five levels a side, sizes about `size_scale` (all 1
// when it is 0), the same size at each depth on both sides when `balanced`.
OrderBook book_at(testing::SplitMix& rng, double mid, bool balanced, double size_scale) {
  OrderBook book;
  for (int k = 0; k < 5; ++k) {
    const double bid = size_scale > 0.0 ? size_of(rng, size_scale) : 1.0;
    const double ask = balanced ? bid : size_of(rng, size_scale);
    book.bids.push_back({quoted(mid * (1.0 - 0.0005 * (k + 1)), 4), bid});
    book.asks.push_back({quoted(mid * (1.0 + 0.0005 * (k + 1)), 4), ask});
  }
  return book;
}

// Prints inside the candle, `count` of them, sizes about `scale`.
std::vector<Trade> prints(testing::SplitMix& rng, const Candle& c, std::size_t count, double scale) {
  std::vector<Trade> out;
  for (std::size_t k = 0; k < count; ++k) {
    const double p = quoted(c.low + (c.high - c.low) * rng.unit(), 4);
    out.push_back(Trade{std::clamp(p, c.low, c.high), size_of(rng, scale), c.time + static_cast<std::int64_t>(k) * 1000,
                        static_cast<std::uint8_t>(rng.next() & 1)});
  }
  return out;
}

// A cross-section of 20 entries; `moves`: changes and new highs and lows
// drawn, else all zero; `volumes`: volumes drawn, else 0.
CrossSection cross_of(testing::SplitMix& rng, bool moves, bool volumes, const CrossSection* before) {
  CrossSection cs;
  for (std::size_t k = 0; k < 20; ++k) {
    CrossSectionEntry e;
    // Every draw is its own statement: the order of a call's arguments is the compiler's.
    if (moves) {
      const int places = 2 + static_cast<int>(rng.next() % 5);
      e.change = quoted((rng.unit() - 0.5) * 0.1, places);
    }
    e.volume = volumes ? size_of(rng, rng.unit() < 0.2 ? 1e5 : 10.0) : 0.0;
    e.new_high = moves && rng.unit() < 0.1;
    e.new_low = moves && rng.unit() < 0.1;
    e.above_ma = before && !moves ? before->entries[k].above_ma : rng.unit() < 0.5;
    e.bullish = e.change > 0.0;
    cs.entries.push_back(e);
  }
  return cs;
}

// The derivatives tick of a bar at `close`; `trading`: taker volume,
// liquidations and funding drawn, else 0; `moves`: the tick's prices off the
// close, else at it.
DerivativesTick tick_of(testing::SplitMix& rng, double close, bool trading, bool moves, double open_interest) {
  DerivativesTick d;
  d.funding_rate = trading ? quoted((rng.unit() - 0.5) * 0.001, 6) : 0.0;
  d.mark_price = moves ? quoted(close * (1.0 + (rng.unit() - 0.5) * 0.001), 4) : close;
  d.index_price = close;
  d.future_price = moves ? quoted(close * (1.0 + rng.unit() * 0.01), 4) : close;
  d.open_interest = open_interest;
  d.longs = trading ? quoted(0.3 + rng.unit() * 0.4, 4) : 0.5;
  d.shorts = 1.0 - d.longs;
  d.taker_buy_volume = trading ? size_of(rng, 500.0) : 0.0;
  d.taker_sell_volume = trading ? size_of(rng, 500.0) : 0.0;
  d.long_liquidations = trading && rng.unit() < 0.2 ? size_of(rng, 1e4) : 0.0;
  d.short_liquidations = trading && rng.unit() < 0.2 ? size_of(rng, 1e4) : 0.0;
  return d;
}

// One moving candle about `level`: open and close within 5% of it, the
// shadows up to 3% beyond, each price on its own grid; a light volume,
// a heavy one (a thousand times more) one bar in five.
Candle moving_candle(testing::SplitMix& rng, double level, std::int64_t time) {
  const auto price = [&](double x) {
    const int places = price_places(rng, level);
    return places < 0 ? std::round(x / 10.0) * 10.0 : quoted(x, places);
  };
  const double open = price(level * (1.0 + (rng.unit() - 0.5) * 0.1));
  const double close = price(level * (1.0 + (rng.unit() - 0.5) * 0.1));
  const double high = std::max({open, close, price(std::max(open, close) * (1.0 + rng.unit() * 0.03))});
  const double low = std::min({open, close, price(std::min(open, close) * (1.0 - rng.unit() * 0.03))});
  const double volume = size_of(rng, rng.unit() < 0.2 ? 5000.0 : 5.0);
  return Candle{time, open, high, low, close, volume};
}

// A whole moving bar: the candle and every feed drawn about it.
testing::Bar moving_bar(testing::SplitMix& rng, double level, std::int64_t time, double reference) {
  testing::Bar b;
  b.candle = moving_candle(rng, level, time);
  const double scale = b.candle.volume > 50.0 ? 1000.0 : 1.0;
  b.trades = prints(rng, b.candle, rng.next() % 6, 5.0 * scale);
  b.book = book_at(rng, b.candle.close, false, 10.0 * scale);
  b.derivatives = tick_of(rng, b.candle.close, true, true, quoted(1e6 * (1.0 + rng.unit()), 3));
  b.cross = cross_of(rng, true, true, nullptr);
  b.reference = quoted(reference, 4);
  return b;
}

}  // namespace

std::string_view stretch_name(StretchKind kind) {
  switch (kind) {
    case StretchKind::kHalt: return "a halt";
    case StretchKind::kFlatVolume: return "flat prices, moving volume";
    case StretchKind::kQuietMoves: return "volume 0, moving close";
    case StretchKind::kMoving: return "a moving market";
  }
  return "";
}

std::vector<testing::Bar> residue_history(std::size_t n, std::uint64_t seed, double level) {
  testing::SplitMix rng(seed);
  const double other = level > 1000.0 ? 20.0 : 20000.0;
  std::vector<testing::Bar> bars;
  bars.reserve(n);
  std::int64_t time = 1'700'000'000'000;
  double reference = 50.0;
  for (std::size_t i = 0; i < n; ++i) {
    time += kHour;
    reference *= 1.0 + (rng.unit() - 0.5) * 0.02;
    // Levels mixed bar by bar: a sum of terms near the other level keeps
    // their rounding once they have left it. The last bar is at `level`.
    const double at = i + 1 < n && rng.unit() < 0.35 ? other : level;
    bars.push_back(moving_bar(rng, at, time, reference));
  }
  return bars;
}

std::vector<testing::Bar> stretch_after(const testing::Bar& last, StretchKind kind, std::size_t n,
                                        std::uint64_t seed) {
  testing::SplitMix rng(seed);
  std::vector<testing::Bar> bars;
  bars.reserve(n);
  std::int64_t time = last.candle.time;
  double close = last.candle.close;
  double reference = last.reference;
  const double open_interest = last.derivatives.open_interest;
  const CrossSection* before = &last.cross;
  for (std::size_t i = 0; i < n; ++i) {
    time += kHour;
    testing::Bar b;
    switch (kind) {
      case StretchKind::kHalt:
      case StretchKind::kFlatVolume: {
        const bool trading = kind == StretchKind::kFlatVolume;
        const double volume = trading ? size_of(rng, rng.unit() < 0.2 ? 5000.0 : 5.0) : 0.0;
        b.candle = Candle{time, close, close, close, close, volume};
        if (trading) {
          // Every print a buy: a window of the last trades' sold sizes holds only zeros.
          b.trades = prints(rng, b.candle, 1 + rng.next() % 5, 5.0);
          for (Trade& t : b.trades) t.side = 0;
        }
        b.book = book_at(rng, close, true, trading ? 10.0 : 0.0);
        b.derivatives = tick_of(rng, close, trading, false, open_interest);
        b.derivatives.longs = 0.5;
        b.derivatives.shorts = 0.5;
        b.derivatives.funding_rate = 0.0;
        b.derivatives.taker_sell_volume = 0.0;
        b.derivatives.short_liquidations = 0.0;
        b.cross = cross_of(rng, false, trading, before);
        b.reference = reference;
        break;
      }
      case StretchKind::kQuietMoves: {
        const double open = close;
        const double moved = open * (1.0 + (rng.unit() - 0.5) * 0.02);
        close = quoted(moved, 2 + static_cast<int>(rng.next() % 3));
        const double high = quoted(std::max(open, close) * (1.0 + rng.unit() * 0.005), 4);
        const double low = quoted(std::min(open, close) * (1.0 - rng.unit() * 0.005), 4);
        b.candle = Candle{time, open, std::max({open, close, high}), std::min({open, close, low}), close, 0.0};
        b.book = book_at(rng, close, true, 0.0);
        b.derivatives = tick_of(rng, close, false, true, open_interest);
        b.cross = cross_of(rng, true, false, nullptr);
        reference = quoted(reference * (1.0 + (rng.unit() - 0.5) * 0.02), 4);
        b.reference = reference;
        break;
      }
      case StretchKind::kMoving:
        reference *= 1.0 + (rng.unit() - 0.5) * 0.02;
        b = moving_bar(rng, last.candle.close, time, reference);
        break;
    }
    bars.push_back(std::move(b));
  }
  return bars;
}

}  // namespace fendro::reference
