// What an indicator takes from a bar, and the small checks every family
// shares: the candle check, the finite close, multipliers, the midpoint and
// the typical price.
#pragma once

#include <cmath>
#include <limits>
#include <optional>

#include "fendro/market/bar_snapshot.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/market/records.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

inline bool positive_finite(double v) { return std::isfinite(v) && v > 0.0; }

// A multiplier (or factor, step, size) must be a finite number above zero.
inline Status<IndicatorError> check_multiplier(double m) {
  if (!positive_finite(m)) return err(IndicatorError::non_positive_multiplier());
  return Unit{};
}

// Whether `validate_candle` accepts the candle, decided without building its
// result: every field finite, volume not negative, the high at or above the
// low, open and close, the low at or below open and close. Once all fields
// are finite each refusal `a < b` is the negation of `a >= b`, so the tests
// combine without branches.
inline bool candle_passes(const Candle& c) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const bool finite = (std::abs(c.open) < kInf) & (std::abs(c.high) < kInf) &
                      (std::abs(c.low) < kInf) & (std::abs(c.close) < kInf) &
                      (std::abs(c.volume) < kInf);
  const bool ordered = (c.volume >= 0.0) & (c.high >= c.low) & (c.high >= c.open) &
                       (c.high >= c.close) & (c.low <= c.open) & (c.low <= c.close);
  return finite & ordered;
}

// The bar's candle when it passes the candle check, else null: whole-candle
// types drop the bar then.
inline const Candle* checked_candle(const BarSnapshot& bar) {
  if (bar.candle == nullptr || !candle_passes(*bar.candle)) [[unlikely]] return nullptr;
  return bar.candle;
}

// The bar's close when it is finite; close-only types look at nothing else.
inline std::optional<double> finite_close(const BarSnapshot& bar) {
  if (bar.candle == nullptr || !std::isfinite(bar.candle->close)) return std::nullopt;
  return bar.candle->close;
}

// The midpoint of two values: (a + b) * 0.5, or the halves added when either
// operand is so large that the sum could overflow.
inline double midpoint(double a, double b) {
  constexpr double kHalfMax = 8.988465674311579e307;
  if (std::abs(a) <= kHalfMax && std::abs(b) <= kHalfMax) return (a + b) * 0.5;
  return a * 0.5 + b * 0.5;
}

// The typical price ((high + low) + close) / 3, added in that order.
inline double typical_price(const Candle& c) { return ((c.high + c.low) + c.close) / 3.0; }

}  // namespace fendro
