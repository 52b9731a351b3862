// Confirmed swing highs and lows of a stream of candle highs and lows, by a
// percentage-reversal rule. A plain component held by value inside the
// states of the Fibonacci tools and the swing chart patterns; those validate
// each candle first and feed the tracker once per valid bar.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace fendro {

struct SwingPivot {
  double price = 0.0;     // the confirmed extreme
  double kind = 0.0;      // +1.0 swing high, -1.0 swing low
  std::uint64_t bar = 0;  // index of the bar that made the extreme
};

class SwingTracker {
 public:
  // No user keeps more than seven pivots.
  static constexpr std::size_t kCapacity = 7;
  static constexpr double kReversalFraction = 0.05;

  // `max_pivots` is clamped to 1 .. kCapacity.
  explicit constexpr SwingTracker(std::size_t max_pivots,
                                  double reversal_fraction = kReversalFraction)
      : reversal_fraction_(reversal_fraction),
        max_pivots_(std::clamp<std::size_t>(max_pivots, 1, kCapacity)) {}

  // One step with the bar's high and low; true when it confirmed a pivot.
  // A bar that moves the leg's extreme never confirms on the same bar, and a
  // bar equal to the extreme leaves the earlier bar as the extreme.
  constexpr bool update(double high, double low) {
    const std::uint64_t i = bars_seen_++;
    if (!has_leg_) {
      start_leg(+1.0, high, i);
      return false;
    }
    if (direction_ > 0.0) {
      if (high > extreme_) {
        extreme_ = high;
        extreme_bar_ = i;
        return false;
      }
      if (low <= extreme_ * (1.0 - reversal_fraction_)) {
        confirm(+1.0);
        start_leg(-1.0, low, i);
        return true;
      }
      return false;
    }
    if (low < extreme_) {
      extreme_ = low;
      extreme_bar_ = i;
      return false;
    }
    if (high >= extreme_ * (1.0 + reversal_fraction_)) {
      confirm(-1.0);
      start_leg(+1.0, high, i);
      return true;
    }
    return false;
  }

  // Confirmed pivots, oldest first.
  constexpr std::size_t count() const { return count_; }
  constexpr const SwingPivot& pivot(std::size_t k) const { return pivots_[k]; }
  // The k-th newest pivot (0 = newest); requires k < count().
  constexpr const SwingPivot& from_newest(std::size_t k) const {
    return pivots_[count_ - 1 - k];
  }
  constexpr std::size_t max_pivots() const { return max_pivots_; }
  // Updates so far; the current bar's index is bars_seen() - 1.
  constexpr std::uint64_t bars_seen() const { return bars_seen_; }

  // The leg being tracked (valid once bars_seen() > 0).
  constexpr bool has_leg() const { return has_leg_; }
  constexpr double leg_direction() const { return direction_; }
  constexpr double leg_extreme() const { return extreme_; }
  constexpr std::uint64_t leg_extreme_bar() const { return extreme_bar_; }

 private:
  constexpr void start_leg(double direction, double extreme, std::uint64_t bar) {
    has_leg_ = true;
    direction_ = direction;
    extreme_ = extreme;
    extreme_bar_ = bar;
  }

  // Appends the leg's extreme as a pivot, dropping the oldest when full.
  constexpr void confirm(double kind) {
    if (count_ == max_pivots_) {
      std::move(pivots_.begin() + 1, pivots_.begin() + count_, pivots_.begin());
      --count_;
    }
    pivots_[count_++] = SwingPivot{extreme_, kind, extreme_bar_};
  }

  std::array<SwingPivot, kCapacity> pivots_{};
  std::size_t count_ = 0;
  double reversal_fraction_;
  std::size_t max_pivots_;
  std::uint64_t bars_seen_ = 0;
  bool has_leg_ = false;
  double direction_ = 0.0;
  double extreme_ = 0.0;
  std::uint64_t extreme_bar_ = 0;
};

// The step under the name the tools and patterns use for it.
constexpr bool fib_swing_update(SwingTracker& tracker, double high, double low) {
  return tracker.update(high, low);
}

}  // namespace fendro
