#include "fendro/indicators/averages/alligator.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {
Result<AlligatorLines, IndicatorError> alligator_lines_new(std::uint64_t jaw, std::uint64_t teeth,
                                                           std::uint64_t lips) {
  if (jaw == 0 || teeth == 0 || lips == 0) return err(IndicatorError::zero_period());
  for (std::uint64_t n : {jaw, teeth, lips}) FENDRO_CHECK(check_period(n));
  return AlligatorLines{SmmaState(jaw), SmmaState(teeth), SmmaState(lips), CopiesSoFar{}};
}

std::optional<AlligatorValues> alligator_update(AlligatorLines& lines, double high, double low) {
  const double m = midpoint(high, low);
  if (!std::isfinite(m)) return std::nullopt;
  const bool flat = lines.flat.push(m);
  smma_update(lines.jaw, m);
  smma_update(lines.teeth, m);
  smma_update(lines.lips, m);
  if (!lines.jaw.seeded || !lines.teeth.seeded || !lines.lips.seeded) return std::nullopt;
  // Lines fed only copies of one midpoint read it.
  if (flat) [[unlikely]] return AlligatorValues{copy_read(m), copy_read(m), copy_read(m)};
  return AlligatorValues{lines.jaw.value, lines.teeth.value, lines.lips.value};
}

Result<Alligator, IndicatorError> Alligator::create(std::uint64_t jaw, std::uint64_t teeth,
                                                    std::uint64_t lips) {
  FENDRO_TRY(lines, alligator_lines_new(jaw, teeth, lips));
  return Alligator(lines);
}

std::uint64_t Alligator::warmup_period() const {
  return std::max({lines_.jaw.period, lines_.teeth.period, lines_.lips.period});
}

std::optional<double> Alligator::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const std::optional<AlligatorValues> v = alligator_update(lines_, c->high, c->low);
  if (!v) return no_value();
  return value_out(outputs_.set(v->jaw, v->teeth, v->lips));
}

}  // namespace fendro
