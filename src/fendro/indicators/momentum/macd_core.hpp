// The gap between a fast and a slow exponential average of the close, and
// that gap's own exponential average (the signal line). Shared by every type
// that reads a MACD line and by the families that build on one.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

#include "fendro/indicators/windows/ema_state.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// The construction checks of a fast/slow pair with a signal length: any
// length 0 gives ZeroPeriod, then fast >= slow InvalidPeriod with `why`, then
// a length above MAX_PERIOD (fast < slow, so testing slow covers fast).
inline Status<IndicatorError> check_fast_slow(std::uint64_t fast, std::uint64_t slow,
                                              std::uint64_t signal, std::string_view why) {
  if (fast == 0 || slow == 0 || signal == 0) return err(IndicatorError::zero_period());
  if (fast >= slow) return err(IndicatorError::invalid_period(why));
  if (slow > MAX_PERIOD || signal > MAX_PERIOD) {
    return err(IndicatorError::invalid_period(kMaxPeriodReason));
  }
  return Unit{};
}

struct MacdValue {
  double macd;
  double signal;
  double histogram;  // macd - signal
};

struct MacdCore {
  EmaState fast;
  EmaState slow;
  EmaState signal;

  // Unchecked lengths, alpha = 2 / (n + 1) for all three stages.
  static MacdCore of_periods(std::uint64_t fast, std::uint64_t slow, std::uint64_t signal) {
    return {EmaState::of_period(fast), EmaState::of_period(slow), EmaState::of_period(signal)};
  }

  // Bars before the first value when the fast average is the shorter one.
  std::uint64_t warmup() const { return slow.period + signal.period - 1; }
};

// One close. No value for a NaN or infinite close (nothing changes), while
// either average seeds, when the gap overflows (both averages keep their
// step; the signal is not touched), or while the signal seeds.
inline std::optional<MacdValue> macd_update(MacdCore& m, double close) {
  if (!std::isfinite(close)) return std::nullopt;
  double f;
  double s;
  const bool has_fast = ema_update_to(m.fast, close, f);
  const bool has_slow = ema_update_to(m.slow, close, s);
  if (!has_fast || !has_slow) return std::nullopt;
  const double macd = f - s;
  if (!std::isfinite(macd)) return std::nullopt;
  const auto sig = ema_update_settled(m.signal, macd);
  if (!sig) return std::nullopt;
  return MacdValue{macd, *sig, macd - *sig};
}

}  // namespace fendro
