#include "fendro/indicators/averages/kama.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro {
namespace {

double smoothing_constant(std::uint64_t length) { return 2.0 / (static_cast<double>(length) + 1.0); }

}  // namespace

Result<Kama, IndicatorError> Kama::create(std::uint64_t period, std::uint64_t fast,
                                          std::uint64_t slow) {
  if (period == 0 || fast == 0 || slow == 0) return err(IndicatorError::zero_period());
  if (fast >= slow) {
    return err(IndicatorError::invalid_period("KAMA fast period must be strictly less than slow"));
  }
  return Kama(period, fast, slow);
}

Kama::Kama(std::uint64_t period, std::uint64_t fast, std::uint64_t slow)
    : closes_(sat_add(period, 1)),
      period_(period),
      fast_(smoothing_constant(fast)),
      slow_(smoothing_constant(slow)) {}

std::uint64_t Kama::warmup_period() const { return sat_add(period_, 1); }

std::optional<double> Kama::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  const double x = close;
  closes_.push(x);
  if (!closes_.is_full()) return no_value();
  // The path length: about a step a value.
  if (stop_before(closes_.len())) return no_value();

  const double first = closes_.front();
  double volatility = 0.0;
  double prev = first;
  closes_.for_each([&](double c) {
    volatility = volatility + std::abs(c - prev);  // the first term is |first - first| = 0
    prev = c;
  });
  const double er = volatility == 0.0 ? 0.0 : std::abs(x - first) / volatility;
  double sc = slow_ + er * (fast_ - slow_);
  sc = sc * sc;
  const double base = value_ ? *value_ : first;
  value_ = base + sc * (x - base);
  return returned(value_);
}

}  // namespace fendro
