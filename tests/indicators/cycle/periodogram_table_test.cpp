// The periodogram's phasor table is only a cache: with it, without it (a
// budget of no cells) and with a budget just too small for the spectrum, the
// values are the same to the bit, for period counts that do and do not fill
// its four-period blocks.
#include <gtest/gtest.h>

#include <cstdint>

#include "fendro/indicators/cycle/autocorrelation_periodogram.hpp"
#include "indicators/series.hpp"
#include "indicators/testing.hpp"

namespace fendro::cycle {
namespace {

using testing::Values;

Values run_with_budget(std::uint64_t lo, std::uint64_t hi, std::uint64_t cells,
                       const std::vector<Candle>& bars) {
  auto made = AutocorrelationPeriodogram::create(lo, hi, cells);
  EXPECT_TRUE(made.ok());
  return testing::run(*made, bars);
}

TEST(PeriodogramTable, SameBitsWithAndWithoutTheTable) {
  struct Case {
    std::uint64_t lo, hi;
  };
  const Case cases[] = {{4, 11}, {10, 48}, {10, 49}, {10, 50}, {10, 51}, {6, 20}, {30, 130}};
  const std::vector<Candle> bars = testing::random_walk(400, 17);
  for (const Case& c : cases) {
    const std::uint64_t cells = (c.hi - 2) * (c.hi - c.lo + 1);
    const Values table = run_with_budget(c.lo, c.hi, AutocorrelationPeriodogram::kMaxTableCells, bars);
    const Values exact_fit = run_with_budget(c.lo, c.hi, cells, bars);
    const Values none = run_with_budget(c.lo, c.hi, 0, bars);
    const Values one_short = run_with_budget(c.lo, c.hi, cells - 1, bars);
    std::size_t given = 0;
    for (const auto& v : table) given += v.has_value() ? 1 : 0;
    EXPECT_EQ(given, bars.size() - (c.hi + 2)) << c.lo << "," << c.hi;
    EXPECT_TRUE(testing::same_bits(table, none)) << c.lo << "," << c.hi;
    EXPECT_TRUE(testing::same_bits(table, exact_fit)) << c.lo << "," << c.hi;
    EXPECT_TRUE(testing::same_bits(table, one_short)) << c.lo << "," << c.hi;
  }
}

// The stated budget: 64 MiB of (cos, sin) pairs.
TEST(PeriodogramTable, BudgetIsSixtyFourMebibytes) {
  EXPECT_EQ(AutocorrelationPeriodogram::kMaxTableCells * 2 * sizeof(double), std::uint64_t{64} << 20);
}

}  // namespace
}  // namespace fendro::cycle
