// How many zeros have been pushed into a window since its last nonzero
// entry. A running sum whose entries have all returned to exactly 0 (a flat
// stretch, a halt at volume 0) still holds the rounding residue of its adds
// and subtracts, and a ratio of two such residues is garbage. A window of the
// last n entries holds only zeros exactly when the run is at least n; its sum
// is then exactly 0, and read() says so.
//
// The sum itself is left as its own arithmetic made it: only what is read from
// it while the window holds only zeros changes. So every bar on which the
// window holds a nonzero entry gives the same bits as a sum that never
// counted its zeros, residue and all.
//
// Only the types whose windows can hold only zeros and divide by (or compare)
// such a sum embed one; the plain windows pay nothing.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "fendro/indicators/windows/ring_windows.hpp"
#include "fendro/indicators/windows/sma_window.hpp"

// Built as 0 only to measure what the reads change: every value then comes
// from the sums as their arithmetic left them.
#ifndef FENDRO_ZERO_WINDOW_READS
#define FENDRO_ZERO_WINDOW_READS 1
#endif

namespace fendro {

inline constexpr bool kReadsZeroWindows = FENDRO_ZERO_WINDOW_READS != 0;

class ZeroRun {
 public:
  // t joins the window. Most entries are nonzero: the count moves only after
  // a zero.
  void push(double t) {
    if (t != 0.0) [[likely]] {
      run_ = 0;
    } else {
      ++run_;
    }
  }

  // Whether the last n entries pushed are all zeros (+0.0 or -0.0; NaN is not).
  bool holds_only_zeros(std::uint64_t n) const { return kReadsZeroWindows && run_ >= n; }
  // holds_only_zeros for a window that holds only zeros as a window of
  // copies of 0: the read follows FENDRO_FLAT_READS too.
  bool holds_only_zero_copies(std::uint64_t n) const { return kReadsCopies && holds_only_zeros(n); }

  // `sum`, the running sum of a window of the last n entries, as it is to be
  // read: exactly +0.0 (what a fresh window of zeros sums to) when they are all
  // zeros, else as it stands.
  double read(double sum, std::uint64_t n) const { return holds_only_zeros(n) ? 0.0 : sum; }

 private:
  std::uint64_t run_ = 0;
};

// The runs of the two parts of a window of (a, b) pairs.
struct ZeroRunPair {
  ZeroRun a;
  ZeroRun b;

  void push(double ta, double tb) {
    a.push(ta);
    b.push(tb);
  }
  // `w`'s sums of each part as they are to be read (see ZeroRun::read).
  double read_a(const PairRingWindow& w) const { return a.read(w.acc_a, w.period); }
  double read_b(const PairRingWindow& w) const { return b.read(w.acc_b, w.period); }
};

// How many values in a row equal the one before. A window of the last n
// values holds only copies of the newest when the run is at least n - 1: a
// distance from their mean is then exactly 0 (a window of zeros' reading,
// so it follows FENDRO_ZERO_WINDOW_READS).
class RepeatRun {
 public:
  // x joins the window. x - prev is 0 exactly when they are equal (finite
  // values): an infinity or NaN repeats nothing; the first value has
  // nothing to repeat.
  void push(double x) {
    changes_.push(prev_ ? x - *prev_ : 1.0);
    prev_ = x;
  }
  // n >= 1.
  bool holds_only_copies(std::uint64_t n) const { return changes_.holds_only_zeros(n - 1); }

 private:
  ZeroRun changes_;
  std::optional<double> prev_;
};

// An SMA step whose mean is read from a sum taken as exactly 0 while the
// window holds only zeros; `zeros` has counted the window's inputs (windows fed
// the same inputs can share one, each read with its own period).
inline std::optional<double> sma_step_reading_zeros(SmaWindow& w, const ZeroRun& zeros, double x) {
  return sma_step(w, x, [&w, &zeros](double sum, double divisor) {
    return zeros.read(sum, w.period) / divisor;
  });
}

// sma_step_reading_zeros with its own count: x is counted when the window
// takes it (a refused input changes nothing).
inline std::optional<double> sma_update_reading_zeros(SmaWindow& w, ZeroRun& zeros, double x) {
  if (std::isfinite(x)) zeros.push(x);
  return sma_step_reading_zeros(w, zeros, x);
}

}  // namespace fendro
