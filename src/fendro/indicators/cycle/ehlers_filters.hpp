// Close-only cycle filters built from the recursive blocks of
// filter_blocks.hpp, plus a few windowed cycle measures. A non-finite close
// is dropped (no value, nothing changes). None has named outputs.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/cycle/filter_blocks.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/common/rolling_extreme.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/copies_so_far.hpp"
#include "fendro/indicators/windows/copy_run.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro::cycle {

// Two-pole high-pass of the close.
class HighpassFilter final : public Indicator {
 public:
  static Result<HighpassFilter, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  explicit HighpassFilter(std::uint64_t period) : hp_(period) {}
  TwoPoleHighpass hp_;
};

// The close less its two-pole high-pass: the trend the high-pass removes.
class Decycler final : public Indicator {
 public:
  static Result<Decycler, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  explicit Decycler(std::uint64_t period) : hp_(period) {}
  TwoPoleHighpass hp_;
};

// The difference of a fast and a slow decycler.
class DecyclerOscillator final : public Indicator {
 public:
  static Result<DecyclerOscillator, IndicatorError> create(std::uint64_t fast, std::uint64_t slow);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  DecyclerOscillator(std::uint64_t fast, std::uint64_t slow) : fast_(fast), slow_(slow) {}
  // Both blocks' steps and the answer: plain, or on the settled path (Kept).
  template <bool Kept>
  [[gnu::always_inline]] inline std::optional<double> advance(double x);
  TwoPoleHighpass fast_, slow_;
};

// Two-pole low-pass of the close. Its gain at rest is 1: fed only copies of
// one close it reads that close (the recursion keeps its arithmetic).
class SuperSmoother final : public Indicator {
 public:
  static Result<SuperSmoother, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  explicit SuperSmoother(SuperSmootherStage ss) : ss_(ss) {}
  SuperSmootherStage ss_;
  CopiesSoFar flat_;  // of the closes
};

// Low-pass (lp_period) of a one-pole high-pass (hp_period): a band of cycles.
class RoofingFilter final : public Indicator {
 public:
  static Result<RoofingFilter, IndicatorError> create(std::uint64_t lp_period,
                                                      std::uint64_t hp_period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  RoofingFilter(std::uint64_t lp_period, std::uint64_t hp_period)
      : hp_(OnePoleHighpass::of_period(hp_period)),
        ss_(SuperSmootherStage::of_length(static_cast<double>(lp_period))) {}
  // update's steps on the settled path: skipped where settled.
  std::optional<double> kept(double x);
  OnePoleHighpass hp_;
  SuperSmootherStage ss_;
};

class BandpassFilter final : public Indicator {
 public:
  static Result<BandpassFilter, IndicatorError> create(std::uint64_t period, double bandwidth);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  BandpassFilter(std::uint64_t period, double bandwidth) : bp_(period, bandwidth) {}
  BandpassStage bp_;
};

// Two-pole high-pass of a four-tap smoothing of the close, with its own
// start-up rule while the histories fill.
class CyberneticCycle final : public Indicator {
 public:
  static Result<CyberneticCycle, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  explicit CyberneticCycle(std::uint64_t period);
  double advance(double x);
  // update after its test: plain, or on the settled path (Kept), the step
  // skipped where settled.
  template <bool Kept>
  [[gnu::noinline]] std::optional<double> answer(const BarSnapshot& bar);
  double k_c1_, k_s_, k_c2_;
  double x1_ = 0.0, x2_ = 0.0, x3_ = 0.0;  // previous closes
  double s1_ = 0.0, s2_ = 0.0;            // previous smoothed values
  double c1_ = 0.0, c2_ = 0.0;            // previous cycle values
  std::uint64_t seen_ = 0;
  SettledBlock<8> settled_;  // the high-pass of a constant close settles
  CopiesSoFar copies_;       // of the closes: the cycle of copies is 0
};

// A low-lag trend line: a four-tap average for six bars, then a two-pole
// recursion. Its gain at rest is 1: fed only copies of one close it reads
// that close (the recursion keeps its arithmetic).
class InstantaneousTrendline final : public Indicator {
 public:
  static Result<InstantaneousTrendline, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  explicit InstantaneousTrendline(std::uint64_t period);
  double alpha_;
  double x1_ = 0.0, x2_ = 0.0, it1_ = 0.0, it2_ = 0.0;
  std::uint64_t seen_ = 0;
  CopiesSoFar flat_;  // of the closes
};

// Position of the window's centre of gravity (closes weighted by age).
class CenterOfGravity final : public Indicator {
 public:
  static Result<CenterOfGravity, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.capacity(); }

 private:
  explicit CenterOfGravity(std::uint64_t period) : window_(period) {}
  BoundedRing<double> window_;
};

// Stochastic of the roofing-filtered close over `period` bars, in [-1, 1].
class EhlersStochastic final : public Indicator {
 public:
  static Result<EhlersStochastic, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return period_; }

 private:
  explicit EhlersStochastic(std::uint64_t period);
  std::uint64_t period_;
  OnePoleHighpass hp_;
  SuperSmootherStage ss_;
  vol::RollingMax hi_;
  vol::RollingMin lo_;
  std::optional<double> prev_raw_;
};

// Normalised wave of a smoothed one-pole high-pass, in [-1, 1].
class EvenBetterSinewave final : public Indicator {
 public:
  static Result<EvenBetterSinewave, IndicatorError> create(std::uint64_t duration,
                                                           std::uint64_t smoothing);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 3; }

 private:
  EvenBetterSinewave(std::uint64_t duration, std::uint64_t smoothing);
  // update's steps and wave on the settled path: skipped where settled.
  std::optional<double> kept(double x);
  // Takes the newest smoothed value f; true once three have been seen.
  [[gnu::always_inline]] inline bool smoothed(double f);
  OnePoleHighpass hp_;
  SuperSmootherStage ss_;
  double f0_ = 0.0, f1_ = 0.0, f2_ = 0.0;
  int outputs_seen_ = 0;
  SettledValue<3> wave_;  // the wave of three settled smoothed values
};

// Smoothed two-bar momentum scaled by its decaying peak, in [-1, 1].
class UniversalOscillator final : public Indicator {
 public:
  static Result<UniversalOscillator, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 3; }

 private:
  explicit UniversalOscillator(SuperSmootherStage ss) : ss_(ss) {}
  // The smoothing, the peak and the answer: plain, or on the settled path
  // (Kept).
  template <bool Kept>
  [[gnu::always_inline]] inline std::optional<double> advance(double x);
  SuperSmootherStage ss_;
  double x1_ = 0.0, x2_ = 0.0;
  int closes_seen_ = 0;
  double peak_ = 0.0;
  std::optional<double> last_;
  SettledScale settled_;
};

// Reflex and Trendflex: the smoothed close against its recent path (with or
// without the straight line through the window's ends), scaled by a decaying
// mean square.
class FlexOscillator final : public Indicator {
 public:
  enum class Kind { Reflex, Trendflex };
  static Result<FlexOscillator, IndicatorError> create(Kind kind, std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.capacity(); }

 private:
  FlexOscillator(Kind kind, std::uint64_t period);
  Kind kind_;
  double n_;
  SuperSmootherStage ss_;
  BoundedRing<double> window_;  // period + 1 smoothed values
  double ms_ = 0.0;
  SettledScale settled_;
  CopiesSoFar copies_;  // of the closes: the smoothed path is then flat
};

// Mean of the band-pass over the last 2 * period bars.
class EmpiricalModeDecomposition final : public Indicator {
 public:
  static Result<EmpiricalModeDecomposition, IndicatorError> create(std::uint64_t period,
                                                                   double fraction);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override;

 private:
  EmpiricalModeDecomposition(std::uint64_t period, double fraction)
      : bp_(period, 0.1), window_(2 * period), fraction_(fraction) {}
  BandpassStage bp_;
  BoundedRing<double> window_;
  double sum_ = 0.0;  // adjusted on every push, never rebuilt
  std::uint64_t bars_ = 0;  // stops counting at 50
  [[maybe_unused]] double fraction_;  // checked and kept; it does not enter the value
};

}  // namespace fendro::cycle
