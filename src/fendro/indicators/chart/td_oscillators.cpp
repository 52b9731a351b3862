#include "fendro/indicators/chart/td_oscillators.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/indicators/common/centre_pivot.hpp"
#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro::chart {

Result<TdDeMarker, IndicatorError> TdDeMarker::create(std::uint64_t n) {
  FENDRO_CHECK(check_period(n));
  return TdDeMarker(n);
}

std::optional<double> TdDeMarker::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  if (!prev_) {
    prev_ = *c;
    return no_value();
  }
  ups_.push(std::max(c->high - prev_->high, 0.0));
  downs_.push(std::max(prev_->low - c->low, 0.0));
  prev_ = *c;
  // Two sums: about a step a bar.
  if (!ups_.is_full() || stop_before(ups_.len())) return no_value();
  const double n = static_cast<double>(ups_.capacity());
  const double up = ring_sum(ups_) / n;
  const double denominator = up + ring_sum(downs_) / n;
  return value_out(denominator == 0.0 ? 0.5 : up / denominator);
}

Result<TdPressure, IndicatorError> TdPressure::create(std::uint64_t n) {
  FENDRO_CHECK(check_period(n));
  return TdPressure(n);
}

std::optional<double> TdPressure::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const double range = c->high - c->low;
  terms_.push(range > 0.0 ? c->volume * ((c->close - c->open) / range) : 0.0);
  volumes_.push(c->volume);
  // Two sums: about a step a bar.
  if (!terms_.is_full() || stop_before(terms_.len())) return no_value();
  const double n = static_cast<double>(terms_.capacity());
  const double mean_volume = ring_sum(volumes_) / n;
  if (mean_volume == 0.0) return value_out(0.0);
  return value_out((ring_sum(terms_) / n * 100.0) / mean_volume);
}

Result<TdRei, IndicatorError> TdRei::create(std::uint64_t n) {
  FENDRO_CHECK(check_period(n));
  return TdRei(n);
}

std::optional<double> TdRei::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  if (!candles_.is_full()) {
    candles_.push(*c);
    return no_value();
  }
  // The candle k bars before this one.
  const auto ago = [this](std::size_t k) -> const Candle& { return candles_[8 - k]; };
  const Candle &a2 = ago(2), &a5 = ago(5), &a6 = ago(6), &a7 = ago(7), &a8 = ago(8);
  const bool overlap = (c->high >= a5.low || c->high >= a6.low) &&
                       (c->low <= a5.high || c->low <= a6.high);
  const bool reached = (a2.high >= a7.close || a2.high >= a8.close) &&
                       (a2.low <= a7.close || a2.low <= a8.close);
  signed_.push(overlap || reached ? (c->high - a2.high) + (c->low - a2.low) : 0.0);
  absolute_.push(std::abs(c->high - a2.high) + std::abs(c->low - a2.low));
  candles_.replace_oldest(*c);
  // Two sums: about a step a bar.
  if (!signed_.is_full() || stop_before(signed_.len())) return no_value();
  const double total = ring_sum(absolute_);
  if (total == 0.0) return value_out(0.0);
  return value_out(std::clamp(ring_sum(signed_) * 100.0 / total, -100.0, 100.0));
}

Result<TdDWave, IndicatorError> TdDWave::create(std::uint64_t n) {
  FENDRO_CHECK(check_period(n));
  return TdDWave(n);
}

// The count moves on a pivot of the side other than the last counted one,
// 1 .. 8 and round again; between moves the last count is held.
std::optional<double> TdDWave::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  window_.push(*c);
  if (!window_.is_full()) return returned(held_);
  const CentrePivot p = centre_pivot(window_, static_cast<std::size_t>(centre_));
  if (p.high == p.low) return returned(held_);
  const int kind = p.high ? 1 : -1;
  if (kind != last_kind_) {
    wave_ = wave_ % 8 + 1;
    last_kind_ = kind;
    held_ = static_cast<double>(wave_);
  }
  return returned(held_);
}

}  // namespace fendro::chart
