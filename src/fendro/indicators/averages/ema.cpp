#include "fendro/indicators/averages/ema.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"

namespace fendro {

Result<Ema, IndicatorError> Ema::create(std::uint64_t period) {
  FENDRO_TRY(s, ema_state_new(period));
  return Ema(s);
}

std::optional<double> Ema::update(const BarSnapshot& bar) {
  const std::optional<double> x = finite_close(bar);
  double v;
  if (!x || !ema_update_to(state_, *x, v)) return no_value();
  return value_out(v);
}

void Ema::update_candles(std::span<const Candle> candles, std::optional<double>* out) {
  EmaState& s = state_;
  std::size_t k = 0;
  for (; k < candles.size() && !s.plain; ++k) {
    const double x = candles[k].close;
    *out++ = std::isfinite(x) ? ema_update(s, x) : std::nullopt;
  }
  // Plain from here on (seeded, no longer flat): ema_update's step, with the
  // average carried in a register from bar to bar.
  const double alpha = s.alpha;
  const double one_minus_alpha = s.one_minus_alpha;
  double value = s.value;
  for (const Candle& c : candles.subspan(k)) {
    const double x = c.close;
    if (!std::isfinite(x)) {
      *out++ = std::nullopt;
      continue;
    }
    value = ema_step(alpha, one_minus_alpha, value, x);
    *out++ = value;
  }
  s.value = value;
}

}  // namespace fendro
