// Running volume lines carried from bar to bar (on-balance volume, the
// accumulation/distribution lines, the volume indexes, price-volume trend,
// trade volume index) and two per-bar volume measures. Every type reads the
// whole candle and drops a bar that fails the candle check.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/volume/volume_steps.hpp"
#include "fendro/indicators/windows/sma_window.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// On-balance volume: adds the volume on an up close, subtracts it on a down
// close. The first bar gives 0.
class Obv final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  std::optional<double> prev_close_;
  double line_ = 0.0;
};

// Accumulation/distribution line: the running sum of money-flow volumes.
class Adl final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  double line_ = 0.0;
};

// Williams accumulation/distribution line, from the second bar on.
class Wad final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 2; }

 private:
  volume::WilliamsAdLine ad_;
};

// The Williams line minus its own 13-bar simple average.
class AdOscillator final : public Indicator {
 public:
  static constexpr std::uint64_t kAveragePeriod = 13;
  AdOscillator() : average_(kAveragePeriod) {}
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return kAveragePeriod + 1; }

 private:
  volume::WilliamsAdLine ad_;
  SmaWindow average_;
};

// Positive (`Rising` true) or negative volume index: starts at 1000 and
// follows the close's relative change only on bars whose volume rose (fell)
// from the bar before.
template <bool Rising>
class VolumeIndex final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  std::optional<double> prev_close_;
  std::optional<double> prev_volume_;
  double index_ = 1000.0;
};
using Pvi = VolumeIndex<true>;
using Nvi = VolumeIndex<false>;

// Price-volume trend: the running sum of volume times the close's relative
// change (no change after a zero close).
class VolumePriceTrend final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  std::optional<double> prev_close_;
  double line_ = 0.0;
};

// Trade volume index: adds or subtracts the volume according to the last
// close move that exceeded `min_tick`.
class TradeVolumeIndex final : public Indicator {
 public:
  // min_tick must be finite and not below zero (-0.0 passes).
  static Result<TradeVolumeIndex, IndicatorError> create(double min_tick);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 2; }

 private:
  explicit TradeVolumeIndex(double min_tick) : min_tick_(min_tick) {}
  std::optional<double> prev_close_;
  double min_tick_;
  double direction_ = 0.0;  // 0 before the first decisive move, then +1 or -1
  double line_ = 0.0;
};

// Intraday intensity of one bar: volume weighted by the close's place in the
// range, divided by the range (0 for a bar without range).
class IntradayIntensity final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }
};

// Market facilitation index of one bar: range per unit of volume; no value
// for a bar without volume.
class MarketFacilitationIndex final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }
};

}  // namespace fendro
