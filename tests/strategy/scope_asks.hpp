// Work run under a command's scope that asks after few steps, with a check
// that counts its asks and says stop at one of them: how often long work
// asks, and whether a stop said at any ask ends it there.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fendro/util/run_scope.hpp"
#include "module/counting_interrupt.hpp"

namespace fendro::testing {

// Steps between two asks: small enough that a test's input reaches many.
inline constexpr std::uint64_t kTestStepsPerAsk = std::uint64_t{1} << 14;

struct ScopedRun {
  std::size_t asked = 0;
  bool stopped = false;   // the scope was told to stop
  bool finished = false;  // the work says it ran to its end
};

// `work()` returns whether it ran to its end; the check stops at its
// `stop_at`-th ask (never when 0).
template <class Work>
ScopedRun run_in_scope(Work&& work, std::size_t stop_at = 0, std::uint64_t steps_per_ask = kTestStepsPerAsk) {
  CountingInterrupt check{.stop_at = stop_at};
  ScopedRun out;
  {
    RunScope scope(check.interrupt(), steps_per_ask);
    out.finished = work();
    out.stopped = scope.stopped();
  }
  out.asked = check.asked;
  return out;
}

// Never stopped, `work` runs to its end asking at least `least` times; a
// stop said at any of its asks (a dozen spread over them, the first and the
// last among them) ends it unfinished, with nothing asked after.
template <class Work>
void expect_asks_all_through(Work&& work, std::size_t least, const std::string& what) {
  const ScopedRun never = run_in_scope(work);
  EXPECT_TRUE(never.finished) << what;
  EXPECT_FALSE(never.stopped) << what;
  EXPECT_GE(never.asked, least) << what;
  if (never.asked == 0) return;
  const std::size_t step = std::max<std::size_t>(1, never.asked / 12);
  std::vector<std::size_t> stops;
  for (std::size_t k = 1; k < never.asked; k += step) stops.push_back(k);
  stops.push_back(never.asked);
  for (const std::size_t k : stops) {
    const ScopedRun stop = run_in_scope(work, k);
    EXPECT_FALSE(stop.finished) << what << ", stopped at ask " << k;
    EXPECT_TRUE(stop.stopped) << what << ", stopped at ask " << k;
    EXPECT_EQ(stop.asked, k) << what << ", stopped at ask " << k;
  }
}

}  // namespace fendro::testing
