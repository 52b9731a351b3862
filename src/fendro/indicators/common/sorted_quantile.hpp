// Order statistics of an ascending list. The interpolated quantile
// (`sorted_quantile`) lives with the sorted window that most users keep; the
// median rule is here.
#pragma once

#include <cstddef>
#include <span>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/windows/sorted_window.hpp"

namespace fendro::stats {

// The middle value of an ascending list of m >= 1 values; for an even m the
// overflow-safe mean of the two middle values.
inline double sorted_median(std::span<const double> s) {
  const std::size_t m = s.size();
  if (m % 2 == 1) return s[m / 2];
  return midpoint(s[m / 2 - 1], s[m / 2]);
}

}  // namespace fendro::stats
