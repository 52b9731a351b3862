// How many inputs in a row equal the one before. A window of the last n
// inputs holds only copies of the newest exactly when the run is at least
// n - 1: its mean is then that value, and every distance from it is 0,
// whatever residue the window's running sums hold. Two compares a push.
#pragma once

#include <cstdint>
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
    run_ = x == last_ ? run_ + 1 : 0;
    last_ = x;
  }
  // n >= 1.
  bool holds_only_copies(std::uint64_t n) const { return kReadsCopies && run_ + 1 >= n; }

 private:
  double last_ = std::numeric_limits<double>::quiet_NaN();  // equals nothing: the first input starts a run
  std::uint64_t run_ = 0;
};

// Whether every input so far was a copy of the first. A recursive filter fed
// nothing but copies of x from its start is x in exact arithmetic, which its
// steps only approach by rounding; its state keeps that arithmetic and only
// what is read changes. Once an input differs it stays false: one compare a
// push until then, one branch after.
class FlatRun {
 public:
  // x joins (finite); true while every input so far equals the first.
  bool push(double x) {
    if (!kReadsCopies || !flat_) [[likely]] return false;
    if (!started_) {
      first_ = x;
      started_ = true;
    } else if (x != first_) {
      flat_ = false;
    }
    return flat_;
  }
  bool flat() const { return kReadsCopies && flat_; }

 private:
  double first_ = 0.0;
  bool started_ = false;
  bool flat_ = true;
};

// What a window of copies of x averages to: x, a zero as +0.0 (what a fresh
// sum of zeros gives, whatever their signs).
inline double copy_read(double x) { return x + 0.0; }

// What a filter reads: x itself while it has seen only copies of x, else v.
// Also for a blend of stages that read one value: equal says they do.
inline double flat_read(bool flat, double x, double v) { return flat ? copy_read(x) : v; }
// Whether every value is the first (a blend of them is then that value).
inline bool all_equal(std::initializer_list<double> v) {
  if (!kReadsCopies) return false;
  for (double x : v) if (x != *v.begin()) return false;
  return true;
}

}  // namespace fendro
