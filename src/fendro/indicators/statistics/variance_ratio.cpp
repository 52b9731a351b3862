#include "fendro/indicators/statistics/variance_ratio.hpp"

#include "fendro/indicators/common/close_window.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/common/two_series.hpp"

namespace fendro::stats {

Result<VarianceRatio, IndicatorError> VarianceRatio::create(std::uint64_t period, std::uint64_t q) {
  if (q < 2) return err(IndicatorError::invalid_period("variance ratio needs q >= 2"));
  if (q > MAX_PERIOD) return err(IndicatorError::invalid_period(kMaxPeriodReason));
  if (period < q + 2) {
    return err(IndicatorError::invalid_period("variance ratio needs period >= q + 2"));
  }
  return VarianceRatio(period, q);
}

std::optional<double> VarianceRatio::update(const BarSnapshot& bar) {
  const auto in = two_series_input(bar);
  if (!in) return no_value();
  spreads_.push(in->a - in->b);
  if (!spreads_.is_full()) return no_value();

  diffs_.clear();
  double prev = spreads_.front();
  for (std::size_t i = 1; i < spreads_.len(); ++i) {
    const double s = spreads_[i];
    diffs_.push_back(s - prev);
    prev = s;
  }
  const std::size_t m = diffs_.size();
  const auto [md, squares] = centred_sums(diffs_);
  const double var1 = squares / static_cast<double>(m);
  if (var1 <= 0.0) return value_out(1.0);

  const std::size_t q = static_cast<std::size_t>(q_);
  const double q_md = static_cast<double>(q) * md;
  double acc = 0.0;
  for (std::size_t start = 0; start + q <= m; ++start) {
    const double dev = ordered_sum(std::span<const double>(diffs_).subspan(start, q)) - q_md;
    acc = acc + dev * dev;
  }
  const double var_q = acc / static_cast<double>(m - q + 1);
  return value_out(var_q / (var1 * static_cast<double>(q)));
}

}  // namespace fendro::stats
