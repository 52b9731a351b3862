// Regression of the close (series A) on the bar's reference value (series B)
// over a rolling window: the current residual from the window's line, and the
// beta of the two series' log returns.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/pairs/pair_inputs.hpp"
#include "fendro/indicators/common/anchored_pair_moments.hpp"
#include "fendro/indicators/common/pair_moments_stat.hpp"
#include "fendro/indicators/common/two_series.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro::pairs {

// A - (intercept + beta * B) for the bar's own A and B, with the window's
// least-squares line of A on B (a flat B gives beta 0, so A - meanA).
class BetaNeutralSpread final
    : public stats::PairMomentsStat<BetaNeutralSpread, stats::PairPush::Levels> {
 public:
  static Result<BetaNeutralSpread, IndicatorError> create(std::uint64_t period);
  double value(const stats::PairMoments& m, stats::PairInput current) const;

 private:
  using PairMomentsStat::PairMomentsStat;
};

// Beta of ln(A / previous A) on ln(B / previous B). Both values must be
// positive; a bar failing that is dropped without touching the previous pair.
class PairwiseBeta final : public Indicator {
 public:
  static Result<PairwiseBeta, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.period() + 1; }

 private:
  explicit PairwiseBeta(std::uint64_t period) : window_(period) {}

  std::optional<stats::PairInput> prev_;
  stats::AnchoredPairMoments window_;
};

}  // namespace fendro::pairs
