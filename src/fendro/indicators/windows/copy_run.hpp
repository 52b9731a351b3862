// How many inputs in a row equal the one before. A window of the last n
// inputs holds only copies of the newest exactly when the run is at least
// n - 1: its mean is then that value, and every distance from it is 0,
// whatever residue the window's running sums hold. One compare a push on a
// moving market.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>

// Built as 0 only to measure what the reads of copies change: every value
// then comes from the sums and recursions as their arithmetic left them.
#ifndef FENDRO_FLAT_READS
#define FENDRO_FLAT_READS 1
#endif

namespace fendro {

inline constexpr bool kReadsCopies = FENDRO_FLAT_READS != 0;

class CopyRun {
 public:
  // x joins the window (finite: the windows that count take no other).
  void push(double x) {
    if (x == last_) [[unlikely]] {
      ++run_;
      return;
    }
    run_ = 0;
    last_ = x;
  }
  // n >= 1.
  bool holds_only_copies(std::uint64_t n) const { return kReadsCopies && run_ + 1 >= n; }

 private:
  double last_ = std::numeric_limits<double>::quiet_NaN();  // equals nothing: the first input starts a run
  std::uint64_t run_ = 0;
};

// Whether a window of the last n inputs holds only copies of its newest, x.
// It can only do so on a push of the same value as the push before, so the
// window's own step tests that (one compare a push on a moving market) and
// only then asks here. The first such push counts the copies at the
// window's newest end, newest first, stopping at the first other value;
// each repeat right after it adds one. `clock` is a count the window moves
// by one a push; `forget` is called wherever it moves otherwise (a rebuild
// that restarts it). `value` reads the input out of a ring entry that holds
// more than the input (a price with its volume, say).
class CopyCheck {
 public:
  template <class Window, class Value = std::identity>
  [[gnu::noinline]] bool after_repeat(const Window& ring, double x, std::uint64_t clock, std::uint64_t n,
                                      Value value = {}) {
    if (!kReadsCopies) return false;
    if (clock == mark_ + 1 && x == x_) {
      ++copies_;
    } else {
      const auto other = [x, &value](const auto& v) { return value(v) != x; };
      const auto newer = ring.newer();
      const auto older = ring.older();
      const auto in_newer = std::find_if(newer.rbegin(), newer.rend(), other);
      copies_ = static_cast<std::uint64_t>(in_newer - newer.rbegin());
      if (in_newer == newer.rend()) {
        copies_ += static_cast<std::uint64_t>(std::find_if(older.rbegin(), older.rend(), other) - older.rbegin());
      }
      x_ = x;
    }
    mark_ = clock;
    return copies_ >= n;
  }
  void forget() { mark_ = kNever; }

 private:
  // Never the clock of the push before a clock a window reaches.
  static constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max() - 1;
  std::uint64_t mark_ = kNever;  // the clock of the last push asked about
  double x_ = 0.0;               // the value pushed then
  std::uint64_t copies_ = 0;     // how many of the newest entries were copies of it
};

// What a window of copies of x averages to: x, a zero as +0.0 (what a fresh
// sum of zeros gives, whatever their signs).
inline double copy_read(double x) { return x + 0.0; }

// What a filter reads: x itself while it has seen only copies of x (flat, as
// CopiesSoFar::push tells it), else v.
inline double flat_read(bool flat, double x, double v) { return flat ? copy_read(x) : v; }
// Whether every value is the first: a blend of stages that read one value
// (weights summing to 1) is then that value, which its rounding misses.
inline bool all_equal(std::initializer_list<double> v) {
  if (!kReadsCopies) return false;
  for (auto it = v.begin() + 1; it < v.end(); ++it) if (*it != *v.begin()) return false;
  return true;
}

}  // namespace fendro
