// How the walk over a stretch of bars asks the command's interrupt from
// within the stretch. A stretch is sized from what the last one took, to
// about a millisecond, but its bars may suddenly cost far more: a window
// inside an indicator fills, or many indicators reach their long bars
// together. So the walk looks at the clock after each indicator's work and
// asks once the stretch has run past its time, whatever its bars cost.
//
// The clock it looks at is the system's coarse one where there is one: it
// advances only every few milliseconds, but reading it costs a quarter of
// the precise one, which the walk would otherwise pay for every indicator
// of every 128 bars.
#pragma once

#include <time.h>

#include <chrono>
#include <cstdint>

#include "fendro/util/run_scope.hpp"

namespace fendro {

class WalkPacing {
 public:
  // Asks first once `first_ns` have passed, then every `every_ns`.
  // `each_bar`: the stretch is a few bars, each of them long: the
  // indicators stepped bar by bar look at the clock too (on cheap bars that
  // would cost more than their work).
  WalkPacing(RunScope& scope, std::int64_t first_ns, std::int64_t every_ns, bool each_bar)
      : scope_(scope), due_(now_ns() + first_ns), every_(every_ns), each_bar_(each_bar) {}

  // After one indicator's work. True: stop now (also when the indicator's
  // own asks were told so).
  bool stop_if_due() {
    if (scope_.stopped()) return true;
    const std::int64_t now = now_ns();
    if (now < due_) return false;
    due_ = now + every_;
    return scope_.ask_now();
  }
  bool each_bar() const { return each_bar_; }
  bool stopped() const { return scope_.stopped(); }

 private:
  static std::int64_t now_ns() {
#ifdef CLOCK_MONOTONIC_COARSE
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &t);
    return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
#else
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
#endif
  }

  RunScope& scope_;
  std::int64_t due_;
  std::int64_t every_;
  bool each_bar_;
};

}  // namespace fendro
