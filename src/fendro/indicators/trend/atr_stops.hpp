// Trailing stops placed at a multiple of Wilder's average true range from
// the price, and the percentage-of-extreme stop of the same family.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/trend/atr_state.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// One stop line below a rising close that jumps above the close when the
// close crosses it (and back).
class AtrTrailingStop final : public Indicator {
 public:
  static Result<AtrTrailingStop, IndicatorError> create(std::uint64_t period, double multiplier);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return atr_.period; }

 private:
  // The ATR's step and the stop: plain, or on the settled path (Kept).
  template <bool Kept>
  [[gnu::always_inline]] inline std::optional<double> advance(const Candle& k);
  AtrTrailingStop(std::uint64_t n, double m) : atr_(n), m_(m) {}
  AtrState atr_;
  std::optional<double> prev_close_;
  std::optional<double> prev_stop_;
  double m_;
};

// Bands around the median price that only tighten, with a direction.
class SuperTrend final : public Indicator {
 public:
  static Result<SuperTrend, IndicatorError> create(std::uint64_t period, double multiplier);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return atr_.period; }

 private:
  struct Record {
    double upper, lower, close, direction;
  };
  SuperTrend(std::uint64_t n, double m) : atr_(n), m_(m) {}
  // The ATR's step and the bands: plain, or on the settled path (Kept).
  template <bool Kept>
  [[gnu::always_inline]] inline std::optional<double> advance(const Candle& k);
  AtrState atr_;
  std::optional<Record> prev_;
  double m_;
  OutputList<2> out_{{"value", "direction"}};
};

// A stop that moves towards the price by a fixed ATR multiple every bar.
class AtrRatchet final : public Indicator {
 public:
  static Result<AtrRatchet, IndicatorError> create(std::uint64_t period, double initial_multiplier,
                                                   double step_multiplier);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return atr_.period; }

 private:
  // The ATR's step and the stop: plain, or on the settled path (Kept).
  template <bool Kept>
  [[gnu::always_inline]] inline std::optional<double> advance(const Candle& k);
  AtrRatchet(std::uint64_t n, double m0, double ms) : atr_(n), m0_(m0), ms_(ms) {}
  AtrState atr_;
  double m0_;
  double ms_;
  double direction_ = 0.0;
  double stop_ = 0.0;
  OutputList<2> out_{{"value", "direction"}};
};

// A stop at an ATR distance from the most extreme close of the swing.
class VoltyStop final : public Indicator {
 public:
  static Result<VoltyStop, IndicatorError> create(std::uint64_t period, double multiplier);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return atr_.period; }

 private:
  // The ATR's step and the stop: plain, or on the settled path (Kept).
  template <bool Kept>
  [[gnu::always_inline]] inline std::optional<double> advance(const Candle& k);
  VoltyStop(std::uint64_t n, double m) : atr_(n), m_(m) {}
  AtrState atr_;
  std::optional<double> extreme_;
  double m_;
  bool long_ = true;
};

// A trailing stop below the price that, once broken, holds still until the
// close recovers by more than one band.
class YoyoExit final : public Indicator {
 public:
  static Result<YoyoExit, IndicatorError> create(std::uint64_t period, double multiplier);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return atr_.period; }

 private:
  // The ATR's step and the stop: plain, or on the settled path (Kept).
  template <bool Kept>
  [[gnu::always_inline]] inline std::optional<double> advance(const Candle& k);
  YoyoExit(std::uint64_t n, double m) : atr_(n), m_(m) {}
  AtrState atr_;
  std::optional<double> stop_;
  double m_;
  bool long_ = true;
};

// Trails the extreme close of the swing at a percentage of it.
class Nrtr final : public Indicator {
 public:
  static Result<Nrtr, IndicatorError> create(double percentage);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return 1; }

 private:
  explicit Nrtr(double p) : p_(p) {}
  double p_;
  double trend_ = 0.0;
  double extreme_ = 0.0;
  OutputList<2> out_{{"value", "direction"}};
};

}  // namespace fendro
