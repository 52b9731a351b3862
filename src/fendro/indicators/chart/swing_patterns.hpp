// Chart formations and harmonic patterns judged on the newest confirmed swing
// pivots of a percentage-reversal swing tracker (5% reversal). Every type
// shares one frame: validate the candle, feed the tracker the bar's high and
// low, give no value until the tracker holds its full list of pivots, then 0
// on bars that confirm nothing and the rule's verdict (+1 bullish, -1
// bearish, 0 none) on a bar that confirms a pivot. No parameters, no named
// outputs; the warm-up is the pivot count plus one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/common/swing_tracker.hpp"

namespace fendro::chart {

// Rule: kMaxPivots and `static double judge(const SwingTracker&)`, called
// only when the tracker holds exactly kMaxPivots pivots (pivot(0) oldest).
template <class Rule>
class SwingPattern final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override {
    const Candle* c = checked_candle(bar);
    if (c == nullptr) return no_value();
    const bool confirmed = fib_swing_update(tracker_, c->high, c->low);
    if (tracker_.count() < Rule::kMaxPivots) return no_value();
    return value_out(confirmed ? Rule::judge(tracker_) : 0.0);
  }
  std::uint64_t warmup_period() const override { return Rule::kMaxPivots + 1; }

 private:
  SwingTracker tracker_{Rule::kMaxPivots};
};

// |a - b| at most `fraction` of the larger magnitude (never less than the
// smallest positive normal f64, so two zeros are alike).
bool within(double a, double b, double fraction);

// Two prices are level when they differ by at most 3% of the larger magnitude.
inline bool level(double a, double b) { return within(a, b, 0.03); }

// The verdict of a formation completing at `newest`: +1 at a swing low,
// -1 at a swing high.
inline double completes_at(const SwingPivot& newest) { return newest.kind < 0.0 ? 1.0 : -1.0; }

#define FENDRO_SWING_RULE(Name, pivots)                     \
  struct Name##Rule {                                       \
    static constexpr std::size_t kMaxPivots = pivots;       \
    static double judge(const SwingTracker& t);             \
  };                                                        \
  using Name = SwingPattern<Name##Rule>

// Chart formations.
FENDRO_SWING_RULE(DoubleTopBottom, 3);
FENDRO_SWING_RULE(FlagPennant, 3);
FENDRO_SWING_RULE(RectangleRange, 4);
FENDRO_SWING_RULE(CupAndHandle, 4);
FENDRO_SWING_RULE(Triangle, 4);
FENDRO_SWING_RULE(Wedge, 4);
FENDRO_SWING_RULE(TripleTopBottom, 5);
FENDRO_SWING_RULE(HeadAndShoulders, 5);

// Harmonic patterns.
FENDRO_SWING_RULE(Abcd, 4);
FENDRO_SWING_RULE(Gartley, 5);
FENDRO_SWING_RULE(Bat, 5);
FENDRO_SWING_RULE(Butterfly, 5);
FENDRO_SWING_RULE(Crab, 5);
FENDRO_SWING_RULE(Shark, 5);
FENDRO_SWING_RULE(Cypher, 5);
FENDRO_SWING_RULE(ThreeDrives, 7);

#undef FENDRO_SWING_RULE

}  // namespace fendro::chart
