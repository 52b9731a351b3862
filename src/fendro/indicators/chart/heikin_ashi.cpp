#include "fendro/indicators/chart/heikin_ashi.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro::chart {

const HaCandle& HeikinAshiTransform::next(double o, double h, double l, double c) {
  HaCandle ha;
  ha.close = (((o + h) + l) + c) * 0.25;
  ha.open = has_prev_ ? midpoint(prev_.open, prev_.close) : midpoint(o, c);
  ha.high = std::max({h, ha.open, ha.close});
  ha.low = std::min({l, ha.open, ha.close});
  prev_ = ha;
  has_prev_ = true;
  return prev_;
}

std::optional<double> HeikinAshi::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const HaCandle& ha = ha_.next(c->open, c->high, c->low, c->close);
  return value_out(out_.set(ha.open, ha.high, ha.low, ha.close));
}

SmoothedHeikinAshi::SmoothedHeikinAshi(std::uint64_t n) { smooth_.fill(EmaState::of_period(n)); }

Result<SmoothedHeikinAshi, IndicatorError> SmoothedHeikinAshi::create(std::uint64_t n) {
  FENDRO_CHECK(check_period(n));
  return SmoothedHeikinAshi(n);
}

// All four prices are smoothed on every valid candle; the transform (and its
// previous candle) waits until every average has a value.
std::optional<double> SmoothedHeikinAshi::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const std::optional<double> o = ema_update(smooth_[0], c->open);
  const std::optional<double> h = ema_update(smooth_[1], c->high);
  const std::optional<double> l = ema_update(smooth_[2], c->low);
  const std::optional<double> cl = ema_update(smooth_[3], c->close);
  if (!o || !h || !l || !cl) return no_value();
  const HaCandle& ha = ha_.next(*o, *h, *l, *cl);
  return value_out(out_.set(ha.open, ha.high, ha.low, ha.close));
}

Result<HeikinAshiOscillator, IndicatorError> HeikinAshiOscillator::create(std::uint64_t n) {
  FENDRO_CHECK(check_period(n));
  return HeikinAshiOscillator(n);
}

// The transform advances even when the difference overflows.
std::optional<double> HeikinAshiOscillator::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const HaCandle& ha = ha_.next(c->open, c->high, c->low, c->close);
  const double d = ha.close - ha.open;
  if (!std::isfinite(d)) return no_value();
  return returned(ema_update_settled(smooth_, d));
}

}  // namespace fendro::chart
