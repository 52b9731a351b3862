// The equity points of the streamed report, whose writer keeps the text of
// the last point's head and the high digits of the last time, against the
// value tree: runs of equal values and times stepping across every 10^8
// boundary, negative times, the extremes of both, and float texts too long
// to keep.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "fendro/proof/canonical.hpp"
#include "fendro/proof/report_text.hpp"
#include "fendro/proof/report_value.hpp"
#include "indicators/series.hpp"
#include "proof/streamed_text.hpp"

namespace fendro {
namespace {

using testing::SplitMix;

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

std::string tree_text(const Report& r) {
  json::Arena arena;
  std::string text;
  write_canonical_json(text, report_to_value(r, arena));
  return text;
}

std::string streamed(const Report& r) {
  return testing::streamed_text([&](ResponseWriter& out) { write_report(out, r); });
}

// Equity values: repeated runs, long texts (1e300 has 301 digits), signed
// zeros, null.
double equity_value(SplitMix& rng, double last) {
  static const double kValues[] = {10000.0, 9999.12345678, -0.0, 0.0, 1e300, -1e22, 1e-9, 123456789.5,
                                   std::numeric_limits<double>::quiet_NaN()};
  switch (rng.next() % 4) {
    case 0:
    case 1: return last;
    case 2: return kValues[rng.next() % std::size(kValues)];
    default: return 10000.0 + (rng.unit() - 0.5) * 500.0;
  }
}

struct Stepping {
  const char* name;
  std::int64_t first;
  std::int64_t step;
};

TEST(ReportPoints, SteppedTimesAcrossTheKeptDigits) {
  const Stepping cases[] = {
      {"minutes across 10^8", 100000000 - 60000 * 50, 60000},
      {"ms across 10^8", 99999990, 1},
      {"hours across 10^12", 1000000000000 - 3600000 * 40, 3600000},
      {"a day of ms across 1.7e12", 1699999999000, 7},
      {"steps of 10^8", 1700000000000 - std::int64_t{100000000} * 30, 100000000},
      {"steps just under 10^8", 1700000000000, 99999999},
      {"negative across zero", -60000 * 40, 60000},
      {"negative across -10^8", -100000000 - 60000 * 40, 60000},
      {"descending across 10^8", 100000000 + 60000 * 40, -60000},
      {"to the largest", kMax - 80, 1},
      {"up to the largest base", 9223372036800000000 - 40, 1},
      {"from the smallest", kMin, 1},
      {"below 10^8", 0, 1000000},
      {"19 digits", 1000000000000000000 - 200, 5},
  };
  SplitMix rng(77);
  for (const Stepping& c : cases) {
    Report r;
    double equity = 10000.0;
    std::int64_t time = c.first;
    for (int k = 0; k < 120; ++k) {
      equity = equity_value(rng, equity);
      r.equity.push_back({time, equity});
      if ((c.step > 0 && time > kMax - c.step) || (c.step < 0 && time < kMin - c.step)) break;
      time += c.step;
    }
    EXPECT_EQ(streamed(r), tree_text(r)) << c.name;
  }
}

// Times that jump between the extremes and back, so that a kept base meets
// values far from it.
TEST(ReportPoints, TimesJumpingBetweenExtremes) {
  const std::int64_t times[] = {kMax,       kMin,       kMax - 1,  -1, 9223372036800000000, kMin + 54775808,
                                100000000,  99999999,   -99999999, 0,  1700000000000,       -1700000000000,
                                1700000000000, 1800000000000, 100000000, kMin};
  Report r;
  for (std::size_t k = 0; k < std::size(times); ++k) r.equity.push_back({times[k], 10000.0 + (k % 3)});
  EXPECT_EQ(streamed(r), tree_text(r));
  EXPECT_EQ(report_hash(r), hash_text(tree_text(r)));
}

// Long runs of points: the kept texts carry across the writer's pieces.
TEST(ReportPoints, LongCurvesAcrossPieces) {
  SplitMix rng(5);
  for (const std::int64_t first : {std::int64_t{1577836800000}, std::int64_t{99000000}, std::int64_t{-5000000}}) {
    Report r;
    double equity = 10000.0;
    for (std::int64_t k = 0; k < 20000; ++k) {
      equity = equity_value(rng, equity);
      r.equity.push_back({first + 60000 * k, equity});
    }
    EXPECT_EQ(streamed(r), tree_text(r)) << first;
    EXPECT_EQ(report_hash(r), hash_text(tree_text(r))) << first;
  }
}

}  // namespace
}  // namespace fendro
