// Within a command the periodograms with the same periods share one phasor
// table and all tables draw on one budget; whichever way an entry gets its
// phasors (its own table, a shared one, none), its values are the same bits.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/cycle/autocorrelation_periodogram.hpp"
#include "fendro/indicators/cycle/phasor_tables.hpp"
#include "indicators/series.hpp"
#include "indicators/testing.hpp"

namespace fendro::cycle {
namespace {

using testing::Values;

struct Periods {
  std::uint64_t lo, hi;
};

AutocorrelationPeriodogram make(Periods p, std::uint64_t cells = AutocorrelationPeriodogram::kMaxTableCells) {
  auto made = AutocorrelationPeriodogram::create(p.lo, p.hi, cells);
  EXPECT_TRUE(made.ok());
  return std::move(made).value();
}

// Every entry stepped bar by bar side by side, as a command steps them.
std::vector<Values> run_side_by_side(const std::vector<Periods>& entries, const std::vector<Candle>& bars) {
  std::vector<AutocorrelationPeriodogram> inds;
  for (const Periods& p : entries) inds.push_back(make(p));
  std::vector<Values> out(entries.size());
  for (const Candle& c : bars) {
    for (std::size_t k = 0; k < inds.size(); ++k) out[k].push_back(testing::step(inds[k], c));
  }
  return out;
}

Values run_alone(Periods p, const std::vector<Candle>& bars, std::uint64_t cells) {
  auto ind = make(p, cells);
  return testing::run(ind, bars);
}

// Same max with different mins: tables that must not be confused.
const std::vector<Periods> kEntries = {{10, 49}, {12, 49}, {4, 11}, {30, 130}, {10, 49}, {4, 11}};

TEST(PeriodogramTables, SharedTablesGiveTheBitsOfPrivateOnesAndOfNone) {
  const std::vector<Candle> bars = testing::random_walk(2500, 23);
  RunScope scope(Interrupt{});
  const std::vector<Values> shared = run_side_by_side(kEntries, bars);
  std::uint64_t distinct_cells = 0;
  for (std::size_t k = 0; k < 4; ++k) distinct_cells += phasor_cells(kEntries[k].lo, kEntries[k].hi);
  // One table per distinct (min, max), however many entries use it.
  EXPECT_EQ(scope.cache<PhasorTables>().cells_left(), PhasorTables::kBudgetCells - distinct_cells);
  for (std::size_t k = 0; k < kEntries.size(); ++k) {
    const Periods p = kEntries[k];
    const Values own = [&] {
      RunScope none_shared(Interrupt{});  // a scope of its own: nothing to share with
      return run_alone(p, bars, AutocorrelationPeriodogram::kMaxTableCells);
    }();
    const Values computed = run_alone(p, bars, 0);
    std::size_t given = 0;
    for (const auto& v : own) given += v.has_value() ? 1 : 0;
    EXPECT_EQ(given, bars.size() - (p.hi + 2)) << p.lo << "," << p.hi;
    EXPECT_TRUE(testing::same_bits(shared[k], own)) << p.lo << "," << p.hi;
    EXPECT_TRUE(testing::same_bits(shared[k], computed)) << p.lo << "," << p.hi;
  }
}

TEST(PeriodogramTables, PastTheCommandsBudgetLaterEntriesComputeTheirPhasors) {
  const std::vector<Candle> bars = testing::random_walk(500, 41);
  const Periods later = {40, 200};
  RunScope scope(Interrupt{});
  InBarPacer pacer;
  // The largest spectrum with a table takes nearly all of the budget.
  ASSERT_NE(scope.cache<PhasorTables>().obtain(10, 2050, pacer).table, nullptr);
  const std::uint64_t left = scope.cache<PhasorTables>().cells_left();
  ASSERT_LT(left, phasor_cells(later.lo, later.hi));
  const Values budgeted = run_side_by_side({later}, bars)[0];
  EXPECT_EQ(scope.cache<PhasorTables>().cells_left(), left);
  EXPECT_TRUE(testing::same_bits(budgeted, run_alone(later, bars, AutocorrelationPeriodogram::kMaxTableCells)));
}

// An interrupt that says stop at its first ask.
bool stop_at_once(void*) { return true; }

TEST(PeriodogramTables, ATableWhoseBuildIsStoppedIsNotKept) {
  // (10, 600): the build alone is several asks' worth of work, and it comes
  // before any other in this scope.
  const Periods p = {10, 600};
  const std::vector<Candle> bars = testing::random_walk(p.hi + 3, 3);
  RunScope scope(Interrupt(stop_at_once, nullptr));
  auto ind = make(p);
  Values got = testing::run(ind, bars);
  EXPECT_EQ(scope.in_bar_asks(), 1u);
  EXPECT_TRUE(scope.stopped());
  EXPECT_FALSE(got.back().has_value());
  EXPECT_EQ(scope.cache<PhasorTables>().cells_left(), PhasorTables::kBudgetCells);
}

}  // namespace
}  // namespace fendro::cycle
