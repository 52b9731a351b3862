#include "fendro/indicators/pairs/pair_betas.hpp"

#include <cmath>

#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/util/math.hpp"

namespace fendro::pairs {

Result<BetaNeutralSpread, IndicatorError> BetaNeutralSpread::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 2, "beta-neutral spread needs period >= 2"));
  return BetaNeutralSpread(period);
}

double BetaNeutralSpread::value(const stats::PairMoments& m, stats::PairInput current) const {
  const double beta = stats::pair_beta(m);
  const double intercept = m.mean_a - beta * m.mean_b;
  return current.a - (intercept + beta * current.b);
}

Result<PairwiseBeta, IndicatorError> PairwiseBeta::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 2, "pairwise beta needs period >= 2"));
  return PairwiseBeta(period);
}

std::optional<double> PairwiseBeta::update(const BarSnapshot& bar) {
  const auto in = positive_pair_input(bar);
  if (!in) return no_value();
  const std::optional<stats::PairInput> prev = prev_;
  prev_ = in;
  if (!prev) return no_value();
  window_.push(cr::log(in->a / prev->a), cr::log(in->b / prev->b));
  if (!window_.is_full()) return no_value();
  return value_out(stats::pair_beta(window_.moments()));
}

}  // namespace fendro::pairs
