#include "fendro/indicators/volatility/rvi_volatility.hpp"

#include <cmath>

#include "fendro/indicators/common/fused.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/common/variance_values.hpp"
#include "fendro/indicators/momentum/rsi_state.hpp"
#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {
using namespace vol;

Result<RviVolatilityCore, IndicatorError> RviVolatilityCore::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min(period, 2, "RVI period must be >= 2"));
  return RviVolatilityCore(period);
}

std::optional<double> rvi_volatility_core(RviVolatilityCore& s, double x) {
  if (!std::isfinite(x)) return std::nullopt;
  s.window.push(x);
  if (!s.window.is_full()) {
    s.prev = x;
    return std::nullopt;
  }
  const double sd = population_stddev(s.window);
  const double up = x > *s.prev ? sd : 0.0;
  const double down = x < *s.prev ? sd : 0.0;
  s.prev = x;
  const double n = static_cast<double>(s.period);
  bool below = false;
  if (s.averaged) {
    const double n1 = static_cast<double>(s.period - 1);
    const auto wilder = [n, n1](double avg, double x) { return fused_mul_add(avg, n1, x) / n; };
    below = settled_steps(s.settled, wilder, SettledSlot{s.up_avg, up},
                          SettledSlot{s.down_avg, down});
  } else {
    s.up_seed = s.up_seed + up;
    s.down_seed = s.down_seed + down;
    if (++s.seeds < s.period) return std::nullopt;
    s.up_avg = s.up_seed / n;
    s.down_avg = s.down_seed / n;
    s.averaged = true;
  }
  const auto index = [](double up, double down) { return up_share_index(up, down); };
  return settled_apply(s.settled_value, below, index, s.up_avg, s.down_avg);
}

Result<RviVolatility, IndicatorError> RviVolatility::create(std::uint64_t period) {
  FENDRO_TRY(core, RviVolatilityCore::create(period));
  return RviVolatility(std::move(core));
}

std::optional<double> RviVolatility::update(const BarSnapshot& bar) {
  return returned(rvi_volatility_core(core_, bar_close(bar)));
}

}  // namespace fendro
