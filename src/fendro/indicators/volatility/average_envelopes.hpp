// Bands drawn from averages of the window: averages of range-widened highs
// and lows, a fixed fraction around the simple average, and a regression
// line plus or minus its standard error.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/common/window_regression.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/sma_window.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// Simple averages of highs widened and lows narrowed by factor * the bar's
// relative range, around the simple average of closes. Candle-checked.
class AccelerationBands final : public Indicator {
 public:
  static Result<AccelerationBands, IndicatorError> create(std::uint64_t period, double factor);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return closes_.period; }

 private:
  AccelerationBands(std::uint64_t n, double factor)
      : highs_(n), closes_(n), lows_(n), factor_(factor) {}
  SmaWindow highs_;
  SmaWindow closes_;
  SmaWindow lows_;
  double factor_;
  OutputList<3> out_{{"upper", "middle", "lower"}};
};

// The simple average of closes times 1 + fraction and 1 - fraction.
// Close-only.
class MaEnvelope final : public Indicator {
 public:
  static Result<MaEnvelope, IndicatorError> create(std::uint64_t period, double fraction);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return sma_.period; }

 private:
  MaEnvelope(std::uint64_t n, double fraction) : sma_(n), fraction_(fraction) {}
  SmaWindow sma_;
  double fraction_;
  OutputList<3> out_{{"upper", "middle", "lower"}};
};

// The least-squares line through the last n closes, at the newest bar, plus
// or minus a multiple of its standard error. Close-only.
class StandardErrorBands final : public Indicator {
 public:
  static Result<StandardErrorBands, IndicatorError> create(std::uint64_t period,
                                                           double multiplier);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return n_; }

 private:
  StandardErrorBands(std::uint64_t n, double m)
      : closes_(n), n_(n), m_(m), line_(regression_constants(n)) {}
  BoundedRing<double> closes_;
  std::uint64_t n_;
  double m_;
  RegressionConstants line_;
  OutputList<3> out_{{"upper", "middle", "lower"}};
};

}  // namespace fendro
