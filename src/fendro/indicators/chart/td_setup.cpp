#include "fendro/indicators/chart/td_setup.hpp"

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro::chart {

Status<IndicatorError> check_lengths(std::uint64_t a, std::uint64_t b) {
  if (a == 0 || b == 0) return err(IndicatorError::zero_period());
  return Unit{};
}

TdSetup::TdSetup(std::uint64_t lookback, std::uint64_t count)
    : closes_(lookback), counts_{count}, warmup_(sat_add(lookback, 1)) {}

Result<TdSetup, IndicatorError> TdSetup::create(std::uint64_t lookback, std::uint64_t count) {
  FENDRO_CHECK(check_lengths(lookback, count));
  return TdSetup(lookback, count);
}

std::optional<double> TdSetup::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const std::optional<Side> side = closes_.push(c->close);
  if (!side) return no_value();
  counts_.count(*side);
  return value_out(counts_.value());
}

}  // namespace fendro::chart
