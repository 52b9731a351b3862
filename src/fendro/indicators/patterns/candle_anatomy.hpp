// The anatomy of one candle and the frame every candlestick pattern shares.
//
// Anatomy terms are plain functions of a candle's open, high, low and close.
// A pattern answers +1 (bullish, or a non-directional shape that is present),
// -1 (bearish) or 0 (absent). A pattern over N candles keeps the N - 1 most
// recent valid candles before the current one; it gives no value until it has
// seen N valid candles, then a value on every valid candle. An invalid candle
// is dropped: no value, window untouched. Its warm-up is N.
//
// A pattern type is declared as
//
//   struct EngulfingRule {
//     static constexpr std::size_t kCandles = 2;
//     double operator()(const CandleSpan<2>& c) const;  // c[0] oldest
//   };
//   using Engulfing = CandlePattern<EngulfingRule>;
//
// A single-candle rule (kCandles = 1) takes the candle itself:
// `double operator()(const Candle& c) const`.
//
// Constants a rule keeps (tolerances) are fields of the rule object, which the
// pattern holds as part of its state. Candle k of a rule's notation (1 oldest)
// is c[k - 1].
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/market/records.hpp"

namespace fendro::patterns {

// Output values of every pattern type.
inline constexpr double kBullish = 1.0;
inline constexpr double kBearish = -1.0;
inline constexpr double kNone = 0.0;

// +1 for a bullish candle (close above open), otherwise -1.
inline double direction_of(const Candle& c) { return c.close > c.open ? kBullish : kBearish; }

inline double range(const Candle& c) { return c.high - c.low; }
inline double body(const Candle& c) { return std::abs(c.close - c.open); }
inline double body_top(const Candle& c) { return std::max(c.open, c.close); }
inline double body_bottom(const Candle& c) { return std::min(c.open, c.close); }
inline double upper_shadow(const Candle& c) { return c.high - body_top(c); }
inline double lower_shadow(const Candle& c) { return body_bottom(c) - c.low; }
inline bool is_bullish(const Candle& c) { return c.close > c.open; }
inline bool is_bearish(const Candle& c) { return c.close < c.open; }

// (open + close) * 0.5, halves added when either is large enough to overflow.
inline double body_midpoint(const Candle& c) { return midpoint(c.open, c.close); }

// Where the body midpoint sits in the range: 0 at the low, 1 at the high.
// The caller makes sure the range is not zero.
inline double body_position(const Candle& c) { return (body_midpoint(c) - c.low) / range(c); }

// A doji: a positive range and a body of at most a tenth of it.
inline bool is_doji(const Candle& c) {
  const double r = range(c);
  return r > 0.0 && body(c) <= r * 0.1;
}

// Two ranges' mean, overflow-safe like the body midpoint.
inline double mean_range(const Candle& a, const Candle& b) { return midpoint(range(a), range(b)); }

// |a - b| <= max(|a|, |b|) * k: two prices equal within the relative tolerance k.
inline bool near_relative(double a, double b, double k) {
  return std::abs(a - b) <= std::max(std::abs(a), std::abs(b)) * k;
}

// The candles one rule reads, oldest first; the last one is the current candle.
template <std::size_t N>
using CandleSpan = std::array<Candle, N>;

// The last N values pushed, oldest first. Patterns look at a handful of
// candles at most, so shifting the array on every push is cheaper than
// indexing a ring in every rule.
template <class T, std::size_t N>
class LastN {
 public:
  // Appends x as the newest value; true once N values are held.
  bool push(const T& x) {
    if (held_ < N) {
      items_[held_++] = x;
    } else {
      std::copy(items_.begin() + 1, items_.end(), items_.begin());
      items_[N - 1] = x;
    }
    return held_ == N;
  }
  bool full() const { return held_ == N; }
  const std::array<T, N>& items() const { return items_; }

 private:
  std::array<T, N> items_{};
  std::size_t held_ = 0;
};

// A candlestick pattern over Rule::kCandles candles, behind the indicator
// interface. Built without parameters; construction cannot fail.
template <class Rule>
class CandlePattern final : public Indicator {
 public:
  static constexpr std::size_t kCandles = Rule::kCandles;
  static_assert(kCandles >= 1);

  CandlePattern() = default;

  std::optional<double> update(const BarSnapshot& bar) override {
    const Candle* c = checked_candle(bar);
    if (c == nullptr) return no_value();
    if constexpr (kCandles == 1) {
      return value_out(rule_(*c));
    } else {
      if (!window_.push(*c)) return no_value();
      return value_out(rule_(window_.items()));
    }
  }
  std::uint64_t warmup_period() const override { return kCandles; }

  const Rule& rule() const { return rule_; }

 private:
  Rule rule_{};
  LastN<Candle, kCandles> window_;  // unused by single-candle shapes
};

}  // namespace fendro::patterns

// Declare a pattern type `Name` (and its rule `NameRule`) over `n` candles, or
// over one candle, with no constant of its own; the rule's body is defined in
// the type's source file.
#define FENDRO_CANDLE_RULE(Name, n)                                     \
  struct Name##Rule {                                                   \
    static constexpr std::size_t kCandles = n;                          \
    double operator()(const ::fendro::patterns::CandleSpan<n>& c) const; \
  };                                                                    \
  using Name = ::fendro::patterns::CandlePattern<Name##Rule>

#define FENDRO_SINGLE_CANDLE_RULE(Name)                       \
  struct Name##Rule {                                         \
    static constexpr std::size_t kCandles = 1;                \
    double operator()(const ::fendro::Candle& c) const;       \
  };                                                          \
  using Name = ::fendro::patterns::CandlePattern<Name##Rule>
