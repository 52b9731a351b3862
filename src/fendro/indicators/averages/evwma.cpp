#include "fendro/indicators/averages/evwma.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<Evwma, IndicatorError> Evwma::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return Evwma(period);
}

std::optional<double> Evwma::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const bool flat = flat_.push(c->close);
  if (const std::optional<double> old = volumes_.push(c->volume)) volume_sum_ = volume_sum_ - *old;
  volume_sum_ = volume_sum_ + c->volume;
  if (!volumes_.is_full()) return no_value();

  const double total = volume_sum_;
  if (total > 0.0) {
    const double prev = value_ ? *value_ : c->close;
    value_ = (c->close * c->volume + (total - c->volume) * prev) / total;
    return value_out(flat_read(flat, c->close, *value_));
  }
  // No volume in the window: nothing moves the average.
  if (!value_) value_ = c->close;
  return returned(value_);
}

}  // namespace fendro
