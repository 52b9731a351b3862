#include "fendro/indicators/volatility/ttm_squeeze.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {
using namespace vol;

Result<TtmSqueeze, IndicatorError> TtmSqueeze::create(std::uint64_t period, double bollinger_k,
                                                      double keltner_k) {
  FENDRO_CHECK(check_period_min_first(period, 2,
                                      "TTM squeeze needs period >= 2 for the momentum regression"));
  FENDRO_CHECK(check_multiplier(bollinger_k));
  FENDRO_CHECK(check_multiplier(keltner_k));
  return TtmSqueeze(period, bollinger_k, keltner_k);
}

TtmSqueeze::TtmSqueeze(std::uint64_t n, double bollinger_k, double keltner_k)
    : atr_(n),
      highs_(n),
      lows_(n),
      closes_(n),
      bollinger_(n, bollinger_k),
      sma_(n),
      n_(n),
      keltner_k_(keltner_k),
      line_(regression_constants(n)) {}

std::optional<double> TtmSqueeze::update(const BarSnapshot& bar) {
  return atr_owner_update(bar, atr_, this, &TtmSqueeze::advance<false>, &TtmSqueeze::advance<true>);
}

template <bool Kept>
std::optional<double> TtmSqueeze::advance(const Candle& k) {
  const Candle* c = &k;
  highs_.push(c->high);
  lows_.push(c->low);
  closes_.push(c->close);
  const auto bands = bollinger_update(bollinger_, c->close);
  const auto sma = sma_update(sma_, c->close);
  const auto atr = atr_update_as<Kept>(atr_, *c);
  // The line's sums over the closes: about a step a value.
  if (!atr || !bands || !sma || stop_before(closes_.len())) return no_value();

  const double width = atr_times_as<Kept>(atr_, *atr, keltner_k_);
  const double kc_upper = *sma + width;
  const double kc_lower = *sma - width;
  const bool inside = bands->lower >= kc_lower && bands->upper <= kc_upper;
  const double squeeze = inside ? 1.0 : 0.0;

  const double mid = midpoint(highs_.value(), lows_.value());
  const double baseline = midpoint(*sma, mid);
  const double n = static_cast<double>(n_);
  const LineSums sums = line_sums(closes_, baseline);
  const double slope = fit_slope(line_, sums.sy, sums.sxy);
  const double intercept = fit_intercept(line_, sums.sy, slope);
  const double momentum = (n - 1.0) * slope + intercept;
  return value_out(out_.set(squeeze, momentum));
}

}  // namespace fendro
