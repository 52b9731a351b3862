// What an indicator takes from a bar, and the small checks every family
// shares: the candle check, the finite close, multipliers, the midpoint and
// the typical price.
#pragma once

#include <cmath>
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

// The bar's candle when it passes the candle check, else null: whole-candle
// types drop the bar then.
inline const Candle* checked_candle(const BarSnapshot& bar) {
  if (bar.candle == nullptr || !validate_candle(*bar.candle).ok()) return nullptr;
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
