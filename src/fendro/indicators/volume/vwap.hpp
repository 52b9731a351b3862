// Volume-weighted average prices of the typical price ((high + low) + close)
// / 3: cumulative, per local calendar day, over the last n bars, and with
// volume-weighted standard-deviation bands. Every type reads the whole candle
// and drops a bar that fails the candle check. While every typical price the
// sums hold is a copy of one price, the average reads that price: a sum of
// price * volume over a sum of volume only comes back to it within rounding.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/copies_so_far.hpp"
#include "fendro/indicators/windows/copy_run.hpp"
#include "fendro/indicators/windows/running_sum.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// Cumulative from the first accepted bar; no value while no volume was seen.
class Vwap final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  double cum_pv_ = 0.0;
  double cum_volume_ = 0.0;
  CopiesSoFar flat_;  // of the typical prices
};
// Anchored at the first bar it accepts, which is exactly the cumulative VWAP.
using AnchoredVwap = Vwap;

// Cumulative within one local calendar day (UTC offset in minutes); the
// bar's typical price while the day has seen no volume.
class SessionVwap final : public Indicator {
 public:
  static Result<SessionVwap, IndicatorError> create(std::int32_t utc_offset_minutes) {
    return SessionVwap(utc_offset_minutes);
  }
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  explicit SessionVwap(std::int32_t offset) : offset_(offset) {}
  std::optional<std::int64_t> day_;  // local day number of the current session
  double cum_pv_ = 0.0;
  double cum_volume_ = 0.0;
  CopiesSoFar flat_;  // of the session's typical prices
  std::int32_t offset_;
};

// Over the last n bars; both sums are rebuilt exactly every n pushes.
class RollingVwap final : public Indicator {
 public:
  static Result<RollingVwap, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return pv_.period(); }

 private:
  explicit RollingVwap(std::uint64_t n) : pv_(n, true), volume_(n, true) {}
  RunningSum pv_;
  RunningSum volume_;
  CopyRun copies_;     // of the typical prices
  ZeroRun no_volume_;  // a window of no volume has no price, whatever residue the sums hold
};

// Cumulative VWAP with bands `multiplier` volume-weighted standard deviations
// away. Deviations are summed about the first bar's typical price, which
// keeps the sums small. Outputs: upper, middle, lower, stddev.
class VwapStdDevBands final : public Indicator {
 public:
  static Result<VwapStdDevBands, IndicatorError> create(double multiplier);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return outputs_.view(); }
  std::uint64_t warmup_period() const override { return 1; }

 private:
  explicit VwapStdDevBands(double multiplier) : multiplier_(multiplier) {}
  OutputList<4> outputs_{{"upper", "middle", "lower", "stddev"}};
  double multiplier_;
  std::optional<double> anchor_;
  double sum_wd_ = 0.0;   // sum of volume * d, d = typical - anchor
  double sum_wd2_ = 0.0;  // sum of volume * d * d
  double sum_volume_ = 0.0;
};

}  // namespace fendro
