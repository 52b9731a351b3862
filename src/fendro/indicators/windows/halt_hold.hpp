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
  double read(double v, std::uint64_t period) { return read_also(v, period, held_); }
  // The ratio v of two chains of averages (an average of an average), as it
  // is to be read. Through a halt such a ratio moves steadily toward a limit
  // in exact arithmetic, and the arithmetic follows it until it is within a
  // rounding of it: then it turns back and forth by units in the last place,
  // and once the averages sink below normal (`sunk`), where each step loses
  // digits, by anything. Past `period` bars of the run it is held at the
  // first turn, as it stood before turning, or on the first sunk bar.
  double read_steady(double v, std::uint64_t period, bool sunk) {
    if (!kReadsCopies || run_ < period) [[likely]] {
      steady_held_ = false;
      direction_ = 0;
      last_ = v;
      return v;
    }
    if (steady_held_) return held_;
    const int direction = v > last_ ? 1 : (v < last_ ? -1 : 0);
    if (direction != 0 && direction_ != 0 && direction != direction_) {
      steady_held_ = true;
      held_ = last_;
      return held_;
    }
    if (sunk) {
      steady_held_ = true;
      held_ = v;
      return held_;
    }
    if (direction != 0) direction_ = direction;
    last_ = v;
    return v;
  }
  // Whether read_steady holds the ratio.
  bool holding_steady() const { return kReadsCopies && steady_held_; }
  // read for a second ratio of averages whose inputs share this run, held in
  // the caller's `held`.
  double read_also(double v, std::uint64_t period, double& held) const {
    if (!kReadsCopies || run_ < period) [[likely]] return v;
    if (run_ == period) held = v;
    return held;
  }

 private:
  std::uint64_t run_ = 0;  // steps in a row whose inputs were both 0
  double held_ = 0.0;
  bool steady_held_ = false;  // read_steady holds held_
  int direction_ = 0;         // read_steady: the run's last move, -1, 0 or 1
  double last_ = 0.0;         // read_steady: the value of the step before
};

}  // namespace fendro
