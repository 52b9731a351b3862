#include "fendro/indicators/volatility/ohlc_volatility.hpp"

#include <cmath>

#include "fendro/indicators/common/fused.hpp"
#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/common/variance_values.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/util/math.hpp"

namespace fendro {
using namespace vol;

double GarmanKlassTerm::term(const Candle& c) {
  constexpr double kCloseWeight = -0.3862943611198906;  // -(2 ln 2 - 1)
  const double a = cr::log(c.high / c.low);
  const double b = cr::log(c.close / c.open);
  return a * (a * 0.5) + b * (b * kCloseWeight);
}

double ParkinsonTerm::term(const Candle& c) {
  const double a = cr::log(c.high / c.low);
  return a * a;
}

double RogersSatchellTerm::term(const Candle& c) {
  return fused_mul_add(cr::log(c.high / c.close), cr::log(c.high / c.open),
                  cr::log(c.low / c.close) * cr::log(c.low / c.open));
}

template <class Term>
std::optional<double> TermVolatility<Term>::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  terms_.push(Term::term(*c));
  if (!terms_.is_full()) return no_value();
  const double var = Term::variance(terms_.sum(), static_cast<double>(terms_.period()));
  return value_out(
      (std::sqrt(clamp_variance(var)) * std::sqrt(static_cast<double>(annualisation_))) * 100.0);
}

template class TermVolatility<GarmanKlassTerm>;
template class TermVolatility<ParkinsonTerm>;
template class TermVolatility<RogersSatchellTerm>;

// ---- YangZhangVolatility ----

Result<YangZhangVolatility, IndicatorError> YangZhangVolatility::create(
    std::uint64_t period, std::uint64_t annualisation) {
  if (period == 0 || annualisation == 0) return err(IndicatorError::zero_period());
  FENDRO_CHECK(check_period_min_first(period, 2, "Yang-Zhang period must be >= 2"));
  return YangZhangVolatility(period, annualisation);
}

YangZhangVolatility::YangZhangVolatility(std::uint64_t n, std::uint64_t a)
    : overnight_(n), open_close_(n), rs_terms_(n), n_(n), annualisation_(a) {
  const double nf = static_cast<double>(n);
  k_ = 0.34 / ((nf + 1.0) / (nf - 1.0) + 1.34);
}

std::optional<double> YangZhangVolatility::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  if (!prev_close_) {
    prev_close_ = c->close;
    return no_value();
  }
  const double overnight = cr::log(c->open / *prev_close_);
  const double open_close = cr::log(c->close / c->open);
  const double rs = RogersSatchellTerm::term(*c);
  prev_close_ = c->close;
  // The three windows move together: both moment windows see the same pushes,
  // so they re-anchor on the same bar.
  overnight_.push(overnight);
  open_close_.push(open_close);
  rs_terms_.push(rs);
  overnight_zeros_.push(overnight);
  open_close_zeros_.push(open_close);
  if (!overnight_.is_full()) return no_value();
  const double var_o =
      overnight_zeros_.holds_only_zeros(n_) ? 0.0 : clamp_variance(sample_variance_raw(overnight_));
  const double var_c = open_close_zeros_.holds_only_zeros(n_)
                           ? 0.0
                           : clamp_variance(sample_variance_raw(open_close_));
  const double rs_mean = clamp_variance(rs_terms_.sum() / static_cast<double>(n_));
  const double var = clamp_variance((var_o + k_ * var_c) + rs_mean * (1.0 - k_));
  return value_out((std::sqrt(static_cast<double>(annualisation_)) * std::sqrt(var)) * 100.0);
}

}  // namespace fendro
