// Wilder's smoothed moving average: seeded by the mean of the first n values,
// then (x + value * (n - 1)) / n. The step is shared by every type that
// smooths this way: the Alligator's lines, the ADX, the RMI's averages and
// the modified-average stop.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/copies_so_far.hpp"
#include "fendro/indicators/windows/copy_run.hpp"
#include "fendro/indicators/windows/ring_windows.hpp"
#include "fendro/indicators/windows/settled_step.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

struct SmmaState {
  std::uint64_t period;  // n >= 1, checked by the owner
  std::uint64_t seed_count = 0;
  double seed_sum = 0.0;
  double value = 0.0;
  bool seeded = false;
  SettledStep settled;  // the step skipped on a value that no longer moves

  explicit SmmaState(std::uint64_t n) : period(n) {}
};

// The smoothing step once seeded: (x + value * (n - 1)) / n, in that order.
inline double smma_step(double value, double x, double n) { return (x + value * (n + (-1.0))) / n; }

// The step of smma_update, with the seeded step made by step(value, x, n).
template <class Step>
inline std::optional<double> smma_through(SmmaState& s, double x, Step step) {
  const double n = static_cast<double>(s.period);
  if (s.seeded) {
    s.value = step(s, x, n);
    return s.value;
  }
  s.seed_sum = x + s.seed_sum;
  if (++s.seed_count < s.period) return std::nullopt;
  s.value = s.seed_sum / n;
  s.seeded = true;
  return s.value;
}

// One finite value (the caller has tested it). The first n - 1 only seed;
// the n-th gives their mean, every later one the smoothed value. The plain
// step, for an average of prices: on a halted market it stays at the last
// price, a normal number, so it has nothing to settle. An owner that
// averages prices reads copies itself (CopiesSoFar): most owners smooth
// distances, which a flat market leaves at 0.
inline std::optional<double> smma_update(SmmaState& s, double x) {
  return smma_through(s, x, [](const SmmaState& st, double in, double n) {
    return smma_step(st.value, in, n);
  });
}

// smma_update on an owner's settled path (see settled_path): once seeded,
// the step through its record.
inline std::optional<double> smma_update_kept(SmmaState& s, double x) {
  return smma_through(s, x, [](SmmaState& st, double in, double n) {
    const auto smma = [n](double v, double y) { return smma_step(v, y, n); };
    return kept_step(st.settled, st.value, in, smma);
  });
}

class Smma final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<Smma, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return state_.period; }

 private:
  explicit Smma(RingWindowState state) : state_(std::move(state)) {}
  // last: the value once seeded; ring: the seed inputs (only while seeding);
  // state: their sum.
  RingWindowState state_;
  CopiesSoFar flat_;  // every close so far a copy of the first: the average reads it
};

}  // namespace fendro
