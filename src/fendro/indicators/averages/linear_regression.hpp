// Indicators read off the least-squares line through the last `period`
// closes: its value at the newest bar, its slope (also as an angle), its
// intercept at the oldest bar, the forecast one bar ahead, and the close's
// percentage distance from that forecast.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "fendro/indicators/common/regression_window.hpp"
#include "fendro/indicators/indicator.hpp"

namespace fendro {

enum class LineReading : std::uint8_t { Newest, Slope, Angle, Intercept, Forecast };

template <LineReading R>
class RegressionLine final : public Indicator {
 public:
  // A period below 2 (0 included) gives InvalidPeriod with the type's own
  // reason, then a period above MAX_PERIOD InvalidPeriod.
  static Result<RegressionLine, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.period; }

 private:
  explicit RegressionLine(RegressionWindow w) : window_(std::move(w)) {}
  RegressionWindow window_;
};

using LinearRegression = RegressionLine<LineReading::Newest>;
using LinRegSlope = RegressionLine<LineReading::Slope>;
using LinRegAngle = RegressionLine<LineReading::Angle>;
using LinRegIntercept = RegressionLine<LineReading::Intercept>;
using Tsf = RegressionLine<LineReading::Forecast>;

extern template class RegressionLine<LineReading::Newest>;
extern template class RegressionLine<LineReading::Slope>;
extern template class RegressionLine<LineReading::Angle>;
extern template class RegressionLine<LineReading::Intercept>;
extern template class RegressionLine<LineReading::Forecast>;

class TsfOscillator final : public Indicator {
 public:
  // As the line types, with its own reason.
  static Result<TsfOscillator, IndicatorError> create(std::uint64_t period);

  // ((close - forecast) * 100) / close; at a close of 0 the last value again.
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.period; }

 private:
  explicit TsfOscillator(RegressionWindow w) : window_(std::move(w)) {}
  std::optional<double> value_;
  RegressionWindow window_;
};

}  // namespace fendro
