// Rolling statistics of the close (series A) against the bar's reference
// value (series B): beta, alpha over a risk-free rate, Pearson correlation of
// the levels, and correlation and covariance of the one-bar changes. Without
// a reference value (as in every bar of a backtest) they give no value.
#pragma once

#include <cstdint>

#include "fendro/indicators/common/pair_moments_stat.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro::stats {

// cov(A, B) / var(B); 0.0 when B is flat.
class Beta final : public PairMomentsStat<Beta, PairPush::Levels> {
 public:
  static Result<Beta, IndicatorError> create(std::uint64_t period);
  double value(const PairMoments& m, PairInput current) const;

 private:
  using PairMomentsStat::PairMomentsStat;
};

// meanA - (rf + beta * (meanB - rf)); meanA - rf when B is flat.
class Alpha final : public PairMomentsStat<Alpha, PairPush::Levels> {
 public:
  static Result<Alpha, IndicatorError> create(std::uint64_t period, double risk_free);
  double value(const PairMoments& m, PairInput current) const;

 private:
  Alpha(std::uint64_t n, double risk_free) : PairMomentsStat(n), risk_free_(risk_free) {}
  double risk_free_;
};

// Correlation of the levels, in [-1, 1]; 0.0 when either series is flat.
class PearsonCorrelation final : public PairMomentsStat<PearsonCorrelation, PairPush::Levels> {
 public:
  static Result<PearsonCorrelation, IndicatorError> create(std::uint64_t period);
  double value(const PairMoments& m, PairInput current) const;

 private:
  using PairMomentsStat::PairMomentsStat;
};

// Correlation of the one-bar changes, in [-1, 1].
class RollingCorrelation final : public PairMomentsStat<RollingCorrelation, PairPush::Changes> {
 public:
  static Result<RollingCorrelation, IndicatorError> create(std::uint64_t period);
  double value(const PairMoments& m, PairInput current) const;

 private:
  using PairMomentsStat::PairMomentsStat;
};

// Population covariance of the one-bar changes.
class RollingCovariance final : public PairMomentsStat<RollingCovariance, PairPush::Changes> {
 public:
  static Result<RollingCovariance, IndicatorError> create(std::uint64_t period);
  double value(const PairMoments& m, PairInput current) const;

 private:
  using PairMomentsStat::PairMomentsStat;
};

}  // namespace fendro::stats
