// Dominant cycle length of the close: the roofing-filtered close is
// correlated with lagged copies of itself over a three-bar window, the
// correlations become a smoothed power spectrum over the candidate periods,
// and the value is the power-weighted centre of the strong part of that
// spectrum, within [min_period, max_period].
//
// Cost: every bar sums (max_period - 2) lags for each of the
// (max_period - min_period + 1) candidate periods, with the cosine and sine of
// every (period, lag) angle. Those phasors are the same on every bar, so they
// are computed once, when the first full window arrives, into a table of at
// most kMaxTableCells cells (64 MiB: 16 bytes a cell; about max_period 2050
// with min_period 10). Beyond that budget each bar computes them again, some
// thirty times slower: (10, 1000) takes about 0.7 ms a bar with its table and
// 21 ms without (bench/periodogram_bench). Within a command (a RunScope) the
// periodograms with the same periods share one table, all the command's
// tables share the one budget, and the long work of a bar (the table, the
// spectrum) asks the command's interrupt as it goes: told to stop, the bar
// gives no value at once.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/cycle/filter_blocks.hpp"
#include "fendro/indicators/cycle/phasor_tables.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/settled_step.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro::cycle {

class AutocorrelationPeriodogram final : public Indicator {
 public:
  static constexpr std::uint64_t kMaxTableCells = PhasorTables::kBudgetCells;
  // Spectra of at most `table_cells` (period, lag) cells keep a phasor table;
  // larger ones compute each phasor when needed, with the same values.
  static Result<AutocorrelationPeriodogram, IndicatorError> create(
      std::uint64_t min_period, std::uint64_t max_period,
      std::uint64_t table_cells = kMaxTableCells);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return filtered_.capacity(); }


 private:
  AutocorrelationPeriodogram(std::uint64_t min_period, std::uint64_t max_period,
                             std::uint64_t table_cells);
  // The shared table, a table of its own outside a command, or none (the
  // phasors computed on every bar); false when told to stop while building.
  bool take_table(InBarPacer& pacer);
  void correlate();
  // The smoothed power of every candidate period from the correlations
  // (sums of corr[n] * cos and * sin of 2 pi n / P over the lags n >= 3);
  // false when told to stop part way.
  bool spectrum(InBarPacer& pacer);
  void add_power(std::uint64_t period, double c, double s);

  std::uint64_t min_;
  std::uint64_t max_;
  std::uint64_t table_cells_;
  OnePoleHighpass hp_;
  SuperSmootherStage ss_;
  BoundedRing<double> filtered_;  // max_period + 3 values
  // Sized once the ring first fills, so memory follows the bars seen.
  std::vector<double> recent_;  // the ring's values, newest first
  std::vector<double> corr_;   // by lag 0..max_period
  std::vector<double> power_;  // by period 0..max_period
  std::vector<SettledStep> settled_power_;  // the same, for a flat stretch
  std::shared_ptr<const PhasorTable> table_;  // when small enough
  const double* phasors_ = nullptr;  // the table's (cos, sin) by period then lag
  double max_power_ = 0.0;
  SettledStep settled_max_power_;
};

}  // namespace fendro::cycle
