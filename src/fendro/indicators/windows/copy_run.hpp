// How many inputs in a row equal the one before. A window of the last n
// inputs holds only copies of the newest exactly when the run is at least
// n - 1: its mean is then that value, and every distance from it is 0,
// whatever residue the window's running sums hold. Two compares a push.
#pragma once

#include <cstdint>
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
    run_ = x == last_ ? run_ + 1 : 0;
    last_ = x;
  }
  // n >= 1.
  bool holds_only_copies(std::uint64_t n) const { return kReadsCopies && run_ + 1 >= n; }

 private:
  double last_ = std::numeric_limits<double>::quiet_NaN();  // equals nothing: the first input starts a run
  std::uint64_t run_ = 0;
};

// What a window of copies of x averages to: x, a zero as +0.0 (what a fresh
// sum of zeros gives, whatever their signs).
inline double copy_read(double x) { return x + 0.0; }

}  // namespace fendro
