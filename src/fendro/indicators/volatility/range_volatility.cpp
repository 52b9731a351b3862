#include "fendro/indicators/volatility/range_volatility.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/util/math.hpp"

namespace fendro {

// ---- Atr, Natr ----

Result<Atr, IndicatorError> Atr::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return Atr(period);
}

std::optional<double> Atr::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  return returned(atr_update(atr_, *c));
}

Result<Natr, IndicatorError> Natr::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return Natr(period);
}

std::optional<double> Natr::update(const BarSnapshot& bar) {
  return atr_owner_update(bar, atr_, this, &Natr::advance<false>, &Natr::advance<true>);
}

template <bool Kept>
std::optional<double> Natr::advance(const Candle& c) {
  const auto a = atr_update_as<Kept>(atr_, c);
  if (!a) return no_value();
  if (c.close == 0.0) return value_out(0.0);
  const auto percent = [](double range, double price) { return (range * 100.0) / price; };
  if constexpr (Kept) return value_out(kept_apply(kept_, percent, *a, c.close));
  return value_out(percent(*a, c.close));
}

// ---- TrueRange, HighLowRange ----

std::optional<double> TrueRange::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const double tr = true_range(c->high, c->low, prev_close_);
  prev_close_ = c->close;
  return value_out(tr);
}

std::optional<double> HighLowRange::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  if (c->close == 0.0) return value_out(0.0);
  return value_out((c->high - c->low) / c->close);
}

// ---- VolatilityRatio ----

Result<VolatilityRatio, IndicatorError> VolatilityRatio::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return VolatilityRatio(period);
}

std::optional<double> VolatilityRatio::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  if (!prev_close_) {
    prev_close_ = c->close;
    return no_value();
  }
  const double tr = true_range(c->high, c->low, prev_close_);
  prev_close_ = c->close;
  if (average_) [[likely]] {
    // One test an update, on the average before its step: settled below
    // normal, the ratio and the step take the settled path out of line.
    if (below_normal(*average_)) [[unlikely]] {
      return settled_path([](VolatilityRatio* v, double range) { return v->kept(range); }, this,
                          tr);
    }
    const double ratio = over(tr, *average_);
    average_ = step(*average_, tr);
    return value_out(ratio);
  }
  seed_sum_ = seed_sum_ + tr;
  if (++seed_count_ == n_) average_ = seed_sum_ / static_cast<double>(n_);
  return no_value();
}

std::optional<double> VolatilityRatio::kept(double tr) {
  const double ratio = kept_apply(ratio_kept_, [](double r, double a) { return over(r, a); }, tr,
                                  *average_);
  const auto smooth = [this](double average, double range) { return step(average, range); };
  average_ = kept_step(settled_, *average_, tr, smooth);
  return value_out(ratio);
}

// ---- ChoppinessIndex ----

Result<ChoppinessIndex, IndicatorError> ChoppinessIndex::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 2, "choppiness index needs period >= 2"));
  return ChoppinessIndex(period);
}

ChoppinessIndex::ChoppinessIndex(std::uint64_t n)
    : ranges_(n, false), highs_(n), lows_(n), n_(n), log_n_(cr::log10(static_cast<double>(n))) {}

std::optional<double> ChoppinessIndex::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const double tr = true_range(c->high, c->low, prev_close_);
  prev_close_ = c->close;
  ranges_.push(tr);
  highs_.push(c->high);
  lows_.push(c->low);
  if (!ranges_.is_full()) return no_value();
  const double range = highs_.value() - lows_.value();
  if (range == 0.0) return value_out(100.0);
  return value_out((cr::log10(ranges_.sum() / range) * 100.0) / log_n_);
}

}  // namespace fendro
