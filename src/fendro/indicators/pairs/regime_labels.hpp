// Labels of the market state from the close: the sign of the window's
// least-squares slope, the volatility regime against its own history, and
// the volatility cone (current volatility within its recent range).
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/common/anchored_moments.hpp"
#include "fendro/indicators/common/close_window.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/sorted_window.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro::pairs {

// +1 when the closes of the window rise along their least-squares line, -1
// when they fall, 0 for a flat fit. Reads only the close.
class TrendLabel final : public stats::CloseWindowStat<TrendLabel, BoundedRing<double>> {
 public:
  static Result<TrendLabel, IndicatorError> create(std::uint64_t period);
  double value(double newest) const;
  // The mean and one pass of products: about two steps a value.
  std::uint64_t value_steps() const { return 2 * period_; }

 private:
  explicit TrendLabel(std::uint64_t n) : CloseWindowStat(n, BoundedRing<double>(n)) {}
};

// Log returns of positive closes: their sample standard deviation over the
// last `window` returns, once each bar.
class ReturnVolatility {
 public:
  explicit ReturnVolatility(std::uint64_t window) : returns_(window) {}
  // No value for the first close or while the return window fills; the
  // caller has refused closes that are not positive.
  std::optional<double> next(double close);

 private:
  std::optional<double> prev_;
  stats::AnchoredMoments returns_;
};

// -1 when the current volatility lies below the lower quartile of its last
// `lookback` values, +1 above the upper quartile, 0 between. Reads only the
// close and drops closes that are not positive.
class RegimeLabel final : public Indicator {
 public:
  static Result<RegimeLabel, IndicatorError> create(std::uint64_t vol_period,
                                                    std::uint64_t lookback);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return warmup_; }

 private:
  RegimeLabel(std::uint64_t vol_period, std::uint64_t lookback)
      : vol_(vol_period), history_(lookback), warmup_(vol_period + lookback) {}

  ReturnVolatility vol_;
  SortedWindow history_;
  std::uint64_t warmup_;
};

// The current volatility with the smallest, median and largest of its last
// `lookback` values and its percentile among them. A valid candle whose close
// is not positive repeats the last result.
class VolatilityCone final : public Indicator {
 public:
  static Result<VolatilityCone, IndicatorError> create(std::uint64_t window,
                                                       std::uint64_t lookback);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return outputs_.view(); }
  std::uint64_t warmup_period() const override { return warmup_; }

 private:
  VolatilityCone(std::uint64_t window, std::uint64_t lookback);

  ReturnVolatility vol_;
  SortedWindow history_;
  std::optional<double> last_;
  OutputList<5> outputs_{{"current", "min", "median", "max", "percentile"}};
  std::uint64_t warmup_;
};

}  // namespace fendro::pairs
