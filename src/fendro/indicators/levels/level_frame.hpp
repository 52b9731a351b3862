// Two frames shared by the parameterless level tools. Each validates the
// candle, computes a fixed list of levels by its rule and reports them as
// named outputs, the first being the value:
//   CandleLevels<Rule>  levels of the bar's own candle (floor pivots);
//   SwingLevels<Rule>   levels of the confirmed swing pivots (Fibonacci tools).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <tuple>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/common/swing_tracker.hpp"

namespace fendro {

// Replaces every output with the matching level; returns the first.
template <std::size_t N>
double set_levels(OutputList<N>& out, const std::array<double, N>& levels) {
  return std::apply([&out](auto... v) { return out.set(v...); }, levels);
}

// Rule: kNames (std::array of output names) and
// `static std::array<double, N> levels(const Candle&)`.
template <class Rule>
class CandleLevels final : public Indicator {
 public:
  static constexpr std::size_t kCount = Rule::kNames.size();

  std::optional<double> update(const BarSnapshot& bar) override {
    const Candle* c = checked_candle(bar);
    if (c == nullptr) return no_value();
    return value_out(set_levels(out_, Rule::levels(*c)));
  }
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return 1; }

 private:
  OutputList<kCount> out_{Rule::kNames};
};

// Rule: kNames, kMaxPivots (pivots kept), kNeeded (pivots before a value),
// kWarmup, kMovesWithBar (whether the levels use the current bar's index)
// and `static std::array<double, N> levels(const SwingTracker&)`.
// Every valid candle advances the tracker; once it holds kNeeded pivots each
// valid candle gives the rule's levels. Levels of the pivot prices alone
// change only when a pivot is confirmed, so they are computed only then.
template <class Rule>
class SwingLevels final : public Indicator {
 public:
  static constexpr std::size_t kCount = Rule::kNames.size();

  std::optional<double> update(const BarSnapshot& bar) override {
    const Candle* c = checked_candle(bar);
    if (c == nullptr) return no_value();
    const bool confirmed = fib_swing_update(tracker_, c->high, c->low);
    if (tracker_.count() < Rule::kNeeded) return no_value();
    if (!Rule::kMovesWithBar && !confirmed && !out_.view().empty()) {
      return value_out(out_.view().front().value);
    }
    return value_out(set_levels(out_, Rule::levels(tracker_)));
  }
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return Rule::kWarmup; }

 private:
  SwingTracker tracker_{Rule::kMaxPivots};
  OutputList<kCount> out_{Rule::kNames};
};

}  // namespace fendro
