// Measures of the spread between the close (series A) and the bar's
// reference value (series B) over a rolling window: mean reversion (AR(1)
// slope, Ornstein-Uhlenbeck half-life), persistence (Hurst exponent of the
// spread), normalised level (z-score of the log spread, Bollinger bands of
// the spread) and the distance between the two normalised price paths.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/common/anchored_moments.hpp"
#include "fendro/indicators/common/anchored_pair_moments.hpp"
#include "fendro/indicators/common/close_window.hpp"
#include "fendro/indicators/common/two_series.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro::pairs {

// The frame of statistics of the last n spreads s = A - B, recomputed from
// the window on every accepted bar: `Derived::value(spreads)` gets them
// oldest first.
template <class Derived>
class SpreadWindowStat : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) final {
    const auto in = stats::two_series_input(bar);
    if (!in) return no_value();
    ring_.push(in->a - in->b);
    if (!ring_.is_full()) return no_value();
    stats::copy_oldest_first(ring_, spreads_);
    return value_out(static_cast<Derived&>(*this).value(spreads_));
  }
  std::uint64_t warmup_period() const final { return ring_.capacity(); }

 protected:
  explicit SpreadWindowStat(std::uint64_t n) : ring_(n) {}

 private:
  BoundedRing<double> ring_;
  std::vector<double> spreads_;  // reused between bars
};

// Least-squares slope of each spread's next step on the spread itself:
// -ln 2 / slope bars when the spread reverts (slope below 0), else 0.
class OuHalfLife final : public SpreadWindowStat<OuHalfLife> {
 public:
  static Result<OuHalfLife, IndicatorError> create(std::uint64_t period);
  double value(std::span<const double> s) const;

 private:
  using SpreadWindowStat::SpreadWindowStat;
};

// Least-squares slope of each spread on the previous one.
class SpreadAr1Coefficient final : public SpreadWindowStat<SpreadAr1Coefficient> {
 public:
  static Result<SpreadAr1Coefficient, IndicatorError> create(std::uint64_t period);
  double value(std::span<const double> s) const;

 private:
  using SpreadWindowStat::SpreadWindowStat;
};

// Half the slope of ln(mean squared t-step change) on ln t for t up to a
// quarter of the window, in [0, 1]; 0.5 (a random walk) when fewer than two
// lags have a positive mean squared change.
class SpreadHurst final : public SpreadWindowStat<SpreadHurst> {
 public:
  static Result<SpreadHurst, IndicatorError> create(std::uint64_t period);
  double value(std::span<const double> s);

 private:
  explicit SpreadHurst(std::uint64_t period) : SpreadWindowStat(period), max_lag_(period / 4) {}

  std::uint64_t max_lag_;
  std::vector<double> log_lags_;  // reused between bars
  std::vector<double> log_msds_;
};

// Sum over the window of (A / A0 - B / B0)^2, A0 and B0 the oldest pair's
// values: 0 for two paths that stay proportional (and for a zero base).
class DistanceSsd final : public Indicator {
 public:
  static Result<DistanceSsd, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return ring_.capacity(); }

 private:
  explicit DistanceSsd(std::uint64_t period) : ring_(period) {}

  BoundedRing<std::pair<double, double>> ring_;
};

// z-score of the log spread ln A - beta * ln B over the last `z_period`
// spreads, beta the window slope of ln A on ln B (no intercept). Both values
// must be positive.
class PairSpreadZScore final : public Indicator {
 public:
  static Result<PairSpreadZScore, IndicatorError> create(std::uint64_t beta_period,
                                                         std::uint64_t z_period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override {
    return beta_.period() + spreads_.period - 1;
  }

 private:
  PairSpreadZScore(std::uint64_t beta_period, std::uint64_t z_period)
      : beta_(beta_period), spreads_(z_period) {}

  stats::AnchoredPairMoments beta_;  // (ln B, ln A)
  stats::AnchoredMoments spreads_;
};

// Bollinger bands of the spread A - B: the window mean and num_std population
// standard deviations either side, with the spread's position %b within them.
class SpreadBollingerBands final : public Indicator {
 public:
  static Result<SpreadBollingerBands, IndicatorError> create(std::uint64_t period,
                                                             double num_std);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return outputs_.view(); }
  std::uint64_t warmup_period() const override { return window_.period; }

 private:
  SpreadBollingerBands(std::uint64_t period, double num_std)
      : window_(period), num_std_(num_std) {}

  stats::AnchoredMoments window_;
  double num_std_;
  OutputList<4> outputs_{{"middle", "upper", "lower", "percent_b"}};
};

}  // namespace fendro::pairs
