#include "fendro/indicators/patterns/range_lines.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"

namespace fendro::patterns {

std::optional<double> RangeLine::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const double r = range(*c);
  if (!ranges_.full()) {
    ranges_.push(r);
    return no_value();
  }
  // The mean of the five ranges before this candle, oldest first from -0.0.
  double sum = -0.0;
  for (double x : ranges_.items()) sum += x;
  const double mean = sum / static_cast<double>(kWindow);
  ranges_.push(r);
  if (!stands_out(r, mean)) return value_out(kNone);
  if (body(*c) < r * 0.5) return value_out(kNone);
  return value_out(direction_of(*c));
}

}  // namespace fendro::patterns
