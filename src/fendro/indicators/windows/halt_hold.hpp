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
  // A moving market takes the branch it predicts and stores 0.
  void push(bool still) {
    if (still) [[unlikely]] {
      ++run_;
    } else {
      run_ = 0;
    }
  }
  // The ratio v computed on this step, as it is to be read.
  double read(double v, std::uint64_t period) {
    if (!kReadsCopies || run_ < period) [[likely]] return v;
    if (run_ == period) held_ = v;
    return held_;
  }
  // The ratio v of two chains of averages (an average of an average), as it
  // is to be read. Through a halt such a ratio keeps moving toward a limit
  // in exact arithmetic, and the arithmetic follows it while the averages
  // are normal numbers; once the run is `period` long and they have sunk
  // below normal (`sunk`), where each step loses digits, it is held as it
  // stood on the first such bar.
  double read_sunk(double v, std::uint64_t period, bool sunk) {
    if (!kReadsCopies || run_ < period) [[likely]] {
      sunk_held_ = false;
      return v;
    }
    if (!sunk_held_) {
      if (!sunk) return v;
      sunk_held_ = true;
      held_ = v;
    }
    return held_;
  }
  // Whether read_sunk holds the ratio.
  bool holding_sunk() const { return kReadsCopies && sunk_held_; }
  // Whether the ratio is held (read gives the held value).
  bool holding(std::uint64_t period) const { return kReadsCopies && run_ > period; }

 private:
  std::uint64_t run_ = 0;  // steps in a row whose inputs were both 0
  double held_ = 0.0;
  bool sunk_held_ = false;  // read_sunk holds held_
};

}  // namespace fendro
