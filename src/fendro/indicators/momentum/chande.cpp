#include "fendro/indicators/momentum/chande.hpp"

#include <bit>
#include <cmath>
#include <cstdint>
#include <span>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/common/variance_values.hpp"
#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {
namespace {

// x when `keep`, else -0.0, selected on the bits.
double or_negative_zero(bool keep, double x) {
  const std::uint64_t mask = 0 - static_cast<std::uint64_t>(keep);
  const std::uint64_t neg_zero = std::bit_cast<std::uint64_t>(-0.0);
  return std::bit_cast<double>((std::bit_cast<std::uint64_t>(x) & mask) | (neg_zero & ~mask));
}

}  // namespace

Result<Cmo, IndicatorError> Cmo::create(std::uint64_t period) {
  FENDRO_TRY(s, cmo_state_new(period));
  return Cmo(std::move(s));
}

std::optional<double> Cmo::update(const BarSnapshot& bar) {
  return returned(cmo_update(cmo_, bar_close(bar)));
}

Result<Vidya, IndicatorError> Vidya::create(std::uint64_t smoothing, std::uint64_t cmo_period) {
  if (smoothing == 0 || cmo_period == 0) return err(IndicatorError::zero_period());
  FENDRO_TRY(s, cmo_state_new(cmo_period));
  return Vidya(std::move(s), 2.0 / (static_cast<double>(smoothing) + 1.0));
}

std::optional<double> Vidya::update(const BarSnapshot& bar) {
  const double c = bar_close(bar);
  const auto cmo = cmo_update(cmo_, c);
  if (!cmo) return no_value();
  const double k = (std::abs(*cmo) / 100.0) * alpha_;
  const double prev = average_ ? *average_ : c;
  average_ = c * k + (1.0 - k) * prev;
  return returned(average_);
}

Result<DynamicMomentumIndex, IndicatorError> DynamicMomentumIndex::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return DynamicMomentumIndex(period);
}

std::optional<double> DynamicMomentumIndex::update(const BarSnapshot& bar) {
  double c;
  if (!finite_close_to(bar, c)) return no_value();
  deviation_.push(c);
  if (deviation_.is_full()) {
    last_dev_ = vol::population_stddev(deviation_);
    last_dev_avg_ = sma_update(deviation_avg_, *last_dev_);
  }
  if (const auto change = next_change(prev_, c)) changes_.push(*change);
  if (!last_dev_ || !last_dev_avg_ || !changes_.is_full()) return no_value();

  // Skip the oldest 30 - t changes, t = round(period * avg / dev) held in
  // [5, 30]; the count is kept in floating point, where a huge or NaN t
  // needs no integer conversion.
  std::size_t skip = 0;
  const double dev = *last_dev_;
  const double avg = *last_dev_avg_;
  if (dev > 0.0 && avg > 0.0) {
    double t = std::round(static_cast<double>(period_) / (dev / avg));
    if (!(t >= 5.0)) t = 5.0;
    if (t <= 30.0) skip = kChanges - static_cast<std::size_t>(t);
  }
  // Oldest first from -0.0; adding -0.0 for a move of the other sign is an
  // exact no-op, which lets the loop run without (unpredictable) branches.
  double up = -0.0;
  double down = -0.0;
  const auto add = [&](std::span<const double> run) {
    for (const double ch : run) {
      up = up + or_negative_zero(ch > 0.0, ch);
      down = down + or_negative_zero(ch < 0.0, -ch);
    }
  };
  const std::span<const double> older = changes_.older();
  const std::span<const double> newer = changes_.newer();
  if (skip < older.size()) {
    add(older.subspan(skip));
    add(newer);
  } else {
    add(newer.subspan(skip - older.size()));
  }
  if (up + down != 0.0) return value_out((up / (up + down)) * 100.0);
  return value_out(50.0);
}

Result<IntradayMomentumIndex, IndicatorError> IntradayMomentumIndex::create(std::uint64_t period) {
  FENDRO_TRY(w, pair_ring_window_new(period));
  return IntradayMomentumIndex(std::move(w));
}

std::optional<double> IntradayMomentumIndex::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const Move body = split_move(c->close - c->open);
  PairRingWindow& w = bodies_;
  w.push(body.gain, body.loss);
  zeros_.push(body.gain, body.loss);
  if (!w.ring.is_full()) return no_value();
  const double ups = zeros_.read_a(w);
  const double total = ups + zeros_.read_b(w);
  if (total == 0.0) return value_out(50.0);
  return value_out((ups * 100.0) / total);
}

}  // namespace fendro
