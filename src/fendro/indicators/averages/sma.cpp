#include "fendro/indicators/averages/sma.hpp"

#include <cmath>

#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/bar_close.hpp"

namespace fendro {

Result<Sma, IndicatorError> Sma::create(std::uint64_t period) {
  FENDRO_TRY(w, sma_window_new(period));
  return Sma(std::move(w));
}

std::optional<double> Sma::update(const BarSnapshot& bar) {
  return returned(sma_update(window_, bar_close(bar)));
}

void Sma::update_candles(std::span<const Candle> candles, std::optional<double>* out) {
  SmaWindow& w = window_;
  std::size_t k = 0;
  for (; k < candles.size() && !w.is_full(); ++k) *out++ = sma_update(w, candles[k].close);
  // Full from here on: sma_update's steady step, with the running sum held
  // in a register rather than stored and read back around every write of
  // the ring, which could otherwise overlap it.
  double sum = w.sum;
  std::uint64_t pushes = w.pushes;
  std::size_t oldest = w.ring.head();
  const std::uint64_t resum_every = w.resum_every;
  const double divisor = w.divisor;
  double prev = w.ring.len() > 0 ? w.ring.back() : 0.0;
  for (const Candle& c : candles.subspan(k)) {
    const double x = c.close;
    if (!std::isfinite(x)) {
      *out++ = std::nullopt;
      continue;
    }
    const bool repeat = x == prev;
    prev = x;
    const double evicted = w.ring.replace_at(oldest, x);
    sum = sma_slide(sum, x, evicted);
    if (++pushes >= resum_every) [[unlikely]] {
      w.ring.set_head(oldest);
      sma_resum(w);
      sum = w.sum;
      pushes = w.pushes;
    }
    const double m = sum / divisor;
    if (repeat) [[unlikely]] {
      // The copies' check reads the ring and the clock as they stand.
      w.ring.set_head(oldest);
      w.pushes = pushes;
      if (w.copies.after_repeat(w.ring, x, pushes, w.period)) {
        *out++ = copy_read(x);
        continue;
      }
    }
    *out++ = m;
  }
  w.ring.set_head(oldest);
  w.sum = sum;
  w.pushes = pushes;
}

}  // namespace fendro
