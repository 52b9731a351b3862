#include "fendro/indicators/averages/laguerre_filter.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/indicators/windows/total_order.hpp"

namespace fendro {

Result<AdaptiveLaguerreFilter, IndicatorError> AdaptiveLaguerreFilter::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return AdaptiveLaguerreFilter(period);
}

void AdaptiveLaguerreFilter::adapt(double error) {
  double hh = errors_.front();
  double ll = hh;
  errors_.for_each([&](double e) {
    hh = std::max(hh, e);
    ll = std::min(ll, e);
  });
  if (!(hh - ll > 0.0)) return;

  const double q = (error - ll) / (hh - ll);
  if (recent_count_ == recent_.size()) {
    std::copy(recent_.begin() + 1, recent_.end(), recent_.begin());
    recent_.back() = q;
  } else {
    recent_[recent_count_++] = q;
  }
  // Insertion sort of at most five values, under the total order so that
  // even a NaN has its place.
  std::array<double, 5> sorted{};
  for (std::size_t k = 0; k < recent_count_; ++k) {
    std::size_t j = k;
    for (; j > 0 && total_less(recent_[k], sorted[j - 1]); --j) sorted[j] = sorted[j - 1];
    sorted[j] = recent_[k];
  }
  const std::size_t mid = recent_count_ / 2;
  alpha_ = recent_count_ % 2 == 1 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) * 0.5;
}

std::optional<double> AdaptiveLaguerreFilter::update(const BarSnapshot& bar) {
  const std::optional<double> close = finite_close(bar);
  // The error window's extremes, scanned on every bar: about a step a value.
  if (!close || stop_before(errors_.len() + 1)) return no_value();
  const double x = *close;
  const bool flat = flat_.push(x);
  double error = 0.0;
  if (!started_) {
    terms_ = {x, x, x, x};
    started_ = true;
  } else {
    error = std::abs(x - last_);
  }
  errors_.push(error);
  adapt(error);

  const double a = alpha_;
  const double g = 1.0 - a;
  const auto [l0, l1, l2, l3] = terms_;
  const double n0 = a * x + g * l0;
  const double n1 = g * l1 + (l0 - g * n0);
  const double n2 = g * l2 + (l1 - g * n1);
  const double n3 = g * l3 + (l2 - g * n2);
  terms_ = {n0, n1, n2, n3};
  last_ = (((n0 + (n1 + n1)) + (n2 + n2)) + n3) / 6.0;
  if (!errors_.is_full()) return no_value();
  // Four terms that are one value v weigh to v exactly, which (6 v) / 6
  // misses by rounding.
  if (all_equal({n0, n1, n2, n3})) [[unlikely]] return value_out(copy_read(n0));
  return value_out(flat_read(flat, x, last_));
}

}  // namespace fendro
