// Dispersion of closes: rolling standard deviations, the ulcer index of
// drawdowns and the wave probability measure. Close-only types: a NaN or
// infinite close changes nothing; zero and negative closes are accepted.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/common/rolling_extreme.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/ema_state.hpp"
#include "fendro/indicators/windows/rolling_variance.hpp"
#include "fendro/indicators/windows/running_sum.hpp"
#include "fendro/indicators/windows/settled_step.hpp"
#include "fendro/indicators/windows/zero_run.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// Population standard deviation of the last n closes.
class StdDev final : public Indicator {
 public:
  static Result<StdDev, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.period; }

 private:
  explicit StdDev(std::uint64_t n) : window_(n) {}
  RollingVariance window_;
};

// Population standard deviation of the residuals of the least-squares line
// through the last n closes, recomputed from the window on every bar.
class DetrendedStdDev final : public Indicator {
 public:
  static Result<DetrendedStdDev, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return n_; }

 private:
  explicit DetrendedStdDev(std::uint64_t n);
  BoundedRing<double> closes_;
  std::uint64_t n_;
  double sxx_;  // D / n
};

// Root mean square of the last n percentage drawdowns from the rolling
// n-close maximum.
class UlcerIndex final : public Indicator {
 public:
  static Result<UlcerIndex, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 2 * n_ - 1; }

 private:
  explicit UlcerIndex(std::uint64_t n) : max_(n), terms_(n, true), n_(n) {}
  vol::RollingMax max_;
  ZeroReadingSum terms_;  // squared drawdowns
  std::uint64_t n_;
};

// 100 times the smoothed probability weight 1 - exp(-d^2 / (2 ms)) of the
// n-bar change d, ms being the smoothed d^2.
class WavePm final : public Indicator {
 public:
  static Result<WavePm, IndicatorError> create(std::uint64_t period, std::uint64_t smoothing);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 2 * n_ + m_ - 1; }

 private:
  WavePm(std::uint64_t n, std::uint64_t m)
      : closes_(n + 1), square_avg_(EmaState::of_period(n)),
        weight_avg_(EmaState::of_period(m)), n_(n), m_(m) {}
  // The averages and the value off the squared change e: plain, or on the
  // settled path (Kept).
  template <bool Kept>
  [[gnu::always_inline]] inline std::optional<double> advance(double e);
  BoundedRing<double> closes_;  // the last n + 1 closes
  EmaState square_avg_;
  EmaState weight_avg_;
  SettledValue<2> weight_kept_;  // the weight off a mean square settled below normal
  SettledValue<2> value_kept_;   // 100 times a weight average settled below normal
  std::uint64_t n_;
  std::uint64_t m_;
};

}  // namespace fendro
