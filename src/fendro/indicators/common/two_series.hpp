// The input of two-series types and the formulas they share. Series A is the
// candle's close, series B the snapshot's reference value; the candle itself
// is not checked. A bar without a reference, or with either value NaN or
// infinite, is dropped.
#pragma once

#include <cmath>
#include <optional>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/anchored_pair_moments.hpp"
#include "fendro/market/bar_snapshot.hpp"

namespace fendro::stats {

struct PairInput {
  double a = 0.0;  // the close
  double b = 0.0;  // the reference value
};

inline std::optional<PairInput> two_series_input(const BarSnapshot& bar) {
  const auto a = finite_close(bar);
  if (!a || !bar.reference || !std::isfinite(*bar.reference)) return std::nullopt;
  return PairInput{*a, *bar.reference};
}

// The previous accepted pair, for types that work on changes: the first
// accepted bar only stores it (no change yet); every later one yields the
// change against it and becomes the new previous pair.
class PairChanges {
 public:
  std::optional<PairInput> next(PairInput now) {
    const std::optional<PairInput> prev = prev_;
    prev_ = now;
    if (!prev) return std::nullopt;
    return PairInput{now.a - prev->a, now.b - prev->b};
  }

 private:
  std::optional<PairInput> prev_;
};

// Slope of A on B: cov / varB, 0.0 when B is flat.
inline double pair_beta(const PairMoments& m) { return m.var_b == 0.0 ? 0.0 : m.cov / m.var_b; }

// cov / sqrt(varA * varB) clamped to [-1, 1]; 0.0 when either series is flat.
inline double pair_correlation(const PairMoments& m) {
  const double denom = m.var_a * m.var_b;
  if (denom == 0.0) return 0.0;
  const double r = m.cov / std::sqrt(denom);
  return r < -1.0 ? -1.0 : (r > 1.0 ? 1.0 : r);
}

}  // namespace fendro::stats
