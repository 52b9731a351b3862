// The fingerprint's series beside the walk and its halt: candles the walk
// never gives (zeros of both signs, ties, thresholds met exactly) and a
// market that settles, is nudged and settles again. The fingerprint digests
// every key over them and the indicator reference tries each stated range
// on them, so both read the same bars.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

#include "fendro/market/records.hpp"
#include "indicators/all_feeds.hpp"
#include "indicators/series.hpp"

namespace fendro::testing {

// Candles the random walk never gives, fed to a fresh instance of every key
// after the walk: the sign of a zero and ties between numbers that compare
// equal, and thresholds met exactly. Each stretch of `n` bars:
//  - zeros: every price +0.0 or -0.0 at random (all compare equal, so every
//    candle is valid), volumes 0, -0.0, 1 or 2; then runs of 60 bars whose
//    prices are all -0.0, all +0.0 (volume +0.0 or -0.0), or whose volume is
//    -0.0: windows in which every term is a zero of one sign;
//  - a grid: integer prices on a walking level, every candle 20 wide, so that
//    bodies and shadows land on 0.05 steps of the range (the thresholds of the
//    candle patterns), highs and lows repeat the previous ones, closes tie;
//  - flat runs: all four prices equal for 30 bars at a time, half of the runs
//    with zero volume;
//  - small integers around zero: prices from -2 to 2, -0.0 included;
//  - eighths: prices on a 1/8 grid scaled by powers of two, exact in binary.
// The other feeds' parts are the walk's, bar for bar.
inline std::vector<Bar> make_edge_bars(const std::vector<Bar>& walk, std::size_t n) {
  SplitMix rng(20261207);
  std::vector<Bar> bars;
  bars.reserve(5 * n);
  std::int64_t time = 1'800'000'000'000;
  const auto pick = [&](std::size_t k) { return static_cast<std::size_t>(rng.next() % k); };
  const auto zero = [&]() { return (rng.next() & 1) ? -0.0 : 0.0; };
  const auto add = [&](double o, double h, double l, double c, double v) {
    Bar b = walk[bars.size() % walk.size()];
    time += (bars.size() % 500 == 499) ? 3 * 86'400'000 : 3'600'000;
    b.candle = Candle{time, o, h, l, c, v};
    bars.push_back(std::move(b));
  };
  // Every draw is its own statement: the order in which a call's arguments
  // are evaluated is the compiler's, and each compiler must see one series.
  const double zero_volumes[] = {0.0, -0.0, 1.0, 2.0};
  for (std::size_t i = 0; i < n; ++i) {
    switch ((i / 60) % 4) {
      case 0: {
        const double v = zero_volumes[pick(4)];
        const double c = zero();
        const double l = zero();
        const double h = zero();
        const double o = zero();
        add(o, h, l, c, v);
        break;
      }
      case 1: add(-0.0, -0.0, -0.0, -0.0, 1.0 + static_cast<double>(pick(2))); break;
      case 2: add(0.0, 0.0, 0.0, 0.0, zero_volumes[pick(2)]); break;
      default: {
        const double p = 1.0 + static_cast<double>(pick(2));
        add(p, p, p, p, -0.0);
      }
    }
  }

  double level = 100.0;
  for (std::size_t i = 0; i < n; ++i) {
    level += static_cast<double>(pick(5)) - 2.0;
    const double low = level, high = level + 20.0;
    const double a = low + static_cast<double>(pick(21)), b = low + static_cast<double>(pick(21));
    const double v = static_cast<double>(pick(4)) * 5.0;
    add(a, high, low, (rng.next() & 3) == 0 ? a : b, v);
  }

  double flat = 50.0;
  for (std::size_t i = 0; i < n; ++i) {
    if (i % 30 == 0) flat += static_cast<double>(pick(3)) - 1.0;
    add(flat, flat, flat, flat, (i / 30) % 2 ? 0.0 : 10.0);
  }

  for (std::size_t i = 0; i < n; ++i) {
    const double p[] = {-2.0, -1.0, -0.0, 0.0, 1.0, 2.0};
    const double a = p[pick(6)], b = p[pick(6)];
    const double lo = a < b ? a : b, hi = a < b ? b : a;
    const double v = static_cast<double>(pick(3));
    const double l = lo - static_cast<double>(pick(2));
    const double h = hi + static_cast<double>(pick(2));
    add(a, h, l, b, v);
  }

  for (std::size_t i = 0; i < n; ++i) {
    const double scale = std::ldexp(1.0, static_cast<int>(pick(21)) - 10);
    const double a = static_cast<double>(pick(9)) / 8.0, b = static_cast<double>(pick(9)) / 8.0;
    const double lo = (a < b ? a : b) - static_cast<double>(pick(3)) / 8.0;
    const double hi = (a < b ? b : a) + static_cast<double>(pick(3)) / 8.0;
    add(a * scale, hi * scale, lo * scale, b * scale, static_cast<double>(pick(8)) / 8.0);
  }
  return bars;
}

// A market that settles, is nudged and settles again: what the records kept
// off settled averages (a value kept with the bits of the states it was
// computed from, a step's state kept with its input) must get right. Such a
// record gives back only what was computed last, so a record keyed on fewer
// states than its value reads goes stale only when the states it is keyed on
// stay as they were while another one moves: a field the keyed states do not
// read, or a move so small that the keyed averages round it away, which
// happens only where prices are a few units of the least subnormal apart. A
// market that halts never gets there. After the walk's first `moving` bars:
//  - a halt at the last close for `halt` bars, as in make_halted_bars;
//  - one field moving while the rest stay settled: the open and the close
//    flat while the high and the low swing around them, for `nudge` bars;
//    then the prices flat while the volume moves, for `halt` / 2 bars (what
//    the high and the low moved settles meanwhile, for most keys);
//  - moves of one ulp inside the halt (ulp_moves), each followed by `nudge`
//    quiet bars (the first meets settled averages; an average nudged by an
//    ulp of a price near 10 needs about 9,000 bars to settle again);
//  - a halt at a price level of 1.5 times the least normal number (its ulp is
//    the least subnormal) for `halt` bars; there, the same moves of one ulp,
//    each followed by 500 quiet bars (averages nudged by a few subnormal units
//    settle within a few hundred); a walk of moves of up to 16 units, quiet
//    for 300 bars after every 50; stairs of one unit a bar down, up and down
//    again, moves that an average settled at a few units rounds away;
//  - the walk's next `moving` bars, on the series' clock.
// Bars that are not the walk's carry the other feeds' parts as the halted
// series' bars do.
inline std::vector<Bar> make_settled_bars(const std::vector<Bar>& walk, std::size_t moving,
                                   std::size_t halt, std::size_t nudge) {
  double price = 0.0;
  std::vector<Bar> bars = moving_start(walk, moving, price);
  bars.reserve(2 * moving + 3 * halt + 10 * nudge + 12'000);
  const Bar last = bars.back();
  std::int64_t time = last.candle.time;
  const auto add = [&](double o, double h, double l, double c, double v) {
    time += 3'600'000;
    Bar b = quiet_bar(last, walk[bars.size() % walk.size()], time, price);
    b.candle = Candle{time, o, h, l, c, v};
    bars.push_back(std::move(b));
  };
  const auto quiet = [&](double p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) add(p, p, p, p, 0.0);
  };
  // The close one ulp up (staying there), back down, one ulp down and back
  // up; the high one ulp up for one bar; the low one ulp down; the open one
  // ulp up, then down; the volume at the least subnormal for one bar. Each
  // but the first open's followed by `settle` quiet bars at its close.
  const auto ulp_moves = [&](double p, std::size_t settle) {
    const double above = std::nextafter(p, std::numeric_limits<double>::infinity());
    const double below = std::nextafter(p, -std::numeric_limits<double>::infinity());
    struct Move {
      double open, high, low, close, volume;
      bool settles;
    };
    const Move moves[] = {
        {p, above, p, above, 0.0, true},     {above, above, p, p, 0.0, true},
        {p, p, below, below, 0.0, true},     {below, p, below, p, 0.0, true},
        {p, above, p, p, 0.0, true},         {p, p, below, p, 0.0, true},
        {above, above, p, p, 0.0, false},    {below, p, below, p, 0.0, true},
        {p, p, p, p, std::numeric_limits<double>::denorm_min(), true},
    };
    for (const Move& m : moves) {
      add(m.open, m.high, m.low, m.close, m.volume);
      if (m.settles) quiet(m.close, settle);
    }
  };

  quiet(price, halt);
  // Every draw is its own statement (see make_edge_bars).
  SplitMix rng(20261208);
  for (std::size_t i = 0; i < nudge; ++i) {
    const double up = rng.unit() * 0.005;
    const double down = rng.unit() * 0.005;
    add(price, price * (1.0 + up), price * (1.0 - down), price, 0.0);
  }
  for (std::size_t i = 0; i < halt / 2; ++i) {
    const double v = 100.0 + rng.unit() * 1000.0;
    add(price, price, price, price, v);
  }
  ulp_moves(price, nudge);

  const double unit = std::numeric_limits<double>::denorm_min();
  const double tiny = std::ldexp(1.5, -1022);
  quiet(tiny, halt);
  ulp_moves(tiny, 500);
  double close = tiny;
  for (std::size_t i = 0; i < 1000; ++i) {
    const double open = close;
    const double step = static_cast<double>(rng.next() % 33) - 16.0;
    close = tiny + step * unit;
    const double up = static_cast<double>(rng.next() % 4);
    const double down = static_cast<double>(rng.next() % 4);
    add(open, std::max(open, close) + up * unit, std::min(open, close) - down * unit, close, 0.0);
    if (i % 50 == 49) quiet(close, 300);
  }
  quiet(close, 1000);
  for (const int run : {-40, 80, -40}) {
    const double dir = run < 0 ? -1.0 : 1.0;
    for (int k = 0; k < std::abs(run); ++k) {
      const double open = close;
      close = open + dir * unit;
      add(open, std::max(open, close), std::min(open, close), close, 0.0);
    }
    quiet(close, 300);
  }

  for (std::size_t i = moving; i < std::min(2 * moving, walk.size()); ++i) {
    Bar b = walk[i];
    time += 3'600'000;
    b.candle.time = time;
    bars.push_back(std::move(b));
  }
  return bars;
}

}  // namespace fendro::testing
