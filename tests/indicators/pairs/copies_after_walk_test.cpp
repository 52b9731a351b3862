// Copies after a walk: once a pair type's windows hold only copies of one
// close (and of one reference value, or with the reference still moving),
// it reads what exact arithmetic gives on every bar, also on the bars before
// its sums are next rebuilt, when they still hold the residue the walk left
// about a rounded anchor. The walks end at several phases of the rebuilds.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "indicators/pairs/pairs_testing.hpp"

namespace fendro::testing::pairs {
namespace {

constexpr double kPeriod = 20;
constexpr double kRiskFree = 0.01;

struct CopiesCase {
  const char* key;
  std::vector<double> params;
  std::size_t settle;  // copies in a row before every window holds only copies
  double want;         // the reading then (Alpha: of the close less the risk-free rate)
};

const std::vector<CopiesCase>& cases() {
  static const std::vector<CopiesCase> kCases = {
      {"Beta", {kPeriod}, 20, 0.0},
      {"Alpha", {kPeriod, kRiskFree}, 20, 0.0},
      {"BetaNeutralSpread", {kPeriod}, 20, 0.0},
      {"Cointegration", {kPeriod, 1}, 20, 0.0},
      {"PairSpreadZScore", {kPeriod, 10}, 29, 0.0},
      {"PairwiseBeta", {kPeriod}, 21, 0.0},
      {"PearsonCorrelation", {kPeriod}, 20, 0.0},
      {"RollingCorrelation", {kPeriod}, 21, 0.0},
      {"RollingCovariance", {kPeriod}, 21, 0.0},
      {"TreynorRatio", {kPeriod, 0.0}, 20, 0.0},
  };
  return kCases;
}

// A walk of `n` pairs around (a, b) whose sums do not come out exact.
void walk(std::size_t n, double a, double b, std::vector<double>& as, std::vector<double>& bs) {
  for (std::size_t i = 0; i < n; ++i) {
    as.push_back(a * (1.0 + 0.011 * static_cast<double>(i % 5)));
    bs.push_back(b * (1.0 + 0.017 * static_cast<double>(i % 7)));
  }
}

// Copies of `a` after a walk of `history` pairs; the reference is copies of
// `b` too, or walks on when `b_moves`.
void expect_copies_read(double a, double b, std::size_t history, bool b_moves) {
  std::vector<double> as;
  std::vector<double> bs;
  walk(history, a, b, as, bs);
  constexpr std::size_t kCopies = 70;  // past the next rebuild of every window
  std::vector<double> tail_a;
  std::vector<double> tail_b;
  walk(kCopies, a, b, tail_a, tail_b);
  as.insert(as.end(), kCopies, a);
  if (b_moves) {
    bs.insert(bs.end(), tail_b.begin(), tail_b.end());
  } else {
    bs.insert(bs.end(), kCopies, b);
  }
  for (const CopiesCase& c : cases()) {
    IndicatorPtr ind = make(c.key, c.params);
    ASSERT_TRUE(ind) << c.key;
    const auto got = run_pair(*ind, as, bs);
    const double want = std::string(c.key) == "Alpha" ? a - kRiskFree : c.want;
    for (std::size_t i = history + c.settle - 1; i < got.size(); ++i) {
      ASSERT_TRUE(got[i].has_value()) << c.key << " at bar " << i;
      EXPECT_EQ(*got[i], want) << c.key << " after " << history << " pairs around (" << a << ", " << b
                               << "), bar " << i << (b_moves ? ", the reference moving" : "");
    }
  }
}

TEST(PairsCopiesAfterAWalk, BothSeriesFlatReadTheFlatCase) {
  for (const std::size_t history : {23u, 31u, 37u, 44u}) {
    expect_copies_read(7.77, 0.3, history, false);
    expect_copies_read(0.3, 123.456, history, false);
    expect_copies_read(30000.17, 7.77, history, false);
  }
}

TEST(PairsCopiesAfterAWalk, AFlatCloseReadsTheFlatCaseWhileTheReferenceMoves) {
  for (const std::size_t history : {23u, 31u, 37u, 44u}) {
    expect_copies_read(7.77, 0.3, history, true);
    expect_copies_read(0.3, 123.456, history, true);
  }
}

}  // namespace
}  // namespace fendro::testing::pairs
