// Relative volatility: the rolling standard deviation of a series credited to
// the up side on a rise and to the down side on a fall, each side Wilder
// smoothed; 100 * up / (up + down). The core step is shared with oscillators
// that feed it a series of their own.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/halt_hold.hpp"
#include "fendro/indicators/windows/rolling_variance.hpp"
#include "fendro/indicators/windows/settled_step.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

struct RviVolatilityCore {
  std::optional<double> prev;  // the previous accepted value
  bool averaged = false;       // both averages seeded
  double up_avg = 0.0;
  double down_avg = 0.0;
  std::array<SettledStep, 2> settled;  // up and down: the steps skipped once settled
  SettledValue<2> settled_value;       // the index, kept for averages below normal
  HaltHold halt;                       // the index, held through a halt
  RollingVariance window;      // the last n values
  double up_seed = -0.0;       // sums of the first n up and down deviations
  double down_seed = -0.0;
  std::uint64_t seeds = 0;
  std::uint64_t period = 0;

  // 0: ZeroPeriod; above MAX_PERIOD: InvalidPeriod; 1: "RVI period must be >= 2".
  static Result<RviVolatilityCore, IndicatorError> create(std::uint64_t period);

 private:
  explicit RviVolatilityCore(std::uint64_t n) : window(n), period(n) {}
};

// One step with x: no value for a NaN or infinite x (nothing changes), while
// the window fills and while the averages seed; the first value comes on the
// (2n - 1)-th accepted x. 50 when both averages are 0. Once x has not
// moved for n steps in a row, the index is held as it stood then.
std::optional<double> rvi_volatility_core(RviVolatilityCore& s, double x);

class RviVolatility final : public Indicator {
 public:
  static Result<RviVolatility, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 2 * core_.period - 1; }

 private:
  explicit RviVolatility(RviVolatilityCore core) : core_(std::move(core)) {}
  RviVolatilityCore core_;
};

}  // namespace fendro
