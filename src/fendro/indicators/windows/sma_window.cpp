#include "fendro/indicators/windows/sma_window.hpp"

#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<SmaWindow, IndicatorError> sma_window_new(std::uint64_t n) {
  FENDRO_CHECK(check_period(n));
  return SmaWindow(n);
}

bool sma_fill(SmaWindow& w, double x) {
  w.ring.push(x);
  w.sum = x + w.sum;
  if (++w.pushes >= w.resum_every) sma_resum(w);
  return w.ring.is_full();
}

double sma_exact_mean(const SmaWindow& w) {
  const double newest = w.ring.back();
  bool copies = true;
  w.ring.for_each([newest, &copies](double v) { copies = copies && v == newest; });
  return copy_read(copies ? newest : ring_sum(w.ring) / w.divisor);
}

void sma_resum(SmaWindow& w) {
  w.sum = ring_sum(w.ring);
  w.pushes = 0;
  w.copies.forget();
}

}  // namespace fendro
