#include "fendro/indicators/windows/wma_window.hpp"

#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<WmaWindow, IndicatorError> wma_window_new(std::uint64_t n) {
  FENDRO_CHECK(check_period(n));
  return WmaWindow(n);
}

bool wma_fill(WmaWindow& w, double x) {
  w.ring.push(x);
  w.sum = x + w.sum;
  if (!w.ring.is_full()) return false;
  double weighted = -0.0;
  double k = 0.0;
  w.ring.for_each([&](double v) {
    k += 1.0;
    weighted = weighted + v * k;
  });
  w.weighted_sum = weighted;
  return true;
}

void wma_resum(WmaWindow& w) {
  double plain = -0.0;
  for (double v : w.ring.slots()) plain = plain + v;
  w.sum = plain;
  double weighted = -0.0;
  double k = 0.0;
  for (double v : w.ring.slots()) {
    k += 1.0;
    weighted = weighted + k * v;
  }
  w.weighted_sum = weighted;
  w.turns = 0;
  w.copies.forget();  // the clock restarts with the turns
}

}  // namespace fendro
