#include "fendro/indicators/cycle/phasor_tables.hpp"

#include "fendro/util/math.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro::cycle {

std::uint64_t phasor_cells(std::uint64_t min_period, std::uint64_t max_period) {
  return sat_mul(max_period - 2, max_period - min_period + 1);
}

std::shared_ptr<const PhasorTable> build_phasor_table(std::uint64_t min_period, std::uint64_t max_period,
                                                      InBarPacer& pacer) {
  auto table = std::make_shared<PhasorTable>();
  table->reserve(2 * phasor_cells(min_period, max_period));
  for (std::uint64_t p = min_period; p <= max_period; ++p) {
    for (std::uint64_t n = 3; n <= max_period; ++n) {
      const double a = phasor_angle(n, p);
      table->push_back(cr::cos(a));
      table->push_back(cr::sin(a));
    }
    if (pacer.stop_after((max_period - 2) * kComputedCellSteps)) return nullptr;
  }
  return table;
}

PhasorTables::Found PhasorTables::obtain(std::uint64_t min_period, std::uint64_t max_period, InBarPacer& pacer) {
  const auto key = std::make_pair(min_period, max_period);
  if (const auto found = tables_.find(key); found != tables_.end()) return {found->second};
  const std::uint64_t cells = phasor_cells(min_period, max_period);
  if (cells > cells_left_) return {};
  auto table = build_phasor_table(min_period, max_period, pacer);
  if (!table) return {nullptr, true};
  cells_left_ -= cells;
  tables_.emplace(key, table);
  return {std::move(table)};
}

}  // namespace fendro::cycle
