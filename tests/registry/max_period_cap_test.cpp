// A long window must cost memory only as bars arrive: every type key, built
// with its integer parameters at MAX_PERIOD (each alone, then all together),
// builds and steps a few bars of every kind of feed in a child process whose
// address space may grow by only a few tens of MiB. One table proportional to
// such a window (16,777,216 doubles is 128 MiB) would fail its build with the
// out-of-memory reason, or throw from `update`.
#include <gtest/gtest.h>

#include <cmath>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "bounded_child.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/registry/key_table.hpp"
#include "fendro/registry/registry.hpp"
#include "fendro/registry/run_entry.hpp"

namespace fendro {
namespace {

#ifdef FENDRO_UNDER_ASAN
TEST(MaxPeriodCap, EveryKeyAtMaxPeriodStepsInALittleMemory) {
  GTEST_SKIP() << "the sanitizer's shadow memory needs more address space than the cap";
}
#else
constexpr std::size_t kHeadroomBytes = std::size_t{48} << 20;
constexpr int kBars = 6;

// Every parameter list to try: each integer parameter alone at MAX_PERIOD,
// then all of them together.
std::vector<std::vector<double>> max_period_variants(std::span<const double> customary) {
  std::vector<std::vector<double>> out;
  std::vector<double> all(customary.begin(), customary.end());
  for (std::size_t i = 0; i < customary.size(); ++i) {
    const double v = customary[i];
    if (!(v >= 1.0 && v == std::floor(v))) continue;
    std::vector<double> one(customary.begin(), customary.end());
    one[i] = static_cast<double>(MAX_PERIOD);
    all[i] = static_cast<double>(MAX_PERIOD);
    out.push_back(std::move(one));
  }
  if (out.size() > 1) out.push_back(all);
  return out;
}

struct FullBar {
  Candle candle;
  DerivativesTick tick;
  std::vector<Trade> trades;
  OrderBook book;
  CrossSection cross;

  explicit FullBar(int i) {
    const double p = 100.0 + (i % 3) - 0.5 * (i % 2);
    candle = Candle{i * 60'000, p, p + 1.0, p - 1.0, p + 0.25, 1000.0 + i};
    tick = DerivativesTick{0.0001, p, p, p + 0.5, 5000.0 + i, 10.0, 9.0, 30.0, 20.0, 1.0, 2.0, 0.0};
    trades = {{p, 1.0, candle.time + 1, 0}, {p + 0.1, 2.0, candle.time + 2, 1}};
    book.bids = {{p - 0.1, 3.0}, {p - 0.2, 4.0}};
    book.asks = {{p + 0.1, 2.0}, {p + 0.2, 5.0}};
    cross.entries = {{0.01, 100.0, 1, 0, 1, 1}, {-0.02, 50.0, 0, 1, 0, 0}};
  }
  BarSnapshot snapshot(int i) const {
    BarSnapshot s;
    s.candle = &candle;
    s.reference = 50.0 + i;
    s.derivatives = &tick;
    s.trades = trades;
    s.order_book = &book;
    s.cross_section = &cross;
    return s;
  }
};

// In the child: one line per key and parameter list that ran out of memory.
std::string failures_under_cap() {
  std::vector<FullBar> bars;
  for (int i = 0; i < kBars; ++i) bars.emplace_back(i);
  std::string failures;
  for (const registry::Entry& row : registry::key_rows()) {
    for (const std::vector<double>& params : max_period_variants(row.params.values())) {
      std::ostringstream what;
      what << row.key << " [";
      for (double p : params) what << ' ' << p;
      what << " ]";
      auto built = build_indicator(row.key, params);
      if (!built.ok()) {
        if (built.error().reason == registry::kNoMemoryReason) failures += what.str() + " build\n";
        continue;
      }
      try {
        for (int i = 0; i < kBars; ++i) (*built)->update(bars[i].snapshot(i));
      } catch (const std::bad_alloc&) {
        failures += what.str() + " update\n";
      }
    }
  }
  return failures;
}

TEST(MaxPeriodCap, EveryKeyAtMaxPeriodStepsInALittleMemory) {
  const testing::ChildOutcome run = testing::run_in_bounded_child(kHeadroomBytes, 0, failures_under_cap);
  ASSERT_EQ(run.signal, 0) << "the child ended by signal " << run.signal;
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.text, "") << "these ran out of memory under the cap";
}
#endif

}  // namespace
}  // namespace fendro
