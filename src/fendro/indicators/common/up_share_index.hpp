// The index of a pair of averages of ups and downs, as the RSI and the
// relative volatility read it.
#pragma once

namespace fendro {

// 100 * up / (up + down) of two averages, 50 when both are 0: the index of
// the RSI and of the relative volatility.
inline double up_share_index(double up, double down) {
  const double total = up + down;
  if (total == 0.0) return 50.0;
  return (up * 100.0) / total;
}

}  // namespace fendro
