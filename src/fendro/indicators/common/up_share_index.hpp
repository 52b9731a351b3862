// The index of a pair of averages of ups and downs, as the RSI and the
// relative volatility read it, and the settled path of such a pair.
#pragma once

#include <array>

#include "fendro/indicators/windows/settled_step.hpp"

namespace fendro {

// 100 * up / (up + down) of two averages, 50 when both are 0: the index of
// the RSI and of the relative volatility.
inline double up_share_index(double up, double down) {
  const double total = up + down;
  if (total == 0.0) return 50.0;
  return (up * 100.0) / total;
}

// The settled path of a pair (see settled_path): both averages stepped by
// step(avg, x) through their records, then the index, kept for these bits.
template <class Step>
double up_share_settled(std::array<SettledStep, 2>& settled, SettledValue<2>& kept, Step step,
                        double& up_avg, double up, double& down_avg, double down) {
  kept_steps(settled, step, SettledSlot{up_avg, up}, SettledSlot{down_avg, down});
  const auto index = [](double u, double d) { return up_share_index(u, d); };
  return kept_apply(kept, index, up_avg, down_avg);
}

}  // namespace fendro
