// The periodogram's phasor tables: the cosine and sine of every (period,
// lag) angle 2 pi lag / period, for the periods min..max and the lags
// 3..max, by period then lag. A table depends on (min, max) alone, so the
// periodograms of one command with the same periods share one, and all the
// tables of a command together stay within one budget; a periodogram left
// without a table computes its phasors on every bar, to the same values.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/cycle/filter_blocks.hpp"

namespace fendro::cycle {

using PhasorTable = std::vector<double>;

// (period, lag) cells of the table for periods min..max (two values each).
std::uint64_t phasor_cells(std::uint64_t min_period, std::uint64_t max_period);

// The angle of one (period, lag) cell.
inline double phasor_angle(std::uint64_t lag, std::uint64_t period) {
  return (static_cast<double>(lag) * kTwoPi) / static_cast<double>(period);
}

// The table for min..max, built a period at a time with `pacer` asked after
// each; nothing when it says stop.
std::shared_ptr<const PhasorTable> build_phasor_table(std::uint64_t min_period, std::uint64_t max_period,
                                                      InBarPacer& pacer);

// A cell computed on the fly costs a cosine and a sine: about this many
// steps of a table's cell, for pacing.
inline constexpr std::uint64_t kComputedCellSteps = 24;

class PhasorTables final : public ScopeCache {
 public:
  // 64 MiB of (cos, sin) pairs for all the tables of one command.
  static constexpr std::uint64_t kBudgetCells = std::uint64_t{1} << 22;

  struct Found {
    std::shared_ptr<const PhasorTable> table;  // null: compute on the fly
    bool stopped = false;                       // the build was told to stop
  };

  // The table for min..max: the one already built, else a new one when the
  // budget left holds it; a table on which the pacer stopped is dropped.
  Found obtain(std::uint64_t min_period, std::uint64_t max_period, InBarPacer& pacer);

  std::uint64_t cells_left() const { return cells_left_; }

 private:
  std::map<std::pair<std::uint64_t, std::uint64_t>, std::shared_ptr<const PhasorTable>> tables_;
  std::uint64_t cells_left_ = kBudgetCells;
};

}  // namespace fendro::cycle
