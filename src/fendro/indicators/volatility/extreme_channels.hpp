// Channels from the extremes of a window of candles: the highest high and
// lowest low, the last confirmed fractal high and low, and a multiple of the
// window's range around the simple average of closes. Candle-checked.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/common/candle_range.hpp"
#include "fendro/indicators/common/rolling_extreme.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/sma_window.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

class Donchian final : public Indicator {
 public:
  static Result<Donchian, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return range_.period(); }

 private:
  explicit Donchian(NewestCandleRange range) : range_(std::move(range)) {}
  NewestCandleRange range_;
  OutputList<3> out_{{"upper", "middle", "lower"}};
};

// The centre candle of the last 2p + 1 is a fractal high (low) when its high
// (low) is strictly above (below) every other one; each level holds until the
// next fractal of its kind.
class FractalChaosBands final : public Indicator {
 public:
  static Result<FractalChaosBands, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return 2 * p_ + 1; }

 private:
  explicit FractalChaosBands(std::uint64_t p) : highs_(2 * p + 1), lows_(2 * p + 1), p_(p) {}
  BoundedRing<double> highs_;
  BoundedRing<double> lows_;
  std::uint64_t p_;
  std::optional<double> upper_;
  std::optional<double> lower_;
  OutputList<2> out_{{"upper", "lower"}};
};

class HurstChannel final : public Indicator {
 public:
  static Result<HurstChannel, IndicatorError> create(std::uint64_t period, double multiplier);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return sma_.period; }

 private:
  HurstChannel(std::uint64_t n, double m) : highs_(n), lows_(n), sma_(n), m_(m) {}
  vol::RollingMax highs_;
  vol::RollingMin lows_;
  SmaWindow sma_;
  double m_;
  OutputList<3> out_{{"upper", "middle", "lower"}};
};

}  // namespace fendro
