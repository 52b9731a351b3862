#include "fendro/indicators/patterns/range_lines.hpp"

#include "fendro/indicators/common/inputs.hpp"

namespace fendro::patterns {

std::optional<double> RangeLine::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return std::nullopt;
  const double r = range(*c);
  if (!ranges_.full()) {
    ranges_.push(r);
    return std::nullopt;
  }
  // The mean of the five ranges before this candle, oldest first from -0.0.
  double sum = -0.0;
  for (double x : ranges_.items()) sum += x;
  const double mean = sum / static_cast<double>(kWindow);
  ranges_.push(r);
  if (!stands_out(r, mean)) return kNone;
  if (body(*c) < r * 0.5) return kNone;
  return direction_of(*c);
}

}  // namespace fendro::patterns
