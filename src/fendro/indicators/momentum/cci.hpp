// The commodity channel index family: the plain index, the index placed
// within its own recent range, and an index whose centre is an adaptive
// average driven by the window's efficiency ratio.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/momentum/cci_core.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/copies_so_far.hpp"
#include "fendro/indicators/windows/halt_hold.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

class Cci final : public Indicator {
 public:
  static Result<Cci, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return core_.period; }

 private:
  explicit Cci(CciCore core) : core_(std::move(core)) {}
  CciCore core_;
};

// Where the newest index stands between the extremes of the last `period`
// index values, 0 to 100; 50 when they are all equal.
class StochasticCci final : public Indicator {
 public:
  static Result<StochasticCci, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 2 * core_.period - 1; }

 private:
  explicit StochasticCci(CciCore core) : core_(std::move(core)), values_(core_.period) {}
  CciCore core_;
  BoundedRing<double> values_;  // the last `period` index values
};

// The centre starts as the plain window mean and then follows the typical
// price with a factor between (2/31)^2 and (2/3)^2 set by how directly the
// window travelled.
class AdaptiveCci final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then MAX_PERIOD, then 1 "adaptive CCI needs period >= 2".
  static Result<AdaptiveCci, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return period_; }

 private:
  explicit AdaptiveCci(std::uint64_t n)
      : prices_(n), period_(n), divisor_(static_cast<double>(n)) {}
  BoundedRing<double> prices_;  // the last `period` typical prices
  std::optional<double> mean_;
  std::uint64_t period_;
  double divisor_;
  CopiesSoFar copies_;  // of the typical prices
  // Once the window holds only copies of the typical price (a halt), the
  // centre steps toward it by a fixed factor: in exact arithmetic the
  // distance and the mean deviation from it shrink together and their ratio
  // keeps its value, which the rounded ratio reads by turns a unit in the
  // last place either side, and the centre may even reach the price. The
  // index is read as it stood on the first such bar.
  HaltHold halt_;
  double last_price_ = std::nan("");  // the typical price before
};

}  // namespace fendro
