#include "reference/far_scale_series.hpp"

#include <algorithm>
#include <cstdio>

#include "fendro/util/math.hpp"
#include "indicators/series.hpp"

namespace fendro::reference {
namespace {

// A candle from `open` to `close` with wicks of up to half a percent.
Candle wicked(testing::SplitMix& rng, double open, double close, double volume) {
  const double high = std::max(open, close) * (1.0 + rng.unit() * 0.005);
  const double low = std::min(open, close) * (1.0 - rng.unit() * 0.005);
  return Candle{0, open, high, low, close, volume};
}

// A close up to 1% from `close`, kept between 50 and 200.
double walked(testing::SplitMix& rng, double close) {
  const double next = close * (1.0 + (rng.unit() - 0.5) * 0.02);
  return next < 50.0 || next > 200.0 ? close : next;
}

// A whole number of cents in [low, high].
std::int64_t cents_in(testing::SplitMix& rng, std::int64_t low, std::int64_t high) {
  return low + static_cast<std::int64_t>(rng.next() % static_cast<std::uint64_t>(high - low + 1));
}

}  // namespace

std::uint64_t series_seed(std::uint64_t fixed, std::uint64_t run) {
  if (run == kFixedSeed) return fixed;
  testing::SplitMix mix(fixed ^ (run * 0x9E3779B97F4A7C15ULL));
  return mix.next();
}

NamedBars volume_regimes(const std::vector<testing::Bar>& walk, std::size_t n, std::uint64_t seed) {
  testing::SplitMix rng(seed);
  double close = 100.0;
  std::vector<testing::Bar> bars = with_walk_feeds(walk, n, [&](std::size_t i) {
    const double open = close;
    close = walked(rng, close);
    const double scale = (i / kRegimeBars) % 2 == 0 ? 1.0e12 : 1.0e-8;
    return wicked(rng, open, close, scale * (1.0 + rng.unit()));
  });
  return {"volumes alternating 1e12 and 1e-8 in blocks", std::move(bars)};
}

NamedBars volume_bursts(const std::vector<testing::Bar>& walk, std::size_t n, std::uint64_t seed) {
  testing::SplitMix rng(seed);
  double close = 100.0;
  std::vector<testing::Bar> bars = with_walk_feeds(walk, n, [&](std::size_t i) {
    double open = close;
    if (i % 10 == 0) open = close * (1.0 + (rng.unit() - 0.5) * 0.04);
    close = walked(rng, open);
    const double volume = rng.unit() < 0.02 ? 1.0e6 * (1.0 + 9.0 * rng.unit()) : 0.01 + 0.99 * rng.unit();
    Candle c = wicked(rng, open, close, volume);
    const double on = rng.unit();
    if (on < 0.4) c.high = std::max(open, close);  // the close on the high, or the open above it
    if (on >= 0.4 && on < 0.8) c.low = std::min(open, close);
    return c;
  });
  return {"bursts of volume among volumes below 1", std::move(bars)};
}

NamedBars falling_orders(const std::vector<testing::Bar>& walk, std::size_t n, int orders, std::uint64_t seed) {
  testing::SplitMix rng(seed);
  const double factor = cr::exp(-static_cast<double>(orders) * cr::log(10.0) / static_cast<double>(kFallBars));
  double close = 100.0;
  std::vector<testing::Bar> bars = with_walk_feeds(walk, n, [&](std::size_t i) {
    const std::size_t at = i % kFallCycle;
    double open = close;
    if (at == 0) open = 100.0 * (1.0 + (rng.unit() - 0.5) * 0.1);  // back up where it began
    double swing = 0.1;
    if (at >= kFallFrom && at < kFallFrom + kFallBars) open = open * factor;
    if (at >= kFallFrom + kFallBars) swing = 0.0002;
    close = open * (1.0 + (rng.unit() - 0.5) * swing);
    return wicked(rng, open, close, 100.0 + rng.unit() * 1000.0);
  });
  char name[80];
  std::snprintf(name, sizeof name, "closes falling %d orders of magnitude", orders);
  return {name, std::move(bars)};
}

NamedBars cent_line(const std::vector<testing::Bar>& walk, std::size_t n, bool up, std::int64_t start) {
  const std::int64_t step = up ? 1 : -1;
  double close = static_cast<double>(start) / 100.0;
  std::vector<testing::Bar> bars = with_walk_feeds(walk, n, [&](std::size_t i) {
    const double open = close;
    // A falling line from below n cents would cross 0: it turns back at a cent.
    const std::int64_t cents = std::max<std::int64_t>(start + step * static_cast<std::int64_t>(i), 1);
    close = static_cast<double>(cents) / 100.0;
    return Candle{0, open, std::max(open, close), std::min(open, close), close, 10.0};
  });
  return {up ? "a rising line of cents" : "a falling line of cents", std::move(bars)};
}

NamedBars one_tick_alternation(const std::vector<testing::Bar>& walk, std::size_t n, std::int64_t low) {
  const double prices[2] = {static_cast<double>(low) / 100.0, static_cast<double>(low + 1) / 100.0};
  std::vector<testing::Bar> bars = with_walk_feeds(walk, n, [&](std::size_t i) {
    return Candle{0, prices[(i + 1) % 2], prices[1], prices[0], prices[i % 2], 10.0};
  });
  return {"closes alternating a tick apart", std::move(bars)};
}

std::vector<NamedBars> far_scale_series(const std::vector<testing::Bar>& walk, std::uint64_t run) {
  // CI's lines and alternation start where their names say; another run's
  // at whole cents drawn from its seed.
  std::int64_t rising = 10'000, falling = 15'000, alternating = 10'000;
  if (run != kFixedSeed) {
    testing::SplitMix rng(series_seed(5400, run));
    rising = cents_in(rng, 2'000, 20'000);
    falling = cents_in(rng, 2'000, 20'000);
    alternating = cents_in(rng, 9'000, 11'000);
  }
  std::vector<NamedBars> out;
  out.push_back(volume_regimes(walk, 3000, series_seed(5403, run)));
  out.push_back(volume_bursts(walk, 3000, series_seed(5404, run)));
  out.push_back(falling_orders(walk, 3000, 12, series_seed(5405, run)));
  out.push_back(falling_orders(walk, 3000, 15, series_seed(5406, run)));
  out.push_back(cent_line(walk, kLongLineBars, true, rising));
  out.push_back(cent_line(walk, kLongLineBars, false, falling));
  out.push_back(one_tick_alternation(walk, 2000, alternating));
  return out;
}

}  // namespace fendro::reference
