// Series whose running sums are left holding rounding residue, then fed
// stretches in which one part of every bar is exactly zero: what a window that
// has returned to all zeros reads, after sums of inexact terms.
//
// Stretches are named "history", "halt" (a), "flat prices" (b) and "zero
// volume" (c).
//
// Bodies and moves at one price level are exact multiples of its unit in the
// last place, and sums of a few of them are exact: only a walk whose level
// moves between 20 and 20000 leaves residue in a window of bodies.
//
// History: a walk in cents around `level` (prices are exact cents, never exact
// in binary), volumes and sizes rounded to 2 to 8 decimals, heavy bars (1e4 to
// 1e6) among light ones (0.01 to 10), so that adding and removing them leaves
// a residue in every running sum. Then, each after more history:
//  (a) a halt: every price at the last close, volume 0, nothing traded, the
//      cross-section still (no change, volume or new high or low);
//  (b) flat prices with moving volume (and trades at the close);
//  (c) volume 0 (nothing traded) with a moving close.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "dump_format.hpp"
#include "indicators/all_feeds.hpp"
#include "indicators/series.hpp"

namespace fendro::value_dump {

struct GeneratedSeries {
  SeriesInfo info;
  std::vector<testing::Bar> bars;
};

class ResidueWalk {
 public:
  // A walk around `level`; with `turns`, the history moves to `other` and
  // back every `turns` bars, so that a window of bodies or moves holds terms
  // of both sizes (a sum of such terms is not exact in binary; bodies at one
  // price level always are).
  ResidueWalk(double level, std::uint64_t seed, double other = 0.0, std::size_t turns = 0)
      : rng_(seed), levels_{std::llround(level * 100.0), std::llround(other * 100.0)}, turns_(turns) {
    cents_ = levels_[0];
    ref_cents_ = cents_ / 2;
    step_ = std::max<long long>(1, cents_ / 400);
  }

  // A bar of the walk: every part moves.
  void history(std::size_t n) {
    begin("history");
    for (std::size_t i = 0; i < n; ++i) {
      const bool heavy = rng_.unit() < 0.15;
      const long long open = cents_;
      if (turns_ > 0 && ++since_turn_ == turns_) {
        since_turn_ = 0;
        at_other_ = !at_other_;
        cents_ = levels_[at_other_ ? 1 : 0];
        step_ = std::max<long long>(1, cents_ / 400);
      }
      move_close(heavy ? 20 : 1);
      testing::Bar& b = add(open, volume(heavy));
      trades(b, heavy);
      b.derivatives.taker_buy_volume = rounded(b.candle.volume * rng_.unit());
      b.derivatives.taker_sell_volume = rounded(b.candle.volume - b.derivatives.taker_buy_volume);
      b.derivatives.long_liquidations = rng_.unit() < 0.1 ? volume(true) : 0.0;
      b.derivatives.short_liquidations = rng_.unit() < 0.1 ? volume(true) : 0.0;
      cross(b, true, true);
      ref_cents_ = std::max<long long>(1, ref_cents_ + draw(step_));
      b.reference = cents(ref_cents_);
    }
  }

  // (a): nothing moves.
  void halt(std::size_t n) {
    begin("halt");
    for (std::size_t i = 0; i < n; ++i) cross(quiet(add(cents_, 0.0)), false, false);
  }

  // (b): prices flat, volume moving.
  void flat_prices(std::size_t n) {
    begin("flat prices");
    for (std::size_t i = 0; i < n; ++i) {
      const bool heavy = rng_.unit() < 0.15;
      testing::Bar& b = add(cents_, volume(heavy));
      trades(b, heavy);
      b.derivatives.taker_buy_volume = rounded(b.candle.volume * rng_.unit());
      b.derivatives.taker_sell_volume = rounded(b.candle.volume - b.derivatives.taker_buy_volume);
      cross(b, false, true);
    }
  }

  // (c): volume 0, the close moving.
  void dry_moves(std::size_t n) {
    begin("zero volume");
    for (std::size_t i = 0; i < n; ++i) {
      const long long open = cents_;
      move_close(1);
      testing::Bar& b = quiet(add(open, 0.0));
      cross(b, true, false);
      ref_cents_ = std::max<long long>(1, ref_cents_ + draw(step_));
      b.reference = cents(ref_cents_);
    }
  }

  GeneratedSeries take(std::string name) {
    info_.name = std::move(name);
    info_.bars = bars_.size();
    return {std::move(info_), std::move(bars_)};
  }

 private:
  static double cents(long long c) { return static_cast<double>(c) / 100.0; }

  // A whole number in [-m, m].
  long long draw(long long m) { return static_cast<long long>(rng_.next() % (2 * m + 1)) - m; }

  void begin(const char* segment) { info_.segments.push_back({segment, bars_.size()}); }

  void move_close(long long scale) { cents_ = std::max<long long>(1, cents_ + draw(step_ * scale)); }

  // x kept to 2 to 8 decimals.
  double rounded(double x) {
    double scale = 1.0;  // 10^2 to 10^8, exactly
    for (auto k = 2 + rng_.next() % 7; k > 0; --k) scale *= 10.0;
    return std::round(x * scale) / scale;
  }
  double volume(bool heavy) {
    const double unit = rng_.unit();
    return rounded(heavy ? 1e4 + unit * 1e6 : 0.01 + unit * 10.0);
  }

  // A candle from `open` to the current close reaching a few cents beyond
  // them; the book around the close, the derivatives' prices at it.
  testing::Bar& add(long long open, double vol) {
    testing::Bar b;
    time_ += (bars_.size() % 500 == 499) ? 3 * 86'400'000 : 3'600'000;
    const bool moved = open != cents_;
    const long long hi = std::max(open, cents_) + (moved ? static_cast<long long>(rng_.next() % 4) : 0);
    const long long lo = std::max<long long>(1, std::min(open, cents_) - (moved ? static_cast<long long>(rng_.next() % 4) : 0));
    b.candle = Candle{time_, cents(open), cents(hi), cents(lo), cents(cents_), vol};
    b.reference = cents(ref_cents_);
    const double mid = b.candle.close;
    for (int k = 1; k <= 5; ++k) {
      const double size_bid = rounded(1.0 + rng_.unit() * 10.0);
      const double size_ask = rounded(1.0 + rng_.unit() * 10.0);
      b.book.bids.push_back({cents(std::max<long long>(1, cents_ - k)), size_bid});
      b.book.asks.push_back({cents(cents_ + k), size_ask});
    }
    DerivativesTick& d = b.derivatives;
    d.funding_rate = rounded((rng_.unit() - 0.5) * 0.001);
    d.mark_price = mid;
    d.index_price = mid;
    d.future_price = cents(cents_ + static_cast<long long>(rng_.next() % 5));
    d.open_interest = rounded(1e6 * (1.0 + rng_.unit()));
    d.longs = rounded(0.3 + rng_.unit() * 0.4);
    d.shorts = 1.0 - d.longs;
    bars_.push_back(std::move(b));
    return bars_.back();
  }

  // Nothing traded on `b`: its book and derivatives tick stand as the last
  // bar's (the derivatives' prices at its close), no taker volume, no
  // liquidations.
  testing::Bar& quiet(testing::Bar& b) {
    if (bars_.size() > 1) {
      const testing::Bar& prev = bars_[bars_.size() - 2];
      b.book = prev.book;
      b.derivatives = prev.derivatives;
    }
    DerivativesTick& d = b.derivatives;
    d.mark_price = d.index_price = d.future_price = b.candle.close;
    d.taker_buy_volume = d.taker_sell_volume = 0.0;
    d.long_liquidations = d.short_liquidations = 0.0;
    return b;
  }

  // One to four prints inside the candle whose sizes add up to about its volume.
  void trades(testing::Bar& b, bool heavy) {
    const std::size_t n = 1 + rng_.next() % 4;
    const long long lo = std::llround(b.candle.low * 100.0), hi = std::llround(b.candle.high * 100.0);
    for (std::size_t k = 0; k < n; ++k) {
      const double size = rounded(b.candle.volume / static_cast<double>(n) * (heavy ? 1.0 : rng_.unit() + 0.5));
      const long long at = lo + static_cast<long long>(rng_.next() % static_cast<std::uint64_t>(hi - lo + 1));
      b.trades.push_back(Trade{cents(at), size, b.candle.time + static_cast<std::int64_t>(k) * 1000,
                               static_cast<std::uint8_t>(rng_.next() & 1)});
    }
  }

  // Twenty instruments: each moving (changes, new highs and lows) or still,
  // each trading or not.
  void cross(testing::Bar& b, bool moving, bool trading) {
    b.cross.entries.clear();
    for (int k = 0; k < 20; ++k) {
      CrossSectionEntry e;
      if (moving) {
        e.change = rounded((rng_.unit() - 0.5) * 0.1);
        e.new_high = rng_.unit() < 0.1;
        e.new_low = rng_.unit() < 0.1;
      }
      if (trading) e.volume = volume(rng_.unit() < 0.15);
      e.above_ma = k % 2;
      e.bullish = e.change > 0.0;
      b.cross.entries.push_back(e);
    }
  }

  testing::SplitMix rng_;
  long long levels_[2];
  std::size_t turns_;
  std::size_t since_turn_ = 0;
  bool at_other_ = false;
  long long cents_ = 0;
  long long ref_cents_ = 0;
  long long step_ = 1;
  std::int64_t time_ = 1'750'000'000'000;
  SeriesInfo info_;
  std::vector<testing::Bar> bars_;
};

// History, then (a), (b) and (c), each after more history, then a long halt:
// `stretch` bars each. With `turns`, the history's price level moves between
// `level` and `other` every `turns` bars.
inline GeneratedSeries make_residue_series(const char* name, double level, std::uint64_t seed,
                                           std::size_t stretch, double other = 0.0, std::size_t turns = 0) {
  ResidueWalk w(level, seed, other, turns);
  w.history(stretch);
  w.halt(stretch);
  w.history(stretch / 2);
  w.flat_prices(stretch);
  w.history(stretch / 2);
  w.dry_moves(stretch);
  w.history(stretch / 2);
  w.halt(2 * stretch);
  return w.take(name);
}

}  // namespace fendro::value_dump
