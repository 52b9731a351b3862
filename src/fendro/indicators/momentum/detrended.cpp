#include "fendro/indicators/momentum/detrended.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<Cfo, IndicatorError> Cfo::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min(period, 2, "linear regression needs period >= 2"));
  return Cfo(period);
}

std::optional<double> Cfo::update(const BarSnapshot& bar) {
  const double c = bar_close(bar);
  const auto f = linreg_update(line_, c);
  if (!f) return no_value();
  if (c == 0.0) return returned(last_);
  last_ = ((c - *f) * 100.0) / c;
  return returned(last_);
}

Result<Dpo, IndicatorError> Dpo::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return Dpo(period);
}

Dpo::Dpo(std::uint64_t n)
    : closes_(std::max(n / 2 + 2, n)), period_(n), shift_(static_cast<std::size_t>(n / 2 + 1)) {}

std::optional<double> Dpo::update(const BarSnapshot& bar) {
  double c;
  if (!finite_close_to(bar, c)) return no_value();
  const std::size_t n = static_cast<std::size_t>(period_);
  // Once n closes are held, the close n places back from this one leaves
  // the mean's window (whether or not it also leaves the ring).
  std::optional<double> leaving;
  if (closes_.len() >= n) leaving = closes_[closes_.len() - n];
  closes_.push(c);
  copies_.push(c);
  sum_ = sum_ + c;
  if (leaving) sum_ = sum_ - *leaving;
  if (++pushes_ == period_) {
    double exact = -0.0;
    const std::size_t len = closes_.len();
    for (std::size_t i = len - std::min(len, n); i < len; ++i) exact = exact + closes_[i];
    sum_ = exact;
    pushes_ = 0;
  }
  if (!closes_.is_full()) return no_value();
  // The ring (the mean's window and the shifted close) holds only copies:
  // the close less its mean is 0, which the running sum misses by rounding.
  if (copies_.holds_only_copies(closes_.capacity())) [[unlikely]] return value_out(0.0);
  return value_out(closes_[closes_.len() - 1 - shift_] - sum_ / static_cast<double>(period_));
}

Result<DisparityIndex, IndicatorError> DisparityIndex::create(std::uint64_t period) {
  FENDRO_TRY(w, sma_window_new(period));
  return DisparityIndex(std::move(w));
}

std::optional<double> DisparityIndex::update(const BarSnapshot& bar) {
  const double c = bar_close(bar);
  const auto m = sma_update(sma_, c);
  if (!m) return no_value();
  if (*m == 0.0) return value_out(0.0);
  return value_out(((c - *m) * 100.0) / *m);
}

}  // namespace fendro
