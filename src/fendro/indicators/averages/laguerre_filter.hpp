// Adaptive Laguerre filter: a four-term Laguerre filter of the close whose
// gain is the median of the last five normalised tracking errors.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/copies_so_far.hpp"
#include "fendro/indicators/windows/copy_run.hpp"

namespace fendro {

class AdaptiveLaguerreFilter final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<AdaptiveLaguerreFilter, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return period_; }

 private:
  explicit AdaptiveLaguerreFilter(std::uint64_t period) : errors_(period), period_(period) {}
  // The gain from the newest error: its place between the window's smallest
  // and largest error, median-smoothed; unchanged for a flat error window.
  void adapt(double error);

  bool started_ = false;
  double last_ = 0.0;            // the last filter output
  BoundedRing<double> errors_;   // |close - last output| of the last `period` bars
  std::uint64_t period_;
  std::array<double, 4> terms_{};  // L0 to L3
  CopiesSoFar flat_;  // every close so far a copy of the first: the filter reads it
  double alpha_ = 1.0;
  std::array<double, 5> recent_{};  // normalised errors, oldest first
  std::size_t recent_count_ = 0;
};

}  // namespace fendro
