// Bollinger bands: the rolling mean of closes plus or minus k population
// standard deviations, and the types read from them. Close-only: a NaN or
// infinite close changes nothing; the rest of the candle is not checked.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/rolling_variance.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

struct BollingerWindow {
  RollingVariance moments;  // the last n values about a moving anchor
  double multiplier;        // k

  BollingerWindow(std::uint64_t n, double k) : moments(n), multiplier(k) {}
  std::uint64_t period() const { return moments.period; }
};

struct BollingerBandsValue {
  double upper;
  double middle;
  double lower;
  double stddev;
};

// Period 0: ZeroPeriod; above MAX_PERIOD: InvalidPeriod; multiplier not a
// number above 0: NonPositiveMultiplier.
Status<IndicatorError> check_bollinger(std::uint64_t period, double multiplier);

// Pushes x (nothing for a NaN or infinite x, which changes nothing); the
// bands once the window holds n values.
std::optional<BollingerBandsValue> bollinger_update(BollingerWindow& w, double x);

class BollingerBands final : public Indicator {
 public:
  static Result<BollingerBands, IndicatorError> create(std::uint64_t period, double multiplier);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return window_.period(); }

 private:
  BollingerBands(std::uint64_t n, double k) : window_(n, k) {}
  BollingerWindow window_;
  OutputList<4> out_{{"upper", "middle", "lower", "stddev"}};
};

// (upper - lower) / middle, a plain ratio; 0 when the middle is 0.
class BollingerBandwidth final : public Indicator {
 public:
  static Result<BollingerBandwidth, IndicatorError> create(std::uint64_t period,
                                                           double multiplier);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.period(); }

 private:
  BollingerBandwidth(std::uint64_t n, double k) : window_(n, k) {}
  BollingerWindow window_;
};

// Where the close sits between the bands: 0 at the lower, 1 at the upper;
// 0.5 when the bands coincide.
class PercentB final : public Indicator {
 public:
  static Result<PercentB, IndicatorError> create(std::uint64_t period, double multiplier);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.period(); }

 private:
  PercentB(std::uint64_t n, double k) : window_(n, k) {}
  BollingerWindow window_;
};

// Inner and outer bands at two multiples of the same deviation.
class DoubleBollinger final : public Indicator {
 public:
  static Result<DoubleBollinger, IndicatorError> create(std::uint64_t period, double k_inner,
                                                        double k_outer);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return window_.period(); }

 private:
  DoubleBollinger(std::uint64_t n, double k_inner, double k_outer)
      : k_inner_(k_inner), window_(n, k_outer) {}
  double k_inner_;
  BollingerWindow window_;
  OutputList<5> out_{{"upper_outer", "upper_inner", "middle", "lower_inner", "lower_outer"}};
};

}  // namespace fendro
