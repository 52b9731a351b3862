// The highest high and lowest low of the last n accepted candles (or the
// largest and smallest of the last n values), in amortised constant time and
// without a branch that depends on the prices.
//
// The bars are cut into blocks of n. The window ending at a bar is the tail
// of the previous block followed by the head of the current one, so its
// extreme is the better of two: the previous block's suffix extreme from the
// same offset on (computed once per block, backwards, when the block closes)
// and the running extreme of the current block. A monotonic queue gives the
// same values but its pops depend on the prices; each costs a misprediction
// about every other bar, several times the arithmetic here.
//
// Equal extremes differ only by the sign of zero; which of them is reported
// follows from every pick taking its older argument first. With `OlderWins`
// the older of equal extremes is reported (as a scan with strict comparisons
// from the older end would), otherwise the newer. Every input is finite (the
// owners push only checked candles or finite values), which the picks and
// the infinite starting values rely on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/market/records.hpp"

namespace fendro {

// The extremes over a block ring that the caller owns and pushes through
// push(): any ring of n slots whose entries have `high` and `low`, or plain
// values that are both, so a window the owner keeps anyway (of whole candles,
// of closes) serves as the block without a second copy.
template <bool OlderWins>
class HighLowExtremes {
 public:
  // n >= 1.
  explicit HighLowExtremes(std::uint64_t n) : period(n) {}

  // Pushes `slot`, whose high and low are given (finite), into `block`, a
  // ring of capacity n used only through this call; true once n slots have
  // been pushed.
  template <class Slot>
  bool push(BoundedRing<Slot>& block, double high, double low, const Slot& slot) {
    if (full_) [[likely]] {
      block.replace_oldest(slot);
      run_.high = higher(run_.high, high);
      run_.low = lower(run_.low, low);
      const Pair& tail = tails_[offset_ + 1];
      highest_ = higher(tail.high, run_.high);
      lowest_ = lower(tail.low, run_.low);
      if (++offset_ == period) [[unlikely]] close_block(block.slots());
      return true;
    }
    return fill(block, high, low, slot);
  }

  double highest() const { return highest_; }
  double lowest() const { return lowest_; }

  std::uint64_t period;

 private:
  struct Pair {
    double high;
    double low;
  };
  static constexpr double kInf = std::numeric_limits<double>::infinity();

  // The better of two highs (lows), the older one given first: with finite
  // values each is exactly "the older unless the newer beats it", the
  // tie going to the older with `OlderWins`; -inf (+inf) loses to any price.
  static double higher(double older, double newer) {
    if constexpr (OlderWins) {
      return newer > older ? newer : older;
    } else {
      return older > newer ? older : newer;
    }
  }
  static double lower(double older, double newer) {
    if constexpr (OlderWins) {
      return newer < older ? newer : older;
    } else {
      return older < newer ? older : newer;
    }
  }

  // A slot's high and low: its members, or a plain value itself.
  template <class Slot>
  static double high_of(const Slot& s) { return s.high; }
  template <class Slot>
  static double low_of(const Slot& s) { return s.low; }
  static double high_of(double v) { return v; }
  static double low_of(double v) { return v; }

  // The first n slots: the window is the block itself.
  template <class Slot>
  [[gnu::cold]] bool fill(BoundedRing<Slot>& block, double high, double low, const Slot& slot) {
    block.push(slot);
    run_.high = higher(run_.high, high);
    run_.low = lower(run_.low, low);
    highest_ = run_.high;
    lowest_ = run_.low;
    if (++offset_ < period) return false;
    tails_.assign(static_cast<std::size_t>(period) + 1, Pair{-kInf, kInf});
    full_ = true;
    close_block(block.slots());
    return true;
  }

  // The block just filled becomes the previous one: its suffix extremes,
  // from the newest bar back; the running extremes start again. A full
  // ring's slot order is the block's offset order.
  template <class Slot>
  void close_block(std::span<const Slot> block) {
    Pair acc{-kInf, kInf};
    for (std::size_t i = static_cast<std::size_t>(period); i-- > 0;) {
      acc.high = higher(high_of(block[i]), acc.high);
      acc.low = lower(low_of(block[i]), acc.low);
      tails_[i] = acc;
    }
    run_ = Pair{-kInf, kInf};
    offset_ = 0;
  }

  std::vector<Pair> tails_;  // previous block's extremes from each offset on; n + 1 entries
  Pair run_{-kInf, kInf};    // extremes of the current block so far
  double highest_ = 0.0;
  double lowest_ = 0.0;
  std::uint64_t offset_ = 0;  // offset of the next candle in its block
  bool full_ = false;
};

// The extremes with a block of their own: only the highs and lows are kept.
template <bool OlderWins>
class HighLowWindow {
 public:
  // n >= 1.
  explicit HighLowWindow(std::uint64_t n) : period(n), block_(n), extremes_(n) {}

  // Pushes the candle (finite prices); true once n candles have been seen.
  bool push(const Candle& c) {
    return extremes_.push(block_, c.high, c.low, HighLow{c.high, c.low});
  }

  double highest() const { return extremes_.highest(); }
  double lowest() const { return extremes_.lowest(); }

  std::uint64_t period;

 private:
  struct HighLow {
    double high;
    double low;
  };

  BoundedRing<HighLow> block_;  // the current block, by offset
  HighLowExtremes<OlderWins> extremes_;
};

using NewestHighLow = HighLowWindow<false>;
using OldestHighLow = HighLowWindow<true>;

}  // namespace fendro
