// Close-driven momentum smoothed by averages: the know-sure-thing (four
// smoothed rates of change with a signal), the Coppock curve (a weighted
// average of two rates of change), the price momentum oscillator (a doubly
// smoothed one-bar rate of change), TRIX (the one-bar percent change of a
// triple average) and the true strength index.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/ema_state.hpp"
#include "fendro/indicators/windows/halt_hold.hpp"
#include "fendro/indicators/windows/limit_read.hpp"
#include "fendro/indicators/windows/ring_windows.hpp"
#include "fendro/indicators/windows/settled_step.hpp"
#include "fendro/indicators/windows/sma_window.hpp"
#include "fendro/indicators/windows/wma_window.hpp"
#include "fendro/indicators/windows/zero_run.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// Percent change of a finite x against the input `period` inputs back, 0
// when that input is 0; no value until period + 1 inputs are held.
std::optional<double> roc_stage_update(LagRing& stage, double x);

// Named outputs kst and signal; the value is kst.
class Kst final : public Indicator {
 public:
  // Rate-of-change periods r1..r4, their SMA periods s1..s4, the signal
  // period. Every zero is refused first, then each length in that order
  // against MAX_PERIOD.
  static Result<Kst, IndicatorError> create(const std::array<std::uint64_t, 9>& periods);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return warmup_; }

 private:
  Kst() = default;
  std::array<LagRing, 4> rocs_;
  std::array<SmaWindow, 4> smas_;
  SmaWindow signal_;
  // On a halt every rate of change is exactly 0: a window of them averages
  // to exactly 0, whatever residue its sum holds; so does the signal's.
  std::array<ZeroRun, 4> roc_zeros_;
  ZeroRun kst_zeros_;
  std::uint64_t warmup_ = 0;
  OutputList<2> out_{{"kst", "signal"}};
};

// The weighted average of the sum of two rates of change.
class Coppock final : public Indicator {
 public:
  static Result<Coppock, IndicatorError> create(std::uint64_t first, std::uint64_t second,
                                                std::uint64_t wma_period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override;

 private:
  Coppock(LagRing first, LagRing second, WmaWindow wma)
      : first_(std::move(first)), second_(std::move(second)), wma_(std::move(wma)) {}
  LagRing first_;
  LagRing second_;
  WmaWindow wma_;
  ZeroRun zeros_;  // a window of zero rates of change averages to exactly 0
};

// Ten times the one-bar rate of change, smoothed twice by averages with
// factors 2 / first and 2 / second that start from their first input.
class Pmo final : public Indicator {
 public:
  // Either 0 gives ZeroPeriod, then either below 2 InvalidPeriod; no upper
  // bound (the state holds no window).
  static Result<Pmo, IndicatorError> create(std::uint64_t first, std::uint64_t second);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 2; }

 private:
  Pmo(EmaState first, EmaState second) : first_(first), second_(second) {}
  // The averages and the value: plain, or on the settled path (Kept).
  template <bool Kept>
  [[gnu::always_inline]] inline std::optional<double> advance(double x);
  std::optional<double> prev_;
  EmaState first_;
  EmaState second_;
  SettledValue<2> scaled_kept_;  // ten times a first average settled below normal
};

// The one-bar percent change of a triple exponential average of the close.
class Trix final : public Indicator {
 public:
  static Result<Trix, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 3 * e1_.period - 1; }

 private:
  explicit Trix(EmaState e) : e1_(e), e2_(e), e3_(e), band_(100.0 * rounding_band(e.alpha, 16.0)) {}
  EmaState e1_, e2_, e3_;
  std::optional<double> prev_;
  // On a halt the rate reads 0 once within the averages' rounding of it
  // (limit_read): the close before, and the band of the percent change
  // (the last average's change repeats from about 1/alpha units down; a
  // margin of sixteen).
  CopyRun closes_;  // the closes: a halt is a run of repeats
  double band_;
};

// 100 * (doubly smoothed momentum) / (doubly smoothed absolute momentum);
// 0 when nothing moved.
class Tsi final : public Indicator {
 public:
  static Result<Tsi, IndicatorError> create(std::uint64_t first, std::uint64_t second);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return u1_.period + u2_.period; }

 private:
  Tsi(EmaState first, EmaState second) : u1_(first), u2_(second), d1_(first), d2_(second) {}
  std::optional<double> prev_;
  EmaState u1_, u2_;  // momentum
  EmaState d1_, d2_;  // its magnitude
  SettledValue<2> index_kept_;  // the index of averages settled below normal
  // Both doubly smoothed averages decay once the close stops: the index is
  // held through a halt that has lasted both smoothings.
  HaltHold halt_;
};

}  // namespace fendro
