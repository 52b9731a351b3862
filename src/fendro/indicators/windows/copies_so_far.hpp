// Whether every input so far was a copy of the first. A recursive filter fed
// only copies of one value has, in exact arithmetic, settled on it from the
// first bar: its average is that value and every difference, deviation or
// detrended part is 0, whatever residue the rounded recursion carries. Once
// an input has differed, a push is one test.
#pragma once

#include "fendro/indicators/windows/copy_run.hpp"

namespace fendro {

class CopiesSoFar {
 public:
  // x finite. True while every input so far was a copy of the first and
  // copies are read (kReadsCopies): what a filter fed them is to read.
  bool push(double x) {
    if (!only_) [[likely]] return false;
    if (started_) {
      only_ = x == first_;
    } else {
      first_ = x;
      started_ = true;
    }
    return kReadsCopies && only_;
  }
  // Whether every input so far was a copy and copies are read
  // (kReadsCopies); true before any input.
  bool only_copies() const { return kReadsCopies && only_; }

 private:
  double first_ = 0.0;
  bool started_ = false;
  bool only_ = true;
};

}  // namespace fendro
