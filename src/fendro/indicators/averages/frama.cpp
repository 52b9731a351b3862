#include "fendro/indicators/averages/frama.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/util/math.hpp"

namespace fendro {
namespace {

constexpr double kLn2 = 0.6931471805599453;
constexpr double kSlowest = 0.01;

struct Range {
  double high;
  double low;
  double width() const { return high - low; }
};

// High and low of the entries [from, to) of the ring, counted from the oldest.
Range range_of(const BoundedRing<double>& r, std::size_t from, std::size_t to) {
  Range g{r[from], r[from]};
  for (std::size_t i = from + 1; i < to; ++i) {
    g.high = std::max(g.high, r[i]);
    g.low = std::min(g.low, r[i]);
  }
  return g;
}

}  // namespace

Result<Frama, IndicatorError> Frama::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min(period, 2, "FRAMA period must be at least 2"));
  if (period % 2 != 0) return err(IndicatorError::invalid_period("FRAMA period must be even"));
  return Frama(period);
}

std::optional<double> Frama::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  const double x = close;
  closes_.push(x);
  if (!closes_.is_full()) return no_value();
  // The ranges of both halves: about a step a value.
  if (stop_before(closes_.len())) return no_value();

  const std::size_t half = static_cast<std::size_t>(half_);
  const Range older = range_of(closes_, 0, half);
  const Range newer = range_of(closes_, half, 2 * half);
  const Range all{std::max(older.high, newer.high), std::min(older.low, newer.low)};
  const double n3 = all.width() / static_cast<double>(period_);
  const double n1 = older.width() / static_cast<double>(half_);
  const double n2 = newer.width() / static_cast<double>(half_);

  double a = kSlowest;
  if (n3 > 0.0 && n2 > 0.0 && n1 > 0.0) {
    const double d = (cr::log(n2 + n1) - cr::log(n3)) / kLn2;
    a = std::clamp(cr::exp((d - 1.0) * -4.6), kSlowest, 1.0);
  }
  const double prev = value_ ? *value_ : x;
  value_ = x * a + (1.0 - a) * prev;
  return returned(value_);
}

}  // namespace fendro
