// Length checks shared by every constructor that sizes a window.
#pragma once

#include <cstdint>
#include <string_view>

#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// Plain order: 0 gives ZeroPeriod, then a length above MAX_PERIOD is refused.
inline Status<IndicatorError> check_period(std::uint64_t n) {
  if (n == 0) return err(IndicatorError::zero_period());
  if (n > MAX_PERIOD) return err(IndicatorError::invalid_period(kMaxPeriodReason));
  return Unit{};
}

// Plain order with a minimum: 0, then MAX_PERIOD, then `n < min` with `why`.
inline Status<IndicatorError> check_period_min(std::uint64_t n, std::uint64_t min,
                                               std::string_view why) {
  FENDRO_CHECK(check_period(n));
  if (n < min) return err(IndicatorError::invalid_period(why));
  return Unit{};
}

// Minimum first: `n < min` (0 included) with `why`, then MAX_PERIOD. Never
// answers ZeroPeriod.
inline Status<IndicatorError> check_period_min_first(std::uint64_t n, std::uint64_t min,
                                                     std::string_view why) {
  if (n < min) return err(IndicatorError::invalid_period(why));
  if (n > MAX_PERIOD) return err(IndicatorError::invalid_period(kMaxPeriodReason));
  return Unit{};
}

}  // namespace fendro
