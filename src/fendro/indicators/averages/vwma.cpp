#include "fendro/indicators/averages/vwma.hpp"

#include <limits>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {
namespace {

// All three sums start from +0.0: a window of -0.0 prices averages to +0.0.
[[gnu::cold]] void recompute(VwmaWindow& w) {
  double pv = 0.0;
  double vol = 0.0;
  double price = 0.0;
  w.pairs.for_each([&](const std::pair<double, double>& e) {
    pv = pv + e.first * e.second;
    vol = vol + e.second;
    price = price + e.first;
  });
  w.price_volume = pv;
  w.volume = vol;
  w.price = price;
  w.pushes = 0;
  w.copies.forget();
}

// (x, v) joins a window still filling; the price pushed before it comes
// back (NaN, which equals no price, for the first).
[[gnu::cold, gnu::noinline]] double fill(VwmaWindow& w, double x, double v) {
  const double prev = w.pairs.empty() ? std::numeric_limits<double>::quiet_NaN() : w.pairs.back().first;
  w.pairs.push({x, v});
  return prev;
}

}  // namespace

Result<VwmaWindow, IndicatorError> vwma_window_new(std::uint64_t n) {
  FENDRO_CHECK(check_period(n));
  return VwmaWindow(n);
}

std::optional<double> vwma_update(VwmaWindow& w, double x, double v) {
  // Only a push of the price pushed before can leave the window holding
  // only copies of one price.
  double prev;
  if (w.pairs.is_full()) [[likely]] {
    const std::size_t slot = w.pairs.head();
    const auto old = w.pairs.replace_oldest({x, v});
    // In a window of one, x itself: a window of x alone holds only copies.
    prev = w.pairs.before_slot(slot).first;
    w.price_volume = w.price_volume - old.first * old.second;
    w.volume = w.volume - old.second;
    w.price = w.price - old.first;
    if (old.second > 0.0) --w.traded;
  } else {
    prev = fill(w, x, v);
  }
  w.price_volume = w.price_volume + x * v;
  w.volume = w.volume + v;
  w.price = w.price + x;
  if (v > 0.0) ++w.traded;
  if (++w.pushes == w.period) recompute(w);
  if (x == prev) [[unlikely]] {
    const auto price = [](const std::pair<double, double>& e) { return e.first; };
    if (w.copies.after_repeat(w.pairs, x, w.pushes, w.period, price) && w.pairs.is_full()) {
      return copy_read(x);
    }
  }
  if (!w.pairs.is_full()) return std::nullopt;
  if (w.traded > 0 && w.volume > 0.0) return w.price_volume / w.volume;
  return w.price / static_cast<double>(w.period);
}

Result<Vwma, IndicatorError> Vwma::create(std::uint64_t period) {
  FENDRO_TRY(w, vwma_window_new(period));
  return Vwma(std::move(w));
}

std::optional<double> Vwma::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  return returned(vwma_update(window_, c->close, c->volume));
}

}  // namespace fendro
