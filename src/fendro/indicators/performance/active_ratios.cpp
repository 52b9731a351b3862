#include "fendro/indicators/performance/active_ratios.hpp"

#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/performance/return_ratios.hpp"
#include "fendro/indicators/common/two_series.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro::perf {

Result<InformationRatio, IndicatorError> InformationRatio::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 2, "information ratio needs period >= 2"));
  return InformationRatio(period);
}

std::optional<double> InformationRatio::update(const BarSnapshot& bar) {
  const auto in = stats::two_series_input(bar);
  if (!in) return no_value();
  window_.push(in->a - in->b);
  if (!window_.is_full()) return no_value();
  return value_out(mean_over_sample_stddev(window_, 0.0).value_or(0.0));
}

Result<TreynorRatio, IndicatorError> TreynorRatio::create(std::uint64_t period, double risk_free) {
  FENDRO_CHECK(check_period_min_first(period, 2, "treynor ratio needs period >= 2"));
  return TreynorRatio(period, risk_free);
}

double TreynorRatio::value(const stats::PairMoments& m, stats::PairInput) const {
  if (m.var_b <= 0.0) return 0.0;
  const double beta = m.cov / m.var_b;
  if (beta == 0.0) return 0.0;
  return (m.mean_a - risk_free_) / beta;
}

}  // namespace fendro::perf
