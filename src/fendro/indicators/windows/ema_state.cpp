#include "fendro/indicators/windows/ema_state.hpp"

#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<EmaState, IndicatorError> ema_state_new(std::uint64_t n) {
  FENDRO_CHECK(check_period(n));
  return EmaState::of_period(n);
}

bool ema_seed(EmaState& s, double x) {
  s.seed_sum = x + s.seed_sum;
  s.seed_copies.push(x);
  if (++s.seed_count != s.period) return false;
  s.value = s.seed_sum / static_cast<double>(s.seed_count);
  s.flat = s.seed_copies.holds_only_copies(s.period);
  s.flat_x = x;
  s.plain = !s.flat;
  s.seeded = true;
  return true;
}

double ema_flat_read(EmaState& s, double x) {
  if (x == s.flat_x) return copy_read(x);
  s.flat = false;
  s.plain = true;
  return s.value;
}

EmaRead ema_update_unplain(EmaState& s, double x) {
  if (s.seeded) {
    s.value = ema_step(s.alpha, s.one_minus_alpha, s.value, x);
  } else if (!ema_seed(s, x)) {
    return {0.0, false};
  }
  return {s.flat ? ema_flat_read(s, x) : s.value, true};
}

}  // namespace fendro
