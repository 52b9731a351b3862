#include "fendro/indicators/windows/rolling_variance.hpp"

#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<RollingVariance, IndicatorError> rolling_variance_new(std::uint64_t n) {
  FENDRO_CHECK(check_period(n));
  return RollingVariance(n);
}

void RollingVariance::reanchor() {
  double total = 0.0;
  ring.for_each([&total](double v) { total = total + v; });
  anchor = total / static_cast<double>(ring.len());
  double d1 = 0.0;
  double d2 = 0.0;
  ring.for_each([&](double v) {
    const double d = v - anchor;
    d1 = d1 + d;
    d2 = d2 + d * d;
  });
  s1 = d1;
  s2 = d2;
  pushes = 0;
  copies.forget();
}

}  // namespace fendro
