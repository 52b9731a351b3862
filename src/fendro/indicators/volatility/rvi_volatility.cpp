#include "fendro/indicators/volatility/rvi_volatility.hpp"

#include <cmath>

#include "fendro/indicators/common/fused.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/common/up_share_index.hpp"
#include "fendro/indicators/common/variance_values.hpp"
#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {
using namespace vol;

Result<RviVolatilityCore, IndicatorError> RviVolatilityCore::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min(period, 2, "RVI period must be >= 2"));
  return RviVolatilityCore(period);
}

namespace {

// One Wilder step of an average: (avg * (n - 1) + x) rounded once, over n.
double rvi_smooth(const RviVolatilityCore& s, double avg, double x) {
  return fused_mul_add(avg, static_cast<double>(s.period - 1), x) / static_cast<double>(s.period);
}

// The settled path of rvi_volatility_core (see settled_path).
double rvi_settled_update(RviVolatilityCore& s, double up, double down) {
  const auto wilder = [&s](double avg, double x) { return rvi_smooth(s, avg, x); };
  const auto index = [](double u, double d) { return up_share_index(u, d); };
  return kept_pair(s.settled, s.settled_value, wilder, index, s.up_avg, up, s.down_avg, down);
}

}  // namespace

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
  s.halt.push((up == 0.0) & (down == 0.0));
  const double n = static_cast<double>(s.period);
  if (s.averaged) {
    if (all_below_normal(s.up_avg, s.down_avg)) [[unlikely]] {
      return s.halt.read(settled_path([](RviVolatilityCore* r, double u,
                                         double d) { return rvi_settled_update(*r, u, d); },
                                      &s, up, down),
                         s.period);
    }
    s.up_avg = rvi_smooth(s, s.up_avg, up);
    s.down_avg = rvi_smooth(s, s.down_avg, down);
  } else {
    s.up_seed = s.up_seed + up;
    s.down_seed = s.down_seed + down;
    if (++s.seeds < s.period) return std::nullopt;
    s.up_avg = s.up_seed / n;
    s.down_avg = s.down_seed / n;
    s.averaged = true;
  }
  return s.halt.read(up_share_index(s.up_avg, s.down_avg), s.period);
}

Result<RviVolatility, IndicatorError> RviVolatility::create(std::uint64_t period) {
  FENDRO_TRY(core, RviVolatilityCore::create(period));
  return RviVolatility(std::move(core));
}

std::optional<double> RviVolatility::update(const BarSnapshot& bar) {
  return returned(rvi_volatility_core(core_, bar_close(bar)));
}

}  // namespace fendro
