// Oscillators of volume and of volume-weighted pressure: the Better Volume
// classification, the demand index, the Klinger oscillator, the volume
// oscillator, the RSI of volume and the volume zone oscillator. Every type
// reads the whole candle and drops a bar that fails the candle check.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/volume/wilder_pair.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/ema_state.hpp"
#include "fendro/indicators/windows/halt_hold.hpp"
#include "fendro/indicators/windows/running_sum.hpp"
#include "fendro/indicators/windows/settled_step.hpp"
#include "fendro/indicators/windows/sma_window.hpp"
#include "fendro/indicators/windows/zero_run.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro {

// Classifies each bar against the n - 1 bars before it: 4 climax with churn,
// +-3 climax (by the bar's direction), 2 churn, 1 low volume, 0 otherwise.
// Climax: the largest range times volume; churn: the most volume per range.
class BetterVolume final : public Indicator {
 public:
  static Result<BetterVolume, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return bars_.capacity(); }

 private:
  explicit BetterVolume(std::uint64_t n) : bars_(n) {}
  struct Bar {
    double volume;
    double range_volume;    // range * volume
    double volume_per_range;  // volume / range; read only when the range is above 0
    bool has_range;
  };
  BoundedRing<Bar> bars_;
};

// Demand index: smoothed buying against selling pressure, each bar's volume
// (relative to the average) split by the weighted price move against the
// average two-bar range; from -100 to 100.
class DemandIndex final : public Indicator {
 public:
  static Result<DemandIndex, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return sat_add(volumes_.period(), 1); }

 private:
  // The averages of the buying and the selling pressure and the index from
  // them: plain, or on the settled path (Kept).
  template <bool Kept>
  [[gnu::always_inline]] inline std::optional<double> pressures(double buying, double selling);
  explicit DemandIndex(std::uint64_t n);
  struct Prev {
    double high;
    double low;
    double close;
  };
  std::optional<Prev> prev_;
  KeptZeroReadingSum volumes_;  // plain running sums, never rebuilt
  KeptZeroReadingSum ranges_;
  EmaState buying_;   // seeded by its first input
  EmaState selling_;
  double n_;
  double last_ = 0.0;  // returned again on bars with a zero average or price
};

// Klinger volume oscillator: fast minus slow exponential average of the
// volume force (volume times the trend of (high + low + close), scaled by the
// bar's range against the cumulative range of the trend).
class Kvo final : public Indicator {
 public:
  static Result<Kvo, IndicatorError> create(std::uint64_t fast, std::uint64_t slow);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return slow_.period + 1; }

 private:
  // The two averages of the force and their difference: plain, or on the
  // settled path (Kept).
  template <bool Kept>
  [[gnu::always_inline]] inline std::optional<double> advance(double force);
  Kvo(std::uint64_t fast, std::uint64_t slow)
      : fast_(EmaState::of_period(fast)), slow_(EmaState::of_period(slow)) {}
  std::optional<double> prev_range_;
  double prev_hlc_ = 0.0;
  double cumulative_ = 0.0;
  std::int8_t trend_ = 0;
  EmaState fast_;
  EmaState slow_;
};

// The fast against the slow simple average of volume, in percent.
class VolumeOscillator final : public Indicator {
 public:
  static Result<VolumeOscillator, IndicatorError> create(std::uint64_t fast, std::uint64_t slow);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return slow_.period; }

 private:
  VolumeOscillator(std::uint64_t fast, std::uint64_t slow) : fast_(fast), slow_(slow) {}
  SmaWindow fast_;
  SmaWindow slow_;
  ZeroRun zeros_;  // zero volumes in a row: each window is read with its own length
};

// Wilder's relative strength of the volume's bar-to-bar changes.
class VolumeRsi final : public Indicator {
 public:
  static Result<VolumeRsi, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return sat_add(averages_.period, 1); }

 private:
  explicit VolumeRsi(std::uint64_t n)
      : averages_(n), n_(static_cast<double>(n)), n_minus_1_(static_cast<double>(n - 1)) {}
  std::optional<double> prev_volume_;
  volume::WilderPair averages_;  // first: gains, second: losses
  double n_;
  double n_minus_1_;
};

// Volume zone oscillator: exponential average of volume signed by the close's
// direction over the exponential average of volume, in percent.
class Vzo final : public Indicator {
 public:
  static Result<Vzo, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return sat_add(volume_.period, 1); }

 private:
  // The averages and the zone: plain, or on the settled path (Kept).
  template <bool Kept>
  [[gnu::always_inline]] inline std::optional<double> advance(double signed_volume, double volume);
  explicit Vzo(std::uint64_t n) : signed_(EmaState::of_period(n)), volume_(EmaState::of_period(n)) {}
  std::optional<double> prev_close_;
  EmaState signed_;
  EmaState volume_;
  SettledValue<2> zone_kept_;  // the oscillator, kept for averages settled below normal
  HaltHold halt_;              // the oscillator, held through a halt without volume
};

}  // namespace fendro
