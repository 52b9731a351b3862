// Market breadth: one number per bar from the bar's cross-section of many
// instruments. A bar without a cross-section gives no value and changes
// nothing; a cross-section with no entries is an ordinary bar.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/transforms/breadth_counts.hpp"
#include "fendro/indicators/windows/ema_state.hpp"
#include "fendro/indicators/windows/sma_window.hpp"
#include "fendro/indicators/windows/zero_run.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

namespace breadth {

using FigureFn = double (*)(const Counts&);

// advancing - declining, both as f64.
inline double net_advances(const Counts& k) { return as_f64(k.advancing) - as_f64(k.declining); }
inline double abs_net_advances(const Counts& k) { return std::abs(net_advances(k)); }
inline double advance_decline_ratio(const Counts& k) {
  return as_f64(k.advancing) / at_least_one(k.declining);
}
inline double up_down_volume_ratio(const Counts& k) {
  return k.up_volume / at_least_one(k.down_volume);
}
// The advance/decline ratio over the up/down volume ratio, each formed first.
inline double trin(const Counts& k) {
  const double ratio = as_f64(k.advancing) / at_least_one(k.declining);
  const double volume_ratio = at_least_one(k.up_volume) / at_least_one(k.down_volume);
  return ratio / volume_ratio;
}
inline double new_highs_new_lows(const Counts& k) {
  return as_f64(k.new_highs) - as_f64(k.new_lows);
}
// NaN for a cross-section with no entries (0 * 100 / 0).
inline double percent_above_ma(const Counts& k) {
  return (as_f64(k.above_ma) * 100) / as_f64(k.entries);
}
inline double bullish_percent(const Counts& k) {
  return (as_f64(k.bullish) * 100) / as_f64(k.entries);
}
inline double up_minus_down_volume(const Counts& k) { return k.up_volume - k.down_volume; }

// The two averages of net advances per mille behind the McClellan measures:
// both start at the first bar's figure, then move 0.1 and 0.05 of the way.
struct McClellanCore {
  double fast = 0.0;
  double slow = 0.0;
  bool seeded = false;

  // fast - slow after taking this bar's counts.
  double step(const Counts& k) {
    const double net = (net_advances(k) / at_least_one(k.advancing + k.declining)) * 1000;
    if (!seeded) {
      fast = net;
      slow = net;
      seeded = true;
    } else {
      fast = fast + (net - fast) * 0.1;
      slow = slow + (net - slow) * 0.05;
    }
    return fast - slow;
  }
};

}  // namespace breadth

// A figure of the current cross-section only.
template <breadth::FigureFn Figure>
class BreadthFigure final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override {
    if (bar.cross_section == nullptr) return no_value();
    return value_out(Figure(breadth::count(bar.cross_section->entries)));
  }
  std::uint64_t warmup_period() const override { return 1; }
};

using AdvanceDeclineRatio = BreadthFigure<breadth::advance_decline_ratio>;
using UpDownVolumeRatio = BreadthFigure<breadth::up_down_volume_ratio>;
using Trin = BreadthFigure<breadth::trin>;
using TickIndex = BreadthFigure<breadth::net_advances>;
using AbsoluteBreadthIndex = BreadthFigure<breadth::abs_net_advances>;
using NewHighsNewLows = BreadthFigure<breadth::new_highs_new_lows>;
using PercentAboveMa = BreadthFigure<breadth::percent_above_ma>;
using BullishPercentIndex = BreadthFigure<breadth::bullish_percent>;

// A running total of a per-bar figure, starting at 0.0.
template <breadth::FigureFn Figure>
class BreadthLine final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override {
    if (bar.cross_section == nullptr) return no_value();
    total_ = total_ + Figure(breadth::count(bar.cross_section->entries));
    return value_out(total_);
  }
  std::uint64_t warmup_period() const override { return 1; }

 private:
  double total_ = 0.0;
};

using AdvanceDecline = BreadthLine<breadth::net_advances>;
// Served under two keys: AdVolumeLine and CumulativeVolumeIndex. A NaN volume
// makes the total NaN from that bar on.
using AdVolumeLine = BreadthLine<breadth::up_minus_down_volume>;

class McClellanOscillator final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override {
    if (bar.cross_section == nullptr) return no_value();
    return value_out(core_.step(breadth::count(bar.cross_section->entries)));
  }
  std::uint64_t warmup_period() const override { return 1; }

 private:
  breadth::McClellanCore core_;
};

// The running sum of the McClellan oscillator.
class McClellanSummationIndex final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override {
    if (bar.cross_section == nullptr) return no_value();
    sum_ = sum_ + core_.step(breadth::count(bar.cross_section->entries));
    return value_out(sum_);
  }
  std::uint64_t warmup_period() const override { return 1; }

 private:
  breadth::McClellanCore core_;
  double sum_ = 0.0;
};

// An exponential average of the advancing share advancing / (advancing +
// declining, raised to 1), seeded by the mean of its first n shares.
class BreadthThrust final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<BreadthThrust, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return ema_.period; }

 private:
  explicit BreadthThrust(EmaState ema) : ema_(ema) {}
  EmaState ema_;
};

// The simple average over n bars of the share of record highs among the
// instruments at a record high or low, in percent (0 when there are none).
// A window of zeros averages to exactly 0.
class HighLowIndex final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<HighLowIndex, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.period; }

 private:
  explicit HighLowIndex(SmaWindow w) : window_(std::move(w)) {}
  SmaWindow window_;
  ZeroRun zeros_;  // the window's sum is read as 0 while it holds only zeros
};

}  // namespace fendro
