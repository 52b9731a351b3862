// Variance ratio of the spread s = A - B (the close minus the bar's reference
// value): the variance of overlapping q-step changes over q times the
// variance of one-step changes, over the last n spreads. 1 for a random
// walk, above 1 trending, below 1 mean reverting. O(n * q) per bar.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro::stats {

class VarianceRatio final : public Indicator {
 public:
  // The period has no upper bound of its own: the window and the scratch
  // list grow with the bars actually seen.
  static Result<VarianceRatio, IndicatorError> create(std::uint64_t period, std::uint64_t q);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return period_; }

 private:
  VarianceRatio(std::uint64_t n, std::uint64_t q) : spreads_(n), period_(n), q_(q) {}

  BoundedRing<double> spreads_;
  std::vector<double> diffs_;  // scratch: one-step changes, oldest first
  std::uint64_t period_;
  std::uint64_t q_;
};

}  // namespace fendro::stats
