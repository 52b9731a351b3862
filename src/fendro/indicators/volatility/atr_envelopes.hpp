// Bands at a multiple of Wilder's average true range around a middle line:
// the close, an exponential average or a simple average of closes. The
// candle check runs first; every part is stepped on every accepted bar, and
// the bands come once all parts are ready.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/trend/atr_state.hpp"
#include "fendro/indicators/windows/ema_state.hpp"
#include "fendro/indicators/windows/sma_window.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

class AtrBands final : public Indicator {
 public:
  // The multiplier is tested before the period.
  static Result<AtrBands, IndicatorError> create(std::uint64_t period, double multiplier);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return atr_.period; }

 private:
  // The ATR's step and the bands: plain, or on the settled path (Kept).
  template <bool Kept>
  std::optional<double> advance(const Candle& c);
  AtrBands(std::uint64_t n, double m) : atr_(n), m_(m) {}
  AtrState atr_;
  double m_;
  OutputList<3> out_{{"upper", "middle", "lower"}};
};

class Keltner final : public Indicator {
 public:
  static Result<Keltner, IndicatorError> create(std::uint64_t ema_period, std::uint64_t atr_period,
                                                double multiplier);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return std::max(ema_.period, atr_.period); }

 private:
  // The ATR's step and the bands: plain, or on the settled path (Kept).
  template <bool Kept>
  std::optional<double> advance(const Candle& c);
  Keltner(std::uint64_t e, std::uint64_t a, double m)
      : atr_(a), ema_(EmaState::of_period(e)), m_(m) {}
  AtrState atr_;
  EmaState ema_;
  double m_;
  OutputList<3> out_{{"upper", "middle", "lower"}};
};

class StarcBands final : public Indicator {
 public:
  static Result<StarcBands, IndicatorError> create(std::uint64_t sma_period,
                                                   std::uint64_t atr_period, double multiplier);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return std::max(sma_.period, atr_.period); }

 private:
  // The ATR's step and the bands: plain, or on the settled path (Kept).
  template <bool Kept>
  std::optional<double> advance(const Candle& c);
  StarcBands(std::uint64_t s, std::uint64_t a, double m) : atr_(a), sma_(s), m_(m) {}
  AtrState atr_;
  SmaWindow sma_;
  double m_;
  OutputList<3> out_{{"upper", "middle", "lower"}};
};

}  // namespace fendro
