#include "reference/scaled_series.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "indicators/series.hpp"
#include "reference/far_scale_series.hpp"

namespace fendro::reference {
namespace {

// `k` ticks times `bp` basis points, rounded half away from 0; on many
// ticks in two steps, so that 5e17 ticks times 5,000 does not overflow.
std::int64_t part_of(std::int64_t k, std::int64_t bp) {
  if (k < 1'000'000'000'000) {
    const std::int64_t scaled = k * bp;
    return (scaled + (scaled < 0 ? -5000 : 5000)) / 10'000;
  }
  const std::int64_t scaled = (k / 100) * bp;
  return (scaled + (scaled < 0 ? -50 : 50)) / 100;
}

// Prices on a whole number of ticks, kept between a quarter of and four
// times the start by mirroring a move that would leave that band.
class TickWalk {
 public:
  TickWalk(Scale scale, std::uint64_t seed) : rng_(seed) {
    int exponent = scale.decimals;
    for (double n = scale.near; n < 1.0; n *= 10.0) ++exponent;
    // 10^exponent by whole multiplications: exact for the exponents here (below 23).
    divisor_ = 1.0;
    for (int i = 0; i < exponent; ++i) divisor_ *= 10.0;
    start_ = static_cast<std::int64_t>(std::llround(scale.near * divisor_));
    ticks_ = start_;
  }
  double price(std::int64_t k) const { return static_cast<double>(k) / divisor_; }
  std::int64_t ticks() const { return ticks_; }
  // `k` moved by `bp` basis points up or down at random, down where up
  // would leave the band, up where down would.
  std::int64_t gapped(std::int64_t k, std::int64_t bp) {
    const std::int64_t move = part_of(k, bp);
    const std::int64_t first = draw(0, 1) ? k + move : k - move;
    return first >= start_ / 4 && first <= start_ * 4 ? first : 2 * k - first;
  }
  std::int64_t kept(std::int64_t k) const {
    if (k < start_ / 4) return start_ / 2 - k;
    if (k > start_ * 4) return start_ * 8 - k;
    return k;
  }
  // A whole number in [low, high].
  std::int64_t draw(std::int64_t low, std::int64_t high) {
    return low + static_cast<std::int64_t>(rng_.next() % static_cast<std::uint64_t>(high - low + 1));
  }
  // From 1 to 1,000 in hundredths: fractions, so that averages of volume
  // round.
  double volume() { return static_cast<double>(draw(100, 100'000)) / 100.0; }

  // A candle from open to a close `move` basis points away, on ticks, with
  // wicks of up to half a percent; `on` is +1 to close on the high, -1 on
  // the low, 0 for both wicks. A close on the high below the open opens at
  // the close (a gap down), as it does on the low above it.
  Candle step(std::int64_t open, std::int64_t move_bp, int on, double volume) {
    const std::int64_t close = kept(open + part_of(open, move_bp));
    if (on > 0) open = std::min(open, close);
    if (on < 0) open = std::max(open, close);
    const std::int64_t up = on > 0 ? 0 : part_of(close, draw(0, 50));
    const std::int64_t down = on < 0 ? 0 : part_of(close, draw(0, 50));
    ticks_ = close;
    return Candle{0, price(open), price(std::max(open, close) + up), price(std::min(open, close) - down),
                  price(close), volume};
  }
  Candle one_price(std::int64_t k, double volume) {
    ticks_ = k;
    const double p = price(k);
    return Candle{0, p, p, p, p, volume};
  }

 private:
  testing::SplitMix rng_;
  double divisor_ = 1.0;
  std::int64_t start_ = 0, ticks_ = 0;
};

double next_up(double p) { return std::nextafter(p, std::numeric_limits<double>::infinity()); }
double next_down(double p) { return std::nextafter(p, -std::numeric_limits<double>::infinity()); }

}  // namespace

std::vector<testing::Bar> scaled_walk(const std::vector<testing::Bar>& walk, Scale scale, std::uint64_t seed) {
  TickWalk w(scale, seed);
  double last = w.price(w.ticks());  // the close in the stretches off the ticks
  return with_walk_feeds(walk, kScaledWalkBars, [&](std::size_t i) {
    Candle c;
    const std::int64_t k = w.ticks();
    if (i < kOnHighAt) {
      c = w.step(k, w.draw(-100, 100), 0, w.volume());
    } else if (i < kOnLowAt) {
      c = w.step(k, w.draw(-30, 100), 1, w.volume());
    } else if (i < kOnePriceAt) {
      c = w.step(k, w.draw(-100, 30), -1, w.volume());
    } else if (i < kGapsAt) {
      c = w.one_price(w.kept(k + w.draw(-3, 3)), w.volume());
    } else if (i < kZeroVolumeAt) {
      std::int64_t open = k;
      if ((i - kGapsAt) % 10 == 0) open = w.gapped(k, w.draw(500, 5000));
      c = w.step(open, w.draw(-100, 100), 0, w.volume());
    } else if (i < kTickMovesAt) {
      c = w.step(k, w.draw(-100, 100), 0, 0.0);
    } else if (i < kUlpMovesAt) {
      const std::int64_t close = w.kept(k + w.draw(-1, 1));
      const Candle one = w.one_price(close, w.volume());
      const double open = w.price(k);
      c = Candle{0, open, std::max(open, one.close), std::min(open, one.close), one.close, one.volume};
    } else if (i < kUlpStepAt) {
      const double open = last;
      const std::int64_t d = w.draw(-1, 1);
      last = d > 0 ? next_up(open) : d < 0 ? next_down(open) : open;
      c = Candle{0, open, std::max(open, last), std::min(open, last), last, w.volume()};
    } else if (i < kUlpWideAt) {
      const double open = last;
      const std::size_t at = i - kUlpStepAt;
      if (at == 50) last = next_up(open);
      if (at == 75) last = next_down(open);
      c = Candle{0, open, std::max(open, last), std::min(open, last), last, w.volume()};
    } else {
      const double low = last, high = next_up(last);
      const double open = w.draw(0, 1) ? high : low;
      const double close = w.draw(0, 1) ? high : low;
      c = Candle{0, open, high, low, close, w.volume()};
    }
    if (i < kUlpMovesAt) last = c.close;
    return c;
  });
}

NamedBars straight_lines(const std::vector<testing::Bar>& walk, std::size_t runs, std::uint64_t seed) {
  testing::SplitMix rng(seed);
  double close = 23.05;
  std::int64_t cents = 2305, step = -2;
  std::size_t at = 0;
  std::vector<testing::Bar> bars = with_walk_feeds(walk, runs * kLineBars, [&](std::size_t i) {
    if (i % kLineBars == 0 && i > 0) {
      cents = 100 + static_cast<std::int64_t>(rng.next() % 9901);
      step = static_cast<std::int64_t>(rng.next() % 5) + 1;
      if (rng.next() & 1) step = -step;
      at = 0;
    }
    const double open = close;
    close = static_cast<double>(cents + step * static_cast<std::int64_t>(at++)) / 100.0;
    return Candle{0, open, std::max(open, close), std::min(open, close), close, 10.0};
  });
  return {"straight lines of cents", std::move(bars)};
}

NamedBars one_sided_feeds(const std::vector<testing::Bar>& walk, std::size_t n) {
  NamedBars out{"one-sided books, prints and breadth", {}};
  out.bars.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    testing::Bar& b = out.bars.emplace_back(walk[i % walk.size()]);
    const std::size_t run = (i / kOneSidedRun) % 3;
    if (run == 2) {
      // Balanced: a buy and a sell of 2.5 each, so that every stretch of 5
      // traded holds as much of either.
      const double p = b.candle.close;
      b.trades = {Trade{p, 2.5, b.candle.time, 0}, Trade{p, 2.5, b.candle.time + 1000, 1}};
      continue;
    }
    const bool buying = run == 0;
    for (BookLevel& l : buying ? b.book.asks : b.book.bids) l.size = 0.0;
    for (Trade& t : b.trades) t.side = buying ? 0 : 1;
    for (CrossSectionEntry& e : b.cross.entries) {
      e.change = std::abs(e.change) * (buying ? 1.0 : -1.0);
      e.new_high = buying;
      e.new_low = !buying;
      e.above_ma = buying;
      e.bullish = buying;
    }
  }
  return out;
}

std::vector<NamedBars> scaled_walks(const std::vector<testing::Bar>& walk, std::uint64_t run) {
  std::vector<NamedBars> out;
  std::uint64_t seed = 5200;
  for (const double near : {1e-6, 1.0, 1e4, 1e9}) {
    for (const int decimals : {2, 4, 8}) {
      char name[80];
      std::snprintf(name, sizeof name, "the walk near %g on %d decimals", near, decimals);
      out.push_back({name, scaled_walk(walk, Scale{near, decimals}, series_seed(++seed, run))});
    }
  }
  out.push_back(straight_lines(walk, 200, series_seed(5300, run)));
  out.push_back(one_sided_feeds(walk, 9 * kOneSidedRun));
  return out;
}

}  // namespace fendro::reference
