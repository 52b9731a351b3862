// Oscillators that read each bar's high and low as well as its close: the
// ultimate oscillator (buying pressure over true range on three horizons),
// the relative vigor index, the wave trend channel index, the pretty good
// oscillator, the close's position between projection bands, and inertia
// (the regression line of the relative volatility index).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>

#include "fendro/indicators/common/regression_window.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/volatility/projection_bands.hpp"
#include "fendro/indicators/volatility/rvi_volatility.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/ema_state.hpp"
#include "fendro/indicators/windows/ring_windows.hpp"
#include "fendro/indicators/windows/settled_step.hpp"
#include "fendro/indicators/windows/sma_window.hpp"
#include "fendro/indicators/windows/zero_run.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// 100 * (4 a1 + 2 a2 + a3) / 7, a_i the buying pressure over the true range
// of the last n_i bars (0.5 where that range is 0); the weights follow the
// parameter positions. The sums are adjusted, never recomputed; a sum whose
// window holds only zeros is read as exactly 0.
class UltimateOscillator final : public Indicator {
 public:
  // Any length 0 gives ZeroPeriod; no upper bound and no ordering.
  static Result<UltimateOscillator, IndicatorError> create(std::uint64_t short_period,
                                                           std::uint64_t medium_period,
                                                           std::uint64_t long_period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override;

 private:
  struct Sums {
    double pressure = 0.0;
    double range = 0.0;
  };
  UltimateOscillator(const std::array<std::uint64_t, 3>& periods, std::uint64_t longest);
  std::optional<double> prev_close_;
  BoundedRing<std::pair<double, double>> pairs_;  // (pressure, true range), longest + 1
  std::array<std::uint64_t, 3> periods_;
  std::array<Sums, 3> sums_{};
  ZeroRun pressure_zeros_;  // a window's sums are read as 0 while it holds only zeros
  ZeroRun range_zeros_;
  std::uint64_t longest_;
  std::uint64_t shortest_;
  std::uint64_t pushed_ = 0;
};

// Smoothed (close - open) over smoothed (high - low), summed over the last
// `period` bars; the last value again while the range sum is not positive.
class Rvi final : public Indicator {
 public:
  static Result<Rvi, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return smoothed_.period + 3; }

 private:
  explicit Rvi(PairRingWindow w) : raw_(4), smoothed_(std::move(w)) {}
  BoundedRing<std::pair<double, double>> raw_;  // the last 4 (body, range) pairs
  PairRingWindow smoothed_;  // smoothed pairs; acc_a / acc_b: their sums
  ZeroRunPair zeros_;        // a sum is read as 0 while its window holds only zeros
  std::optional<double> last_;
};

// Named outputs wt1 (the smoothed channel index of the typical price) and
// wt2 (its SMA); the value is wt1.
class WaveTrend final : public Indicator {
 public:
  static Result<WaveTrend, IndicatorError> create(std::uint64_t channel, std::uint64_t average,
                                                  std::uint64_t signal);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override {
    return 2 * esa_.period + index_.period + signal_.period - 3;
  }

 private:
  WaveTrend(std::uint64_t channel, std::uint64_t average, SmaWindow signal)
      : esa_(EmaState::of_period(channel)),
        deviation_(EmaState::of_period(channel)),
        index_(EmaState::of_period(average)),
        signal_(std::move(signal)) {}
  EmaState esa_;        // the typical price's average
  EmaState deviation_;  // the average distance from it
  EmaState index_;      // the channel index's average (wt1)
  SmaWindow signal_;    // wt2
  SettledValue<2> signal_kept_;  // wt2 off a wt1 settled below normal
  // Once the price has stood still long enough that its average distance
  // counts as none, wt1 decays toward 0 by orders of magnitude, and the
  // running sum of its window holds the residue of the values it once held:
  // wt2 is read from the window's own sum there (sma_exact_mean).
  OutputList<2> out_{{"wt1", "wt2"}};
};

// Distance of the close from its SMA in units of the averaged true range;
// the last value again while that average is not positive. A window that
// holds only copies of the close is no distance (0), whatever residue the
// SMA's running sum holds: on a halt the average range decays toward 0, and
// the residue over it would grow without bound.
class Pgo final : public Indicator {
 public:
  static Result<Pgo, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return sma_.period; }

 private:
  // The close's window mean, the average true range tr and the distance
  // over it: plain, or on the settled path (Kept).
  template <bool Kept>
  [[gnu::always_inline]] inline std::optional<double> advance(double close, double tr);
  explicit Pgo(SmaWindow sma)
      : sma_(std::move(sma)), atr_(EmaState::of_period(sma_.period)) {}
  SmaWindow sma_;
  RepeatRun closes_;  // the SMA window's inputs: all copies of the close, no distance
  std::optional<double> prev_close_;
  EmaState atr_;
  std::optional<double> last_;
  SettledValue<2> kept_;  // the distance, kept for an average settled below normal
};

// Where the close sits between the projection bands, 0 to 100; 50 when
// they meet.
class ProjectionOscillator final : public Indicator {
 public:
  static Result<ProjectionOscillator, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return bands_.period; }

 private:
  explicit ProjectionOscillator(ProjectionBandsState s) : bands_(std::move(s)) {}
  ProjectionBandsState bands_;
};

// The least-squares line's value at the newest bar over the last
// `regression` values of the relative volatility index.
class Inertia final : public Indicator {
 public:
  // Either 0 gives ZeroPeriod, then the volatility index's checks, then the
  // regression length (below 2, then MAX_PERIOD).
  static Result<Inertia, IndicatorError> create(std::uint64_t rvi_period,
                                                std::uint64_t regression);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override {
    return 2 * rvi_.period + line_.period - 2;
  }

 private:
  Inertia(RviVolatilityCore rvi, RegressionWindow line)
      : rvi_(std::move(rvi)), line_(std::move(line)) {}
  RviVolatilityCore rvi_;
  RegressionWindow line_;
};

}  // namespace fendro
