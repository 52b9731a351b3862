// The construction check of the volume oscillators built from a fast and a
// slow length.
#pragma once

#include <cstdint>
#include <string_view>

#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro::volume {

// Either length 0 gives ZeroPeriod, then fast >= slow InvalidPeriod with the
// type's own text, then a length above MAX_PERIOD (with fast < slow only the
// slow one can be).
inline Status<IndicatorError> check_fast_slow(std::uint64_t fast, std::uint64_t slow,
                                              std::string_view why) {
  if (fast == 0 || slow == 0) return err(IndicatorError::zero_period());
  if (fast >= slow) return err(IndicatorError::invalid_period(why));
  if (slow > MAX_PERIOD) return err(IndicatorError::invalid_period(kMaxPeriodReason));
  return Unit{};
}

}  // namespace fendro::volume
