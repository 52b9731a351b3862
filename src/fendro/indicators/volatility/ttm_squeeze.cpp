#include "fendro/indicators/volatility/ttm_squeeze.hpp"

#include "fendro/indicators/trend/checks.hpp"

namespace fendro {
using namespace vol;

Result<TtmSqueeze, IndicatorError> TtmSqueeze::create(std::uint64_t period, double bollinger_k,
                                                      double keltner_k) {
  if (period < 2) {
    return err(IndicatorError::invalid_period(
        "TTM squeeze needs period >= 2 for the momentum regression"));
  }
  if (period > MAX_PERIOD) return err(IndicatorError::invalid_period(kMaxPeriodReason));
  FENDRO_CHECK(trend::check_multiplier(bollinger_k));
  FENDRO_CHECK(trend::check_multiplier(keltner_k));
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
  const Candle* c = trend::checked_candle(bar);
  if (c == nullptr) return std::nullopt;
  highs_.push(c->high);
  lows_.push(c->low);
  closes_.push(c->close);
  const auto bands = bollinger_update(bollinger_, c->close);
  const auto sma = sma_update(sma_, c->close);
  const auto atr = atr_update(atr_, *c);
  if (!atr || !bands || !sma) return std::nullopt;

  const double width = *atr * keltner_k_;
  const double kc_upper = *sma + width;
  const double kc_lower = *sma - width;
  const bool inside = bands->lower >= kc_lower && bands->upper <= kc_upper;
  const double squeeze = inside ? 1.0 : 0.0;

  const double mid = trend::midpoint(highs_.value(), lows_.value());
  const double baseline = trend::midpoint(*sma, mid);
  const double n = static_cast<double>(n_);
  const LineSums sums = line_sums(closes_, baseline);
  const double slope = line_slope(sums, n, line_);
  const double intercept = line_intercept(sums, slope, n, line_);
  const double momentum = (n - 1.0) * slope + intercept;
  return out_.set(squeeze, momentum);
}

}  // namespace fendro
