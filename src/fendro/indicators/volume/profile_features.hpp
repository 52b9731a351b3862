// One-number readings of a price profile: the nearest untested point of
// control of earlier blocks, where the point of control sits in the range,
// and how many price bins a single candle traded. Every type reads the whole
// candle and drops a bar that fails the candle check.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/volume/price_profile.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/realloc_stack.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// Collects candles in blocks of n; each completed block adds its point of
// control to a list, and a price leaves the list once a later bar's range
// covers it. Gives the listed price nearest to the close (the oldest of
// equals), or the close when none is left; nothing before the first block
// completes.
class NakedPoc final : public Indicator {
 public:
  // period or bins 0: ZeroPeriod; no upper bound.
  static Result<NakedPoc, IndicatorError> create(std::uint64_t period, std::uint64_t bins);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return period_; }

 private:
  NakedPoc(std::uint64_t n, std::uint64_t bins) : period_(n), bins_(bins) {}
  std::optional<double> block_poc();
  // Grows with the bars, up to n: mapped once large, and grown by
  // remapping, so a long block leaves no trail of freed copies in the heap
  // for one free at the end to hand back to the system all at once.
  ReallocStack<volume::ProfileBar> block_;
  std::vector<double> naked_;              // in the order the blocks completed
  volume::BinRuns runs_;
  std::uint64_t period_;
  std::uint64_t bins_;
  double last_close_ = 0.0;
  bool has_block_ = false;
};

// -1, 0 or +1 as the point of control of the last n bars lies in the lower,
// middle or upper third of the bins (floor(bins / 3) bins at each end).
class ProfileShape final : public Indicator {
 public:
  // period 0: ZeroPeriod; above MAX_PERIOD; bins below 3; bins above MAX_PERIOD.
  static Result<ProfileShape, IndicatorError> create(std::uint64_t period, std::uint64_t bins);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.capacity(); }

 private:
  ProfileShape(std::uint64_t n, std::uint64_t bins) : window_(n), bins_(bins) {}
  BoundedRing<volume::ProfileBar> window_;
  volume::BinRuns runs_;
  std::uint64_t bins_;
};

// The number of bins of the last n bars' range covered by exactly one bar
// (bars without volume count too); 0 for a flat window.
class SinglePrints final : public Indicator {
 public:
  // period or bins 0: ZeroPeriod; no upper bound.
  static Result<SinglePrints, IndicatorError> create(std::uint64_t period, std::uint64_t bins);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.capacity(); }

 private:
  SinglePrints(std::uint64_t n, std::uint64_t bins) : window_(n), bins_(bins) {}
  BoundedRing<volume::ProfileBar> window_;
  volume::BinRuns runs_;
  std::uint64_t bins_;
};

}  // namespace fendro
