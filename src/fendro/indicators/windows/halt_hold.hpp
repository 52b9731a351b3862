// A ratio of two averages that decay together. On a bar where both inputs
// are 0 (a halt), a Wilder or exponential step multiplies both averages by
// the same factor, so in exact arithmetic their ratio keeps its value for as
// long as the halt lasts. In floating point it drifts by units in the last
// place and, once both averages sink into the subnormal numbers, swings end
// to end before it reads its 0/0 case. Once both inputs have been 0 for the
// averages' period in a row, the ratio is read as it stood on that bar until
// an input moves again; the averages themselves keep their arithmetic, so the
// first bar after the halt reads what it always did.
#pragma once

#include <cstdint>

#include "fendro/indicators/windows/copy_run.hpp"

namespace fendro {

class HaltHold {
 public:
  // One step's inputs: still when both are 0.
  void push(bool still) { run_ = still ? run_ + 1 : 0; }
  // The ratio v computed on this step, as it is to be read.
  double read(double v, std::uint64_t period) {
    if (!kReadsCopies || run_ < period) [[likely]] return v;
    if (run_ == period) held_ = v;
    return held_;
  }
  // Whether the ratio is held (read gives the held value).
  bool holding(std::uint64_t period) const { return kReadsCopies && run_ > period; }

 private:
  std::uint64_t run_ = 0;  // steps in a row whose inputs were both 0
  double held_ = 0.0;
};

}  // namespace fendro
