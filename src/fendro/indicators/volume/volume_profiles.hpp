// Volume profiles of the last n candles: the price range they span, the
// point of control with the value area around it, and the high and low
// volume nodes. Every type reads the whole candle and drops a bar that fails
// the candle check; no value until n bars have been accepted.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/common/rolling_extreme.hpp"
#include "fendro/indicators/volume/price_profile.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// The lowest low and highest high of the last n bars (outputs price_low,
// price_high); `bins` shapes nothing they publish.
class VolumeProfile final : public Indicator {
 public:
  // period or bins 0: ZeroPeriod; no upper bound (the window grows with the bars).
  static Result<VolumeProfile, IndicatorError> create(std::uint64_t period, std::uint64_t bins);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return outputs_.view(); }
  std::uint64_t warmup_period() const override { return period_; }

 private:
  explicit VolumeProfile(std::uint64_t n) : lows_(n), highs_(n), period_(n) {}
  vol::RollingMin lows_;
  vol::RollingMax highs_;
  std::uint64_t period_;
  OutputList<2> outputs_{{"price_low", "price_high"}};
};
// The time-at-price profile publishes the same range.
using TpoProfile = VolumeProfile;

// The point of control and the value area holding `value_area_pct` of the
// window's volume (outputs poc, vah, val). With `Edges` the area is reported
// by the outer edges of its end bins, otherwise by their centres.
template <bool Edges>
class ValueAreaProfile final : public Indicator {
 public:
  // period or bins 0: ZeroPeriod; then value_area_pct outside (0, 1].
  static Result<ValueAreaProfile, IndicatorError> create(std::uint64_t period, std::uint64_t bins,
                                                         double value_area_pct);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return outputs_.view(); }
  std::uint64_t warmup_period() const override { return window_.capacity(); }

 private:
  ValueAreaProfile(std::uint64_t n, std::uint64_t bins, double pct)
      : window_(n), bins_(bins), pct_(pct) {}
  BoundedRing<volume::ProfileBar> window_;
  volume::BinRuns runs_;
  std::uint64_t bins_;
  double pct_;
  OutputList<3> outputs_{{"poc", "vah", "val"}};
};
using ValueArea = ValueAreaProfile<true>;
using CompositeProfile = ValueAreaProfile<false>;

// The centres of the highest-volume bin and of the lowest bin that has any
// volume (outputs hvn, lvn).
class HighLowVolumeNodes final : public Indicator {
 public:
  // period or bins 0: ZeroPeriod; no upper bound.
  static Result<HighLowVolumeNodes, IndicatorError> create(std::uint64_t period,
                                                           std::uint64_t bins);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return outputs_.view(); }
  std::uint64_t warmup_period() const override { return window_.capacity(); }

 private:
  HighLowVolumeNodes(std::uint64_t n, std::uint64_t bins) : window_(n), bins_(bins) {}
  BoundedRing<volume::ProfileBar> window_;
  volume::BinRuns runs_;
  std::uint64_t bins_;
  OutputList<2> outputs_{{"hvn", "lvn"}};
};

}  // namespace fendro
