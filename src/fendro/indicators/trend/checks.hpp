// Construction checks and small per-bar helpers shared by the trend types
// (the period checks themselves are the windows' `check_period`).
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/market/records.hpp"
#include "fendro/util/result.hpp"

namespace fendro::trend {

inline bool positive_finite(double v) { return std::isfinite(v) && v > 0.0; }

// A multiplier (or factor, step, size) must be a finite number above zero.
inline Status<IndicatorError> check_multiplier(double m) {
  if (!positive_finite(m)) return err(IndicatorError::non_positive_multiplier());
  return Unit{};
}

// The bar's candle when it passes the candle check, else null.
inline const Candle* checked_candle(const BarSnapshot& bar) {
  if (bar.candle == nullptr || !validate_candle(*bar.candle).ok()) return nullptr;
  return bar.candle;
}

// The bar's close when it is finite; close-only types look at nothing else.
inline std::optional<double> finite_close(const BarSnapshot& bar) {
  if (bar.candle == nullptr || !std::isfinite(bar.candle->close)) return std::nullopt;
  return bar.candle->close;
}

struct HighLow {
  double high, low;
};

// Stores the candle's high and low as the previous ones and returns those it
// replaces (none on the first accepted candle).
inline std::optional<HighLow> exchange_previous(std::optional<HighLow>& prev, const Candle& c) {
  return std::exchange(prev, HighLow{c.high, c.low});
}

// The midpoint of two prices as the whole system forms it: (a + b) * 0.5,
// or the halves added when either operand is so large that the sum could
// overflow.
inline double midpoint(double a, double b) {
  constexpr double kHalfMax = 8.988465674311579e307;
  if (std::abs(a) <= kHalfMax && std::abs(b) <= kHalfMax) return (a + b) * 0.5;
  return a * 0.5 + b * 0.5;
}

}  // namespace fendro::trend
