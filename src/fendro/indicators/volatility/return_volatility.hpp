// Volatility estimators over log returns of closes, r = ln(close / previous
// close). Each accepts only finite closes above zero; a refused close changes
// nothing, and the first accepted close only becomes the previous close.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/copy_run.hpp"
#include "fendro/indicators/windows/ring_windows.hpp"
#include "fendro/indicators/windows/rolling_variance.hpp"
#include "fendro/indicators/windows/running_sum.hpp"
#include "fendro/indicators/windows/settled_step.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro {

// (pi / 2) times the sum of |r_i * r_(i+1)| over the adjacent pairs of the
// last n returns.
class BipowerVariation final : public Indicator {
 public:
  static Result<BipowerVariation, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return n_ + 1; }

 private:
  explicit BipowerVariation(std::uint64_t n) : returns_(n), n_(n) {}
  void resum();
  std::optional<double> prev_;
  BoundedRing<double> returns_;
  double sum_ = 0.0;  // B
  std::uint64_t updates_ = 0;
  std::uint64_t n_;
  CopyCheck zeros_;  // how many of the newest returns are 0 (clock: updates_)
};

// Exponentially weighted variance of returns, seeded by the first squared
// return; its square root.
class EwmaVolatility final : public Indicator {
 public:
  // lambda strictly between 0 and 1.
  static Result<EwmaVolatility, IndicatorError> create(double lambda);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 2; }

 private:
  explicit EwmaVolatility(double lambda) : lambda_(lambda) {}
  // The variance after return r.
  double step(double variance, double r) const {
    return (variance * lambda_) + r * (r * (1.0 - lambda_));
  }
  // The step and the root on the settled path: through their records.
  std::optional<double> kept(double r);
  std::optional<double> prev_;
  std::optional<double> variance_;
  double lambda_;
  SettledStep settled_;        // the variance's step, skipped once settled
  SettledValue<1> root_kept_;  // its root, kept for a variance settled below normal
};

// GARCH(1,1) one-step variance forecast: a bar's value is built from the
// previous bar's squared return and variance; the first one is the long-run
// variance.
class Garch11 final : public Indicator {
 public:
  static Result<Garch11, IndicatorError> create(double omega, double alpha, double beta);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 2; }

 private:
  Garch11(double omega, double alpha, double beta)
      : omega_(omega), alpha_(alpha), beta_(beta), long_run_(omega / ((1.0 - alpha) - beta)) {}
  std::optional<double> prev_;
  std::optional<double> variance_;
  double prev_square_ = 0.0;
  double omega_, alpha_, beta_;
  double long_run_;
};

// Sample standard deviation of the last n returns, annualised by sqrt(A), in
// percent.
class HistoricalVolatility final : public Indicator {
 public:
  static Result<HistoricalVolatility, IndicatorError> create(std::uint64_t period,
                                                             std::uint64_t annualisation);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.period + 1; }

 private:
  HistoricalVolatility(std::uint64_t n, std::uint64_t a) : window_(n), annualisation_(a) {}
  std::optional<double> prev_;
  RollingVariance window_;
  std::uint64_t annualisation_;
};

// +1 / -1 when a return lies more than k sample deviations above / below the
// mean of the n returns before it, else 0.
class JumpIndicator final : public Indicator {
 public:
  static Result<JumpIndicator, IndicatorError> create(std::uint64_t period, double threshold);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.period + 2; }

 private:
  JumpIndicator(std::uint64_t n, double k);
  std::optional<double> prev_;
  RollingVariance window_;
  double k_;
};

// Square root of the sum of the last n squared returns.
class RealizedVolatility final : public Indicator {
 public:
  static Result<RealizedVolatility, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return squares_.period + 1; }

 private:
  explicit RealizedVolatility(AnchoredRingWindow squares) : squares_(std::move(squares)) {}
  // prev: the previous close; ring: the last n squared returns; acc: their
  // running sum, rebuilt exactly every n pushes (counted in pushes).
  AnchoredRingWindow squares_;
  CopyCheck zeros_;  // whether the squares are all zeros (clock: squares_.pushes)
};

// Sample standard deviation of the last V rolling sample deviations of the
// last R returns.
class VolatilityOfVolatility final : public Indicator {
 public:
  static Result<VolatilityOfVolatility, IndicatorError> create(std::uint64_t returns_window,
                                                               std::uint64_t vols_window);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override {
    return sat_add(returns_.period, vols_.period);
  }

 private:
  VolatilityOfVolatility(std::uint64_t r, std::uint64_t v) : returns_(r), vols_(v) {}
  std::optional<double> prev_;
  RollingVariance returns_;
  RollingVariance vols_;
};

}  // namespace fendro
