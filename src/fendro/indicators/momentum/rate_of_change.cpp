#include "fendro/indicators/momentum/rate_of_change.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"

namespace fendro {

double lag_measure(LagMeasure kind, double c, double o) {
  if (kind == LagMeasure::Mom) return c - o;
  if (o == 0.0) return 0.0;
  switch (kind) {
    case LagMeasure::Roc:
      return ((c - o) / o) * 100.0;
    case LagMeasure::Rocp:
      return (c - o) / o;
    case LagMeasure::Rocr:
      return c / o;
    case LagMeasure::Rocr100:
      return (c / o) * 100.0;
    case LagMeasure::Mom:
      break;
  }
  return c - o;
}

Result<RateOfChange, IndicatorError> RateOfChange::create(LagMeasure kind, std::uint64_t period) {
  FENDRO_TRY(w, lag_ring_new(period));
  return RateOfChange(kind, std::move(w));
}

std::optional<double> RateOfChange::update(const BarSnapshot& bar) {
  double c;
  if (!finite_close_to(bar, c)) return no_value();
  w_.ring.push(c);
  if (!w_.ring.is_full()) return no_value();
  const double v = lag_measure(kind_, c, w_.ring.front());
  w_.last = v;
  return value_out(v);
}

}  // namespace fendro
